// The main window's grid and folder handlers over a recording host, and the
// recent-folders pop-up.
#include "library/ui/LibraryController.h"
#include "library/ui/PopFolder.h"
#include "library/ui/QCheckThumbGrid.h"
#include "support/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace palvo;

namespace {

struct FakeHost : LibraryHost {
    bool uploadView = false;
    QStringList upload;
    QString current;
    bool changed = false, loading = false, failed = false, full = false, modal = false;
    int indexBeforeFullScreen = 0;
    QStringList log;
    bool toolsEnabled = false;
    QString caption;

    bool inUploadView() const override { return uploadView; }
    bool FindInUploadList(const QString& f) const override { return upload.contains(f); }
    void AddToUploadList(const QString& f) override {
        if (!upload.contains(f))
            upload << f;
    }
    void RemoveFromUploadList(const QString& f) override { upload.removeAll(f); }
    void clearUploadList() override { upload.clear(); }
    QString CurrentFile() const override { return current; }
    void setCurrentFile(const QString& f) override { current = f; }
    bool Changed() const override { return changed; }
    bool Loading() const override { return loading; }
    bool LoadFailed() const override { return failed; }
    bool fullScreen() const override { return full; }
    int& GridIndexBeforeFullScreen() override { return indexBeforeFullScreen; }
    void clearcurrfile() override {
        log << "clearcurrfile";
        current.clear();
    }
    void ClearEditactions() override { log << "ClearEditactions"; }
    void PromptSaveChanges(bool q, bool s) override {
        log << QStringLiteral("PromptSaveChanges %1%2").arg(int(q)).arg(int(s));
    }
    void DoShowImage() override { log << "DoShowImage"; }
    void clearViewer() override { log << "clearViewer"; }
    void setAbortRequested() override { log << "abort"; }
    void setReshowRequested() override { log << "reshow"; }
    void postRepaintGrid() override { log << "postRepaintGrid"; }
    void doselectstatus() override { log << "status"; }
    void setWindowCaption(const QString& c) override { caption = c; }
    void setPictureToolsEnabled(bool e) override { toolsEnabled = e; }
    void switchRedEyeOff() override { log << "redeyeOff"; }
    bool inModalStep() const override { return modal; }
    void startFileDrag(const QStringList& files) override { log << "drag " + files.join(','); }
    void popupFiles(QPoint) override { log << "popup"; }
    void showOriginalsView() override { log << "originals"; }
    void enterModalStep() override {
        log << QStringLiteral("enterModalStep");
        modal = true;
    }
    void endKeypreparation() override {
        log << "endKeypreparation";
        modal = false;
    }
    void recordGetPicturesRequest() override { log << "getPicturesLater"; }
    std::function<bool(QString*)> dialog;
    bool runGetPicturesDialog(QString* folder) override { return dialog && dialog(folder); }
};

class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.path() + QStringLiteral("/p/");
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) {
            QFile f(folder + QLatin1String(n));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        }
        grid.applyMainWindowLook();
        grid.resize(264, 360);
        grid.setAttachedListBox(controller.folderList());
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }
    QPoint checkPoint(int index) const {
        const QRect cell = grid.ItemRect(index);
        return {cell.left() + 10, cell.top() + cell.height() - 20};
    }
    QTemporaryDir dir;
    QString folder;
    FakeHost host;
    TQCheckThumbGrid grid;
    LibraryController controller{host, grid};
};

} // namespace

TEST_F(ControllerFixture, ChangingFolderListsShowsAndCaptions) {
    controller.Change2Directory(folder);
    EXPECT_EQ(grid.ItemCount(), 3);
    EXPECT_EQ(grid.CurrentIndex, 0);
    EXPECT_EQ(host.caption, QStringLiteral("Palvo Sender - ") + folder);
    EXPECT_TRUE(host.log.contains(QStringLiteral("DoShowImage")));
    EXPECT_EQ(controller.folders().RecentFolders, QStringList{folder});
}

