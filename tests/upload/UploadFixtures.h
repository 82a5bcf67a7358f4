// Folders, settings and files for the upload tests.
#pragma once

#include "foundation/ProgramFolders.h"
#include "foundation/SettingsStore.h"
#include "upload/UploadRun.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QTemporaryDir>

namespace palvo::test {

// A data folder and a per-user folder inside one scratch folder.
struct UploadFolders {
    QTemporaryDir dir;
    ProgramFolders folders;
    Settings settings;

    UploadFolders() {
        folders.FoldersResolved = true;
        folders.appDataFolder = dir.path() + "/appdata/";
        folders.dataFolder = dir.path() + "/appdata/Palvo/Palvo Sender/";
        folders.fallbackBase = folders.dataFolder;
        folders.tempFolder = QDir::tempPath() + "/";
        QDir().mkpath(folders.dataFolder);
    }
    [[nodiscard]] QString path(const QString& name) const { return dir.path() + "/" + name; }
};

inline bool putFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.left(path.lastIndexOf('/')));
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An upload run host without a window; counts how often the list was emptied.
class QuietUploadHost : public UploadRunHost {
public:
    int emptied = 0;
    bool settleCurrentPicture() override { return true; }
    QStringList currentFolderPictures() override { return {}; }
    void Keypreparation() override {}
    void endKeypreparation() override {}
    void setBusyCursor(bool) override {}
    void showProgress(int, int, const QString&, const QString&, bool) override {}
    void hideProgress() override {}
    void processEvents() override { QCoreApplication::processEvents(); }
    void* windowHandle() override { return nullptr; }
    void uploadListEmptied() override { ++emptied; }
};

// The pictures the reference service keeps for the account's only frame, in
// order, and that frame's folder.
inline QJsonArray FramePictures(const QString& serviceData, QString* frameDir) {
    const QStringList frames =
        QDir(serviceData + "/frames").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (frames.size() != 1)
        return {};
    *frameDir = serviceData + "/frames/" + frames.first();
    QFile f(*frameDir + "/frame.json");
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object()["pictures"].toArray();
}

} // namespace palvo::test
