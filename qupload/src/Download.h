#pragma once

#include <QString>

namespace palvo::qupload {

// Fetches one http(s) address (redirects to http(s) followed, at most 5) to
// the target path. The body goes into a new temporary file beside the target,
// is cut off as soon as it passes DOWNLOAD_MAX_BYTES, and replaces the target
// by a rename only when the whole file arrived with a 2xx status; a symlink at
// the target is replaced, never followed. True only then.
bool downloadFile(const QString& address, const QString& targetPath);

} // namespace palvo::qupload
