#include "imaging/ViewerGeometry.h"
#include "imaging/ui/PictureView.h"
#include "imaging/ui/PictureViewer.h"
#include "support/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using namespace palvo;

namespace {

// The main window as the viewer sees it: a grid of files and a record of
// what the viewer asked for.
class FakeHost : public ViewerHost {
public:
    QStringList files;
    int current = 0;
    PictureViewer* viewer = nullptr;
    QStringList calls;
    QList<bool> loadingChanges;
    QString zoomLabel;
    bool receiverButtonDown = true;
    bool fullScreenButtonDown = false;
    bool modal = false;
    bool chromeHidden = false;
    QString folderMadeCurrent;
    int shows = 0;

    int gridItemCount() const override { return int(files.size()); }
    int gridCurrentIndex() const override { return files.isEmpty() ? -1 : current; }
    QString gridFileName(int index) const override {
        return index >= 0 && index < files.size() ? files[index] : QString();
    }
    int gridIndexOf(const QString& fileName) const override { return int(files.indexOf(fileName)); }
    void selectGridIndex(int index) override {
        current = index;
        calls << QStringLiteral("select %1").arg(index);
    }
    void refreshGrid() override { calls << "refreshGrid"; }
    void focusGrid() override { calls << "focusGrid"; }
    void doselectstatus() override {}
    void setloading(bool loading) override { loadingChanges << loading; }
    void docurrfileinfo() override {}
    void clearFileNameLabel() override {}
    void setZoomLabel(const QString& text) override { zoomLabel = text; }
    void showLoadGauge(bool) override {}
    void setModeButtons(bool receiverView) override { receiverButtonDown = receiverView; }
    void setFullScreenButton(bool down) override { fullScreenButtonDown = down; }
    void setWindowCaption(const QString&) override {}
    bool debugMode() const override { return false; }
    bool windowClosing() const override { return false; }
    void ClearEditactions() override { calls << "ClearEditactions"; }
    bool changed = false;
    bool Changed() const override { return changed; }
    void PromptSaveChanges(bool, bool) override { calls << "PromptSaveChanges"; }
    void storeDescription() override { calls << "storeDescription"; }
    void resetChangeState() override {
        changed = false;
        calls << "resetChangeState";
    }
    void loadDescription(const QString& fileName) override {
        calls << "loadDescription " + fileName;
    }
    void deleteLeftoverTempFiles() override {}
    bool cropUnderWay() const override { return false; }
    bool redEyeActive() const override { return false; }
    void selectionOverlayChanged() override {}
    void repositionCaption() override {}
    // Posted, as the main window's message 2030 is.
    void DoShowImage() override {
        ++shows;
        QTimer::singleShot(0, [this] { viewer->ShowImage(); });
    }
    bool inModalStep() const override { return modal; }
    QString Updatecurrentdirectory(const QString& folder) override {
        folderMadeCurrent = folder;
        return folder;
    }
    void setWindowFullScreen(bool on) override { calls << QStringLiteral("fullScreen %1").arg(on); }
    void setFullScreenChrome(bool fullScreen) override { chromeHidden = fullScreen; }
};

QString writePicture(const QString& path, int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    // Some detail so the JPEG is not trivially small.
    for (int y = 0; y < height; y += 7)
        for (int x = 0; x < width; x += 5)
            image.setPixelColor(x, y, Qt::black);
    EXPECT_TRUE(image.save(path, nullptr, 90)) << path.toStdString();
    return path;
}

class PictureViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        holder.resize(1200, 900);
        settings.PalvoBackgroundColor = clRed;
        viewer = std::make_unique<PictureViewer>(host, settings, config, &holder);
        host.viewer = viewer.get();
        holder.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&holder));
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // Runs the event loop with the idle pass's replay until the viewer is
    // idle and nothing is waiting.
    bool settle(int timeoutMs = 20000) {
        return QTest::qWaitFor(
            [this] {
                viewer->idleReshow();
                return !viewer->state.Loading && !viewer->state.ReshowRequested && quiet();
            },
            timeoutMs);
    }
    bool quiet() {
        QCoreApplication::processEvents();
        return !viewer->state.Loading;
    }
    void show(int index) {
        host.current = index;
        viewer->ShowImage();
        ASSERT_TRUE(settle());
    }

    QTemporaryDir dir;
    QWidget holder;
    Settings settings;
    ServiceConfig config;
    FakeHost host;
    test::ScriptedMessages messages;
    std::unique_ptr<PictureViewer> viewer;
};

