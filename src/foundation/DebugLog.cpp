#include "foundation/DebugLog.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

#include <cstdio>

namespace palvo {

namespace {
struct LogState {
    QString folder;
    bool firstArgumentIsDebug = false;
    bool debugLogging = false;
    bool firstWrite = true;
};
LogState& state() {
    static LogState s;
    return s;
}
} // namespace

bool IsDebugSwitch(const QString& argument) {
    return argument.compare(QLatin1String("/DEBUG"), Qt::CaseInsensitive) == 0 ||
           argument.compare(QLatin1String("--debug"), Qt::CaseInsensitive) == 0;
}

bool IsUninstallSwitch(const QString& argument) {
    return argument.compare(QLatin1String("/UNINSTALL"), Qt::CaseInsensitive) == 0 ||
           argument.compare(QLatin1String("--uninstall"), Qt::CaseInsensitive) == 0;
}

void DebugLog::setProgramFolder(const QString& folder) {
    state().folder = folder;
}
void DebugLog::setFirstArgument(const QString& argument) {
    state().firstArgumentIsDebug = IsDebugSwitch(argument);
}
void DebugLog::setDebugLogging(bool on) {
    state().debugLogging = on;
}
bool DebugLog::active() {
    return state().debugLogging || state().firstArgumentIsDebug;
}
void DebugLog::resetFirstWrite() {
    state().firstWrite = true;
}

QString DebugLog::fileLine(const QString& source, const QString& text) {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    QString stamp = locale.toString(now.date(), QLocale::ShortFormat);
    if (now.time() != QTime(0, 0))
        stamp += QLatin1Char(' ') + locale.toString(now.time(), QLocale::LongFormat);
    return QLatin1Char('[') + stamp + QStringLiteral("] ") + source + QStringLiteral(": ") + text;
}

void DebugLog::write(const QString& source, const QString& text) {
    if (!active())
        return;
    LogState& s = state();
    const QString path = s.folder + QStringLiteral("Log.txt");
    if (s.firstWrite) {
        s.firstWrite = false;
        const QString old = s.folder + QStringLiteral("Log.old");
        if (QFile::exists(path)) {
            QFile::remove(old);
            QFile::copy(path, old);
        }
        QFile fresh(path);
        if (fresh.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fresh.write("\r\n");
    }
    const QByteArray debuggerLine =
        (QStringLiteral("[PalvoApp: ") + source + QStringLiteral("] ") + text).toUtf8() + "\r\n";
    std::fwrite(debuggerLine.constData(), 1, size_t(debuggerLine.size()), stderr);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(fileLine(source, text).toUtf8() + "\r\n");
}

} // namespace palvo
