// Walks through the real main window as a user would: keys, clicks on
// thumbnails, check boxes and buttons, zooming, full screen, and the idle
// passes that fill the thumbnail cache.
#include <gtest/gtest.h>

#include "controls/ui/ClickLabel.h"
#include "imaging/ui/PictureView.h"
#include "library/GridGeometry.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/MainWindowFixture.h"
#include "shell/ui/MainMessages.h"
#include "shell/ui/MainUnit.h"
#include "support/ScriptedMessages.h"
#include "upload/UploadList.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace palvo;

namespace {

constexpr int kWaitMs = 30000;

// A picture with some detail, so that its file is not trivially small.
QString writePicture(const QString& path, QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    for (int y = 0; y < size.height(); y += 2) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            line[3 * x] = uchar((x * 7 + y) & 0xFF);
    }
    EXPECT_TRUE(image.save(path, nullptr, 90)) << path.toStdString();
    return path;
}

class Walkthrough : public ::testing::Test {
protected:
    // Pictures pic00.jpg, pic01.jpg ... of one small size.
    void makePictures(int count, QSize size = {80, 60}) {
        for (int i = 0; i < count; ++i)
            files << writePicture(pic(i), size, QColor::fromHsv((i * 37) % 360, 180, 200));
    }
    QString pic(int i) const {
        return pictures.path() + QStringLiteral("/pic%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
    }

    // Starts the window on the pictures folder and waits for the first picture.
    void start(QSize windowSize = {}) {
        options = test::FirstStartOptions(program.path(), pictures.path());
        w = std::make_unique<TfrmMain>(options);
        QSignalSpy finished(w.get(), &TfrmMain::setupFinished);
        w->show();
        ASSERT_TRUE(finished.wait(10000));
        if (windowSize.isValid())
            w->resize(windowSize);
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(shows(files.value(0)));
        w->ThumbGrid->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([this] { return w->ThumbGrid->hasFocus(); }, kWaitMs));
    }

    // Waits until the file is the picture on show and fully loaded.
    bool shows(const QString& file) {
        return QTest::qWaitFor(
            [&] {
                return w->currentFile() == file && !w->Loading() &&
                       !w->viewer().state.ReshowRequested && !w->ShowPictureRequest;
            },
            kWaitMs);
    }
    // A key as the user types it, to whatever has the keyboard focus.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target && target->window() == w.get() ? target : w.get(), key, modifiers);
    }
    void clickThumbnail(int index) {
        QTest::mouseClick(w->ThumbGrid->viewport(), Qt::LeftButton, {},
                          w->ThumbGrid->ItemRect(index).center());
    }
    void clickCheckBox(int index) {
        const QRect box = checkBoxRect(w->ThumbGrid->ItemRect(index), w->ThumbGrid->CheckBoxAlign);
        QTest::mouseClick(w->ThumbGrid->viewport(), Qt::LeftButton, {}, box.center());
    }
    // Everything shown but the start-up update check's report that the test's
    // program folder holds no upload library.
    QStringList unexpectedMessages() const {
        QStringList texts = messages.texts();
        texts.removeAll(QStringLiteral("An error was encountered loading the DLL, libQUpload.so."));
        return texts;
    }
    PictureView& view() { return w->viewer().view(); }
    int shownZoom() { return int(view().zoom()); }

    QTemporaryDir program, pictures;
    QStringList files;
    StartOptions options;
    test::ScriptedMessages messages;
    std::unique_ptr<TfrmMain> w;
};

struct KeyStep {
    Qt::Key key;
    int expected; // the index of the picture on show afterwards
};

} // namespace

