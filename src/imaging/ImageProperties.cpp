#include "imaging/ImageProperties.h"

#include <QCoreApplication>

namespace palvo {

QString FileTypeName(int fileType) {
    switch (fileType) {
    case 1:
        return QCoreApplication::translate("TImageProperties", "TIFF Image");
    case 2:
        return QCoreApplication::translate("TImageProperties", "Compuserve GIF");
    case 3:
        return QCoreApplication::translate("TImageProperties", "JPEG Image");
    case 4:
        return QCoreApplication::translate("TImageProperties", "PCX Image");
    case 5:
        return QCoreApplication::translate("TImageProperties", "Windows Bitmap");
    case 6:
        return QCoreApplication::translate("TImageProperties", "Icon Resource");
    case 7:
        return QCoreApplication::translate("TImageProperties", "Windows Cursor");
    case 8:
        return QCoreApplication::translate("TImageProperties", "PNG Image");
    case 9:
        return QCoreApplication::translate("TImageProperties", "Windows Metafile");
    case 10:
        return QCoreApplication::translate("TImageProperties", "Enhanced Windows Metafile");
    default:
        return QCoreApplication::translate("TImageProperties", "Unknown");
    }
}

QString ColorsText(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
        return QStringLiteral("2");
    case 2:
        return QStringLiteral("4");
    case 3:
        return QStringLiteral("8");
    case 4:
        return QStringLiteral("16");
    case 5:
        return QStringLiteral("32");
    case 6:
        return QStringLiteral("64");
    case 7:
        return QStringLiteral("128");
    case 8:
        return QStringLiteral("256");
    case 15:
    case 16:
        return QCoreApplication::translate("TImageProperties", "65,536");
    case 24:
        return QCoreApplication::translate("TImageProperties", "16 Million");
    case 32:
        return QCoreApplication::translate("TImageProperties", "4 Billion");
    default:
        return QCoreApplication::translate("TImageProperties", "Unknown");
    }
}

TImageProperties makeImageProperties(int fileType, int width, int height, int bitsPerPixel,
                                     int jpegScale) {
    TImageProperties p;
    if (fileType == 0) {
        return p;
    }
    p.FileType = fileType;
    p.FileTypeName = FileTypeName(fileType);
    p.Width = width;
    p.Height = height;
    p.BitsPerPixel = bitsPerPixel == 15 ? 16 : bitsPerPixel;
    p.ColorsText = ColorsText(p.BitsPerPixel);
    p.JPEGScale = jpegScale;
    return p;
}

} // namespace palvo
