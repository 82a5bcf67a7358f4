#pragma once

#include <QString>
#include <QStringList>

namespace palvo {

class ProgressObserver;

// Desktop folders, opening files and addresses, and the program's own file
// copy, move and delete with overwrite questions, progress and the trash.

// "APPDATA": the data folder ($XDG_DATA_HOME); "MY PICTURES": the pictures
// folder when it exists, else the home folder. Both end in "/". Any other name
// (compared without regard to case) gives an empty text.
[[nodiscard]] QString ShellFolder(const QString& valueName);

// Verbs by index.
inline constexpr int kVerbOpen = 0;
inline constexpr int kVerbPrint = 1;
inline constexpr int kVerbExplore = 2;

// Opens the file with the desktop's application for it (verb 0), or shows its
// folder (verb 2, a file's own folder). With parameters, an executable file is
// started with them instead. The desktop has no print verb: verb 1 fails.
// Raises EError when the file can't be handed over.
void ShellRun(const QString& file, const QString& parameters, int verb);
// ShellRun giving false instead of raising.
bool tryShellRun(const QString& file, const QString& parameters, int verb);
// Opens the address in the user's web browser; a failure shows "Error
// encountered launching your web browser" (warning) and gives false.
bool OpenInBrowser(const QString& address);

// --- file operations ------------------------------------------------------------

enum class OverwriteAnswer { Overwrite, Skip, OverwriteAll, Cancel };

// The questions and error messages of the file operations; the file windows
// give their own, tests a scripted one.
class FileOperationPrompts {
public:
    virtual ~FileOperationPrompts() = default;
    // The target exists and would be replaced by the source.
    virtual OverwriteAnswer askOverwrite(const QString& source, const QString& target) = 0;
    // Whether the files may be deleted.
    virtual bool confirmDelete(const QStringList& paths, bool toTrash) = 0;
    // One failure of the operation.
    virtual void showError(const QString& message) = 0;
};

// Asks through qMessageDlg: OK overwrites and Cancel stops the operation;
// errors are warnings.
class MessageFileOperationPrompts : public FileOperationPrompts {
public:
    OverwriteAnswer askOverwrite(const QString& source, const QString& target) override;
    bool confirmDelete(const QStringList& paths, bool toTrash) override;
    void showError(const QString& message) override;
};

// Results of ShellCopyOrMove.
inline constexpr int kShellDone = 1;
inline constexpr int kShellCancelled = 3;
inline constexpr int kShellFailed = 7;

// Splits a ";"-separated path list; empty entries are dropped.
[[nodiscard]] QStringList SplitPathList(const QString& paths);

// Copies or moves files (folders are refused). Targets: one folder (existing,
// ending in "/", or given for several sources; created when missing) that
// receives every source under its own name, or one target path per source.
// Existing targets are asked about (prompts, or qMessageDlg without them).
// The first failure is shown and ends the operation. A move never loses a
// file: the source goes only once its copy is complete. Progress goes to the
// observer, which may also cancel (between files and inside a copy).
// Result: kShellDone, kShellCancelled or kShellFailed.
int ShellCopyOrMove(const QString& sources, const QString& targets, bool move,
                    FileOperationPrompts* prompts = nullptr, ProgressObserver* progress = nullptr);
int ShellCopyOrMove(const QStringList& sources, const QStringList& targets, bool move,
                    FileOperationPrompts* prompts = nullptr, ProgressObserver* progress = nullptr);

// The full form: renameOnCollision gives a file whose target exists (or that
// would land on itself) a free name of the form "name (2).ext" instead of
// asking; confirm asks before replacing; showErrors shows failures.
struct FileOperationOptions {
    bool move = false;
    bool renameOnCollision = false;
    bool confirm = true;
    bool showErrors = true;
};
int ShellCopyOrMove(const QStringList& sources, const QStringList& targets,
                    const FileOperationOptions& options, FileOperationPrompts* prompts,
                    ProgressObserver* progress);

// True when everything was done (not cancelled, nothing failed).
bool ShellCopy(const QString& sources, const QString& targets, bool renameOnCollision,
               bool noConfirm, FileOperationPrompts* prompts = nullptr,
               ProgressObserver* progress = nullptr);
bool ShellMove(const QString& sources, const QString& targets, bool renameOnCollision, bool confirm,
               FileOperationPrompts* prompts = nullptr, ProgressObserver* progress = nullptr);

// Deletes files (folders are refused): to the trash when toRecycleBin, else
// for good. confirm asks first; silent reports no progress; showErrors shows
// the first failure. Deleting stops at the first failure. A file is never
// deleted for good when the trash was asked for. True when every file went.
bool ShellDelete(const QString& paths, bool toRecycleBin, bool confirm, bool silent,
                 bool showErrors, FileOperationPrompts* prompts = nullptr,
                 ProgressObserver* progress = nullptr);
bool ShellDelete(const QStringList& paths, bool toRecycleBin, bool confirm, bool silent,
                 bool showErrors, FileOperationPrompts* prompts = nullptr,
                 ProgressObserver* progress = nullptr);

// Moves one file to the freedesktop trash. The data folder is created first,
// and the place the file went is checked to lie in a trash; a file that went
// anywhere else is put back. Never deletes. *pathInTrash gets the new path.
bool moveFileToTrash(const QString& path, QString* pathInTrash = nullptr);
// The path lies in a trash's "files" folder: <dataHome>/Trash/files, or on
// another mount <top>/.Trash-<uid>/files or <top>/.Trash/<uid>/files.
[[nodiscard]] bool isTrashLocation(const QString& pathInTrash, const QString& dataHome, uint uid);

} // namespace palvo
