#include <gtest/gtest.h>

#include "foundation/Messages.h"
#include "foundation/Progress.h"
#include "foundation/QFileRoutine.h"
#include "support/ScriptedMessages.h"
#include "upload/UploadList.h"
#include "upload/UploadPictures.h"
#include "upload/UploadRun.h"
#include "upload/Uploadiface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

using namespace palvo;
using namespace palvo::test;

namespace {

const QString kSkip1 = "An error was encountered creating an upload file for: ";
const QString kSkip2 =
    "Do you want to skip this file and continue uploading of the remaining files?";
const QString kLoadError = "An error was encountered loading the DLL, libQUpload.so.";

// The main window's part of the run, recorded.
class RecordingHost : public UploadRunHost {
public:
    QStringList events;
    QStringList folderPictures;
    bool settleResult = true;
    std::function<void()> onProcessEvents;

    bool settleCurrentPicture() override {
        events << "settle";
        return settleResult;
    }
    QStringList currentFolderPictures() override { return folderPictures; }
    void Keypreparation() override { events << "Keypreparation"; }
    void endKeypreparation() override { events << "endKeypreparation"; }
    void setBusyCursor(bool busy) override { events << (busy ? "hourglass" : "normal cursor"); }
    void showProgress(int current, int total, const QString& message, const QString& caption,
                      bool canCancel) override {
        events << QString("progress %1/%2 %3 | %4%5")
                      .arg(current)
                      .arg(total)
                      .arg(caption, message, canCancel ? " [Cancel]" : "");
    }
    void hideProgress() override {
        if (events.isEmpty() || events.last() != "hide progress")
            events << "hide progress";
    }
    void processEvents() override {
        if (onProcessEvents)
            onProcessEvents();
    }
    void* windowHandle() override { return nullptr; }
    void uploadListEmptied() override { events << "list emptied"; }
};

class UploadRunTest : public ::testing::Test {
protected:
    UploadFolders env;
    QTemporaryDir pictures;
    QString record = env.path("record.txt");
    UploadList list{env.settings, env.folders};
    ServiceConfig config;
    Uploadiface library{PALVO_RECORDING_LIB};
    RecordingHost host;
    UploadContext context{list, env.settings, config, env.folders, library, host, 2};

    void SetUp() override {
        env.folders.programFolder = env.path("program/");
        QDir().mkpath(env.folders.programFolder);
        qputenv("PALVO_RECORD_FILE", record.toUtf8());
        qputenv("PALVO_RECORD_DETAILS", PreparedListPath().toUtf8());
        qunsetenv("PALVO_RECORD_RESULT");
        CancelRequested = false;
    }
    void TearDown() override { EXPECT_EQ(preparedInTemp(), QStringList()); }

