// libFuzzer target for the program's own parsing of picture files: the JPEG
// marker walk, the EXIF orientation and rewrite, content sniffing and the
// JPEG header and scaled decode with their limits. Built with clang only
// (-DPALVO_FUZZ=ON, see README.md here).
#include "imaging/ExifData.h"
#include "imaging/ImageFormats.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"
#include "imaging/LosslessJpeg.h"

#include <cstddef>
#include <cstdint>

using namespace palvo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)detectFileType(bytes);
    (void)jpegHeaderSegments(bytes);
    QByteArray exif = jpegExifPayload(bytes);
    (void)exifOrientation(exif);
    (void)exifOrientation(bytes); // the input as a bare TIFF structure
    QByteArray copy(bytes);
    (void)uprightExif(copy, 640, 480);
    (void)jpegWithExifPayload(bytes, copy);
    JpegHeader header;
    if (readJpegHeader(bytes, header)) {
        (void)decodeJpeg(bytes, 8);
        if (header.width <= 512 && header.height <= 512) {
            (void)turnJpeg(bytes, kTurnRight);
        }
    }
    return 0;
}
