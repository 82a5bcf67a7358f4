#pragma once

#include "Config.h"
#include "UserState.h"

#include <QByteArray>
#include <QEventLoop>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace palvo::qupload {

struct HttpPart {
    QByteArray name;
    QByteArray data;
    QString fileName;       // empty: a plain field
    QByteArray contentType; // empty: libcurl's default
};

struct HttpRequest {
    QString url;
    bool post = false;
    QList<QByteArray> headers;                 // "Name: value"
    QList<QPair<QByteArray, QByteArray>> form; // url-encoded POST body
    QList<HttpPart> parts;                     // multipart/form-data POST body
    bool followRedirects = false;              // at most 5, http and https only
    qint64 maxResponseBytes = 4 * 1024 * 1024; // enforced while receiving
    // Receives the body instead of HttpResult::body; false stops the transfer.
    std::function<bool(const char* data, size_t size)> sink;
};

struct HttpResult {
    int curlCode = 0; // CURLcode
    long status = 0;  // HTTP status of the last response
    QByteArray body;
    QString error; // libcurl's description of a transport failure
    bool cancelled = false;
    bool tooLarge = false;

    bool delivered() const { return curlCode == 0 && !cancelled && !tooLarge; }
    bool ok() const { return delivered() && status >= 200 && status < 300; }
};

struct TransferProgress {
    qint64 sent = 0;
    qint64 sendTotal = 0;
    qint64 received = 0;
    qint64 receiveTotal = 0;
};

// Called about every 20 ms while a transfer runs or a retry waits; false cancels.
using TransferWatcher = std::function<bool(const TransferProgress&)>;

// HTTP(S) with libcurl on the caller's thread: the transfer runs in small
// steps between which the Qt events are processed (with the given flags), so
// the library's windows stay responsive and Cancel is seen within 20 ms.
// Every transfer uses the configured time-outs and the user's proxy settings.
class HttpClient {
public:
    HttpClient(const LibraryConfig& config, const ProxySettings& proxy,
               QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);

    // One attempt.
    HttpResult perform(const HttpRequest& request, const TransferWatcher& watcher = {});
    // Attempts again after a transient failure, waiting RETRY_DELAY_MS, then twice
    // as long, and so on, up to RETRIES more times. beforeAttempt runs before
    // every attempt (a download truncates its file there).
    HttpResult performWithRetries(const HttpRequest& request, const TransferWatcher& watcher = {},
                                  const std::function<void()>& beforeAttempt = {});

    // Told before every wait for another attempt: the attempt to come (1 for
    // the first retry), the wait, and the failure that caused it.
    using RetryNotice = std::function<void(int attempt, int delayMs, const HttpResult& failure)>;
    void setRetryNotice(RetryNotice notice) { m_retryNotice = std::move(notice); }

private:
    bool wait(int ms, const TransferWatcher& watcher);

    LibraryConfig m_config;
    ProxySettings m_proxy;
    QEventLoop::ProcessEventsFlags m_flags;
    RetryNotice m_retryNotice;
};

} // namespace palvo::qupload
