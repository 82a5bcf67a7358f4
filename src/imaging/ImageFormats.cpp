#include "imaging/ImageFormats.h"

#include "imaging/ExifData.h"
#include "imaging/ImageLimits.h"
#include "imaging/Orientation.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <gif_lib.h>

#include <cstring>
#include <mutex>
#include <vector>

namespace palvo {

namespace {

constexpr std::int64_t kMaxPaletteReductionPixels = 64'000'000;

const char* qtFormatName(int fileType) {
    switch (fileType) {
    case ioTIFF:
        return "tiff";
    case ioGIF:
        return "gif";
    case ioBMP:
        return "bmp";
    case ioICO:
        return "ico";
    case ioCUR:
        return "cur";
    case ioPNG:
        return "png";
    case ioTGA:
        return "tga";
    case ioPXM:
        return "ppm";
    default:
        return nullptr;
    }
}

bool startsWith(const QByteArray& bytes, const char* magic, qsizetype length) {
    return bytes.size() >= length && std::memcmp(bytes.constData(), magic, size_t(length)) == 0;
}

// TGA has no signature: judge the fixed header fields.
bool looksLikeTga(const QByteArray& bytes) {
    if (bytes.size() < 18) {
        return false;
    }
    const auto* h = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int colorMapType = h[1];
    const int imageType = h[2];
    const int depth = h[16];
    const bool typeOk = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                        imageType == 10 || imageType == 11;
    const bool depthOk = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
    const int width = h[12] | (h[13] << 8);
    const int height = h[14] | (h[15] << 8);
    return colorMapType <= 1 && typeOk && depthOk && width > 0 && height > 0;
}

int bitsOfFormat(QImage::Format format) {
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
        return 8;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444:
        return 16;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32:
    case QImage::Format_RGBX8888:
        return 24;
    case QImage::Format_Invalid:
        return 0;
    default:
        return 32;
    }
}

} // namespace

void ensureQtAllocationLimit() {
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(kQtAllocationLimitMB); });
}

QByteArray readPictureFile(const QString& fileName, QString& error) {
    QFile file(fileName);
    const QFileInfo info(fileName);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Cannot open the file");
        return {};
    }
    if (file.size() < 1) {
        error = QStringLiteral("The file is empty");
        return {};
    }
    if (file.size() > kMaxPictureFileBytes) {
        error = QStringLiteral("The file is too large");
        return {};
    }
    QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) {
        error = QStringLiteral("Cannot read the file");
    }
    return bytes;
}

int detectFileType(const QByteArray& bytes) {
    if (startsWith(bytes, "\xFF\xD8\xFF", 3)) {
        return ioJPEG;
    }
    if (startsWith(bytes, "\x89PNG\r\n\x1A\n", 8)) {
        return ioPNG;
    }
    if (startsWith(bytes, "GIF87a", 6) || startsWith(bytes, "GIF89a", 6)) {
        return ioGIF;
    }
    if (startsWith(bytes, "II*\0", 4) || startsWith(bytes, "MM\0*", 4)) {
        return ioTIFF;
    }
    if (startsWith(bytes, "BM", 2) && bytes.size() >= 26) {
        return ioBMP;
    }
    if (startsWith(bytes, "\0\0\1\0", 4) && bytes.size() >= 22) {
        return ioICO;
    }
    if (startsWith(bytes, "\0\0\2\0", 4) && bytes.size() >= 22) {
        return ioCUR;
    }
    if (bytes.size() >= 128 && bytes[0] == '\x0A' && uchar(bytes[1]) <= 5 && bytes[2] == '\x01') {
        return ioPCX;
    }
    if (bytes.size() >= 3 && bytes[0] == 'P' && bytes[1] >= '1' && bytes[1] <= '6' &&
        QByteArray(" \t\r\n").contains(bytes[2])) {
        return ioPXM;
    }
    if (looksLikeTga(bytes)) {
        return ioTGA;
    }
    return ioUnknown;
}

int fileTypeForExtension(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == u"jpg" || ext == u"jpeg" || ext == u"jpe") {
        return ioJPEG;
    }
    if (ext == u"tif" || ext == u"tiff") {
        return ioTIFF;
    }
    if (ext == u"gif") {
        return ioGIF;
    }
    if (ext == u"bmp" || ext == u"dib") {
        return ioBMP;
    }
    if (ext == u"png") {
        return ioPNG;
    }
    if (ext == u"ico") {
        return ioICO;
    }
    if (ext == u"cur") {
        return ioCUR;
    }
    if (ext == u"pcx") {
        return ioPCX;
    }
    if (ext == u"tga") {
        return ioTGA;
    }
    if (ext == u"ppm" || ext == u"pgm" || ext == u"pbm" || ext == u"pnm") {
        return ioPXM;
    }
    return ioUnknown;
}

QImage toRgb24(const QImage& image) {
    if (image.isNull() || image.format() == QImage::Format_RGB888) {
        return image;
    }
    if (!image.hasAlphaChannel()) {
        return image.convertToFormat(QImage::Format_RGB888);
    }
    QImage result(image.size(), QImage::Format_RGB888);
    if (result.isNull()) {
        return result;
    }
    result.fill(Qt::white);
    QPainter painter(&result);
    painter.drawImage(0, 0, image);
    painter.end();
    return result;
}

