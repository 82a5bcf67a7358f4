#include "Policy.h"

#include <curl/curl.h>

#include <QList>
#include <QRegularExpression>

#include <algorithm>

namespace palvo::qupload {

bool isTransientFailure(int curlCode, long httpStatus) {
    switch (curlCode) {
    case CURLE_OK:
        return httpStatus == 408 || httpStatus == 429 || httpStatus == 502 || httpStatus == 503 ||
               httpStatus == 504;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
        return true;
    default:
        return false;
    }
}

int retryDelayMs(int attempt, int firstDelayMs) {
    if (attempt < 1 || firstDelayMs <= 0)
        return 0;
    const qint64 delay = qint64(firstDelayMs) << std::min(attempt - 1, 20);
    return int(std::min<qint64>(delay, 30000));
}

int compareVersions(const QString& a, const QString& b) {
    static const QRegularExpression digits("\\d+");
    auto numbers = [](const QString& s) {
        QList<qulonglong> out;
        for (auto it = digits.globalMatch(s); it.hasNext();)
            out.append(it.next().captured().left(18).toULongLong());
        return out;
    };
    const QList<qulonglong> x = numbers(a), y = numbers(b);
    for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
        const qulonglong u = i < x.size() ? x[i] : 0, v = i < y.size() ? y[i] : 0;
        if (u != v)
            return u < v ? -1 : 1;
    }
    return 0;
}

bool isPositiveDecimal(const char* text) {
    if (!text || !*text)
        return false;
    bool ok = false;
    const int v = QString::fromLatin1(text).toInt(&ok, 10);
    return ok && v > 0;
}

} // namespace palvo::qupload
