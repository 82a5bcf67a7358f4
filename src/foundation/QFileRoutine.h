#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace palvo {

// Path, file and folder routines. They return a flag or a default and never
// raise, except DeleteFiles (EError, see below).
//
// Date-times: a file time is a local QDateTime; an invalid QDateTime stands
// for "no time" (the 0 of the day-count form, see DelphiDateTime in QRoutine.h).

// --- path texts -------------------------------------------------------------
// "/" is the separator added; "\" and "/" both count when the last character
// is tested. Names are split at "/" only ("\" is an ordinary character in a
// Linux file name).

// Trimmed; empty stays empty; "/" appended unless it already ends in "/" or "\".
[[nodiscard]] QString IncludeTrailingSeparator(const QString& path);
// Trimmed; one last "/" or "\" removed.
[[nodiscard]] QString ExcludeTrailingSeparator(const QString& path);
// The executable's folder, ending in "/".
[[nodiscard]] QString ProgramFolder();
// The system's temporary folder (QDir::tempPath), ending in "/".
[[nodiscard]] QString TempFolder();
// The part after the last "/" ("/a/b.jpg" gives "b.jpg").
[[nodiscard]] QString fileNameOf(const QString& path);
// Everything up to and including the last "/"; empty without one.
[[nodiscard]] QString folderOf(const QString& path);
// The extension of the file name, from its last "." on ("b.tar.gz" gives
// ".gz", "b" gives "").
[[nodiscard]] QString extensionOf(const QString& path);
// The file name without its extension.
[[nodiscard]] QString NameWithoutExtension(const QString& path);
// The last component after ExcludeTrailingSeparator; the root "/" gives the
// path itself.
[[nodiscard]] QString LastPathComponent(const QString& path);
// "*.*" and "*.*;" accept everything; otherwise the upper-cased extension + ";"
// must occur in the upper-cased filter + ";". No extension, or a lone ".",
// counts as ".NOTHING".
[[nodiscard]] bool ExtensionInFilter(const QString& path, const QString& filter);
// True when the name holds one of \ / : * ? " < > |. With showMessage, an
// information box lists the nine characters first.
bool HasInvalidFileNameChar(const QString& name, bool showMessage);

// --- existence and attributes -----------------------------------------------

[[nodiscard]] bool FolderExistsQuiet(const QString& path);
// A file (not a folder) exists at the path.
[[nodiscard]] bool FileExistsQuiet(const QString& path);
// The file is marked read-only: we may not write it, or nobody has write
// permission (the second clause keeps the mark meaningful for the
// administrator). A missing file gives false.
[[nodiscard]] bool IsReadOnly(const QString& path);
// Adds the owner's write permission; false on failure.
bool ClearReadOnly(const QString& path);

// --- folders ------------------------------------------------------------------

// Creates the folder with all missing parents. A path of three characters or
// fewer gives false at once (a root is never created). An existing folder
// gives true without asking. With ask the user may decline; with report a
// failure is shown.
bool ForceFolder(const QString& path, bool ask, bool report);
// True when the folder exists; else ForceFolder without asking.
bool EnsureFolder(const QString& path, bool report);
// Deletes every non-folder entry of the folder matching the wildcard mask
// ("~x*"), hidden ones too; entries that can't be deleted are skipped. Raises
// EError("No values specified") for an empty folder or mask. False only when
// the folder exists but can't be listed.
bool DeleteFiles(const QString& folder, const QString& mask);

// --- copying and moving -----------------------------------------------------

// Copies source to target, replacing it. The data goes into a temporary file
// beside the target that is renamed over it only when complete, so a failed
// copy never leaves a partial target. Permissions and the modification time
// travel with the data. A read-only target, a missing target folder or a
// folder at the target fail. With verify the sizes must also agree. Copying a
// file onto itself gives true and changes nothing.
bool CopyFileChecked(const QString& source, const QString& target, bool verify);
// Moves source to target, replacing it: a rename when both lie on the same
// file system, else a copy followed by deleting the source. If the source
// can't be deleted, the target is restored to what it was and the result is
// false. Nothing is lost on any failure.
bool MoveFileByCopy(const QString& source, const QString& target, bool verify);

// Called between the chunks of a copy; false stops the copy (the target stays
// as it was).
using CopyContinue = std::function<bool()>;
// The two routines above with a stop check; *stopped tells a stop from a
// failure. Used by the shell file operations.
bool copyFileStoppable(const QString& source, const QString& target, bool verify,
                       const CopyContinue& keepGoing, bool* stopped);
bool moveFileStoppable(const QString& source, const QString& target, bool verify,
                       const CopyContinue& keepGoing, bool* stopped);

// Temp folder + the path's file name, made unique by UniqueFileName with "_".
[[nodiscard]] QString TempCopyName(const QString& path);

