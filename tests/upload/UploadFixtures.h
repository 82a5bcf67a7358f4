// Folders, settings and files for the upload tests.
#pragma once

#include "foundation/ProgramFolders.h"
#include "foundation/SettingsStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
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

} // namespace palvo::test
