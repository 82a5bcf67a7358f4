// Per-channel automatic levels.
#include "imaging/HistogramLibrary.h"

#include <gtest/gtest.h>

using namespace palvo;

namespace {

QImage filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

void setPixel(QImage& image, int x, int y, int r, int g, int b) {
    uchar* p = image.scanLine(y) + x * 3;
    p[0] = uchar(r);
    p[1] = uchar(g);
    p[2] = uchar(b);
}

int redAt(const QImage& image, int x, int y) {
    return image.constScanLine(y)[x * 3];
}

} // namespace

TEST(AutoLevels, RedSpreadEvenlyOver20To230) {
    // 211 columns, one per red level 20..230, ten rows.
    QImage image(211, 10, QImage::Format_RGB888);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 211; ++x) {
            setPixel(image, x, y, 20 + x, 128, 128);
        }
    }
    const auto h = GetHistogram(image, image.rect());
    ASSERT_TRUE(h);
    EXPECT_EQ(LowClipLevel(h->red, kDarkClipFraction), 20);
    EXPECT_EQ(HighClipLevel(h->red, kBrightClipFraction), 230);
    EXPECT_EQ(stretchValue(95, 20, 230), 91);   // 75 x 255 / 210 = 91.07
    EXPECT_EQ(stretchValue(125, 20, 230), 127); // just below 127.5 in double precision
    ASSERT_TRUE(AutoLevels(image));
    EXPECT_EQ(redAt(image, 95 - 20, 5), 91);
    EXPECT_EQ(redAt(image, 125 - 20, 5), 127);
    EXPECT_EQ(redAt(image, 0, 5), 0);
    EXPECT_EQ(redAt(image, 210, 5), 255);
}

TEST(AutoLevels, ClipCountsOfAThousandPixelPicture) {
    // Dark clip count 2, bright clip count 4.
    struct Case {
        int strayBlack, strayWhite, low, high;
    };
    const Case cases[] = {{2, 0, 50, 50}, {3, 0, 0, 50}, {0, 4, 50, 50}, {0, 5, 50, 255}};
    for (const Case& c : cases) {
        QImage image = filled(100, 10, qRgb(50, 50, 50));
        for (int i = 0; i < c.strayBlack; ++i) {
            setPixel(image, 10 + i, 5, 0, 0, 0);
        }
        for (int i = 0; i < c.strayWhite; ++i) {
            setPixel(image, 30 + i, 5, 255, 255, 255);
        }
        const auto h = GetHistogram(image, image.rect());
        ASSERT_TRUE(h);
        EXPECT_EQ(h->red.total(), 1000);
        EXPECT_EQ(LowClipLevel(h->red, kDarkClipFraction), c.low) << c.strayBlack;
        EXPECT_EQ(HighClipLevel(h->red, kBrightClipFraction), c.high) << c.strayWhite;
    }
}

TEST(AutoLevels, ClipLevelsOfEmptyAndSingleLevelHistograms) {
    TefgHistogram empty;
    EXPECT_EQ(LowClipLevel(empty, 0.002), 255);
    EXPECT_EQ(HighClipLevel(empty, 0.004), 0);
    TefgHistogram one;
    one.counts[77] = 1;
    EXPECT_EQ(LowClipLevel(one, 0.002), 77);
    EXPECT_EQ(HighClipLevel(one, 0.004), 77);
}

TEST(AutoLevels, UniformPictureBecomesBlack) {
    QImage image = filled(40, 30, qRgb(90, 160, 220));
    ASSERT_TRUE(AutoLevels(image));
    EXPECT_EQ(image, filled(40, 30, qRgb(0, 0, 0)));
    // With equal limits the level itself goes to 0, everything above to 255.
    EXPECT_EQ(stretchValue(90, 90, 90), 0);
    EXPECT_EQ(stretchValue(91, 90, 90), 255);
    EXPECT_EQ(stretchValue(89, 90, 90), 0);
}

TEST(AutoLevels, TopLeftPixelCarriesTheCorrectedColourOfItsRightNeighbour) {
    QImage image(50, 40, QImage::Format_RGB888);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 50; ++x) {
            setPixel(image, x, y, (x * 5) % 256, (y * 6) % 256, (x + y) % 256);
        }
    }
    setPixel(image, 0, 0, 255, 0, 255);
    ASSERT_TRUE(AutoLevels(image));
    EXPECT_EQ(image.pixel(0, 0), image.pixel(1, 0));
}

TEST(AutoLevels, OnlyTwentyFourBitPicturesAreCorrected) {
    for (QImage::Format format : {QImage::Format_Indexed8, QImage::Format_RGB32,
                                  QImage::Format_Grayscale8, QImage::Format_ARGB32}) {
        QImage image = filled(20, 20, qRgb(90, 90, 90)).convertToFormat(format);
        const QImage before = image;
        EXPECT_FALSE(AutoLevels(image)) << int(format);
        EXPECT_EQ(image, before);
        EXPECT_FALSE(GetHistogram(image, image.rect()));
        try {
            StretchLevels(image, 0, 10, 0, 10, 0, 10);
            ADD_FAILURE() << "no error for format " << int(format);
        } catch (const EHistogramError& e) {
            EXPECT_STREQ(e.what(), "GetHistogram:  Bitmap must be 24-bit.");
        }
    }
    QImage null;
    EXPECT_FALSE(AutoLevels(null));
}

TEST(AutoLevels, HistogramOfARectangleCountsOnlyThatArea) {
    QImage image = filled(10, 10, qRgb(10, 20, 30));
    setPixel(image, 5, 5, 200, 100, 50);
    const auto h = GetHistogram(image, QRect(4, 4, 3, 3));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->red.total(), 9);
    EXPECT_EQ(h->red.counts[200], 1);
    EXPECT_EQ(h->intensity.counts[(200 + 100 + 50) / 3], 1);
    EXPECT_EQ(h->intensity.counts[20], 8);
}
