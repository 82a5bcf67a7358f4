// The placement rule, fitting and resampling.
#include "ImagingTestUtil.h"

#include "imaging/IEFunctions.h"
#include "imaging/Resample.h"

#include <gtest/gtest.h>

#include <set>

using namespace palvo;
using namespace palvo::test;

namespace {

QImage stripes(int width, int height, int period) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = p[1] = p[2] = ((x / period) % 2) ? 255 : 0;
        }
    }
    return image;
}

std::set<int> channelValues(const QImage& image) {
    std::set<int> values;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* p = image.constScanLine(y);
        for (int i = 0; i < image.width() * 3; ++i) {
            values.insert(p[i]);
        }
    }
    return values;
}

} // namespace

TEST(FitRect, TableOfPlacements) {
    struct Case {
        int sw, sh, bw, bh, left, top;
        bool enlarge, shrink, centreH, centreV;
        double overshoot;
        TRect expected;
    };
    const Case cases[] = {
        // Any zero size: the empty rectangle at the origin given.
        {0, 100, 640, 480, 5, 7, true, true, true, true, 0, {5, 7, 0, 0}},
        {100, 100, 640, 0, 5, 7, true, true, true, true, 0, {5, 7, 0, 0}},
        // Width binds: 1600 / 640 > 600 / 480; 0.4 x 600 = 240, centred 120 down.
        {1600, 600, 640, 480, 0, 0, true, true, true, true, 0, {0, 120, 640, 360}},
        // Equal ratios take the height branch: 480 / 960 scales both sides.
        {1280, 960, 640, 480, 10, 20, true, true, false, false, 0, {10, 20, 650, 500}},
        // Shrinking not allowed: the picture keeps its size and overflows,
        // centred with offsets truncated toward zero (320 - 800, 240 - 300).
        {1600, 600, 640, 480, 0, 0, true, false, true, true, 0, {-480, -60, 1120, 540}},
        // Enlarging allowed or not.
        {320, 240, 640, 480, 0, 0, true, true, false, false, 0, {0, 0, 640, 480}},
        {320, 240, 640, 480, 0, 0, false, true, true, true, 0, {160, 120, 480, 360}},
        // Overshoot: 0.64 x 1.2 = 0.768 and 500 x 0.768 = 384 still fits.
        {1000, 500, 640, 480, 0, 0, true, true, false, false, 20, {0, 0, 768, 384}},
        // ... but 700 x 0.768 = 537.6 does not, so 480 / 700 binds: 685.7 -> 686.
        {1000, 700, 640, 480, 0, 0, true, true, false, false, 20, {0, 0, 686, 480}},
        // Height binds with overshoot checked against the width.
        {500, 1000, 480, 640, 0, 0, true, true, false, false, 20, {0, 0, 384, 768}},
        // Sizes round halves to even: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2.
        {4, 1, 2, 2, 0, 0, true, true, false, false, 0, {0, 0, 2, 0}},
        {4, 3, 2, 2, 0, 0, true, true, false, false, 0, {0, 0, 2, 2}},
        {4, 5, 2, 10, 0, 0, true, true, false, false, 0, {0, 0, 2, 2}},
        // Centring of an odd remainder: trunc(5 / 2 - 8 / 2) = trunc(-1.5) = -1.
        {8, 1, 5, 100, 0, 0, false, false, true, false, 0, {-1, 0, 7, 1}},
        {3, 1, 6, 100, 0, 0, false, false, true, false, 0, {1, 0, 4, 1}},
    };
    for (const Case& c : cases) {
        const TRect r = TIEFunctions::FitRect(c.sw, c.sh, c.bw, c.bh, c.left, c.top, c.enlarge,
                                              c.shrink, c.centreH, c.centreV, c.overshoot);
        EXPECT_EQ(r, c.expected) << c.sw << "x" << c.sh << " in " << c.bw << "x" << c.bh << " -> "
                                 << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
    }
}

TEST(FitRect, FitSizeIsFitRectWithoutCentringOrOvershoot) {
    EXPECT_EQ(TIEFunctions::FitSize(1600, 600, 640, 480, false), QSize(640, 240));
    EXPECT_EQ(TIEFunctions::FitSize(320, 240, 640, 480, false), QSize(320, 240));
    EXPECT_EQ(TIEFunctions::FitSize(320, 240, 640, 480, true), QSize(640, 480));
    EXPECT_EQ(TIEFunctions::FitSize(4000, 3000, 90, 75, false), QSize(90, 68));
    EXPECT_EQ(TIEFunctions::FitSize(0, 3000, 90, 75, false), QSize(0, 0));
}

TEST(FitBitmap, NeverEnlargesWhenNotAllowedButShrinksAnOverlongSide) {
    TIEFunctions ie;
    QImage small = gradientImage(320, 240);
    const QImage before = small;
    ASSERT_TRUE(ie.FitBitmap(small, 640, 480, false, rfLanczos3, false, false, false));
    EXPECT_EQ(small.size(), QSize(320, 240));
    EXPECT_EQ(small, before);

    QImage wide = gradientImage(700, 100); // too wide, short enough
    ASSERT_TRUE(ie.FitBitmap(wide, 640, 480, false, rfLanczos3, false, false, false));
    EXPECT_EQ(wide.size(), QSize(640, 91));

    QImage enlarged = gradientImage(320, 240);
    ASSERT_TRUE(ie.FitBitmap(enlarged, 640, 480, true, rfLanczos3, false, false, false));
    EXPECT_EQ(enlarged.size(), QSize(640, 480));

    QImage large = gradientImage(1600, 600);
    ASSERT_TRUE(ie.FitBitmap(large, 640, 480, false, rfLanczos3, false, false, false));
    EXPECT_EQ(large.size(), QSize(640, 240));
}

