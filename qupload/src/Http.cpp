#include "Http.h"

#include "Policy.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QUrl>

#include <memory>
#include <mutex>

namespace palvo::qupload {

namespace {

struct Exchange {
    const HttpRequest* request = nullptr;
    QByteArray body;
    qint64 received = 0;
    bool tooLarge = false;
    bool sinkStopped = false;
    TransferProgress progress;
};

size_t onWrite(char* data, size_t size, size_t count, void* user) {
    auto* x = static_cast<Exchange*>(user);
    const size_t n = size * count;
    x->received += qint64(n);
    if (x->received > x->request->maxResponseBytes) {
        x->tooLarge = true;
        return 0;
    }
    if (x->request->sink) {
        if (!x->request->sink(data, n)) {
            x->sinkStopped = true;
            return 0;
        }
    } else {
        x->body.append(data, qsizetype(n));
    }
    return n;
}

int onProgress(void* user, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
               curl_off_t ulnow) {
    auto* x = static_cast<Exchange*>(user);
    x->progress = TransferProgress{qint64(ulnow), qint64(ultotal), qint64(dlnow), qint64(dltotal)};
    return 0;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
struct MimeDeleter {
    void operator()(curl_mime* m) const { curl_mime_free(m); }
};

void processEvents(QEventLoop::ProcessEventsFlags flags) {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(flags);
}

} // namespace

HttpClient::HttpClient(const LibraryConfig& config, const ProxySettings& proxy,
                       QEventLoop::ProcessEventsFlags flags)
    : m_config(config), m_proxy(proxy), m_flags(flags) {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

HttpResult HttpClient::perform(const HttpRequest& request, const TransferWatcher& watcher) {
    HttpResult result;
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!easy || !multi) {
        result.curlCode = CURLE_FAILED_INIT;
        result.error = "libcurl could not start";
        return result;
    }
    CURL* c = easy.get();
    Exchange x;
    x.request = &request;
    char errorText[CURL_ERROR_SIZE] = {};
    const QByteArray url = request.url.toUtf8();

    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "QUpload/1.0");
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(m_config.connectTimeoutS));
    curl_easy_setopt(c, CURLOPT_TIMEOUT, long(m_config.requestTimeoutS));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(m_config.stallTimeoutS));
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(request.maxResponseBytes));
    if (m_config.maxSendSpeed > 0) {
        // Small steps make a throttled upload even instead of one burst and a pause.
        curl_easy_setopt(c, CURLOPT_MAX_SEND_SPEED_LARGE, curl_off_t(m_config.maxSendSpeed));
        curl_easy_setopt(c, CURLOPT_UPLOAD_BUFFERSIZE, 16384L);
    }
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onWrite);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &x);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &x);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

    QByteArray proxyAddress, proxyUser, proxyPassword;
    switch (m_proxy.mode) {
    case ProxyMode::None:
        curl_easy_setopt(c, CURLOPT_PROXY, ""); // also ignores the proxy variables
        break;
    case ProxyMode::Manual:
        proxyAddress = m_proxy.host.trimmed().toUtf8();
        if (!proxyAddress.contains("://"))
            proxyAddress.prepend("http://");
        proxyAddress += ':' + QByteArray::number(m_proxy.port);
        curl_easy_setopt(c, CURLOPT_PROXY, proxyAddress.constData());
        if (!m_proxy.user.isEmpty()) {
            proxyUser = m_proxy.user.toUtf8();
            proxyPassword = m_proxy.password.toUtf8();
            curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxyUser.constData());
            curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
        }
        break;
    case ProxyMode::System:
        break; // libcurl reads http_proxy, https_proxy and no_proxy
    }

    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const QByteArray& h : request.headers)
        headers.reset(curl_slist_append(headers.release(), h.constData()));
    if (headers)
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

    std::unique_ptr<curl_mime, MimeDeleter> mime;
    QByteArray formBody;
    if (!request.parts.isEmpty()) {
        mime.reset(curl_mime_init(c));
        for (const HttpPart& p : request.parts) {
            curl_mimepart* part = curl_mime_addpart(mime.get());
            curl_mime_name(part, p.name.constData());
            curl_mime_data(part, p.data.constData(), size_t(p.data.size()));
            if (!p.fileName.isEmpty())
                curl_mime_filename(part, p.fileName.toUtf8().constData());
            if (!p.contentType.isEmpty())
                curl_mime_type(part, p.contentType.constData());
        }
        curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());
    } else if (request.post) {
        for (const auto& [k, v] : request.form) {
            if (!formBody.isEmpty())
                formBody += '&';
            formBody += QUrl::toPercentEncoding(QString::fromUtf8(k)) + '=' +
                        QUrl::toPercentEncoding(QString::fromUtf8(v));
        }
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, long(formBody.size()));
        curl_easy_setopt(c, CURLOPT_COPYPOSTFIELDS, formBody.constData());
    }

    curl_multi_add_handle(multi.get(), c);
    int running = 1;
    while (true) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK || running == 0)
            break;
        curl_multi_poll(multi.get(), nullptr, 0, 20, nullptr);
        processEvents(m_flags);
        if (watcher && !watcher(x.progress)) {
            result.cancelled = true;
            break;
        }
    }
    int left = 0;
    while (CURLMsg* m = curl_multi_info_read(multi.get(), &left)) {
        if (m->msg == CURLMSG_DONE)
            result.curlCode = m->data.result;
    }
    if (running != 0 && !result.cancelled && result.curlCode == CURLE_OK)
        result.curlCode = CURLE_FAILED_INIT; // the multi interface itself failed
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &result.status);
    curl_multi_remove_handle(multi.get(), c);

    result.tooLarge = x.tooLarge || result.curlCode == CURLE_FILESIZE_EXCEEDED;
    result.cancelled = result.cancelled || x.sinkStopped;
    result.body = std::move(x.body);
    if (result.curlCode != CURLE_OK)
        result.error = QString::fromUtf8(
            errorText[0] ? errorText : curl_easy_strerror(CURLcode(result.curlCode)));
    return result;
}

bool HttpClient::wait(int ms, const TransferWatcher& watcher) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        processEvents(m_flags);
        if (watcher && !watcher(TransferProgress{}))
            return false;
        QThread::msleep(10);
    }
    return true;
}

HttpResult HttpClient::performWithRetries(const HttpRequest& request,
                                          const TransferWatcher& watcher,
                                          const std::function<void()>& beforeAttempt) {
    for (int attempt = 0;; ++attempt) {
        if (beforeAttempt)
            beforeAttempt();
        HttpResult r = perform(request, watcher);
        if (r.cancelled || r.tooLarge || attempt >= m_config.retries ||
            !isTransientFailure(r.curlCode, r.status))
            return r;
        const int delay = retryDelayMs(attempt + 1, m_config.retryDelayMs);
        if (m_retryNotice)
            m_retryNotice(attempt + 1, delay, r);
        if (!wait(delay, watcher)) {
            r.cancelled = true;
            return r;
        }
    }
}

} // namespace palvo::qupload