TEST_F(ControllerFixture, SameFolderKeepsThePositionAnotherStartsAtTheTop) {
    controller.Change2Directory(folder);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.ItemRect(2).center());
    ASSERT_EQ(grid.CurrentIndex, 2);
    QFile added(folder + QStringLiteral("d.jpg"));
    ASSERT_TRUE(added.open(QIODevice::WriteOnly));
    added.close();
    controller.Change2Directory(folder);
    EXPECT_EQ(grid.ItemCount(), 4);
    EXPECT_EQ(grid.CurrentIndex, 2);

    const QString other = dir.path() + QStringLiteral("/q/");
    ASSERT_TRUE(QDir().mkpath(other));
    for (const char* n : {"x.jpg", "y.jpg", "z.jpg"}) {
        QFile f(other + QLatin1String(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    controller.Change2Directory(other);
    EXPECT_EQ(grid.CurrentIndex, 0);
    EXPECT_EQ(controller.folders().RecentFolders, (QStringList{other, folder}));
}

TEST_F(ControllerFixture, TickingInTheOriginalsViewFillsTheUploadList) {
    controller.Change2Directory(folder);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, checkPoint(1));
    EXPECT_EQ(host.upload, QStringList{folder + QStringLiteral("b.jpg")});
    bool checked = false;
    controller.ThumbGridGetCheckStatus(folder + QStringLiteral("b.jpg"), checked);
    EXPECT_TRUE(checked);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, checkPoint(1));
    EXPECT_TRUE(host.upload.isEmpty());

    // The shown picture with unsaved changes goes through the save step.
    host.current = folder + QStringLiteral("a.jpg");
    host.changed = true;
    host.log.clear();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, checkPoint(0));
    EXPECT_TRUE(host.upload.isEmpty());
    EXPECT_EQ(host.log.mid(0, 3),
              (QStringList{"ClearEditactions", "PromptSaveChanges 11", "postRepaintGrid"}));
}

TEST_F(ControllerFixture, SelectAllAndClearingTheUploadView) {
    controller.Change2Directory(folder);
    controller.btnSelectAllClick(true);
    EXPECT_EQ(host.upload.size(), 3);
    controller.btnSelectAllClick(false);
    EXPECT_TRUE(host.upload.isEmpty());

    controller.btnSelectAllClick(true);
    host.uploadView = true;
    host.current = host.upload.first();
    test::ScriptedMessages messages(true);
    messages.answers = {mrCancel, mrOK};
    controller.btnSelectAllClick(false);
    EXPECT_EQ(host.upload.size(), 3);
    controller.btnSelectAllClick(false);
    EXPECT_TRUE(host.upload.isEmpty());
    EXPECT_TRUE(host.current.isEmpty());
    ASSERT_EQ(messages.log.size(), 2);
    EXPECT_EQ(messages.log[0].text,
              QStringLiteral("Are you sure you want to clear all the pictures in your upload "
                             "folder?"));
}

TEST_F(ControllerFixture, UntickInTheUploadViewTakesThePictureOff) {
    controller.Change2Directory(folder);
    host.upload = {folder + QStringLiteral("a.jpg"), folder + QStringLiteral("c.jpg")};
    host.uploadView = true;
    QStringList uploadEntries = host.upload;
    grid.setAttachedListBox(&uploadEntries);
    grid.Reload(true, true, false);
    host.current = folder + QStringLiteral("c.jpg");
    host.log.clear();
    controller.ThumbGridCheckItem(folder + QStringLiteral("c.jpg"), false);
    EXPECT_EQ(host.upload, QStringList{folder + QStringLiteral("a.jpg")});
    EXPECT_TRUE(host.log.contains(QStringLiteral("clearcurrfile")));
    EXPECT_TRUE(host.log.contains(QStringLiteral("DoShowImage")));
}

