#include <gtest/gtest.h>

#include "controls/ui/ClickLabel.h"
#include "foundation/SettingsFile.h"
#include "imaging/ui/PictureView.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/MainWindowFixture.h"
#include "shell/ui/MainUnit.h"
#include "support/ScriptedMessages.h"
#include "upload/UploadList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <functional>

using namespace palvo;

namespace {

// A main window on a folder of five generated pictures.
class Views : public ::testing::Test {
protected:
    void SetUp() override {
        options = test::FirstStartOptions(program.path(), pictures.path());
        ASSERT_TRUE(test::WriteColourPictures(pictures.path(), 5));
        QFile other(pictures.path() + "/notes.txt");
        ASSERT_TRUE(other.open(QIODevice::WriteOnly));
        w = std::make_unique<TfrmMain>(options);
        QSignalSpy finished(w.get(), &TfrmMain::setupFinished);
        w->show();
        ASSERT_TRUE(finished.wait(10000));
        settle();
    }
    static void settle(int ms = 150) { test::Settle(ms); }
    QString pic(int i) const { return pictures.path() + QStringLiteral("/pic%1.jpg").arg(i); }

    QTemporaryDir program, pictures;
    StartOptions options;
    test::ScriptedMessages messages;
    std::unique_ptr<TfrmMain> w;
};

} // namespace

TEST_F(Views, StartFolderIsListedWithCountsCaptionAndButtons) {
    EXPECT_EQ(w->ThumbGrid->ItemCount(), 5);
    EXPECT_EQ(w->lblSelFolders1->text(), "originals (5)");
    EXPECT_EQ(w->lblSelUpload1->text(), "to upload (0)");
    EXPECT_EQ(w->lblSelFolders2->text(), "originals (5)");
    // The first idle pass showed the first picture.
    EXPECT_EQ(w->currentFile(), pic(1));
    EXPECT_EQ(w->windowTitle(), "Palvo Sender - pic1.jpg");
    EXPECT_EQ(w->lblFilename->text(), "pic1");
    EXPECT_FALSE(w->btnPrevious->isEnabled());
    EXPECT_TRUE(w->btnNext->isEnabled());
    EXPECT_FALSE(w->btnUpload->isEnabled());
    EXPECT_FALSE(w->btndeselectall->isEnabled());
    EXPECT_TRUE(w->btnSelectAll->isEnabled());

    w->btnNextClick();
    w->btnNextClick();
    settle();
    EXPECT_EQ(w->currentFile(), pic(3));
    EXPECT_TRUE(w->btnPrevious->isEnabled() && w->btnNext->isEnabled());
    EXPECT_TRUE(w->StepPicture(+5)); // stops at the last picture
    w->DoShowImage();
    settle();
    EXPECT_EQ(w->currentFile(), pic(5));
    EXPECT_FALSE(w->btnNext->isEnabled());
}

TEST_F(Views, TickingListsForUploadAndTheUploadViewShowsTheList) {
    w->library().ThumbGridCheckItem(pic(2), true);
    w->library().ThumbGridCheckItem(pic(4), true);
    settle();
    EXPECT_EQ(w->uploadList().entries(), (QStringList{pic(2), pic(4)}));
    EXPECT_EQ(w->lblSelUpload1->text(), "to upload (2)");
    EXPECT_TRUE(w->btnUpload->isEnabled());
    EXPECT_TRUE(w->btndeselectall->isEnabled());

    // The left half of the visible tab picture asks for the active view: nothing happens.
    QTest::mouseClick(w->imgTabsFolders, Qt::LeftButton, {}, QPoint(5, 20));
    EXPECT_TRUE(w->folderViewActive());
    QTest::mouseClick(w->lblSelUpload1, Qt::LeftButton);
    settle();
    EXPECT_FALSE(w->folderViewActive());
    EXPECT_EQ(w->ThumbGrid->ItemCount(), 2);
    EXPECT_EQ(w->lblSelFolders2->text(), "originals (5)");
    EXPECT_FALSE(w->btnSelectAll->isEnabled());
    EXPECT_EQ(w->currentFile(), pic(2));

    // Back through the tab picture's left half.
    QTest::mouseClick(w->imgTabsUpload, Qt::LeftButton, {}, QPoint(5, 20));
    settle();
    EXPECT_TRUE(w->folderViewActive());
    EXPECT_EQ(w->ThumbGrid->ItemCount(), 5);
}

