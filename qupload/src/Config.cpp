#include "Config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace palvo::qupload {

namespace {

constexpr qint64 kMaxConfigBytes = 1024 * 1024;

QString keyOf(const QString& section, const QString& key) {
    return section.trimmed().toLower() + '\n' + key.trimmed().toLower();
}

// The value as a decimal integer in [lo, hi], else the fallback.
qint64 number(const QString& text, qint64 lo, qint64 hi, qint64 fallback) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok, 10);
    return ok && v >= lo && v <= hi ? v : fallback;
}

} // namespace

IniText::IniText(const QByteArray& text) {
    QString section;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QString k = keyOf(section, line.left(eq));
        if (!m_values.contains(k))
            m_values.insert(k, line.mid(eq + 1).trimmed());
    }
}

QString IniText::value(const QString& section, const QString& key) const {
    return m_values.value(keyOf(section, key));
}

LibraryConfig LibraryConfig::parse(const QByteArray& iniText) {
    const IniText ini(iniText);
    LibraryConfig c;
    auto get = [&](const char* key) { return ini.value("Service", key); };
    c.server = get("SERVER");
    c.frame = get("FRAME");
    c.signUpAddress = ini.value("General", "WEBSITE_SIGNUP");
    c.connectTimeoutS = int(number(get("CONNECT_TIMEOUT"), 1, 3600, c.connectTimeoutS));
    c.stallTimeoutS = int(number(get("STALL_TIMEOUT"), 1, 3600, c.stallTimeoutS));
    c.requestTimeoutS = int(number(get("REQUEST_TIMEOUT"), 1, 86400, c.requestTimeoutS));
    c.retries = int(number(get("RETRIES"), 0, 10, c.retries));
    c.retryDelayMs = int(number(get("RETRY_DELAY_MS"), 0, 60000, c.retryDelayMs));
    c.maxSendSpeed = number(get("MAX_SEND_SPEED"), 0, qint64(1) << 40, c.maxSendSpeed);
    c.downloadMaxBytes = number(get("DOWNLOAD_MAX_BYTES"), 1, qint64(1) << 40, c.downloadMaxBytes);
    if (!c.signUpAddress.isEmpty() && !c.signUpAddress.startsWith("http", Qt::CaseInsensitive))
        c.signUpAddress.prepend("http://");
    return c;
}

QString LibraryConfig::filePath() {
    const QByteArray env = qgetenv("QUPLOAD_CONFIG");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    // The program folder: the folder of the running executable.
    return QFileInfo(QFile::symLinkTarget("/proc/self/exe")).absolutePath() + "/QUpload.dat";
}

LibraryConfig LibraryConfig::load() {
    QFile f(filePath());
    if (!f.open(QIODevice::ReadOnly))
        return LibraryConfig{};
    return parse(f.read(kMaxConfigBytes));
}

QString LibraryConfig::serverBase() const {
    QString s = server.trimmed();
    while (s.endsWith('/'))
        s.chop(1);
    const QUrl url(s, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != "http" && scheme != "https") || url.host().isEmpty())
        return {};
    return s;
}

} // namespace palvo::qupload
