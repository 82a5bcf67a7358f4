// Synthetic camera photos: large JPEGs that decode like real ones. A photo
// is a sky gradient over a ground, lit by a soft vignette, with smooth random
// texture at three scales (so detail survives the reduction to the frame),
// hundreds of hard-edged objects (rectangles and discs) and sensor noise on
// every pixel, encoded at quality 92 with 4:2:0 chroma and an EXIF segment.
// The noise and texture keep the entropy, and so the Huffman decoding cost,
// near that of a real photo.
#pragma once

#include "imaging/ExifData.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"

#include <QByteArray>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace palvo::test {

class FastRandom {
public:
    explicit FastRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return std::uint32_t(state_ >> 11);
    }
    int uniform(int n) { return int(next() % std::uint32_t(n)); }
    // Roughly normal, mean 0, standard deviation about 1 (sum of four uniforms).
    double normal() {
        double s = 0;
        for (int i = 0; i < 4; ++i)
            s += double(next() & 0xFFFF) / 65535.0;
        return (s - 2.0) * 1.732;
    }

private:
    std::uint64_t state_;
};

// Smooth random texture: a grid of random values every `cell` pixels,
// interpolated bilinearly; values in -amplitude..amplitude.
class ValueNoise {
public:
    ValueNoise(int width, int height, int cell, int amplitude, FastRandom& random)
        : cell_(cell), columns_(width / cell + 2), rows_(height / cell + 2) {
        grid_.resize(size_t(columns_) * size_t(rows_));
        for (int& v : grid_)
            v = random.uniform(2 * amplitude + 1) - amplitude;
    }
    // One row of values, added into out.
    void addRow(int y, std::vector<int>& out) const {
        const int gy = y / cell_;
        const int fy = y % cell_;
        const int* top = &grid_[size_t(gy) * size_t(columns_)];
        const int* bottom = top + columns_;
        for (size_t x = 0; x < out.size(); ++x) {
            const int gx = int(x) / cell_;
            const int fx = int(x) % cell_;
            const int a = top[gx] * (cell_ - fx) + top[gx + 1] * fx;
            const int b = bottom[gx] * (cell_ - fx) + bottom[gx + 1] * fx;
            out[x] += (a * (cell_ - fy) + b * fy) / (cell_ * cell_);
        }
    }

private:
    int cell_;
    int columns_;
    int rows_;
    std::vector<int> grid_;
};

inline QImage cameraLikeImage(int width, int height, std::uint64_t seed) {
    QImage image(width, height, QImage::Format_RGB888);
    FastRandom random(seed);
    const int horizon = height * (30 + random.uniform(30)) / 100;
    const int skyR = 60 + random.uniform(60), skyG = 110 + random.uniform(60),
              skyB = 180 + random.uniform(60);
    const int groundR = 60 + random.uniform(100), groundG = 70 + random.uniform(90),
              groundB = 30 + random.uniform(60);
    // Texture at the scales that survive the reduction to the frame: leaves,
    // gravel, clouds.
    const int scale = std::max(1, width / 4000);
    const ValueNoise fine(width, height, 5 * scale, 34, random);
    const ValueNoise medium(width, height, 23 * scale, 40, random);
    const ValueNoise coarse(width, height, 160 * scale, 30, random);
    // A lookup of sensor noise values keeps the inner loop cheap.
    constexpr int kNoise = 1 << 16;
    static thread_local std::vector<int> noise;
    if (noise.empty()) {
        noise.resize(kNoise);
        FastRandom n(12345);
        for (int& v : noise)
            v = int(std::lround(n.normal() * 3.0));
    }
    const double cx = width / 2.0, cy = height / 2.0;
    const double maxR2 = cx * cx + cy * cy;
    std::vector<int> texture;
    texture.resize(size_t(width));
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        const bool sky = y < horizon;
        const double t = sky ? double(y) / horizon : double(y - horizon) / (height - horizon);
        std::fill(texture.begin(), texture.end(), 0);
        coarse.addRow(y, texture);
        if (!sky) {
            medium.addRow(y, texture);
            fine.addRow(y, texture);
        }
        int offset = random.uniform(kNoise);
        for (int x = 0; x < width; ++x, p += 3) {
            const double dx = x - cx, dy = y - cy;
            const double light = 1.0 - 0.35 * (dx * dx + dy * dy) / maxR2;
            const int tx = texture[size_t(x)];
            double r, g, b;
            if (sky) {
                r = skyR + 60 * t + tx / 2;
                g = skyG + 40 * t + tx / 2;
                b = skyB + 10 * t + tx / 3;
            } else {
                r = groundR * (1 - 0.4 * t) + tx;
                g = groundG * (1 - 0.3 * t) + tx * 1.2;
                b = groundB + tx / 2;
            }
            offset = (offset + 3) & (kNoise - 1);
            p[0] = uchar(std::clamp(int(r * light) + noise[size_t(offset)], 0, 255));
            p[1] = uchar(
                std::clamp(int(g * light) + noise[size_t((offset + 1) & (kNoise - 1))], 0, 255));
            p[2] = uchar(
                std::clamp(int(b * light) + noise[size_t((offset + 2) & (kNoise - 1))], 0, 255));
        }
    }
    // Hard-edged objects: buildings and signs, then many small ones (windows,
    // flowers, stones).
    const int large = 12 + random.uniform(10);
    const int small = 300 + random.uniform(300);
    for (int i = 0; i < large + small; ++i) {
        const int div = i < large ? 1 : 8;
        const int w = width / 30 / div + random.uniform(std::max(1, width / 6 / div));
        const int h = height / 30 / div + random.uniform(std::max(1, height / 5 / div));
        const int x0 = random.uniform(std::max(1, width - w));
        const int y0 = horizon / 2 + random.uniform(std::max(1, height - h - horizon / 2));
        const int r = random.uniform(256), g = random.uniform(256), b = random.uniform(256);
        const bool disc = random.uniform(3) == 0;
        for (int y = y0; y < y0 + h && y < height; ++y) {
            uchar* p = image.scanLine(y) + 3 * x0;
            for (int x = x0; x < x0 + w && x < width; ++x, p += 3) {
                if (disc) {
                    const double ex = (x - x0 - w / 2.0) / (w / 2.0);
                    const double ey = (y - y0 - h / 2.0) / (h / 2.0);
                    if (ex * ex + ey * ey > 1)
                        continue;
                }
                const int shade = ((x - x0) * 40) / std::max(1, w);
                p[0] = uchar(std::clamp(r - shade + (p[0] & 15), 0, 255));
                p[1] = uchar(std::clamp(g - shade + (p[1] & 15), 0, 255));
                p[2] = uchar(std::clamp(b - shade + (p[2] & 15), 0, 255));
            }
        }
    }
    return image;
}

// The photo as a camera file: quality 92, 4:2:0, EXIF with the orientation.
inline QByteArray cameraLikeJpeg(int width, int height, std::uint64_t seed, int orientation = 1) {
    JpegEncodeOptions options;
    options.quality = 92;
    QByteArray tiff;
    if (setExifOrientation(tiff, orientation))
        options.extraSegments = exifApp1Segment(tiff);
    return encodeJpeg(cameraLikeImage(width, height, seed), options);
}

} // namespace palvo::test
