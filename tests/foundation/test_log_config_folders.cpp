#include <gtest/gtest.h>

#include "foundation/DebugLog.h"
#include "foundation/IniFile.h"
#include "foundation/ProgramFolders.h"
#include "foundation/QRoutine.h"
#include "foundation/ServiceConfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace palvo;

namespace {
QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

TEST(DebugLog, SilentWithoutTheSwitch) {
    QTemporaryDir dir;
    DebugLog::setProgramFolder(dir.path() + "/");
    DebugLog::setFirstArgument("/picture.jpg");
    DebugLog::setDebugLogging(false);
    DebugLog::resetFirstWrite();
    DebugLog::write("Test", "nothing");
    EXPECT_FALSE(QFile::exists(dir.path() + "/Log.txt"));
}

TEST(DebugLog, FirstWriteOfARunRotatesAndEveryLineEndsWithCrLf) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    writeAll(folder + "Log.txt", "previous run\r\n");
    writeAll(folder + "Log.old", "older run\r\n");
    DebugLog::setProgramFolder(folder);
    DebugLog::setDebugLogging(false);
    DebugLog::setFirstArgument("/dEbUg"); // active from the first line
    DebugLog::resetFirstWrite();
    ASSERT_TRUE(DebugLog::active());
    DebugLog::write("Commence", QString(48, '*'));
    DebugLog::write("FormClose", "two\nlines");
    EXPECT_EQ(readAll(folder + "Log.old"), "previous run\r\n");
    const QByteArray log = readAll(folder + "Log.txt");
    const QList<QByteArray> lines = log.split('\n');
    ASSERT_EQ(lines.size(), 5) << log.toStdString(); // "", banner, "two", "lines", ""
    EXPECT_EQ(lines[0], "\r");
    EXPECT_TRUE(lines[1].startsWith('['));
    EXPECT_TRUE(lines[1].endsWith("] Commence: " + QByteArray(48, '*') + "\r"));
    EXPECT_TRUE(lines[2].endsWith("] FormClose: two"));
    EXPECT_EQ(lines[3], "lines\r");
    EXPECT_TRUE(log.endsWith("lines\r\n"));

    // The same run keeps appending; the next run rotates again.
    DebugLog::write("Later", "x");
    EXPECT_EQ(readAll(folder + "Log.old"), "previous run\r\n");
    DebugLog::resetFirstWrite();
    DebugLog::write("Next", "run");
    EXPECT_TRUE(readAll(folder + "Log.old").contains("Later: x"));
    DebugLog::setFirstArgument(QString());
}

TEST(DebugLog, Switches) {
    for (const char* s : {"/DEBUG", "/debug", "--debug", "--DEBUG"})
        EXPECT_TRUE(IsDebugSwitch(s)) << s;
    for (const char* s : {"DEBUG", "/DEBUGX", "-debug", ""})
        EXPECT_FALSE(IsDebugSwitch(s)) << s;
    EXPECT_TRUE(IsUninstallSwitch("/Uninstall"));
    EXPECT_TRUE(IsUninstallSwitch("--uninstall"));
    EXPECT_FALSE(IsUninstallSwitch("/UNINSTAL"));
}

TEST(ServiceConfig, DefaultsAndReading) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    ServiceConfig none = LoadURLsFromINI(folder);
    EXPECT_EQ(none.MaxWidth, 640);
    EXPECT_EQ(none.MaxHeight, 480);
    EXPECT_EQ(none.MaxSize, 65499);
    EXPECT_TRUE(none.GeneralWebsite.isEmpty() && none.InstallVersion.isEmpty());
    EXPECT_FALSE(WriteUploadLogging(folder, true));
    EXPECT_FALSE(QFile::exists(folder + "QUpload.dat"));

    writeAll(folder + "QUpload.dat", "[general]\r\nWebsite_General = www.palvo.example\r\n"
                                     "WEBSITE_SUPPORT=https://care.example/\r\n"
                                     "[PALVO]\r\nPALVO_MAX_WIDTH=800\r\nPALVO_MAX_SIZE=abc\r\n"
                                     "PALVO_INSTALL_VERSION=2.0.0.1\r\n[Service]\r\nSERVER=x\r\n");
    const ServiceConfig c = LoadURLsFromINI(folder);
    EXPECT_EQ(c.MaxWidth, 800);
    EXPECT_EQ(c.MaxHeight, 480);
    EXPECT_EQ(c.MaxSize, 65499);
    EXPECT_EQ(c.GeneralWebsite, "www.palvo.example");
    EXPECT_EQ(c.SupportWebsite, "https://care.example/");
    EXPECT_EQ(c.SignupWebsite, "");
    EXPECT_EQ(c.InstallVersion, "2.0.0.1");
}