TEST_F(Walkthrough, PageKeysMoveTheGridByItsPageAndShowTheSelectedPicture) {
    makePictures(45);
    start();
    const int page = (w->ThumbGrid->VisibleRowCount() - 1) * w->ThumbGrid->ColCount();
    ASSERT_GT(page, 0);
    ASSERT_LT(2 * page, 44) << "the folder must be longer than two pages";
    const KeyStep steps[] = {
        {Qt::Key_PageDown, page}, {Qt::Key_PageDown, 2 * page}, {Qt::Key_End, 44},
        {Qt::Key_Space, 44}, // the last picture stays
        {Qt::Key_PageDown, 44},   {Qt::Key_Backspace, 43},      {Qt::Key_PageUp, 43 - page},
        {Qt::Key_Home, 0},        {Qt::Key_Backspace, 0},       {Qt::Key_PageUp, 0},
        {Qt::Key_Space, 1},
    };
    for (const KeyStep& step : steps) {
        type(step.key);
        ASSERT_TRUE(shows(pic(step.expected)))
            << "step " << (&step - steps) << " shows " << w->currentFile().toStdString();
        EXPECT_EQ(w->ThumbGrid->CurrentIndex, step.expected) << "key " << step.key;
    }
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, InFullScreenTheKeysMoveTheSlidePositionAndEscapeEndsIt) {
    makePictures(45);
    start();
    type(Qt::Key_Space, Qt::ControlModifier);
    ASSERT_TRUE(w->fullScreen());
    EXPECT_TRUE(w->LeftPanel->isHidden());
    const KeyStep steps[] = {
        {Qt::Key_PageDown, 20}, {Qt::Key_PageDown, 40},  {Qt::Key_PageDown, 44},
        {Qt::Key_Space, 44},    {Qt::Key_Backspace, 43}, {Qt::Key_PageUp, 23},
        {Qt::Key_Home, 0},      {Qt::Key_Backspace, 0},  {Qt::Key_Right, 1},
        {Qt::Key_Down, 2},      {Qt::Key_Up, 1},         {Qt::Key_End, 44},
        {Qt::Key_Left, 43},
    };
    for (const KeyStep& step : steps) {
        type(step.key);
        ASSERT_TRUE(shows(pic(step.expected)))
            << "step " << (&step - steps) << " shows " << w->currentFile().toStdString();
        EXPECT_EQ(w->GridIndexBeforeFullScreen(), step.expected) << "key " << step.key;
    }
    type(Qt::Key_Escape);
    EXPECT_FALSE(w->fullScreen());
    EXPECT_FALSE(w->LeftPanel->isHidden());
    // Back in the window, the grid holds the slide position and the focus.
    EXPECT_EQ(w->ThumbGrid->CurrentIndex, 43);
    EXPECT_TRUE(QTest::qWaitFor([this] { return w->ThumbGrid->hasFocus(); }, kWaitMs));
    EXPECT_EQ(w->currentFile(), pic(43));
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, WithTheFocusElsewhereTheNavigationKeysDoNothing) {
    makePictures(45);
    start();
    type(Qt::Key_Right);
    ASSERT_TRUE(shows(pic(1)));
    view().setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return view().hasFocus(); }, kWaitMs));
    for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_PageUp, Qt::Key_Right,
                        Qt::Key_Down, Qt::Key_Left, Qt::Key_Up}) {
        type(key);
        test::Settle(100);
        EXPECT_EQ(w->ThumbGrid->CurrentIndex, 1) << "key " << key;
        EXPECT_EQ(w->currentFile(), pic(1)) << "key " << key;
    }
}

