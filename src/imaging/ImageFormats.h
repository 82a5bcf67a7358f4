#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace palvo {

// File type numbers (TImageProperties::FileType).
enum ImageFileType : int {
    ioUnknown = 0,
    ioTIFF = 1,
    ioGIF = 2,
    ioJPEG = 3,
    ioPCX = 4,
    ioBMP = 5,
    ioICO = 6,
    ioCUR = 7,
    ioPNG = 8,
    ioWMF = 9,
    ioEMF = 10,
    ioTGA = 11,
    ioPXM = 12,
    ioRAW = 20,
};

// Raises Qt's image reader allocation limit to ours, once per process (safe
// to call from any thread).
void ensureQtAllocationLimit();

// Reads a whole picture file into memory; refuses missing, empty and
// oversized files with a reason in error.
[[nodiscard]] QByteArray readPictureFile(const QString& fileName, QString& error);

// The file type told by the first bytes of a file (ioUnknown when none).
[[nodiscard]] int detectFileType(const QByteArray& bytes);

// The file type of a name's extension (compared without regard to case).
[[nodiscard]] int fileTypeForExtension(const QString& fileName);

struct DecodedPicture {
    QImage image;         // Format_RGB888, upright
    int bitsPerPixel = 0; // of the file
    int fileType = ioUnknown;
    QString error;
};

// Decodes a non-JPEG picture of the given type through Qt's readers (first
// page or frame only), refusing sizes above the pixel budget before any
// pixels are decoded. The result is 24-bit RGB with transparency composited
// onto white and the EXIF orientation (TIFF, PNG) applied.
[[nodiscard]] DecodedPicture decodeWithQt(const QByteArray& bytes, int fileType);

// Header-only read through Qt: size and bits per pixel; false if unreadable.
[[nodiscard]] bool readQtHeader(const QByteArray& bytes, int fileType, QSize& size,
                                int& bitsPerPixel);

// The picture as 24-bit RGB (alpha composited onto white).
[[nodiscard]] QImage toRgb24(const QImage& image);

// The picture reduced to a palette of at most 256 colours (median cut);
// a null image on failure.
[[nodiscard]] QImage reduceTo256Colours(const QImage& image);

// Encodes in the given file type (not JPEG): GIF through giflib, the others
// through Qt's writers. Empty on failure.
[[nodiscard]] QByteArray encodePicture(const QImage& image, int fileType);

} // namespace palvo
