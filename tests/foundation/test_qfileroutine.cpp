#include <gtest/gtest.h>

#include "foundation/FileFixtures.h"
#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"
#include "support/ScriptedMessages.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace palvo;
using palvo::test::entriesOf;
using palvo::test::LockedFolder;
using palvo::test::readFile;
using palvo::test::ScriptedMessages;
using palvo::test::writeFile;

namespace {

struct TextCase {
    const char* input;
    const char* expected;
};

void expectTable(QString (*routine)(const QString&), std::initializer_list<TextCase> cases) {
    for (const TextCase& c : cases)
        EXPECT_EQ(routine(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
            << "input \"" << c.input << "\"";
}

class Scratch : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

// --- path texts -------------------------------------------------------------

TEST(PathTexts, TrailingSeparators) {
    expectTable(IncludeTrailingSeparator, {{"  /home/u/Pictures  ", "/home/u/Pictures/"},
                                           {" /home/u/Pictures/ ", "/home/u/Pictures/"},
                                           {"/home/u/Pictures\\", "/home/u/Pictures\\"},
                                           {"/", "/"},
                                           {"", ""},
                                           {"   ", ""}});
    expectTable(ExcludeTrailingSeparator, {{" /home/u/Pictures/ ", "/home/u/Pictures"},
                                           {"/home/u/Pictures//", "/home/u/Pictures/"},
                                           {"/home/u/Pictures\\", "/home/u/Pictures"},
                                           {"/home/u/Pictures", "/home/u/Pictures"},
                                           {"/", ""},
                                           {"", ""}});
}

TEST(PathTexts, NamesAndComponents) {
    expectTable(NameWithoutExtension, {{"/a/pic.jpg", "pic"},
                                       {"/a/x.tar.gz", "x.tar"},
                                       {"/a.b/pic", "pic"},
                                       {"/a/pic.", "pic"},
                                       {"pic.JPG", "pic"},
                                       {"/a/", ""}});
    expectTable(LastPathComponent, {{"/home/u/Pictures/", "Pictures"},
                                    {"/home/u/Pictures", "Pictures"},
                                    {" /home/u/My Pictures/ ", "My Pictures"},
                                    {"/", "/"},
                                    {"pic.jpg", "pic.jpg"}});
    EXPECT_EQ(extensionOf("/a.b/c"), "");
    EXPECT_EQ(extensionOf("/a/c.JpG"), ".JpG");
    EXPECT_EQ(folderOf("/a/b/c.jpg"), "/a/b/");
    EXPECT_EQ(fileNameOf("/a/b/c.jpg"), "c.jpg");
}

TEST(PathTexts, ProgramAndTempFolders) {
    EXPECT_EQ(TempFolder(), QDir::tempPath() + "/");
    EXPECT_EQ(ProgramFolder(), QCoreApplication::applicationDirPath() + "/");
}

TEST(PathTexts, ExtensionInFilter) {
    const QString pictures = "*.JPE;*.JPG;*.JPEG;*.GIF;*.BMP;*.PNG;*.TIF;*.TIFF;";
    const struct {
        const char* path;
        QString filter;
        bool expected;
    } cases[] = {
        {"/a/x.JpG", "*.JPE;*.JPG;", true},
        {"/a/x", "*.JPG;", false},
        {"/a/x", "*.*", true},
        {"/a/x.anything", "*.*;", true},
        {"/a/x.jpg", "*.JPG", true}, // the last entry needs no ";"
        {"/a/x.jpeg", "*.JPG;", false},
        {"/a/x.pg", "*.JPG;", false},
        {"/a.jpg/x", "*.JPG;", false}, // a dot in a folder is no extension
        {"/a/x", "*.NOTHING;", true},
        {"/a/x.", "*.NOTHING;", true},
        {"/a/x.tiff", pictures, true},
        {"/a/x.tif", pictures, true},
        {"/a/x.raw", pictures, false},
        {"/a/x.jpg", "", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtensionInFilter(c.path, c.filter), c.expected)
            << c.path << " in " << c.filter.toStdString();
}

TEST(PathTexts, InvalidFileNameCharacters) {
    ScriptedMessages messages{true};
    for (QChar c : QStringLiteral("\\/:*?\"<>|"))
        EXPECT_TRUE(HasInvalidFileNameChar(QStringLiteral("a") + c + "b", false))
            << int(c.unicode());
    EXPECT_FALSE(HasInvalidFileNameChar("holiday, day 2 (beach).jpg", true));
    EXPECT_TRUE(messages.shown.isEmpty());

    EXPECT_TRUE(HasInvalidFileNameChar("what?", true));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0], "A filename cannot contain any of the following characters:\r\n"
                                 "\\ / : * ? \" < > |");
}

// --- unique names -------------------------------------------------------------

TEST(UniqueFileName, Candidates) {
    const QSet<QString> taken = {"/a/pic.jpg", "/a/pic_2.jpg", "/a/pic (2).jpg", "/a/pic-001.jpg"};
    const auto isTaken = [&](const QString& p) { return taken.contains(p); };
    const struct {
        const char* path;
        const char* separator;
        int digits;
        const char* expected;
    } cases[] = {
        {"/a/pic.jpg", "_", 0, "/a/pic_3.jpg"},
        {"/a/pic.jpg", "", 0, "/a/pic_3.jpg"}, // empty means "_"
        {"/a/new.jpg", "_", 0, "/a/new.jpg"},
        {"/a/new.jpg", "_", 3, "/a/new_001.jpg"}, // with digits the path itself is no candidate
        {"/a/pic.jpg", "-", 3, "/a/pic-002.jpg"},
        {"/a/pic.jpg", "(", 0, "/a/pic (3).jpg"},
        {"/a/new.jpg", "(", 2, "/a/new (01).jpg"},
        {"/a/noext", "_", 0, "/a/noext"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UniqueFileName(c.path, c.separator, c.digits, isTaken), c.expected)
            << c.path << " " << c.separator << " " << c.digits;
}

TEST(UniqueFileName, StopsAfterTwentyMillionCandidates) {
    int asked = 0;
    const QString result =
        UniqueFileName("/a/pic.jpg", "_", 0, [&](const QString&) { return ++asked, true; });
    EXPECT_EQ(result, "/a/pic_20000000.jpg");
    EXPECT_EQ(asked, 20'000'000);
}

TEST_F(Scratch, UniqueFileNameOnDisk) {
    ASSERT_TRUE(writeFile(path("pic.jpg"), "1"));
    ASSERT_TRUE(writeFile(path("pic_2.jpg"), "2"));
    EXPECT_EQ(UniqueFileName(path("pic.jpg"), "_", 0), path("pic_3.jpg"));
    // A folder or a dangling link holds a name as much as a file does.
    ASSERT_TRUE(QDir(dir.path()).mkdir("pic_3.jpg"));
    ASSERT_TRUE(QFile::link(path("gone"), path("pic_4.jpg")));
    EXPECT_EQ(UniqueFileName(path("pic.jpg"), "_", 0), path("pic_5.jpg"));
}

TEST(UniqueFileName, TempCopyName) {
    QDir(TempFolder()).remove("tcn.jpg");
    EXPECT_EQ(TempCopyName("/somewhere/tcn.jpg"), TempFolder() + "tcn.jpg");
    ASSERT_TRUE(writeFile(TempFolder() + "tcn.jpg", "x"));
    EXPECT_EQ(TempCopyName("/somewhere/tcn.jpg"), TempFolder() + "tcn_2.jpg");
    QFile::remove(TempFolder() + "tcn.jpg");
}

// --- attributes -----------------------------------------------------------------

TEST_F(Scratch, ReadOnlyMarkAndClearing) {
    const QString file = path("a.jpg");
    ASSERT_TRUE(writeFile(file, "x"));
    EXPECT_FALSE(IsReadOnly(file));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_TRUE(IsReadOnly(file));
    EXPECT_TRUE(ClearReadOnly(file));
    EXPECT_FALSE(IsReadOnly(file));
    EXPECT_TRUE(QFile::permissions(file).testFlag(QFileDevice::WriteOwner));
    EXPECT_FALSE(IsReadOnly(path("missing")));
    EXPECT_FALSE(ClearReadOnly(path("missing")));
}

TEST_F(Scratch, ExistenceTests) {
    ASSERT_TRUE(writeFile(path("f"), "x"));
    EXPECT_TRUE(FileExistsQuiet(path("f")));
    EXPECT_FALSE(FileExistsQuiet(dir.path()));
    EXPECT_TRUE(FolderExistsQuiet(dir.path()));
    EXPECT_TRUE(FolderExistsQuiet(dir.path() + "/"));
    EXPECT_FALSE(FolderExistsQuiet(path("f")));
    EXPECT_FALSE(FolderExistsQuiet(""));
    EXPECT_FALSE(FileExistsQuiet(""));
}

// --- folders ------------------------------------------------------------------

TEST_F(Scratch, ForceFolderRefusesShortPathsWithoutTouchingAnything) {
    ScriptedMessages messages{true};
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    for (const char* p : {"/", "/ab", "abc", ""})
        EXPECT_FALSE(ForceFolder(p, true, true)) << p;
    QDir::setCurrent(previous);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(messages.asked.isEmpty());
    EXPECT_TRUE(entriesOf(dir.path()).isEmpty());
}

TEST_F(Scratch, ForceFolderAsksAndCreatesParents) {
    ScriptedMessages messages{true};
    const QString folder = path("new/deeper");
    messages.answers = {mrCancel};
    EXPECT_FALSE(ForceFolder(folder, true, true));
    EXPECT_FALSE(QFileInfo::exists(path("new")));
    ASSERT_EQ(messages.asked.size(), 1);
    EXPECT_EQ(messages.asked[0], "Information: The folder, " + folder +
                                     ", does not exist.  Would you like to create it?");

    messages.answers = {mrOK};
    EXPECT_TRUE(ForceFolder(folder, true, true));
    EXPECT_TRUE(FolderExistsQuiet(folder));
    EXPECT_TRUE(messages.shown.isEmpty());

    // An existing folder is no question.
    EXPECT_TRUE(ForceFolder(folder, true, true));
    EXPECT_EQ(messages.asked.size(), 2);
}

TEST_F(Scratch, ForceFolderReportsFailure) {
    ScriptedMessages messages{true};
    ASSERT_TRUE(writeFile(path("file"), "x"));
    const QString folder = path("file/sub");
    EXPECT_FALSE(ForceFolder(folder, false, false));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(ForceFolder(folder, false, true));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0],
              "An error was encountered whilst trying to create the folder, " + folder + ".");
    EXPECT_TRUE(messages.asked.isEmpty());
}

TEST_F(Scratch, EnsureFolderNeverAsks) {
    ScriptedMessages messages{true};
    EXPECT_TRUE(EnsureFolder(dir.path(), true));
    EXPECT_TRUE(EnsureFolder(path("a/b"), true));
    EXPECT_TRUE(FolderExistsQuiet(path("a/b")));
    EXPECT_TRUE(messages.asked.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(Scratch, DeleteFilesByMask) {
    for (const char* name : {"~x1.jpg", "~x2.bmp", "~X3.jpg", "keep.jpg", ".~xhidden"})
        ASSERT_TRUE(writeFile(path(name), "x"));
    ASSERT_TRUE(writeFile(path("~xro"), "x"));
    ASSERT_TRUE(QFile::setPermissions(path("~xro"), QFileDevice::ReadOwner));
    ASSERT_TRUE(QFile::link(path("nowhere"), path("~xlink")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("~xdir"));
    ASSERT_TRUE(writeFile(path("~xdir/~xinner"), "x"));

    EXPECT_TRUE(DeleteFiles(dir.path() + "/", "~x*"));
    EXPECT_EQ(entriesOf(dir.path()), QStringList({".~xhidden", "keep.jpg", "~X3.jpg", "~xdir"}));
    EXPECT_TRUE(QFileInfo::exists(path("~xdir/~xinner")));

    EXPECT_TRUE(DeleteFiles(dir.path(), ".~x*")); // hidden files are files too
    EXPECT_FALSE(QFileInfo::exists(path(".~xhidden")));
    EXPECT_TRUE(DeleteFiles(path("missing"), "*"));
}

TEST(DeleteFiles, RaisesWithoutFolderOrMask) {
    for (const auto& [folder, mask] : {std::pair{"", "*"}, std::pair{"/tmp", ""}}) {
        try {
            DeleteFiles(folder, mask);
            ADD_FAILURE() << "no error for \"" << folder << "\", \"" << mask << "\"";
        } catch (const EError& e) {
            EXPECT_EQ(e.message(), "No values specified");
        }
    }
}

// --- copying and moving -----------------------------------------------------

TEST_F(Scratch, CopyReplacesAndKeepsAttributes) {
    const QString source = path("a.jpg");
    const QString target = path("b.jpg");
    ASSERT_TRUE(writeFile(source, "new content"));
    ASSERT_TRUE(QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadOther));
    const QDateTime stamp(QDate(2021, 7, 8), QTime(9, 10, 12));
    ASSERT_TRUE(SetFileDateTime(source, stamp));
    ASSERT_TRUE(writeFile(target, "old"));

    EXPECT_TRUE(CopyFileChecked(source, target, true));
    EXPECT_EQ(readFile(target), "new content");
    EXPECT_EQ(readFile(source), "new content");
    EXPECT_EQ(QFileInfo(target).lastModified(), stamp);
    EXPECT_EQ(QFile::permissions(target), QFile::permissions(source));
    EXPECT_EQ(entriesOf(dir.path()), QStringList({"a.jpg", "b.jpg"}));

    // A read-only source gives a read-only copy.
    ASSERT_TRUE(QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_TRUE(CopyFileChecked(source, path("c.jpg"), true));
    EXPECT_TRUE(IsReadOnly(path("c.jpg")));
}

TEST_F(Scratch, CopyFailuresLeaveTargetAsItWas) {
    const QString source = path("a.jpg");
    ASSERT_TRUE(writeFile(source, "data"));
    const QString readOnly = path("ro.jpg");
    ASSERT_TRUE(writeFile(readOnly, "old"));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));

    EXPECT_FALSE(CopyFileChecked(source, readOnly, false));
    EXPECT_EQ(readFile(readOnly), "old");
    EXPECT_FALSE(CopyFileChecked(source, path("missing/b.jpg"), false));
    EXPECT_FALSE(CopyFileChecked(path("nosuch.jpg"), path("b.jpg"), false));
    EXPECT_FALSE(QFileInfo::exists(path("b.jpg")));
    EXPECT_FALSE(CopyFileChecked(source, dir.path(), false));    // a folder is no target
    EXPECT_TRUE(CopyFileChecked(source, path("./a.jpg"), true)); // onto itself
    EXPECT_EQ(readFile(source), "data");
    EXPECT_EQ(entriesOf(dir.path()), QStringList({"a.jpg", "ro.jpg"}));
}

TEST_F(Scratch, StoppedCopyLeavesNoPartialTarget) {
    const QString source = path("big.jpg");
    ASSERT_TRUE(writeFile(source, QByteArray(3 << 20, 'b')));
    const QString target = path("t.jpg");
    ASSERT_TRUE(writeFile(target, "old"));
    int chunks = 0;
    bool stopped = false;
    EXPECT_FALSE(copyFileStoppable(
        source, target, true, [&] { return ++chunks < 2; }, &stopped));
    EXPECT_TRUE(stopped);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(entriesOf(dir.path()), QStringList({"big.jpg", "t.jpg"}));
}

TEST_F(Scratch, MoveWithinFileSystemReplacesTarget) {
    ASSERT_TRUE(writeFile(path("a.jpg"), "moved"));
    ASSERT_TRUE(writeFile(path("b.jpg"), "old"));
    EXPECT_TRUE(MoveFileByCopy(path("a.jpg"), path("b.jpg"), true));
    EXPECT_EQ(entriesOf(dir.path()), QStringList({"b.jpg"}));
    EXPECT_EQ(readFile(path("b.jpg")), "moved");
    EXPECT_TRUE(MoveFileByCopy(path("b.jpg"), path("./b.jpg"), true)); // onto itself
    EXPECT_EQ(readFile(path("b.jpg")), "moved");
}

TEST_F(Scratch, MoveAcrossFileSystemsCopiesThenDeletes) {
    QTemporaryDir other(QStringLiteral("/dev/shm/palvo-move-XXXXXX"));
    if (!other.isValid() || QStorageInfo(other.path()) == QStorageInfo(dir.path()))
        GTEST_SKIP() << "no second file system to move to";
    const QString source = path("a.jpg");
    ASSERT_TRUE(writeFile(source, QByteArray(2 << 20, 'm')));
    const QDateTime stamp(QDate(2019, 1, 2), QTime(3, 4, 6));
    ASSERT_TRUE(SetFileDateTime(source, stamp));
    const QString target = other.filePath("b.jpg");
    ASSERT_TRUE(writeFile(target, "old"));

    EXPECT_TRUE(MoveFileByCopy(source, target, true));
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(readFile(target), QByteArray(2 << 20, 'm'));
    EXPECT_EQ(QFileInfo(target).lastModified(), stamp);
    EXPECT_EQ(entriesOf(other.path()), QStringList({"b.jpg"}));
}

TEST_F(Scratch, FailedMoveKeepsSourceAndOldTarget) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("src"));
    const QString source = path("src/a.jpg");
    ASSERT_TRUE(writeFile(source, "precious"));
    ASSERT_TRUE(QFile::setPermissions(source, QFileDevice::ReadOwner));
    const QString target = path("b.jpg");
    ASSERT_TRUE(writeFile(target, "old"));
    {
        LockedFolder lock(path("src"));
        if (!lock.active())
            GTEST_SKIP() << "cannot make a folder undeletable here";
        EXPECT_FALSE(MoveFileByCopy(source, target, true));
    }
    EXPECT_EQ(readFile(source), "precious");
    EXPECT_EQ(QFile::permissions(source) & 0x7000, QFileDevice::ReadOwner);
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(entriesOf(dir.path()), QStringList({"b.jpg", "src"}));
    EXPECT_EQ(entriesOf(path("src")), QStringList({"a.jpg"}));

    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner));
    EXPECT_FALSE(MoveFileByCopy(source, target, true)); // read-only target
    EXPECT_EQ(readFile(source), "precious");
    EXPECT_EQ(readFile(target), "old");
}

