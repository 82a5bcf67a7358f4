#pragma once

#include <cstdint>
#include <string>

namespace palvo::service {

// What a frame accepts: a baseline or progressive JPEG no larger than these.
struct FrameLimits {
    int maxWidth = 640;
    int maxHeight = 480;
    std::int64_t maxBytes = 65499;
};

struct JpegCheck {
    bool ok = false;
    int status = 0;     // HTTP status for a refusal (413, 415, 422)
    std::string reason; // why the picture was refused, for the user
    int width = 0;
    int height = 0;
};

// Checks that the bytes are one complete, decodable JPEG within the limits.
// The header is read first, so a huge picture is refused before any decode;
// the full decode treats every libjpeg warning (truncation, corrupt data) as
// a refusal and stops after a bounded number of progressive scans.
JpegCheck checkJpeg(const std::string& bytes, const FrameLimits& limits);

} // namespace palvo::service