// The zoom keys from what a picture of a chosen size is shown at. Every
// expected value is the zoom on show after the key.
TEST_F(Walkthrough, ZoomKeysStepThroughTheZoomsAndStopAtFit) {
    // The receiver view of the default window, and the full-size view's size,
    // decide which pictures reach which zoom.
    makePictures(1);
    start(QSize(1400, 1000));
    const QSize receiverView = view().viewSize();
    QTest::mouseClick(w->btnPalvoOff, Qt::LeftButton);
    ASSERT_TRUE(w->btnPalvoOff->isChecked());
    ASSERT_FALSE(w->btnPalvoOn->isChecked());
    const QSize fullView = view().viewSize();
    ASSERT_GT(fullView.width(), receiverView.width());
    QTest::mouseClick(w->btnPalvoOn, Qt::LeftButton);
    ASSERT_TRUE(w->btnPalvoOn->isChecked());

    // Shown fitted at 24.5 % in the receiver view; the full-size view's fit
    // lies above 30.
    const QSize at24(int(receiverView.width() / 0.245), int(receiverView.width() / 0.245) * 3 / 4);
    // Small enough that fit lies above 500 in the full-size view.
    const QSize small(qMin(fullView.width(), fullView.height()) / 6,
                      qMin(fullView.width(), fullView.height()) / 8);
    // Fits the full-size view at about 350 %.
    const QSize at350(fullView.width() * 2 / 7, fullView.width() * 2 / 7 * 3 / 4);
    auto fitOf = [&](QSize picture) {
        return int(qMin(double(fullView.height()) / picture.height(),
                        double(fullView.width()) / picture.width()) *
                   100);
    };
    const int fit350 = fitOf(at350);
    ASSERT_GT(fit350, 300);
    ASSERT_LT(fit350, 400);
    ASSERT_GT(fitOf(small), 500);
    ASSERT_GT(fitOf(at24), 30);

    struct Case {
        const char* name;
        QSize picture;
        bool fullSizeFirst; // click "Full size" before the keys
        int startZoom;
        std::vector<std::pair<Qt::Key, int>> keys;
    };
    const Qt::Key in = Qt::Key_Plus, in2 = Qt::Key_Equal, out = Qt::Key_Minus;
    const Case cases[] = {
        {"24 to 30", at24, false, 24, {{in, 30}}},
        {"up to 500 and held",
         small,
         true,
         100,
         {{in, 125},
          {in2, 150},
          {in, 175},
          {in, 200},
          {in, 225},
          {in, 250},
          {in, 275},
          {in, 300},
          {in2, 400},
          {in, 500},
          {in, 500}}},
        {"down to 5, shown as 7, then refused",
         small,
         true,
         100,
         {{out, 75},
          {out, 50},
          {out, 25},
          {in, 50},
          {out, 25},
          {out, 20},
          {out, 15},
          {out, 10},
          {out, 7},
          {out, 7}}},
        {"stops at fit both ways",
         at350,
         true,
         100,
         {{in, 125},
          {in, 150},
          {in, 175},
          {in, 200},
          {in, 225},
          {in, 250},
          {in, 275},
          {in, 300},
          {in, fit350},
          {in, 400},
          {out, fit350},
          {out, 300},
          {out, 275}}},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = pictures.path() + QStringLiteral("/zoom%1.jpg").arg(++number);
        writePicture(file, c.picture, Qt::darkCyan);
        QSignalSpy loaded(&w->viewer(), &PictureViewer::loadEnded);
        w->directshow(file);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !loaded.isEmpty(); }, kWaitMs) && shows(file));
        ASSERT_EQ(view().image().size(), c.picture);
        if (c.fullSizeFirst)
            QTest::mouseClick(w->btnPalvoOff, Qt::LeftButton);
        else
            ASSERT_TRUE(w->btnPalvoOn->isChecked());
        ASSERT_EQ(shownZoom(), c.startZoom);
        ASSERT_EQ(w->lblZoom->text(), QStringLiteral("%1%").arg(c.startZoom));
        w->ThumbGrid->setFocus();
        for (const auto& [key, expected] : c.keys) {
            type(key);
            test::Settle(30);
            EXPECT_EQ(shownZoom(), expected) << "key " << key;
            EXPECT_EQ(w->lblZoom->text(), QStringLiteral("%1%").arg(expected));
        }
        // Zooming is the full-size view.
        EXPECT_TRUE(w->btnPalvoOff->isChecked());
        EXPECT_FALSE(w->btnPalvoOn->isChecked());
        QTest::mouseClick(w->btnPalvoOn, Qt::LeftButton);
    }
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, ReceiverFrameAndTheBackgroundBandsInALargeWindow) {
    // Hand-worked against a 640 x 480 view: a drawn extent of 250 or more
    // covers the view within [98 %, 102 %], so 627..653 across and 470..490
    // down.
    struct Case {
        QSize picture;
        bool receiverColour; // else white
    };
    const Case cases[] = {
        {{640, 480}, false},   {{630, 470}, false}, // within the band
        {{620, 480}, true},    {{640, 460}, true},  // just outside it
        {{1600, 1200}, false},                      // fitted to 640 x 480
        {{1600, 900}, true},                        // fitted to 640 x 360
        {{200, 150}, true},
    };
    for (int i = 0; i < int(std::size(cases)); ++i)
        files << writePicture(pic(i), cases[i].picture, Qt::gray);
    start(QSize(1700, 1200));
    // Well larger than the receiver's frame both ways.
    ASSERT_GT(w->pnlImageHolder->width(), 673 + 100);
    ASSERT_GT(w->pnlImageHolder->height(), 510 + 100);

    const QFrame& frame = w->viewer().framePanel();
    EXPECT_EQ(frame.size(), QSize(673, 510));
    EXPECT_EQ(view().viewSize(), QSize(640, 480));
    QTest::mouseClick(w->btnPalvoOff, Qt::LeftButton);
    EXPECT_GT(frame.width(), 673);
    EXPECT_GT(frame.height(), 510);
    QTest::mouseClick(w->btnPalvoOn, Qt::LeftButton);
    EXPECT_EQ(frame.size(), QSize(673, 510));

    w->settings.PalvoBackgroundColor = clRed;
    w->viewer().settingsChanged();
    const QColor white(Qt::white), red(Qt::red);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(i);
        clickThumbnail(i);
        ASSERT_TRUE(shows(pic(i)));
        EXPECT_EQ(view().backgroundColour(), cases[i].receiverColour ? red : white)
            << "drawn " << view().drawnSize().width() << " x " << view().drawnSize().height();
        // The full-size view has no receiver background.
        QTest::mouseClick(w->btnPalvoOff, Qt::LeftButton);
        EXPECT_EQ(view().backgroundColour(), white);
        QTest::mouseClick(w->btnPalvoOn, Qt::LeftButton);
    }
}

