#pragma once

#include <QByteArray>
#include <vector>

namespace palvo {

// The marker segments of a JPEG file in front of its first scan. Our own
// small parser: it trusts nothing in the file and never reads past the end.
struct JpegSegment {
    unsigned char marker = 0; // the byte after 0xFF (0xE1 for APP1 ...)
    qsizetype offset = 0;     // where the 0xFF of the marker is
    qsizetype size = 0;       // the whole segment: marker, length field and payload
};

// The segments between SOI and the first SOS (SOS included), in file order;
// empty when the data does not start with SOI. Parsing stops quietly at the
// first malformed segment.
[[nodiscard]] std::vector<JpegSegment> jpegHeaderSegments(const QByteArray& jpeg);

// The TIFF structure of the first "Exif\0\0" APP1 segment, empty if none.
[[nodiscard]] QByteArray jpegExifPayload(const QByteArray& jpeg);

// The file with its EXIF APP1 segment replaced by one holding tiffData (an
// empty tiffData removes it). Without an EXIF segment, one is inserted after
// SOI and any JFIF APP0. Returns an empty array when the file is not a JPEG
// or the payload does not fit one segment.
[[nodiscard]] QByteArray jpegWithExifPayload(const QByteArray& jpeg, const QByteArray& tiffData);

// An APP1 segment ("Exif\0\0" + tiffData) ready to be written, or empty when
// tiffData does not fit one segment.
[[nodiscard]] QByteArray exifApp1Segment(const QByteArray& tiffData);

} // namespace palvo
