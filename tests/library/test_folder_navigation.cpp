// Folder listing, the recent folders, the current-folder rules and the text
// routines.
#include "foundation/Messages.h"
#include "library/FolderNavigation.h"
#include "library/TextRoutines.h"
#include "support/ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace palvo;

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QStringList namesOf(const QStringList& entries, const QString& folder) {
    QStringList out;
    for (const QString& e : entries) {
        EXPECT_TRUE(e.startsWith(QLatin1Char(';') + folder)) << e.toStdString();
        out << e.mid(folder.size() + 1);
    }
    return out;
}

// Records what the listing asks of the grid.
struct Recorder {
    QStringList calls;
    void attach(FolderNavigation& nav) {
        nav.hooks.reloadGrid = [this](bool r, bool c, bool u) {
            calls << QStringLiteral("reload %1%2%3").arg(int(r)).arg(int(c)).arg(int(u));
        };
        nav.hooks.selectionStatus = [this] { calls << QStringLiteral("status"); };
        nav.hooks.showFolderName = [this](const QString& n) { calls << "name " + n; };
    }
};

} // namespace

TEST(FolderListing, ListsPicturesInCaseInsensitiveOrder) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    for (const char* name : {"b.JPEG", "A.jpg", "c.jpe", "d.TIFF", "e.png", "f.gif", "g.bmp",
                             "h.tif", ".hidden.jpg", "notes.txt", "noext", "x.jpg.bak", "dot."})
        touch(folder + QLatin1String(name));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("Sub.jpg")));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("plain")));
    QStringList entries;
    ASSERT_TRUE(listPictureFolder(dir.path(), &entries));
    EXPECT_EQ(namesOf(entries, folder),
              (QStringList{".hidden.jpg", "A.jpg", "b.JPEG", "c.jpe", "d.TIFF", "e.png", "f.gif",
                           "g.bmp", "h.tif", "Sub.jpg"}));
    EXPECT_FALSE(listPictureFolder(folder + QLatin1String("missing"), &entries));
    EXPECT_TRUE(entries.isEmpty());
    EXPECT_TRUE(checksupportedformat(QStringLiteral("x.JpG")));
    EXPECT_FALSE(checksupportedformat(QStringLiteral("x")));
}

TEST(RecentFolders, ElevenDropsTheOldestAndNoDuplicates) {
    QStringList recent;
    for (int i = 0; i < 11; ++i)
        AddToRecentDirectories(recent, QStringLiteral("/p/f%1").arg(i));
    ASSERT_EQ(recent.size(), 10);
    EXPECT_EQ(recent.first(), QStringLiteral("/p/f10/"));
    EXPECT_EQ(recent.last(), QStringLiteral("/p/f1/"));
    AddToRecentDirectories(recent, QStringLiteral(" /p/f5 "));
    EXPECT_EQ(recent.size(), 10);
    EXPECT_EQ(recent.first(), QStringLiteral("/p/f5/"));
    EXPECT_EQ(recent.count(QStringLiteral("/p/f5/")), 1);
    AddToRecentDirectories(recent, QString());
    EXPECT_EQ(recent.size(), 10);
    RemoveFromRecentDirectories(recent, QStringLiteral("/p/f3"));
    EXPECT_FALSE(recent.contains(QStringLiteral("/p/f3/")));
    EXPECT_EQ(recent.size(), 9);
    RemoveFromRecentDirectories(recent, QStringLiteral("/p/nothing"));
    EXPECT_EQ(recent.size(), 9);
}

TEST(RecentFolders, FileIsCrLfAndCappedWhenRead) {
    QTemporaryDir dir;
    const QString data = dir.path() + QLatin1Char('/');
    QStringList recent;
    for (int i = 0; i < 12; ++i)
        recent << QStringLiteral("/f%1/").arg(i);
    ASSERT_TRUE(writeRecentFolders(data, recent));
    QFile f(data + QLatin1String(kRecentFoldersFile));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("/f0/\r\n/f1/\r\n"));
    EXPECT_EQ(readRecentFolders(data).size(), 10);
    EXPECT_TRUE(readRecentFolders(data + QLatin1String("nowhere/")).isEmpty());
}

