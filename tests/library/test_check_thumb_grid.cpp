// The check grid as a real widget under the offscreen platform: layout,
// ticks and their hit zone, keys, narrowing, thumbnails from the workers and
// the caches, error pictures and pre-caching.
#include "imaging/IEFunctions.h"
#include "library/ui/QCheckThumbGrid.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace palvo;

namespace {

const QRgb kColours[] = {qRgb(220, 30, 30),  qRgb(30, 200, 30),  qRgb(30, 30, 220),
                         qRgb(230, 200, 20), qRgb(200, 30, 200), qRgb(20, 200, 200)};

class GridFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/pictures/");
        ASSERT_TRUE(QDir().mkpath(folder));
        grid.applyMainWindowLook();
        grid.resize(264, 360);
        grid.setDiskCacheDirectory(dir.path() + QStringLiteral("/cache"));
        grid.setAttachedListBox(&entries);
        grid.OnGetCheckStatus = [this](const QString& name, bool& checked) {
            checked = ticked.contains(name);
        };
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }
    // count pictures 400 x 300 in solid colours, listed with ";".
    void makePictures(int count) {
        TIEFunctions f;
        for (int i = 0; i < count; ++i) {
            QImage image(400, 300, QImage::Format_RGB888);
            image.fill(kColours[i % 6]);
            const QString path =
                folder + QStringLiteral("pic_%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
            ASSERT_TRUE(f.SaveBitmapAsJPEG(image, path, 90, false, false));
            entries << QLatin1Char(';') + path;
        }
    }
    QPoint checkPoint(int index) const {
        const QRect cell = grid.ItemRect(index);
        return {cell.left() + 10, cell.top() + cell.height() - 20};
    }
    QPoint middle(int index) const { return grid.ItemRect(index).center(); }
    QRgb pixelAtThumbnail(int index) {
        const QImage shot = grid.viewport()->grab().toImage();
        const QRect cell = grid.ItemRect(index);
        return shot.pixel(cell.left() + 14 + 45, cell.top() + 14 + 37);
    }

    QTemporaryDir dir;
    QString folder;
    QStringList entries;
    QStringList ticked;
    TQCheckThumbGrid grid;
};

bool near(QRgb a, QRgb b, int tolerance = 24) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

TEST_F(GridFixture, MainWindowCellsAndColumns) {
    EXPECT_EQ(grid.ColWidth(), 118);
    EXPECT_EQ(grid.RowHeight(), 9 + 75 + 32);
    EXPECT_EQ(grid.ColCount(), 2);
    makePictures(5);
    grid.Reload(true, true, true);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.ItemCount(), 5);
    EXPECT_EQ(grid.CurrentIndex, 0);
    EXPECT_EQ(grid.SelectedCount(), 1);
    EXPECT_TRUE(grid.IsSelected(0));
}

TEST_F(GridFixture, EmptyListShowsOneRowAndIgnoresInput) {
    grid.Reload(true, true, true);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.CurrentIndex, -1);
    QSignalSpy downs(&grid, &TQCheckThumbGrid::gridMouseDown);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    grid.NavigateKey(Qt::Key_End);
    EXPECT_EQ(grid.CurrentIndex, -1);
    EXPECT_EQ(downs.count(), 0);
}

TEST_F(GridFixture, CheckZoneTogglesWithLeftButtonAndSelectsWithRight) {
    makePictures(5);
    grid.Reload(true, true, true);
    const QString second = entries[1].mid(1);
    QSignalSpy checks(&grid, &TQCheckThumbGrid::OnCheckItem);
    QSignalSpy ups(&grid, &TQCheckThumbGrid::gridMouseUp);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, checkPoint(1));
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks[0][0].toString(), second);
    EXPECT_TRUE(checks[0][1].toBool()); // asks for the tick
    EXPECT_EQ(grid.CurrentIndex, 0);
    EXPECT_TRUE(grid.IsSelected(0));
    EXPECT_FALSE(grid.IsSelected(1));
    EXPECT_EQ(ups.count(), 0);

    ticked << second;
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, checkPoint(1));
    ASSERT_EQ(checks.count(), 2);
    EXPECT_FALSE(checks[1][1].toBool()); // now asks to untick

    QTest::mouseClick(grid.viewport(), Qt::RightButton, {}, checkPoint(1));
    EXPECT_EQ(checks.count(), 2);
    EXPECT_EQ(grid.CurrentIndex, 1);
    EXPECT_EQ(grid.PreviousIndex, 0);
    EXPECT_TRUE(grid.IsSelected(1));
    EXPECT_EQ(grid.SelectedCount(), 1);
    EXPECT_EQ(ups.count(), 1);
}

