#include "imaging/ui/PictureView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace palvo;

namespace {

QImage solid(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// Left half red, right half blue.
QImage halves(int width, int height) {
    QImage image = solid(width, height, Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixelColor(x, y, Qt::blue);
    return image;
}

QImage checkerboard(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, (x + y) % 2 ? Qt::white : Qt::black);
    return image;
}

void mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void drag(QWidget* target, QPoint from, QPoint to) {
    mouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(target, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    mouse(target, QEvent::MouseMove, to, Qt::LeftButton);
    mouse(target, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

class PictureViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view.resize(400, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QImage shot() {
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    PictureView view;
};

TEST_F(PictureViewTest, AutomaticShrinkFitsLargePicturesAndShowsSmallOnesAtFullSize) {
    view.setImage(solid(800, 300, Qt::red));
    EXPECT_DOUBLE_EQ(view.zoom(), 50);
    EXPECT_EQ(view.drawnSize(), QSize(400, 150));
    EXPECT_EQ(view.pictureLayout().scrollRange(), QSize(0, 0));
    view.resize(200, 150);
    EXPECT_DOUBLE_EQ(view.zoom(), 25);
    view.setImage(solid(100, 50, Qt::red));
    EXPECT_DOUBLE_EQ(view.zoom(), 100);
    // Off: the zoom stays whatever the size.
    view.setAutoShrink(false);
    view.setImage(solid(800, 300, Qt::red));
    EXPECT_DOUBLE_EQ(view.zoom(), 100);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::OpenHandCursor);
}

TEST_F(PictureViewTest, ConvertsViewAndPicturePositions) {
    view.setImage(solid(800, 300, Qt::red)); // 50 %, drawn 400 x 150 from y 75
    EXPECT_EQ(view.viewToPicture({200, 150}), QPointF(400, 150));
    EXPECT_EQ(view.viewToPicture({0, 75}), QPointF(0, 0));
    EXPECT_EQ(view.pictureToView({800, 300}), QPointF(400, 225));
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PictureViewTest, DraggingScrollsWithTheClosedHand) {
    view.setAutoShrink(false);
    view.setImage(solid(1000, 1000, Qt::red));
    const QSize range = view.pictureLayout().scrollRange();
    ASSERT_GT(range.width(), 100);
    ASSERT_GT(range.height(), 100);
    QWidget* port = view.viewport();
    EXPECT_EQ(port->cursor().shape(), Qt::OpenHandCursor);
    mouse(port, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton);
    EXPECT_EQ(port->cursor().shape(), Qt::ClosedHandCursor);
    mouse(port, QEvent::MouseMove, {60, 70}, Qt::LeftButton);
    EXPECT_EQ(view.scrollOffset(), QPoint(40, 30));
    mouse(port, QEvent::MouseMove, {-2000, -2000}, Qt::LeftButton);
    EXPECT_EQ(view.scrollOffset(), QPoint(range.width(), range.height())); // held at the end
    mouse(port, QEvent::MouseButtonRelease, {-2000, -2000}, Qt::NoButton);
    EXPECT_EQ(port->cursor().shape(), Qt::OpenHandCursor);
}

TEST_F(PictureViewTest, ZoomKeepsTheCentredPointInTheCentre) {
    view.setAutoShrink(false);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setImage(solid(1000, 1000, Qt::red));
    view.setScrollOffset({300, 350}); // centre shows picture (500, 500)
    QSignalSpy zoomed(&view, &PictureView::zoomChanged);
    view.setZoom(200);
    EXPECT_EQ(zoomed.count(), 1);
    EXPECT_EQ(view.viewToPicture({200, 150}), QPointF(500, 500));
    EXPECT_EQ(view.scrollOffset(), QPoint(800, 850));
}

TEST_F(PictureViewTest, PaintsBackgroundAndPictureWithEachFilter) {
    view.setBackgroundColour(Qt::green);
    view.resize(200, 200);
    view.setImage(halves(400, 200)); // 50 %: 200 x 100 from y 50
    for (int quality : {0, 1, 2}) {
        view.setDisplayQuality(quality);
        const QImage image = shot();
        EXPECT_EQ(image.pixelColor(100, 10), QColor(Qt::green)) << quality;
        EXPECT_EQ(image.pixelColor(40, 100), QColor(Qt::red)) << quality;
        EXPECT_EQ(image.pixelColor(160, 100), QColor(Qt::blue)) << quality;
    }
}

TEST_F(PictureViewTest, LanczosFilterAveragesAndIsMadeOncePerSize) {
    view.resize(200, 200);
    view.setImage(checkerboard(400, 400)); // 50 %
    view.setDisplayQuality(0);
    const int nearest = qGray(shot().pixel(100, 100));
    EXPECT_TRUE(nearest == 0 || nearest == 255) << nearest;
    EXPECT_EQ(view.scaledCacheKey(), QImage().cacheKey());

    view.setDisplayQuality(2);
    shot(); // drawn bilinear while the Lanczos picture is made elsewhere
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.scaledCacheKey() != 0; }));
    const int lanczos = qGray(shot().pixel(100, 100));
    EXPECT_NEAR(lanczos, 128, 20);
    const qint64 first = view.scaledCacheKey();
    shot();
    EXPECT_EQ(view.scaledCacheKey(), first); // repaint reuses it
    view.setAutoShrink(false);
    view.setZoom(40);
    shot();
    // Another size: made again.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.scaledCacheKey() != first; }));
    const QImage smaller = shot();
    EXPECT_NEAR(qGray(smaller.pixel(100, 100)), 128, 20);
}

TEST_F(PictureViewTest, SelectionMovesResizesAndDarkensTheOutside) {
    view.setAutoShrink(false);
    view.setImage(solid(300, 200, QColor(200, 200, 200))); // 100 %, origin (50, 50)
    view.setSelecting(true);
    view.setDarkenOutside(true);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::CrossCursor);
    view.setSelection(QRect(100, 50, 100, 100)); // view (150, 100) to (250, 200)

    const QImage image = shot();
    EXPECT_EQ(image.pixelColor(200, 150), QColor(200, 200, 200)); // inside: untouched
    EXPECT_LT(qGray(image.pixel(80, 80)), 150);                   // outside: darker
    const QColor grip = image.pixelColor(249, 199);
    EXPECT_EQ(grip, QColor(0xF8, 0x98, 0x00));

    QSignalSpy changing(&view, &PictureView::selectionChanging);
    QSignalSpy released(&view, &PictureView::selectionReleased);
    drag(view.viewport(), {250, 200}, {270, 230}); // bottom-right grip
    EXPECT_EQ(view.selection(), QRect(100, 50, 120, 130));
    EXPECT_GE(changing.count(), 1);
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released.first().first().toRect(), QRect(100, 50, 120, 130));

    drag(view.viewport(), {200, 150}, {210, 140}); // inside: moves
    EXPECT_EQ(view.selection(), QRect(110, 40, 120, 130));
    drag(view.viewport(), {200, 150}, {800, 800}); // moves only as far as the picture goes
    EXPECT_EQ(view.selection(), QRect(180, 70, 120, 130));
    drag(view.viewport(), {60, 60}, {80, 90}); // outside: a new rectangle
    EXPECT_EQ(view.selection(), QRect(10, 10, 20, 30));
    drag(view.viewport(), {320, 220}, {5000, 5000}); // held inside the picture
    EXPECT_EQ(view.selection(), QRect(270, 170, 30, 30));
}

} // namespace
