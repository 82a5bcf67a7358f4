#pragma once

#include "foundation/ProgramFolders.h"
#include "foundation/ServiceConfig.h"
#include "foundation/SettingsStore.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace palvo {

class UploadList;
class Uploadiface;

// What the upload run asks of the main window. TfrmMain implements it; the
// tests give a recording one.
class UploadRunHost {
public:
    virtual ~UploadRunHost() = default;
    // Settles unsaved changes of the shown picture (the save-changes flow)
    // and stores the caption being edited. False when the user cancelled:
    // the command ends.
    virtual bool settleCurrentPicture() = 0;
    // The pictures of the current folder, in the folder's order.
    [[nodiscard]] virtual QStringList currentFolderPictures() = 0;
    // The busy gate.
    virtual void Keypreparation() = 0;
    virtual void endKeypreparation() = 0;
    // The hourglass cursor on or off.
    virtual void setBusyCursor(bool busy) = 0;
    // The progress display: the status-bar gauge and, when the setting is on,
    // the progress window (with Cancel when canCancel).
    virtual void showProgress(int current, int total, const QString& message,
                              const QString& caption, bool canCancel) = 0;
    virtual void hideProgress() = 0;
    // Lets pending window messages run (how Cancel is seen).
    virtual void processEvents() = 0;
    // The window handle handed to the upload library (may be null).
    [[nodiscard]] virtual void* windowHandle() = 0;
    // After a successful upload emptied the list: in the originals view the
    // shown picture is deselected and the grid reloaded; the grid is
    // repainted and the selection status updated (doselectstatus).
    virtual void uploadListEmptied() = 0;
};

// Everything one run works with; all owned by the main window.
struct UploadContext {
    UploadList& list;
    const Settings& settings;
    const ServiceConfig& config;
    const ProgramFolders& folders;
    Uploadiface& library;
    UploadRunHost& host;
    // Worker threads preparing ahead of the run (1 or more).
    int threads = 1;
};

// How a run ended.
enum class UploadOutcome {
    NotStarted, // the user declined to list the folder's pictures
    Uploaded,   // the library reported success: the list was emptied
    Failed,     // the library reported failure or cancel: the list stays
    Cancelled,  // Cancel during preparation: nothing was uploaded
    Stopped,    // No to the skip question: nothing was uploaded
    Error,      // an unexpected error during preparation: nothing was uploaded
};

struct UploadRunResult {
    UploadOutcome outcome = UploadOutcome::NotStarted;
    std::int16_t libraryResult = 0; // when the library was called
    QStringList handed;             // the prepared paths given to the library
};

// "~plvlist.dat" in the temporary folder: the prepared files of a run while
// the library has them, so that a later run deletes what a crash left.
[[nodiscard]] QString PreparedListPath();
// The command-line job's own list beside it, so that a job started by cron
// never deletes the files a window run is uploading, nor the reverse.
[[nodiscard]] QString CommandLinePreparedListPath();

// When the list file exists: deletes every file it names, then the list.
void DeleteInterruptedPreparedFiles(const QString& listPath);

// The run over the upload list: prepares every entry, asks whether to skip
// a picture that fails, hands the prepared files to the library, empties the
// list on success, and always deletes the prepared files.
UploadRunResult UploadSelectionList(UploadContext& context);

// The upload command: settles the shown picture, offers to list the whole
// folder when the list is empty, and runs UploadSelectionList under the busy
// gate.
UploadRunResult btnUploadClick(UploadContext& context);

} // namespace palvo
