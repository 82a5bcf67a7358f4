#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace palvo::qupload {

// A Windows-profile style INI text: "[Section]" lines and "key=value" lines;
// section and key names are compared without regard to case, a missing key
// reads as an empty text, ";" and "#" start comment lines.
class IniText {
public:
    explicit IniText(const QByteArray& text);
    QString value(const QString& section, const QString& key) const;

private:
    QMap<QString, QString> m_values; // "section\nkey" in lower case -> value
};

// The library's configuration: the [Service] section of "QUpload.dat" in the
// program folder (the environment variable QUPLOAD_CONFIG may name another
// file), together with the [General] sign-up address the program shares.
//
// [Service]
//   SERVER=http://127.0.0.1:8731   the service's base address (http or https)
//   FRAME=                         the frame to upload to, by name or id; empty: the first
//   CONNECT_TIMEOUT=10             seconds to connect
//   STALL_TIMEOUT=30               seconds without any byte moving before a transfer fails
//   REQUEST_TIMEOUT=600            seconds for one whole request
//   RETRIES=2                      extra attempts after a transient failure
//   RETRY_DELAY_MS=1000            first back-off delay; doubled for every further attempt
//   MAX_SEND_SPEED=0               upload bytes per second, 0 for no limit
//   DOWNLOAD_MAX_BYTES=33554432    the largest file DownloadInternetFile accepts
struct LibraryConfig {
    QString server;
    QString frame;
    QString signUpAddress;
    int connectTimeoutS = 10;
    int stallTimeoutS = 30;
    int requestTimeoutS = 600;
    int retries = 2;
    int retryDelayMs = 1000;
    qint64 maxSendSpeed = 0;
    qint64 downloadMaxBytes = 32 * 1024 * 1024;

    static LibraryConfig parse(const QByteArray& iniText);
    // Reads the configuration file; a missing or unreadable file gives the defaults.
    static LibraryConfig load();
    static QString filePath();

    // The server address without a trailing "/" when it is a usable http(s)
    // address, else empty.
    QString serverBase() const;
};

} // namespace palvo::qupload
