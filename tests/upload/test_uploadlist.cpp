#include <gtest/gtest.h>

#include "support/ScriptedMessages.h"
#include "upload/UploadFixtures.h"
#include "upload/UploadList.h"

#include <QFile>
#include <QFileInfo>

using namespace palvo;
using palvo::test::fileBytes;
using palvo::test::putFile;

namespace {

const QString kConfirmDelete = "Are you sure you want to delete this modified file?";

class UploadListTest : public ::testing::Test {
protected:
    test::UploadFolders env;
    UploadList list{env.settings, env.folders};

    QString work(const QString& name) { return list.GetWorkDirectory() + name; }
    QByteArray stored() { return fileBytes(list.listFilePath()); }
};

TEST_F(UploadListTest, AddsEachPictureOnceInOrderAndSavesEveryTime) {
    list.AddToUploadList("/p/b.jpg");
    EXPECT_EQ(stored(), "/p/b.jpg\r\n");
    list.AddToUploadList("/p/a.jpg");
    list.AddToUploadList("/p/b.jpg");
    list.AddToUploadList(";/p/a.jpg");
    list.AddToUploadList("");
    // Two names that differ in case are two files.
    list.AddToUploadList("/p/A.jpg");
    EXPECT_EQ(list.entries(), (QStringList{"/p/b.jpg", "/p/a.jpg", "/p/A.jpg"}));
    EXPECT_EQ(stored(), "/p/b.jpg\r\n/p/a.jpg\r\n/p/A.jpg\r\n");
}

TEST_F(UploadListTest, FindsMarkedAndBareEntriesByEitherForm) {
    list.AddToUploadList(";/p/Photo.jpg");
    list.AddToUploadList("/p/x.jpg");
    EXPECT_EQ(list.FindInUploadList("/p/Photo.jpg"), 0);
    EXPECT_EQ(list.FindInUploadList(";/p/Photo.jpg"), 0);
    EXPECT_EQ(list.FindInUploadList(";/p/x.jpg"), 1);
    EXPECT_EQ(list.FindInUploadList("/p/photo.jpg"), -1);
    EXPECT_EQ(list.FindInUploadList("/p/x"), -1);
}

TEST_F(UploadListTest, RemovingAWorkCopyAsksAndCancelKeepsEntryAndFile) {
    const QString copy = work("edited.jpg");
    ASSERT_TRUE(putFile(copy, "x"));
    list.AddToUploadList(copy);
    test::ScriptedMessages messages(true);
    messages.answers = {mrCancel};
    EXPECT_FALSE(list.RemoveFromUploadList(copy));
    EXPECT_EQ(messages.asked, QStringList{"Confirmation: " + kConfirmDelete});
    EXPECT_EQ(list.FindInUploadList(copy), 0);
    EXPECT_TRUE(QFile::exists(copy));

    messages.answers = {mrOK};
    EXPECT_TRUE(list.RemoveFromUploadList(";" + copy));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(stored(), "");
}

TEST_F(UploadListTest, WorkCopyGoesWithoutQuestionWhenConfirmationIsOffEvenUnlisted) {
    env.settings.ConfirmDeleteUploadPic = false;
    const QString copy = work("never-listed.jpg");
    ASSERT_TRUE(putFile(copy, "x"));
    test::ScriptedMessages messages(true);
    EXPECT_TRUE(list.RemoveFromUploadList(copy));
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(messages.log.isEmpty());
}

TEST_F(UploadListTest, RemovingAnOriginalNeverDeletesItsFile) {
    const QString original = env.path("pictures/a.jpg");
    const QString inSubfolder = work("sub/b.jpg");
    ASSERT_TRUE(putFile(original, "x"));
    ASSERT_TRUE(putFile(inSubfolder, "x"));
    list.AddToUploadList(original);
    list.AddToUploadList(inSubfolder);
    test::ScriptedMessages messages(true);
    EXPECT_TRUE(list.RemoveFromUploadList(original));
    EXPECT_TRUE(list.RemoveFromUploadList(inSubfolder));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(QFile::exists(original));
    EXPECT_TRUE(QFile::exists(inSubfolder));
    EXPECT_TRUE(messages.log.isEmpty());
}

TEST_F(UploadListTest, WorkFolderSettingWithoutSeparatorCountsAsTheWorkFolder) {
    env.settings.WorkFolder = env.path("My Work");
    EXPECT_EQ(list.GetWorkDirectory(), env.path("My Work/"));
    EXPECT_TRUE(QFileInfo(env.path("My Work")).isDir());
    EXPECT_TRUE(list.InWorkFolder(env.path("My Work/a.jpg")));
    EXPECT_TRUE(list.InWorkFolder(";" + env.path("My Work/a.jpg")));
    EXPECT_FALSE(list.InWorkFolder(env.path("My Work/sub/a.jpg")));
    EXPECT_FALSE(list.InWorkFolder(env.path("my work/a.jpg")));
    EXPECT_FALSE(list.InWorkFolder(env.path("My Work")));

    env.settings.WorkFolder.clear();
    EXPECT_EQ(list.GetWorkDirectory(), env.folders.appDataFolder + "Palvo/Palvo Sender/Work/");
}

TEST_F(UploadListTest, UpdateFollowsRenamesAndDeletionsAndAlwaysSaves) {
    list.AddToUploadList("/p/a.jpg");
    list.AddToUploadList("/p/b.jpg");
    list.AddToUploadList("/p/c.jpg");
    list.UpdateUploadFile(";/p/b.jpg", "/q/b2.jpg");
    EXPECT_EQ(list.entries(), (QStringList{"/p/a.jpg", "/q/b2.jpg", "/p/c.jpg"}));
    list.UpdateUploadFile("/p/a.jpg", "");
    EXPECT_EQ(list.entries(), (QStringList{"/q/b2.jpg", "/p/c.jpg"}));
    EXPECT_EQ(stored(), "/q/b2.jpg\r\n/p/c.jpg\r\n");

    // Not listed: only saved (the memory list reaches the file).
    list.clear();
    list.UpdateUploadFile("/p/none.jpg", "/p/other.jpg");
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(stored(), "");
}

TEST_F(UploadListTest, DeletingAListedWorkCopyAnsweredCancelStillSaves) {
    const QString copy = work("e.jpg");
    ASSERT_TRUE(putFile(copy, "x"));
    list.AddToUploadList(copy);
    ASSERT_TRUE(putFile(list.listFilePath(), "stale\r\n"));
    test::ScriptedMessages messages(true);
    messages.answers = {mrCancel};
    list.UpdateUploadFile(copy, "");
    EXPECT_EQ(list.entries(), QStringList{copy});
    EXPECT_EQ(stored(), (copy + "\r\n").toUtf8());
}

TEST_F(UploadListTest, LoadsWhatWasSavedMarksIncludedAndToleratesMissingFile) {
    list.LoadUploadList();
    EXPECT_TRUE(list.isEmpty());
    list.SaveUploadList();
    EXPECT_TRUE(QFile::exists(list.listFilePath()));
    EXPECT_EQ(stored(), "");

    ASSERT_TRUE(putFile(list.listFilePath(), ";/p/ü a.jpg\r\n/p/b.jpg\n/p/c.jpg"));
    UploadList loaded(env.settings, env.folders);
    loaded.LoadUploadList();
    EXPECT_EQ(loaded.entries(), (QStringList{";/p/ü a.jpg", "/p/b.jpg", "/p/c.jpg"}));
}

} // namespace
