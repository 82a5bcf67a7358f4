#include "UserState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

namespace palvo::qupload {

namespace {

constexpr qint64 kMaxStateBytes = 256 * 1024;

QString modeName(ProxyMode m) {
    switch (m) {
    case ProxyMode::None:
        return "none";
    case ProxyMode::Manual:
        return "manual";
    case ProxyMode::System:
        break;
    }
    return "system";
}

ProxyMode modeFromName(const QString& s) {
    if (s == "none")
        return ProxyMode::None;
    if (s == "manual")
        return ProxyMode::Manual;
    return ProxyMode::System;
}

} // namespace

QString UserState::filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Palvo/QUpload.json";
}

UserState UserState::load() {
    UserState s;
    QFile f(filePath());
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxStateBytes)
        return s;
    const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
    const QJsonObject p = o["proxy"].toObject();
    s.proxy.mode = modeFromName(p["mode"].toString());
    s.proxy.host = p["host"].toString();
    s.proxy.port = p["port"].toInt(8080);
    if (s.proxy.port < 1 || s.proxy.port > 65535)
        s.proxy.port = 8080;
    s.proxy.user = p["user"].toString();
    s.proxy.password = p["password"].toString();
    s.server = o["server"].toString();
    s.user = o["user"].toString();
    s.token = o["token"].toString();
    return s;
}

bool UserState::save() const {
    const QString path = filePath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QJsonObject o{{"server", server}, {"user", user}, {"token", token}};
    o["proxy"] = QJsonObject{{"mode", modeName(proxy.mode)},
                             {"host", proxy.host},
                             {"port", proxy.port},
                             {"user", proxy.user},
                             {"password", proxy.password}};
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // The temporary file becomes the state file: owner read and write only,
    // before a byte of the token is written.
    if (!f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        f.cancelWriting();
        return false;
    }
    f.write(QJsonDocument(o).toJson());
    return f.commit();
}

} // namespace palvo::qupload
