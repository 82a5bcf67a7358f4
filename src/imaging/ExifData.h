#pragma once

#include <QByteArray>

namespace palvo {

// EXIF handling on bytes the program has read itself (exiv2 is never given a
// path: it would open URLs and standard input). Every function catches all
// errors of the metadata library.

// The orientation (1..8) stored in an EXIF TIFF structure (the payload of a
// JPEG's APP1 segment after "Exif\0\0"); 1 when absent, unreadable or out of
// range.
[[nodiscard]] int exifOrientation(const QByteArray& tiffData);

// The orientation of a whole TIFF or PNG file held in memory; 1 when absent.
[[nodiscard]] int containerExifOrientation(const QByteArray& fileBytes);

// Rewrites an EXIF TIFF structure for pixels that are now upright and
// width x height: orientation 1, the stored pixel dimensions corrected and
// the embedded thumbnail removed (it would show the old turn). Returns false,
// leaving tiffData alone, when the structure cannot be read.
[[nodiscard]] bool uprightExif(QByteArray& tiffData, int width, int height);

// Sets the orientation tag of an EXIF TIFF structure, creating the structure
// when tiffData is empty. False when the structure cannot be read.
[[nodiscard]] bool setExifOrientation(QByteArray& tiffData, int orientation);

} // namespace palvo
