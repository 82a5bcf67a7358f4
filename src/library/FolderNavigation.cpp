#include "library/FolderNavigation.h"

#include "foundation/Messages.h"
#include "foundation/QFileRoutine.h"
#include "foundation/TextListFile.h"
#include "library/ThumbnailCache.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace palvo {

bool checksupportedformat(const QString& fileName) {
    return ExtensionInFilter(fileName, QLatin1String(PictureExtensions));
}

bool listPictureFolder(const QString& folder, QStringList* entries) {
    entries->clear();
    const QString prefix = IncludeTrailingSeparator(folder);
    const QFileInfo info(prefix);
    if (prefix.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable())
        return false;
    const QDir dir(prefix);
    const QStringList names = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    QStringList found;
    for (const QString& name : names) {
        if (checksupportedformat(name))
            found << name;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(found.begin(), found.end(), [&](const QString& a, const QString& b) {
        const int order = collator.compare(a, b);
        // Names that differ only in case still get one fixed order.
        return order != 0 ? order < 0 : a < b;
    });
    for (const QString& name : found)
        entries->push_back(QLatin1Char(';') + prefix + name);
    return true;
}

void AddToRecentDirectories(QStringList& recent, const QString& path) {
    const QString folder = IncludeTrailingSeparator(path);
    if (folder.isEmpty())
        return;
    recent.removeIf([&](const QString& entry) { return samePath(entry, folder); });
    recent.insert(0, folder);
    while (recent.size() > kMaxRecentFolders)
        recent.removeLast();
}

void RemoveFromRecentDirectories(QStringList& recent, const QString& path) {
    const QString folder = IncludeTrailingSeparator(path);
    if (folder.isEmpty())
        return;
    for (qsizetype i = 0; i < recent.size(); ++i) {
        if (samePath(recent[i], folder)) {
            recent.removeAt(i);
            return;
        }
    }
}

QStringList readRecentFolders(const QString& dataFolder) {
    QStringList recent;
    if (!ReadTextList(dataFolder + QLatin1String(kRecentFoldersFile), &recent, 1 << 20))
        return {};
    while (recent.size() > kMaxRecentFolders)
        recent.removeLast();
    return recent;
}

bool writeRecentFolders(const QString& dataFolder, const QStringList& recent) {
    return WriteTextList(dataFolder + QLatin1String(kRecentFoldersFile), recent);
}

// ------------------------------------------------------------------ FolderNavigation

QString FolderNavigation::GetCurrentFolder() const {
    return IncludeTrailingSeparator(directoryText);
}

bool FolderNavigation::fbxsourceupdate() {
    if (hooks.busyCursor)
        hooks.busyCursor(true);
    bool result = true;
    try {
        folderList.clear();
        directoryText = IncludeTrailingSeparator(directoryText);
        if (hooks.showFolderName)
            hooks.showFolderName(LastPathComponent(directoryText));
        if (!directoryText.isEmpty())
            result = listPictureFolder(directoryText, &folderList);
    } catch (...) {
        result = false;
    }
    call(hooks.selectionStatus);
    if (hooks.busyCursor)
        hooks.busyCursor(false);
    fbxsourceChange();
    return result;
}

void FolderNavigation::fbxsourceChange() {
    const QString folder = GetCurrentFolder();
    if (hooks.reloadGrid) {
        if (!samePath(folder, LastListedFolder))
            hooks.reloadGrid(true, true, true);
        else
            hooks.reloadGrid(false, false, false);
    }
    call(hooks.focusGrid);
    LastListedFolder = folder;
    call(hooks.repaintGrid);
}

// Same folder: true at once with acceptSame, else listed again. Another
// folder that exists becomes current and is listed; a failed listing puts the
// old folder back. A missing folder is reported when asked, leaves the
// recent list and changes nothing else.
bool FolderNavigation::Updatecurrentdirectory(const QString& path, bool acceptSame,
                                              bool reportMissing, bool useSystemSpelling) {
    if (samePath(IncludeTrailingSeparator(directoryText), IncludeTrailingSeparator(path))) {
        if (acceptSame)
            return true;
        fbxsourceupdate();
        return true;
    }
    const QString oldFolder = directoryText;
    if (!FolderExistsQuiet(path)) {
        if (reportMissing)
            qMessageDlg(QStringLiteral("The folder, %1, could not be found.").arg(path),
                        MsgType::Information, mbOK);
        RemoveFromRecentDirectories(path);
        return false;
    }
    bool ok = false;
    try {
        directoryText = path;
        ok = QDir::setCurrent(path);
        if (ok && useSystemSpelling)
            directoryText = QDir::currentPath();
        ok = ok && fbxsourceupdate();
    } catch (...) {
        ok = false;
    }
    if (!ok) {
        directoryText = oldFolder;
        if (!oldFolder.isEmpty())
            (void)QDir::setCurrent(oldFolder);
        fbxsourceupdate();
        return false;
    }
    if (!folderList.isEmpty())
        AddToRecentDirectories(path);
    return true;
}

} // namespace palvo
