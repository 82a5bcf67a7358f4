// Starting the real main window in a test's temporary home.
#pragma once

#include "foundation/SettingsFile.h"
#include "shell/ui/MainUnit.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
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

// Writes count plain 320 × 240 JPEGs pic1.jpg, pic2.jpg, ... into folder,
// each in its own colour; false when one could not be written.
inline bool WriteColourPictures(const QString& folder, int count) {
    for (int i = 1; i <= count; ++i) {
        QImage img(320, 240, QImage::Format_RGB32);
        img.fill(QColor::fromHsv(i * 360 / (count + 1), 200, 200));
        if (!img.save(folder + QStringLiteral("/pic%1.jpg").arg(i)))
            return false;
    }
    return true;
}

// Lets posted events and the idle handler run for a while.
inline void Settle(int ms = 200) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace palvo::test
