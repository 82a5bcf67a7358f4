#pragma once

// Starts the real palvo-service on a free loopback port for a test and stops
// it again. The data folder is the caller's (usually inside a QTemporaryDir).
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

#ifndef PALVO_SERVICE_PATH
#error "PALVO_SERVICE_PATH must name the palvo-service executable"
#endif

namespace palvo::testing {

class ServiceProcess {
public:
    explicit ServiceProcess(QString dataDir, QStringList extraArgs = {})
        : m_dataDir(std::move(dataDir)), m_extra(std::move(extraArgs)) {}
    ~ServiceProcess() { stop(); }
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    // Starts the service and waits for the line naming its address.
    bool start() {
        stop();
        m_process.setProgram(QStringLiteral(PALVO_SERVICE_PATH));
        m_process.setArguments(QStringList{"--data", m_dataDir, "--port", "0"} + m_extra);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return false;
        QByteArray line;
        while (!line.contains('\n')) {
            if (!m_process.waitForReadyRead(15000))
                return false;
            line += m_process.readAllStandardOutput();
        }
        const QByteArray marker = "listening on ";
        const qsizetype at = line.indexOf(marker);
        if (at < 0)
            return false;
        m_url = QString::fromLatin1(line.mid(at + marker.size())).trimmed();
        m_port = m_url.section(':', -1).toInt();
        return m_port > 0;
    }

    // True when the service ended on SIGTERM by itself (it is killed after 10 s).
    bool stop() {
        if (m_process.state() == QProcess::NotRunning)
            return true;
        m_process.terminate();
        if (m_process.waitForFinished(10000))
            return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
        m_process.kill();
        m_process.waitForFinished(5000);
        return false;
    }

    bool running() const { return m_process.state() == QProcess::Running; }
    int exitCode() const { return m_process.exitCode(); }
    QProcess::ExitStatus exitStatus() const { return m_process.exitStatus(); }
    QString url() const { return m_url; }
    int port() const { return m_port; }
    QString dataDir() const { return m_dataDir; }

private:
    QString m_dataDir;
    QStringList m_extra;
    QProcess m_process;
    QString m_url;
    int m_port = 0;
};

// A JPEG of the given size filled with a pattern; noise makes it large.
inline QByteArray makeJpeg(int width, int height, int quality = 85, bool noise = false,
                           quint32 seed = 1) {
    QImage img(width, height, QImage::Format_RGB32);
    quint32 state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (noise) {
                state = state * 1664525u + 1013904223u;
                img.setPixel(x, y, state >> 8);
            } else {
                img.setPixel(x, y,
                             qRgb((x * 255) / width, (y * 255) / height, int(seed * 40) % 256));
            }
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPG", quality);
    return bytes;
}

} // namespace palvo::testing
