#include <gtest/gtest.h>

#include "foundation/DebugLog.h"
#include "imaging/ui/PictureViewer.h"
#include "shell/ui/MessageWindows.h"
#include "shell/ui/ProgressDisplay.h"
#include "shell/ui/Splash.h"
#include "support/ScriptedMessages.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace palvo;

namespace {

// Runs the action on the next modal message window that opens and records its
// caption, text and the buttons it showed.
struct Seen {
    QString caption, text;
    bool finish = false, ok = false, cancel = false;
    QSize size;
};

void OnNextMessageWindow(Seen* seen, std::function<void(TdlgCustomMsg*)> action) {
    QTimer::singleShot(0, [seen, action] {
        auto* dialog = qobject_cast<TdlgCustomMsg*>(QApplication::activeModalWidget());
        if (!dialog) {
            OnNextMessageWindow(seen, action);
            return;
        }
        seen->caption = dialog->windowTitle();
        seen->text = dialog->lblMessage->text();
        seen->finish = dialog->btnFinish->isVisible();
        seen->ok = dialog->btnOK->isVisible();
        seen->cancel = dialog->btnCancel->isVisible();
        seen->size = dialog->size();
        action(dialog);
    });
}

} // namespace

TEST(MessageWindow, MessagesAndConfirmations) {
    WidgetMessageHandler handler;
    {
        Seen seen;
        OnNextMessageWindow(
            &seen, [](TdlgCustomMsg* d) { QTest::mouseClick(d->btnFinish, Qt::LeftButton); });
        EXPECT_EQ(qMessageDlg("Careful", MsgType::Warning, mbOK), mrOK);
        // A message with the OK-only set is captioned "Information" whatever its type.
        EXPECT_EQ(seen.caption, "Information");
        EXPECT_EQ(seen.text, "Careful");
        EXPECT_TRUE(seen.finish);
        EXPECT_FALSE(seen.ok || seen.cancel);
        EXPECT_EQ(seen.size, QSize(364, 123));
    }
    struct Case {
        MsgType type;
        const char* caption;
    };
    for (const Case& c :
         {Case{MsgType::Warning, "Warning"}, Case{MsgType::Error, "Error"},
          Case{MsgType::Information, "Information"}, Case{MsgType::Confirmation, "Confirmation"},
          Case{MsgType::Custom, "Information"}}) {
        Seen seen;
        OnNextMessageWindow(&seen,
                            [](TdlgCustomMsg* d) { QTest::mouseClick(d->btnOK, Qt::LeftButton); });
        EXPECT_EQ(qMessageDlg("Go on?", c.type, mbOKCancel), mrOK);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_TRUE(seen.ok && seen.cancel);
        EXPECT_FALSE(seen.finish);
    }
    {
        Seen seen;
        OnNextMessageWindow(
            &seen, [](TdlgCustomMsg* d) { QTest::mouseClick(d->btnCancel, Qt::LeftButton); });
        EXPECT_EQ(ShowCustomConfirmDialog("Upload", "Send?"), mrCancel);
        EXPECT_EQ(seen.caption, "Upload");
    }
    {
        Seen seen;
        OnNextMessageWindow(&seen, [](TdlgCustomMsg* d) {
            EXPECT_EQ(d->btnOK->text(), "Yes");
            EXPECT_EQ(d->btnCancel->text(), "No");
            QTest::mouseClick(d->btnCancel, Qt::LeftButton);
        });
        EXPECT_EQ(qMessageDlg("Skip it?", MsgType::Error, mbYesNo), mrNo);
        EXPECT_EQ(seen.caption, "Error");
    }
    {
        // The close box counts as Cancel.
        Seen seen;
        OnNextMessageWindow(&seen, [](TdlgCustomMsg* d) { d->close(); });
        EXPECT_EQ(qMessageDlg("Go on?", MsgType::Confirmation, 12), mrCancel);
    }
}

class Progress : public ::testing::Test {
protected:
    QProgressBar gauge;
    bool showWindow = true;
    ProgressDisplay display{&gauge, &showWindow};
    test::ScriptedMessages messages;
};