// --- the line log -------------------------------------------------------------

TEST_F(Scratch, AppendLineWritesCrLf) {
    const QString log = path("log.txt");
    EXPECT_TRUE(AppendLineToFile(log, "first", false, 0));
    EXPECT_TRUE(AppendLineToFile(log, "zweite Zeile ü", false, 0));
    EXPECT_EQ(readFile(log), "first\r\nzweite Zeile \xc3\xbc\r\n");
    EXPECT_TRUE(AppendLineToFile(log, "fresh", true, 0));
    EXPECT_EQ(readFile(log), "fresh\r\n");
    EXPECT_FALSE(AppendLineToFile(path("missing/log.txt"), "x", false, 0));
}

TEST_F(Scratch, AppendLineRotatesLargeFiles) {
    const QString log = path("log.txt");
    const QString day = QDate::currentDate().toString("yyyy-MM-dd");
    ASSERT_TRUE(writeFile(log, QByteArray(1048576, 'a'))); // exactly the limit: kept
    EXPECT_TRUE(AppendLineToFile(log, "b", false, 1));
    EXPECT_EQ(FileSize64(log), 1048576 + 3);
    EXPECT_EQ(entriesOf(dir.path()), QStringList({"log.txt"}));

    EXPECT_TRUE(AppendLineToFile(log, "c", false, 1)); // now above it: moved aside
    EXPECT_EQ(readFile(log), "c\r\n");
    EXPECT_EQ(FileSize64(path("log-" + day + ".txt")), 1048576 + 3);

    ASSERT_TRUE(writeFile(log, QByteArray(1048577, 'a')));
    EXPECT_TRUE(AppendLineToFile(log, "d", false, 1));
    EXPECT_EQ(FileSize64(path("log-" + day + "_2.txt")), 1048577);

    ASSERT_TRUE(writeFile(log, QByteArray(1048577, 'a')));
    EXPECT_TRUE(AppendLineToFile(log, "e", false, 1, path("old.txt")));
    EXPECT_EQ(FileSize64(path("old.txt")), 1048577);
    EXPECT_EQ(readFile(log), "e\r\n");
}

