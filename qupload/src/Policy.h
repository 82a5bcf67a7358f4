#pragma once

#include <QString>

namespace palvo::qupload {

// Whether a failed exchange is worth another attempt: no connection, a
// time-out, a broken connection, or the service saying it is busy or down
// for a moment (HTTP 408, 429, 502, 503, 504). curlCode is a CURLcode.
[[nodiscard]] bool isTransientFailure(int curlCode, long httpStatus);

// The wait before attempt number `attempt` (1 for the first retry): the
// first delay doubled for every further attempt, at most 30 s.
[[nodiscard]] int retryDelayMs(int attempt, int firstDelayMs);

// Compares two version texts by their numbers ("1.0.4.3" < "1.0.10",
// "v1.04" = "1.4"); missing numbers count as 0. Returns -1, 0 or 1.
[[nodiscard]] int compareVersions(const QString& a, const QString& b);

// Whether a list of width or height texts holds one positive decimal
// integer per file.
[[nodiscard]] bool isPositiveDecimal(const char* text);

} // namespace palvo::qupload
