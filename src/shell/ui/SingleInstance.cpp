#include "shell/ui/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace palvo {

namespace {

bool PeerIsSameUser(const QLocalSocket& socket) {
    ucred cred{};
    socklen_t length = sizeof cred;
    const auto fd = int(socket.socketDescriptor());
    if (fd < 0 || getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0)
        return false;
    return cred.uid == getuid();
}

QByteArray Encode(const QStringList& arguments) {
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << arguments;
    QByteArray message;
    QDataStream header(&message, QIODevice::WriteOnly);
    header << qint32(body.size());
    return message + body;
}

} // namespace

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::runtimeFolder() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    struct stat st {};
    if (!folder.isEmpty() && ::stat(QFile::encodeName(folder).constData(), &st) == 0 &&
        S_ISDIR(st.st_mode) && st.st_uid == getuid())
        return folder + QLatin1Char('/');
    // A private folder of our own in the temporary folder.
    folder = QDir::tempPath() + QStringLiteral("/palvo-") + QString::number(getuid());
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0)
        return {};
    return folder + QLatin1Char('/');
}

QString SingleInstance::socketPath() const {
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return {};
    return folder + name_ + QLatin1Char('-') + QString::number(getuid()) +
           QStringLiteral(".socket");
}

SingleInstance::Role SingleInstance::start(const QStringList& arguments) {
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return Role::Alone;
    lock_ = std::make_unique<QLockFile>(folder + name_ + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0); // only a dead owner makes the lock stale
    if (lock_->tryLock(0))
        return listen() ? Role::Primary : Role::Alone;
    // Another instance holds the lock; it may still be starting up.
    lock_.reset();
    if (deliver(socketPath(), arguments, 5000))
        return Role::Secondary;
    return Role::Alone;
}

bool SingleInstance::listen() {
    const QString path = socketPath();
    QLocalServer::removeServer(path); // a socket left by a crashed run
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path))
        return false;
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!PeerIsSameUser(*socket)) {
            socket->abort();
            continue;
        }
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (buffer->size() < 4)
                return;
            qint32 length = 0;
            {
                QDataStream header(*buffer);
                header >> length;
            }
            if (length < 0 || length > kMaxMessageBytes) {
                socket->abort();
                return;
            }
            if (buffer->size() < 4 + length)
                return;
            QStringList arguments;
            QDataStream in(buffer->mid(4, length));
            in.setVersion(QDataStream::Qt_6_0);
            in >> arguments;
            if (in.status() != QDataStream::Ok) {
                socket->abort();
                return;
            }
            buffer->clear();
            socket->write("OK");
            socket->flush();
            socket->disconnectFromServer();
            Q_EMIT instanceStarted(arguments);
        });
    }
}

bool SingleInstance::deliver(const QString& socketPath, const QStringList& arguments,
                             int timeoutMs) {
    if (socketPath.isEmpty())
        return false;
    const QByteArray message = Encode(arguments);
    if (message.size() > 4 + kMaxMessageBytes)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QLocalSocket socket;
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(500) && PeerIsSameUser(socket)) {
            socket.write(message);
            socket.flush();
            QByteArray answer;
            while (answer.size() < 2 && clock.elapsed() < timeoutMs &&
                   socket.waitForReadyRead(int(qMax<qint64>(1, timeoutMs - clock.elapsed()))))
                answer += socket.readAll();
            return answer.startsWith("OK");
        }
        QThread::msleep(100);
    }
    return false;
}

} // namespace palvo
