#include "foundation/ShellRoutine.h"

#include "foundation/Messages.h"
#include "foundation/Progress.h"
#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

namespace palvo {

namespace {

const QString kBrowserFailed = QStringLiteral("Error encountered launching your web browser");
const QString kOpenFailed = QStringLiteral("The file, %s, could not be opened.");
const QString kPrintFailed = QStringLiteral("The file, %s, could not be printed.");
const QString kOverwrite =
    QStringLiteral("A file exists by the name, %s.  Are you sure you want to overwrite it?");
const QString kDeleteOne = QStringLiteral("Are you sure you want to delete the file, %s?");
const QString kDeleteMany = QStringLiteral("Are you sure you want to delete these %s files?");
const QString kCopyFailed = QStringLiteral("The file, %s, could not be copied.");
const QString kMoveFailed = QStringLiteral("The file, %s, could not be moved.");
const QString kDeleteFailed = QStringLiteral("The file, %s, could not be deleted.");
const QString kTrashFailed = QStringLiteral("The file, %s, could not be moved to the trash.");
const QString kFolderFailed =
    QStringLiteral("An error was encountered whilst trying to create the folder, %s.");

QUrl urlOf(const QString& file) {
    if (file.contains(QLatin1String("://")))
        return QUrl(file);
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
}

bool startFile(const QString& file, const QString& parameters, int verb) {
    if (file.trimmed().isEmpty())
        return false;
    switch (verb) {
    case kVerbOpen: {
        const QFileInfo info(file);
        if (!parameters.isEmpty() && info.isFile() && info.isExecutable())
            return QProcess::startDetached(info.absoluteFilePath(),
                                           QProcess::splitCommand(parameters));
        return QDesktopServices::openUrl(urlOf(file));
    }
    case kVerbExplore: {
        const QFileInfo info(file);
        if (!info.exists())
            return false;
        return QDesktopServices::openUrl(
            QUrl::fromLocalFile(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
    }
    default:
        return false;
    }
}

// What one copy, move or delete reports and asks through.
class Session {
public:
    Session(FileOperationPrompts* prompts, ProgressObserver* progress, bool showErrors)
        : prompts_(prompts ? prompts : &fallback_), progress_(progress), showErrors_(showErrors) {}

    FileOperationPrompts& prompts() { return *prompts_; }
    bool cancelled() const { return progress_ && progress_->cancelRequested(); }
    void step(int current, int total, const QString& path, const QString& caption) {
        if (progress_)
            progress_->progress(current, total, fileNameOf(path), caption, true);
    }
    void fail(const QString& text, const QString& path) {
        if (showErrors_)
            prompts_->showError(LoadStrFromRes(text, path));
    }
    CopyContinue keepGoing() const {
        return [this] { return !cancelled(); };
    }

private:
    MessageFileOperationPrompts fallback_;
    FileOperationPrompts* prompts_;
    ProgressObserver* progress_;
    bool showErrors_;
};

struct Transfer {
    QString source;
    QString target;
};

// Pairs every source with its target; false for lists that don't fit.
bool planTransfers(const QStringList& sources, const QStringList& targets, QList<Transfer>* plan,
                   QString* folder) {
    if (sources.isEmpty() || targets.isEmpty())
        return false;
    const QString& first = targets.front();
    if (targets.size() == 1 &&
        (sources.size() > 1 || FolderExistsQuiet(first) || first.endsWith(QLatin1Char('/')))) {
        *folder = IncludeTrailingSeparator(first);
        for (const QString& source : sources)
            plan->append({source, *folder + fileNameOf(source)});
        return true;
    }
    if (targets.size() != sources.size())
        return false;
    for (qsizetype i = 0; i < sources.size(); ++i)
        plan->append({sources[i], targets[i]});
    return true;
}

} // namespace

QString ShellFolder(const QString& valueName) {
    const QString name = valueName.toUpper();
    if (name == QLatin1String("APPDATA"))
        return IncludeTrailingSeparator(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (name == QLatin1String("MY PICTURES")) {
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        return IncludeTrailingSeparator(FolderExistsQuiet(pictures) ? pictures : QDir::homePath());
    }
    return QString();
}

void ShellRun(const QString& file, const QString& parameters, int verb) {
    if (!startFile(file, parameters, verb))
        throw EError(LoadStrFromRes(verb == kVerbPrint ? kPrintFailed : kOpenFailed, file));
}

bool tryShellRun(const QString& file, const QString& parameters, int verb) {
    return startFile(file, parameters, verb);
}

bool OpenInBrowser(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    if (url.isValid() && !url.isEmpty() && QDesktopServices::openUrl(url))
        return true;
    qMessageDlg(kBrowserFailed, MsgType::Warning, mbOK);
    return false;
}

// --- file operations ------------------------------------------------------------

OverwriteAnswer MessageFileOperationPrompts::askOverwrite(const QString& /*source*/,
                                                          const QString& target) {
    return qMessageDlg(LoadStrFromRes(kOverwrite, target), MsgType::Confirmation, mbOKCancel) ==
                   mrOK
               ? OverwriteAnswer::Overwrite
               : OverwriteAnswer::Cancel;
}

bool MessageFileOperationPrompts::confirmDelete(const QStringList& paths, bool /*toTrash*/) {
    const QString question = paths.size() == 1
                                 ? LoadStrFromRes(kDeleteOne, fileNameOf(paths.front()))
                                 : LoadStrFromRes(kDeleteMany, QString::number(paths.size()));
    return qMessageDlg(question, MsgType::Confirmation, mbOKCancel) == mrOK;
}

void MessageFileOperationPrompts::showError(const QString& message) {
    qMessageDlg(message, MsgType::Warning, mbOK);
}

QStringList SplitPathList(const QString& paths) {
    return paths.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

int ShellCopyOrMove(const QStringList& sources, const QStringList& targets,
                    const FileOperationOptions& options, FileOperationPrompts* prompts,
                    ProgressObserver* progress) {
    Session session(prompts, progress, options.showErrors);
    QList<Transfer> plan;
    QString folder;
    if (!planTransfers(sources, targets, &plan, &folder))
        return kShellFailed;
    if (!folder.isEmpty() && !FolderExistsQuiet(folder) && !QDir().mkpath(folder)) {
        session.fail(kFolderFailed, folder);
        return kShellFailed;
    }
    const QString& failText = options.move ? kMoveFailed : kCopyFailed;
    const QString caption =
        options.move ? QStringLiteral("Moving...") : QStringLiteral("Copying...");
    const int total = int(plan.size());
    bool overwriteAll = false;
    for (int i = 0; i < total; ++i) {
        if (session.cancelled())
            return kShellCancelled;
        const QString& source = plan[i].source;
        QString target = plan[i].target;
        session.step(i, total, source, caption);
        if (!FileExistsQuiet(source)) {
            session.fail(failText, source);
            return kShellFailed;
        }
        if (isSameFile(source, target)) {
            if (options.move)
                continue; // already where it should go
            target = UniqueFileName(target, QStringLiteral("("), 0);
        } else if (pathTaken(target)) {
            if (options.renameOnCollision) {
                target = UniqueFileName(target, QStringLiteral("("), 0);
            } else {
                if (QFileInfo(target).isDir()) {
                    session.fail(failText, source);
                    return kShellFailed;
                }
                if (options.confirm && !overwriteAll) {
                    switch (session.prompts().askOverwrite(source, target)) {
                    case OverwriteAnswer::Skip:
                        continue;
                    case OverwriteAnswer::Cancel:
                        return kShellCancelled;
                    case OverwriteAnswer::OverwriteAll:
                        overwriteAll = true;
                        break;
                    case OverwriteAnswer::Overwrite:
                        break;
                    }
                }
                if (IsReadOnly(target))
                    ClearReadOnly(target);
            }
        }
        bool stopped = false;
        const bool done =
            options.move ? moveFileStoppable(source, target, true, session.keepGoing(), &stopped)
                         : copyFileStoppable(source, target, true, session.keepGoing(), &stopped);
        if (stopped)
            return kShellCancelled;
        if (!done) {
            session.fail(failText, source);
            return kShellFailed;
        }
    }
    session.step(total, total, QString(), caption);
    return kShellDone;
}

int ShellCopyOrMove(const QStringList& sources, const QStringList& targets, bool move,
                    FileOperationPrompts* prompts, ProgressObserver* progress) {
    FileOperationOptions options;
    options.move = move;
    return ShellCopyOrMove(sources, targets, options, prompts, progress);
}

int ShellCopyOrMove(const QString& sources, const QString& targets, bool move,
                    FileOperationPrompts* prompts, ProgressObserver* progress) {
    return ShellCopyOrMove(SplitPathList(sources), SplitPathList(targets), move, prompts, progress);
}

bool ShellCopy(const QString& sources, const QString& targets, bool renameOnCollision,
               bool noConfirm, FileOperationPrompts* prompts, ProgressObserver* progress) {
    FileOperationOptions options;
    options.renameOnCollision = renameOnCollision;
    options.confirm = !noConfirm;
    return ShellCopyOrMove(SplitPathList(sources), SplitPathList(targets), options, prompts,
                           progress) == kShellDone;
}

bool ShellMove(const QString& sources, const QString& targets, bool renameOnCollision, bool confirm,
               FileOperationPrompts* prompts, ProgressObserver* progress) {
    FileOperationOptions options;
    options.move = true;
    options.renameOnCollision = renameOnCollision;
    options.confirm = confirm;
    return ShellCopyOrMove(SplitPathList(sources), SplitPathList(targets), options, prompts,
                           progress) == kShellDone;
}

bool ShellDelete(const QStringList& paths, bool toRecycleBin, bool confirm, bool silent,
                 bool showErrors, FileOperationPrompts* prompts, ProgressObserver* progress) {
    Session session(prompts, silent ? nullptr : progress, showErrors);
    if (paths.isEmpty())
        return false;
    if (confirm && !session.prompts().confirmDelete(paths, toRecycleBin))
        return false;
    const int total = int(paths.size());
    for (int i = 0; i < total; ++i) {
        if (session.cancelled())
            return false;
        const QString& path = paths[i];
        session.step(i, total, path, QStringLiteral("Deleting..."));
        const bool isFile = pathTaken(path) && !QFileInfo(path).isDir();
        const bool done = isFile && (toRecycleBin ? moveFileToTrash(path) : QFile::remove(path));
        if (!done) {
            session.fail(toRecycleBin ? kTrashFailed : kDeleteFailed, path);
            return false;
        }
    }
    session.step(total, total, QString(), QStringLiteral("Deleting..."));
    return true;
}

bool ShellDelete(const QString& paths, bool toRecycleBin, bool confirm, bool silent,
                 bool showErrors, FileOperationPrompts* prompts, ProgressObserver* progress) {
    return ShellDelete(SplitPathList(paths), toRecycleBin, confirm, silent, showErrors, prompts,
                       progress);
}

bool isTrashLocation(const QString& pathInTrash, const QString& dataHome, uint uid) {
    if (pathInTrash.isEmpty())
        return false;
    const QString path = QDir::cleanPath(QFileInfo(pathInTrash).absoluteFilePath());
    const QString files = QFileInfo(path).absolutePath();
    if (fileNameOf(files) != QLatin1String("files"))
        return false;
    const QString trash = QFileInfo(files).absolutePath();
    const QString homeTrash = QDir::cleanPath(dataHome + QLatin1String("/Trash"));
    if (!dataHome.isEmpty() &&
        (trash == homeTrash ||
         (QFileInfo(trash).canonicalFilePath() == QFileInfo(homeTrash).canonicalFilePath() &&
          !QFileInfo(homeTrash).canonicalFilePath().isEmpty())))
        return true;
    const QString name = fileNameOf(trash);
    if (name == QLatin1String(".Trash-") + QString::number(uid))
        return true;
    return name == QString::number(uid) &&
           fileNameOf(QFileInfo(trash).absolutePath()) == QLatin1String(".Trash");
}

bool moveFileToTrash(const QString& path, QString* pathInTrash) {
    if (!pathTaken(path))
        return false;
    // Without the data folder Qt "trashes" into the current folder.
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return false;
    QString where;
    if (!QFile::moveToTrash(path, &where))
        return false;
    if (isTrashLocation(where, dataHome, ::getuid())) {
        if (pathInTrash)
            *pathInTrash = where;
        return true;
    }
    // It went somewhere that is no trash: put it back and drop the note Qt
    // wrote beside it.
    if (!where.isEmpty()) {
        QFile::rename(where, path);
        const QFileInfo moved(where);
        QFile::remove(QFileInfo(moved.absolutePath()).absolutePath() + QLatin1String("/info/") +
                      moved.fileName() + QLatin1String(".trashinfo"));
    }
    return false;
}

} // namespace palvo
