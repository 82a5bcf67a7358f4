#include "Upload.h"

#include "Config.h"
#include "Http.h"
#include "UserState.h"
#include "ui/Messages.h"
#include "ui/SignInDialog.h"
#include "ui/UploadProgressDialog.h"

#include <QUploadApi.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace palvo::qupload {

namespace {

constexpr int kSignInAttempts = 3;
// What the sign-in steps return when the run can go on (every QUPLOAD_ERR_* code is <= 0).
constexpr int kReady = 1;
constexpr qint64 kMaxPictureBytes = 16 * 1024 * 1024;
const char* const kCaption = "Palvo";

QString errorOf(const HttpResult& r) {
    const QString e = QJsonDocument::fromJson(r.body).object()["error"].toString();
    return e.isEmpty() ? QString("HTTP status %1").arg(r.status) : e;
}

class UploadRun {
public:
    explicit UploadRun(const UploadArgs& args)
        : m_args(args), m_config(LibraryConfig::load()), m_base(m_config.serverBase()),
          m_state(UserState::load()), m_client(m_config, m_state.proxy) {
        m_client.setRetryNotice([this](int attempt, int delayMs, const HttpResult& failure) {
            if (m_dialog)
                m_dialog->setStatus(
                    QString("The Palvo service did not answer (%1). Trying again in %2 s "
                            "(attempt %3 of %4)...")
                        .arg(failure.delivered() ? QString("HTTP status %1").arg(failure.status)
                                                 : failure.error)
                        .arg((delayMs + 999) / 1000)
                        .arg(attempt + 1)
                        .arg(m_config.retries + 1));
        });
    }

    std::int16_t run();

private:
    // kReady when signed in with a frame chosen, else the code to return.
    int ensureAccount();
    int signIn();
    int readAccount(bool firstTry);
    int networkFailure(const HttpResult& r);
    int serverFailure(const HttpResult& r);
    TransferWatcher watcher(qint64 fileBytes);
    QWidget* dialogParent() const { return m_dialog ? m_dialog.get() : m_args.parent; }
    void tell(MessageKind kind, const QString& text) {
        if (m_dialog)
            m_dialog->hide();
        showMessage(m_args.parent, kind, kCaption, text);
    }

