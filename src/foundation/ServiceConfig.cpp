#include "foundation/ServiceConfig.h"

#include "foundation/IniFile.h"
#include "foundation/QRoutine.h"

#include <QFileInfo>

namespace palvo {

ServiceConfig LoadURLsFromINI(const QString& programFolder) {
    ServiceConfig config;
    const QString path = programFolder + QLatin1String(kServiceConfigFileName);
    if (!QFileInfo::exists(path))
        return config;
    IniFile ini;
    if (!ini.load(path))
        throw EError(QStringLiteral("Cannot read %1").arg(path));
    const QString general = QStringLiteral("General");
    const QString palvo = QStringLiteral("Palvo");
    config.GeneralWebsite = ini.value(general, QStringLiteral("WEBSITE_GENERAL"));
    config.SignupWebsite = ini.value(general, QStringLiteral("WEBSITE_SIGNUP"));
    config.SupportWebsite = ini.value(general, QStringLiteral("WEBSITE_SUPPORT"));
    auto readInt = [&](const char* key, int& field) {
        int v = 0;
        if (ParseDecimal(ini.value(palvo, QString::fromLatin1(key)), &v))
            field = v;
    };
    readInt("PALVO_MAX_WIDTH", config.MaxWidth);
    readInt("PALVO_MAX_HEIGHT", config.MaxHeight);
    readInt("PALVO_MAX_SIZE", config.MaxSize);
    config.InstallVersion = ini.value(palvo, QStringLiteral("PALVO_INSTALL_VERSION"));
    return config;
}

bool WriteUploadLogging(const QString& programFolder, bool enabled) {
    const QString path = programFolder + QLatin1String(kServiceConfigFileName);
    if (!QFileInfo::exists(path))
        return false;
    IniFile ini;
    if (!ini.load(path))
        return false;
    ini.setValue(QStringLiteral("Other"), QStringLiteral("DEBUGGING"), BoolToText(enabled));
    return ini.save(path);
}

} // namespace palvo
