#pragma once

#include "foundation/ServiceConfig.h"
#include "foundation/SettingsStore.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>

namespace palvo {

class TIEFunctions;

// What a receiver-ready picture must be.
struct PalvoFileOptions {
    int width = 640;               // the frame, W
    int height = 480;              // and H
    std::int64_t maxSize = 65499;  // S: every written file is smaller than this
    QColor background = Qt::black; // around a picture that does not fill the frame
    bool autoLevels = false;       // levelling of the scaled picture
    QString targetFolder;          // with a trailing "/"; empty: the temporary folder
};

// The options the window and the command line use: the frame and cap of the
// service configuration, the background colour and levelling switch of the
// settings, the temporary folder.
[[nodiscard]] PalvoFileOptions palvoFileOptions(const Settings& settings,
                                                const ServiceConfig& config);

// One prepared picture. An empty path means failure; error says why (for the
// log and the command line; the window never shows it).
struct PalvoFile {
    QString path;
    int width = 0;
    int height = 0;
    int quality = 0;
    std::int64_t bytes = 0;
    int trials = 0; // in-memory encodings the quality search made
    QString error;
    [[nodiscard]] bool ok() const { return !path.isEmpty(); }
};

// The prepared file's name before the clash test: the source's file name
// (";" mark removed) in the folder, its extension replaced by ".jpg" unless it
// is ".jpg", ".jpeg" or ".jpe" in any letter case.
[[nodiscard]] QString palvoTargetName(const QString& source, const QString& folder);

// The picture on the frame: a picture of exactly W × H, or narrower than W
// and lower than H, stands alone; any other is drawn centred (offsets
// truncated) on a W × H canvas of the background colour. Format_RGB888.
[[nodiscard]] QImage placeOnCanvas(const QImage& scaled, int width, int height,
                                   const QColor& background);

// The bisection over quality 1..100: 100 first, then 50, 75 or 25 …, at most
// eight encodings. quality is the highest tried whose encoding is smaller
// than maxSize (then data holds that encoding), or 0 when none was.
struct QualityChoice {
    int quality = 0;
    QByteArray data;
    int trials = 0;
};
[[nodiscard]] QualityChoice chooseJpegQuality(const std::function<QByteArray(int)>& encode,
                                              std::int64_t maxSize);

// The resolution a written JPEG carries in its JFIF header: unit 0 (aspect
// ratio only), 1 (dots per inch) or 2 (dots per centimetre).
struct PictureResolution {
    int unit = 0;
    int x = 1;
    int y = 1;
    friend bool operator==(const PictureResolution&, const PictureResolution&) = default;
};
// The source's resolution: a JPEG's JFIF density, else the decoded picture's
// own (when the file gave one); the 1:1 default otherwise.
[[nodiscard]] PictureResolution sourceResolution(const QByteArray& fileHead, const QImage& decoded);
// Writes the resolution into the JFIF header of an encoded JPEG in place
// (the size does not change); false when the data has no JFIF header.
bool setJfifResolution(QByteArray& jpeg, const PictureResolution& resolution);

// One picture in, one receiver-ready JPEG out: decoded with the 2·W × 2·H
// hint, fitted into W × H (Lanczos, never enlarged), levelled when asked,
// placed, and written at the highest quality under the cap as a baseline
// JPEG with standard Huffman tables, no smoothing and no markers beyond
// JFIF (which keeps the source's resolution). A picture that can't be read,
// is truncated or can't be brought under the cap gives an empty path. The
// name is reserved when the file is created, so concurrent preparations never
// share a name; a failed write leaves no file. With exactTarget the file is
// written there instead, replacing what is there (atomically), but never the
// source itself. Never raises, never shows a message. Safe to call from
// several threads with one TIEFunctions each.
[[nodiscard]] PalvoFile CreatePalvoFile(TIEFunctions& functions, const QString& source,
                                        const PalvoFileOptions& options,
                                        const QString& exactTarget = QString());

} // namespace palvo