TEST_F(PictureViewerTest, ReceiverFrameStaysAtTheReceiverSizeAndGrowsInFullSizeView) {
    EXPECT_EQ(viewer->framePanel().size(), QSize(673, 510));
    EXPECT_EQ(viewer->framePanel().geometry().center(), QRect(3, 3, 1194, 894).center());
    viewer->btnPalvoOffClick(false);
    // 673 x 510 into 1194 x 894: height binds, 1180 x 894.
    EXPECT_EQ(viewer->framePanel().size(), QSize(1180, 894));
    holder.resize(2000, 1500);
    viewer->btnPalvoOffClick(true);
    EXPECT_EQ(viewer->framePanel().size(), QSize(673, 510));
    holder.resize(400, 300); // smaller than the receiver: shrinks, keeps the shape
    EXPECT_EQ(viewer->framePanel().size(), framePanelRect({394, 294}, 640, 480, false).size());
    EXPECT_LE(viewer->framePanel().width(), 394);
}

TEST_F(PictureViewerTest, TheReceiverViewShowsAReceiverSizedPictureAtItsOwnSize) {
    EXPECT_EQ(viewer->view().size(), QSize(640, 480));
    host.files = {writePicture(path("frame.png"), 640, 480, Qt::gray)};
    show(0);
    EXPECT_EQ(viewer->view().zoom(), 100);
    EXPECT_EQ(viewer->view().drawnSize(), QSize(640, 480));
    EXPECT_EQ(viewer->view().backgroundColour(), QColor(Qt::white));
}

TEST_F(PictureViewerTest, ShowsTheGridsPictureFittedInTheReceiverView) {
    host.files = {writePicture(path("a.jpg"), 1600, 1200, Qt::yellow),
                  writePicture(path("b.png"), 100, 80, Qt::cyan)};
    show(0);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(viewer->state.CurrentFile, host.files[0]);
    EXPECT_EQ(viewer->view().image().size(), QSize(1600, 1200));
    EXPECT_EQ(viewer->state.ImageInfo.Width, 1600);
    EXPECT_TRUE(viewer->state.Ready);
    EXPECT_FALSE(viewer->state.LoadFailed);
    EXPECT_EQ(host.loadingChanges, QList<bool>({true, false}));
    const QSize viewSize = viewer->view().viewSize();
    EXPECT_EQ(viewer->state.ZoomPercent, int(shownPictureZoom({1600, 1200}, viewSize, true)));
    EXPECT_LT(viewer->state.ZoomPercent, 100);
    EXPECT_EQ(host.zoomLabel, QString::number(viewer->state.ZoomPercent) + "%");
    // A 4:3 picture fitted into the 4:3 frame covers it: white.
    EXPECT_EQ(viewer->view().backgroundColour(), QColor(Qt::white));

    show(1); // small: 100 %, on the receiver's background colour
    EXPECT_EQ(viewer->view().image().size(), QSize(100, 80));
    EXPECT_EQ(viewer->state.ZoomPercent, 100);
    EXPECT_EQ(viewer->view().backgroundColour(), ColourToQColor(clRed));
    viewer->btnPalvoOffClick(false); // full-size view: white around it
    EXPECT_EQ(viewer->view().backgroundColour(), QColor(Qt::white));
}