TEST_F(Walkthrough, AClickOnAThumbnailLoadsItsPictureOnce) {
    makePictures(3);
    start();
    QSignalSpy loads(&w->viewer(), &PictureViewer::loadEnded);
    clickThumbnail(2);
    ASSERT_TRUE(shows(pic(2)));
    test::Settle(300); // a second show would have been posted by now
    EXPECT_EQ(loads.count(), 1);
    clickThumbnail(2); // the picture on show: nothing to load
    test::Settle(300);
    EXPECT_EQ(loads.count(), 1);
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, AClickOnAnotherThumbnailDuringALargeLoadShowsTheClickedPicture) {
    files << writePicture(pictures.path() + "/a_large.jpg", {8000, 6000}, Qt::darkGreen);
    files << writePicture(pictures.path() + "/b_small.jpg", {320, 200}, Qt::magenta);
    options = test::FirstStartOptions(program.path(), pictures.path());
    w = std::make_unique<TfrmMain>(options);
    w->show();
    // The first idle pass starts loading the large picture.
    ASSERT_TRUE(QTest::qWaitFor([this] { return w->Loading(); }, kWaitMs));
    ASSERT_EQ(w->currentFile(), files[0]);
    ASSERT_TRUE(w->Loading());
    clickThumbnail(1);
    ASSERT_TRUE(shows(files[1]));
    EXPECT_EQ(view().image().size(), QSize(320, 200));
    EXPECT_EQ(w->ThumbGrid->CurrentIndex, 1);
    EXPECT_EQ(w->windowTitle(), "Palvo Sender - b_small.jpg");
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, AClickDuringALoadIsReplayedWhenTheIdlePassesHaveNothingElseToDo) {
    files << writePicture(pictures.path() + "/a_large.jpg", {8000, 6000}, Qt::darkGreen);
    files << writePicture(pictures.path() + "/b_small.jpg", {320, 200}, Qt::magenta);
    start();
    // Every thumbnail is cached and nothing else waits for an idle pass.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !w->idleWorkPending(); }, kWaitMs));
    w->viewer().ShowImage(); // the large picture once more
    ASSERT_TRUE(w->Loading());
    clickThumbnail(1);
    ASSERT_TRUE(shows(files[1]));
    EXPECT_EQ(view().image().size(), QSize(320, 200));
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, AShowRequestWaitsForTheLoadWithoutEmptyIdlePasses) {
    files << writePicture(pictures.path() + "/a_large.jpg", {8000, 6000}, Qt::darkGreen);
    files << writePicture(pictures.path() + "/b_small.jpg", {320, 200}, Qt::magenta);
    start();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !w->idleWorkPending(); }, kWaitMs));
    QSignalSpy ended(&w->viewer(), &PictureViewer::loadEnded);
    w->viewer().ShowImage();
    ASSERT_TRUE(w->Loading());
    w->postMessage(WM_SHOW_LATER);
    QCoreApplication::sendPostedEvents(w.get());
    ASSERT_TRUE(w->ShowPictureRequest);
    // Nothing can be done for it while the picture loads.
    EXPECT_FALSE(w->idleWorkPending());
    // Once the load has ended, an idle pass shows the picture again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w->ShowPictureRequest; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ended.size() >= 2 && !w->Loading(); }, kWaitMs));
    EXPECT_TRUE(shows(files[0]));
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, TheBusyGateAndListingTheFolderAgainStopALoadUnderWay) {
    files << writePicture(pictures.path() + "/a_large.jpg", {8000, 6000}, Qt::darkGreen);
    files << writePicture(pictures.path() + "/b_small.jpg", {320, 200}, Qt::magenta);
    start();
    QList<bool> aborted; // LoadAborted at the end of each load
    QObject::connect(&w->viewer(), &PictureViewer::loadEnded,
                     [&] { aborted << w->viewer().state.LoadAborted; });

    // A command's busy gate: the load stops, and its show waits for the gate.
    w->viewer().ShowImage();
    ASSERT_TRUE(w->Loading());
    w->Keypreparation(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !aborted.isEmpty(); }, kWaitMs));
    EXPECT_EQ(aborted, QList<bool>{true});
    test::Settle(300);
    EXPECT_FALSE(w->Loading());
    EXPECT_TRUE(w->viewer().state.ReshowRequested);
    EXPECT_TRUE(view().isEmpty());
    w->endKeypreparation();
    const auto largeShown = [this] {
        return view().image().size() == QSize(8000, 6000) && shows(files[0]);
    };
    EXPECT_TRUE(QTest::qWaitFor(largeShown, kWaitMs));

    // F5 lists the folder again.
    aborted.clear();
    w->viewer().ShowImage();
    ASSERT_TRUE(w->Loading());
    type(Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !aborted.isEmpty(); }, kWaitMs));
    EXPECT_TRUE(aborted.first());
    EXPECT_TRUE(QTest::qWaitFor(largeShown, kWaitMs));
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, TicksByCheckBoxAndButtonsKeepCountsAndCaptionInStep) {
    makePictures(5);
    start();
    EXPECT_EQ(w->windowTitle(), "Palvo Sender - pic00.jpg");
    clickCheckBox(1);
    clickCheckBox(3);
    EXPECT_EQ(w->uploadList().entries(), (QStringList{pic(1), pic(3)}));
    EXPECT_EQ(w->lblSelUpload1->text(), "to upload (2)");
    EXPECT_EQ(w->lblSelFolders1->text(), "originals (5)");
    // Ticking does not change the picture on show.
    EXPECT_EQ(w->windowTitle(), "Palvo Sender - pic00.jpg");
    EXPECT_TRUE(w->btnUpload->isEnabled());
    EXPECT_TRUE(w->btndeselectall->isEnabled());

    // The upload view shows its first picture; the counts stay.
    QTest::mouseClick(w->lblSelUpload1, Qt::LeftButton);
    ASSERT_TRUE(shows(pic(1)));
    EXPECT_EQ(w->windowTitle(), "Palvo Sender - pic01.jpg");
    EXPECT_EQ(w->lblSelUpload2->text(), "to upload (2)");
    EXPECT_EQ(w->lblSelFolders2->text(), "originals (5)");
    EXPECT_FALSE(w->btnSelectAll->isEnabled());
    // Unticking there takes the picture off the list and out of the view.
    clickCheckBox(1);
    EXPECT_EQ(w->uploadList().entries(), QStringList{pic(1)});
    EXPECT_EQ(w->ThumbGrid->ItemCount(), 1);
    EXPECT_EQ(w->lblSelUpload2->text(), "to upload (1)");
    clickCheckBox(0);
    EXPECT_TRUE(w->uploadList().isEmpty());
    EXPECT_EQ(w->ThumbGrid->ItemCount(), 0);
    EXPECT_EQ(w->lblSelUpload2->text(), "to upload (0)");
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return w->windowTitle() == "Palvo Sender - Folder: " + pictures.path() + "/"; },
        kWaitMs))
        << w->windowTitle().toStdString();
    EXPECT_FALSE(w->btnUpload->isEnabled());

    // Back in the originals: select all, then deselect all.
    QTest::mouseClick(w->lblSelFolders2, Qt::LeftButton);
    ASSERT_TRUE(shows(pic(0)));
    EXPECT_EQ(w->windowTitle(), "Palvo Sender - pic00.jpg");
    QTest::mouseClick(w->btnSelectAll, Qt::LeftButton);
    EXPECT_EQ(w->uploadList().count(), 5);
    EXPECT_EQ(w->lblSelUpload1->text(), "to upload (5)");
    QTest::mouseClick(w->btndeselectall, Qt::LeftButton);
    EXPECT_TRUE(w->uploadList().isEmpty());
    EXPECT_EQ(w->lblSelUpload1->text(), "to upload (0)");
    EXPECT_FALSE(w->btndeselectall->isEnabled());
    EXPECT_EQ(unexpectedMessages(), QStringList());
}

