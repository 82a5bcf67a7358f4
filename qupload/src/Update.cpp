#include "Update.h"

#include "Config.h"
#include "Http.h"
#include "Policy.h"
#include "UserState.h"
#include "ui/Messages.h"

#include <QUploadApi.h>

#include <QDesktopServices>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QUrlQuery>

namespace palvo::qupload {

std::int16_t checkForUpdate(QWidget* parent, const QString& programName, const QString& version,
                            bool interactive) {
    const QString title = programName.isEmpty() ? QString("Palvo") : programName;
    auto tell = [&](MessageKind kind, const QString& text) {
        if (interactive)
            showMessage(parent, kind, title, text);
    };
    const LibraryConfig config = LibraryConfig::load();
    const QString base = config.serverBase();
    if (base.isEmpty()) {
        tell(MessageKind::Error, "No Palvo service is configured: the [Service] section of "
                                 "QUpload.dat needs a SERVER address.");
        return QUPLOAD_ERR_CONFIG;
    }
    HttpClient client(config, UserState::load().proxy, QEventLoop::ExcludeUserInputEvents);
    QUrl url(base + "/api/update");
    url.setQuery(QUrlQuery{{"program", programName}, {"version", version}});
    HttpRequest req;
    req.url = url.toString(QUrl::FullyEncoded);
    req.maxResponseBytes = 64 * 1024;
    const HttpResult r = client.performWithRetries(req);
    const QJsonObject manifest = QJsonDocument::fromJson(r.body).object();
    if (!r.ok() || manifest.isEmpty()) {
        tell(MessageKind::Error,
             "The update check could not reach the Palvo service.\n\n" +
                 (r.delivered() ? QString("HTTP status %1").arg(r.status) : r.error));
        return r.delivered() ? QUPLOAD_ERR_SERVER : QUPLOAD_ERR_NETWORK;
    }
    const QString latest = manifest["version"].toString();
    if (latest.isEmpty() || compareVersions(latest, version) <= 0) {
        tell(MessageKind::Information,
             QString("%1 is up to date (version %2).").arg(title, version));
        return 0;
    }
    const QUrl download(manifest["url"].toString(), QUrl::StrictMode);
    const QString scheme = download.scheme().toLower();
    const QString notes = manifest["notes"].toString();
    QString offer = QString("A new version of %1 is available: version %2 (this is version %3).")
                        .arg(title, latest, version);
    if (!notes.isEmpty())
        offer += "\n\n" + notes;
    if (!download.isValid() || (scheme != "http" && scheme != "https")) {
        showMessage(parent, MessageKind::Information, title,
                    offer + "\n\nPlease visit the Palvo web site to get it.");
        return 0;
    }
    if (!showMessage(parent, MessageKind::Question, title,
                     offer + "\n\nDo you want to install it now?"))
        return 0;
    if (!QDesktopServices::openUrl(download)) {
        showMessage(parent, MessageKind::Error, title,
                    "The update could not be opened: " + download.toString());
        return 0;
    }
    if (manifest["mustExit"].toBool(true)) {
        showMessage(parent, MessageKind::Information, title,
                    QString("%1 will now close so that the update can be installed.").arg(title));
        return QUPLOAD_UPDATE_MUST_EXIT;
    }
    return 1;
}

} // namespace palvo::qupload