TEST_F(PictureViewerTest, ZoomStepsSwitchToFullSizeAndStopAtFit) {
    host.files = {writePicture(path("small.png"), 300, 225, Qt::blue)};
    show(0);
    EXPECT_EQ(viewer->state.ZoomPercent, 100);
    viewer->zoom(true);
    EXPECT_FALSE(host.receiverButtonDown);
    EXPECT_FALSE(viewer->GetCurrentShrinkToFit());
    EXPECT_TRUE(viewer->state.UserZoomed);
    EXPECT_EQ(viewer->view().zoom(), 125);
    const int fit = fitZoomPercent({300, 225}, viewer->view().viewSize());
    ASSERT_GT(fit, 300);
    ASSERT_LT(fit, 400);
    std::vector<int> walk;
    for (int i = 0; i < 12; ++i) {
        viewer->zoom(true);
        walk.push_back(int(viewer->view().zoom()));
    }
    const std::vector<int> expected = {150, 175, 200, 225, 250, 275, 300, fit, 400, 500, 500, 500};
    EXPECT_EQ(walk, expected);
    EXPECT_EQ(host.zoomLabel, "500%");

    // Steps from a given zoom, far from the fit of a large picture.
    host.files = {writePicture(path("large.jpg"), 6000, 4500, Qt::blue)};
    show(0);
    ASSERT_LT(fitZoomPercent({6000, 4500}, viewer->framePanel().size()), 24);
    for (auto [from, to] : std::vector<std::pair<int, int>>{{24, 30}, {25, 50}, {275, 300}}) {
        viewer->state.ZoomPercent = from;
        viewer->zoom(true);
        EXPECT_EQ(viewer->view().zoom(), to) << from;
    }
    // Down from 300, stopping at the fit on the way; 5 is drawn at 7, and
    // below it zooming out is refused.
    const int largeFit = fitZoomPercent({6000, 4500}, viewer->view().viewSize());
    ASSERT_GT(largeFit, 15);
    ASSERT_LT(largeFit, 20);
    std::vector<int> down;
    for (int i = 0; i < 17; ++i) {
        viewer->zoom(false);
        down.push_back(int(viewer->view().zoom()));
    }
    const std::vector<int> expectedDown = {275, 250, 225, 200,      175, 150, 125, 100, 75,
                                           50,  25,  20,  largeFit, 15,  10,  7,   7};
    EXPECT_EQ(down, expectedDown);
    EXPECT_EQ(viewer->state.ZoomPercent, 5);
    // Back to the receiver view: fitted again, the user's zoom forgotten.
    viewer->btnPalvoOffClick(true);
    EXPECT_FALSE(viewer->state.UserZoomed);
    EXPECT_EQ(viewer->view().zoom(),
              shownPictureZoom({6000, 4500}, viewer->view().viewSize(), true));
}

TEST_F(PictureViewerTest, ClickOnAnotherPictureAbortsALargeLoadAndShowsTheNewOne) {
    host.files = {writePicture(path("large.jpg"), 8000, 6000, Qt::darkGreen),
                  writePicture(path("next.png"), 300, 200, Qt::magenta)};
    host.current = 0;
    QSignalSpy ended(viewer.get(), &PictureViewer::loadEnded);
    viewer->ShowImage();
    // The decode runs elsewhere: the call returns at once, still loading.
    ASSERT_TRUE(viewer->state.Loading);
    EXPECT_EQ(ended.count(), 0);
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = viewer->state.Loading; });
    QTest::qWait(1);
    EXPECT_TRUE(timerRan); // the event loop keeps running during the load

    // The grid's click on the other picture: the show waits, the load stops.
    host.current = 1;
    viewer->setReshowRequested();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(viewer->state.CurrentFile, host.files[1]);
    EXPECT_EQ(viewer->view().image().size(), QSize(300, 200));
    EXPECT_FALSE(viewer->state.LoadFailed);
    EXPECT_EQ(ended.count(), 2); // aborted, then loaded

    // The dropped decode never replaces the picture on show.
    viewer.reset(); // waits for the worker
    host.viewer = nullptr;
}

