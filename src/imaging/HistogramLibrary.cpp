#include "imaging/HistogramLibrary.h"

#include <cmath>
#include <cstdint>

namespace palvo {

long long TefgHistogram::total() const {
    long long sum = 0;
    for (long long c : counts) {
        sum += c;
    }
    return sum;
}

bool is24BitBitmap(const QImage& bitmap) {
    return !bitmap.isNull() && bitmap.format() == QImage::Format_RGB888;
}

std::unique_ptr<TRGBHistograms> GetHistogram(const QImage& bitmap, const QRect& rect) {
    if (!is24BitBitmap(bitmap)) {
        return nullptr;
    }
    auto result = std::make_unique<TRGBHistograms>();
    const QRect area = rect.intersected(bitmap.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* p = bitmap.constScanLine(y) + std::size_t(area.left()) * 3;
        for (int x = area.left(); x <= area.right(); ++x, p += 3) {
            ++result->red.counts[p[0]];
            ++result->green.counts[p[1]];
            ++result->blue.counts[p[2]];
            ++result->intensity.counts[(p[0] + p[1] + p[2]) / 3];
        }
    }
    return result;
}

int LowClipLevel(const TefgHistogram& histogram, double fraction) {
    auto n = static_cast<long long>(fraction * double(histogram.total()));
    for (int level = 0; level < 256; ++level) {
        n -= histogram.counts[std::size_t(level)];
        if (n < 0) {
            return level;
        }
    }
    return 255;
}

int HighClipLevel(const TefgHistogram& histogram, double fraction) {
    auto n = static_cast<long long>(fraction * double(histogram.total()));
    for (int level = 255; level >= 0; --level) {
        n -= histogram.counts[std::size_t(level)];
        if (n < 0) {
            return level;
        }
    }
    return 0;
}

int stretchValue(int value, int lo, int hi) {
    // With equal limits the division has no result; the factor is then 255.
    const double factor = hi == lo ? 255.0 : 255.0 / double(hi - lo);
    const double v = std::nearbyint(factor * double(value - lo));
    return v < 0 ? 0 : (v > 255 ? 255 : int(v));
}

namespace {

std::array<std::uint8_t, 256> stretchTable(int lo, int hi) {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[std::size_t(c)] = std::uint8_t(stretchValue(c, lo, hi));
    }
    return table;
}

} // namespace

void StretchLevels(QImage& bitmap, int redLow, int redHigh, int greenLow, int greenHigh,
                   int blueLow, int blueHigh) {
    if (!is24BitBitmap(bitmap)) {
        throw EHistogramError("GetHistogram:  Bitmap must be 24-bit.");
    }
    // Each channel value maps independently of every other pixel, so a table
    // per channel gives exactly the per-value arithmetic in any visiting order.
    const auto r = stretchTable(redLow, redHigh);
    const auto g = stretchTable(greenLow, greenHigh);
    const auto b = stretchTable(blueLow, blueHigh);
    for (int y = bitmap.height() - 1; y >= 0; --y) {
        uchar* row = bitmap.scanLine(y);
        for (int x = bitmap.width() - 1; x >= 0; --x) {
            uchar* p = row + std::size_t(x) * 3;
            p[0] = r[p[0]];
            p[1] = g[p[1]];
            p[2] = b[p[2]];
        }
    }
}

bool AutoLevels(QImage& bitmap) {
    if (!is24BitBitmap(bitmap)) {
        return false;
    }
    try {
        const auto h = GetHistogram(bitmap, bitmap.rect());
        if (!h) {
            return false;
        }
        const int redLow = LowClipLevel(h->red, kDarkClipFraction);
        const int redHigh = HighClipLevel(h->red, kBrightClipFraction);
        const int greenLow = LowClipLevel(h->green, kDarkClipFraction);
        const int greenHigh = HighClipLevel(h->green, kBrightClipFraction);
        const int blueLow = LowClipLevel(h->blue, kDarkClipFraction);
        const int blueHigh = HighClipLevel(h->blue, kBrightClipFraction);
        // The top-left pixel takes the colour of its right-hand neighbour.
        if (bitmap.width() > 1) {
            uchar* top = bitmap.scanLine(0);
            top[0] = top[3];
            top[1] = top[4];
            top[2] = top[5];
        }
        StretchLevels(bitmap, redLow, redHigh, greenLow, greenHigh, blueLow, blueHigh);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace palvo
