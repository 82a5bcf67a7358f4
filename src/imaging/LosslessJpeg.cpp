#include "imaging/LosslessJpeg.h"

#include "imaging/ExifData.h"
#include "imaging/ImageLimits.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"

#include <turbojpeg.h>

namespace palvo {

namespace {

constexpr unsigned char kAPP0 = 0xE0;
constexpr unsigned char kAPP14 = 0xEE;
constexpr unsigned char kCOM = 0xFE;

// Application and comment segments to carry into a re-encoded file; the
// encoder writes its own JFIF header and the colour transform is its own.
QByteArray carriedSegments(const QByteArray& jpeg) {
    QByteArray out;
    for (const JpegSegment& s : jpegHeaderSegments(jpeg)) {
        const bool app = s.marker >= kAPP0 && s.marker <= 0xEF;
        if ((app || s.marker == kCOM) && s.marker != kAPP0 && s.marker != kAPP14) {
            out.append(jpeg.mid(s.offset, s.size));
        }
    }
    return out;
}

QByteArray losslessTransform(const QByteArray& jpeg, int operation, QString& error) {
    tjhandle handle = tjInitTransform();
    if (!handle) {
        error = QStringLiteral("Cannot start the JPEG transform");
        return {};
    }
    tjtransform transform{};
    transform.op = operation;
    transform.options = TJXOPT_PERFECT;
    unsigned char* output = nullptr;
    unsigned long outputSize = 0;
    QByteArray result;
    if (tjTransform(handle, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                    static_cast<unsigned long>(jpeg.size()), 1, &output, &outputSize, &transform,
                    TJFLAG_LIMITSCANS) == 0) {
        result = QByteArray(reinterpret_cast<const char*>(output), qsizetype(outputSize));
    } else {
        error = QString::fromLatin1(tjGetErrorStr2(handle));
    }
    tjFree(output);
    tjDestroy(handle);
    return result;
}

} // namespace

JpegTransformNeeds jpegTransformFor(const PictureTurn& turn) {
    if (turn == kTurnMirrorH) {
        return {TJXOP_HFLIP, true, false};
    }
    if (turn == kTurnMirrorV) {
        return {TJXOP_VFLIP, false, true};
    }
    if (turn == kTurnHalf) {
        return {TJXOP_ROT180, true, true};
    }
    if (turn == kTurnRight) {
        return {TJXOP_ROT90, false, true};
    }
    if (turn == kTurnLeft) {
        return {TJXOP_ROT270, true, false};
    }
    if (turn == PictureTurn{true, false, false}) {
        return {TJXOP_TRANSPOSE, false, false};
    }
    if (turn == PictureTurn{true, true, true}) {
        return {TJXOP_TRANSVERSE, true, true};
    }
    return {TJXOP_NONE, false, false};
}

JpegTurnResult turnJpeg(const QByteArray& jpeg, const PictureTurn& userTurn) {
    JpegTurnResult result;
    JpegHeader header;
    if (!readJpegHeader(jpeg, header)) {
        result.error = QStringLiteral("Not a JPEG file");
        return result;
    }
    if (!withinPixelBudget(header.width, header.height)) {
        result.error = QStringLiteral("Picture too large");
        return result;
    }
    const PictureTurn stored = turnForOrientation(exifOrientation(jpegExifPayload(jpeg)));
    const PictureTurn total = composeTurns(stored, userTurn);
    const JpegTransformNeeds needs = jpegTransformFor(total);
    const int mcuW = header.components == 1 ? 8 : header.mcuWidth;
    const int mcuH = header.components == 1 ? 8 : header.mcuHeight;
    const bool perfect = (!needs.wholeWidth || header.width % mcuW == 0) &&
                         (!needs.wholeHeight || header.height % mcuH == 0);
    QByteArray turned;
    if (total == kTurnNone) {
        turned = jpeg;
    } else if (perfect) {
        turned = losslessTransform(jpeg, needs.tjOperation, result.error);
    } else {
        const JpegDecoded decoded = decodeJpeg(jpeg, 1);
        if (decoded.image.isNull()) {
            result.error = decoded.error;
            return result;
        }
        JpegEncodeOptions options;
        options.quality = header.quality;
        const int hSamp = header.components == 1 ? 1 : header.mcuWidth / 8;
        const int vSamp = header.components == 1 ? 1 : header.mcuHeight / 8;
        options.lumaHSamp = total.transpose ? vSamp : hSamp;
        options.lumaVSamp = total.transpose ? hSamp : vSamp;
        options.extraSegments = carriedSegments(jpeg);
        turned = encodeJpeg(applyTurn(decoded.image, total), options);
        result.reencoded = true;
        if (turned.isEmpty()) {
            result.error = QStringLiteral("Cannot encode the turned picture");
        }
    }
    if (turned.isEmpty()) {
        return result;
    }
    QByteArray exif = jpegExifPayload(turned);
    if (!exif.isEmpty()) {
        const int w = total.transpose ? header.height : header.width;
        const int h = total.transpose ? header.width : header.height;
        // Metadata that cannot be read is dropped rather than left stale.
        if (!uprightExif(exif, w, h)) {
            exif.clear();
        }
        const QByteArray fixed = jpegWithExifPayload(turned, exif);
        turned = fixed.isEmpty() ? jpegWithExifPayload(turned, QByteArray()) : fixed;
    }
    result.data = turned;
    return result;
}

} // namespace palvo