TEST_F(PictureViewerTest, ClickingThroughLargePicturesEndsOnTheLastOne) {
    for (int i = 0; i < 4; ++i)
        host.files << writePicture(path(QStringLiteral("big%1.jpg").arg(i)), 5000, 3750,
                                   QColor::fromHsv(i * 60, 200, 200));
    host.files << writePicture(path("last.png"), 160, 120, Qt::white);
    host.current = 0;
    viewer->ShowImage();
    // Each click lands while the previous picture is still loading.
    for (int i = 1; i < host.files.size(); ++i) {
        host.current = i;
        viewer->setReshowRequested();
        EXPECT_TRUE(QTest::qWaitFor([this] {
            viewer->idleReshow();
            return viewer->state.CurrentFile == host.files[host.current];
        }));
    }
    ASSERT_TRUE(settle());
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
    EXPECT_EQ(viewer->state.CurrentFile, host.files.last());
    EXPECT_EQ(viewer->view().image().size(), QSize(160, 120));
}

TEST_F(PictureViewerTest, LeavingAChangedPictureSettlesItBeforeTheLoad) {
    host.files = {writePicture(path("a.png"), 300, 200, Qt::red)};
    host.changed = true;
    show(0);
    const QStringList expected = {"ClearEditactions", "PromptSaveChanges", "storeDescription",
                                  "resetChangeState", "loadDescription " + host.files[0]};
    EXPECT_EQ(host.calls, expected);
}

TEST_F(PictureViewerTest, AShowOfThePictureBeingLoadedOnlyWaits) {
    host.files = {writePicture(path("large.jpg"), 4000, 3000, Qt::darkGreen)};
    host.current = 0;
    QSignalSpy ended(viewer.get(), &PictureViewer::loadEnded);
    viewer->ShowImage();
    viewer->ShowImage(); // the same picture: remembered, not aborted
    EXPECT_TRUE(viewer->state.ReshowRequested);
    EXPECT_FALSE(viewer->state.AbortRequested);
    ASSERT_TRUE(settle());
    EXPECT_FALSE(viewer->state.LoadAborted);
    EXPECT_EQ(viewer->view().image().size(), QSize(4000, 3000));
}

TEST_F(PictureViewerTest, ClearingTheViewerDropsTheLoadUnderWay) {
    host.files = {writePicture(path("a.png"), 64, 48, Qt::red)};
    host.current = 0;
    QSignalSpy ended(viewer.get(), &PictureViewer::loadEnded);
    viewer->ShowImage();
    viewer->ShowImage(); // a second show of it waits for the load
    ASSERT_TRUE(viewer->state.Loading);
    ASSERT_TRUE(viewer->state.ReshowRequested);
    // The small decode ends on its thread meanwhile; its result waits in the
    // queue when the list empties and the viewer is cleared.
    QThread::msleep(200);
    host.files.clear();
    viewer->clearViewer();
    EXPECT_FALSE(viewer->state.Loading);
    EXPECT_TRUE(viewer->state.Ready);
    EXPECT_EQ(ended.count(), 1);
    ASSERT_TRUE(settle());
    EXPECT_TRUE(viewer->view().isEmpty());
    EXPECT_FALSE(host.calls.contains("loadDescription " + path("a.png")));
    // Nothing is shown again in its place, so no "no pictures" message.
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join("|").toStdString();
}

