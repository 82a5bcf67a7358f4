#pragma once

#include <QByteArray>
#include <QString>

#include "imaging/Orientation.h"

namespace palvo {

struct JpegTurnResult {
    QByteArray data;        // the turned file; empty on failure
    bool reencoded = false; // the size was not whole blocks, so the pixels were re-encoded
    QString error;
};

// The transform the lossless JPEG path uses for a turn, and whether it
// needs the width and the height to be whole MCUs to be perfect.
struct JpegTransformNeeds {
    int tjOperation = 0; // TJXOP_*
    bool wholeWidth = false;
    bool wholeHeight = false;
};
[[nodiscard]] JpegTransformNeeds jpegTransformFor(const PictureTurn& turn);

// Turns a JPEG file held in memory by userTurn as the user sees it: the
// stored EXIF orientation is composed with the turn into one transform.
// Done in the DCT domain when the picture is whole MCUs in the directions
// that need it (every marker copied), otherwise decoded, turned and
// re-encoded at the file's estimated quality with its markers kept. The
// result carries Orientation 1, correct pixel dimensions and no stale EXIF
// thumbnail.
[[nodiscard]] JpegTurnResult turnJpeg(const QByteArray& jpeg, const PictureTurn& userTurn);

} // namespace palvo