TEST(ResampleBitmap, TinyTargetsUseNoFilter) {
    TIEFunctions ie;
    const QImage source = stripes(40, 200, 3);
    struct Case {
        int width, height;
        bool onlyBlackAndWhite;
    };
    const Case cases[] = {{4, 100, true}, {100, 4, true}, {3, 3, true}, {5, 100, false}};
    for (const Case& c : cases) {
        QImage image = source;
        ASSERT_TRUE(ie.ResampleBitmap(image, c.width, c.height, rfLanczos3, false, false, false));
        EXPECT_EQ(image.size(), QSize(c.width, c.height));
        EXPECT_EQ(channelValues(image) == std::set<int>({0, 255}), c.onlyBlackAndWhite)
            << c.width << "x" << c.height;
    }
}

TEST(ResampleBitmap, SameSizeZeroAndProportionalTargets) {
    TIEFunctions ie;
    QImage image = gradientImage(300, 200);
    const QImage before = image;
    EXPECT_TRUE(ie.ResampleBitmap(image, 300, 200, rfLanczos3, false, false, false));
    EXPECT_TRUE(ie.ResampleBitmap(image, 0, 50, rfLanczos3, false, false, false));
    EXPECT_EQ(image, before);
    EXPECT_TRUE(ie.ResampleBitmap(image, 150, -1, rfFastLinear, false, false, false));
    EXPECT_EQ(image.size(), QSize(150, 100));
    EXPECT_TRUE(ie.ResampleBitmap(image, -1, 50, rfNone, false, false, false));
    EXPECT_EQ(image.size(), QSize(75, 50));
    QImage indexed = gradientImage(64, 64).convertToFormat(QImage::Format_Indexed8);
    EXPECT_TRUE(ie.ResampleBitmap(indexed, 32, 32, rfLanczos3, false, true, false));
    EXPECT_EQ(indexed.format(), QImage::Format_RGB888);
}

TEST(Resample, ShrinkingAveragesFineDetailInsteadOfAliasing) {
    // One-pixel stripes shrunk by 4: a filter that honours every source
    // pixel gives an even grey; point sampling keeps hard stripes.
    const QImage source = stripes(400, 40, 1);
    for (ResampleFilter filter : {ResampleFilter::Lanczos3, ResampleFilter::FastLinear}) {
        const QImage shrunk = resampleImage(source, 100, 10, filter);
        ASSERT_EQ(shrunk.size(), QSize(100, 10));
        // Away from the edges, where the kernel is cut off by the border.
        for (int v : channelValues(shrunk.copy(2, 0, 96, 10))) {
            EXPECT_NEAR(v, 128, 3) << int(filter);
        }
    }
    const std::set<int> nearest =
        channelValues(resampleImage(source, 100, 10, ResampleFilter::None));
    EXPECT_EQ(nearest.size(), 1u); // every fourth column: all the same, all wrong
}

TEST(Resample, FlatAreasStayExactAndSmoothPicturesStayClose) {
    QImage flat(333, 211, QImage::Format_RGB888);
    flat.fill(QColor(17, 130, 250));
    for (ResampleFilter filter : {ResampleFilter::Lanczos3, ResampleFilter::FastLinear}) {
        for (const QSize size : {QSize(100, 64), QSize(640, 480), QSize(333, 50)}) {
            const QImage out = resampleImage(flat, size.width(), size.height(), filter);
            EXPECT_EQ(channelValues(out), std::set<int>({17, 130, 250}));
        }
    }
    const QImage smooth = gradientImage(1500, 1000);
    const QImage reference =
        smooth.scaled(640, 427, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(meanDifference(resampleImage(smooth, 640, 427, ResampleFilter::Lanczos3), reference),
              2.0);
    const QImage small = gradientImage(160, 120);
    const QImage up = resampleImage(small, 640, 480, ResampleFilter::Lanczos3);
    EXPECT_LT(
        meanDifference(up, small.scaled(640, 480, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
        3.0);
}

TEST(RotateBitmap, QuarterTurnsAreExactAndOtherAnglesFillTheCorners) {
    TIEFunctions ie;
    const QImage original = quadrantImage(40, 20);
    QImage image = original;
    ASSERT_TRUE(ie.RotateBitmap(image, 90, 0));
    EXPECT_EQ(image.size(), QSize(20, 40));
    EXPECT_EQ(image.pixel(19, 0), original.pixel(0, 0)); // top-left went top-right
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(ie.RotateBitmap(image, 90, 2));
    }
    EXPECT_EQ(image, original);

    QImage tilted = gradientImage(100, 100);
    ASSERT_TRUE(ie.RotateBitmap(tilted, 45, 2, QColor(0, 0, 255)));
    EXPECT_GE(tilted.width(), 141);
    EXPECT_EQ(tilted.pixel(0, 0), qRgb(0, 0, 255));

    QImage flipped = original;
    ASSERT_TRUE(ie.TransformBitmap(flipped, false, 0, false, true, false, Qt::white));
    EXPECT_EQ(flipped.pixel(39, 0), original.pixel(0, 0));
}
