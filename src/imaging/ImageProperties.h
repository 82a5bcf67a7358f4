#pragma once

#include <QString>

namespace palvo {

// What the program knows of a picture file without keeping its pixels.
struct TImageProperties {
    int FileType = 0; // ImageFileType
    QString FileTypeName;
    int Width = 0; // full-size pixel dimensions, as shown (upright)
    int Height = 0;
    int BitsPerPixel = 0;
    QString ColorsText;
    int JPEGScale = 1; // the reduction a JPEG was decoded with; 1 otherwise

    friend bool operator==(const TImageProperties&, const TImageProperties&) = default;
};

// The format-name table: "JPEG Image", "PNG Image" ... "Unknown".
[[nodiscard]] QString FileTypeName(int fileType);

// The colour-count table: "2", "256", "16 Million" ... "Unknown". A bit
// depth of 15 counts as 16.
[[nodiscard]] QString ColorsText(int bitsPerPixel);

// The record filled from the parts that were read (a file type of 0 gives
// the empty record).
[[nodiscard]] TImageProperties makeImageProperties(int fileType, int width, int height,
                                                   int bitsPerPixel, int jpegScale);

} // namespace palvo
