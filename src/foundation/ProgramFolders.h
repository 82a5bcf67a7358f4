#pragma once

#include <QString>

#include <functional>

namespace palvo {

// The program's folders; every path ends with "/".
struct ProgramFolders {
    bool FoldersResolved = false;
    QString programFolder;
    QString appDataFolder; // the per-user data folder ($XDG_DATA_HOME/); empty when missing
    QString dataFolder;    // "recent.dat" and "upload.dat"
    QString fallbackBase;  // base of the cache and work folders without appDataFolder
    QString tempFolder;
    QString picturesFolder; // the user's pictures folder
};

// What folder resolution asks of the file system (tests replace it).
struct FolderSystem {
    std::function<bool(const QString&)> isDir;
    std::function<bool(const QString&)> makePath;
    std::function<bool(const QString&)> isWritable;
    static FolderSystem real();
};

// Resolves the data folder and the fallback base:
// appData/Palvo/Palvo Sender/, created when missing, else the program folder;
// a folder we may not write to gives the program folder when that is
// writable, else the temporary folder.
[[nodiscard]] ProgramFolders InitialCode(const QString& programFolder, const QString& appData,
                                         const QString& tempFolder, const QString& picturesFolder,
                                         const FolderSystem& fs = FolderSystem::real());

// The folders of this machine: the executable's folder, $XDG_DATA_HOME,
// QDir::tempPath() and the pictures folder.
[[nodiscard]] ProgramFolders ResolveProgramFolders();

// Special folders by number (empty for an unknown kind):
// -1 program folder computed afresh, 0 program folder, 3 thumbnail cache,
// 4 data folder, 5 working directory, 7 default work folder, 8 the system
// data folder (the data folder), 9 temporary folder, 14 system library folder,
// 17 pictures folder, 20 Stationery, 21 Occasions, 22 Holidays.
[[nodiscard]] QString GetFolder(const ProgramFolders& folders, int kind,
                                const QString& applicationName);

// A program name made safe as one path component.
[[nodiscard]] QString FolderNameFor(const QString& applicationName);

} // namespace palvo
