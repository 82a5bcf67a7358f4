// Turning JPEG files without re-encoding, and the metadata that must follow.
#include "ImagingTestUtil.h"

#include "imaging/ExifData.h"
#include "imaging/IEFunctions.h"
#include "imaging/JpegCodec.h"
#include "imaging/JpegMarkers.h"
#include "imaging/LosslessJpeg.h"
#include "imaging/Orientation.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>

using namespace palvo;
using namespace palvo::test;

namespace {

// EXIF as a phone writes it: orientation, stored pixel dimensions and an
// embedded thumbnail.
QByteArray phoneExif(int orientation, int width, int height) {
    Exiv2::ExifData exif;
    exif["Exif.Image.Orientation"] = uint16_t(orientation);
    exif["Exif.Photo.PixelXDimension"] = uint32_t(width);
    exif["Exif.Photo.PixelYDimension"] = uint32_t(height);
    exif["Exif.Image.Make"] = "Test";
    const QByteArray thumb = encodeJpeg(gradientImage(32, 24), {});
    Exiv2::ExifThumb(exif).setJpegThumbnail(reinterpret_cast<const Exiv2::byte*>(thumb.constData()),
                                            long(thumb.size()));
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    return QByteArray(reinterpret_cast<const char*>(blob.data()), qsizetype(blob.size()));
}

QByteArray phoneJpeg(const QImage& stored, int orientation) {
    JpegEncodeOptions options;
    options.quality = 92;
    options.extraSegments =
        exifApp1Segment(phoneExif(orientation, stored.width(), stored.height()));
    return encodeJpeg(stored, options);
}

struct ExifFacts {
    int orientation = 0;
    long pixelX = -1;
    long pixelY = -1;
    bool thumbnail = false;
};

ExifFacts factsOf(const QByteArray& jpeg) {
    ExifFacts facts;
    const QByteArray tiff = jpegExifPayload(jpeg);
    Exiv2::ExifData exif;
    Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(tiff.constData()),
                              uint32_t(tiff.size()));
    facts.orientation = exifOrientation(tiff);
    auto x = exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelXDimension"));
    auto y = exif.findKey(Exiv2::ExifKey("Exif.Photo.PixelYDimension"));
    facts.pixelX = x == exif.end() ? -1 : x->toLong();
    facts.pixelY = y == exif.end() ? -1 : y->toLong();
    facts.thumbnail = Exiv2::ExifThumbC(exif).copy().size_ > 0;
    return facts;
}

QImage stored(const QByteArray& jpeg) {
    return decodeJpeg(jpeg, 1).image;
}

class LosslessRotation : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
    TIEFunctions ie;
};

} // namespace

TEST(PictureTurns, CompositionTable) {
    EXPECT_EQ(composeTurns(kTurnRight, kTurnRight), kTurnHalf);
    EXPECT_EQ(composeTurns(kTurnRight, kTurnLeft), kTurnNone);
    EXPECT_EQ(composeTurns(kTurnHalf, kTurnRight), kTurnLeft);
    EXPECT_EQ(composeTurns(kTurnMirrorH, kTurnMirrorH), kTurnNone);
    EXPECT_EQ(composeTurns(kTurnMirrorH, kTurnMirrorV), kTurnHalf);
    EXPECT_EQ(composeTurns(turnForOrientation(6), kTurnRight), kTurnHalf);
    EXPECT_EQ(composeTurns(turnForOrientation(8), kTurnRight), kTurnNone);
    // Every composition agrees with turning the pixels one after the other.
    const QImage image = gradientImage(6, 4);
    for (int a = 1; a <= 8; ++a) {
        for (int b = 1; b <= 8; ++b) {
            const PictureTurn first = turnForOrientation(a);
            const PictureTurn then = turnForOrientation(b);
            EXPECT_EQ(applyTurn(image, composeTurns(first, then)),
                      applyTurn(applyTurn(image, first), then))
                << a << " then " << b;
        }
    }
    EXPECT_EQ(turnForOrientation(0), kTurnNone);
    EXPECT_EQ(turnForOrientation(9), kTurnNone);
    EXPECT_EQ(turnForClockwiseAngle(-90), kTurnLeft);
    EXPECT_EQ(turnForClockwiseAngle(450), kTurnRight);
}

