#pragma once

#include "library/GridGeometry.h"

#include <QImage>
#include <QString>

namespace palvo {

class TIEFunctions;

// How a grid draws its thumbnails.
struct ThumbnailLook {
    int width = 90;
    int height = 75;
    TThumbDisplayType displayType = TThumbDisplayType::tdtLargeIcon;
    bool colours256 = false;
    friend bool operator==(const ThumbnailLook&, const ThumbnailLook&) = default;
};

// Fits the picture into the thumbnail box of the look (enlarging and shrinking,
// centred) and resamples it with Lanczos to the fitted size, doubled in both
// directions for the small display types. A null image on failure.
[[nodiscard]] QImage fitThumbnail(TIEFunctions& functions, const QImage& picture,
                                  const ThumbnailLook& look);

// Loads the file with the box as size hint and fits it: the thumbnail exactly
// as the grid draws and caches it. False when the file can't be read. Safe to
// call on a worker thread with a TIEFunctions of that thread.
bool LoadThumbnailImage(TIEFunctions& functions, const QString& fileName, const ThumbnailLook& look,
                        QImage& thumbnail);

// What painting a cell must do once both caches have missed.
struct ThumbnailPlan {
    bool error = false; // draw the error picture without reading anything
    QString loadFrom;   // the file to make the thumbnail from
};

// The file-level rules: an unsupported extension uses the stand-in picture
// (or fails), a missing file fails, a file in the recorded unreachable folder
// fails without any attempt to read it.
[[nodiscard]] ThumbnailPlan planThumbnail(const QString& fileName, const QString& supportedFormats,
                                          const QString& nonSupportedFormatThumb,
                                          const QString& unreachableFolder);

// After a failure: the folder to record as unreachable (the file's folder when
// none is recorded yet and it does not exist), else the record unchanged.
[[nodiscard]] QString unreachableFolderAfterError(const QString& fileName,
                                                  const QString& unreachableFolder);

} // namespace palvo
