#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace palvo {

struct RawDecodeOptions {
    int widthHint = -1;
    int heightHint = -1;
    // The fixed display settings: automatic white balance, quick
    // interpolation, no four-colour interpolation, brightness 1.
    bool bestDisplay = true;
};

struct RawDecoded {
    QImage image; // Format_RGB888, upright
    QString error;
};

// Decodes a camera raw file held in memory with LibRaw: half size when the
// hints are at most 1800 x 1400, the embedded preview when they are at most
// 150 x 100 and the file has one.
[[nodiscard]] RawDecoded decodeRaw(const QByteArray& bytes, const RawDecodeOptions& options);

} // namespace palvo
