#pragma once

#include <QImage>

namespace palvo {

// Resampling of 24-bit RGB pictures (any other format is converted first).
// The filters are separable; when shrinking, the kernel is widened by the
// reduction factor so every source pixel contributes (no aliasing).
enum class ResampleFilter {
    None,       // nearest neighbour
    FastLinear, // triangle (bilinear) kernel
    Lanczos3,   // windowed sinc, three lobes
};

// A null image when the target size is not positive or memory is short.
[[nodiscard]] QImage resampleImage(const QImage& image, int width, int height,
                                   ResampleFilter filter);

} // namespace palvo