TEST_F(Views, EmptyUploadViewAndEmptyFolder) {
    w->lblSelUpload1Click(false);
    settle();
    EXPECT_EQ(w->ThumbGrid->ItemCount(), 0);
    EXPECT_FALSE(w->btnPrevious->isEnabled() || w->btnNext->isEnabled());
    EXPECT_FALSE(w->fullscreenbtn->isEnabled() || w->btnPalvoOn->isEnabled() ||
                 w->btnPalvoOff->isEnabled());
    EXPECT_FALSE(w->btnUpload->isEnabled() || w->btndeselectall->isEnabled() ||
                 w->btnSelectAll->isEnabled());
    EXPECT_TRUE(w->viewer().view().isEmpty());
    w->lblSelUpload1Click(true);
    QTemporaryDir empty;
    w->library().Change2Directory(empty.path());
    settle();
    EXPECT_EQ(w->lblSelFolders1->text(), "originals (0)");
    EXPECT_TRUE(w->windowTitle().endsWith(" - Folder: " + empty.path() + "/"));
    EXPECT_FALSE(w->btnPrevious->isEnabled() || w->btnNext->isEnabled());
    EXPECT_FALSE(w->fullscreenbtn->isEnabled() || w->btnPalvoOn->isEnabled() ||
                 w->btnPalvoOff->isEnabled());
    EXPECT_TRUE(w->btnSelectAll->isEnabled()); // the originals view
    EXPECT_FALSE(w->btnUpload->isEnabled() || w->btndeselectall->isEnabled());
}

TEST_F(Views, AnEmptiedViewStaysEmptyWhenTheLoadUnderWayEnds) {
    QTemporaryDir empty;
    // Away to the empty upload view, and to an empty folder, each time while
    // the next picture loads; its decode has ended and waits in the queue.
    const std::function<void()> leave[] = {
        [this] { w->lblSelUpload1Click(false); },
        [this, &empty] { w->library().Change2Directory(empty.path()); },
    };
    for (const auto& away : leave) {
        w->StepPicture(+1);
        w->viewer().ShowImage();
        ASSERT_TRUE(w->Loading());
        QThread::msleep(200);
        away();
        settle(300);
        EXPECT_EQ(w->ThumbGrid->ItemCount(), 0);
        EXPECT_FALSE(w->Loading());
        EXPECT_TRUE(w->currentFile().isEmpty());
        EXPECT_TRUE(w->viewer().view().isEmpty());
        EXPECT_TRUE(w->lblFilename->text().isEmpty());
        // Only the start-up update check's report of the missing library.
        QStringList texts = messages.texts();
        texts.removeAll("An error was encountered loading the DLL, libQUpload.so.");
        EXPECT_EQ(texts, QStringList());
        w->lblSelUpload1Click(true);
        w->library().Change2Directory(pictures.path());
        settle();
        ASSERT_EQ(w->ThumbGrid->ItemCount(), 5);
    }
}

TEST_F(Views, FileNamesInLabelAndCaption) {
    EXPECT_EQ(TfrmMain::ExtractJustName("/a/my.photo.jpg"), "my.photo");
    EXPECT_EQ(TfrmMain::ExtractJustName("/a/noext"), "noext");
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(pictures.path() + "/my.photo.jpg"));
    w->directshow(pictures.path() + "/my.photo.jpg");
    settle();
    EXPECT_EQ(w->currentFile(), pictures.path() + "/my.photo.jpg");
    EXPECT_EQ(w->lblFilename->text(), "my.photo");
    EXPECT_EQ(w->windowTitle(), "Palvo Sender - my.photo.jpg");
}

TEST_F(Views, KeysFollowTheNavigationRule) {
    QApplication::setActiveWindow(w.get());
    w->ThumbGrid->setFocus();
    settle();
    ASSERT_TRUE(w->ThumbGrid->hasFocus());
    struct Step {
        Qt::Key key;
        int expected;
    };
    const Step steps[] = {{Qt::Key_Right, 2}, {Qt::Key_Space, 3}, {Qt::Key_Backspace, 2},
                          {Qt::Key_End, 5},   {Qt::Key_Space, 5}, {Qt::Key_Home, 1},
                          {Qt::Key_Left, 1},  {Qt::Key_Down, 3},  {Qt::Key_Up, 1}};
    for (const Step& step : steps) {
        QTest::keyClick(w->ThumbGrid, step.key);
        settle();
        EXPECT_EQ(w->currentFile(), pic(step.expected)) << "key " << step.key;
    }
}
