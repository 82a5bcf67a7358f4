#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

class QLocalServer;
class QLockFile;

namespace palvo {

// Keeps one running instance per user. The first start holds the lock file
// "PALVO_Sender.lock" and listens on a local socket in the user's runtime
// folder; a later start hands its arguments, in order, to the running
// instance and ends. Both ends check that the peer runs as the same user.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,   // this process is the running instance
        Secondary, // the arguments were handed to the running instance
        Alone,     // no hand-off was possible; run without one
    };

    explicit SingleInstance(QString name = QStringLiteral("PALVO_Sender"),
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    Role start(const QStringList& arguments);

    // The user's private runtime folder ($XDG_RUNTIME_DIR, else a folder of
    // the temporary folder that only the user may enter), with a trailing "/".
    [[nodiscard]] static QString runtimeFolder();
    [[nodiscard]] QString socketPath() const;

    // Hands the arguments to the instance listening at socketPath; true when
    // it acknowledged them.
    static bool deliver(const QString& socketPath, const QStringList& arguments, int timeoutMs);

    static constexpr qint32 kMaxMessageBytes = 256 * 1024;

Q_SIGNALS:
    // The arguments of a later start, on the user-interface thread.
    void instanceStarted(const QStringList& arguments);

private:
    void acceptConnection();
    bool listen();

    QString name_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace palvo
