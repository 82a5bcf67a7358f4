#include "foundation/QFileRoutine.h"

#include "foundation/Messages.h"
#include "foundation/QRoutine.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvo {

namespace {

const QString kAskCreate =
    QStringLiteral("The folder, %s, does not exist.  Would you like to create it?");
const QString kCreateFailed =
    QStringLiteral("An error was encountered whilst trying to create the folder, %s.");
const QString kInvalidChars = QStringLiteral("\\/:*?\"<>|");
const QString kInvalidCharsMessage =
    QStringLiteral("A filename cannot contain any of the following characters:");

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

QByteArray nativePath(const QString& path) {
    return QFile::encodeName(path);
}

// rename(2): replaces an existing target atomically.
bool renameReplacing(const QString& from, const QString& to) {
    return ::rename(nativePath(from).constData(), nativePath(to).constData()) == 0;
}

// The name of a temporary file beside the target, made unique.
QString siblingTempName(const QString& target, const char* tag) {
    const QFileInfo info(target);
    return UniqueFileName(info.absolutePath() + QLatin1Char('/') + QLatin1Char('.') +
                              info.fileName() + QLatin1String(tag),
                          QStringLiteral("_"), 0);
}

// Copies the bytes of source into a new temporary file beside target and
// gives its name, or an empty text on failure or stop. The temporary file
// carries the source's permissions and modification time.
QString copyToSibling(const QString& source, const QString& target, bool verify,
                      const CopyContinue& keepGoing, bool* stopped) {
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return QString();
    const QFileInfo targetInfo(target);
    QTemporaryFile out(targetInfo.absolutePath() + QLatin1String("/.") + targetInfo.fileName() +
                       QLatin1String(".XXXXXX.part"));
    if (!out.open())
        return QString();
    constexpr qint64 kChunk = 1 << 20;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        if (keepGoing && !keepGoing()) {
            if (stopped)
                *stopped = true;
            return QString();
        }
        const qint64 n = in.read(buffer.data(), kChunk);
        if (n < 0)
            return QString();
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n)
            return QString();
    }
    if (!out.flush() || ::fsync(out.handle()) != 0)
        return QString();
    if (verify && out.size() != QFileInfo(source).size())
        return QString();
    struct stat st {};
    if (::fstat(in.handle(), &st) == 0)
        ::fchmod(out.handle(), st.st_mode & 07777);
    out.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    out.setAutoRemove(false);
    const QString name = out.fileName();
    out.close();
    return name;
}

bool copyChecked(const QString& source, const QString& target, bool verify,
                 const CopyContinue& keepGoing, bool* stopped) {
    if (isSameFile(source, target))
        return true;
    if (IsReadOnly(target) || QFileInfo(target).isDir())
        return false;
    const QString temp = copyToSibling(source, target, verify, keepGoing, stopped);
    if (temp.isEmpty())
        return false;
    if (!renameReplacing(temp, target)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

// Deletes the source, clearing its read-only mark for a second try; a file
// that stays keeps its permissions.
bool removeSource(const QString& source) {
    if (QFile::remove(source))
        return true;
    struct stat st {};
    const QByteArray native = nativePath(source);
    if (::stat(native.constData(), &st) != 0)
        return false;
    if (ClearReadOnly(source) && QFile::remove(source))
        return true;
    ::chmod(native.constData(), st.st_mode & 07777);
    return false;
}

bool moveChecked(const QString& source, const QString& target, bool verify,
                 const CopyContinue& keepGoing, bool* stopped) {
    if (isSameFile(source, target))
        return true;
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile() || IsReadOnly(target) || QFileInfo(target).isDir())
        return false;
    if (renameReplacing(source, target))
        return true;

    // Another file system (or a rename refused): copy beside the target, put
    // any old target aside, and only keep the result once the source is gone.
    const QString temp = copyToSibling(source, target, verify, keepGoing, stopped);
    if (temp.isEmpty())
        return false;
    QString backup;
    if (pathTaken(target)) {
        backup = siblingTempName(target, ".old");
        if (!renameReplacing(target, backup)) {
            QFile::remove(temp);
            return false;
        }
    }
    const auto restore = [&] {
        if (!backup.isEmpty())
            renameReplacing(backup, target);
    };
    if (!renameReplacing(temp, target)) {
        QFile::remove(temp);
        restore();
        return false;
    }
    if (!removeSource(source)) {
        QFile::remove(target);
        restore();
        return false;
    }
    if (!backup.isEmpty())
        QFile::remove(backup);
    return true;
}

QDateTime earlier(const QDateTime& a, const QDateTime& b) {
    if (!a.isValid())
        return b;
    if (!b.isValid())
        return a;
    return a < b ? a : b;
}

} // namespace

