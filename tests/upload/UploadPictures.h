// Pictures the upload tests make for themselves.
#pragma once

#include "imaging/ExifData.h"
#include "imaging/ImagingTestUtil.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"
#include "upload/UploadFixtures.h"

#include <QImage>
#include <QRandomGenerator>

namespace palvo::test {

inline QImage solidImage(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// Full-range noise: no JPEG quality brings a large one under a small cap
// without search.
inline QImage noiseImage(int width, int height, quint32 seed) {
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            p[x] = uchar(random.bounded(256));
    }
    return image;
}

// A JPEG file; exifOrientation above 1 adds an EXIF segment with that
// orientation, comment adds a COM segment.
inline bool writeJpeg(const QString& path, const QImage& image, int quality = 92,
                      int orientation = 1, const QByteArray& comment = {}) {
    JpegEncodeOptions options;
    options.quality = quality;
    if (orientation > 1) {
        QByteArray tiff;
        if (!setExifOrientation(tiff, orientation))
            return false;
        options.extraSegments = exifApp1Segment(tiff);
    }
    if (!comment.isEmpty()) {
        const int length = int(comment.size()) + 2;
        options.extraSegments +=
            QByteArray("\xFF\xFE", 2) + char(length >> 8) + char(length & 0xFF) + comment;
    }
    const QByteArray bytes = encodeJpeg(image, options);
    return !bytes.isEmpty() && putFile(path, bytes);
}

} // namespace palvo::test