TEST_F(LosslessRotation, FourRightTurnsOfAnAlignedJpegGiveTheOriginalPixels) {
    const QByteArray original = phoneJpeg(gradientImage(320, 240), 1);
    ASSERT_TRUE(writeFile(path("a.jpg"), original));
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(ie.LosslessRotateJPEG(path("a.jpg"), path("a.jpg"), 90)) << i;
    }
    const QByteArray turned = readFile(path("a.jpg"));
    EXPECT_EQ(maxDifference(stored(turned), stored(original)), 0);
    EXPECT_EQ(factsOf(turned).orientation, 1);
    // The in-place turn left no temporary file behind.
    EXPECT_FALSE(QFileInfo::exists(QDir(QDir::tempPath()).filePath("~rot.jpg")));
}

TEST_F(LosslessRotation, OneTurnMatchesTurningThePixelsAndFixesTheMetadata) {
    const QImage picture = quadrantImage(320, 240);
    const QByteArray original = phoneJpeg(picture, 1);
    ASSERT_TRUE(writeFile(path("b.jpg"), original));
    ASSERT_TRUE(ie.LosslessRotateJPEG(path("b.jpg"), path("c.jpg"), 90));
    const QByteArray turned = readFile(path("c.jpg"));
    const JpegTurnResult direct = turnJpeg(original, kTurnRight);
    EXPECT_FALSE(direct.reencoded);
    // A DCT-domain turn differs from a pixel turn by a few levels of chroma.
    EXPECT_LE(maxDifference(stored(turned), applyTurn(stored(original), kTurnRight)), 3);
    const ExifFacts facts = factsOf(turned);
    EXPECT_EQ(facts.orientation, 1);
    EXPECT_EQ(facts.pixelX, 240);
    EXPECT_EQ(facts.pixelY, 320);
    EXPECT_FALSE(facts.thumbnail);
    EXPECT_TRUE(factsOf(original).thumbnail);
    // The source is untouched when the destination is another file.
    EXPECT_EQ(readFile(path("b.jpg")), original);
    // The other markers came along.
    EXPECT_TRUE(jpegExifPayload(turned).contains("Test"));
}

TEST_F(LosslessRotation, UnalignedSizesAreTurnedWholeWithoutEdgeStripOrCrop) {
    // 100 x 70 is not a whole number of 16 x 16 blocks in either direction.
    const QImage picture = gradientImage(100, 70);
    const QByteArray original = phoneJpeg(picture, 1);
    JpegHeader before;
    ASSERT_TRUE(readJpegHeader(original, before));
    for (int angle : {90, 180, 270}) {
        const JpegTurnResult result = turnJpeg(original, turnForClockwiseAngle(angle));
        ASSERT_FALSE(result.data.isEmpty()) << angle;
        EXPECT_TRUE(result.reencoded);
        const QImage expected = applyTurn(stored(original), turnForClockwiseAngle(angle));
        const QImage got = stored(result.data);
        ASSERT_EQ(got.size(), expected.size()) << angle;
        EXPECT_LT(meanDifference(got, expected), 3.0) << angle; // one generation of loss
        // The edge strips, where a plain transform leaves garbage.
        const int w = got.width();
        const int h = got.height();
        EXPECT_LT(meanDifference(got.copy(w - 8, 0, 8, h), expected.copy(w - 8, 0, 8, h)), 3.0);
        EXPECT_LT(meanDifference(got.copy(0, h - 8, w, 8), expected.copy(0, h - 8, w, 8)), 3.0);
        EXPECT_LT(meanDifference(got.copy(0, 0, 8, h), expected.copy(0, 0, 8, h)), 3.0);
        JpegHeader after;
        ASSERT_TRUE(readJpegHeader(result.data, after));
        EXPECT_NEAR(after.quality, before.quality, 1);
        const ExifFacts facts = factsOf(result.data);
        EXPECT_EQ(facts.orientation, 1);
        EXPECT_EQ(facts.pixelX, w);
        EXPECT_EQ(facts.pixelY, h);
    }
    // A flip of an unaligned height needs no re-encode when only the width
    // must be whole blocks: 96 x 70 mirrored left-right.
    EXPECT_FALSE(turnJpeg(phoneJpeg(gradientImage(96, 70), 2), kTurnNone).reencoded);
}