TEST_F(PictureViewerTest, AResultArrivingAfterThePictureChangedIsNotTakenForTheNewOne) {
    host.files = {writePicture(path("a.png"), 64, 48, Qt::red),
                  writePicture(path("b.png"), 80, 60, Qt::green)};
    host.current = 0;
    viewer->ShowImage();
    // The decode of a ends on its thread; its result waits in the queue when
    // the grid's click on b asks for the abort.
    QThread::msleep(200);
    host.current = 1;
    viewer->setReshowRequested();
    ASSERT_TRUE(settle());
    EXPECT_EQ(viewer->state.CurrentFile, host.files[1]);
    EXPECT_EQ(viewer->view().image().size(), QSize(80, 60));
    EXPECT_FALSE(host.calls.contains("loadDescription " + host.files[0]));

    // A broken picture's failure names that picture, even when a file from
    // outside has become the current one meanwhile.
    QFile broken(path("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8 this is not a picture");
    broken.close();
    host.files = {broken.fileName(), path("b.png")};
    host.current = 0;
    viewer->ShowImage();
    QThread::msleep(200);
    viewer->directshow(path("b.png"));
    ASSERT_TRUE(settle());
    for (const QString& text : messages.shown)
        EXPECT_TRUE(text.contains(broken.fileName()) && !text.contains("b.png"))
            << text.toStdString();
    EXPECT_EQ(viewer->state.CurrentFile, path("b.png"));
    EXPECT_EQ(viewer->view().image().size(), QSize(80, 60));
    EXPECT_FALSE(viewer->state.LoadFailed);
}

// A message box as the user meets it: while it is up the event loop runs,
// and the user may click elsewhere before closing it.
class MovingOnDuringAMessage : public MessageHandler {
public:
    explicit MovingOnDuringAMessage(std::function<void()> meanwhile)
        : meanwhile_(std::move(meanwhile)), previous_(setMessageHandler(this)) {}
    ~MovingOnDuringAMessage() override { setMessageHandler(previous_); }
    void showMessage(const QString& message) override {
        shown << message;
        if (auto meanwhile = std::exchange(meanwhile_, nullptr))
            meanwhile();
    }
    int showConfirm(const QString&, const QString&) override { return mrOK; }
    QStringList shown;

private:
    std::function<void()> meanwhile_;
    MessageHandler* previous_;
};

TEST_F(PictureViewerTest, APictureShownWhileAFailureIsReportedStaysShownAndUsable) {
    QFile broken(path("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8 this is not a picture");
    broken.close();
    const QString good = writePicture(path("b.png"), 300, 200, Qt::green);
    // A picture that fails to load, and one whose file has gone.
    for (const QString& failing : {broken.fileName(), path("gone.jpg")}) {
        host.files = {failing, good};
        host.current = 0;
        host.calls.clear();
        // While the failure is reported the user clicks b, which is shown.
        MovingOnDuringAMessage box([this] {
            host.current = 1;
            viewer->setReshowRequested();
            EXPECT_TRUE(QTest::qWaitFor([this] {
                viewer->idleReshow();
                return viewer->state.CurrentFile == host.files[1] && !viewer->state.Loading &&
                       !viewer->view().isEmpty();
            }));
        });
        viewer->ShowImage();
        ASSERT_TRUE(settle());
        EXPECT_EQ(box.shown.size(), 1) << failing.toStdString();
        EXPECT_EQ(viewer->state.CurrentFile, good) << failing.toStdString();
        EXPECT_EQ(viewer->view().image().size(), QSize(300, 200)) << failing.toStdString();
        EXPECT_FALSE(viewer->state.LoadFailed) << failing.toStdString();
        EXPECT_FALSE(host.calls.contains("loadDescription " + failing));
        viewer->zoom(true);
        EXPECT_TRUE(viewer->state.UserZoomed) << failing.toStdString();
        viewer->btnPalvoOffClick(true);
    }
}

TEST_F(PictureViewerTest, FailuresAreReportedOnceAndStopZooming) {
    viewer->ShowImage();
    EXPECT_EQ(messages.shown, QStringList{"There are no pictures to display."});

    host.files = {path("gone.jpg")};
    messages.shown.clear();
    show(0);
    EXPECT_EQ(messages.shown, QStringList{"Unable to locate file " + path("gone.jpg") + "."});
    EXPECT_TRUE(viewer->state.CurrentFile.isEmpty());

    QFile broken(path("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\xFF\xD8 this is not a picture");
    broken.close();
    host.files = {path("broken.jpg")};
    messages.shown.clear();
    show(0);
    EXPECT_EQ(messages.shown,
              QStringList{"An error was encountered loading the file, " + path("broken.jpg") +
                          ".  The image may be corrupt or you may be running low on memory."});
    EXPECT_TRUE(viewer->state.LoadFailed);
    EXPECT_TRUE(viewer->view().isEmpty());
    viewer->zoom(true);
    EXPECT_FALSE(viewer->state.UserZoomed);

    viewer->state.EditBusy = true;
    messages.shown.clear();
    viewer->ShowImage();
    EXPECT_FALSE(viewer->state.Loading);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(PictureViewerTest, FullScreenNeedsPicturesAndRestoresTheGridPosition) {
    viewer->dofullscreen(true);
    EXPECT_FALSE(viewer->fullScreen());
    EXPECT_FALSE(host.fullScreenButtonDown);

    host.files = {writePicture(path("a.png"), 300, 200, Qt::red),
                  writePicture(path("b.png"), 300, 200, Qt::green)};
    host.current = 1;
    viewer->dofullscreen(true);
    ASSERT_TRUE(settle()); // no picture was current: one is shown
    EXPECT_TRUE(viewer->fullScreen());
    EXPECT_TRUE(host.chromeHidden);
    EXPECT_EQ(viewer->state.GridIndexBeforeFullScreen, 1);
    EXPECT_EQ(viewer->state.CurrentFile, host.files[1]);
    auto* inner = holder.findChild<QFrame*>("pnlJustImage");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->layout()->contentsMargins().left(), PictureViewer::kInnerBorderFullScreen);
    EXPECT_EQ(viewer->view().backgroundColour(), QColor(Qt::black));

    host.current = 0; // the grid moved meanwhile
    viewer->dofullscreen(false);
    EXPECT_FALSE(viewer->fullScreen());
    EXPECT_FALSE(host.chromeHidden);
    EXPECT_EQ(host.current, 1);
    EXPECT_TRUE(host.calls.contains("fullScreen 1"));
    EXPECT_TRUE(host.calls.contains("fullScreen 0"));
    EXPECT_TRUE(host.calls.contains("focusGrid"));
    EXPECT_EQ(inner->layout()->contentsMargins().left(),
              PictureViewer::kInnerBorderAfterFullScreen);

    // The last picture deleted in full screen ends it with a message.
    viewer->dofullscreen(true);
    viewer->leaveFullScreenWhenEmpty();
    EXPECT_TRUE(viewer->fullScreen()); // pictures left: stays
    host.files.clear();
    messages.shown.clear();
    viewer->leaveFullScreenWhenEmpty();
    EXPECT_FALSE(viewer->fullScreen());
    EXPECT_EQ(messages.shown,
              QStringList{"There are no images remaining in this folder!  Switching to Normal "
                          "mode."});
}

TEST_F(PictureViewerTest, DirectShowMakesTheFolderCurrentAndShowsTheFile) {
    host.files = {writePicture(path("a.png"), 300, 200, Qt::red),
                  writePicture(path("b.png"), 120, 90, Qt::green)};
    host.current = 0;
    host.modal = true;
    viewer->directshow(host.files[1]);
    EXPECT_EQ(host.shows, 0); // a modal step is running: ignored
    host.modal = false;
    viewer->directshow(path("notes.txt"));
    EXPECT_EQ(host.folderMadeCurrent, dir.path() + "/");
    EXPECT_EQ(host.shows, 0);
    viewer->directshow(host.files[1]);
    ASSERT_TRUE(settle());
    EXPECT_EQ(host.current, 1);
    EXPECT_EQ(viewer->state.CurrentFile, host.files[1]);
    EXPECT_EQ(viewer->view().image().size(), QSize(120, 90));
    EXPECT_FALSE(viewer->state.FileGivenExplicitly);
}

TEST(LoadTImage, TheControlTakesThePicturesSize) {
    QTemporaryDir dir;
    QLabel label;
    label.setFixedSize(10, 10);
    EXPECT_FALSE(PictureViewer::LoadTImage(label, dir.filePath("missing.xdl")));
    EXPECT_EQ(label.size(), QSize(10, 10));
    QImage picture(64, 32, QImage::Format_RGB888);
    picture.fill(Qt::red);
    // The program's pictures carry their own extension; the content decides.
    ASSERT_TRUE(picture.save(dir.filePath("Logo.xdl"), "PNG"));
    ASSERT_TRUE(picture.save(dir.filePath("startup.xdl"), "JPEG"));
    for (const char* name : {"Logo.xdl", "startup.xdl"}) {
        QLabel control;
        EXPECT_TRUE(PictureViewer::LoadTImage(control, dir.filePath(name))) << name;
        EXPECT_EQ(control.size(), QSize(64, 32)) << name;
        EXPECT_EQ(control.pixmap().size(), QSize(64, 32)) << name;
    }
}

} // namespace
