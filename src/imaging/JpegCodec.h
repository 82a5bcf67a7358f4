#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace palvo {

// JPEG decoding and encoding through libjpeg-turbo, with the program's
// limits on pixels, decoder memory and scans.

struct JpegHeader {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false;
    int mcuWidth = 8;  // pixels per MCU, across
    int mcuHeight = 8; // and down
    int quality = 0;   // estimated from the luminance quantisation table, 1..100
};

// Reads the header only; false for anything that is not a readable JPEG.
[[nodiscard]] bool readJpegHeader(const QByteArray& data, JpegHeader& header);

// The reduction (1, 2, 4 or 8) a decode may use so that the decoded picture
// still covers widthHint x heightHint; 1 without usable hints (either <= 0).
[[nodiscard]] int chooseJpegScale(int width, int height, int widthHint, int heightHint);

struct JpegDecoded {
    QImage image;         // Format_RGB888, as stored (no EXIF turn applied)
    int scale = 1;        // the reduction used
    bool damaged = false; // the data ended early or was corrupt: a partial picture
    QByteArray exif;      // the TIFF structure of the EXIF segment, if any
    QString error;        // why the decode failed (image is null then)
};

// Decodes at 1/scale (1, 2, 4 or 8). Refuses pictures above the pixel budget
// and files whose decoder memory or scan count would exceed the limits.
[[nodiscard]] JpegDecoded decodeJpeg(const QByteArray& data, int scale = 1);

struct JpegEncodeOptions {
    int quality = 90;
    // Chroma subsampling factors of the luminance component (2 x 2 = 4:2:0).
    int lumaHSamp = 2;
    int lumaVSamp = 2;
    // Complete marker segments (0xFF 0xEn ...) written after the JFIF header.
    QByteArray extraSegments;
    bool writeJfif = true;
};

// Baseline JPEG, standard Huffman tables (no optimisation), no smoothing;
// no markers beyond JFIF and the given extra segments. Empty on failure.
[[nodiscard]] QByteArray encodeJpeg(const QImage& image, const JpegEncodeOptions& options);

// The quality (1..100) whose standard luminance table is nearest to the
// given quantisation table in natural order.
[[nodiscard]] int estimateJpegQuality(const unsigned short* lumaTable64);

} // namespace palvo
