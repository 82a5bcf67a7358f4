#include "foundation/ProgramFolders.h"

#include "foundation/Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace palvo {

namespace {
QString WithSlash(QString path) {
    path = path.trimmed();
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\')))
        path += QLatin1Char('/');
    return path;
}
} // namespace

FolderSystem FolderSystem::real() {
    return {
        [](const QString& p) { return QFileInfo(p).isDir(); },
        [](const QString& p) { return QDir().mkpath(p); },
        [](const QString& p) { return QFileInfo(p).isWritable(); },
    };
}

QString FolderNameFor(const QString& applicationName) {
    QString name =
        applicationName.isEmpty() ? QString::fromLatin1(kDefaultProgramName) : applicationName;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(0), QLatin1Char('_'));
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("_");
    return name;
}

ProgramFolders InitialCode(const QString& programFolder, const QString& appData,
                           const QString& tempFolder, const QString& picturesFolder,
                           const FolderSystem& fs) {
    ProgramFolders f;
    f.FoldersResolved = true;
    f.programFolder = WithSlash(programFolder);
    f.appDataFolder = WithSlash(appData);
    f.tempFolder = WithSlash(tempFolder);
    f.picturesFolder = WithSlash(picturesFolder);

    QString candidate = f.appDataFolder.isEmpty()
                            ? f.programFolder
                            : f.appDataFolder + QStringLiteral("Palvo/") +
                                  QLatin1String(kDefaultProgramName) + QLatin1Char('/');
    if (!fs.isDir(candidate) && !fs.makePath(candidate))
        candidate = f.programFolder;
    if (!fs.isWritable(candidate)) {
        // The install folder stands in when the user's own folder is read-only.
        f.dataFolder = fs.isWritable(f.programFolder) ? f.programFolder : f.tempFolder;
        f.fallbackBase = f.tempFolder;
    } else {
        f.dataFolder = candidate;
        f.fallbackBase = candidate;
    }
    return f;
}

ProgramFolders ResolveProgramFolders() {
    QString appData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty() || !QFileInfo(pictures).isDir())
        pictures = QDir::homePath();
    return InitialCode(QCoreApplication::applicationDirPath(), appData, QDir::tempPath(), pictures);
}

QString GetFolder(const ProgramFolders& f, int kind, const QString& applicationName) {
    auto perUser = [&](const char* leaf) {
        if (f.appDataFolder.isEmpty())
            return f.fallbackBase + QLatin1String(leaf) + QLatin1Char('/');
        return f.appDataFolder + QStringLiteral("Palvo/") + FolderNameFor(applicationName) +
               QLatin1Char('/') + QLatin1String(leaf) + QLatin1Char('/');
    };
    switch (kind) {
    case -1:
        return WithSlash(QCoreApplication::applicationDirPath());
    case 0:
        return f.programFolder;
    case 3:
        return perUser("Cache");
    case 4:
    case 8:
        return f.dataFolder;
    case 5:
        return WithSlash(QDir::currentPath());
    case 7:
        return perUser("Work");
    case 9:
        return f.tempFolder;
    case 14:
        return QStringLiteral("/usr/lib/");
    case 17:
        return f.picturesFolder.isEmpty() ? QStringLiteral("/") : f.picturesFolder;
    case 20:
        return f.programFolder + QStringLiteral("Stationery/");
    case 21:
        return f.programFolder + QStringLiteral("Occasions/");
    case 22:
        return f.programFolder + QStringLiteral("Holidays/");
    default:
        return {};
    }
}

} // namespace palvo
