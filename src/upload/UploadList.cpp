#include "upload/UploadList.h"

#include "foundation/Messages.h"
#include "foundation/QFileRoutine.h"
#include "foundation/TextListFile.h"

#include <QDir>
#include <QFile>

namespace palvo {

QString GetWorkDirectory(const Settings& settings, const ProgramFolders& folders) {
    const QString configured = settings.WorkFolder.trimmed();
    const QString folder = configured.isEmpty() ? GetFolder(folders, 7, settings.ApplicationName)
                                                : IncludeTrailingSeparator(configured);
    if (!folder.isEmpty())
        (void)QDir().mkpath(folder);
    return folder;
}

QString entryPath(const QString& entry) {
    return entry.startsWith(QLatin1Char(';')) ? entry.mid(1) : entry;
}

UploadList::UploadList(const Settings& settings, const ProgramFolders& folders)
    : settings_(settings), folders_(folders) {}

int UploadList::FindInUploadList(const QString& path) const {
    const QString wanted = entryPath(path);
    for (int i = 0; i < count(); ++i) {
        if (entryPath(entries_.at(i)) == wanted)
            return i;
    }
    return -1;
}

void UploadList::AddToUploadList(const QString& path) {
    if (path.isEmpty())
        return;
    if (FindInUploadList(path) < 0)
        entries_.append(path);
    SaveUploadList();
}

bool UploadList::RemoveFromUploadList(const QString& path) {
    const bool inWork = InWorkFolder(path);
    if (inWork && settings_.ConfirmDeleteUploadPic &&
        qMessageDlg(QStringLiteral("Are you sure you want to delete this modified file?"),
                    MsgType::Confirmation, mbOKCancel) != mrOK)
        return false;
    const int index = FindInUploadList(path);
    if (index >= 0)
        entries_.removeAt(index);
    if (inWork)
        (void)QFile::remove(entryPath(path));
    SaveUploadList();
    return true;
}

void UploadList::UpdateUploadFile(const QString& oldPath, const QString& newPath) {
    const int index = FindInUploadList(oldPath);
    if (index < 0) {
        SaveUploadList();
    } else if (!newPath.isEmpty()) {
        entries_[index] = newPath;
        SaveUploadList();
    } else {
        // Saves on every path, also when the question is answered Cancel.
        if (!RemoveFromUploadList(oldPath))
            SaveUploadList();
    }
}

bool UploadList::InWorkFolder(const QString& path) const {
    const QString folder = folderOf(entryPath(path));
    return !folder.isEmpty() && folder == GetWorkDirectory();
}

QString UploadList::GetWorkDirectory() const {
    return palvo::GetWorkDirectory(settings_, folders_);
}

QString UploadList::listFilePath() const {
    return folders_.dataFolder + QLatin1String(kUploadListFileName);
}

void UploadList::SaveUploadList() const {
    if (!folders_.dataFolder.isEmpty())
        (void)WriteTextList(listFilePath(), entries_);
}

void UploadList::LoadUploadList() {
    QStringList lines;
    if (!folders_.dataFolder.isEmpty() && QFile::exists(listFilePath()) &&
        ReadTextList(listFilePath(), &lines))
        entries_ = lines;
}

} // namespace palvo
