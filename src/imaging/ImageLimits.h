#pragma once

#include <cstdint>

namespace palvo {

// Limits every decoder honours, so that no file, however hostile, can make
// the program allocate without bound or spin for long.

// Pictures whose header claims more pixels than this are refused before any
// pixel memory is allocated. Ordinary 45-60 MP camera photos stay well below.
inline constexpr std::int64_t kMaxPicturePixels = 200'000'000;

// Files larger than this are not read into memory at all.
inline constexpr std::int64_t kMaxPictureFileBytes = 1'024LL * 1024 * 1024;

// The JPEG decoder's own working memory (coefficient buffers of progressive
// files and the like), on top of the output picture.
inline constexpr std::int64_t kMaxJpegDecoderBytes = 640LL * 1024 * 1024;

// Above this much memory for one decode (coefficient buffer and output), a
// JPEG file must hold at least one byte per eight blocks: Huffman coding
// spends a bit or more on every block, so a file under that is mostly
// missing and its size claim is a memory bomb (a 1 KB file claiming
// 14000 x 14000 pixels).
inline constexpr std::int64_t kJpegBombCheckBytes = 64LL * 1024 * 1024;

// A JPEG file with more scans than this is hostile (ordinary progressive
// files have about ten).
inline constexpr int kMaxJpegScans = 500;

// Qt's image reader allocation limit in megabytes (its default of 128
// refuses ordinary large photos); our own pixel budget applies as well.
inline constexpr int kQtAllocationLimitMB = 1024;

// True when a picture of this size stays within the pixel budget.
[[nodiscard]] constexpr bool withinPixelBudget(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width * height <= kMaxPicturePixels;
}

} // namespace palvo
