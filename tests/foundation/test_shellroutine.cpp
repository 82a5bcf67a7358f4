#include <gtest/gtest.h>

#include "foundation/FileFixtures.h"
#include "foundation/Progress.h"
#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"
#include "support/ScriptedMessages.h"
#include "foundation/ShellRoutine.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>

#include <unistd.h>

using namespace palvo;
using palvo::test::entriesOf;
using palvo::test::LockedFolder;
using palvo::test::readFile;
using palvo::test::ScriptedMessages;
using palvo::test::writeFile;

// Receives what the desktop would have been asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

namespace {

class ScriptedPrompts : public FileOperationPrompts {
public:
    OverwriteAnswer askOverwrite(const QString& /*source*/, const QString& target) override {
        asked << fileNameOf(target);
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected overwrite question for " << target.toStdString();
            return OverwriteAnswer::Cancel;
        }
        return answers.takeFirst();
    }
    bool confirmDelete(const QStringList& paths, bool /*toTrash*/) override {
        deleteAsked << paths;
        return allowDelete;
    }
    void showError(const QString& message) override { errors << message; }

    QList<OverwriteAnswer> answers;
    QStringList asked;
    QList<QStringList> deleteAsked;
    bool allowDelete = true;
    QStringList errors;
};

// Records progress; asks to stop once a file's step is shown, or after a
// number of cancel checks.
class RecordingProgress : public ProgressObserver {
public:
    void progress(int current, int total, const QString& message, const QString& caption,
                  bool /*canCancel*/) override {
        steps << QStringLiteral("%1/%2 %3 %4").arg(current).arg(total).arg(message, caption);
        if (!cancelOnStep.isEmpty() && message == cancelOnStep)
            stop = true;
    }
    bool cancelRequested() const override { return stop || ++checks > cancelAfterChecks; }

    QStringList steps;
    QString cancelOnStep;
    int cancelAfterChecks = 1 << 30;
    mutable int checks = 0;
    bool stop = false;
};

class FileOps : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir("src"));
        ASSERT_TRUE(QDir(dir.path()).mkdir("dst"));
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            ASSERT_TRUE(writeFile(src(name), QByteArray("new ") + name));
    }
    QString src(const QString& name = QString()) const { return dir.filePath("src/" + name); }
    QString dst(const QString& name = QString()) const { return dir.filePath("dst/" + name); }
    QString allSources() const {
        return src("a.jpg") + ";" + src("b.jpg") + ";" + src("c.jpg") + ";";
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
};

} // namespace

// --- desktop folders and opening ------------------------------------------------

