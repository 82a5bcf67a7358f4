#include <gtest/gtest.h>

#include "shell/ui/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <thread>

using namespace palvo;

TEST(SingleInstance, RuntimeFolderIsPrivate) {
    const QString folder = SingleInstance::runtimeFolder();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_TRUE(folder.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR")));
    SingleInstance one("PalvoTestA");
    EXPECT_TRUE(one.socketPath().startsWith(folder));
    EXPECT_TRUE(one.socketPath().contains(QString::number(getuid())));
}

TEST(SingleInstance, SecondStartHandsItsArgumentsInOrder) {
    SingleInstance first("PalvoTestB");
    ASSERT_EQ(first.start({}), SingleInstance::Role::Primary);
    QSignalSpy received(&first, &SingleInstance::instanceStarted);

    const QStringList args{"/pictures/a b.jpg", "/CAM:E", "ü", ""};
    std::atomic<int> role{-1};
    std::thread second([&] {
        SingleInstance other("PalvoTestB");
        role = int(other.start(args));
    });
    QElapsedTimer t;
    t.start();
    while (role < 0 && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.join();
    EXPECT_EQ(role, int(SingleInstance::Role::Secondary));
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received.first().first().toStringList(), args);
}

TEST(SingleInstance, OversizedOrGarbledMessagesAreRefused) {
    SingleInstance first("PalvoTestC");
    ASSERT_EQ(first.start({}), SingleInstance::Role::Primary);
    QSignalSpy received(&first, &SingleInstance::instanceStarted);
    std::atomic<bool> done{false};
    bool oversized = true;
    std::thread second([&] {
        oversized = SingleInstance::deliver(first.socketPath(),
                                            {QString(SingleInstance::kMaxMessageBytes, 'x')}, 2000);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    second.join();
    EXPECT_FALSE(oversized);
    EXPECT_EQ(received.size(), 0);
}

TEST(SingleInstance, TheProgramHandsOffAndExitsZero) {
    // The program runs from a folder of its own, so its log stays in the test's home.
    QTemporaryDir folder;
    const QString exe = folder.path() + "/PSender";
    ASSERT_TRUE(QFile::copy(QStringLiteral(PALVO_PROGRAM_DIR) + "/PSender", exe));
    QFile::setPermissions(exe, QFileDevice::ExeOwner | QFileDevice::ReadOwner);
    QFile picture(folder.path() + "/beach.jpg");
    QImage beach(320, 240, QImage::Format_RGB32);
    beach.fill(QColor(30, 120, 200));
    ASSERT_TRUE(beach.save(picture.fileName()));

    QProcess first;
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(exe, {"--debug"});
    ASSERT_TRUE(first.waitForStarted());
    const QString socket =
        SingleInstance::runtimeFolder() + "PALVO_Sender-" + QString::number(getuid()) + ".socket";
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(socket) && t.elapsed() < 15000)
        QThread::msleep(50);
    ASSERT_TRUE(QFileInfo::exists(socket));

    // The picture named relative to the second start's own working folder.
    QProcess second;
    second.setWorkingDirectory(folder.path());
    second.start(exe, {"beach.jpg"});
    ASSERT_TRUE(second.waitForFinished(15000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    const QString log = folder.path() + "/Log.txt";
    auto logText = [&] {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    t.restart();
    while (!logText().contains("Calling directshow, file=") && t.elapsed() < 15000)
        QThread::msleep(50);
    EXPECT_TRUE(logText().contains("OneInstance1InstanceStarted: Calling directshow, file=" +
                                   picture.fileName()));
    EXPECT_TRUE(logText().contains("directshow: Start, file=" + picture.fileName()));

    // The running instance closes like a window close on SIGTERM.
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(15000));
    EXPECT_EQ(first.exitCode(), 0);
    EXPECT_TRUE(logText().contains("FormClose: Closing..."));
}
