#include "imaging/IEFunctions.h"

#include "foundation/Messages.h"
#include "foundation/QFileRoutine.h"
#include "imaging/ExifData.h"
#include "imaging/ImageFormats.h"
#include "imaging/ImageLimits.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"
#include "imaging/LosslessJpeg.h"
#include "imaging/Orientation.h"
#include "imaging/PrintLayout.h"
#include "imaging/RawCodec.h"
#include "imaging/Resample.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QThread>
#include <QTransform>

#include <libraw/libraw.h>

#include <cmath>
#include <memory>

namespace palvo {

namespace {

const QString kRawExtensions = QStringLiteral(
    "*.DNG;*.CRW;*.CR2;*.NEF;*.RAW;*.PEF;*.RAF;*.X3F;*.BAY;*.ORF;*.MRW;*.SRF;*.DCR;");

double roundHalfEven(double v) {
    return std::nearbyint(v);
}

// Shows the hourglass while a routine runs (on the window thread of a
// program with a screen; nowhere else).
class WaitCursor {
public:
    WaitCursor()
        : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
                  QThread::currentThread() == QCoreApplication::instance()->thread()) {
        if (active_) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        }
    }
    ~WaitCursor() {
        if (active_) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool active_;
};

bool isWritableType(int type) {
    return type == ioTIFF || type == ioGIF || type == ioJPEG || type == ioBMP || type == ioICO ||
           type == ioPNG || type == ioTGA || type == ioPXM;
}

bool isSniffReadableType(int type) {
    return type == ioTIFF || type == ioGIF || type == ioJPEG || type == ioPCX || type == ioBMP ||
           type == ioICO || type == ioCUR || type == ioPNG || type == ioTGA;
}

} // namespace