TEST(FolderNavigationRules, ChangingAndRelistingFolders) {
    QTemporaryDir dir;
    const QString a = dir.path() + QStringLiteral("/a/");
    const QString b = dir.path() + QStringLiteral("/b/");
    const QString empty = dir.path() + QStringLiteral("/empty/");
    for (const QString& f : {a, b, empty})
        ASSERT_TRUE(QDir().mkpath(f));
    touch(a + QStringLiteral("1.jpg"));
    touch(b + QStringLiteral("2.jpg"));
    test::ScriptedMessages messages(true);
    FolderNavigation nav;
    Recorder rec;
    rec.attach(nav);

    ASSERT_TRUE(nav.Updatecurrentdirectory(a, false, true, false));
    EXPECT_EQ(nav.GetCurrentFolder(), a);
    EXPECT_EQ(QDir::currentPath() + QLatin1Char('/'), a);
    EXPECT_EQ(nav.folderList, QStringList{QLatin1Char(';') + a + QStringLiteral("1.jpg")});
    EXPECT_EQ(rec.calls, (QStringList{"name a", "status", "reload 111"}));
    EXPECT_EQ(nav.RecentFolders, QStringList{a});

    // The same folder again: new files show, the grid keeps its position.
    touch(a + QStringLiteral("0.jpg"));
    rec.calls.clear();
    ASSERT_TRUE(nav.Updatecurrentdirectory(a, false, true, false));
    EXPECT_EQ(nav.folderList.size(), 2);
    EXPECT_EQ(rec.calls.last(), QStringLiteral("reload 000"));
    rec.calls.clear();
    EXPECT_TRUE(nav.Updatecurrentdirectory(a, true, true, false));
    EXPECT_TRUE(rec.calls.isEmpty());

    // A folder without pictures is listed but not remembered.
    ASSERT_TRUE(nav.Updatecurrentdirectory(empty, false, true, false));
    EXPECT_TRUE(nav.folderList.isEmpty());
    EXPECT_EQ(nav.RecentFolders, QStringList{a});

    ASSERT_TRUE(nav.Updatecurrentdirectory(b, false, true, false));
    EXPECT_EQ(nav.RecentFolders, (QStringList{b, a}));

    // A recent folder that was deleted is reported and leaves the list.
    ASSERT_TRUE(QDir(a).removeRecursively());
    rec.calls.clear();
    EXPECT_FALSE(nav.Updatecurrentdirectory(a, false, true, false));
    EXPECT_EQ(messages.shown, QStringList{"The folder, " + a + ", could not be found."});
    EXPECT_EQ(nav.RecentFolders, QStringList{b});
    EXPECT_EQ(nav.GetCurrentFolder(), b);
    EXPECT_TRUE(rec.calls.isEmpty());
    // Without reportMissing nothing is shown.
    EXPECT_FALSE(nav.Updatecurrentdirectory(a, false, false, false));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST(FolderNavigationRules, UnreadableFolderPutsTheOldOneBack) {
    QTemporaryDir dir;
    const QString a = dir.path() + QStringLiteral("/a/");
    const QString locked = dir.path() + QStringLiteral("/locked/");
    ASSERT_TRUE(QDir().mkpath(a));
    ASSERT_TRUE(QDir().mkpath(locked));
    touch(a + QStringLiteral("1.jpg"));
    FolderNavigation nav;
    ASSERT_TRUE(nav.Updatecurrentdirectory(a, false, true, false));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    if (QDir(locked).isReadable())
        GTEST_SKIP() << "running with rights that read any folder";
    EXPECT_FALSE(nav.Updatecurrentdirectory(locked, false, true, false));
    EXPECT_EQ(nav.GetCurrentFolder(), a);
    EXPECT_EQ(nav.folderList.size(), 1);
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(TextRoutines, BytesToStr) {
    EXPECT_EQ(bytestostr(1234567, false), QStringLiteral("1,206 KB"));
    EXPECT_EQ(bytestostr(999999, false), QStringLiteral("999,999 bytes"));
    EXPECT_EQ(bytestostr(1500, true), QStringLiteral("1 KB"));
    EXPECT_EQ(bytestostr(999, true), QStringLiteral("999 bytes"));
    EXPECT_EQ(bytestostr(2000000000, false), QStringLiteral("1953,125 KB"));
}

TEST(TextRoutines, MinimizeAndFitNames) {
    const QFontMetrics fm(QFont(QStringLiteral("Tahoma"), 9));
    const QString text = QStringLiteral("Holiday pictures");
    const int width = fm.horizontalAdvance(text);
    // Exactly as wide as the control: still shortened.
    const QString exact = MinimizeString(fm, width, text);
    EXPECT_TRUE(exact.endsWith(QStringLiteral("..."))) << exact.toStdString();
    EXPECT_LE(fm.horizontalAdvance(exact), width);
    EXPECT_EQ(MinimizeString(fm, width + 1, text), text);
    const QString blank =
        MinimizeString(fm, fm.horizontalAdvance(QStringLiteral("Holiday ...")), text);
    EXPECT_EQ(blank, QStringLiteral("Holiday..."));

    EXPECT_EQ(gridDisplayName(QStringLiteral(";/p/archive.tar.gz"), true),
              QStringLiteral("archive.tar"));
    EXPECT_EQ(gridDisplayName(QStringLiteral("/p/archive.tar.gz"), false),
              QStringLiteral("archive.tar.gz"));
    EXPECT_EQ(fitNameToWidth(fm, 1, QStringLiteral("abc")), QStringLiteral("abc"));
    const QString longName = QStringLiteral("a_really_long_file_name_0001");
    const QString fitted = fitNameToWidth(fm, 72, longName);
    EXPECT_TRUE(fitted.endsWith(QStringLiteral("..."))) << fitted.toStdString();
    EXPECT_LE(fm.horizontalAdvance(fitted), 72);
    EXPECT_TRUE(longName.startsWith(fitted.chopped(3)));
}

TEST(TextRoutines, MinimizePathNameDropsLeadingFolders) {
    const QFontMetrics fm(QFont(QStringLiteral("Tahoma"), 9));
    const QString path = QStringLiteral("/home/ann/Pictures/Beach/img_0012.jpg");
    const QStringList steps{path,
                            "/.../ann/Pictures/Beach/img_0012.jpg",
                            "/.../Pictures/Beach/img_0012.jpg",
                            "/.../Beach/img_0012.jpg",
                            "/.../img_0012.jpg",
                            ".../img_0012.jpg",
                            "img_0012.jpg"};
    for (const QString& expected : steps)
        EXPECT_EQ(MinimizePathName(fm, fm.horizontalAdvance(expected), path), expected);
    EXPECT_EQ(MinimizePathName(fm, 1, path), QStringLiteral("img_0012.jpg"));
    EXPECT_EQ(MinimizePathName(fm, 2000, QStringLiteral("C:/a/b.jpg")),
              QStringLiteral("C:/a/b.jpg"));
}
