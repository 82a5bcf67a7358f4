#pragma once

#include <QString>

namespace palvo {

// The receiver's limits and the service's web addresses, from "QUpload.dat"
// in the program folder. Filled once at start-up; read-only afterwards.
struct ServiceConfig {
    QString GeneralWebsite;
    QString SignupWebsite;
    QString SupportWebsite;
    int MaxWidth = 640;
    int MaxHeight = 480;
    int MaxSize = 65499;
    QString InstallVersion;
};

inline constexpr const char* kServiceConfigFileName = "QUpload.dat";

// Reads the file of the program folder (with a trailing "/"). A missing file
// leaves the defaults; a present file that can't be read raises EError.
[[nodiscard]] ServiceConfig LoadURLsFromINI(const QString& programFolder);

// The upload library's own logging switch: writes "True" or "False" to
// [Other] DEBUGGING, only when the file exists. False when nothing was written.
bool WriteUploadLogging(const QString& programFolder, bool enabled);

} // namespace palvo