TEST_F(Walkthrough, IdlePassesFillTheDiskCacheForTheWholeFolderThenStop) {
    makePictures(60, {160, 120});
    start();
    const int visible = (w->ThumbGrid->VisibleRowCount() + 1) * w->ThumbGrid->ColCount();
    ASSERT_LT(visible, 40) << "the folder must be longer than the grid shows";
    ThumbnailCache& cache = w->ThumbGrid->cache();
    ASSERT_TRUE(QTest::qWaitFor([&] { return cache.diskIndex().size() == 60; }, 60000))
        << cache.diskIndex().size();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !w->idleWorkPending() && !w->idlePassScheduled(); }, kWaitMs));
    // Pictures far below the visible rows were never painted: the idle
    // passes cached them.
    EXPECT_EQ(cache.FindInMemoryCache(pic(59)), -1);
    EXPECT_TRUE(QFile::exists(cache.cacheFilePath(pic(59))));
    EXPECT_EQ(cache.precacheCursor(), 60);

    // Another folder while a modal step holds the keyboard map: nothing is
    // pre-cached until the step ends.
    QTemporaryDir second;
    for (int i = 0; i < 50; ++i)
        writePicture(second.filePath(QStringLiteral("more%1.jpg").arg(i, 2, 10, QLatin1Char('0'))),
                     {160, 120}, Qt::darkYellow);
    w->Keypreparation(false);
    w->library().Change2Directory(second.path());
    ASSERT_EQ(w->ThumbGrid->ItemCount(), 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->ThumbGrid->idle() && !w->Loading(); }, kWaitMs));
    test::Settle(300);
    EXPECT_EQ(cache.precacheCursor(), 0);
    EXPECT_FALSE(w->idleWorkPending());
    const QString last = second.filePath("more49.jpg");
    EXPECT_FALSE(QFile::exists(cache.cacheFilePath(last)));
    w->endKeypreparation();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(cache.cacheFilePath(last)); }, 60000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !w->idleWorkPending() && !w->idlePassScheduled(); }, kWaitMs));
    EXPECT_EQ(cache.precacheCursor(), 50);
    EXPECT_EQ(unexpectedMessages(), QStringList());
}