TEST(ShellFolder, DataAndPictureFolders) {
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    ASSERT_FALSE(dataHome.isEmpty());
    EXPECT_EQ(ShellFolder("APPDATA"), dataHome + "/");
    EXPECT_EQ(ShellFolder("AppData"), dataHome + "/");

    const QString pictures = QDir::homePath() + "/Pictures";
    QDir(pictures).removeRecursively();
    EXPECT_EQ(ShellFolder("MY PICTURES"), QDir::homePath() + "/");
    ASSERT_TRUE(QDir().mkpath(pictures));
    EXPECT_EQ(ShellFolder("My Pictures"), pictures + "/");
    QDir(pictures).removeRecursively();

    EXPECT_EQ(ShellFolder("Personal"), "");
    EXPECT_EQ(ShellFolder(""), "");
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::setUrlHandler(scheme, &recorder, "open");
    }
    void TearDown() override {
        for (const char* scheme : {"http", "https", "file"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    UrlRecorder recorder;
    ScriptedMessages messages{true};
};

TEST_F(Desktop, OpenInBrowser) {
    EXPECT_TRUE(OpenInBrowser("www.palvo.example/frames"));
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_EQ(recorder.opened[0], QUrl("http://www.palvo.example/frames"));
    EXPECT_TRUE(messages.shown.isEmpty());

    EXPECT_FALSE(OpenInBrowser("   "));
    EXPECT_EQ(messages.shown, QStringList({"Error encountered launching your web browser"}));
    EXPECT_EQ(recorder.opened.size(), 1);
}

TEST_F(Desktop, ShellRunVerbs) {
    QTemporaryDir dir;
    const QString file = dir.filePath("guide.html");
    ASSERT_TRUE(writeFile(file, "<html></html>"));

    ShellRun(file, QString(), kVerbOpen);
    ShellRun(file, QString(), kVerbExplore);
    ASSERT_EQ(recorder.opened.size(), 2);
    EXPECT_EQ(recorder.opened[0], QUrl::fromLocalFile(file));
    EXPECT_EQ(recorder.opened[1], QUrl::fromLocalFile(dir.path()));

    try {
        ShellRun(file, QString(), kVerbPrint);
        ADD_FAILURE() << "printing through the desktop should fail";
    } catch (const EError& e) {
        EXPECT_EQ(e.message(), "The file, " + file + ", could not be printed.");
    }
    EXPECT_THROW(ShellRun("", QString(), kVerbOpen), EError);
    EXPECT_FALSE(tryShellRun(dir.filePath("missing"), QString(), kVerbExplore));
    EXPECT_TRUE(tryShellRun(file, QString(), kVerbOpen));
    EXPECT_EQ(recorder.opened.size(), 3);
}

TEST(ShellRun, StartsAnExecutableWithParameters) {
    QTemporaryDir dir;
    const QString script = dir.filePath("run.sh");
    const QString out = dir.filePath("out.txt");
    ASSERT_TRUE(writeFile(script, "#!/bin/sh\necho \"$1|$2\" > \"$3\"\n"));
    ASSERT_TRUE(QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner));
    ShellRun(script, "one \"two words\" " + out, kVerbOpen);
    for (int i = 0; i < 500 && readFile(out) != "one|two words\n"; ++i)
        ::usleep(10'000);
    EXPECT_EQ(readFile(out), "one|two words\n");
}

// --- copy and move --------------------------------------------------------------

TEST_F(FileOps, CopyIntoFolderReportsProgress) {
    RecordingProgress progress;
    EXPECT_EQ(ShellCopyOrMove(allSources(), dst(), false, &prompts, &progress), kShellDone);
    EXPECT_EQ(entriesOf(dst()), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(entriesOf(src()), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(readFile(dst("b.jpg")), "new b.jpg");
    EXPECT_EQ(progress.steps, QStringList({"0/3 a.jpg Copying...", "1/3 b.jpg Copying...",
                                           "2/3 c.jpg Copying...", "3/3  Copying..."}));
    EXPECT_TRUE(prompts.asked.isEmpty());
    EXPECT_TRUE(prompts.errors.isEmpty());
}

TEST_F(FileOps, OverwriteAnswers) {
    const struct {
        QList<OverwriteAnswer> answers;
        int result;
        QStringList asked;
        const char* a; // what each target holds afterwards
        const char* b;
        const char* c;
    } cases[] = {
        {{OverwriteAnswer::Skip, OverwriteAnswer::Skip},
         kShellDone,
         {"b.jpg", "c.jpg"},
         "new a.jpg",
         "old b",
         "old c"},
        {{OverwriteAnswer::Overwrite, OverwriteAnswer::Skip},
         kShellDone,
         {"b.jpg", "c.jpg"},
         "new a.jpg",
         "new b.jpg",
         "old c"},
        {{OverwriteAnswer::OverwriteAll},
         kShellDone,
         {"b.jpg"},
         "new a.jpg",
         "new b.jpg",
         "new c.jpg"},
        {{OverwriteAnswer::Cancel}, kShellCancelled, {"b.jpg"}, "new a.jpg", "old b", "old c"},
    };
    for (const auto& c : cases) {
        QDir(dst()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dst()));
        ASSERT_TRUE(writeFile(dst("b.jpg"), "old b"));
        ASSERT_TRUE(writeFile(dst("c.jpg"), "old c"));
        ScriptedPrompts scripted;
        scripted.answers = c.answers;
        EXPECT_EQ(ShellCopyOrMove(allSources(), dst(), false, &scripted), c.result);
        EXPECT_EQ(scripted.asked, c.asked);
        EXPECT_EQ(readFile(dst("a.jpg")), c.a);
        EXPECT_EQ(readFile(dst("b.jpg")), c.b);
        EXPECT_EQ(readFile(dst("c.jpg")), c.c);
        EXPECT_EQ(entriesOf(dst()), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
    }
}

TEST_F(FileOps, QuestionsThroughMessageBoxesWithoutPrompts) {
    ScriptedMessages messages{true};
    ASSERT_TRUE(writeFile(dst("a.jpg"), "old a"));
    messages.answers = {mrCancel};
    EXPECT_EQ(ShellCopyOrMove(src("a.jpg"), dst(), false), kShellCancelled);
    EXPECT_EQ(messages.asked,
              QStringList({"Confirmation: A file exists by the name, " + dst("a.jpg") +
                           ".  Are you sure you want to overwrite it?"}));
    EXPECT_EQ(readFile(dst("a.jpg")), "old a");
    messages.answers = {mrOK};
    EXPECT_EQ(ShellCopyOrMove(src("a.jpg"), dst(), false), kShellDone);
    EXPECT_EQ(readFile(dst("a.jpg")), "new a.jpg");
}

TEST_F(FileOps, CopyWithoutConfirmationReplacesReadOnlyTargets) {
    ASSERT_TRUE(writeFile(dst("a.jpg"), "old a"));
    ASSERT_TRUE(QFile::setPermissions(dst("a.jpg"), QFileDevice::ReadOwner));
    EXPECT_TRUE(ShellCopy(src("a.jpg"), dst(), false, true, &prompts));
    EXPECT_EQ(readFile(dst("a.jpg")), "new a.jpg");
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(FileOps, RenameOnCollision) {
    ASSERT_TRUE(writeFile(dst("a.jpg"), "old a"));
    ASSERT_TRUE(writeFile(dst("a (2).jpg"), "old a2"));
    EXPECT_TRUE(ShellCopy(src("a.jpg"), dst(), true, false, &prompts));
    EXPECT_TRUE(ShellMove(src("b.jpg"), src(), true, true, &prompts)); // onto itself: stays
    EXPECT_EQ(readFile(dst("a.jpg")), "old a");
    EXPECT_EQ(readFile(dst("a (3).jpg")), "new a.jpg");
    EXPECT_EQ(entriesOf(src()), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
    // A copy onto itself gets the next free name without being asked.
    EXPECT_EQ(ShellCopyOrMove(src("c.jpg"), src(), false, &prompts), kShellDone);
    EXPECT_EQ(readFile(src("c (2).jpg")), "new c.jpg");
    EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(FileOps, MoveIntoFolderAndPairwise) {
    ASSERT_TRUE(writeFile(dst("b.jpg"), "old b"));
    prompts.answers = {OverwriteAnswer::Skip};
    EXPECT_EQ(ShellCopyOrMove(src("a.jpg") + ";" + src("b.jpg"), dst(), true, &prompts),
              kShellDone);
    EXPECT_EQ(entriesOf(src()), QStringList({"b.jpg", "c.jpg"})); // skipped stays
    EXPECT_EQ(readFile(dst("a.jpg")), "new a.jpg");
    EXPECT_EQ(readFile(dst("b.jpg")), "old b");

    // One target per source, also a name with ";" through the list form.
    const QString odd = dst("x;y.jpg");
    EXPECT_EQ(ShellCopyOrMove(QStringList{src("b.jpg"), src("c.jpg")},
                              QStringList{dst("renamed.jpg"), odd}, true, &prompts),
              kShellDone);
    EXPECT_EQ(readFile(dst("renamed.jpg")), "new b.jpg");
    EXPECT_EQ(readFile(odd), "new c.jpg");
    EXPECT_TRUE(entriesOf(src()).isEmpty());
}

TEST_F(FileOps, MissingTargetFolderIsMadeForSeveralFiles) {
    EXPECT_EQ(ShellCopyOrMove(allSources(), dir.filePath("made/deeper"), false, &prompts),
              kShellDone);
    EXPECT_EQ(entriesOf(dir.filePath("made/deeper")), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
}

TEST_F(FileOps, FailuresAreReportedOnce) {
    const struct {
        QStringList sources;
        QStringList targets;
        int errors;
    } cases[] = {
        {{src("missing.jpg"), src("a.jpg")}, {dst()}, 1},
        {{src()}, {dst()}, 1}, // a folder
        {{src("a.jpg"), src("b.jpg")}, {dst("1"), dst("2"), dst("3")}, 0},
        {{}, {dst()}, 0},
        {{src("a.jpg")}, {}, 0},
    };
    for (const auto& c : cases) {
        ScriptedPrompts scripted;
        EXPECT_EQ(ShellCopyOrMove(c.sources, c.targets, false, &scripted), kShellFailed)
            << c.sources.join(";").toStdString();
        EXPECT_EQ(scripted.errors.size(), c.errors);
    }
    EXPECT_TRUE(entriesOf(dst()).isEmpty());

    ScriptedPrompts scripted;
    EXPECT_EQ(ShellCopyOrMove(src("missing.jpg"), dst(), true, &scripted), kShellFailed);
    EXPECT_EQ(scripted.errors,
              QStringList({"The file, " + src("missing.jpg") + ", could not be moved."}));
    FileOperationOptions quiet;
    quiet.showErrors = false;
    EXPECT_EQ(ShellCopyOrMove({src("missing.jpg")}, {dst()}, quiet, &scripted, nullptr),
              kShellFailed);
    EXPECT_EQ(scripted.errors.size(), 1);
}

TEST_F(FileOps, FailedMoveKeepsTheSource) {
    LockedFolder lock(src());
    if (!lock.active())
        GTEST_SKIP() << "cannot make a folder undeletable here";
    EXPECT_FALSE(ShellMove(src("a.jpg"), dst(), false, true, &prompts));
    EXPECT_EQ(prompts.errors, QStringList({"The file, " + src("a.jpg") + ", could not be moved."}));
    EXPECT_EQ(readFile(src("a.jpg")), "new a.jpg");
    EXPECT_TRUE(entriesOf(dst()).isEmpty());
}

TEST_F(FileOps, CancelBetweenAndInsideFiles) {
    RecordingProgress between;
    between.cancelOnStep = "b.jpg";
    EXPECT_EQ(ShellCopyOrMove(src("a.jpg") + ";" + src("b.jpg"), dst(), false, &prompts, &between),
              kShellCancelled);
    EXPECT_EQ(entriesOf(dst()), QStringList({"a.jpg"}));

    ASSERT_TRUE(writeFile(src("big.jpg"), QByteArray(3 << 20, 'x')));
    RecordingProgress inside;
    inside.cancelAfterChecks = 2; // one check before the file, one per 1 MB chunk
    EXPECT_EQ(ShellCopyOrMove(src("big.jpg"), dst(), false, &prompts, &inside), kShellCancelled);
    EXPECT_EQ(entriesOf(dst()), QStringList({"a.jpg"})); // nothing half-written
    EXPECT_EQ(FileSize64(src("big.jpg")), 3 << 20);
}

// --- delete -----------------------------------------------------------------------

class Trash : public FileOps {
protected:
    void SetUp() override {
        FileOps::SetUp();
        previousDataHome = qgetenv("XDG_DATA_HOME");
        previousFolder = QDir::currentPath();
        QDir::setCurrent(dir.path());
        // Not made yet: deleting to the trash must make it.
        dataHome = dir.filePath("home/data");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    }
    void TearDown() override {
        qputenv("XDG_DATA_HOME", previousDataHome);
        QDir::setCurrent(previousFolder);
    }
    QString dataHome;
    QByteArray previousDataHome;
    QString previousFolder;
};

TEST_F(Trash, DeleteGoesToTheUsersTrash) {
    RecordingProgress progress;
    EXPECT_TRUE(ShellDelete(src("a.jpg") + ";" + src("b.jpg"), true, false, false, true, &prompts,
                            &progress));
    EXPECT_EQ(entriesOf(src()), QStringList({"c.jpg"}));
    EXPECT_EQ(readFile(dataHome + "/Trash/files/a.jpg"), "new a.jpg");
    EXPECT_EQ(readFile(dataHome + "/Trash/files/b.jpg"), "new b.jpg");
    EXPECT_TRUE(QFileInfo::exists(dataHome + "/Trash/info/a.jpg.trashinfo"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("files")));
    EXPECT_EQ(progress.steps.size(), 3);
    EXPECT_TRUE(prompts.deleteAsked.isEmpty());

    QString where;
    ASSERT_TRUE(moveFileToTrash(src("c.jpg"), &where));
    EXPECT_EQ(where, dataHome + "/Trash/files/c.jpg");
}

TEST_F(Trash, NoTrashMeansNothingIsDeleted) {
    ASSERT_TRUE(writeFile(dir.filePath("blocker"), "x"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("blocker/data")));
    EXPECT_FALSE(ShellDelete(src("a.jpg"), true, false, true, true, &prompts));
    EXPECT_EQ(readFile(src("a.jpg")), "new a.jpg");
    EXPECT_EQ(prompts.errors,
              QStringList({"The file, " + src("a.jpg") + ", could not be moved to the trash."}));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("files")));
}

TEST_F(Trash, PermanentDeleteConfirmationAndRefusals) {
    prompts.allowDelete = false;
    EXPECT_FALSE(ShellDelete(src("a.jpg"), false, true, true, true, &prompts));
    EXPECT_EQ(readFile(src("a.jpg")), "new a.jpg");
    ASSERT_EQ(prompts.deleteAsked.size(), 1);
    EXPECT_EQ(prompts.deleteAsked[0], QStringList({src("a.jpg")}));

    prompts.allowDelete = true;
    RecordingProgress progress;
    EXPECT_TRUE(ShellDelete(src("a.jpg"), false, true, true, true, &prompts, &progress));
    EXPECT_FALSE(QFileInfo::exists(src("a.jpg")));
    EXPECT_FALSE(QFileInfo::exists(dataHome + "/Trash/files/a.jpg"));
    EXPECT_TRUE(progress.steps.isEmpty()); // silent

    // Folders are not files: refused and left alone.
    EXPECT_FALSE(ShellDelete(dst(), false, false, true, true, &prompts));
    EXPECT_TRUE(FolderExistsQuiet(dst()));
    EXPECT_EQ(prompts.errors, QStringList({"The file, " + dst() + ", could not be deleted."}));
    EXPECT_FALSE(ShellDelete(src("gone.jpg"), false, false, true, false, &prompts));
    EXPECT_EQ(prompts.errors.size(), 1); // showErrors off
}

TEST_F(Trash, DeleteQuestionThroughMessageBoxes) {
    ScriptedMessages messages{true};
    messages.answers = {mrCancel, mrOK};
    EXPECT_FALSE(ShellDelete(src("a.jpg") + ";" + src("b.jpg"), false, true, true, false));
    EXPECT_TRUE(ShellDelete(src("c.jpg"), false, true, true, false));
    EXPECT_EQ(messages.asked,
              QStringList({"Confirmation: Are you sure you want to delete these 2 files?",
                           "Confirmation: Are you sure you want to delete the file, c.jpg?"}));
    EXPECT_EQ(entriesOf(src()), QStringList({"a.jpg", "b.jpg"}));
}

TEST(TrashLocation, OnlyTrashFilesFolders) {
    const uint uid = 1000;
    const struct {
        const char* path;
        bool expected;
    } cases[] = {
        {"/home/u/.local/share/Trash/files/a.jpg", true},
        {"/home/u/.local/share/Trash/files/a.2.jpg", true},
        {"/media/u/CARD/.Trash-1000/files/a.jpg", true},
        {"/media/u/CARD/.Trash/1000/files/a.jpg", true},
        {"/media/u/CARD/.Trash-1001/files/a.jpg", false},
        {"/media/u/CARD/.Trash/1001/files/a.jpg", false},
        {"/home/u/Pictures/files/a.jpg", false}, // a "files" folder that is no trash
        {"/home/u/.local/share/Trash/a.jpg", false},
        {"/home/u/.local/share/Trash/info/a.jpg", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isTrashLocation(c.path, "/home/u/.local/share", uid), c.expected) << c.path;
    // A relative answer is judged where it really is.
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_FALSE(isTrashLocation("files/a.jpg", "/home/u/.local/share", uid));
    QDir::setCurrent(previous);
}

#include "test_shellroutine.moc"
