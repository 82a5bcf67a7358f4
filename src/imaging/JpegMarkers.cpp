#include "imaging/JpegMarkers.h"

namespace palvo {

namespace {

constexpr unsigned char kSOI = 0xD8;
constexpr unsigned char kSOS = 0xDA;
constexpr unsigned char kAPP0 = 0xE0;
constexpr unsigned char kAPP1 = 0xE1;
const QByteArray kExifHeader("Exif\0\0", 6);
constexpr qsizetype kMaxSegmentPayload = 65533; // 16-bit length minus the length field

unsigned char byteAt(const QByteArray& data, qsizetype i) {
    return static_cast<unsigned char>(data[i]);
}

bool isExifSegment(const QByteArray& jpeg, const JpegSegment& s) {
    return s.marker == kAPP1 && s.size >= 4 + kExifHeader.size() &&
           jpeg.mid(s.offset + 4, kExifHeader.size()) == kExifHeader;
}

bool isJfifSegment(const QByteArray& jpeg, const JpegSegment& s) {
    return s.marker == kAPP0 && s.size >= 9 && jpeg.mid(s.offset + 4, 5) == QByteArray("JFIF\0", 5);
}

} // namespace

std::vector<JpegSegment> jpegHeaderSegments(const QByteArray& jpeg) {
    std::vector<JpegSegment> segments;
    if (jpeg.size() < 4 || byteAt(jpeg, 0) != 0xFF || byteAt(jpeg, 1) != kSOI) {
        return segments;
    }
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size()) {
        if (byteAt(jpeg, pos) != 0xFF) {
            break;
        }
        // Fill bytes: any number of 0xFF may precede a marker.
        qsizetype m = pos + 1;
        while (m < jpeg.size() && byteAt(jpeg, m) == 0xFF) {
            ++m;
        }
        if (m + 2 >= jpeg.size()) {
            break;
        }
        const unsigned char marker = byteAt(jpeg, m);
        if (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD9)) {
            break; // stuffed byte, restart or SOI/EOI: not a header segment
        }
        const qsizetype length = (qsizetype(byteAt(jpeg, m + 1)) << 8) | byteAt(jpeg, m + 2);
        if (length < 2 || m + 1 + length > jpeg.size()) {
            break;
        }
        segments.push_back({marker, m - 1, m + 1 + length - (m - 1)});
        if (marker == kSOS) {
            break;
        }
        pos = m + 1 + length;
    }
    return segments;
}

QByteArray jpegExifPayload(const QByteArray& jpeg) {
    for (const JpegSegment& s : jpegHeaderSegments(jpeg)) {
        if (isExifSegment(jpeg, s)) {
            const qsizetype start = s.offset + 4 + kExifHeader.size();
            return jpeg.mid(start, s.offset + s.size - start);
        }
    }
    return {};
}

QByteArray exifApp1Segment(const QByteArray& tiffData) {
    const qsizetype payload = kExifHeader.size() + tiffData.size();
    if (tiffData.isEmpty() || payload > kMaxSegmentPayload) {
        return {};
    }
    QByteArray segment;
    segment.reserve(payload + 4);
    segment.append(char(0xFF)).append(char(kAPP1));
    segment.append(char(((payload + 2) >> 8) & 0xFF)).append(char((payload + 2) & 0xFF));
    segment.append(kExifHeader).append(tiffData);
    return segment;
}

QByteArray jpegWithExifPayload(const QByteArray& jpeg, const QByteArray& tiffData) {
    const std::vector<JpegSegment> segments = jpegHeaderSegments(jpeg);
    if (segments.empty()) {
        return {};
    }
    const QByteArray segment = exifApp1Segment(tiffData);
    if (!tiffData.isEmpty() && segment.isEmpty()) {
        return {};
    }
    for (const JpegSegment& s : segments) {
        if (isExifSegment(jpeg, s)) {
            QByteArray result = jpeg;
            result.replace(s.offset, s.size, segment);
            return result;
        }
    }
    if (segment.isEmpty()) {
        return jpeg;
    }
    qsizetype insertAt = 2;
    if (isJfifSegment(jpeg, segments.front())) {
        insertAt = segments.front().offset + segments.front().size;
    }
    QByteArray result = jpeg;
    result.insert(insertAt, segment);
    return result;
}

} // namespace palvo