TEST_F(GridFixture, TicksWithoutAHandlerLiveInTheEntries) {
    makePictures(3);
    grid.OnGetCheckStatus = nullptr;
    grid.Reload(true, true, true);
    EXPECT_EQ(grid.CheckedCount(), 0);
    EXPECT_TRUE(grid.ToggleCheck(2));
    EXPECT_FALSE(entries[2].startsWith(QLatin1Char(';')));
    QStringList files;
    grid.GetCheckedFiles(files);
    EXPECT_EQ(files, QStringList{entries[2]});
    EXPECT_FALSE(grid.ToggleCheck(2));
    EXPECT_TRUE(entries[2].startsWith(QLatin1Char(';')));
    EXPECT_FALSE(grid.ToggleCheck(7)); // no such entry
    grid.TickAll();
    EXPECT_EQ(grid.CheckedCount(), 3);
    grid.Reload(true, false, true);
    EXPECT_EQ(grid.CheckedCount(), 0);
}

TEST_F(GridFixture, ArrowsStopAtTheEndsAndAtAPartialRow) {
    makePictures(5);
    grid.Reload(true, true, true);
    grid.NavigateKey(Qt::Key_Left);
    EXPECT_EQ(grid.CurrentIndex, 0);
    grid.NavigateKey(Qt::Key_Right);
    grid.NavigateKeyRelease(Qt::Key_Right, {});
    EXPECT_EQ(grid.CurrentIndex, 1);
    EXPECT_TRUE(grid.IsSelected(1));
    EXPECT_EQ(grid.SelectedCount(), 1);
    grid.NavigateKey(Qt::Key_Down);
    EXPECT_EQ(grid.CurrentIndex, 3);
    grid.NavigateKey(Qt::Key_Down); // nothing below item 3
    EXPECT_EQ(grid.CurrentIndex, 3);
    grid.NavigateKey(Qt::Key_End);
    EXPECT_EQ(grid.CurrentIndex, 4);
    grid.NavigateKey(Qt::Key_Right);
    EXPECT_EQ(grid.CurrentIndex, 4);
    grid.NavigateKey(Qt::Key_Up);
    EXPECT_EQ(grid.CurrentIndex, 2);
    grid.NavigateKey(Qt::Key_Home);
    EXPECT_EQ(grid.CurrentIndex, 0);
}

TEST_F(GridFixture, OwnKeyHandlingWhenSwitchedOn) {
    makePictures(5);
    grid.Reload(true, true, true);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.CurrentIndex, 0); // off: the main window calls NavigateKey
    grid.DisableComponentKeyEventHandling = false;
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.CurrentIndex, 1);
    EXPECT_TRUE(grid.IsSelected(1));
}

TEST_F(GridFixture, NarrowingKeepsSelectionAndCurrentPicture) {
    makePictures(5);
    grid.Reload(true, true, true);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, middle(3));
    ASSERT_EQ(grid.CurrentIndex, 3);
    grid.resize(137, 360);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.CurrentIndex, 3);
    EXPECT_TRUE(grid.IsSelected(3));
    grid.resize(264, 360);
    EXPECT_EQ(grid.ColCount(), 2);
    EXPECT_EQ(grid.CurrentIndex, 3);
    EXPECT_TRUE(grid.IsSelected(3));
}