    UploadArgs m_args;
    LibraryConfig m_config;
    QString m_base;
    UserState m_state;
    HttpClient m_client;
    std::unique_ptr<UploadProgressDialog> m_dialog;
    QString m_frameId;
    qint64 m_doneBytes = 0;
    qint64 m_totalBytes = 0;
};

TransferWatcher UploadRun::watcher(qint64 fileBytes) {
    return [this, fileBytes](const TransferProgress& p) {
        if (!m_dialog)
            return true;
        m_dialog->setBytes(m_doneBytes + std::min(p.sent, fileBytes), m_totalBytes);
        return !m_dialog->cancelRequested();
    };
}

int UploadRun::networkFailure(const HttpResult& r) {
    tell(MessageKind::Error, "The Palvo service could not be reached.\n\n" + r.error +
                                 "\n\nPlease check your Internet connection and the proxy "
                                 "settings, then try again.");
    return QUPLOAD_ERR_NETWORK;
}

int UploadRun::serverFailure(const HttpResult& r) {
    tell(MessageKind::Error, "The Palvo service could not take the pictures: " + errorOf(r) +
                                 "\n\nPlease try again later.");
    return QUPLOAD_ERR_SERVER;
}

// Reads the account with the current token and chooses the frame.
// firstTry: a refused token is not an error yet (the user signs in again).
int UploadRun::readAccount(bool firstTry) {
    HttpRequest req;
    req.url = m_base + "/api/account";
    req.headers = {"Authorization: Bearer " + m_state.token.toLatin1()};
    const HttpResult r = m_client.performWithRetries(req, watcher(0));
    if (r.cancelled)
        return QUPLOAD_ERR_CANCELLED;
    if (!r.delivered())
        return networkFailure(r);
    if (r.status == 401 && firstTry)
        return QUPLOAD_ERR_SIGN_IN;
    if (!r.ok())
        return serverFailure(r);
    const QJsonArray frames = QJsonDocument::fromJson(r.body).object()["frames"].toArray();
    for (const auto v : frames) {
        const QJsonObject f = v.toObject();
        if (m_config.frame.isEmpty() || f["id"].toString() == m_config.frame ||
            f["name"].toString().compare(m_config.frame, Qt::CaseInsensitive) == 0) {
            m_frameId = f["id"].toString();
            return kReady;
        }
    }
    tell(MessageKind::Error,
         m_config.frame.isEmpty()
             ? QString("Your Palvo account has no picture frame.")
             : "Your Palvo account has no picture frame named \"" + m_config.frame + "\".");
    return QUPLOAD_ERR_SERVER;
}

int UploadRun::signIn() {
    if (!widgetsAvailable()) {
        tell(MessageKind::Error, "Signing in to the Palvo service needs a window.");
        return QUPLOAD_ERR_SIGN_IN;
    }
    const QString signUp =
        m_config.signUpAddress.isEmpty() ? m_base + "/signup" : m_config.signUpAddress;
    QString problem;
    for (int attempt = 0; attempt < kSignInAttempts; ++attempt) {
        QString user, password;
        {
            SignInDialog dlg(dialogParent(), m_state.user, problem, signUp);
            if (dlg.exec() != QDialog::Accepted)
                return QUPLOAD_ERR_CANCELLED;
            user = dlg.user();
            password = dlg.password();
        }
        if (m_dialog)
            m_dialog->setStatus("Signing in to the Palvo service...");
        HttpRequest req;
        req.url = m_base + "/api/signin";
        req.post = true;
        req.form = {{"user", user.toUtf8()}, {"password", password.toUtf8()}};
        const HttpResult r = m_client.performWithRetries(req, watcher(0));
        if (r.cancelled)
            return QUPLOAD_ERR_CANCELLED;
        if (!r.delivered())
            return networkFailure(r);
        if (r.status == 401 || r.status == 403) {
            problem = errorOf(r);
            m_state.user = user;
            continue;
        }
        const QString token = QJsonDocument::fromJson(r.body).object()["token"].toString();
        if (!r.ok() || token.isEmpty())
            return serverFailure(r);
        m_state.server = m_base;
        m_state.user = user;
        m_state.token = token;
        m_state.save(); // when it fails, the user signs in again next time
        return readAccount(false);
    }
    tell(MessageKind::Error, "Signing in to the Palvo service failed: " + problem);
    return QUPLOAD_ERR_SIGN_IN;
}

int UploadRun::ensureAccount() {
    if (!m_state.tokenFor(m_base).isEmpty()) {
        const int code = readAccount(true);
        if (code != QUPLOAD_ERR_SIGN_IN)
            return code;
    }
    m_state.token.clear();
    return signIn();
}

std::int16_t UploadRun::run() {
    if (m_args.files.isEmpty())
        return QUPLOAD_ERR_NO_FILES;
    if (m_base.isEmpty()) {
        tell(MessageKind::Error, "No Palvo service is configured: the [Service] section of "
                                 "QUpload.dat needs a SERVER address.");
        return QUPLOAD_ERR_CONFIG;
    }
    for (const QString& f : m_args.files)
        m_totalBytes += QFileInfo(f).size();
    if (widgetsAvailable()) {
        m_dialog = std::make_unique<UploadProgressDialog>(m_args.parent, m_args.title);
        m_dialog->setStatus("Connecting to the Palvo service...");
        m_dialog->setBytes(0, m_totalBytes);
        m_dialog->show();
    }
    if (const int code = ensureAccount(); code != kReady)
        return std::int16_t(code);

    const int n = int(m_args.files.size());
    int accepted = 0;
    int failure = 0;
    bool cancelled = false;
    bool signedInAgain = false;
    int unreadable = 0;
    QStringList refused; // "name: reason", each picture once
    for (int i = 0; i < n && !cancelled && failure == 0; ++i) {
        const QString path = m_args.files[i];
        const QString name = QFileInfo(path).fileName();
        if (m_dialog)
            m_dialog->setStatus(
                QString("Uploading picture %1 of %2: %3").arg(i + 1).arg(n).arg(name));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPictureBytes) {
            refused << name + ": the file could not be read.";
            ++unreadable;
            continue;
        }
        const QByteArray data = file.readAll();
        HttpRequest req;
        req.url = m_base + "/api/frames/" + m_frameId + "/pictures";
        req.headers = {"Authorization: Bearer " + m_state.token.toLatin1()};
        req.parts = {{"picture", data, name, "image/jpeg"},
                     {"width", QByteArray::number(m_args.widths.value(i)), {}, {}},
                     {"height", QByteArray::number(m_args.heights.value(i)), {}, {}}};
        const HttpResult r = m_client.performWithRetries(req, watcher(data.size()));
        if (r.cancelled) {
            cancelled = true;
        } else if (!r.delivered()) {
            failure = networkFailure(r);
        } else if (r.status == 401 && !signedInAgain) {
            // The token ran out during the run: sign in once more and send this file again.
            signedInAgain = true;
            m_state.token.clear();
            if (const int code = signIn(); code != kReady)
                return std::int16_t(code);
            if (m_dialog)
                m_dialog->show();
            --i;
            continue;
        } else if (r.ok()) {
            ++accepted;
        } else if (r.status >= 400 && r.status < 500) {
            refused << name + ": " + errorOf(r);
        } else {
            failure = serverFailure(r);
        }
        m_doneBytes += data.size();
    }
    if (m_dialog)
        m_dialog->hide();

    if (!refused.isEmpty()) {
        QString text =
            "These pictures were not accepted by the Palvo service:\n\n" + refused.join('\n');
        if (accepted > 0)
            text += QString("\n\n%1 other picture(s) reached your frame.").arg(accepted);
        tell(MessageKind::Warning, text);
    }
    if (failure != 0)
        return std::int16_t(failure);
    if (cancelled) {
        if (accepted > 0)
            tell(MessageKind::Information,
                 QString("The upload was cancelled. %1 of %2 pictures had already reached your "
                         "frame; sending them again later does not show them twice.")
                     .arg(accepted)
                     .arg(n));
        return QUPLOAD_ERR_CANCELLED;
    }
    if (accepted == 0)
        return unreadable == refused.size() ? QUPLOAD_ERR_NO_FILES : QUPLOAD_ERR_REJECTED;
    if (refused.isEmpty())
        tell(MessageKind::Information,
             QString("%1 picture(s) were sent to your Palvo frame.").arg(accepted));
    return std::int16_t(std::min(accepted, 32767));
}

} // namespace

std::int16_t uploadImages(const UploadArgs& args) {
    return UploadRun(args).run();
}

} // namespace palvo::qupload