// Silences progress for one operation called with its progress flag false
// and fires the progress end when it was shown.
class TIEFunctions::ProgressScope {
public:
    ProgressScope(TIEFunctions& owner, bool showProgress)
        : owner_(owner), wasSuppressed_(owner.SuppressProgress) {
        if (!showProgress) {
            owner_.SuppressProgress = true;
        }
    }
    ~ProgressScope() {
        if (!owner_.SuppressProgress) {
            owner_.progressEnd();
        }
        owner_.SuppressProgress = wasSuppressed_;
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    TIEFunctions& owner_;
    bool wasSuppressed_;
};

TIEFunctions::TIEFunctions() {
    ensureQtAllocationLimit();
    LoadPlugins(QString());
}

void TIEFunctions::LoadPlugins(const QString&) {}

void TIEFunctions::errorLog(const QString& text) const {
    if (!OnErrorLog) {
        return;
    }
    try {
        OnErrorLog(text);
    } catch (...) {
        // A failing handler is ignored.
    }
}

void TIEFunctions::progressEnd() const {
    if (!OnProgressEnd) {
        return;
    }
    try {
        OnProgressEnd();
    } catch (...) {
    }
}

bool TIEFunctions::IsJPEGFile(const QString& fileName) {
    return fileTypeForExtension(fileName) == ioJPEG;
}

bool TIEFunctions::IsRawFile(const QString& fileName) {
    return ExtensionInFilter(fileName, kRawExtensions);
}

bool TIEFunctions::IsValidIOImage(const QImage& image) {
    return image.width() > 1 && image.height() > 1;
}

// ---------------------------------------------------------------- reading

bool TIEFunctions::readPicture(const QByteArray& bytes, int fileType, int widthHint, int heightHint,
                               TImageIO& io, int& scaleUsed, QString& error) {
    scaleUsed = 1;
    io.Damaged = false;
    io.Exif.clear();
    if (fileType == ioJPEG) {
        JpegHeader header;
        if (!readJpegHeader(bytes, header)) {
            error = QStringLiteral("Not a JPEG file");
            return false;
        }
        const QByteArray exif = jpegExifPayload(bytes);
        const PictureTurn turn = turnForOrientation(exifOrientation(exif));
        // The hints describe the upright picture.
        const int scale = turn.transpose
                              ? chooseJpegScale(header.width, header.height, heightHint, widthHint)
                              : chooseJpegScale(header.width, header.height, widthHint, heightHint);
        JpegDecoded decoded = decodeJpeg(bytes, scale);
        if (decoded.image.isNull()) {
            error = decoded.error;
            return false;
        }
        io.Bitmap = applyTurn(decoded.image, turn);
        io.Exif = exif;
        io.Damaged = decoded.damaged;
        io.JPEGQuality = header.quality;
        scaleUsed = decoded.scale;
        const bool t = turn.transpose;
        io.Params = makeImageProperties(ioJPEG, t ? header.height : header.width,
                                        t ? header.width : header.height, header.components * 8,
                                        decoded.scale);
        return true;
    }
    if (fileType == ioRAW) {
        RawDecodeOptions options;
        options.widthHint = widthHint;
        options.heightHint = heightHint;
        options.bestDisplay = AutoSetBestRawDisplay;
        RawDecoded decoded = decodeRaw(bytes, options);
        if (decoded.image.isNull()) {
            error = decoded.error;
            return false;
        }
        io.Bitmap = decoded.image;
        io.Params =
            makeImageProperties(ioRAW, decoded.image.width(), decoded.image.height(), 24, 1);
        return true;
    }
    DecodedPicture decoded = decodeWithQt(bytes, fileType);
    if (decoded.image.isNull()) {
        error = decoded.error;
        return false;
    }
    io.Bitmap = decoded.image;
    io.Params = makeImageProperties(fileType, decoded.image.width(), decoded.image.height(),
                                    decoded.bitsPerPixel, 1);
    return true;
}

bool TIEFunctions::GetImageProperties(const QString& fileName, TImageProperties& properties) {
    properties = TImageProperties();
    try {
        QString error;
        const QByteArray bytes = readPictureFile(fileName, error);
        if (bytes.isEmpty()) {
            return false;
        }
        int type = detectFileType(bytes);
        if (type == ioUnknown && IsRawFile(fileName)) {
            type = ioRAW;
        }
        if (type == ioUnknown) {
            type = fileTypeForExtension(fileName);
        }
        if (type == ioJPEG) {
            JpegHeader header;
            if (!readJpegHeader(bytes, header)) {
                return false;
            }
            const bool t = turnForOrientation(exifOrientation(jpegExifPayload(bytes))).transpose;
            properties =
                makeImageProperties(ioJPEG, t ? header.height : header.width,
                                    t ? header.width : header.height, header.components * 8, 1);
            return true;
        }
        if (type == ioRAW) {
            auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
            QByteArray data = bytes;
            if (raw->open_buffer(data.data(), std::size_t(data.size())) != LIBRAW_SUCCESS) {
                return false;
            }
            const auto& s = raw->imgdata.sizes;
            const bool t = s.flip == 5 || s.flip == 6;
            properties =
                makeImageProperties(ioRAW, t ? s.height : s.width, t ? s.width : s.height, 24, 1);
            return true;
        }
        QSize size;
        int bits = 0;
        if (!readQtHeader(bytes, type, size, bits)) {
            return false;
        }
        if ((type == ioTIFF || type == ioPNG) &&
            turnForOrientation(containerExifOrientation(bytes)).transpose) {
            size.transpose();
        }
        properties = makeImageProperties(type, size.width(), size.height(), bits, 1);
        return true;
    } catch (...) {
        properties = TImageProperties();
        return false;
    }
}

void TIEFunctions::FillImageProperties(const TImageIO& io, TImageProperties& properties) const {
    properties = io.Params.FileType == 0 ? TImageProperties() : io.Params;
}

bool TIEFunctions::LoadIntoIO(TImageIO& io, const QString& fileName, bool allowSniff,
                              QString& errorText, int /*pageIndex*/) {
    errorText.clear();
    lastLoadDamaged_ = false;
    try {
        io = TImageIO();
        io.Bitmap = QImage(1, 1, QImage::Format_RGB888); // a failed read stays recognisable
        io.Bitmap.fill(Qt::black);
        QString error;
        const QByteArray bytes = readPictureFile(fileName, error);
        int scale = 1;
        const int byExtension = IsRawFile(fileName) ? int(ioRAW) : fileTypeForExtension(fileName);
        bool ok = !bytes.isEmpty() && byExtension != ioUnknown &&
                  readPicture(bytes, byExtension, -1, -1, io, scale, error) && IsValidIOImage(io);
        if (!ok) {
            if (allowSniff && ExtensionInFilter(fileName, FalseExtensionformats)) {
                const int detected = detectFileType(bytes);
                if (bytes.isEmpty()) {
                    errorText = QStringLiteral("Load Error");
                } else if (!isSniffReadableType(detected)) {
                    errorText = QStringLiteral("Unknown image type");
                } else if (!readPicture(bytes, detected, -1, -1, io, scale, error) ||
                           !IsValidIOImage(io)) {
                    errorText = QStringLiteral("Invalid Image");
                }
            } else {
                errorText = QStringLiteral("Unknown Extension");
            }
        }
    } catch (...) {
        errorText = QStringLiteral("Load Error");
    }
    if (!errorText.isEmpty()) {
        io.Bitmap = QImage(1, 1, QImage::Format_RGB888);
        io.Bitmap.fill(Qt::black);
        io.Params = TImageProperties();
        errorLog(errorText);
        return false;
    }
    lastLoadDamaged_ = io.Damaged;
    if (io.Damaged) {
        errorLog(QStringLiteral("Partial picture: ") + fileName);
    }
    return true;
}

bool TIEFunctions::loadJpeg(TImageIO& io, const QString& fileName, int widthHint, int heightHint,
                            int& scaleUsed, QString& error) {
    lastLoadDamaged_ = false;
    const QByteArray bytes = readPictureFile(fileName, error);
    if (bytes.isEmpty()) {
        return false;
    }
    if (!readPicture(bytes, ioJPEG, widthHint, heightHint, io, scaleUsed, error)) {
        return false;
    }
    if (!IsValidIOImage(io)) {
        error = QStringLiteral("Invalid loaded image");
        return false;
    }
    lastLoadDamaged_ = io.Damaged;
    if (io.Damaged) {
        errorLog(QStringLiteral("Partial picture: ") + fileName);
    }
    return true;
}

bool TIEFunctions::LoadJPEGIntoIO(TImageIO& io, const QString& fileName, int widthHint,
                                  int heightHint) {
    try {
        int scale = 1;
        QString error;
        TImageIO loaded;
        if (!loadJpeg(loaded, fileName, widthHint, heightHint, scale, error)) {
            errorLog(error);
            return false;
        }
        io = loaded;
        return true;
    } catch (...) {
        return false;
    }
}

bool TIEFunctions::LoadJPEGBitmap(QImage& bitmap, const QString& fileName, int widthHint,
                                  int heightHint, int& scaleUsed, bool showProgress) {
    ProgressScope scope(*this, showProgress);
    scaleUsed = 1;
    try {
        TImageIO io;
        QString error;
        if (!loadJpeg(io, fileName, widthHint, heightHint, scaleUsed, error)) {
            errorLog(error);
            return false;
        }
        bitmap = io.Bitmap;
        return true;
    } catch (...) {
        return false;
    }
}

bool TIEFunctions::LoadBitmapFromFile(QImage& bitmap, const QString& fileName, int widthHint,
                                      int heightHint, bool showProgress) {
    int scale = 1;
    return LoadBitmapFromFile(bitmap, fileName, widthHint, heightHint, scale, showProgress);
}

bool TIEFunctions::LoadBitmapFromFile(QImage& bitmap, const QString& fileName, int widthHint,
                                      int heightHint, int& scaleUsed, bool showProgress) {
    ProgressScope scope(*this, showProgress);
    scaleUsed = 1;
    try {
        const bool hinted = widthHint > 1 && heightHint > 1;
        QString error;
        TImageIO io;
        if (hinted && IsRawFile(fileName)) {
            const QByteArray bytes = readPictureFile(fileName, error);
            int scale = 1;
            if (bytes.isEmpty() ||
                !readPicture(bytes, ioRAW, widthHint, heightHint, io, scale, error) ||
                !IsValidIOImage(io)) {
                errorLog(QStringLiteral("Error loading ") + fileName);
                return false;
            }
        } else if (hinted && IsJPEGFile(fileName)) {
            if (!loadJpeg(io, fileName, widthHint, heightHint, scaleUsed, error)) {
                errorLog(error);
                return false;
            }
        } else if (!LoadIntoIO(io, fileName, true, error, 0)) {
            errorLog(QStringLiteral("Error loading ") + fileName);
            return false;
        }
        bitmap = io.Bitmap;
        return true;
    } catch (...) {
        errorLog(QStringLiteral("Error loading ") + fileName);
        return false;
    }
}

// ---------------------------------------------------------------- writing

bool TIEFunctions::writeBytes(const QByteArray& bytes, const QString& fileName,
                              QString& error) const {
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool TIEFunctions::SaveFromIO(TImageIO& io, const QString& fileName, int quality, bool forceJPEG) {
    const bool jpegName = IsJPEGFile(fileName);
    try {
        if (quality > 0) {
            io.JPEGQuality = quality;
        }
        int type = ioUnknown;
        if (forceJPEG) {
            type = ioJPEG;
        } else if (ExtensionInFilter(fileName, FalseExtensionformats)) {
            QString ignored;
            type = detectFileType(readPictureFile(fileName, ignored));
            if (!isWritableType(type)) {
                errorLog(QStringLiteral("Save Unknown Extension Error"));
                return false;
            }
        } else {
            type = fileTypeForExtension(fileName);
        }
        QByteArray bytes;
        int errorCode = 0;
        if (type == ioJPEG) {
            JpegEncodeOptions options;
            options.quality = io.JPEGQuality > 0 ? io.JPEGQuality : 80;
            QByteArray exif = io.Exif;
            // The pixels are upright: the written file must say so.
            if (!exif.isEmpty() && uprightExif(exif, io.Bitmap.width(), io.Bitmap.height())) {
                options.extraSegments = exifApp1Segment(exif);
            }
            bytes = encodeJpeg(io.Bitmap, options);
            errorCode = bytes.isEmpty() ? 1 : 0;
        } else if (type != ioUnknown) {
            bytes = encodePicture(io.Bitmap, type);
        }
        QString error;
        if (bytes.isEmpty() || !writeBytes(bytes, fileName, error)) {
            if (jpegName) {
                errorLog(QString::asprintf("Error #%d saving to %s", errorCode ? errorCode : 2,
                                           qUtf8Printable(fileName)));
            } else {
                errorLog(QStringLiteral("Error saving to ") + fileName);
            }
            return false;
        }
        if (QFileInfo(fileName).size() < 1) {
            errorLog(QStringLiteral("Null file created when saving to ") + fileName);
            return false;
        }
        return true;
    } catch (...) {
        errorLog(QStringLiteral("Error saving to ") + fileName);
        return false;
    }
}

bool TIEFunctions::SaveBitmapToFile(const QImage& bitmap, const QString& fileName, int quality,
                                    bool reduceTo256, bool showProgress) {
    return saveBitmap(bitmap, fileName, quality, reduceTo256, showProgress, false);
}

bool TIEFunctions::SaveBitmapAsJPEG(const QImage& bitmap, const QString& fileName, int quality,
                                    bool reduceTo256, bool showProgress) {
    return saveBitmap(bitmap, fileName, quality, reduceTo256, showProgress, true);
}

bool TIEFunctions::saveBitmap(const QImage& bitmap, const QString& fileName, int quality,
                              bool reduceTo256, bool showProgress, bool forceJPEG) {
    ProgressScope scope(*this, showProgress);
    TImageIO io;
    io.Bitmap = reduceTo256 ? reduceTo256Colours(bitmap) : bitmap;
    if (io.Bitmap.isNull())
        return false;
    return SaveFromIO(io, fileName, quality, forceJPEG);
}

// ---------------------------------------------------------------- resizing

TRect TIEFunctions::FitRect(int srcWidth, int srcHeight, int boxWidth, int boxHeight, int left,
                            int top, bool allowEnlarge, bool allowShrink, bool centreHorizontally,
                            bool centreVertically, double overshootPercent) {
    if (srcWidth == 0 || srcHeight == 0 || boxWidth == 0 || boxHeight == 0) {
        return {left, top, 0, 0};
    }
    const double sw = srcWidth;
    const double sh = srcHeight;
    const double bw = boxWidth;
    const double bh = boxHeight;
    int newWidth = srcWidth;
    int newHeight = srcHeight;
    const bool widthBinds = sw / bw > sh / bh;
    const int binding = widthBinds ? srcWidth : srcHeight;
    const int bindingBox = widthBinds ? boxWidth : boxHeight;
    const bool scale = binding > bindingBox ? allowShrink : allowEnlarge;
    if (scale) {
        double x = widthBinds ? bw / sw : bh / sh;
        if (overshootPercent > 0) {
            x = x * (1 + overshootPercent / 100);
            if (widthBinds && roundHalfEven(sh * x) > bh) {
                x = bh / sh;
            } else if (!widthBinds && roundHalfEven(sw * x) > bw) {
                x = bw / sw;
            }
        }
        newWidth = int(roundHalfEven(sw * x));
        newHeight = int(roundHalfEven(sh * x));
    }
    TRect r{left, top, 0, 0};
    if (centreHorizontally) {
        r.Left += int(std::trunc(bw / 2 - double(newWidth) / 2));
    }
    if (centreVertically) {
        r.Top += int(std::trunc(bh / 2 - double(newHeight) / 2));
    }
    r.Right = r.Left + newWidth;
    r.Bottom = r.Top + newHeight;
    return r;
}

QSize TIEFunctions::FitSize(int srcWidth, int srcHeight, int boxWidth, int boxHeight,
                            bool allowEnlarge) {
    const TRect r = FitRect(srcWidth, srcHeight, boxWidth, boxHeight, 0, 0, allowEnlarge, true,
                            false, false, 0);
    return {r.width(), r.height()};
}

bool TIEFunctions::ResampleBitmap(QImage& bitmap, int newWidth, int newHeight, int filterKind,
                                  bool reduceTo256, bool promote1Bit, bool showProgress) {
    ProgressScope scope(*this, showProgress);
    try {
        if (bitmap.width() == newWidth && bitmap.height() == newHeight) {
            return true;
        }
        if (newWidth == 0 || newHeight == 0 || bitmap.isNull()) {
            return true;
        }
        // -1 keeps the proportions from the other side.
        if (newWidth == -1 && newHeight == -1) {
            return true;
        }
        if (newWidth == -1) {
            newWidth = std::max(
                1, int(roundHalfEven(double(newHeight) * bitmap.width() / bitmap.height())));
        } else if (newHeight == -1) {
            newHeight = std::max(
                1, int(roundHalfEven(double(newWidth) * bitmap.height() / bitmap.width())));
        }
        if (newWidth < 0 || newHeight < 0 ||
            !withinPixelBudget(std::int64_t(newWidth), std::int64_t(newHeight))) {
            return false;
        }
        (void)promote1Bit; // every resample works on 24-bit pixels
        ResampleFilter filter = ResampleFilter::None;
        if (newWidth > 4 && newHeight > 4) {
            filter = filterKind == rfLanczos3     ? ResampleFilter::Lanczos3
                     : filterKind == rfFastLinear ? ResampleFilter::FastLinear
                                                  : ResampleFilter::None;
        }
        QImage result = resampleImage(bitmap, newWidth, newHeight, filter);
        if (result.isNull() && filter != ResampleFilter::None) {
            result = resampleImage(bitmap, newWidth, newHeight, ResampleFilter::None);
        }
        if (result.isNull()) {
            return false;
        }
        if (reduceTo256) {
            result = reduceTo256Colours(result);
            if (result.isNull()) {
                return false;
            }
        }
        bitmap = result;
        return true;
    } catch (...) {
        return false;
    }
}

bool TIEFunctions::FitBitmap(QImage& bitmap, int boxWidth, int boxHeight, bool allowEnlarge,
                             int filterKind, bool reduceTo256, bool promote1Bit,
                             bool showProgress) {
    const QSize fitted = FitSize(bitmap.width(), bitmap.height(), boxWidth, boxHeight, true);
    if (!allowEnlarge && bitmap.width() < fitted.width() && bitmap.height() < fitted.height()) {
        return true;
    }
    return ResampleBitmap(bitmap, fitted.width(), fitted.height(), filterKind, reduceTo256,
                          promote1Bit, showProgress);
}

// ---------------------------------------------------------------- transforms

bool TIEFunctions::RotateBitmap(QImage& bitmap, double angle, int qualityKind,
                                const QColor& background) {
    try {
        if (bitmap.isNull()) {
            return false;
        }
        const double turns = angle / 90.0;
        if (std::fabs(turns - std::round(turns)) < 1e-9) {
            bitmap = applyTurn(toRgb24(bitmap), turnForClockwiseAngle(int(std::lround(angle))));
            return !bitmap.isNull();
        }
        QTransform rotation;
        rotation.rotate(angle);
        const QRect bounds = rotation.mapRect(QRectF(bitmap.rect())).toAlignedRect();
        if (!withinPixelBudget(bounds.width(), bounds.height())) {
            return false;
        }
        QImage result(bounds.size(), QImage::Format_RGB888);
        if (result.isNull()) {
            return false;
        }
        result.fill(background);
        QPainter painter(&result);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, qualityKind > 0);
        painter.setRenderHint(QPainter::Antialiasing, qualityKind > 0);
        painter.translate(result.width() / 2.0, result.height() / 2.0);
        painter.rotate(angle);
        painter.drawImage(QPointF(-bitmap.width() / 2.0, -bitmap.height() / 2.0), bitmap);
        painter.end();
        bitmap = result;
        return true;
    } catch (...) {
        return false;
    }
}

bool TIEFunctions::TransformBitmap(QImage& bitmap, bool doRotate, double angle, bool smooth,
                                   bool flipHorizontal, bool flipVertical,
                                   const QColor& background) {
    bool ok = true;
    if (doRotate) {
        ok = RotateBitmap(bitmap, angle, smooth ? 2 : 0, background);
    }
    if (ok && (flipHorizontal || flipVertical)) {
        bitmap = bitmap.mirrored(flipHorizontal, flipVertical);
    }
    progressEnd();
    return ok && !bitmap.isNull();
}

bool TIEFunctions::TransformFile(const QString& sourceName, const QString& destName, int quality,
                                 bool doRotate, double angle, bool smooth, bool flipHorizontal,
                                 bool flipVertical, bool allowLossless, const QColor& background) {
    if (allowLossless && IsJPEGFile(sourceName) && doRotate && std::fmod(angle, 90.0) == 0.0) {
        return LosslessRotateJPEG(sourceName, destName, int(angle));
    }
    QImage bitmap;
    if (!LoadBitmapFromFile(bitmap, sourceName, -1, -1, false)) {
        errorLog(QStringLiteral("Error loading ") + sourceName);
        return false;
    }
    if (!TransformBitmap(bitmap, doRotate, angle, smooth, flipHorizontal, flipVertical,
                         background)) {
        errorLog(QStringLiteral("Image Transform error"));
        return false;
    }
    if (!SaveBitmapToFile(bitmap, destName, quality, false, false)) {
        errorLog(QStringLiteral("Error saving ") + destName);
        return false;
    }
    return true;
}

QString losslessTempFileName() {
    return UniqueFileName(QDir(QDir::tempPath()).filePath(QStringLiteral("~rot.jpg")));
}

bool TIEFunctions::LosslessRotateJPEG(const QString& sourceName, const QString& destName,
                                      int angle) {
    try {
        if (IsReadOnly(destName) && !ClearReadOnly(destName)) {
            qMessageDlg(LoadStrFromRes(QStringLiteral("An error was encountered resetting the "
                                                      "read-only tag on the file, %s.  "),
                                       QFileInfo(destName).fileName()),
                        MsgType::Warning, mbOK);
        }
        const bool inPlace = sourceName == destName || isSameFile(sourceName, destName);
        const QString output = inPlace ? losslessTempFileName() : destName;
        WaitCursor hourglass;
        const int turnAngle = (angle == 180 || angle == -180)  ? 180
                              : (angle == 270 || angle == -90) ? 270
                                                               : 90;
        QString error;
        const QByteArray bytes = readPictureFile(sourceName, error);
        if (bytes.isEmpty()) {
            return false;
        }
        const JpegTurnResult turned = turnJpeg(bytes, turnForClockwiseAngle(turnAngle));
        if (turned.data.isEmpty() || !writeBytes(turned.data, output, error)) {
            return false;
        }
        // A failed move back ("Move file error") is a failure; this routine
        // reports none of its errors through OnErrorLog.
        if (inPlace && !MoveFileByCopy(output, sourceName, false)) {
            QFile::remove(output);
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool TIEFunctions::ResetEXIFOrientation(const QString& fileName, int orientation) {
    if (!IsJPEGFile(fileName)) {
        return false;
    }
    try {
        QString error;
        const QByteArray bytes = readPictureFile(fileName, error);
        JpegHeader header;
        if (bytes.isEmpty() || !readJpegHeader(bytes, header)) {
            errorLog(QStringLiteral("Get Params Error"));
            return false;
        }
        QByteArray exif = jpegExifPayload(bytes);
        if (!setExifOrientation(exif, orientation)) {
            return false;
        }
        const QByteArray rewritten = jpegWithExifPayload(bytes, exif);
        return !rewritten.isEmpty() && writeBytes(rewritten, fileName, error);
    } catch (...) {
        return false;
    }
}

bool TIEFunctions::PrintBitmap(QPagedPaintDevice& device, const QImage& bitmap,
                               int horizontalMarginPercent, int verticalMarginPercent,
                               bool centreHorizontally, bool centreVertically,
                               const QString& headerText, const QString& footerText,
                               const QString& documentTitle) {
    try {
        if (auto* pdf = dynamic_cast<QPdfWriter*>(&device)) {
            pdf->setTitle(documentTitle);
        }
        const int resolution = std::max(device.logicalDpiX(), device.logicalDpiY());
        const QPageLayout page = device.pageLayout();
        PrintPageInput input;
        input.paperRect = page.fullRectPixels(resolution);
        input.printableRect = page.paintRectPixels(resolution);
        input.resolution = resolution;
        input.bitmapSize = bitmap.size();
        input.horizontalMarginPercent = horizontalMarginPercent;
        input.verticalMarginPercent = verticalMarginPercent;
        input.centreHorizontally = centreHorizontally;
        input.centreVertically = centreVertically;
        input.headerText = headerText;
        input.footerText = footerText;
        input.printerOutputDPI = PrinterOutputDPI;
        return renderPrintPage(device, bitmap, input);
    } catch (...) {
        return false;
    }
}

} // namespace palvo