TEST_F(GridFixture, WheelScrollsOneRowWithinTheRows) {
    makePictures(12); // 6 rows, 3 visible at 360 pixels
    grid.OnTopLeftChanged = [] {};
    grid.Reload(true, true, true);
    ASSERT_EQ(grid.VisibleRowCount(), 3);
    QWheelEvent up(QPointF(50, 50), grid.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120),
                   Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QWheelEvent down(QPointF(50, 50), grid.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -120),
                     Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid.viewport(), &up);
    EXPECT_EQ(grid.TopRow(), 0);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::sendEvent(grid.viewport(), &down);
    EXPECT_EQ(grid.TopRow(), 3);
    EXPECT_TRUE(grid.ScrolledByUser);
    EXPECT_EQ(grid.CurrentIndex, 0); // the view is never pulled back here
}

TEST_F(GridFixture, ThumbnailsArriveFromWorkersAndFillBothCaches) {
    makePictures(5);
    grid.Reload(true, true, true);
    grid.repaint();
    EXPECT_FALSE(grid.idle());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QCoreApplication::processEvents();
            return grid.idle() && grid.cache().diskIndex().size() == 5;
        },
        20000));
    grid.repaint();
    for (int i = 0; i < 5; ++i) {
        EXPECT_GE(grid.cache().FindInMemoryCache(entries[i].mid(1)), 0) << i;
        EXPECT_TRUE(near(pixelAtThumbnail(i), kColours[i])) << i;
    }
    EXPECT_LE(grid.maxWorkers(), std::max(1, QThread::idealThreadCount()));

    // A second grid on the same cache folder reads the disk cache at once.
    grid.cache().SaveDiskCacheIndex();
    TQCheckThumbGrid second;
    second.applyMainWindowLook();
    second.resize(264, 360);
    second.setDiskCacheDirectory(dir.path() + QStringLiteral("/cache"));
    second.setAttachedListBox(&entries);
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    second.Reload(true, true, true);
    second.repaint();
    EXPECT_TRUE(second.idle());
    EXPECT_GE(second.cache().FindInMemoryCache(entries[0].mid(1)), 0);
}

TEST_F(GridFixture, MissingFolderGivesErrorPicturesUntilTheNextReload) {
    makePictures(3);
    const QString sub = folder + QStringLiteral("Sub.jpg");
    ASSERT_TRUE(QDir().mkdir(sub));
    entries << QLatin1Char(';') + sub;
    grid.Reload(true, true, true);
    grid.repaint();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QCoreApplication::processEvents();
            return grid.idle();
        },
        20000));
    grid.repaint();
    // The folder that is listed like a picture shows the error picture.
    const QRect cell = grid.ItemRect(3);
    const QImage shot = grid.viewport()->grab().toImage();
    // The crossing of the red cross, fitted into the box.
    const QRgb mark = shot.pixel(cell.left() + 14 + 45, cell.top() + 14 + 52);
    EXPECT_TRUE(near(mark, qRgb(200, 40, 40), 60)) << qRed(mark) << " " << qGreen(mark);
    EXPECT_TRUE(grid.UnreachableFolder().isEmpty());

    // The card is pulled: every cell fails at once and the folder is recorded.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    grid.InvalidateThumbnail(0, QString());
    grid.repaint();
    EXPECT_EQ(grid.UnreachableFolder(), folder);
    EXPECT_TRUE(grid.idle());
    grid.Reload(false, false, false);
    EXPECT_TRUE(grid.UnreachableFolder().isEmpty());
}

TEST_F(GridFixture, PrecachingFillsTheDiskCacheAheadOfTheUser) {
    makePictures(12);
    grid.Reload(true, true, true);
    grid.repaint();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            QCoreApplication::processEvents();
            grid.PrecacheNext();
            return grid.cache().precacheCursor() >= 12 && grid.idle();
        },
        30000));
    EXPECT_EQ(grid.cache().diskIndex().size(), 12);
    // Pre-cached files are in list order after the visible ones.
    EXPECT_EQ(grid.cache().diskIndex().last(), entries.last().mid(1));
    EXPECT_EQ(grid.cache().FindInMemoryCache(entries.last().mid(1)), -1);
}
