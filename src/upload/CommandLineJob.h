#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

namespace palvo {

// The window-free form of the upload job, for people who automate:
//   PSender --prepare FOLDER_OR_FILES... --out DIR [--jobs N]
//   PSender --upload FOLDER_OR_FILES... [--jobs N]
// Both prepare every picture exactly as the upload command does (the same
// settings and service configuration), in parallel, and report one line per
// picture in list order and a summary.

struct CommandLineRequest {
    enum class Mode { Prepare, Upload, Help };
    Mode mode = Mode::Help;
    QStringList inputs; // folders and files, as given
    QString outDir;     // --prepare only
    int jobs = 0;       // worker threads; 0: one per core
    QString error;      // a usage error; empty when the request is sound
};

// True when the first argument is --prepare or --upload.
[[nodiscard]] bool isCommandLineJob(int argc, char** argv);

[[nodiscard]] CommandLineRequest parseCommandLineJob(const QStringList& arguments);

// The pictures to work on: a folder gives its picture files (by extension,
// not its subfolders) sorted by name; a file is taken as it is. Inputs that
// are neither give a problem line each.
struct JobInputs {
    QStringList pictures;
    QStringList problems;
};
[[nodiscard]] JobInputs collectJobInputs(const QStringList& inputs);

// The exact output paths of --prepare, in list order: the upload naming in
// DIR, with "_2", "_3" … for a name already given to an earlier picture of
// the same run.
[[nodiscard]] QStringList preparedOutputNames(const QStringList& pictures, const QString& outDir);

// Runs the job (a QCoreApplication must exist). Lines for pictures go to
// out, problems to err. Exit codes: 0 all went well, 1 a picture failed or
// the upload did not succeed, 2 a usage error or nothing to work on.
int runCommandLineJob(const QStringList& arguments, std::FILE* out, std::FILE* err);

// The program entry for the job: a QCoreApplication (no display), then
// runCommandLineJob.
int CommandLineMain(int argc, char** argv);

} // namespace palvo