bool readQtHeader(const QByteArray& bytes, int fileType, QSize& size, int& bitsPerPixel) {
    const char* format = qtFormatName(fileType);
    if (!format) {
        return false;
    }
    QByteArray copy = bytes; // QBuffer needs a non-const array; shares the data
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead()) {
        return false;
    }
    size = reader.size();
    bitsPerPixel = bitsOfFormat(reader.imageFormat());
    if (fileType == ioGIF && bytes.size() > 10) {
        // The global colour table size: 2^(n + 1) colours.
        bitsPerPixel = (uchar(bytes[10]) & 0x80) ? (uchar(bytes[10]) & 7) + 1 : 8;
    }
    return size.isValid();
}

DecodedPicture decodeWithQt(const QByteArray& bytes, int fileType) {
    DecodedPicture result;
    result.fileType = fileType;
    const char* format = qtFormatName(fileType);
    if (!format) {
        result.error = QStringLiteral("Unsupported picture format");
        return result;
    }
    ensureQtAllocationLimit();
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(false);
    if (!reader.canRead()) {
        result.error = QStringLiteral("Not a picture of this kind");
        return result;
    }
    const QSize size = reader.size();
    if (size.isValid() && !withinPixelBudget(size.width(), size.height())) {
        result.error = QStringLiteral("Picture too large");
        return result;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        result.error = reader.errorString();
        return result;
    }
    if (!withinPixelBudget(image.width(), image.height())) {
        result.error = QStringLiteral("Picture too large");
        return result;
    }
    result.bitsPerPixel = bitsOfFormat(image.format());
    result.image = toRgb24(image);
    if (result.image.isNull()) {
        result.error = QStringLiteral("Not enough memory for the picture");
        return result;
    }
    if (fileType == ioTIFF || fileType == ioPNG) {
        result.image = applyTurn(result.image, turnForOrientation(containerExifOrientation(bytes)));
    }
    return result;
}

QImage reduceTo256Colours(const QImage& image) {
    if (image.isNull()) {
        return {};
    }
    if (image.format() == QImage::Format_Indexed8 && image.colorCount() <= 256) {
        return image;
    }
    // The median cut works on separate planes: four bytes a pixel on top of
    // the picture. Palette pictures this large make no sense anyway.
    if (std::int64_t(image.width()) * image.height() > kMaxPaletteReductionPixels) {
        return {};
    }
    const QImage rgb = toRgb24(image);
    const int w = rgb.width();
    const int h = rgb.height();
    const std::size_t n = std::size_t(w) * std::size_t(h);
    std::vector<GifByteType> r(n), g(n), b(n), indices(n);
    for (int y = 0; y < h; ++y) {
        const uchar* p = rgb.constScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
            r[i] = p[0];
            g[i] = p[1];
            b[i] = p[2];
        }
    }
    int colours = 256;
    GifColorType palette[256];
    if (GifQuantizeBuffer(unsigned(w), unsigned(h), &colours, r.data(), g.data(), b.data(),
                          indices.data(), palette) != GIF_OK) {
        return {};
    }
    QImage result(w, h, QImage::Format_Indexed8);
    if (result.isNull()) {
        return result;
    }
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i) {
        table.append(qRgb(palette[i].Red, palette[i].Green, palette[i].Blue));
    }
    result.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        std::memcpy(result.scanLine(y), indices.data() + std::size_t(y) * std::size_t(w),
                    std::size_t(w));
    }
    return result;
}

namespace {

int writeToArray(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

QByteArray encodeGif(const QImage& image) {
    QImage indexed = reduceTo256Colours(image);
    if (indexed.isNull() || indexed.width() > 65535 || indexed.height() > 65535) {
        return {};
    }
    // A GIF palette has a power-of-two size of at least 2.
    int mapSize = 2;
    while (mapSize < indexed.colorCount()) {
        mapSize *= 2;
    }
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToArray, &error);
    if (!gif) {
        return {};
    }
    ColorMapObject* map = GifMakeMapObject(mapSize, nullptr);
    bool ok = map != nullptr;
    if (ok) {
        for (int i = 0; i < mapSize; ++i) {
            const QRgb c = i < indexed.colorCount() ? indexed.color(i) : qRgb(0, 0, 0);
            map->Colors[i] = {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))};
        }
        ok = EGifPutScreenDesc(gif, indexed.width(), indexed.height(), 8, 0, map) == GIF_OK &&
             EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) ==
                 GIF_OK;
        for (int y = 0; ok && y < indexed.height(); ++y) {
            ok = EGifPutLine(gif, indexed.scanLine(y), indexed.width()) == GIF_OK;
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) {
        ok = false;
    }
    GifFreeMapObject(map);
    return ok ? out : QByteArray();
}

} // namespace

QByteArray encodePicture(const QImage& image, int fileType) {
    if (image.isNull()) {
        return {};
    }
    if (fileType == ioGIF) {
        return encodeGif(image);
    }
    const char* format = qtFormatName(fileType);
    if (!format || fileType == ioCUR) {
        return {};
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.canWrite() || !writer.write(image)) {
        return {};
    }
    return out;
}

} // namespace palvo