TEST_F(Progress, GaugeAndWindow) {
    display.showprogress(true, true, 5, 4, "m", "c", false);
    EXPECT_EQ(display.window(), nullptr);
    EXPECT_TRUE(gauge.isHidden());
    display.showprogress(true, true, 1, 0, "m", "c", false);
    EXPECT_EQ(display.window(), nullptr);

    display.showprogress(true, true, 1, 3, "Preparing picture 1 of 3", "Upload", false);
    ASSERT_NE(display.window(), nullptr);
    EXPECT_EQ(gauge.value(), 33);
    EXPECT_FALSE(gauge.isHidden());
    EXPECT_EQ(display.window()->lblPercent->text(), "33%");
    EXPECT_EQ(display.window()->windowTitle(), "Upload");
    EXPECT_FALSE(display.window()->btnCancel->isVisible());
    EXPECT_EQ(display.window()->size(), QSize(380, 117));

    display.showprogress(true, true, 2, 3, "SAME", "SAME", false);
    EXPECT_EQ(display.window()->lblMessage->text(), "Preparing picture 1 of 3");
    EXPECT_EQ(display.window()->windowTitle(), "Upload");
    EXPECT_EQ(display.window()->lblPercent->text(), "66%");

    display.hideprogress();
    EXPECT_EQ(display.window(), nullptr);
    EXPECT_TRUE(gauge.isHidden());
    EXPECT_EQ(gauge.value(), 0);
}

TEST_F(Progress, WithoutTheWindowSettingOnlyTheGaugeMoves) {
    showWindow = false;
    display.showprogress(true, true, 1, 2, "m", "c", true);
    EXPECT_EQ(display.window(), nullptr);
    EXPECT_EQ(gauge.value(), 50);
    display.showprogress(true, false, 1, 2, "m", "c", true);
    EXPECT_EQ(display.window(), nullptr);
}

TEST_F(Progress, CancelAsksAndSetsTheFlag) {
    CancelRequested = false;
    display.showprogress(true, true, 1, 4, "m", "c", true);
    TdlgProgress* window = display.window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->btnCancel->isVisible());
    EXPECT_EQ(window->height(), window->btnCancel->geometry().bottom() + 1);

    messages.answers = {mrCancel};
    QTest::mouseClick(window->btnCancel, Qt::LeftButton);
    EXPECT_FALSE(CancelRequested);
    messages.answers = {mrOK};
    QTest::mouseClick(window->btnCancel, Qt::LeftButton);
    EXPECT_TRUE(CancelRequested);
    EXPECT_EQ(messages.texts(), QStringList(2, "Are you sure you want to cancel processing?"));
    EXPECT_EQ(messages.log.first().caption, "Confirmation");

    // An unconfirmed close attempt keeps the window open; a confirmed one closes it.
    CancelRequested = false;
    messages.answers = {mrCancel};
    window->close();
    EXPECT_TRUE(window->isVisible());
    messages.answers = {mrOK};
    window->close();
    QApplication::processEvents();
    EXPECT_TRUE(CancelRequested);
    EXPECT_EQ(display.window(), nullptr);
    CancelRequested = false;
}

TEST(Splash, PictureSizesAndAboutBox) {
    const QString splash = QStringLiteral(PALVO_PROGRAM_DIR) + "/Splash.xdl";
    const QImage picture = PictureViewer::ReadProgramPicture(splash);
    ASSERT_FALSE(picture.isNull());
    TSplash s(splash);
    EXPECT_EQ(s.size(), QSize(picture.width(), picture.height() - 40));
    TAboutBox about("Palvo Sender", splash);
    EXPECT_EQ(about.windowTitle(), "About Palvo Sender");
    EXPECT_EQ(about.size(), picture.size());
    EXPECT_EQ(about.lblVersion->text(), "Build v1.04");
    EXPECT_EQ(about.btnFinish->text(), "Finish");
    EXPECT_EQ(about.btnFinish->geometry().right(), picture.width() - 7);
    EXPECT_TRUE(PictureViewer::ReadProgramPicture("/no/such/Splash.xdl").isNull());
}