// The first candidate that does not exist: for i = 1, 2, 3 …, candidate 1 with
// digits 0 is the path itself, otherwise folder + name + separator + i
// (zero-padded to digits) + extension; with the separator "(" the form is
// name + " (" + i + ")" + extension. An empty separator means "_". After
// candidate 20,000,000 the last candidate is returned.
[[nodiscard]] QString UniqueFileName(const QString& path, const QString& separator = QString(),
                                     int digits = 0);
// The same search with the test for a taken name given.
[[nodiscard]] QString UniqueFileName(const QString& path, const QString& separator, int digits,
                                     const std::function<bool(const QString&)>& taken);
// Both paths name one existing file (after resolving links and "." parts).
[[nodiscard]] bool isSameFile(const QString& a, const QString& b);
// A name is taken when anything (also a dangling link) exists there.
[[nodiscard]] bool pathTaken(const QString& path);

// Writes the line (UTF-8) and CR LF to the file: appended, or into a new empty
// file when rewrite is set or the file is missing. With a size limit above 0
// (MB, at most 10) a larger file is first moved aside to archiveName, or when
// that is empty to folder + name + "-yyyy-mm-dd" + extension, made unique with
// "_". False on any failure of the write.
bool AppendLineToFile(const QString& path, const QString& line, bool rewrite, int sizeLimitMB,
                      const QString& archiveName = QString());

// --- sizes and times ----------------------------------------------------------

// The file's size; 0 when there is no file.
[[nodiscard]] std::int64_t FileSize64(const QString& path);

struct FileTimes {
    bool found = false;
    QDateTime created;  // invalid for none
    QDateTime modified; // invalid for none
};

// A local time rounded down to the DOS date and time format (2-second steps,
// years 1980 to 2107); invalid when it does not fit.
[[nodiscard]] QDateTime dosDateTime(const QDateTime& time);
// Creation and last-write times through dosDateTime. The creation time is the
// birth time where the file system records it; a missing or unconvertible
// creation time takes the last-write time.
[[nodiscard]] FileTimes FileDates(const QString& path);
// FileDates' last-write (creation false) or creation time; invalid on failure.
[[nodiscard]] QDateTime FileDate(const QString& path, bool creation);
// Sets the last-write time; an invalid date-time does nothing and gives true.
bool SetFileDateTime(const QString& path, const QDateTime& when);
// The folder's birth time where the file system records it, else the earlier
// of its last status change and last modification; invalid on failure.
[[nodiscard]] QDateTime FolderCreationTime(const QString& folder);

// --- drives ---------------------------------------------------------------------

// Free bytes available to the user on the file system that holds the path (a
// path that does not exist yet is judged by its nearest existing folder); -1
// on failure.
[[nodiscard]] std::int64_t DriveFreeSpace(const QString& path);

inline constexpr int kDriveUnknown = 0;
inline constexpr int kDriveRemovable = 2;
inline constexpr int kDriveFixed = 3;
inline constexpr int kDriveRemote = 4;
inline constexpr int kDriveOptical = 5;
inline constexpr int kDriveRamDisk = 6;

struct MountEntry {
    QString rootPath;          // the mount point
    QByteArray fileSystemType; // "ext4", "vfat", "nfs4" …
    QByteArray device;         // "/dev/sdb1"
};

// Where DriveTypeOf learns about mounts and block devices; tests give a fake.
class MountInfo {
public:
    virtual ~MountInfo() = default;
    // The mount that holds the existing path; nothing when the path does not
    // exist or no mount is found.
    virtual std::optional<MountEntry> mountOf(const QString& path) const = 0;
    // The block device (such as "/dev/sdb1") sits on a disk that the kernel
    // marks removable.
    virtual bool isRemovableDevice(const QByteArray& device) const = 0;
};

// The running system: QStorageInfo for mounts, <sysRoot>/block/<disk>/removable
// for devices.
class SystemMountInfo : public MountInfo {
public:
    explicit SystemMountInfo(QString sysRoot = QStringLiteral("/sys"));
    std::optional<MountEntry> mountOf(const QString& path) const override;
    bool isRemovableDevice(const QByteArray& device) const override;

private:
    QString sysRoot_;
};

// 0 for an empty path; 2 removable (also when the path does not exist); 3
// fixed; 4 remote (nfs, cifs, smb, sshfs …); 5 optical (iso9660, udf); 6 RAM
// disk (tmpfs, ramfs). Judged by the mount that holds the path.
[[nodiscard]] int DriveTypeOf(const QString& path);
[[nodiscard]] int DriveTypeOf(const QString& path, const MountInfo& mounts);
// The code for a mount alone (no existence test).
[[nodiscard]] int driveTypeOfMount(const MountEntry& mount, const MountInfo& mounts);

} // namespace palvo
