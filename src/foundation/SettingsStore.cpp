#include "foundation/SettingsStore.h"

#include "foundation/Messages.h"
#include "foundation/SettingsFile.h"
#include "foundation/Version.h"

#include <QFileInfo>

namespace palvo {

QString Settings::programName() const {
    return ApplicationName.isEmpty() ? QString::fromLatin1(kDefaultProgramName) : ApplicationName;
}

WindowPosition
ReadWindowPosition(const std::function<std::optional<QString>(const QString&)>& lookup,
                   QSize screen) {
    const int sw = screen.width();
    const int sh = screen.height();
    WindowPosition pos;
    bool leftRead = false;
    bool failed = false;
    auto readInt = [&](const char* name, int* out) {
        if (failed)
            return false;
        if (!ParseDecimal(lookup(QString::fromLatin1(name)).value_or(QString()), out))
            failed = true;
        return !failed;
    };

    if (readInt("SPHeight", &pos.height) && (pos.height < 100 || pos.height > sh))
        pos.height = 460;
    if (readInt("SPLeft", &pos.left)) {
        leftRead = true;
        if (pos.left < 0 || pos.left > sw - 100)
            pos.left = 20;
    }
    if (readInt("SPWidth", &pos.width) && (pos.width < 150 || pos.width > sw))
        pos.width = 624;
    if (!failed)
        pos.maximised = TextToBool(lookup(QStringLiteral("SPMax")).value_or(QString()), false);
    if (readInt("SPTop", &pos.top) && (pos.top < 0 || pos.top > sh - 100))
        pos.top = 14;
    if (!failed)
        return pos;

    if (sw > 800) {
        pos.width = 950;
        pos.height = 690;
        pos.maximised = false;
        if (!leftRead)
            pos.left = 0;
        pos.top = 0; // the top edge is read last, so it was never read
    } else {
        pos.width = 630;
        pos.height = 450;
        pos.left = (sw - 630) / 2;
        pos.top = (sh - 450) / 2;
        pos.maximised = true;
    }
    return pos;
}

void ReadSettings(Settings& s, const SettingsEnvironment& env) {
    SettingsFile key(SettingsFile::pathFor(QString::fromLatin1(kDefaultProgramName)));
    if (!key.open(true)) {
        qMessageDlg(QStringLiteral("Error encountered opening your registry file."),
                    MsgType::Information, mbOK);
        return;
    }
    auto text = [&](const char* name) {
        return key.value(QString::fromLatin1(name)).value_or(QString());
    };
    auto readBool = [&](const char* name, bool& field) { field = TextToBool(text(name), field); };
    auto readInt = [&](const char* name, int& field) {
        int v = 0;
        if (ParseDecimal(text(name), &v))
            field = v;
    };
    auto readInt16 = [&](const char* name, std::int16_t& field) {
        int v = 0;
        if (ParseDecimal(text(name), &v))
            field = static_cast<std::int16_t>(v);
    };
    auto readColour = [&](const char* name, Colour& field) {
        field = TextToColour(text(name), field);
    };

    s.ApplicationName = text("ApplicationName");
    readInt("MinCheckDaysInterval", s.MinCheckDaysInterval);
    readInt("NextCheckDate", s.NextCheckDate);
    readBool("cancancel", s.cancancel);
    readBool("CheckJPEGAss", s.CheckJPEGAss);
    readBool("CheckForCards", s.CheckForCards);
    s.DefaultCameraSource = text("DefaultCameraSource");
    readColour("PalvoBackgroundColor", s.PalvoBackgroundColor);
    s.LastMoveFolder = text("LastMoveFolder");
    readBool("StartUpDirectorySaveLast", s.StartUpDirectorySaveLast);
    readBool("Shrink", s.Shrink);
    readBool("HideFileExtensions", s.HideFileExtensions);
    readBool("EnforceMinimumCropSize", s.EnforceMinimumCropSize);
    readBool("ShowDlgProgress", s.ShowDlgProgress);
    readBool("AutomaticCameraDownload", s.AutomaticCameraDownload);
    readBool("ConfirmDeleteFile", s.ConfirmDeleteFile);
    readBool("ConfirmDeleteUploadPic", s.ConfirmDeleteUploadPic);
    s.DefaultFontName = text("DefaultFontName");
    readBool("DefaultFontBold", s.DefaultFontBold);
    readBool("DefaultFontItalic", s.DefaultFontItalic);
    readInt("DefaultFontAlign", s.DefaultFontAlign);
    readInt("DefaultFontSize", s.DefaultFontSize);
    readColour("DefaultFontColor", s.DefaultFontColor);
    s.DefaultFontText = text("DefaultFontText");
    readColour("DefaultFontBGColor", s.DefaultFontBGColor);
    s.WorkFolder = text("WorkFolder");
    readBool("QuickFixBeforeUpload", s.QuickFixBeforeUpload);
    readBool("ShowStartUp", s.ShowStartUp);
    readBool("DeleteCameraPhotos", s.DeleteCameraPhotos);
    readInt16("FolderNameMethod", s.FolderNameMethod);
    readInt16("FileNameMethod", s.FileNameMethod);
    s.PhotoDirectory = text("PhotoDirectory");
    readInt("DisplayQuality", s.DisplayQuality);
    readBool("DeleteToRecycleBin", s.DeleteToRecycleBin);
    int quality = 0;
    if (ParseDecimal(text("AlwaysUseJPEGComp"), &quality))
        s.AlwaysUseJPEGComp = static_cast<std::uint8_t>(quality & 0xFF);
    readInt16("PalvoSave", s.PalvoSave);
    readInt("DefaultCropRatio", s.DefaultCropRatio);

    s.StartUpDirectory = text("StartUpDirectory");
    if (!s.StartUpDirectory.isEmpty() && !QFileInfo(s.StartUpDirectory).isDir())
        s.StartUpDirectory.clear();
    if (s.StartUpDirectory.isEmpty())
        s.StartUpDirectory = TextOrDefault(env.picturesFolder, QStringLiteral("/"));

    const WindowPosition pos =
        ReadWindowPosition([&](const QString& name) { return key.value(name); }, env.screen);
    s.SPHeight = pos.height;
    s.SPWidth = pos.width;
    s.SPLeft = pos.left;
    s.SPTop = pos.top;
    s.SPMax = pos.maximised;
    readInt("WPanel", s.WPanel);

    // The camera switch is repaired when it isn't a boolean text.
    try {
        s.UseAppforCamera = TextToBoolStrict(text("UseAppforCamera"));
    } catch (const EQFunctionError&) {
        s.UseAppforCamera = true;
        key.setValue(QStringLiteral("UseAppforCamera"), QStringLiteral("True"));
        if (!key.save()) {
            qMessageDlg(
                QStringLiteral("Error encountered loading user settings from registry!.\n\n") +
                    QStringLiteral("The settings file %1 could not be written.").arg(key.path()),
                MsgType::Information, mbOK);
        }
    }
}

QVector<QPair<QString, QString>> SettingsTexts(const Settings& s) {
    auto b = [](bool v) { return BoolToText(v); };
    auto n = [](int v) { return QString::number(v); };
    auto c = [](Colour v) { return ColourToText(v); };
    return {
        {"MinCheckDaysInterval", n(s.MinCheckDaysInterval)},
        {"NextCheckDate", n(s.NextCheckDate)},
        {"cancancel", b(s.cancancel)},
        {"CheckJPEGAss", b(s.CheckJPEGAss)},
        {"CheckForCards", b(s.CheckForCards)},
        {"DefaultCameraSource", s.DefaultCameraSource},
        {"PalvoBackgroundColor", c(s.PalvoBackgroundColor)},
        {"LastMoveFolder", s.LastMoveFolder},
        {"StartUpDirectorySaveLast", b(s.StartUpDirectorySaveLast)},
        {"Shrink", b(s.Shrink)},
        {"HideFileExtensions", b(s.HideFileExtensions)},
        {"EnforceMinimumCropSize", b(s.EnforceMinimumCropSize)},
        {"ShowDlgProgress", b(s.ShowDlgProgress)},
        {"AutomaticCameraDownload", b(s.AutomaticCameraDownload)},
        {"ConfirmDeleteFile", b(s.ConfirmDeleteFile)},
        {"ConfirmDeleteUploadPic", b(s.ConfirmDeleteUploadPic)},
        {"DefaultFontName", s.DefaultFontName},
        {"DefaultFontBold", b(s.DefaultFontBold)},
        {"DefaultFontItalic", b(s.DefaultFontItalic)},
        {"DefaultFontAlign", n(s.DefaultFontAlign)},
        {"DefaultFontSize", n(s.DefaultFontSize)},
        {"DefaultFontColor", c(s.DefaultFontColor)},
        {"DefaultFontText", s.DefaultFontText},
        {"DefaultFontBGColor", c(s.DefaultFontBGColor)},
        {"WorkFolder", s.WorkFolder},
        {"QuickFixBeforeUpload", b(s.QuickFixBeforeUpload)},
        {"ShowStartUp", b(s.ShowStartUp)},
        {"DeleteCameraPhotos", b(s.DeleteCameraPhotos)},
        {"FolderNameMethod", n(s.FolderNameMethod)},
        {"FileNameMethod", n(s.FileNameMethod)},
        {"PhotoDirectory", s.PhotoDirectory},
        {"DisplayQuality", n(s.DisplayQuality)},
        {"DeleteToRecycleBin", b(s.DeleteToRecycleBin)},
        {"AppVersion", s.programName() + QLatin1Char(' ') + ProductVersionText()},
        {"Options", QString()},
        {"StartUpDirectory", s.StartUpDirectory},
        {"SPHeight", n(s.SPHeight)},
        {"SPWidth", n(s.SPWidth)},
        {"SPLeft", n(s.SPLeft)},
        {"AlwaysUseJPEGComp", n(s.AlwaysUseJPEGComp)},
        {"PalvoSave", n(s.PalvoSave)},
        {"SPMax", b(s.SPMax)},
        {"SPTop", n(s.SPTop)},
        {"WPanel", n(s.WPanel)},
    };
}

bool writereg(Settings& s, const QString& currentFolder) {
    SettingsFile key(SettingsFile::pathFor(s.programName()));
    if (!key.open(false)) {
        qMessageDlg(QStringLiteral("Registry Update Failed, using defaults"), MsgType::Information,
                    mbOK);
        return false;
    }
    // The floppy drive was never remembered; on this platform no folder starts
    // with a drive letter, so only the emptiness test remains meaningful.
    if (s.StartUpDirectorySaveLast && !currentFolder.isEmpty() &&
        !currentFolder.toUpper().startsWith(QLatin1Char('A')))
        s.StartUpDirectory = currentFolder;
    for (const auto& [name, text] : SettingsTexts(s))
        key.setValue(name, text);
    if (!key.save()) {
        qMessageDlg(QStringLiteral("Error encountered writing your settings to the registry!"),
                    MsgType::Information, mbOK);
        return false;
    }
    return true;
}

bool resetregistry(const QString& programName) {
    SettingsFile key(SettingsFile::pathFor(programName));
    return key.erase();
}

} // namespace palvo
