// JPEG decoding, encoding and the limits that protect against hostile files.
#include "ImagingTestUtil.h"

#include "imaging/ImageLimits.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

using namespace palvo;
using namespace palvo::test;

namespace {

// Compresses width × height pixels of the given colour space with libjpeg
// directly, for files our own encoder never writes: setup adjusts the
// parameters after the defaults, row gives each scanline.
template <class Setup, class Row>
QByteArray compressDirectly(int width, int height, int components, J_COLOR_SPACE space, Setup setup,
                            Row row) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    setup(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row(int(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    QByteArray result(reinterpret_cast<const char*>(buffer), qsizetype(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return result;
}

// A progressive file with the given scan script (or the simple one) and
// 4:4:4 sampling.
QByteArray encodeProgressive(const QImage& image, const std::vector<jpeg_scan_info>& scans) {
    return compressDirectly(
        image.width(), image.height(), 3, JCS_RGB,
        [&](jpeg_compress_struct& cinfo) {
            for (int c = 0; c < 3; ++c) {
                cinfo.comp_info[c].h_samp_factor = 1;
                cinfo.comp_info[c].v_samp_factor = 1;
            }
            if (scans.empty()) {
                jpeg_simple_progression(&cinfo);
            } else {
                cinfo.scan_info = scans.data();
                cinfo.num_scans = int(scans.size());
            }
        },
        [&](int y) { return const_cast<JSAMPROW>(image.constScanLine(y)); });
}

// A CMYK JPEG as Adobe programs write it: inverted values, Adobe marker.
QByteArray encodeInvertedCmyk(int width, int height, const unsigned char cmyk[4]) {
    std::vector<JSAMPLE> row(std::size_t(width) * 4);
    for (int x = 0; x < width; ++x)
        std::copy(cmyk, cmyk + 4, row.begin() + x * 4);
    return compressDirectly(
        width, height, 4, JCS_CMYK, [](jpeg_compress_struct&) {}, [&](int) { return row.data(); });
}

// A scan script of thousands of tiny scans: every AC coefficient of every
// component on its own, refined bit by bit.
std::vector<jpeg_scan_info> thousandsOfScans() {
    std::vector<jpeg_scan_info> scans;
    scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int c = 0; c < 3; ++c) {
        for (int k = 1; k < 64; ++k) {
            scans.push_back({1, {c, 0, 0, 0}, k, k, 0, 10});
            for (int al = 9; al >= 0; --al) {
                scans.push_back({1, {c, 0, 0, 0}, k, k, al + 1, al});
            }
        }
    }
    return scans;
}

// The file with the frame header claiming another size.
QByteArray withClaimedSize(QByteArray jpeg, int width, int height) {
    for (const JpegSegment& s : jpegHeaderSegments(jpeg)) {
        if (s.marker == 0xC0 || s.marker == 0xC1 || s.marker == 0xC2) {
            jpeg[s.offset + 5] = char(height >> 8);
            jpeg[s.offset + 6] = char(height & 0xFF);
            jpeg[s.offset + 7] = char(width >> 8);
            jpeg[s.offset + 8] = char(width & 0xFF);
        }
    }
    return jpeg;
}

bool hasMarker(const QByteArray& jpeg, unsigned char marker) {
    for (const JpegSegment& s : jpegHeaderSegments(jpeg)) {
        if (s.marker == marker) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(JpegScale, ChoosesTheLargestReductionThatStillCoversTheHint) {
    struct Case {
        int width, height, widthHint, heightHint, scale;
    };
    const Case cases[] = {
        {4000, 3000, 1280, 960, 2}, // 1/4 would give 1000 x 750
        {4000, 3000, 90, 75, 8},     {4000, 3000, 500, 375, 8},  {4000, 3000, 501, 375, 4},
        {4000, 3000, -1, -1, 1},     {4000, 3000, 0, 960, 1},    {4000, 3000, 1280, 0, 1},
        {1000, 1000, 1000, 1000, 1}, {1001, 1001, 126, 126, 8}, // sizes round up: 1001 / 8 -> 126
        {1000, 1000, 126, 126, 4},   {3000, 4000, 1280, 960, 2}, {100, 100, 4000, 4000, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseJpegScale(c.width, c.height, c.widthHint, c.heightHint), c.scale)
            << c.width << "x" << c.height << " hint " << c.widthHint << "x" << c.heightHint;
    }
}

TEST(JpegCodec, DecodesAtEveryScaleCloseToTheOriginal) {
    const QImage original = gradientImage(800, 600);
    JpegEncodeOptions options;
    options.quality = 95;
    const QByteArray jpeg = encodeJpeg(original, options);
    ASSERT_FALSE(jpeg.isEmpty());
    for (int scale : {1, 2, 4, 8}) {
        const JpegDecoded decoded = decodeJpeg(jpeg, scale);
        ASSERT_FALSE(decoded.image.isNull()) << scale;
        EXPECT_EQ(decoded.scale, scale);
        EXPECT_FALSE(decoded.damaged);
        EXPECT_EQ(decoded.image.format(), QImage::Format_RGB888);
        EXPECT_EQ(decoded.image.size(), QSize(800 / scale, 600 / scale));
        const QImage reference =
            original.scaled(decoded.image.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_LT(meanDifference(decoded.image, reference), 4.0) << scale;
    }
}

TEST(JpegCodec, EncodesBaselineWithStandardTablesAndNoExtraMarkers) {
    const QByteArray a = encodeJpeg(gradientImage(320, 240), {});
    const QByteArray b = encodeJpeg(quadrantImage(320, 240), {});
    ASSERT_FALSE(a.isEmpty());
    EXPECT_TRUE(hasMarker(a, 0xC0));  // baseline frame
    EXPECT_FALSE(hasMarker(a, 0xC2)); // not progressive
    int appSegments = 0;
    QByteArray tablesA, tablesB;
    for (const JpegSegment& s : jpegHeaderSegments(a)) {
        appSegments += (s.marker >= 0xE0 && s.marker <= 0xEF) || s.marker == 0xFE;
        if (s.marker == 0xC4) {
            tablesA += a.mid(s.offset, s.size);
        }
    }
    for (const JpegSegment& s : jpegHeaderSegments(b)) {
        if (s.marker == 0xC4) {
            tablesB += b.mid(s.offset, s.size);
        }
    }
    EXPECT_EQ(appSegments, 1); // the JFIF header only
    // Optimised Huffman tables would differ between two different pictures.
    EXPECT_EQ(tablesA, tablesB);

    JpegEncodeOptions withExif;
    QByteArray exif;
    ASSERT_TRUE(setExifOrientation(exif, 1));
    withExif.extraSegments = exifApp1Segment(exif);
    const QByteArray c = encodeJpeg(gradientImage(64, 64), withExif);
    EXPECT_EQ(jpegExifPayload(c), exif);
}

TEST(JpegCodec, SmallerFilesAtLowerQualityAndTheQualityIsRecognised) {
    const QImage image = gradientImage(640, 480);
    qsizetype previous = 0;
    for (int q : {100, 90, 75, 50, 25, 5}) {
        JpegEncodeOptions options;
        options.quality = q;
        const QByteArray jpeg = encodeJpeg(image, options);
        JpegHeader header;
        ASSERT_TRUE(readJpegHeader(jpeg, header));
        EXPECT_EQ(header.width, 640);
        EXPECT_EQ(header.height, 480);
        EXPECT_NEAR(header.quality, q, 1) << q;
        if (previous) {
            EXPECT_LT(jpeg.size(), previous) << q;
        }
        previous = jpeg.size();
    }
}

TEST(JpegCodec, AdobeCmykDecodesToRgb) {
    // Inverted CMYK: full "ink" is stored as 0. Pure red is no cyan, full
    // magenta and yellow, no black.
    const unsigned char red[4] = {255, 0, 0, 255};
    const JpegDecoded decoded = decodeJpeg(encodeInvertedCmyk(32, 16, red), 1);
    ASSERT_FALSE(decoded.image.isNull()) << qPrintable(decoded.error);
    EXPECT_EQ(decoded.image.format(), QImage::Format_RGB888);
    const QColor c = decoded.image.pixelColor(16, 8);
    EXPECT_NEAR(c.red(), 255, 4);
    EXPECT_NEAR(c.green(), 0, 4);
    EXPECT_NEAR(c.blue(), 0, 4);
    JpegHeader header;
    ASSERT_TRUE(readJpegHeader(encodeInvertedCmyk(32, 16, red), header));
    EXPECT_EQ(header.components, 4);
}

TEST(JpegCodec, TruncatedFileGivesAPartialPicture) {
    const QByteArray jpeg = encodeJpeg(gradientImage(400, 300), {});
    const JpegDecoded decoded = decodeJpeg(jpeg.left(jpeg.size() / 2), 1);
    ASSERT_FALSE(decoded.image.isNull());
    EXPECT_TRUE(decoded.damaged);
    EXPECT_EQ(decoded.image.size(), QSize(400, 300));
    // The top half is the picture, not filler.
    const QImage top = decoded.image.copy(0, 0, 400, 60);
    EXPECT_LT(meanDifference(top, gradientImage(400, 300).copy(0, 0, 400, 60)), 4.0);
}

TEST(JpegCodec, HostileFilesAreRefusedQuickly) {
    const QByteArray small = encodeJpeg(gradientImage(64, 64), {});
    const QByteArray progressive444 = encodeProgressive(gradientImage(64, 64), {});
    const QByteArray manyScans = encodeProgressive(gradientImage(64, 64), thousandsOfScans());
    ASSERT_FALSE(manyScans.isEmpty());
    struct Case {
        const char* name;
        QByteArray data;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", QByteArray(), ""},
        {"garbage", QByteArray(4096, '\x5A'), ""},
        {"only SOI", QByteArray("\xFF\xD8\xFF", 3), ""},
        {"over the pixel budget", withClaimedSize(small, 30000, 30000), "too large"},
        {"progressive beyond the decoder memory", withClaimedSize(progressive444, 14000, 14000),
         "too much memory"},
        {"thousands of scans", manyScans, "Too many scans"},
        // Within the pixel budget, but 1 KB cannot hold 14000 x 14000 pixels:
        // the full-size decode would allocate 588 MB for a memory bomb.
        {"baseline bomb at full size", withClaimedSize(small, 14000, 14000), "too much memory"},
        {"progressive bomb",
         withClaimedSize(encodeProgressive(gradientImage(64, 64), {}), 8000, 8000),
         "too much memory"},
    };
    for (const Case& c : cases) {
        const JpegDecoded decoded = decodeJpeg(c.data, 1);
        EXPECT_TRUE(decoded.image.isNull()) << c.name;
        EXPECT_FALSE(decoded.error.isEmpty()) << c.name;
        EXPECT_TRUE(decoded.error.contains(QLatin1String(c.reason)))
            << c.name << ": " << qPrintable(decoded.error);
    }
    JpegHeader header;
    EXPECT_FALSE(readJpegHeader(QByteArray(4096, '\x5A'), header));
    EXPECT_FALSE(readJpegHeader(QByteArray(), header));
    // A progressive file within the limits still decodes.
    EXPECT_FALSE(decodeJpeg(progressive444, 1).image.isNull());
}

TEST(JpegCodec, ABaselineFileClaimingALargeSizeDecodesSmallAtAReducedScale) {
    // 12000 x 9000 is within the budget; the data runs out at once, so the
    // picture is partial, and the 1/8 decode allocates only 1500 x 1125.
    const QByteArray claimed = withClaimedSize(encodeJpeg(gradientImage(64, 64), {}), 12000, 9000);
    const JpegDecoded decoded = decodeJpeg(claimed, 8);
    ASSERT_FALSE(decoded.image.isNull());
    EXPECT_TRUE(decoded.damaged);
    EXPECT_EQ(decoded.image.size(), QSize(1500, 1125));
}

TEST(JpegMarkers, ExifSegmentIsReplacedInsertedAndRemoved) {
    const QByteArray plain = encodeJpeg(gradientImage(32, 32), {});
    QByteArray exif;
    ASSERT_TRUE(setExifOrientation(exif, 6));
    const QByteArray with = jpegWithExifPayload(plain, exif);
    EXPECT_EQ(jpegExifPayload(with), exif);
    EXPECT_EQ(exifOrientation(jpegExifPayload(with)), 6);
    // The JFIF header stays first.
    EXPECT_EQ(jpegHeaderSegments(with).front().marker, 0xE0);
    QByteArray other;
    ASSERT_TRUE(setExifOrientation(other, 3));
    EXPECT_EQ(exifOrientation(jpegExifPayload(jpegWithExifPayload(with, other))), 3);
    const QByteArray removed = jpegWithExifPayload(with, QByteArray());
    EXPECT_TRUE(jpegExifPayload(removed).isEmpty());
    EXPECT_EQ(removed, plain);
    EXPECT_TRUE(jpegWithExifPayload(QByteArray("garbage"), exif).isEmpty());
    // A payload too big for one segment is refused, not truncated.
    EXPECT_TRUE(jpegWithExifPayload(plain, QByteArray(70000, 'x')).isEmpty());
}

TEST(JpegMarkers, MalformedSegmentsStopTheWalkWithoutReadingPastTheEnd) {
    const QByteArray cases[] = {
        QByteArray("\xFF\xD8\xFF\xE1\xFF\xFF", 6),        // length beyond the end
        QByteArray("\xFF\xD8\xFF\xE1\x00\x01xx", 8),      // length below 2
        QByteArray("\xFF\xD8\xFF\xFF\xFF\xFF", 6),        // fill bytes only
        QByteArray("\xFF\xD8\xFF\xE1\x00\x08Exif\0", 11), // EXIF header cut short
    };
    for (const QByteArray& data : cases) {
        EXPECT_TRUE(jpegExifPayload(data).isEmpty());
        EXPECT_LE(jpegHeaderSegments(data).size(), 1u);
    }
}

TEST(ExifData, OrientationValuesOutsideTheRangeCountAsOne) {
    for (int value : {0, 9, 255, 65535}) {
        QByteArray exif;
        ASSERT_TRUE(setExifOrientation(exif, value));
        EXPECT_EQ(exifOrientation(exif), 1) << value;
    }
    EXPECT_EQ(exifOrientation(QByteArray("II*\0\x08\0\0\0\xFF\xFF", 10)), 1);
    EXPECT_EQ(exifOrientation(QByteArray(100, '\xEE')), 1);
}

TEST(ExifData, UprightRewriteSetsOrientationDimensionsAndDropsTheThumbnail) {
    QByteArray exif;
    ASSERT_TRUE(setExifOrientation(exif, 6));
    ASSERT_TRUE(uprightExif(exif, 300, 400));
    EXPECT_EQ(exifOrientation(exif), 1);
    QByteArray garbage("not exif at all");
    EXPECT_FALSE(uprightExif(garbage, 1, 1));
    EXPECT_EQ(garbage, QByteArray("not exif at all"));
}