TEST_F(ControllerFixture, ButtonsPositionAndItems) {
    controller.DoButtonStatus();
    EXPECT_FALSE(host.toolsEnabled);
    EXPECT_FALSE(controller.checkifhasitems(false));
    controller.Change2Directory(folder);
    host.current = folder + QStringLiteral("a.jpg");
    controller.DoButtonStatus();
    EXPECT_TRUE(host.toolsEnabled);
    host.failed = true;
    controller.DoButtonStatus();
    EXPECT_FALSE(host.toolsEnabled);
    EXPECT_TRUE(controller.checkifhasitems(false));
    EXPECT_TRUE(controller.checkifhasitems(true));

    controller.UpdateFileBoxAndPosition(folder + QStringLiteral("c.jpg"), false);
    EXPECT_EQ(grid.CurrentIndex, 2);
    EXPECT_FALSE(grid.BlockDrawing);
    // A file that is gone: the position is clamped into the list.
    QFile::remove(folder + QStringLiteral("c.jpg"));
    controller.UpdateFileBoxAndPosition(folder + QStringLiteral("c.jpg"), true);
    EXPECT_EQ(grid.ItemCount(), 2);
    EXPECT_EQ(grid.CurrentIndex, 0);
}

TEST_F(ControllerFixture, DragStartsAfterFiftyPixels) {
    controller.Change2Directory(folder);
    controller.fileboxMouseDown(Qt::LeftButton, {}, QPoint(10, 10));
    controller.fileboxMouseMove(Qt::LeftButton, QPoint(59, 59));
    EXPECT_FALSE(host.log.join('|').contains(QStringLiteral("drag")));
    controller.fileboxMouseMove(Qt::LeftButton, QPoint(60, 10));
    EXPECT_TRUE(host.log.contains("drag " + folder + QStringLiteral("a.jpg")));
}

TEST_F(ControllerFixture, MissingRecentFolderIsReportedAndRemoved) {
    test::ScriptedMessages messages;
    const QString gone = dir.path() + QStringLiteral("/gone/");
    controller.folders().RecentFolders = {gone, folder};
    EXPECT_FALSE(controller.LoadDirectory(gone, -1));
    EXPECT_EQ(messages.shown, QStringList{"The folder, " + gone + ", could not be found."});
    EXPECT_EQ(controller.folders().RecentFolders, QStringList{folder});
    EXPECT_TRUE(controller.LoadDirectory(folder, 1));
    EXPECT_EQ(grid.CurrentIndex, 1);
    EXPECT_TRUE(host.log.contains(QStringLiteral("reshow")));
}

TEST(PopFolder, RowsHoverRemoveLoadAndClosing) {
    QStringList recent{QStringLiteral("/a/Beach/"), QStringLiteral("/b/Snow/")};
    TpopFolder pop(recent);
    pop.closeTimer().stop(); // the test moves the pointer itself
    pop.move(100, 100);
    pop.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pop));
    EXPECT_EQ(pop.size(), QSize(228, 234));
    FolderRows* rows = pop.rows();
    QTest::mouseMove(rows, QPoint(40, 30));
    EXPECT_EQ(rows->hoverRow, 1);
    EXPECT_EQ(rows->rowTextColour(1), QColor(255, 209, 24));

    pop.askRemove = [](QPoint) { return true; };
    QTest::mouseClick(rows, Qt::RightButton, {}, QPoint(40, 5));
    EXPECT_EQ(recent, QStringList{QStringLiteral("/b/Snow/")});
    EXPECT_EQ(rows->selectedRow, -1);

    // The pointer on its way up from the button may pass 20 pixels above.
    pop.checkPointer(QPoint(150, 85));
    EXPECT_TRUE(pop.isVisible());
    pop.checkPointer(QPoint(150, 150));
    EXPECT_TRUE(pop.enteredOnce());
    pop.checkPointer(QPoint(150, 90)); // now 10 above: too far
    EXPECT_FALSE(pop.isVisible());
    EXPECT_EQ(pop.result(), QDialog::Rejected);

    TpopFolder again(recent);
    again.closeTimer().stop();
    QString loaded;
    again.loadDirectory = [&](const QString& f) { loaded = f; };
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    QTest::mouseClick(again.rows(), Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(loaded, QStringLiteral("/b/Snow/"));
    EXPECT_EQ(again.result(), QDialog::Accepted);
}

