#include "acquire/CameraDetection.h"

#include "foundation/QFileRoutine.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace palvo {

namespace {

struct ScanCounters {
    int folders = 0;
    int files = 0;
    int jpegs = 0;
    int others = 0;
    bool dcim = false;
    [[nodiscard]] bool done() const { return dcim || folders > 100 || files > 200; }
};

bool IsJpegName(const QString& name) {
    const QString ext = QFileInfo(name).suffix().toUpper();
    return ext == QLatin1String("JPG") || ext == QLatin1String("JPEG") ||
           ext == QLatin1String("JPE");
}

// root: the drive's root as scanned, with a trailing separator. A DCIM folder
// is looked for below it only, so a mount folder of that name (a card
// labelled so) does not make every folder on the card a camera folder.
void Scan(const QString& folder, const QString& root, ScanCounters& c) {
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System | QDir::NoSymLinks,
        QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (c.done())
            return;
        if (entry.isDir()) {
            if (entry.fileName().startsWith(QLatin1Char('.')))
                continue;
            ++c.folders;
            const QString below =
                IncludeTrailingSeparator(entry.absoluteFilePath().mid(root.size() - 1)).toUpper();
            if (below.contains(QLatin1String("/DCIM/"))) {
                c.dcim = true;
                return;
            }
            Scan(entry.absoluteFilePath(), root, c);
        } else {
            ++c.files;
            if (IsJpegName(entry.fileName()))
                ++c.jpegs;
            else
                ++c.others;
        }
    }
}

struct WaitCursor {
    WaitCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WaitCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::restoreOverrideCursor();
    }
};

} // namespace

bool IsCameraDrive(const QString& path, bool opticalCounts) {
    return IsCameraDrive(path, opticalCounts, SystemMountInfo());
}

bool IsCameraDrive(const QString& path, bool opticalCounts, const MountInfo& mounts) {
    WaitCursor cursor;
    const auto mount = mounts.mountOf(path);
    if (!mount)
        return false;
    // Only a drive's root has a drive type. The mount is found from the path
    // with its links resolved, so the root is compared, and scanned, in that
    // form too.
    const QString root = IncludeTrailingSeparator(QFileInfo(path).canonicalFilePath());
    if (root != IncludeTrailingSeparator(mount->rootPath))
        return false;
    const int type = driveTypeOfMount(*mount, mounts);
    if (!(type == kDriveRemovable || (opticalCounts && type == kDriveOptical)))
        return false;
    ScanCounters counters;
    Scan(root, root, counters);
    return counters.dcim || (counters.jpegs >= 1 && counters.jpegs >= counters.others);
}

bool CameraParameter(const QString& first, const QString& second, bool useAppForCamera,
                     PendingCamera* pending) {
    if (first.compare(QLatin1String("/SETTINGS"), Qt::CaseInsensitive) == 0) {
        ShowCameraWizard();
        return true;
    }
    if (first.compare(QLatin1String("/CAMOFF"), Qt::CaseInsensitive) == 0)
        return true;
    if (!first.contains(QLatin1String("/CAM:"), Qt::CaseInsensitive))
        return false;
    if (useAppForCamera && pending) {
        const QString trimmed = first.trimmed();
        if (trimmed.size() >= 6) {
            pending->drive = trimmed.mid(5, 1);
            pending->settings = second.toUpper() == QLatin1String("SETTINGS");
        }
    }
    return true;
}

void LaunchCamera(const QString&, bool) {}
void ShowCameraWizard() {}
void Twain2Wiz() {}
void EditCameraSettings() {}
QString GetCameraSource() {
    return {};
}

} // namespace palvo
