#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <memory>
#include <stdexcept>

namespace palvo {

// Per-channel automatic levels of 24-bit pictures (QImage::Format_RGB888):
// each channel is stretched so that its darkest 0.2 % and brightest 0.4 % of
// pixels become black and full intensity.

class TefgHistogram {
public:
    std::array<long long, 256> counts{};
    [[nodiscard]] long long total() const;
};

struct TRGBHistograms {
    TefgHistogram red;
    TefgHistogram green;
    TefgHistogram blue;
    TefgHistogram intensity; // (red + green + blue) / 3, integer division
};

inline constexpr double kDarkClipFraction = 0.002;
inline constexpr double kBrightClipFraction = 0.004;

// The error StretchLevels raises for a bitmap that is not 24-bit.
class EHistogramError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// True for the 24-bit pixel format the unit works on.
[[nodiscard]] bool is24BitBitmap(const QImage& bitmap);

// Counts every pixel of rect (clipped to the bitmap); null when the bitmap
// is not 24-bit.
[[nodiscard]] std::unique_ptr<TRGBHistograms> GetHistogram(const QImage& bitmap, const QRect& rect);

[[nodiscard]] int LowClipLevel(const TefgHistogram& histogram, double fraction);
[[nodiscard]] int HighClipLevel(const TefgHistogram& histogram, double fraction);

// One channel value stretched between lo and hi.
[[nodiscard]] int stretchValue(int value, int lo, int hi);

// Throws EHistogramError("GetHistogram:  Bitmap must be 24-bit.") for any
// other format, before touching a pixel.
void StretchLevels(QImage& bitmap, int redLow, int redHigh, int greenLow, int greenHigh,
                   int blueLow, int blueHigh);

// The whole correction; false, and the bitmap untouched, when it is not
// 24-bit or the correction fails.
bool AutoLevels(QImage& bitmap);

} // namespace palvo