// --- path texts -------------------------------------------------------------

QString IncludeTrailingSeparator(const QString& path) {
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty() || isSeparator(trimmed.back()))
        return trimmed;
    return trimmed + QLatin1Char('/');
}

QString ExcludeTrailingSeparator(const QString& path) {
    QString trimmed = path.trimmed();
    if (!trimmed.isEmpty() && isSeparator(trimmed.back()))
        trimmed.chop(1);
    return trimmed;
}

QString ProgramFolder() {
    return IncludeTrailingSeparator(QCoreApplication::applicationDirPath());
}

QString TempFolder() {
    return IncludeTrailingSeparator(QDir::tempPath());
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString folderOf(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString extensionOf(const QString& path) {
    const QString name = fileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString NameWithoutExtension(const QString& path) {
    const QString name = fileNameOf(path);
    return name.left(name.size() - extensionOf(name).size());
}

QString LastPathComponent(const QString& path) {
    const QString last = fileNameOf(ExcludeTrailingSeparator(path));
    return last.isEmpty() ? path : last;
}

bool ExtensionInFilter(const QString& path, const QString& filter) {
    if (filter == QLatin1String("*.*") || filter == QLatin1String("*.*;"))
        return true;
    QString extension = extensionOf(path).toUpper();
    if (extension.isEmpty() || extension == QLatin1String("."))
        extension = QStringLiteral(".NOTHING");
    return (filter.toUpper() + QLatin1Char(';')).contains(extension + QLatin1Char(';'));
}

bool HasInvalidFileNameChar(const QString& name, bool showMessage) {
    const bool invalid =
        std::any_of(name.begin(), name.end(), [](QChar c) { return kInvalidChars.contains(c); });
    if (invalid && showMessage) {
        QStringList characters;
        for (QChar c : kInvalidChars)
            characters << QString(c);
        qMessageDlg(kInvalidCharsMessage + QLatin1String("\r\n") +
                        characters.join(QLatin1Char(' ')),
                    MsgType::Information, mbOK);
    }
    return invalid;
}

// --- existence and attributes -----------------------------------------------

bool FolderExistsQuiet(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FileExistsQuiet(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool IsReadOnly(const QString& path) {
    if (path.isEmpty())
        return false;
    struct stat st {};
    const QByteArray native = nativePath(path);
    if (::stat(native.constData(), &st) != 0)
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return ::access(native.constData(), W_OK) != 0;
}

bool ClearReadOnly(const QString& path) {
    // The mode bits themselves: Qt's permission flags mix in what the caller
    // may do, which differs for the administrator.
    struct stat st {};
    const QByteArray native = nativePath(path);
    return !path.isEmpty() && ::stat(native.constData(), &st) == 0 &&
           ::chmod(native.constData(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

// --- folders ------------------------------------------------------------------

bool ForceFolder(const QString& path, bool ask, bool report) {
    if (path.size() <= 3)
        return false;
    if (FolderExistsQuiet(path))
        return true;
    if (ask &&
        qMessageDlg(LoadStrFromRes(kAskCreate, path), MsgType::Information, mbOKCancel) != mrOK)
        return false;
    if (QDir().mkpath(path) && FolderExistsQuiet(path))
        return true;
    if (report)
        qMessageDlg(LoadStrFromRes(kCreateFailed, path), MsgType::Warning, mbOK);
    return false;
}

bool EnsureFolder(const QString& path, bool report) {
    return FolderExistsQuiet(path) || ForceFolder(path, false, report);
}

bool DeleteFiles(const QString& folder, const QString& mask) {
    if (folder.isEmpty() || mask.isEmpty())
        throw EError(QStringLiteral("No values specified"));
    const QFileInfo folderInfo(folder);
    if (!folderInfo.exists())
        return true;
    if (!folderInfo.isDir() || !folderInfo.isReadable())
        return false;
    // Names match the mask with the file system's own letter case.
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QStringList{mask},
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::CaseSensitive);
    for (const QFileInfo& entry : entries) {
        if (!entry.isDir())
            QFile::remove(entry.filePath());
    }
    return true;
}

// --- copying and moving -----------------------------------------------------

bool CopyFileChecked(const QString& source, const QString& target, bool verify) {
    return copyChecked(source, target, verify, CopyContinue(), nullptr);
}

bool MoveFileByCopy(const QString& source, const QString& target, bool verify) {
    return moveChecked(source, target, verify, CopyContinue(), nullptr);
}

bool copyFileStoppable(const QString& source, const QString& target, bool verify,
                       const CopyContinue& keepGoing, bool* stopped) {
    if (stopped)
        *stopped = false;
    return copyChecked(source, target, verify, keepGoing, stopped);
}

bool moveFileStoppable(const QString& source, const QString& target, bool verify,
                       const CopyContinue& keepGoing, bool* stopped) {
    if (stopped)
        *stopped = false;
    return moveChecked(source, target, verify, keepGoing, stopped);
}

QString TempCopyName(const QString& path) {
    return UniqueFileName(TempFolder() + fileNameOf(path), QStringLiteral("_"), 0);
}

bool isSameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

bool pathTaken(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(nativePath(path).constData(), &st) == 0;
}

QString UniqueFileName(const QString& path, const QString& separator, int digits) {
    return UniqueFileName(path, separator, digits, pathTaken);
}

QString UniqueFileName(const QString& path, const QString& separator, int digits,
                       const std::function<bool(const QString&)>& taken) {
    constexpr int kLastCandidate = 20'000'000;
    const QString sep = separator.isEmpty() ? QStringLiteral("_") : separator;
    const bool bracketed = sep == QLatin1String("(");
    const QString prefix =
        folderOf(path) + NameWithoutExtension(path) + (bracketed ? QStringLiteral(" (") : sep);
    const QString suffix = (bracketed ? QStringLiteral(")") : QString()) + extensionOf(path);
    const int width = std::clamp(digits, 0, 20);
    if (width == 0 && !taken(path))
        return path;
    QString candidate = prefix;
    candidate.reserve(prefix.size() + width + 12 + suffix.size());
    for (int i = width == 0 ? 2 : 1; i <= kLastCandidate; ++i) {
        char number[16];
        const char* end = std::to_chars(number, number + sizeof number, i).ptr;
        candidate.truncate(prefix.size());
        for (auto n = end - number; n < width; ++n)
            candidate.append(QLatin1Char('0'));
        candidate.append(QLatin1StringView(number, end - number));
        candidate.append(suffix);
        if (!taken(candidate))
            return candidate;
    }
    return candidate;
}

bool AppendLineToFile(const QString& path, const QString& line, bool rewrite, int sizeLimitMB,
                      const QString& archiveName) {
    const int limit = std::min(sizeLimitMB, 10);
    if (limit > 0 && FileSize64(path) > std::int64_t(limit) * 1048576) {
        QString archive = archiveName;
        if (archive.isEmpty())
            archive = folderOf(path) + NameWithoutExtension(path) +
                      QDate::currentDate().toString(QStringLiteral("-yyyy-MM-dd")) +
                      extensionOf(path);
        QFile::rename(path, UniqueFileName(archive, QStringLiteral("_"), 0));
    }
    QFile file(path);
    const QIODevice::OpenMode mode = (rewrite || !FileExistsQuiet(path))
                                         ? QIODevice::WriteOnly | QIODevice::Truncate
                                         : QIODevice::WriteOnly | QIODevice::Append;
    if (!file.open(mode))
        return false;
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (file.write(bytes) != bytes.size())
        return false;
    file.close();
    return file.error() == QFileDevice::NoError;
}

// --- sizes and times ----------------------------------------------------------

std::int64_t FileSize64(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() ? info.size() : 0;
}

QDateTime dosDateTime(const QDateTime& time) {
    if (!time.isValid())
        return QDateTime();
    const QDateTime local = time.toLocalTime();
    const QDate date = local.date();
    if (date.year() < 1980 || date.year() > 2107)
        return QDateTime();
    const QTime t = local.time();
    return QDateTime(date, QTime(t.hour(), t.minute(), t.second() & ~1));
}

FileTimes FileDates(const QString& path) {
    FileTimes times;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return times;
    times.found = true;
    times.modified = dosDateTime(info.lastModified());
    times.created = dosDateTime(info.birthTime());
    if (!times.created.isValid())
        times.created = times.modified;
    return times;
}

QDateTime FileDate(const QString& path, bool creation) {
    const FileTimes times = FileDates(path);
    return creation ? times.created : times.modified;
}

bool SetFileDateTime(const QString& path, const QDateTime& when) {
    if (!when.isValid())
        return true;
    const qint64 ms = when.toMSecsSinceEpoch();
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    times[1].tv_nsec = static_cast<long>((ms - std::int64_t(times[1].tv_sec) * 1000) * 1000000);
    return !path.isEmpty() && ::utimensat(AT_FDCWD, nativePath(path).constData(), times, 0) == 0;
}

QDateTime FolderCreationTime(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return QDateTime();
    const QDateTime birth = info.birthTime();
    if (birth.isValid())
        return birth.toLocalTime();
    return earlier(info.metadataChangeTime(), info.lastModified()).toLocalTime();
}

// --- drives ---------------------------------------------------------------------

std::int64_t DriveFreeSpace(const QString& path) {
    if (path.trimmed().isEmpty())
        return -1;
    QString existing = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            return -1;
        existing = parent;
    }
    const QStorageInfo storage(existing);
    if (!storage.isValid() || !storage.isReady())
        return -1;
    return storage.bytesAvailable();
}

SystemMountInfo::SystemMountInfo(QString sysRoot) : sysRoot_(std::move(sysRoot)) {}

std::optional<MountEntry> SystemMountInfo::mountOf(const QString& path) const {
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const QStorageInfo storage(path);
    if (!storage.isValid())
        return std::nullopt;
    return MountEntry{storage.rootPath(), storage.fileSystemType(), storage.device()};
}

bool SystemMountInfo::isRemovableDevice(const QByteArray& device) const {
    if (!device.startsWith("/dev/"))
        return false;
    // /dev/disk/by-uuid/… and /dev/mapper/… are links to the kernel's name.
    QString resolved = QFileInfo(QFile::decodeName(device)).canonicalFilePath();
    if (resolved.isEmpty())
        resolved = QFile::decodeName(device);
    const QString name = fileNameOf(resolved);
    if (name.isEmpty() || name.contains(QLatin1String("..")))
        return false;
    const QString block = sysRoot_ + QLatin1String("/block/");
    QString disk;
    if (QFileInfo(block + name).isDir()) {
        disk = name;
    } else {
        // A partition: /sys/block/<disk>/<partition>.
        const QStringList disks = QDir(block).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString& candidate : disks) {
            if (QFileInfo(block + candidate + QLatin1Char('/') + name).isDir()) {
                disk = candidate;
                break;
            }
        }
    }
    if (disk.isEmpty())
        return false;
    QFile flag(block + disk + QLatin1String("/removable"));
    if (!flag.open(QIODevice::ReadOnly))
        return false;
    return flag.read(16).trimmed() == "1";
}

int driveTypeOfMount(const MountEntry& mount, const MountInfo& mounts) {
    const QByteArray type = mount.fileSystemType.toLower();
    static const QByteArrayList remote = {
        "nfs",        "nfs4",        "cifs",        "smb3",  "smbfs",     "sshfs",
        "fuse.sshfs", "9p",          "afs",         "ceph",  "glusterfs", "fuse.glusterfs",
        "davfs",      "fuse.davfs2", "fuse.rclone", "ncpfs", "coda"};
    if (remote.contains(type))
        return kDriveRemote;
    if (type == "iso9660" || type == "udf")
        return kDriveOptical;
    if (type == "tmpfs" || type == "ramfs")
        return kDriveRamDisk;
    if (mounts.isRemovableDevice(mount.device))
        return kDriveRemovable;
    return kDriveFixed;
}

int DriveTypeOf(const QString& path, const MountInfo& mounts) {
    if (path.isEmpty())
        return kDriveUnknown;
    const std::optional<MountEntry> mount = mounts.mountOf(path);
    if (!mount)
        return kDriveRemovable;
    return driveTypeOfMount(*mount, mounts);
}

int DriveTypeOf(const QString& path) {
    return DriveTypeOf(path, SystemMountInfo());
}

} // namespace palvo