    QString picture(const QString& name, QSize size) {
        const QString path = pictures.path() + "/" + name;
        EXPECT_TRUE(writeJpeg(path, gradientImage(size.width(), size.height())));
        return path;
    }
    QStringList recorded() const {
        return QString::fromUtf8(fileBytes(record)).split('\n', Qt::SkipEmptyParts);
    }
    QStringList recordedCalls() const { return recorded().filter("UploadImagesToServer"); }
    // Files the run may have left at the top of the temporary folder.
    static QStringList preparedInTemp() {
        return QDir(TempFolder()).entryList({"*.jpg", "~plvlist.dat"}, QDir::Files);
    }
    void listThree(bool middleReadable) {
        list.AddToUploadList(picture("one.jpg", {800, 600}));
        const QString two = pictures.path() + "/two.jpg";
        if (middleReadable)
            picture("two.jpg", {600, 800});
        else
            putFile(two, "not a picture");
        list.AddToUploadList(two);
        list.AddToUploadList(";" + picture("three.jpg", {320, 240}));
    }
};

TEST_F(UploadRunTest, SkippingTheUnreadableMiddlePictureUploadsTheOtherTwoInOrder) {
    listThree(false);
    const QStringList before = list.entries();
    ScriptedMessages messages(true);
    messages.answers = {mrOK};
    const UploadRunResult result = UploadSelectionList(context);

    EXPECT_EQ(messages.asked, QStringList{"Error: " + kSkip1 + before.at(1) + "\n\n" + kSkip2});
    const QString tmp = TempFolder();
    ASSERT_EQ(result.handed, (QStringList{tmp + "one.jpg", tmp + "three.jpg"}));
    const QStringList lines = recorded();
    ASSERT_EQ(lines.size(), 5) << lines.join("\n").toStdString();
    EXPECT_EQ(lines.at(0), "UploadImagesToServer Palvo Sender;1.0.4.3;upload;Upload Images to "
                           "Palvo;" +
                               tmp + "one.jpg|" + tmp + "three.jpg|;0;0;640|320|;480|240|");
    // The files were there for the library, and so was the list of them.
    EXPECT_TRUE(lines.at(1).startsWith("Present " + tmp + "one.jpg "));
    EXPECT_FALSE(lines.at(1).endsWith(" -1"));
    EXPECT_TRUE(lines.at(2).startsWith("Present " + tmp + "three.jpg "));
    EXPECT_FALSE(lines.at(2).endsWith(" -1"));
    EXPECT_EQ(lines.mid(3),
              (QStringList{"Listed " + tmp + "one.jpg", "Listed " + tmp + "three.jpg"}));

    EXPECT_EQ(result.outcome, UploadOutcome::Uploaded);
    EXPECT_EQ(result.libraryResult, 2);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(fileBytes(list.listFilePath()), "");
    EXPECT_EQ(
        host.events,
        (QStringList{"hourglass",
                     "progress 0/3 Image Upload | Preparing file for upload: one.jpg [Cancel]",
                     "progress 1/3 Image Upload | Preparing file for upload: two.jpg [Cancel]",
                     "progress 2/3 Image Upload | Preparing file for upload: three.jpg [Cancel]",
                     "hide progress", "list emptied", "normal cursor", "hide progress"}));
}

TEST_F(UploadRunTest, AnsweringNoUploadsNothingAndLeavesNoPreparedFile) {
    listThree(false);
    const QStringList before = list.entries();
    ScriptedMessages messages(true);
    messages.answers = {mrCancel};
    const UploadRunResult result = UploadSelectionList(context);
    EXPECT_EQ(result.outcome, UploadOutcome::Stopped);
    EXPECT_EQ(messages.asked.size(), 1);
    EXPECT_TRUE(recorded().isEmpty());
    EXPECT_EQ(list.entries(), before);
    EXPECT_EQ(preparedInTemp(), QStringList());
}

TEST_F(UploadRunTest, FailedOrCancelledUploadKeepsTheList) {
    listThree(true);
    const QStringList before = list.entries();
    const QByteArray stored = fileBytes(list.listFilePath());
    ScriptedMessages messages(true);
    for (const char* code : {"0", "-4"}) {
        SCOPED_TRACE(code);
        qputenv("PALVO_RECORD_RESULT", code);
        const UploadRunResult result = UploadSelectionList(context);
        EXPECT_EQ(result.outcome, UploadOutcome::Failed);
        EXPECT_EQ(result.handed.size(), 3);
        EXPECT_EQ(list.entries(), before);
        EXPECT_EQ(fileBytes(list.listFilePath()), stored);
        EXPECT_FALSE(host.events.contains("list emptied"));
        EXPECT_EQ(preparedInTemp(), QStringList());
    }
    EXPECT_EQ(recordedCalls().size(), 2);
    EXPECT_TRUE(messages.log.isEmpty());
}

TEST_F(UploadRunTest, MissingLibraryIsReportedAndCountsAsFailure) {
    listThree(true);
    const QStringList before = list.entries();
    Uploadiface missing(env.path("nowhere/libQUpload.so"));
    UploadContext c{list, env.settings, config, env.folders, missing, host, 1};
    ScriptedMessages messages(true);
    const UploadRunResult result = UploadSelectionList(c);
    EXPECT_EQ(result.outcome, UploadOutcome::Failed);
    EXPECT_EQ(result.libraryResult, -9);
    EXPECT_EQ(messages.shown, QStringList{kLoadError});
    EXPECT_EQ(list.entries(), before);
}

TEST_F(UploadRunTest, PreparedFilesLeftByACrashedRunGoBeforeAnythingIsPrepared) {
    const QString tmp = TempFolder();
    ASSERT_TRUE(putFile(tmp + "one.jpg", "left by a crash"));
    ASSERT_TRUE(putFile(tmp + "older.jpg", "left by a crash"));
    ASSERT_TRUE(
        putFile(PreparedListPath(), (tmp + "one.jpg\r\n" + tmp + "older.jpg\r\n").toUtf8()));
    list.AddToUploadList(picture("one.jpg", {800, 600}));
    ScriptedMessages messages(true);
    const UploadRunResult result = UploadSelectionList(context);
    // The name was free again: the old file had gone first.
    EXPECT_EQ(result.handed, QStringList{tmp + "one.jpg"});
    EXPECT_EQ(recorded().filter("Listed"), QStringList{"Listed " + tmp + "one.jpg"});
    EXPECT_FALSE(QFile::exists(tmp + "older.jpg"));
    EXPECT_FALSE(QFile::exists(PreparedListPath()));
}

TEST_F(UploadRunTest, CancelStopsBeforeTheLibraryAndDeletesWhatWasPreparedAhead) {
    for (int i = 0; i < 6; ++i)
        list.AddToUploadList(picture(QString("p%1.jpg").arg(i), {1200, 900}));
    const QStringList before = list.entries();
    int polls = 0;
    host.onProcessEvents = [&] {
        if (++polls == 2)
            CancelRequested = true;
    };
    env.settings.ShowDlgProgress = false;
    ScriptedMessages messages(true);
    const UploadRunResult result = UploadSelectionList(context);
    EXPECT_EQ(result.outcome, UploadOutcome::Cancelled);
    EXPECT_TRUE(recorded().isEmpty());
    EXPECT_EQ(list.entries(), before);
    EXPECT_FALSE(host.events.join("\n").contains("[Cancel]"));
    EXPECT_EQ(preparedInTemp(), QStringList());
    CancelRequested = false;
}

TEST_F(UploadRunTest, EverythingSkippedStillCallsTheLibraryWithEmptyLists) {
    const QString bad = pictures.path() + "/bad.png";
    ASSERT_TRUE(putFile(bad, "broken"));
    list.AddToUploadList(bad);
    ScriptedMessages messages(true);
    messages.answers = {mrOK};
    const UploadRunResult result = UploadSelectionList(context);
    EXPECT_EQ(recordedCalls(), QStringList{"UploadImagesToServer Palvo Sender;1.0.4.3;upload;"
                                           "Upload Images to Palvo;;0;0;;"});
    EXPECT_EQ(result.outcome, UploadOutcome::Failed);
    EXPECT_EQ(list.entries(), QStringList{bad});
}

TEST_F(UploadRunTest, RunRotatesTheDiagnosticLog) {
    const QString folder = env.folders.programFolder;
    ASSERT_TRUE(putFile(folder + "Log.txt", "current"));
    ASSERT_TRUE(putFile(folder + "Log.old", "previous"));
    ScriptedMessages messages(true);
    (void)UploadSelectionList(context);
    EXPECT_EQ(fileBytes(folder + "Log.old"), "current");
    EXPECT_FALSE(QFile::exists(folder + "Log.txt"));
}

TEST_F(UploadRunTest, EmptyListOffersTheFolderAndRunsUnderTheBusyGate) {
    host.folderPictures = {picture("b.jpg", {640, 480}), picture("a.jpg", {400, 300})};
    const QString question = "Confirmation: To upload all of the pictures in this folder, click "
                             "OK, or click \"Cancel\" and select individual pictures to upload.";
    ScriptedMessages messages(true);
    messages.answers = {mrCancel};
    EXPECT_EQ(btnUploadClick(context).outcome, UploadOutcome::NotStarted);
    EXPECT_EQ(messages.asked, QStringList{question});
    EXPECT_EQ(host.events, QStringList{"settle"});
    EXPECT_TRUE(recorded().isEmpty());

    host.events.clear();
    messages.answers = {mrOK};
    const UploadRunResult result = btnUploadClick(context);
    EXPECT_EQ(result.outcome, UploadOutcome::Uploaded);
    EXPECT_EQ(result.handed, (QStringList{TempFolder() + "b.jpg", TempFolder() + "a.jpg"}));
    EXPECT_EQ(host.events.first(), "settle");
    EXPECT_EQ(host.events.at(1), "Keypreparation");
    EXPECT_EQ(host.events.last(), "endKeypreparation");
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(UploadRunTest, CancelledSaveChangesEndsTheCommand) {
    list.AddToUploadList(picture("a.jpg", {400, 300}));
    host.settleResult = false;
    ScriptedMessages messages(true);
    EXPECT_EQ(btnUploadClick(context).outcome, UploadOutcome::NotStarted);
    EXPECT_EQ(host.events, QStringList{"settle"});
    EXPECT_TRUE(recorded().isEmpty());
}

} // namespace
