#pragma once

#include "foundation/QRoutine.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace palvo {

class SettingsFile;

// The width of the thumbnail grid for two columns of 118-pixel cells.
inline constexpr int kTwoColumnGridWidth = 2 * 118 + 20;

// The user's settings, with their defaults. Field names are the value names.
struct Settings {
    int MinCheckDaysInterval = 14;
    int NextCheckDate = 0;
    bool cancancel = true;
    bool CheckJPEGAss = true;
    bool CheckForCards = true;
    QString DefaultCameraSource;
    Colour PalvoBackgroundColor = clBlack;
    QString LastMoveFolder;
    bool StartUpDirectorySaveLast = true;
    bool Shrink = true;
    bool HideFileExtensions = true;
    bool EnforceMinimumCropSize = true;
    bool ShowDlgProgress = true;
    bool AutomaticCameraDownload = false;
    bool ConfirmDeleteFile = true;
    bool ConfirmDeleteUploadPic = true;
    QString DefaultFontName;
    bool DefaultFontBold = false;
    bool DefaultFontItalic = false;
    int DefaultFontAlign = 2;
    int DefaultFontSize = 24;
    Colour DefaultFontColor = clRed;
    QString DefaultFontText;
    Colour DefaultFontBGColor = clBlack;
    QString WorkFolder;
    bool QuickFixBeforeUpload = false;
    bool ShowStartUp = true;
    bool DeleteCameraPhotos = false;
    std::int16_t FolderNameMethod = 0;
    std::int16_t FileNameMethod = 2;
    QString PhotoDirectory;
    int DisplayQuality = 1;
    bool DeleteToRecycleBin = true;
    QString StartUpDirectory;
    int SPHeight = 690;
    int SPWidth = 950;
    int SPLeft = 0;
    std::uint8_t AlwaysUseJPEGComp = 90;
    std::int16_t PalvoSave = 1;
    bool SPMax = false;
    int SPTop = 0;
    int WPanel = kTwoColumnGridWidth;

    // Only read.
    QString ApplicationName;
    int DefaultCropRatio = 60;
    bool UseAppforCamera = true;

    // "Palvo Sender", or ApplicationName when that is not empty.
    [[nodiscard]] QString programName() const;
};

struct WindowPosition {
    int height = 0;
    int width = 0;
    int left = 0;
    int top = 0;
    bool maximised = false;
};

// Reads SPHeight, SPLeft, SPWidth, SPMax and SPTop strictly, with the
// corrections for the given screen; the first value that isn't a whole number
// ends the reading and gives the first-run placement.
[[nodiscard]] WindowPosition
ReadWindowPosition(const std::function<std::optional<QString>(const QString&)>& lookup,
                   QSize screen);

// What reading needs to know of the machine.
struct SettingsEnvironment {
    QSize screen{1280, 1024};
    QString picturesFolder; // the user's pictures folder, with a trailing "/"
};

// Reads every setting from the key of the default program name into settings
// (which should hold the defaults). Messages go through qMessageDlg. Writes
// "True" to UseAppforCamera when that value is missing or not a boolean.
void ReadSettings(Settings& settings, const SettingsEnvironment& environment);

// Writes every value of the settings in their fixed order to the key of the
// current program name. currentFolder is the folder shown at close; it
// becomes StartUpDirectory when StartUpDirectorySaveLast is set.
bool writereg(Settings& settings, const QString& currentFolder);

// Deletes the key of the program name with all its values.
bool resetregistry(const QString& programName);

// The values in writing order with their texts (for writereg and tests).
[[nodiscard]] QVector<QPair<QString, QString>> SettingsTexts(const Settings& settings);

} // namespace palvo
