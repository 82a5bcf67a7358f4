#include <gtest/gtest.h>

#include "foundation/SettingsFile.h"
#include "shell/MainWindowFixture.h"
#include "shell/ui/MainUnit.h"
#include "support/ScriptedMessages.h"

#include <QFile>
#include <QFrame>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace palvo;

namespace {

// The main window on a folder of three generated pictures (or none).
class Geometry : public ::testing::Test {
protected:
    void SetUp() override { options = test::FirstStartOptions(program.path(), pictures.path()); }

    void addPictures() { ASSERT_TRUE(test::WriteColourPictures(pictures.path(), 3)); }

    std::unique_ptr<TfrmMain> start() {
        auto w = std::make_unique<TfrmMain>(options);
        QSignalSpy finished(w.get(), &TfrmMain::setupFinished);
        w->show();
        EXPECT_TRUE(finished.wait(10000));
        test::Settle();
        return w;
    }

    static void place(TfrmMain& w, QRect bounds) {
        w.resize(bounds.size());
        w.move(bounds.topLeft());
        test::Settle();
    }

    // The window position values of the settings file.
    QString stored() const {
        QFile f(SettingsFile::pathFor(QStringLiteral("Palvo Sender")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList position;
        for (const QByteArray& line : f.readAll().split('\n'))
            if (line.startsWith("SP"))
                position << QString::fromUtf8(line);
        return position.join(QLatin1Char(' '));
    }

    QTemporaryDir program, pictures;
    StartOptions options;
    test::ScriptedMessages messages;
};

const QRect kNormal(40, 30, 900, 640);

} // namespace

TEST_F(Geometry, MaximisedCloseKeepsTheNormalBoundsAndTheNextStartMaximisesOverThem) {
    auto w = start();
    // The window may grow until its client area covers the (pinned) screen.
    EXPECT_EQ(w->maximumSize(), QSize(1280, 1024));
    place(*w, kNormal);
    w->showMaximized();
    test::Settle();
    ASSERT_TRUE(w->isMaximized());
    ASSERT_NE(QRect(w->pos(), w->size()), kNormal);
    w->close();
    EXPECT_EQ(stored(), "SPHeight=640 SPWidth=900 SPLeft=40 SPMax=True SPTop=30");
    w.reset();

    auto again = start();
    EXPECT_TRUE(again->isMaximized());
    again->showNormal();
    test::Settle();
    EXPECT_EQ(QRect(again->pos(), again->size()), kNormal);
}

TEST_F(Geometry, FullScreenCoversTheScreenAndComesBack) {
    addPictures();
    auto w = start();
    place(*w, kNormal);
    w->fullscreenbtn->click();
    test::Settle();
    ASSERT_TRUE(w->fullScreen());
    EXPECT_TRUE(w->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()), w->screen()->geometry());
    EXPECT_TRUE(w->pnlToolbar->isHidden());
    EXPECT_TRUE(w->LeftPanel->isHidden());

    w->fullscreenbtn->click();
    test::Settle();
    EXPECT_FALSE(w->fullScreen());
    EXPECT_EQ(QRect(w->pos(), w->size()), kNormal);
    EXPECT_FALSE(w->pnlToolbar->isHidden());
    EXPECT_FALSE(w->LeftPanel->isHidden());
    EXPECT_EQ(w->LeftPanel->width(), w->panelWidthToRestore());
}

TEST_F(Geometry, ClosingInFullScreenStoresNothingOfTheGeometry) {
    addPictures();
    auto w = start();
    place(*w, kNormal);
    w->fullscreenbtn->click();
    test::Settle();
    ASSERT_TRUE(w->fullScreen());
    w->close();
    // The position of before full screen, saved on the way in; none of the
    // full-screen bounds.
    EXPECT_EQ(stored(), "SPHeight=640 SPWidth=900 SPLeft=40 SPMax=False SPTop=30");
}

TEST_F(Geometry, ShrinkingBelowTheGridNarrowsTheLeftPanel) {
    addPictures();
    auto w = start();
    ASSERT_FALSE(w->currentFile().isEmpty());
    w->splitter->setSizes({600, 347});
    test::Settle();
    ASSERT_EQ(w->LeftPanel->width(), 600);
    w->resize(520, w->height());
    test::Settle();
    ASSERT_EQ(w->width(), 520);
    EXPECT_EQ(w->LeftPanel->width(), 490);
    EXPECT_EQ(w->panelWidthToRestore(), 490);

    // Dragging the splitter is a resize too: the new width is remembered.
    w->resize(950, w->height());
    test::Settle();
    QWidget* handle = w->splitter->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, grip);
    QTest::mouseMove(handle, grip + QPoint(-100, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(-100, 0));
    test::Settle();
    EXPECT_NEAR(w->LeftPanel->width(), 390, 2);
    EXPECT_EQ(w->panelWidthToRestore(), w->LeftPanel->width());
}

TEST_F(Geometry, WithoutACurrentPictureResizingLeavesThePanel) {
    auto w = start();
    ASSERT_TRUE(w->currentFile().isEmpty());
    const int remembered = w->panelWidthToRestore();
    w->splitter->setSizes({600, 347});
    test::Settle();
    w->resize(520, w->height());
    test::Settle();
    ASSERT_EQ(w->width(), 520);
    EXPECT_GT(w->LeftPanel->width(), 490);
    EXPECT_EQ(w->panelWidthToRestore(), remembered);
}
