#pragma once

#include <QImage>

namespace palvo {

// One of the eight turns and mirrors of a rectangular picture, expressed as
// "transpose (swap x and y) first, then mirror left-right, then mirror
// top-bottom". Every EXIF orientation and every quarter turn is one of them.
struct PictureTurn {
    bool transpose = false;
    bool flipHorizontal = false;
    bool flipVertical = false;

    friend bool operator==(const PictureTurn&, const PictureTurn&) = default;
};

inline constexpr PictureTurn kTurnNone{};
inline constexpr PictureTurn kTurnRight{true, true, false};    // 90 degrees clockwise
inline constexpr PictureTurn kTurnHalf{false, true, true};     // 180 degrees
inline constexpr PictureTurn kTurnLeft{true, false, true};     // 270 degrees clockwise
inline constexpr PictureTurn kTurnMirrorH{false, true, false}; // left-right mirror
inline constexpr PictureTurn kTurnMirrorV{false, false, true}; // top-bottom mirror

// The turn "first a, then b".
[[nodiscard]] PictureTurn composeTurns(const PictureTurn& first, const PictureTurn& then);

// The turn that brings pictures stored with this EXIF orientation upright;
// values outside 1..8 count as 1.
[[nodiscard]] PictureTurn turnForOrientation(int orientation);

// The clockwise quarter turn of angle degrees (90, 180, 270 or their
// negatives); any other multiple of 360 gives no turn.
[[nodiscard]] PictureTurn turnForClockwiseAngle(int angle);

// The picture with the turn applied (pixels exactly moved, no resampling).
[[nodiscard]] QImage applyTurn(const QImage& image, const PictureTurn& turn);

// EXIF orientation values outside 1..8 are treated as 1.
[[nodiscard]] constexpr int sanitizeOrientation(int orientation) {
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

} // namespace palvo
