#include "imaging/ExifData.h"

#include "imaging/Orientation.h"

#include <exiv2/exiv2.hpp>

namespace palvo {

namespace {

// exiv2 writes its complaints about damaged metadata to standard error;
// damaged metadata is ordinary here and handled by the callers.
void quietExiv2() {
    static const bool muted = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return true;
    }();
    (void)muted;
}

const Exiv2::byte* bytesOf(const QByteArray& data) {
    return reinterpret_cast<const Exiv2::byte*>(data.constData());
}

int orientationOf(const Exiv2::ExifData& exif) {
    const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (it == exif.end() || it->count() < 1) {
        return 1;
    }
    return sanitizeOrientation(static_cast<int>(it->toLong(0)));
}

bool decode(const QByteArray& tiffData, Exiv2::ExifData& exif, Exiv2::ByteOrder& order) {
    quietExiv2();
    if (tiffData.isEmpty()) {
        return false;
    }
    order = Exiv2::ExifParser::decode(exif, bytesOf(tiffData), uint32_t(tiffData.size()));
    return order != Exiv2::invalidByteOrder;
}

QByteArray encode(const Exiv2::ExifData& exif, Exiv2::ByteOrder order) {
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, order, exif);
    return QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
}

void setIfPresent(Exiv2::ExifData& exif, const char* key, int value) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    if (it != exif.end()) {
        it->setValue(std::to_string(value));
    }
}

} // namespace

int exifOrientation(const QByteArray& tiffData) {
    try {
        Exiv2::ExifData exif;
        Exiv2::ByteOrder order;
        return decode(tiffData, exif, order) ? orientationOf(exif) : 1;
    } catch (...) {
        return 1;
    }
}

int containerExifOrientation(const QByteArray& fileBytes) {
    try {
        quietExiv2();
        auto image = Exiv2::ImageFactory::open(bytesOf(fileBytes), long(fileBytes.size()));
        if (!image.get()) {
            return 1;
        }
        image->readMetadata();
        return orientationOf(image->exifData());
    } catch (...) {
        return 1;
    }
}

bool uprightExif(QByteArray& tiffData, int width, int height) {
    try {
        Exiv2::ExifData exif;
        Exiv2::ByteOrder order;
        if (!decode(tiffData, exif, order)) {
            return false;
        }
        const auto it = exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
        if (it != exif.end()) {
            it->setValue("1");
        }
        setIfPresent(exif, "Exif.Photo.PixelXDimension", width);
        setIfPresent(exif, "Exif.Photo.PixelYDimension", height);
        setIfPresent(exif, "Exif.Image.ImageWidth", width);
        setIfPresent(exif, "Exif.Image.ImageLength", height);
        Exiv2::ExifThumb(exif).erase();
        tiffData = encode(exif, order);
        return true;
    } catch (...) {
        return false;
    }
}

bool setExifOrientation(QByteArray& tiffData, int orientation) {
    try {
        Exiv2::ExifData exif;
        Exiv2::ByteOrder order = Exiv2::littleEndian;
        if (!tiffData.isEmpty() && !decode(tiffData, exif, order)) {
            return false;
        }
        exif["Exif.Image.Orientation"] = static_cast<uint16_t>(orientation);
        tiffData = encode(exif, order);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace palvo