TEST_F(Scratch, AppendLineLimitIsAtMostTenMegabytes) {
    const QString log = path("log.txt");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(10 * 1048576 + 1));
    file.close();
    EXPECT_TRUE(AppendLineToFile(log, "x", false, 50));
    EXPECT_EQ(readFile(log), "x\r\n");
}

// --- sizes and times ----------------------------------------------------------

TEST_F(Scratch, FileSizes) {
    ASSERT_TRUE(writeFile(path("a"), "12345"));
    EXPECT_EQ(FileSize64(path("a")), 5);
    EXPECT_EQ(FileSize64(path("missing")), 0);
    EXPECT_EQ(FileSize64(dir.path()), 0);
    QFile big(path("big"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(std::int64_t(5) << 30)); // sparse
    big.close();
    EXPECT_EQ(FileSize64(path("big")), std::int64_t(5) << 30);
}

TEST(FileTimes, DosSteps) {
    const struct {
        QDateTime in;
        QDateTime expected;
    } cases[] = {
        {QDateTime(QDate(2024, 5, 6), QTime(10, 11, 13, 500)),
         QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12))},
        {QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12)),
         QDateTime(QDate(2024, 5, 6), QTime(10, 11, 12))},
        {QDateTime(QDate(1980, 1, 1), QTime(0, 0, 1)), QDateTime(QDate(1980, 1, 1), QTime(0, 0))},
        {QDateTime(QDate(2107, 12, 31), QTime(23, 59, 59)),
         QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58))},
        {QDateTime(QDate(1979, 12, 31), QTime(23, 59, 59)), QDateTime()},
        {QDateTime(QDate(2108, 1, 1), QTime(0, 0)), QDateTime()},
        {QDateTime(), QDateTime()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dosDateTime(c.in), c.expected) << c.in.toString(Qt::ISODateWithMs).toStdString();
}

