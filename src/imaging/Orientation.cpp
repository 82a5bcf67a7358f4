#include "imaging/Orientation.h"

#include <QTransform>

namespace palvo {

PictureTurn composeTurns(const PictureTurn& first, const PictureTurn& then) {
    // A transpose turns a left-right mirror into a top-bottom one and back.
    if (then.transpose) {
        return {!first.transpose, first.flipVertical != then.flipHorizontal,
                first.flipHorizontal != then.flipVertical};
    }
    return {first.transpose, first.flipHorizontal != then.flipHorizontal,
            first.flipVertical != then.flipVertical};
}

PictureTurn turnForOrientation(int orientation) {
    switch (sanitizeOrientation(orientation)) {
    case 2:
        return kTurnMirrorH;
    case 3:
        return kTurnHalf;
    case 4:
        return kTurnMirrorV;
    case 5:
        return {true, false, false};
    case 6:
        return kTurnRight;
    case 7:
        return {true, true, true};
    case 8:
        return kTurnLeft;
    default:
        return kTurnNone;
    }
}

PictureTurn turnForClockwiseAngle(int angle) {
    switch (((angle % 360) + 360) % 360) {
    case 90:
        return kTurnRight;
    case 180:
        return kTurnHalf;
    case 270:
        return kTurnLeft;
    default:
        return kTurnNone;
    }
}

QImage applyTurn(const QImage& image, const PictureTurn& turn) {
    if (turn == kTurnNone || image.isNull()) {
        return image;
    }
    // A transpose is a clockwise quarter turn followed by a left-right mirror.
    QImage result = image;
    if (turn.transpose) {
        result = result.transformed(QTransform().rotate(90), Qt::FastTransformation);
    }
    const bool flipH = turn.flipHorizontal != turn.transpose;
    if (flipH || turn.flipVertical) {
        result = result.mirrored(flipH, turn.flipVertical);
    }
    return result;
}

} // namespace palvo
