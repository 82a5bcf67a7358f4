#pragma once

#include <QString>

namespace palvo::qupload {

enum class ProxyMode { None, System, Manual };

struct ProxySettings {
    ProxyMode mode = ProxyMode::System; // System: the http_proxy / https_proxy / no_proxy variables
    QString host;
    int port = 8080;
    QString user;
    QString password;
};

// The library's per-user state: the sign-in token per service address and the
// proxy settings. Kept in $XDG_CONFIG_HOME/Palvo/QUpload.json, readable and
// writable by the user only, written through a temporary file and a rename.
struct UserState {
    ProxySettings proxy;
    QString server; // the service the account below belongs to
    QString user;
    QString token;

    static QString filePath();
    // A missing, oversized or damaged file gives the defaults.
    static UserState load();
    bool save() const;

    // The token when it belongs to this service, else empty.
    QString tokenFor(const QString& serverBase) const {
        return server == serverBase ? token : QString();
    }
};

} // namespace palvo::qupload
