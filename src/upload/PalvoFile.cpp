#include "upload/PalvoFile.h"

#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"
#include "imaging/HistogramLibrary.h"
#include "imaging/IEFunctions.h"
#include "imaging/JpegCodec.h"
#include "upload/UploadList.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <cstring>

namespace palvo {

namespace {

constexpr qint64 kHeadBytes = 64 * 1024;

int byteAt(const QByteArray& data, qsizetype i) {
    return static_cast<unsigned char>(data[i]);
}

int word(const QByteArray& data, qsizetype i) {
    return (byteAt(data, i) << 8) | byteAt(data, i + 1);
}

// Offset of the JFIF APP0 segment's marker in the JPEG data, or -1.
qsizetype jfifOffset(const QByteArray& data) {
    if (data.size() < 4 || byteAt(data, 0) != 0xFF || byteAt(data, 1) != 0xD8)
        return -1;
    qsizetype pos = 2;
    while (pos + 4 <= data.size() && byteAt(data, pos) == 0xFF) {
        const int marker = byteAt(data, pos + 1);
        if (marker == 0xDA || marker == 0xD9)
            return -1;
        const int length = word(data, pos + 2);
        if (length < 2)
            return -1;
        if (marker == 0xE0 && length >= 16 && pos + 18 <= data.size() &&
            std::memcmp(data.constData() + pos + 4, "JFIF\0", 5) == 0)
            return pos;
        pos += 2 + length;
    }
    return -1;
}

QByteArray readHead(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(kHeadBytes) : QByteArray();
}

// Creates the file under the first free name of the clash rule (the name is
// taken by the exclusive create itself) and writes the data; a failed write
// removes what it made.
QString writeUnderFreeName(const QString& target, const QByteArray& data, QString& error) {
    QFile file;
    const QString name = UniqueFileName(target, QStringLiteral("_"), 0, [&](const QString& p) {
        file.setFileName(p);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return false;
        // Only a name in use is worth another try; a folder we can't write
        // to ends the search at once.
        return pathTaken(p);
    });
    if (!file.isOpen()) {
        error = QStringLiteral("Could not create ") + name;
        return {};
    }
    const bool written = file.write(data) == data.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        error = QStringLiteral("Could not write ") + name;
        QFile::remove(name);
        return {};
    }
    return name;
}

// Replaces the target with the data through a temporary file and a rename.
bool writeReplacing(const QString& target, const QByteArray& data, QString& error) {
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        error = QStringLiteral("Could not write ") + target;
        return false;
    }
    return true;
}

} // namespace

PalvoFileOptions palvoFileOptions(const Settings& settings, const ServiceConfig& config) {
    PalvoFileOptions options;
    options.width = config.MaxWidth;
    options.height = config.MaxHeight;
    options.maxSize = config.MaxSize;
    options.background = ColourToQColor(settings.PalvoBackgroundColor);
    options.autoLevels = settings.QuickFixBeforeUpload;
    return options;
}

QString palvoTargetName(const QString& source, const QString& folder) {
    const QString name = fileNameOf(entryPath(source));
    const QString ext = extensionOf(name).toLower();
    const bool jpeg = ext == u".jpg" || ext == u".jpeg" || ext == u".jpe";
    return folder + (jpeg ? name : NameWithoutExtension(name) + QStringLiteral(".jpg"));
}

QImage placeOnCanvas(const QImage& scaled, int width, int height, const QColor& background) {
    const QImage picture = scaled.format() == QImage::Format_RGB888
                               ? scaled
                               : scaled.convertToFormat(QImage::Format_RGB888);
    if (picture.isNull())
        return {};
    const bool exact = picture.width() == width && picture.height() == height;
    const bool smaller = picture.width() < width && picture.height() < height;
    if (exact || smaller)
        return picture;
    QImage canvas(width, height, QImage::Format_RGB888);
    if (canvas.isNull())
        return {};
    canvas.fill(background);
    const int left = (width - picture.width()) / 2;
    const int top = (height - picture.height()) / 2;
    // Only the part inside the canvas is copied (a picture larger than the
    // frame never comes from the fit, but costs nothing to guard).
    const int x0 = std::max(0, -left);
    const int y0 = std::max(0, -top);
    const int w = std::min(picture.width() - x0, width - std::max(0, left));
    for (int y = y0; y < picture.height() && top + y < height; ++y) {
        std::memcpy(canvas.scanLine(top + y) + 3 * std::max(0, left),
                    picture.constScanLine(y) + 3 * x0, size_t(3 * std::max(0, w)));
    }
    return canvas;
}

QualityChoice chooseJpegQuality(const std::function<QByteArray(int)>& encode,
                                std::int64_t maxSize) {
    QualityChoice choice;
    int lo = 0;
    int hi = 100;
    int q = 100;
    QByteArray best;
    while (hi - lo > 1) {
        QByteArray data = encode(q);
        ++choice.trials;
        if (!data.isEmpty() && data.size() < maxSize) {
            lo = q;
            best = std::move(data);
        } else {
            hi = q;
        }
        q = lo + (hi - lo) / 2;
    }
    choice.quality = lo;
    if (lo > 0)
        choice.data = std::move(best);
    return choice;
}