TEST_F(Scratch, FileDatesReadAndSet) {
    const QString file = path("a.jpg");
    ASSERT_TRUE(writeFile(file, "x"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-5);
    EXPECT_TRUE(SetFileDateTime(file, QDateTime(QDate(2020, 3, 4), QTime(5, 6, 7, 800))));
    EXPECT_EQ(FileDate(file, false), QDateTime(QDate(2020, 3, 4), QTime(5, 6, 6)));
    const FileTimes times = FileDates(file);
    EXPECT_TRUE(times.found);
    EXPECT_EQ(times.modified, QDateTime(QDate(2020, 3, 4), QTime(5, 6, 6)));
    // The birth time where the file system keeps one, else the last write.
    EXPECT_TRUE(times.created == times.modified || times.created >= before)
        << times.created.toString().toStdString();
    EXPECT_EQ(FileDate(file, true), times.created);

    EXPECT_TRUE(SetFileDateTime(file, QDateTime())); // no time: nothing happens
    EXPECT_EQ(FileDate(file, false), QDateTime(QDate(2020, 3, 4), QTime(5, 6, 6)));

    EXPECT_TRUE(SetFileDateTime(file, QDateTime(QDate(1975, 1, 1), QTime(12, 0))));
    EXPECT_FALSE(FileDate(file, false).isValid()); // before the DOS epoch: no time

    EXPECT_FALSE(SetFileDateTime(path("missing"), QDateTime::currentDateTime()));
    const FileTimes missing = FileDates(path("missing"));
    EXPECT_FALSE(missing.found);
    EXPECT_FALSE(missing.created.isValid());
    EXPECT_FALSE(missing.modified.isValid());
    EXPECT_FALSE(FileDate(path("missing"), true).isValid());
}

TEST_F(Scratch, FolderCreationTime) {
    const QDateTime before = QDateTime::currentDateTime().addSecs(-2);
    ASSERT_TRUE(QDir(dir.path()).mkdir("made"));
    const QDateTime after = QDateTime::currentDateTime().addSecs(2);
    const QDateTime created = FolderCreationTime(path("made"));
    EXPECT_GE(created, before);
    EXPECT_LE(created, after);
    EXPECT_EQ(created.timeSpec(), Qt::LocalTime);
    ASSERT_TRUE(writeFile(path("file"), "x"));
    EXPECT_FALSE(FolderCreationTime(path("file")).isValid());
    EXPECT_FALSE(FolderCreationTime(path("missing")).isValid());
}

// --- drives ---------------------------------------------------------------------

TEST_F(Scratch, FreeSpaceOfThePathsFileSystem) {
    const std::int64_t free = DriveFreeSpace(dir.path());
    EXPECT_GT(free, 0);
    // A path not made yet is judged by the folder it would go into.
    const std::int64_t planned = DriveFreeSpace(path("not/yet/made.jpg"));
    EXPECT_GT(planned, 0);
    EXPECT_LT(std::abs(planned - free), std::int64_t(64) << 20);
    EXPECT_EQ(DriveFreeSpace(""), -1);
}

namespace {

class FakeMounts : public MountInfo {
public:
    std::optional<MountEntry> mountOf(const QString& path) const override {
        const auto it = mounts.find(path);
        if (it == mounts.end())
            return std::nullopt;
        return *it;
    }
    bool isRemovableDevice(const QByteArray& device) const override {
        return removable.contains(device);
    }
    QMap<QString, MountEntry> mounts;
    QSet<QByteArray> removable;
};

} // namespace

TEST(DriveType, ByFileSystemAndDevice) {
    FakeMounts fake;
    const auto add = [&](const char* path, const char* type, const char* device) {
        fake.mounts.insert(path, MountEntry{"/", type, device});
    };
    add("/home/u", "ext4", "/dev/nvme0n1p2");
    add("/media/u/CARD", "vfat", "/dev/sdb1");
    add("/media/u/DISK", "ext4", "/dev/sdc1");
    add("/net/nfs", "nfs4", "server:/export");
    add("/net/smb", "cifs", "//server/share");
    add("/net/ssh", "fuse.sshfs", "u@host:");
    add("/media/u/CD", "iso9660", "/dev/sr0");
    add("/media/u/DVD", "UDF", "/dev/sr0");
    add("/run/user/1000", "tmpfs", "tmpfs");
    add("/ram", "ramfs", "ramfs");
    fake.removable = {"/dev/sdb1", "/dev/sr0"};

    const struct {
        const char* path;
        int expected;
    } cases[] = {
        {"", 0},
        {"/media/u/GONE", 2}, // no such path
        {"/home/u", 3},
        {"/media/u/CARD", 2},
        {"/media/u/DISK", 3},
        {"/net/nfs", 4},
        {"/net/smb", 4},
        {"/net/ssh", 4},
        {"/media/u/CD", 5}, // optical before removable
        {"/media/u/DVD", 5},
        {"/run/user/1000", 6},
        {"/ram", 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DriveTypeOf(c.path, fake), c.expected) << c.path;
    EXPECT_EQ(DriveTypeOf(""), 0);
    EXPECT_EQ(DriveTypeOf("/no/such/folder/anywhere"), 2);
}

TEST_F(Scratch, RemovableFlagFromSysBlock) {
    const auto disk = [&](const QString& name, const char* removable, const QString& partition) {
        ASSERT_TRUE(QDir().mkpath(path("sys/block/" + name + "/" + partition)));
        ASSERT_TRUE(writeFile(path("sys/block/" + name + "/removable"), removable));
    };
    disk("sda", "0\n", "sda1");
    disk("sdb", "1\n", "sdb1");
    disk("mmcblk0", "1\n", "mmcblk0p1");
    const SystemMountInfo mounts(path("sys"));
    const struct {
        const char* device;
        bool expected;
    } cases[] = {
        {"/dev/sdb1", true},  {"/dev/sdb", true},  {"/dev/mmcblk0p1", true},
        {"/dev/sda1", false}, {"/dev/sda", false}, {"/dev/nvme0n1p1", false},
        {"tmpfs", false},     {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mounts.isRemovableDevice(c.device), c.expected) << c.device;

    // Mounts themselves come from the running system.
    const std::optional<MountEntry> real = mounts.mountOf(dir.path());
    ASSERT_TRUE(real.has_value());
    EXPECT_FALSE(real->rootPath.isEmpty());
    EXPECT_FALSE(mounts.mountOf(path("missing")).has_value());
}
