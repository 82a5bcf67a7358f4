#include <gtest/gtest.h>

#include "foundation/DebugLog.h"
#include "foundation/SettingsFile.h"
#include "shell/CommandLine.h"
#include "shell/MainWindowFixture.h"
#include "shell/ui/MainUnit.h"
#include "support/ScriptedMessages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

using namespace palvo;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        options = test::FirstStartOptions(program.path(), pictures.path());
        folders = *options.folders;
    }

    // Shows the window and waits for Setup to end.
    void start(TfrmMain& w) {
        QSignalSpy finished(&w, &TfrmMain::setupFinished);
        w.show();
        ASSERT_TRUE(finished.wait(10000));
    }
    static void settle(int ms = 200) { test::Settle(ms); }
    QByteArray settingsText() const { return readAll(SettingsFile::pathFor("Palvo Sender")); }

    QTemporaryDir program, pictures;
    ProgramFolders folders;
    StartOptions options;
    test::ScriptedMessages messages;
};

} // namespace

TEST_F(Startup, FirstRunPlacesTheWindowAndSavesEverythingInOrderAtClose) {
    auto* w = new TfrmMain(options);
    start(*w);
    EXPECT_FALSE(w->NotReady);
    EXPECT_EQ(w->size(), QSize(950, 690));
    EXPECT_EQ(w->pos(), QPoint(0, 0));
    EXPECT_FALSE(w->isMaximized());
    EXPECT_EQ(w->GetCurrentFolder(), pictures.path() + "/");
    EXPECT_EQ(settingsText(), "UseAppforCamera=True\n");
    settle();
    // The automatic update check ran at an idle moment, without a library here.
    EXPECT_EQ(messages.texts(),
              QStringList{"An error was encountered loading the DLL, libQUpload.so."});
    EXPECT_FALSE(w->FirstIdlePending);
    EXPECT_FALSE(w->UpdateCheckPending);

    w->navigation().RecentFolders = {"/p/"};
    w->close();
    const QByteArray text = settingsText();
    EXPECT_TRUE(text.startsWith("UseAppforCamera=True\nMinCheckDaysInterval=14\n"));
    EXPECT_TRUE(text.contains("\nSPHeight=690\nSPWidth=950\nSPLeft=0\n"));
    EXPECT_TRUE(text.endsWith("SPMax=False\nSPTop=0\nWPanel=302\n"));
    // The lists are written at destruction, after the settings.
    EXPECT_FALSE(QFile::exists(folders.dataFolder + "recent.dat"));
    delete w;
    EXPECT_EQ(readAll(folders.dataFolder + "upload.dat"), "");
    EXPECT_EQ(readAll(folders.dataFolder + "recent.dat"), "/p/\r\n");

    // The next start reads them back.
    TfrmMain again(options);
    EXPECT_EQ(again.navigation().RecentFolders, QStringList{"/p/"});
}

TEST_F(Startup, SmallScreenCentresAndMaximises) {
    options.screenSize = QSize(800, 600);
    TfrmMain w(options);
    start(w);
    EXPECT_EQ(w.settings.SPWidth, 630);
    EXPECT_EQ(w.settings.SPHeight, 450);
    EXPECT_EQ(w.settings.SPLeft, 85);
    EXPECT_EQ(w.settings.SPTop, 75);
    EXPECT_TRUE(w.settings.SPMax);
    EXPECT_EQ(w.LeftPanel->minimumWidth(), 255);
}

TEST_F(Startup, ClosingBeforeStartUpFinishedSavesNoSettings) {
    options.splashMinimumMs = 1500;
    auto* w = new TfrmMain(options);
    QSignalSpy finished(w, &TfrmMain::setupFinished);
    QTimer::singleShot(200, w, [w] { w->close(); });
    w->show();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(w->NotReady);
    settle();
    EXPECT_EQ(settingsText(), "UseAppforCamera=True\n");
    delete w;
    // Destruction still saves the lists.
    EXPECT_TRUE(QFile::exists(folders.dataFolder + "upload.dat"));
    EXPECT_TRUE(QFile::exists(folders.dataFolder + "recent.dat"));
}

TEST_F(Startup, SplashStaysAtLeastItsMinimumWithoutFreezingTheWindow) {
    options.splashMinimumMs = 1750;
    TfrmMain w(options);
    QSignalSpy finished(&w, &TfrmMain::setupFinished);
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(100);
    QElapsedTimer clock;
    clock.start();
    w.show();
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_GE(clock.elapsed(), 1750);
    EXPECT_GE(ticks, 5); // events kept flowing during the wait
}

TEST_F(Startup, UninstallDeletesTheSettingsAndEndsWithoutWritingThem) {
    {
        SettingsFile key(SettingsFile::pathFor("Palvo Sender"));
        ASSERT_TRUE(key.open(true));
        key.setValue("Shrink", "False");
        ASSERT_TRUE(key.save());
    }
    options.arguments = {"/uninstall"};
    auto* w = new TfrmMain(options);
    start(*w);
    EXPECT_TRUE(w->NotReady);
    EXPECT_TRUE(w->TerminatePending);
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(QFile::exists(SettingsFile::pathFor("Palvo Sender")));
    delete w;
    EXPECT_FALSE(QFile::exists(SettingsFile::pathFor("Palvo Sender")));
    EXPECT_TRUE(QFile::exists(folders.dataFolder + "upload.dat"));
}

