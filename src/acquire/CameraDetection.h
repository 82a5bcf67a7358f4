#pragma once

#include <QString>

namespace palvo {

class MountInfo;

// True when the path is the root of a removable drive (or of an optical
// drive, when those count) whose folders hold a DCIM folder, or at least one
// JPEG file and no more other files than JPEG files. The scan stops after 100
// folders or 200 files. A path below a drive's root never counts.
[[nodiscard]] bool IsCameraDrive(const QString& path, bool opticalCounts);
[[nodiscard]] bool IsCameraDrive(const QString& path, bool opticalCounts, const MountInfo& mounts);

// A camera drive waiting for the main window's next idle moment.
struct PendingCamera {
    QString drive;
    bool settings = false;
    [[nodiscard]] bool pending() const { return !drive.isEmpty(); }
};

// The camera switches of the command line: "/SETTINGS", "/CAMOFF" and
// "/CAM:" + drive (optionally followed by "SETTINGS"), in any letter case.
// True when the first parameter was a camera switch and so has been dealt
// with. "/CAM:" sets the pending drive only when useAppForCamera is on.
bool CameraParameter(const QString& first, const QString& second, bool useAppForCamera,
                     PendingCamera* pending);

// The hooks where a camera or scanner import starts; in this version they do
// nothing.
void LaunchCamera(const QString& drive, bool settings);
void ShowCameraWizard();
void Twain2Wiz();
void EditCameraSettings();
QString GetCameraSource();

} // namespace palvo
