#pragma once

#include "imaging/ImageProperties.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace palvo {

// A picture together with the parameters of the file it came from: what
// the viewer keeps between loading and saving.
struct TImageIO {
    QImage Bitmap;           // 24-bit RGB (QImage::Format_RGB888), upright
    TImageProperties Params; // of the file last loaded
    int JPEGQuality = 0;     // quality to write JPEG with; estimated from a loaded JPEG
    QByteArray Exif;         // the file's EXIF TIFF structure, carried into JPEG saves
    bool Damaged = false;    // the file was truncated or corrupt: a partial picture
};

// Left, top, right and bottom, right and bottom exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    [[nodiscard]] int width() const { return Right - Left; }
    [[nodiscard]] int height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// Resample filter kinds.
inline constexpr int rfNone = 0;
inline constexpr int rfFastLinear = 1;
inline constexpr int rfLanczos3 = 2;

// The one place where the program loads, saves, resizes and turns pictures.
// No operation lets an exception escape: each returns a success flag and
// reports its error text through OnErrorLog.
class TIEFunctions {
public:
    TIEFunctions();

    // Settings.
    QString FalseExtensionformats = QStringLiteral("*.XXX;");
    bool AutoSetBestRawDisplay = true;
    int PrinterOutputDPI = 0;
    bool PrinterOutputInChunks = false;

    // Events.
    std::function<void(int percent)> OnProgress;
    std::function<void()> OnProgressEnd;
    std::function<void(const QString& error)> OnErrorLog;

    // File tests.
    [[nodiscard]] static bool IsJPEGFile(const QString& fileName);
    [[nodiscard]] static bool IsRawFile(const QString& fileName);
    [[nodiscard]] static bool IsValidIOImage(const QImage& image);
    [[nodiscard]] static bool IsValidIOImage(const TImageIO& io) {
        return IsValidIOImage(io.Bitmap);
    }

    // Reading.
    bool GetImageProperties(const QString& fileName, TImageProperties& properties);
    void FillImageProperties(const TImageIO& io, TImageProperties& properties) const;
    bool LoadIntoIO(TImageIO& io, const QString& fileName, bool allowSniff, QString& errorText,
                    int pageIndex = 0);
    bool LoadJPEGIntoIO(TImageIO& io, const QString& fileName, int widthHint, int heightHint);
    bool LoadBitmapFromFile(QImage& bitmap, const QString& fileName, int widthHint, int heightHint,
                            bool showProgress);
    bool LoadBitmapFromFile(QImage& bitmap, const QString& fileName, int widthHint, int heightHint,
                            int& scaleUsed, bool showProgress);
    bool LoadJPEGBitmap(QImage& bitmap, const QString& fileName, int widthHint, int heightHint,
                        int& scaleUsed, bool showProgress);

    // Writing.
    bool SaveFromIO(TImageIO& io, const QString& fileName, int quality, bool forceJPEG);
    bool SaveBitmapToFile(const QImage& bitmap, const QString& fileName, int quality,
                          bool reduceTo256, bool showProgress);
    bool SaveBitmapAsJPEG(const QImage& bitmap, const QString& fileName, int quality,
                          bool reduceTo256, bool showProgress);

    // Resizing.
    [[nodiscard]] static TRect FitRect(int srcWidth, int srcHeight, int boxWidth, int boxHeight,
                                       int left, int top, bool allowEnlarge, bool allowShrink,
                                       bool centreHorizontally, bool centreVertically,
                                       double overshootPercent);
    [[nodiscard]] static QSize FitSize(int srcWidth, int srcHeight, int boxWidth, int boxHeight,
                                       bool allowEnlarge);
    bool ResampleBitmap(QImage& bitmap, int newWidth, int newHeight, int filterKind,
                        bool reduceTo256, bool promote1Bit, bool showProgress);
    bool FitBitmap(QImage& bitmap, int boxWidth, int boxHeight, bool allowEnlarge, int filterKind,
                   bool reduceTo256, bool promote1Bit, bool showProgress);

    // Transforms. Angles are clockwise degrees.
    bool RotateBitmap(QImage& bitmap, double angle, int qualityKind,
                      const QColor& background = Qt::white);
    bool TransformBitmap(QImage& bitmap, bool doRotate, double angle, bool smooth,
                         bool flipHorizontal, bool flipVertical, const QColor& background);
    bool TransformFile(const QString& sourceName, const QString& destName, int quality,
                       bool doRotate, double angle, bool smooth, bool flipHorizontal,
                       bool flipVertical, bool allowLossless, const QColor& background);
    bool LosslessRotateJPEG(const QString& sourceName, const QString& destName, int angle);
    bool ResetEXIFOrientation(const QString& fileName, int orientation);

    // Printing: one page of the picture on a printer or PDF writer, laid out
    // by computePrintLayout (PrintLayout.h). False when the page could not
    // be started or drawn.
    bool PrintBitmap(QPagedPaintDevice& device, const QImage& bitmap, int horizontalMarginPercent,
                     int verticalMarginPercent, bool centreHorizontally, bool centreVertically,
                     const QString& headerText, const QString& footerText,
                     const QString& documentTitle);

    // Set-up: camera raw decoding is built in, so there is nothing to load.
    void LoadPlugins(const QString& folder);

    // True when the last load decoded a truncated or corrupt file.
    [[nodiscard]] bool LastLoadDamaged() const { return lastLoadDamaged_; }

private:
    bool saveBitmap(const QImage& bitmap, const QString& fileName, int quality, bool reduceTo256,
                    bool showProgress, bool forceJPEG);
    class ProgressScope;
    void errorLog(const QString& text) const;
    void progressEnd() const;
    bool readPicture(const QByteArray& bytes, int fileType, int widthHint, int heightHint,
                     TImageIO& io, int& scaleUsed, QString& error);
    bool loadJpeg(TImageIO& io, const QString& fileName, int widthHint, int heightHint,
                  int& scaleUsed, QString& error);
    bool writeBytes(const QByteArray& bytes, const QString& fileName, QString& error) const;

    bool SuppressProgress = false;
    bool lastLoadDamaged_ = false;
};

// The temporary file for an in-place lossless turn: "~rot.jpg" in the
// temporary folder, with "_2", "_3" ... before the extension while taken.
[[nodiscard]] QString losslessTempFileName();

} // namespace palvo
