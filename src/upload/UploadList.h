#pragma once

#include "foundation/ProgramFolders.h"
#include "foundation/SettingsStore.h"

#include <QString>
#include <QStringList>

namespace palvo {

// The name of the upload list's file in the data folder.
inline constexpr const char* kUploadListFileName = "upload.dat";

// The work folder: the WorkFolder setting when it is not empty, else the
// per-user "Work" folder; always with a trailing "/". It is created (with
// its parents) whenever it is asked for; a failure to create it is silent.
[[nodiscard]] QString GetWorkDirectory(const Settings& settings, const ProgramFolders& folders);

// An entry without the grid's ";" mark of an unticked picture.
[[nodiscard]] QString entryPath(const QString& entry);

// The pictures chosen for the next upload, in the order they were chosen,
// kept in "upload.dat". An entry may carry the ";" mark; ";" + path and the
// bare path name the same picture. Paths are compared exactly (two names
// that differ in case are two files here). The settings and folders are the
// main window's and must outlive the list.
class UploadList {
public:
    UploadList(const Settings& settings, const ProgramFolders& folders);

    [[nodiscard]] const QStringList& entries() const { return entries_; }
    [[nodiscard]] int count() const { return int(entries_.size()); }
    [[nodiscard]] bool isEmpty() const { return entries_.isEmpty(); }

    // Index of the entry that is the path or ";" + path, or -1.
    [[nodiscard]] int FindInUploadList(const QString& path) const;
    // Appends a path not yet listed and saves; an empty path is ignored.
    void AddToUploadList(const QString& path);
    // Takes the picture off the list and saves. A picture in the work folder
    // is an edited copy: with ConfirmDeleteUploadPic the user is asked first
    // (false when the answer is Cancel: nothing changes), then its file is
    // deleted, listed or not.
    bool RemoveFromUploadList(const QString& path);
    // Follows a rename or move (newPath) or a deletion (empty newPath) of a
    // file; the list is saved in every case.
    void UpdateUploadFile(const QString& oldPath, const QString& newPath);
    // The folder part of the path, with a trailing "/", is the work folder.
    [[nodiscard]] bool InWorkFolder(const QString& path) const;
    [[nodiscard]] QString GetWorkDirectory() const;

    // Empties the list in memory only (a successful upload, "Select None");
    // the file follows at the next save.
    void clear() { entries_.clear(); }

    // "upload.dat" in the data folder.
    [[nodiscard]] QString listFilePath() const;
    // Writes the list atomically; errors are ignored.
    void SaveUploadList() const;
    // Reads the list when the file exists; on any error the list in memory
    // stays as it was.
    void LoadUploadList();

private:
    const Settings& settings_;
    const ProgramFolders& folders_;
    QStringList entries_;
};

} // namespace palvo