TEST_F(LosslessRotation, PhoneOrientationSixTurnedRightIsStoredHalfTurnedWithOrientationOne) {
    const QImage sensor = quadrantImage(320, 240); // as the sensor saw it
    const QByteArray phone = phoneJpeg(sensor, 6);
    ASSERT_TRUE(writeFile(path("phone.jpg"), phone));
    QImage upright;
    ASSERT_TRUE(ie.LoadBitmapFromFile(upright, path("phone.jpg"), -1, -1, false));
    EXPECT_EQ(upright.size(), QSize(240, 320));

    ASSERT_TRUE(ie.LosslessRotateJPEG(path("phone.jpg"), path("phone.jpg"), 90));
    const QByteArray turned = readFile(path("phone.jpg"));
    EXPECT_EQ(factsOf(turned).orientation, 1);
    EXPECT_EQ(factsOf(turned).pixelX, 320);
    EXPECT_LE(maxDifference(stored(turned), applyTurn(stored(phone), kTurnHalf)), 3);
    QImage shown;
    ASSERT_TRUE(ie.LoadBitmapFromFile(shown, path("phone.jpg"), -1, -1, false));
    EXPECT_LE(maxDifference(shown, applyTurn(upright, kTurnRight)), 3);
}

TEST_F(LosslessRotation, TransformFileTurnsOtherFormatsThroughThePixels) {
    const QImage picture = quadrantImage(60, 40);
    ASSERT_TRUE(ie.SaveBitmapToFile(picture, path("p.png"), 0, false, false));
    ASSERT_TRUE(ie.TransformFile(path("p.png"), path("p.png"), 99, true, 90, true, false, false,
                                 true, Qt::white));
    QImage back;
    ASSERT_TRUE(ie.LoadBitmapFromFile(back, path("p.png"), -1, -1, false));
    EXPECT_EQ(back, applyTurn(picture, kTurnRight));

    // JPEG with lossless allowed goes the lossless way.
    ASSERT_TRUE(writeFile(path("t.jpg"), phoneJpeg(gradientImage(64, 48), 1)));
    ASSERT_TRUE(ie.TransformFile(path("t.jpg"), path("u.jpg"), 99, true, 270, true, false, false,
                                 true, Qt::white));
    JpegHeader header;
    ASSERT_TRUE(readJpegHeader(readFile(path("u.jpg")), header));
    EXPECT_EQ(QSize(header.width, header.height), QSize(48, 64));

    EXPECT_FALSE(ie.TransformFile(path("missing.png"), path("x.png"), 99, true, 90, true, false,
                                  false, true, Qt::white));
    ASSERT_TRUE(writeFile(path("bad.jpg"), "no picture"));
    EXPECT_FALSE(ie.LosslessRotateJPEG(path("bad.jpg"), path("bad.jpg"), 90));
    EXPECT_EQ(readFile(path("bad.jpg")), QByteArray("no picture"));
}

TEST_F(LosslessRotation, TemporaryNameIsMadeUniqueAndResetSetsTheTag) {
    const QString first = losslessTempFileName();
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("~rot.jpg"));
    ASSERT_TRUE(writeFile(first, "taken"));
    EXPECT_EQ(QFileInfo(losslessTempFileName()).fileName(), QStringLiteral("~rot_2.jpg"));
    QFile::remove(first);

    const QByteArray plain = encodeJpeg(quadrantImage(64, 32), {});
    ASSERT_TRUE(writeFile(path("r.jpg"), plain));
    ASSERT_TRUE(ie.ResetEXIFOrientation(path("r.jpg"), 6));
    QImage image;
    ASSERT_TRUE(ie.LoadBitmapFromFile(image, path("r.jpg"), -1, -1, false));
    EXPECT_EQ(image.size(), QSize(32, 64));
    ASSERT_TRUE(ie.ResetEXIFOrientation(path("r.jpg"), 1));
    ASSERT_TRUE(ie.LoadBitmapFromFile(image, path("r.jpg"), -1, -1, false));
    EXPECT_EQ(image.size(), QSize(64, 32));
    EXPECT_FALSE(ie.ResetEXIFOrientation(path("r.png"), 1));
    ASSERT_TRUE(writeFile(path("junk.jpg"), "junk"));
    EXPECT_FALSE(ie.ResetEXIFOrientation(path("junk.jpg"), 1));
}
