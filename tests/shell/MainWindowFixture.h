// Starting the real main window in a test's temporary home.
#pragma once

#include "foundation/SettingsFile.h"
#include "shell/ui/MainUnit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>

namespace palvo::test {

// Options for a first start: no settings and no lists yet, the given program
// folder (without an upload library) and start folder, a 1280 × 1024
// screen, full colour and no splash wait.
inline StartOptions FirstStartOptions(const QString& programFolder, const QString& picturesFolder) {
    QFile::remove(SettingsFile::pathFor(QStringLiteral("Palvo Sender")));
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir(dataHome + QStringLiteral("/Palvo")).removeRecursively();
    StartOptions options;
    options.folders = InitialCode(programFolder, dataHome, QDir::tempPath(), picturesFolder);
    options.splashMinimumMs = 0;
    options.screenSize = QSize(1280, 1024);
    options.colourDepth = 24;
    options.uploadLibraryPath = programFolder + QStringLiteral("/libQUpload.so"); // not there
    return options;
}

// Lets posted events and the idle handler run for a while.
inline void Settle(int ms = 200) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace palvo::test
