#pragma once

// Pictures the imaging tests make for themselves.

#include "imaging/ExifData.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdlib>

namespace palvo::test {

// A smooth two-way gradient with a diagonal ripple: not flat, compresses
// like a photo, and every region is distinguishable.
inline QImage gradientImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = uchar(x * 255 / std::max(1, width - 1));
            p[1] = uchar(y * 255 / std::max(1, height - 1));
            p[2] = uchar(((x + y) * 4) & 0xFF);
        }
    }
    return image;
}

// Four solid quadrants (red, green, blue, white): a turn or mirror is
// recognisable from any corner.
inline QImage quadrantImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            const QRgb c = !right && !bottom  ? qRgb(220, 20, 20)
                           : right && !bottom ? qRgb(20, 220, 20)
                           : !right && bottom ? qRgb(20, 20, 220)
                                              : qRgb(235, 235, 235);
            p[0] = uchar(qRed(c));
            p[1] = uchar(qGreen(c));
            p[2] = uchar(qBlue(c));
        }
    }
    return image;
}

// The largest difference of any channel of any pixel; 256 when the sizes differ.
inline int maxDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 256;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    int worst = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            worst = std::max(worst, std::abs(int(p[i]) - int(q[i])));
        }
    }
    return worst;
}

// The mean absolute difference over all channels; 256 when the sizes differ.
inline double meanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 256;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            sum += std::abs(int(p[i]) - int(q[i]));
        }
    }
    return sum / (double(x.width()) * x.height() * 3);
}

// A JPEG whose EXIF (written with exiv2) carries the given orientation.
inline QByteArray jpegWithOrientation(const QImage& image, int orientation, int quality = 95) {
    QByteArray exif;
    if (!setExifOrientation(exif, orientation)) {
        return {};
    }
    JpegEncodeOptions options;
    options.quality = quality;
    options.extraSegments = exifApp1Segment(exif);
    return encodeJpeg(image, options);
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace palvo::test
