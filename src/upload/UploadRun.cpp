#include "upload/UploadRun.h"

#include "foundation/Messages.h"
#include "foundation/Progress.h"
#include "foundation/QFileRoutine.h"
#include "foundation/TextListFile.h"
#include "foundation/Version.h"
#include "upload/PalvoFile.h"
#include "upload/PreparePipeline.h"
#include "upload/UploadList.h"
#include "upload/Uploadiface.h"

#include <QFile>

#include <exception>

namespace palvo {

namespace {

const QString kProgressCaption = QStringLiteral("Image Upload");
const QString kPreparing = QStringLiteral("Preparing file for upload: ");
const QString kSkipQuestion1 =
    QStringLiteral("An error was encountered creating an upload file for: ");
const QString kSkipQuestion2 =
    QStringLiteral("Do you want to skip this file and continue uploading of the remaining files?");
const QString kPrepareError =
    QStringLiteral("An error was encountered preparing your files for upload.");
const QString kListFolderQuestion =
    QStringLiteral("To upload all of the pictures in this folder, click OK, or click \"Cancel\" "
                   "and select individual pictures to upload.");

// The previous diagnostic log is dropped and the current one kept as the
// previous; every error is ignored.
void rotateLog(const QString& programFolder) {
    if (programFolder.isEmpty())
        return;
    QFile::remove(programFolder + QStringLiteral("Log.old"));
    QFile::rename(programFolder + QStringLiteral("Log.txt"),
                  programFolder + QStringLiteral("Log.old"));
}

void deleteListed(QStringList& files) {
    for (const QString& f : files)
        QFile::remove(f);
    files.clear();
}

// Step 11, on every way out of the run.
class RunCleanUp {
public:
    RunCleanUp(QStringList& cleanUp, UploadRunHost& host) : cleanUp_(cleanUp), host_(host) {}
    ~RunCleanUp() {
        try {
            deleteListed(cleanUp_);
            QFile::remove(PreparedListPath());
            host_.setBusyCursor(false);
            host_.hideProgress();
        } catch (...) {
        }
    }
    RunCleanUp(const RunCleanUp&) = delete;
    RunCleanUp& operator=(const RunCleanUp&) = delete;

private:
    QStringList& cleanUp_;
    UploadRunHost& host_;
};

} // namespace

QString PreparedListPath() {
    return TempFolder() + QStringLiteral("~plvlist.dat");
}

QString CommandLinePreparedListPath() {
    return TempFolder() + QStringLiteral("~plvlist-cmd.dat");
}

void DeleteInterruptedPreparedFiles(const QString& listPath) {
    if (!QFile::exists(listPath))
        return;
    QStringList files;
    if (ReadTextList(listPath, &files))
        deleteListed(files);
    QFile::remove(listPath);
}

UploadRunResult UploadSelectionList(UploadContext& context) {
    UploadRunHost& host = context.host;
    UploadRunResult result;
    QStringList prepared;
    QStringList cleanUp;
    QStringList widths;
    QStringList heights;
    CancelRequested = false;

    rotateLog(context.folders.programFolder);
    DeleteInterruptedPreparedFiles(PreparedListPath());

    RunCleanUp finish(cleanUp, host);
    host.setBusyCursor(true);

    const QStringList entries = context.list.entries();
    const int n = int(entries.size());
    const bool canCancel = context.settings.ShowDlgProgress;
    try {
        PalvoFileOptions options = palvoFileOptions(context.settings, context.config);
        PreparePipeline pipeline(entries, options, context.threads, context.threads + 1);
        for (int i = 0; i < n; ++i) {
            host.showProgress(i, n, kPreparing + fileNameOf(entryPath(entries.at(i))),
                              kProgressCaption, canCancel);
            host.processEvents();
            if (CancelRequested) {
                result.outcome = UploadOutcome::Cancelled;
                return result;
            }
            const PalvoFile file = pipeline.take([&host] { host.processEvents(); });
            if (file.ok()) {
                prepared << file.path;
                cleanUp << file.path;
                widths << QString::number(file.width);
                heights << QString::number(file.height);
                continue;
            }
            const QString question =
                kSkipQuestion1 + entries.at(i) + QStringLiteral("\n\n") + kSkipQuestion2;
            if (qMessageDlg(question, MsgType::Error, mbYesNo) != mrYes) {
                result.outcome = UploadOutcome::Stopped;
                return result;
            }
        }
    } catch (...) {
        host.hideProgress();
        qMessageDlg(kPrepareError, MsgType::Error, mbOK);
        result.outcome = UploadOutcome::Error;
        return result;
    }

    host.hideProgress();
    (void)WriteTextList(PreparedListPath(), cleanUp);

    result.handed = prepared;
    result.libraryResult = context.library.UploadImagesToServer(
        host.windowHandle(), context.settings.programName(), FileVersionText(),
        QStringLiteral("upload"), QStringLiteral("Upload Images to Palvo"), prepared, 0, 0, widths,
        heights);
    if (result.libraryResult > 0) {
        context.list.clear();
        // Saved at once, so a later crash can't bring back what was sent.
        context.list.SaveUploadList();
        host.uploadListEmptied();
        result.outcome = UploadOutcome::Uploaded;
    } else {
        result.outcome = UploadOutcome::Failed;
    }
    return result;
}

UploadRunResult btnUploadClick(UploadContext& context) {
    UploadRunHost& host = context.host;
    if (!host.settleCurrentPicture())
        return {};
    if (context.list.isEmpty()) {
        if (ShowCustomConfirmDialog(MessageCaption(MsgType::Confirmation), kListFolderQuestion) !=
            mrOK)
            return {};
        for (const QString& picture : host.currentFolderPictures())
            context.list.AddToUploadList(picture);
    }
    struct BusyGate {
        UploadRunHost& host;
        explicit BusyGate(UploadRunHost& h) : host(h) { host.Keypreparation(); }
        ~BusyGate() { host.endKeypreparation(); }
        BusyGate(const BusyGate&) = delete;
        BusyGate& operator=(const BusyGate&) = delete;
    } gate(host);
    return UploadSelectionList(context);
}

} // namespace palvo
