#include "imaging/Resample.h"

#include "imaging/ImageFormats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace palvo {

namespace {

constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;

double lanczos3(double x) {
    x = std::fabs(x);
    if (x < 1e-9) {
        return 1.0;
    }
    if (x >= 3.0) {
        return 0.0;
    }
    const double px = std::numbers::pi * x;
    return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
}

double triangle(double x) {
    x = std::fabs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

// For each output position: the first source index and fixed-point weights
// that sum to exactly kWeightOne.
struct Contributions {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<std::int32_t> weights; // count[i] weights per output, padded to maxCount
    int maxCount = 0;
};

Contributions makeContributions(int source, int target, ResampleFilter filter) {
    const double scale = double(source) / double(target);
    const double support = filter == ResampleFilter::Lanczos3 ? 3.0 : 1.0;
    const double widen = std::max(1.0, scale);
    const double radius = support * widen;
    Contributions c;
    c.maxCount = int(std::ceil(radius)) * 2 + 1;
    c.first.resize(std::size_t(target));
    c.count.resize(std::size_t(target));
    c.weights.assign(std::size_t(target) * std::size_t(c.maxCount), 0);
    std::vector<double> w(std::size_t(c.maxCount));
    for (int i = 0; i < target; ++i) {
        const double centre = (i + 0.5) * scale;
        int lo = std::max(0, int(std::floor(centre - radius)));
        int hi = std::min(source, int(std::ceil(centre + radius)));
        hi = std::min(hi, lo + c.maxCount);
        double sum = 0.0;
        for (int s = lo; s < hi; ++s) {
            const double x = (s + 0.5 - centre) / widen;
            const double v = filter == ResampleFilter::Lanczos3 ? lanczos3(x) : triangle(x);
            w[std::size_t(s - lo)] = v;
            sum += v;
        }
        // Drop zero weights at both ends.
        while (lo < hi - 1 && w[0] == 0.0) {
            std::rotate(w.begin(), w.begin() + 1, w.end());
            ++lo;
        }
        while (hi - 1 > lo && w[std::size_t(hi - 1 - lo)] == 0.0) {
            --hi;
        }
        if (sum == 0.0) {
            // Cannot happen for these kernels; guard anyway with the nearest pixel.
            lo = std::clamp(int(centre), 0, source - 1);
            hi = lo + 1;
            w[0] = sum = 1.0;
        }
        c.first[std::size_t(i)] = lo;
        c.count[std::size_t(i)] = hi - lo;
        std::int32_t* out = &c.weights[std::size_t(i) * std::size_t(c.maxCount)];
        std::int32_t total = 0;
        int largest = 0;
        for (int k = 0; k < hi - lo; ++k) {
            out[k] = std::int32_t(std::lround(w[std::size_t(k)] / sum * kWeightOne));
            total += out[k];
            if (out[k] > out[largest]) {
                largest = k;
            }
        }
        out[largest] += kWeightOne - total; // exact unity gain
    }
    return c;
}

inline std::uint8_t clampToByte(std::int32_t v) {
    v = (v + (1 << (kWeightBits - 1))) >> kWeightBits;
    return std::uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The two passes are compiled for AVX2 as well, chosen at run time: the
// 32-bit multiplies they are made of are four times wider there.
#define PALVO_VECTOR_CLONES [[gnu::target_clones("avx2", "default")]]

// Vertical pass: every output row is a weighted sum of whole source rows
// (contiguous bytes, which the compiler vectorises).
PALVO_VECTOR_CLONES void resampleRows(const QImage& src, QImage& dst, const Contributions& c) {
    const int rowBytes = src.width() * 3;
    std::vector<std::int32_t> acc(static_cast<std::size_t>(rowBytes));
    for (int y = 0; y < dst.height(); ++y) {
        std::fill(acc.begin(), acc.end(), 0);
        const std::int32_t* w = &c.weights[std::size_t(y) * std::size_t(c.maxCount)];
        const int first = c.first[std::size_t(y)];
        const int taps = c.count[std::size_t(y)];
        std::int32_t* a = acc.data();
        int k = 0;
        // Four rows at a time: a quarter of the accumulator traffic.
        for (; k + 4 <= taps; k += 4) {
            const std::uint8_t* r0 = src.constScanLine(first + k);
            const std::uint8_t* r1 = src.constScanLine(first + k + 1);
            const std::uint8_t* r2 = src.constScanLine(first + k + 2);
            const std::uint8_t* r3 = src.constScanLine(first + k + 3);
            const std::int32_t w0 = w[k], w1 = w[k + 1], w2 = w[k + 2], w3 = w[k + 3];
            for (int x = 0; x < rowBytes; ++x) {
                a[x] += w0 * r0[x] + w1 * r1[x] + w2 * r2[x] + w3 * r3[x];
            }
        }
        for (; k < taps; ++k) {
            const std::uint8_t* row = src.constScanLine(first + k);
            const std::int32_t weight = w[k];
            for (int x = 0; x < rowBytes; ++x) {
                a[x] += weight * row[x];
            }
        }
        std::uint8_t* out = dst.scanLine(y);
        for (int x = 0; x < rowBytes; ++x) {
            out[x] = clampToByte(acc[std::size_t(x)]);
        }
    }
}

// Swaps rows and columns, in tiles that stay in the cache.
QImage transposed(const QImage& src) {
    QImage dst(src.height(), src.width(), QImage::Format_RGB888);
    if (dst.isNull()) {
        return dst;
    }
    constexpr int kTile = 32;
    std::uint8_t* bits = dst.bits();
    const std::size_t stride = std::size_t(dst.bytesPerLine());
    for (int y0 = 0; y0 < src.height(); y0 += kTile) {
        for (int x0 = 0; x0 < src.width(); x0 += kTile) {
            const int y1 = std::min(src.height(), y0 + kTile);
            const int x1 = std::min(src.width(), x0 + kTile);
            for (int y = y0; y < y1; ++y) {
                const std::uint8_t* in = src.constScanLine(y) + std::size_t(x0) * 3;
                for (int x = x0; x < x1; ++x, in += 3) {
                    std::uint8_t* out = bits + std::size_t(x) * stride + std::size_t(y) * 3;
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            }
        }
    }
    return dst;
}

QImage resampleNearest(const QImage& src, int width, int height) {
    QImage dst(width, height, QImage::Format_RGB888);
    if (dst.isNull()) {
        return dst;
    }
    std::vector<int> xs(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        xs[std::size_t(x)] =
            std::min(src.width() - 1, int((std::int64_t(x) * 2 + 1) * src.width() / (2 * width)));
    }
    for (int y = 0; y < height; ++y) {
        const int sy = std::min(src.height() - 1,
                                int((std::int64_t(y) * 2 + 1) * src.height() / (2 * height)));
        const std::uint8_t* in = src.constScanLine(sy);
        std::uint8_t* out = dst.scanLine(y);
        for (int x = 0; x < width; ++x, out += 3) {
            const std::uint8_t* p = in + std::size_t(xs[std::size_t(x)]) * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
    return dst;
}

} // namespace

QImage resampleImage(const QImage& image, int width, int height, ResampleFilter filter) {
    if (image.isNull() || width <= 0 || height <= 0) {
        return {};
    }
    const QImage src = toRgb24(image);
    if (src.isNull()) {
        return {};
    }
    if (filter == ResampleFilter::None) {
        return resampleNearest(src, width, height);
    }
    QImage rows = src;
    if (height != src.height()) {
        rows = QImage(src.width(), height, QImage::Format_RGB888);
        if (rows.isNull()) {
            return {};
        }
        resampleRows(src, rows, makeContributions(src.height(), height, filter));
    }
    if (width == src.width()) {
        return rows;
    }
    // The horizontal pass runs as a vertical one on the transposed picture:
    // whole rows of bytes vectorise, pixels of three bytes do not.
    const QImage across = transposed(rows);
    QImage turned(height, width, QImage::Format_RGB888);
    if (across.isNull() || turned.isNull()) {
        return {};
    }
    resampleRows(across, turned, makeContributions(src.width(), width, filter));
    QImage dst = transposed(turned);
    return dst.isNull() ? QImage() : dst;
}

} // namespace palvo