TEST_F(Startup, LowColourScreenTellsTheUserAndClosesWithoutSaving) {
    options.colourDepth = 8;
    TfrmMain w(options);
    start(w);
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_TRUE(messages.texts().first().contains("256 colors"));
    settle();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.NotReady);
    EXPECT_EQ(settingsText(), "UseAppforCamera=True\n");
}

TEST_F(Startup, UpdateThatMustBeInstalledEndsTheProgram) {
    QTemporaryDir scratch;
    const QString record = scratch.path() + "/record.txt";
    qputenv("PALVO_RECORD_FILE", record.toUtf8());
    QFile ini(program.path() + "/QUpload.dat");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Palvo]\r\nPALVO_INSTALL_VERSION=2.5.0.0\r\n");
    ini.close();
    options.uploadLibraryPath = PALVO_RECORDING_LIB; // answers 9
    TfrmMain w(options);
    start(w);
    settle();
    EXPECT_TRUE(w.TerminatePending);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(readAll(record), "CheckForUpdate Palvo Sender 2.5.0.0 0\n");
    EXPECT_EQ(settingsText(), "UseAppforCamera=True\n");
    qunsetenv("PALVO_RECORD_FILE");
}

TEST_F(Startup, CommandLineSwitchesAndPictures) {
    QFile pic(pictures.path() + "/sub/beach.jpg");
    QDir().mkpath(pictures.path() + "/sub");
    ASSERT_TRUE(pic.open(QIODevice::WriteOnly));
    pic.close();
    {
        options.arguments = {"/Debug", "ignored"};
        TfrmMain w(options);
        start(w);
        EXPECT_TRUE(w.DebugLogging);
        EXPECT_TRUE(w.currentFile().isEmpty());
        const QByteArray log = readAll(program.path() + "/Log.txt");
        EXPECT_TRUE(log.startsWith("\r\n[")) << log.toStdString();
        EXPECT_TRUE(log.contains("] Commence: " + QByteArray(48, '*') + "\r\n"));
        EXPECT_TRUE(log.contains("] Commence: Version: v1.04\r\n"));
        w.close();
    }
    {
        options.arguments = {pic.fileName()};
        TfrmMain w(options);
        start(w);
        EXPECT_EQ(w.currentFile(), pic.fileName());
        EXPECT_EQ(w.GetCurrentFolder(), pictures.path() + "/sub/");
        w.close();
    }
    {
        // A missing file goes to the camera handling: the start folder stays.
        options.arguments = {pictures.path() + "/missing.jpg"};
        TfrmMain w(options);
        start(w);
        EXPECT_TRUE(w.currentFile().isEmpty());
        EXPECT_EQ(w.GetCurrentFolder(), pictures.path() + "/sub/"); // remembered at the last close
        EXPECT_FALSE(w.NotReady);
    }
}

TEST_F(Startup, HandOffDuringStartUpIsHandledAfterIt) {
    QFile pic(pictures.path() + "/later.jpg");
    ASSERT_TRUE(pic.open(QIODevice::WriteOnly));
    pic.close();
    TfrmMain w(options);
    w.OneInstance1InstanceStarted({pic.fileName()});
    EXPECT_TRUE(w.currentFile().isEmpty());
    start(w);
    EXPECT_EQ(w.currentFile(), pic.fileName());
}

TEST_F(Startup, CameraSwitchesLaunchAtTheFirstIdleMoment) {
    {
        options.arguments = {"/camoff"};
        TfrmMain w(options);
        start(w);
        EXPECT_FALSE(w.pendingCamera.pending());
        EXPECT_TRUE(w.currentFile().isEmpty());
        EXPECT_FALSE(w.NotReady);
    }
    {
        // Before the preferences were opened the camera switch reads as off.
        options.arguments = {"/CAM:E"};
        TfrmMain w(options);
        start(w);
        EXPECT_FALSE(w.pendingCamera.pending());
    }
    DebugLog::setDebugLogging(true);
    options.arguments = {"/CAM:E", "Settings"};
    TfrmMain w(options);
    w.UseAppforCameraInMemory = true;
    start(w);
    EXPECT_EQ(w.pendingCamera.drive, "E");
    EXPECT_TRUE(w.pendingCamera.settings);
    settle();
    EXPECT_FALSE(w.pendingCamera.pending());
    const QByteArray log = readAll(program.path() + "/Log.txt");
    EXPECT_TRUE(log.contains("] doidle: Posting WM_LAUNCH_USB with E\r\n"));
    EXPECT_TRUE(log.contains("] WndProc: WM_LAUNCH_CAMERA: E\r\n"));
    // The launch took the first idle pass's place.
    EXPECT_FALSE(w.FirstIdlePending);
    DebugLog::setDebugLogging(false);
}

TEST(CommandLine, TheFirstArgumentIsMadeAbsoluteWhenItNamesAFile) {
    QTemporaryDir dir;
    for (const char* name : {"beach.jpg", "SETTINGS", "--debug"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    struct Case {
        QStringList given, expected;
    };
    const Case cases[] = {
        {{"beach.jpg", "beach.jpg"}, {dir.filePath("beach.jpg"), "beach.jpg"}},
        {{"/CAM:E", "SETTINGS"}, {"/CAM:E", "SETTINGS"}}, // only the first may be a picture
        {{"missing.jpg"}, {"missing.jpg"}},
        {{"/DEBUG"}, {"/DEBUG"}},
        {{"--debug"}, {"--debug"}}, // a switch, though a file bears its name
        {{""}, {""}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AbsoluteFileArguments(c.given), c.expected) << c.given.join(' ').toStdString();
    QDir::setCurrent(before);
}