TEST_F(ControllerFixture, GetPicturesSuspendsTheDiskCacheAroundTheDialog) {
    controller.setupCaches(dir.path() + QStringLiteral("/cache"));
    EXPECT_EQ(grid.cache().DiskCacheDirectory(), dir.path() + QStringLiteral("/cache/"));
    EXPECT_GE(grid.cache().DiskCacheMaxCacheCount, 1000);
    bool suspendedDuringDialog = false;
    host.dialog = [&](QString* chosen) {
        suspendedDuringDialog = !grid.cache().diskCacheEnabled();
        *chosen = folder;
        return true;
    };
    controller.BtnOpenFolderClick();
    EXPECT_TRUE(suspendedDuringDialog);
    EXPECT_TRUE(grid.cache().diskCacheEnabled());
    EXPECT_EQ(controller.folders().GetCurrentFolder(), folder);
    EXPECT_EQ(host.log.first(), QStringLiteral("enterModalStep"));
    EXPECT_EQ(host.log.last(), QStringLiteral("endKeypreparation"));
    EXPECT_TRUE(host.log.contains(QStringLiteral("originals")));

    // Cancelled: the folder stays, the cache works again.
    host.dialog = [&](QString* chosen) {
        suspendedDuringDialog = !grid.cache().diskCacheEnabled();
        *chosen = dir.path();
        return false;
    };
    suspendedDuringDialog = false;
    controller.BtnOpenFolderClick();
    EXPECT_TRUE(suspendedDuringDialog);
    EXPECT_TRUE(grid.cache().diskCacheEnabled());
    EXPECT_EQ(controller.folders().GetCurrentFolder(), folder);
    // While a picture loads, the command is only recorded.
    host.loading = true;
    host.log.clear();
    controller.BtnOpenFolderClick();
    EXPECT_EQ(host.log, QStringList{"getPicturesLater"});
}

TEST_F(ControllerFixture, DeletethumbForgetsMemoryOrBoth) {
    controller.setupCaches(dir.path() + QStringLiteral("/cache"));
    const QString file = folder + QStringLiteral("a.jpg");
    QImage image(4, 3, QImage::Format_RGB888);
    image.fill(Qt::red);
    grid.cache().AddToMemoryCache(image, file);
    grid.cache().AddToDiskCache(image, file);
    controller.deletethumb(file, true);
    EXPECT_EQ(grid.cache().FindInMemoryCache(file), -1);
    EXPECT_EQ(grid.cache().FindInDiskCache(file), 0);
    controller.deletethumb(file, false);
    EXPECT_EQ(grid.cache().FindInDiskCache(file), -1);
}

TEST_F(ControllerFixture, RecentFolderPopupLoadsTheChosenFolder) {
    controller.folders().RecentFolders = {folder};
    QWidget button;
    button.resize(20, 20);
    button.show();
    bool sawPopup = false;
    QTimer::singleShot(50, [&] {
        TpopFolder* pop = controller.recentPopup();
        sawPopup = pop != nullptr;
        if (!pop)
            return;
        pop->closeTimer().stop();
        QTest::mouseClick(pop->rows(), Qt::LeftButton, {}, QPoint(40, 5));
    });
    controller.lblfolderClick(&button);
    EXPECT_TRUE(sawPopup);
    EXPECT_EQ(controller.recentPopup(), nullptr);
    EXPECT_EQ(controller.folders().GetCurrentFolder(), folder);
    EXPECT_TRUE(host.log.contains(QStringLiteral("originals")));
}
