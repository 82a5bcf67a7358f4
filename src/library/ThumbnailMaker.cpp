#include "library/ThumbnailMaker.h"

#include "foundation/QFileRoutine.h"
#include "imaging/IEFunctions.h"

namespace palvo {

QImage fitThumbnail(TIEFunctions& functions, const QImage& picture, const ThumbnailLook& look) {
    if (picture.isNull())
        return QImage();
    const QRect box = thumbnailBox(QRect(0, 0, 0, 0), look.displayType, look.width, look.height);
    const TRect fitted = TIEFunctions::FitRect(picture.width(), picture.height(), box.width(),
                                               box.height(), 0, 0, true, true, true, true, 0.0);
    int width = fitted.width();
    int height = fitted.height();
    if (look.displayType != TThumbDisplayType::tdtLargeIcon) {
        width *= 2;
        height *= 2;
    }
    if (width <= 0 || height <= 0)
        return QImage();
    QImage result = picture.convertToFormat(QImage::Format_RGB888);
    if (result.isNull())
        return QImage();
    if (!functions.ResampleBitmap(result, width, height, rfLanczos3, look.colours256, true, false))
        return QImage();
    if (result.format() != QImage::Format_RGB888)
        result = result.convertToFormat(QImage::Format_RGB888);
    return result;
}

bool LoadThumbnailImage(TIEFunctions& functions, const QString& fileName, const ThumbnailLook& look,
                        QImage& thumbnail) {
    QImage picture;
    if (!functions.LoadBitmapFromFile(picture, fileName, look.width, look.height, false))
        return false;
    QImage fitted = fitThumbnail(functions, picture, look);
    if (fitted.isNull())
        return false;
    thumbnail = fitted;
    return true;
}

namespace {
bool acceptsEverything(const QString& formats) {
    return formats.isEmpty() || formats == QLatin1String("*.*") || formats == QLatin1String("*.*;");
}
} // namespace

ThumbnailPlan planThumbnail(const QString& fileName, const QString& supportedFormats,
                            const QString& nonSupportedFormatThumb,
                            const QString& unreachableFolder) {
    ThumbnailPlan plan;
    QString source = fileName;
    if (!acceptsEverything(supportedFormats) &&
        !supportedFormats.toUpper().contains(extensionOf(fileName).toUpper())) {
        if (nonSupportedFormatThumb.isEmpty()) {
            plan.error = true;
            return plan;
        }
        source = nonSupportedFormatThumb;
    }
    if (!unreachableFolder.isEmpty() && folderOf(source) == unreachableFolder) {
        plan.error = true;
        return plan;
    }
    if (!FileExistsQuiet(source)) {
        plan.error = true;
        return plan;
    }
    plan.loadFrom = source;
    return plan;
}

QString unreachableFolderAfterError(const QString& fileName, const QString& unreachableFolder) {
    if (!unreachableFolder.isEmpty())
        return unreachableFolder;
    const QString folder = folderOf(fileName);
    if (!folder.isEmpty() && !FolderExistsQuiet(folder))
        return folder;
    return QString();
}

} // namespace palvo
