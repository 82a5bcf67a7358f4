#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace palvo::test {

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every entry of a folder, hidden ones too, sorted.
inline QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Makes the folder refuse to lose or gain entries, also for the administrator
// (immutable flag), else by taking away write permission. Undone on
// destruction.
class LockedFolder {
public:
    explicit LockedFolder(QString folder) : folder_(std::move(folder)) {
        if (::geteuid() == 0)
            immutable_ = setImmutable(true);
        else
            QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~LockedFolder() {
        if (immutable_)
            setImmutable(false);
        else
            QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
    }
    // The lock holds: a new entry can't be made.
    bool active() const {
        QFile probe(folder_ + QStringLiteral("/.probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            return false;
        }
        return true;
    }

private:
    bool setImmutable(bool on) {
        const int fd = ::open(QFile::encodeName(folder_).constData(), O_RDONLY | O_DIRECTORY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }

    QString folder_;
    bool immutable_ = false;
};

} // namespace palvo::test