TEST(ServiceConfig, UploadLoggingSwitchTouchesOnlyItsKey) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    const QByteArray original =
        "[General]\r\nWEBSITE_GENERAL=a\r\n\r\n[Palvo]\r\nPALVO_MAX_WIDTH=640\r\n";
    writeAll(folder + "QUpload.dat", original);
    ASSERT_TRUE(WriteUploadLogging(folder, true));
    EXPECT_EQ(readAll(folder + "QUpload.dat"), original + "[Other]\r\nDEBUGGING=True\r\n");
    ASSERT_TRUE(WriteUploadLogging(folder, false));
    EXPECT_EQ(readAll(folder + "QUpload.dat"), original + "[Other]\r\nDEBUGGING=False\r\n");
    EXPECT_EQ(LoadURLsFromINI(folder).GeneralWebsite, "a");
}

TEST(IniFile, InsertsIntoAnExistingSection) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/x.ini";
    writeAll(path, "; comment\n[A]\nk=1\n\n[B]\nz=2\n");
    IniFile ini;
    ASSERT_TRUE(ini.load(path));
    ini.setValue("a", "new", "v");
    ini.setValue("B", "Z", "3");
    EXPECT_EQ(ini.text(), "; comment\r\n[A]\r\nk=1\r\nnew=v\r\n\r\n[B]\r\nZ=3\r\n");
    EXPECT_EQ(ini.value("b", "z"), "3");
    EXPECT_FALSE(ini.contains("C", "k"));
}

TEST(ProgramFolders, Resolution) {
    struct Fake {
        QStringList dirs, creatable, readOnly;
    };
    auto fsOf = [](Fake& f) {
        return FolderSystem{
            [&f](const QString& p) { return f.dirs.contains(p); },
            [&f](const QString& p) {
                if (!f.creatable.contains(p))
                    return false;
                f.dirs << p;
                return true;
            },
            [&f](const QString& p) { return f.dirs.contains(p) && !f.readOnly.contains(p); },
        };
    };
    const QString data = "/home/u/.local/share/Palvo/Palvo Sender/";
    {
        Fake f{{"/opt/palvo/"}, {data}, {}};
        const auto r =
            InitialCode("/opt/palvo", "/home/u/.local/share", "/tmp", "/home/u/Pictures", fsOf(f));
        EXPECT_TRUE(r.FoldersResolved);
        EXPECT_EQ(r.dataFolder, data);
        EXPECT_EQ(r.fallbackBase, data);
        EXPECT_EQ(GetFolder(r, 3, "Palvo Sender"),
                  "/home/u/.local/share/Palvo/Palvo Sender/Cache/");
        EXPECT_EQ(GetFolder(r, 7, "Other"), "/home/u/.local/share/Palvo/Other/Work/");
        EXPECT_EQ(GetFolder(r, 4, ""), data);
        EXPECT_EQ(GetFolder(r, 0, ""), "/opt/palvo/");
        EXPECT_EQ(GetFolder(r, 9, ""), "/tmp/");
        EXPECT_EQ(GetFolder(r, 17, ""), "/home/u/Pictures/");
        EXPECT_EQ(GetFolder(r, 20, ""), "/opt/palvo/Stationery/");
        EXPECT_EQ(GetFolder(r, 21, ""), "/opt/palvo/Occasions/");
        EXPECT_EQ(GetFolder(r, 22, ""), "/opt/palvo/Holidays/");
        EXPECT_EQ(GetFolder(r, 2, ""), "");
        EXPECT_EQ(GetFolder(r, 3, "../x"), "/home/u/.local/share/Palvo/.._x/Cache/");
    }
    {
        // The user's folder can't be created: the program folder holds the data.
        Fake f{{"/opt/palvo/"}, {}, {}};
        const auto r = InitialCode("/opt/palvo/", "/home/u/.local/share/", "/tmp/", "", fsOf(f));
        EXPECT_EQ(r.dataFolder, "/opt/palvo/");
        EXPECT_EQ(r.fallbackBase, "/opt/palvo/");
    }
    {
        // Read-only user folder: the program folder when writable, else the temporary folder.
        Fake f{{"/opt/palvo/", data}, {}, {data}};
        auto r = InitialCode("/opt/palvo/", "/home/u/.local/share/", "/tmp/", "", fsOf(f));
        EXPECT_EQ(r.dataFolder, "/opt/palvo/");
        EXPECT_EQ(r.fallbackBase, "/tmp/");
        f.readOnly << "/opt/palvo/";
        r = InitialCode("/opt/palvo/", "/home/u/.local/share/", "/tmp/", "", fsOf(f));
        EXPECT_EQ(r.dataFolder, "/tmp/");
    }
    {
        // No per-user data folder at all.
        Fake f{{"/opt/palvo/"}, {}, {}};
        const auto r = InitialCode("/opt/palvo/", "", "/tmp/", "", fsOf(f));
        EXPECT_EQ(r.dataFolder, "/opt/palvo/");
        EXPECT_EQ(GetFolder(r, 3, "Palvo Sender"), "/opt/palvo/Cache/");
        EXPECT_EQ(GetFolder(r, 7, "Palvo Sender"), "/opt/palvo/Work/");
        EXPECT_EQ(GetFolder(r, 17, ""), "/");
    }
}
