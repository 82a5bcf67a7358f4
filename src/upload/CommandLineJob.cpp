#include "upload/CommandLineJob.h"

#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"
#include "foundation/ServiceConfig.h"
#include "foundation/SettingsStore.h"
#include "foundation/TextListFile.h"
#include "foundation/Version.h"
#include "upload/PalvoFile.h"
#include "upload/PreparePipeline.h"
#include "upload/UploadRun.h"
#include "upload/Uploadiface.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

#include <csignal>
#include <cstring>
#include <exception>

namespace palvo {

namespace {

// The picture files a folder offers.
const QString kPictureExtensions =
    QStringLiteral("*.JPE;*.JPG;*.JPEG;*.GIF;*.BMP;*.PNG;*.TIF;*.TIFF;");

const char* const kUsage =
    "Usage: PSender --prepare FOLDER_OR_FILES... --out DIR [--jobs N]\n"
    "       PSender --upload FOLDER_OR_FILES... [--jobs N]\n"
    "Prepares receiver-ready JPEGs of the pictures (a folder gives its pictures,\n"
    "sorted by name) with the program's settings and service configuration;\n"
    "--prepare writes them into DIR, --upload hands them to the upload library.\n";

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

QString seconds(qint64 ms) {
    return QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

// The user's settings and the program folder's service configuration.
bool loadConfiguration(Settings& settings, ServiceConfig& config, std::FILE* err) {
    SettingsEnvironment environment;
    environment.picturesFolder = IncludeTrailingSeparator(QDir::homePath());
    ReadSettings(settings, environment);
    try {
        config = LoadURLsFromINI(ProgramFolder());
    } catch (const std::exception& e) {
        print(err, QStringLiteral("Cannot read the service configuration %1: %2")
                       .arg(ProgramFolder() + QLatin1String(kServiceConfigFileName),
                            QString::fromLocal8Bit(e.what())));
        return false;
    }
    return true;
}

} // namespace

bool isCommandLineJob(int argc, char** argv) {
    return argc > 1 &&
           (std::strcmp(argv[1], "--prepare") == 0 || std::strcmp(argv[1], "--upload") == 0);
}

CommandLineRequest parseCommandLineJob(const QStringList& arguments) {
    CommandLineRequest r;
    if (arguments.isEmpty())
        return r;
    if (arguments.first() == u"--prepare")
        r.mode = CommandLineRequest::Mode::Prepare;
    else if (arguments.first() == u"--upload")
        r.mode = CommandLineRequest::Mode::Upload;
    else
        return r;
    bool optionsEnded = false;
    bool outGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            r.inputs << a;
            continue;
        }
        if (a == u"--") {
            optionsEnded = true;
            continue;
        }
        if (a == u"--help") {
            r.mode = CommandLineRequest::Mode::Help;
            return r;
        }
        const bool hasValue = a.contains(u'=');
        const QString name = hasValue ? a.left(a.indexOf(u'=')) : a;
        QString value;
        if (name != u"--out" && name != u"--jobs") {
            r.error = QStringLiteral("Unknown option %1").arg(a);
            return r;
        }
        if (hasValue) {
            value = a.mid(a.indexOf(u'=') + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            r.error = QStringLiteral("%1 needs a value").arg(name);
            return r;
        }
        if (name == u"--out") {
            if (value.isEmpty()) {
                r.error = QStringLiteral("--out needs a folder");
                return r;
            }
            r.outDir = value;
            outGiven = true;
        } else {
            bool ok = false;
            r.jobs = value.toInt(&ok);
            if (!ok || r.jobs < 1 || r.jobs > 64) {
                r.error =
                    QStringLiteral("--jobs needs a number from 1 to 64, not \"%1\"").arg(value);
                return r;
            }
        }
    }
    if (r.mode == CommandLineRequest::Mode::Prepare && !outGiven)
        r.error = QStringLiteral("--prepare needs --out DIR");
    else if (r.mode == CommandLineRequest::Mode::Upload && outGiven)
        r.error = QStringLiteral("--out belongs to --prepare");
    else if (r.inputs.isEmpty())
        r.error = QStringLiteral("No folder or picture given");
    return r;
}

JobInputs collectJobInputs(const QStringList& inputs) {
    JobInputs result;
    for (const QString& input : inputs) {
        const QFileInfo info(input);
        const QString path = info.absoluteFilePath();
        if (info.isDir() && !info.isReadable()) {
            result.problems << QStringLiteral("%1: cannot read this folder").arg(input);
        } else if (info.isDir()) {
            QDir dir(path);
            const QFileInfoList files =
                dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
            int found = 0;
            for (const QFileInfo& f : files) {
                if (ExtensionInFilter(f.fileName(), kPictureExtensions)) {
                    result.pictures << f.absoluteFilePath();
                    ++found;
                }
            }
            if (found == 0)
                result.problems << QStringLiteral("%1: no pictures in this folder").arg(input);
        } else if (info.isFile()) {
            result.pictures << path;
        } else if (info.exists()) {
            result.problems << QStringLiteral("%1: not a file or folder").arg(input);
        } else {
            result.problems << QStringLiteral("%1: no such file or folder").arg(input);
        }
    }
    return result;
}

QStringList preparedOutputNames(const QStringList& pictures, const QString& outDir) {
    const QString folder = IncludeTrailingSeparator(outDir);
    QSet<QString> given;
    QStringList names;
    for (const QString& picture : pictures) {
        const QString name = UniqueFileName(palvoTargetName(picture, folder), QStringLiteral("_"),
                                            0, [&](const QString& p) { return given.contains(p); });
        given.insert(name);
        names << name;
    }
    return names;
}

int runCommandLineJob(const QStringList& arguments, std::FILE* out, std::FILE* err) {
    const CommandLineRequest request = parseCommandLineJob(arguments);
    if (request.mode == CommandLineRequest::Mode::Help) {
        std::fputs(kUsage, out);
        return 0;
    }
    if (!request.error.isEmpty()) {
        print(err, request.error);
        std::fputs(kUsage, err);
        return 2;
    }
    const bool upload = request.mode == CommandLineRequest::Mode::Upload;
    const JobInputs inputs = collectJobInputs(request.inputs);
    for (const QString& problem : inputs.problems)
        print(err, problem);
    if (inputs.pictures.isEmpty()) {
        print(err, QStringLiteral("Nothing to prepare."));
        return 2;
    }
    Settings settings;
    ServiceConfig config;
    if (!loadConfiguration(settings, config, err))
        return 2;
    PalvoFileOptions options = palvoFileOptions(settings, config);
    QStringList targets;
    if (!upload) {
        if (!QDir().mkpath(request.outDir)) {
            print(err, QStringLiteral("Cannot create the folder %1").arg(request.outDir));
            return 2;
        }
        const QString outFolder = QFileInfo(request.outDir).canonicalFilePath();
        for (const QString& picture : inputs.pictures) {
            if (QFileInfo(QFileInfo(picture).absolutePath()).canonicalFilePath() == outFolder) {
                print(err, QStringLiteral("--out %1 holds the pictures themselves: choose "
                                          "another folder")
                               .arg(request.outDir));
                return 2;
            }
        }
        targets = preparedOutputNames(inputs.pictures, outFolder);
    } else {
        DeleteInterruptedPreparedFiles(CommandLinePreparedListPath());
    }

    QElapsedTimer clock;
    clock.start();
    const int threads = request.jobs > 0 ? request.jobs : PreparePipeline::defaultThreads();
    QStringList prepared;
    QStringList widths;
    QStringList heights;
    qint64 totalBytes = 0;
    int failed = int(inputs.problems.size());
    {
        PreparePipeline pipeline(inputs.pictures, options, threads, 2 * threads, targets);
        for (const QString& picture : inputs.pictures) {
            const PalvoFile file = pipeline.take();
            if (!file.ok()) {
                print(err, QStringLiteral("%1: cannot prepare: %2").arg(picture, file.error));
                ++failed;
                continue;
            }
            prepared << file.path;
            widths << QString::number(file.width);
            heights << QString::number(file.height);
            totalBytes += file.bytes;
            print(out, QStringLiteral("%1\t%2\t%3x%4\tq=%5\t%6 bytes")
                           .arg(picture, file.path)
                           .arg(file.width)
                           .arg(file.height)
                           .arg(file.quality)
                           .arg(file.bytes));
        }
    }
    const int total = int(inputs.pictures.size() + inputs.problems.size());
    print(out, QStringLiteral("Prepared %1 of %2 pictures (%3 failed), %4 bytes, in %5 with %6 "
                              "threads")
                   .arg(prepared.size())
                   .arg(total)
                   .arg(failed)
                   .arg(totalBytes)
                   .arg(seconds(clock.elapsed()))
                   .arg(threads));
    if (!upload)
        return failed > 0 ? 1 : 0;

    if (prepared.isEmpty()) {
        print(err, QStringLiteral("Nothing to upload."));
        return 1;
    }
    (void)WriteTextList(CommandLinePreparedListPath(), prepared);
    std::int16_t result = 0;
    {
        Uploadiface library;
        result = library.UploadImagesToServer(
            nullptr, settings.programName(), FileVersionText(), QStringLiteral("upload"),
            QStringLiteral("Upload Images to Palvo"), prepared, 0, 0, widths, heights);
    }
    for (const QString& f : prepared)
        QFile::remove(f);
    QFile::remove(CommandLinePreparedListPath());
    if (result > 0) {
        print(out, QStringLiteral("Uploaded %1 pictures (upload library result %2)")
                       .arg(prepared.size())
                       .arg(result));
        return failed > 0 ? 1 : 0;
    }
    print(err, QStringLiteral("The upload did not succeed (upload library result %1)").arg(result));
    return 1;
}

int CommandLineMain(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QLatin1String(kDefaultProgramName));
    QCoreApplication::setApplicationVersion(FileVersionText());
    QImageReader::setAllocationLimit(1024);
    return runCommandLineJob(QCoreApplication::arguments().mid(1), stdout, stderr);
}

} // namespace palvo