PictureResolution sourceResolution(const QByteArray& fileHead, const QImage& decoded) {
    const qsizetype at = jfifOffset(fileHead);
    if (at >= 0) {
        PictureResolution r{byteAt(fileHead, at + 11), word(fileHead, at + 12),
                            word(fileHead, at + 14)};
        if (r.unit <= 2 && r.x > 0 && r.y > 0)
            return r;
        return {};
    }
    if (!decoded.isNull()) {
        const QImage plain(1, 1, QImage::Format_RGB888);
        if (decoded.dotsPerMeterX() > 0 && decoded.dotsPerMeterY() > 0 &&
            (decoded.dotsPerMeterX() != plain.dotsPerMeterX() ||
             decoded.dotsPerMeterY() != plain.dotsPerMeterY())) {
            const auto dpi = [](int dpm) {
                return std::clamp(int(std::lround(dpm * 0.0254)), 1, 65535);
            };
            return {1, dpi(decoded.dotsPerMeterX()), dpi(decoded.dotsPerMeterY())};
        }
    }
    return {};
}

bool setJfifResolution(QByteArray& jpeg, const PictureResolution& r) {
    const qsizetype at = jfifOffset(jpeg);
    if (at < 0)
        return false;
    char* d = jpeg.data() + at;
    d[11] = char(r.unit);
    d[12] = char((r.x >> 8) & 0xFF);
    d[13] = char(r.x & 0xFF);
    d[14] = char((r.y >> 8) & 0xFF);
    d[15] = char(r.y & 0xFF);
    return true;
}

PalvoFile CreatePalvoFile(TIEFunctions& functions, const QString& source,
                          const PalvoFileOptions& options, const QString& exactTarget) {
    PalvoFile result;
    try {
        const QString path = entryPath(source);
        const QString folder = options.targetFolder.isEmpty()
                                   ? TempFolder()
                                   : IncludeTrailingSeparator(options.targetFolder);
        if (!exactTarget.isEmpty() && isSameFile(exactTarget, path)) {
            result.error = QStringLiteral("The prepared file would replace its own source");
            return result;
        }
        const int w = options.width;
        const int h = options.height;
        if (w <= 0 || h <= 0 || options.maxSize <= 0) {
            result.error = QStringLiteral("No usable receiver frame or size");
            return result;
        }
        QString loadError;
        const auto previousLog = functions.OnErrorLog;
        functions.OnErrorLog = [&](const QString& text) { loadError = text; };
        QImage picture;
        const bool loaded = functions.LoadBitmapFromFile(picture, path, 2 * w, 2 * h, false);
        const bool damaged = functions.LastLoadDamaged();
        functions.OnErrorLog = previousLog;
        if (!loaded || picture.isNull()) {
            result.error =
                loadError.isEmpty() ? QStringLiteral("Could not read the picture") : loadError;
            return result;
        }
        if (damaged) {
            result.error = QStringLiteral("The picture file is truncated or damaged");
            return result;
        }
        const PictureResolution resolution = sourceResolution(readHead(path), picture);

        if (!functions.FitBitmap(picture, w, h, false, rfLanczos3, false, false, false)) {
            result.error = QStringLiteral("Could not scale the picture");
            return result;
        }
        if (options.autoLevels)
            (void)AutoLevels(picture);
        const QImage placed = placeOnCanvas(picture, w, h, options.background);
        picture = QImage();
        if (placed.isNull()) {
            result.error = QStringLiteral("Out of memory");
            return result;
        }

        JpegEncodeOptions coding;
        QualityChoice choice = chooseJpegQuality(
            [&](int quality) {
                coding.quality = quality;
                return encodeJpeg(placed, coding);
            },
            options.maxSize);
        result.trials = choice.trials;
        if (choice.quality == 0) {
            result.error =
                QStringLiteral("The picture can't be brought under %1 bytes").arg(options.maxSize);
            return result;
        }
        // The chosen trial is the file: the resolution takes the same bytes in
        // the JFIF header, so the size stays under the cap.
        (void)setJfifResolution(choice.data, resolution);
        QString writeError;
        const QString written =
            exactTarget.isEmpty()
                ? writeUnderFreeName(palvoTargetName(path, folder), choice.data, writeError)
                : (writeReplacing(exactTarget, choice.data, writeError) ? exactTarget : QString());
        if (written.isEmpty()) {
            result.error = writeError;
            return result;
        }
        result.path = written;
        result.width = placed.width();
        result.height = placed.height();
        result.quality = choice.quality;
        result.bytes = choice.data.size();
        return result;
    } catch (...) {
        PalvoFile failed;
        failed.error = QStringLiteral("Unexpected error");
        return failed;
    }
}

} // namespace palvo
