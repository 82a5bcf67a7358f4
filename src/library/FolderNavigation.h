#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace palvo {

// The extensions of the files a folder listing shows.
inline constexpr char PictureExtensions[] = "*.JPE;*.JPG;*.JPEG;*.GIF;*.BMP;*.PNG;*.TIF;*.TIFF;";
// Most entries of the recent-folders list.
inline constexpr int kMaxRecentFolders = 10;
inline constexpr char kRecentFoldersFile[] = "recent.dat";

// The picture-extension test of a single file name.
[[nodiscard]] bool checksupportedformat(const QString& fileName);

// Every directory entry of the folder (hidden ones and sub-folders too) whose
// name passes the picture-extension test, as ";" + folder + name, in the
// order of a case-insensitive, locale-aware comparison of the names. False
// when the folder can't be read; what was found before stays in entries.
bool listPictureFolder(const QString& folder, QStringList* entries);

// Most recent first, at most 10, no two equal; the path gets a trailing "/".
void AddToRecentDirectories(QStringList& recent, const QString& path);
void RemoveFromRecentDirectories(QStringList& recent, const QString& path);
// "recent.dat" in the data folder; errors give an empty list or are ignored.
[[nodiscard]] QStringList readRecentFolders(const QString& dataFolder);
bool writeRecentFolders(const QString& dataFolder, const QStringList& recent);

// What a folder listing asks of the windows around it.
struct FolderHooks {
    // The grid rebuilds itself from the folder list (Reload).
    std::function<void(bool resetPosition, bool simulateClick, bool untickAll)> reloadGrid;
    // The grid repaints and, when visible, takes the focus.
    std::function<void()> repaintGrid;
    std::function<void()> focusGrid;
    // Counts, caption and buttons (doselectstatus).
    std::function<void()> selectionStatus;
    // The folder's last component for the folder label (still to be
    // shortened to the label's width).
    std::function<void(const QString& name)> showFolderName;
    std::function<void(bool busy)> busyCursor;
};

// The current folder, its listing and the recent folders: the state and
// rules behind the main window's folder commands.
class FolderNavigation {
public:
    FolderHooks hooks;
    QString directoryText;    // the current folder as entered (edtdirectory)
    QStringList folderList;   // the listing (lbxFolders)
    QString LastListedFolder; // the folder of the previous listing
    QStringList RecentFolders;

    // The current folder trimmed, with a trailing "/"; empty for none.
    [[nodiscard]] QString GetCurrentFolder() const;
    // Lists the current folder again and refreshes the grid; false when
    // reading the folder failed.
    bool fbxsourceupdate();
    // The grid refresh that ends every listing: from the top for another
    // folder, keeping the position for the same one.
    void fbxsourceChange();
    // Makes path the current folder and lists it (see the .cpp for the rules).
    bool Updatecurrentdirectory(const QString& path, bool acceptSame, bool reportMissing,
                                bool useSystemSpelling);
    void AddToRecentDirectories(const QString& path) {
        palvo::AddToRecentDirectories(RecentFolders, path);
    }
    void RemoveFromRecentDirectories(const QString& path) {
        palvo::RemoveFromRecentDirectories(RecentFolders, path);
    }

private:
    void call(const std::function<void()>& hook) const {
        if (hook)
            hook();
    }
};

} // namespace palvo
