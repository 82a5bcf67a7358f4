// Loading and saving through TIEFunctions: readers by extension and by
// content, hinted JPEG loads, EXIF orientation, properties and error texts.
#include "ImagingTestUtil.h"

#include "imaging/IEFunctions.h"
#include "imaging/ImageFormats.h"
#include "imaging/Orientation.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace palvo;
using namespace palvo::test;

namespace {

class IEFunctionsIO : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ie.OnErrorLog = [this](const QString& text) { errors << text; };
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QString saveWithQt(const QImage& image, const QString& name, const char* format) {
        QImageWriter writer(path(name), format);
        EXPECT_TRUE(writer.write(image)) << qPrintable(writer.errorString());
        return path(name);
    }
    QString saveJpeg(const QByteArray& bytes, const QString& name) {
        EXPECT_TRUE(writeFile(path(name), bytes));
        return path(name);
    }

    QTemporaryDir dir;
    TIEFunctions ie;
    QStringList errors;
};

QRgb pixelAt(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

bool near(QRgb a, QRgb b, int tolerance = 24) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

const QRgb kRed = qRgb(220, 20, 20);
const QRgb kGreen = qRgb(20, 220, 20);
const QRgb kBlue = qRgb(20, 20, 220);
const QRgb kWhite = qRgb(235, 235, 235);

} // namespace

TEST_F(IEFunctionsIO, PhoneStylePicturesLoadUprightEverywhere) {
    // Stored with the red quadrant top-left; orientation 6 says "turn right
    // to view", so red must appear top-right and the picture is portrait.
    struct Case {
        int orientation;
        QSize size;
        QRgb topLeft, topRight;
    };
    const Case cases[] = {
        {1, {96, 64}, kRed, kGreen},   {3, {96, 64}, kWhite, kBlue}, {6, {64, 96}, kBlue, kRed},
        {8, {64, 96}, kGreen, kWhite}, {2, {96, 64}, kGreen, kRed},  {9, {96, 64}, kRed, kGreen},
    };
    for (const Case& c : cases) {
        const QString file = saveJpeg(jpegWithOrientation(quadrantImage(96, 64), c.orientation),
                                      QStringLiteral("o%1.jpg").arg(c.orientation));
        QImage full, hinted, thumb;
        int scale = 0;
        ASSERT_TRUE(ie.LoadBitmapFromFile(full, file, -1, -1, false));
        ASSERT_TRUE(ie.LoadBitmapFromFile(hinted, file, 30, 30, scale, false));
        TImageIO io;
        QString error;
        ASSERT_TRUE(ie.LoadIntoIO(io, file, false, error));
        for (const QImage& image : {full, io.Bitmap}) {
            EXPECT_EQ(image.size(), c.size) << c.orientation;
            EXPECT_TRUE(near(pixelAt(image, 2, 2), c.topLeft)) << c.orientation;
            EXPECT_TRUE(near(pixelAt(image, image.width() - 3, 2), c.topRight)) << c.orientation;
        }
        EXPECT_EQ(hinted.size(), c.size / 2) << c.orientation;
        EXPECT_EQ(scale, 2);
        EXPECT_TRUE(near(pixelAt(hinted, 1, 1), c.topLeft)) << c.orientation;
        TImageProperties properties;
        ASSERT_TRUE(ie.GetImageProperties(file, properties));
        EXPECT_EQ(QSize(properties.Width, properties.Height), c.size);
    }
}

TEST_F(IEFunctionsIO, HintedJpegLoadPicksTheScaleAndReportsIt) {
    const QString file = saveJpeg(encodeJpeg(gradientImage(1600, 1200), {}), "big.jpg");
    struct Case {
        int widthHint, heightHint, scale;
        QSize size;
    };
    const Case cases[] = {{400, 300, 4, {400, 300}},
                          {90, 75, 8, {200, 150}},
                          {1280, 960, 1, {1600, 1200}},
                          {-1, -1, 1, {1600, 1200}},
                          {800, 2, 2, {800, 600}}};
    for (const Case& c : cases) {
        QImage image;
        int scale = 0;
        ASSERT_TRUE(ie.LoadJPEGBitmap(image, file, c.widthHint, c.heightHint, scale, false));
        EXPECT_EQ(scale, c.scale) << c.widthHint;
        EXPECT_EQ(image.size(), c.size) << c.widthHint;
        EXPECT_EQ(image.format(), QImage::Format_RGB888);
    }
    TImageIO io;
    ASSERT_TRUE(ie.LoadJPEGIntoIO(io, file, 400, 300));
    EXPECT_EQ(io.Params.JPEGScale, 4);
    EXPECT_EQ(io.Params.Width, 1600);
    EXPECT_EQ(io.Params.FileTypeName, QStringLiteral("JPEG Image"));
    EXPECT_EQ(io.Params.ColorsText, QStringLiteral("16 Million"));
}

TEST_F(IEFunctionsIO, OtherFormatsLoadThroughQtAsUpright24BitPictures) {
    const QImage original = gradientImage(120, 80);
    struct Case {
        const char* name;
        const char* format;
        int fileType;
        int bits;
    };
    const Case cases[] = {{"p.png", "png", ioPNG, 24},
                          {"p.bmp", "bmp", ioBMP, 24},
                          {"p.tif", "tiff", ioTIFF, 24},
                          {"p.gif", nullptr, ioGIF, 8},
                          {"p.ico", "ico", ioICO, 32}};
    for (const Case& c : cases) {
        QString file;
        if (c.format) {
            file = saveWithQt(original, c.name, c.format);
        } else {
            ASSERT_TRUE(ie.SaveBitmapToFile(original, path(c.name), 0, false, false));
            file = path(c.name);
        }
        QImage image;
        ASSERT_TRUE(ie.LoadBitmapFromFile(image, file, 90, 75, false)) << c.name;
        EXPECT_EQ(image.format(), QImage::Format_RGB888) << c.name;
        EXPECT_EQ(image.size(), original.size()) << c.name;
        EXPECT_LT(meanDifference(image, original), c.fileType == ioGIF ? 12.0 : 0.5) << c.name;
        TImageProperties properties;
        ASSERT_TRUE(ie.GetImageProperties(file, properties)) << c.name;
        EXPECT_EQ(properties.FileType, c.fileType) << c.name;
        EXPECT_EQ(QSize(properties.Width, properties.Height), original.size()) << c.name;
        EXPECT_EQ(properties.BitsPerPixel, c.bits) << c.name;
    }
}

TEST_F(IEFunctionsIO, TransparencyIsCompositedOntoWhite) {
    QImage clear(10, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    const QString file = saveWithQt(clear, "clear.png", "png");
    QImage image;
    ASSERT_TRUE(ie.LoadBitmapFromFile(image, file, -1, -1, false));
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
}

TEST_F(IEFunctionsIO, FalseExtensionsAreReadByContentOnlyWhenSniffingIsAllowed) {
    const QString file = saveWithQt(gradientImage(50, 40), "disguised.xxx", "png");
    QImage image;
    EXPECT_TRUE(ie.LoadBitmapFromFile(image, file, -1, -1, false));
    EXPECT_EQ(image.size(), QSize(50, 40));
    TImageIO io;
    QString error;
    EXPECT_FALSE(ie.LoadIntoIO(io, file, false, error));
    EXPECT_EQ(error, QStringLiteral("Unknown Extension"));
    // A failed read leaves the recognisable 1 x 1 picture.
    EXPECT_EQ(io.Bitmap.size(), QSize(1, 1));

    // A PNG named .jpg is not sniffed (not in the list) and fails.
    const QString wrong = saveWithQt(gradientImage(50, 40), "wrong.jpg", "png");
    EXPECT_FALSE(ie.LoadIntoIO(io, wrong, true, error));
    EXPECT_EQ(error, QStringLiteral("Unknown Extension"));
    ie.FalseExtensionformats = QStringLiteral("*.XXX;*.JPG;");
    EXPECT_TRUE(ie.LoadIntoIO(io, wrong, true, error));
    EXPECT_EQ(io.Params.FileType, ioPNG);

    // Garbage under a listed extension is an unknown image type.
    ASSERT_TRUE(writeFile(path("garbage.xxx"), QByteArray(500, '\x11')));
    EXPECT_FALSE(ie.LoadIntoIO(io, path("garbage.xxx"), true, error));
    EXPECT_EQ(error, QStringLiteral("Unknown image type"));
    // A PNG signature with nothing behind it is an invalid image.
    ASSERT_TRUE(writeFile(path("cut.xxx"), QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16)));
    EXPECT_FALSE(ie.LoadIntoIO(io, path("cut.xxx"), true, error));
    EXPECT_EQ(error, QStringLiteral("Invalid Image"));
}

TEST_F(IEFunctionsIO, OnePixelWideOrHighPicturesCountAsFailedLoads) {
    for (const QSize size : {QSize(1, 50), QSize(50, 1), QSize(1, 1)}) {
        const QString file =
            saveWithQt(gradientImage(size.width(), size.height()), "thin.png", "png");
        QImage image;
        EXPECT_FALSE(ie.LoadBitmapFromFile(image, file, -1, -1, false)) << size.width();
        const QString jpeg =
            saveJpeg(encodeJpeg(gradientImage(size.width(), size.height()), {}), "thin.jpg");
        int scale = 0;
        EXPECT_FALSE(ie.LoadJPEGBitmap(image, jpeg, 100, 100, scale, false));
        EXPECT_EQ(errors.last(), QStringLiteral("Invalid loaded image"));
    }
    const QString ok = saveWithQt(gradientImage(2, 2), "two.png", "png");
    QImage image;
    EXPECT_TRUE(ie.LoadBitmapFromFile(image, ok, -1, -1, false));
}

TEST_F(IEFunctionsIO, BrokenAndHostileFilesFailCleanly) {
    const QByteArray jpeg = encodeJpeg(gradientImage(200, 150), {});
    // A BMP header claiming 30000 x 30000 pixels of 24 bits.
    QByteArray bmp(54, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    auto put32 = [&bmp](int at, quint32 v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + i] = char((v >> (8 * i)) & 0xFF);
        }
    };
    put32(2, 54 + 16);
    put32(10, 54);
    put32(14, 40);
    put32(18, 30000);
    put32(22, 30000);
    bmp[26] = 1;
    bmp[28] = 24;
    bmp.append(QByteArray(16, '\x7F'));
    struct Case {
        const char* name;
        QByteArray data;
    };
    const Case cases[] = {{"empty.jpg", QByteArray()},
                          {"zero.png", QByteArray()},
                          {"garbage.jpg", QByteArray(999, 'q')},
                          {"garbage.tif", QByteArray(999, 'q')},
                          {"huge.bmp", bmp},
                          {"cut.png", QByteArray("\x89PNG", 4)}};
    for (const Case& c : cases) {
        ASSERT_TRUE(writeFile(path(c.name), c.data));
        QImage image;
        EXPECT_FALSE(ie.LoadBitmapFromFile(image, path(c.name), 90, 75, false)) << c.name;
        EXPECT_FALSE(ie.LoadBitmapFromFile(image, path(c.name), -1, -1, false)) << c.name;
        TImageProperties properties;
        EXPECT_FALSE(ie.GetImageProperties(path(c.name), properties) && properties.Width > 20000)
            << c.name;
    }
    QImage image;
    EXPECT_FALSE(ie.LoadBitmapFromFile(image, path("missing.jpg"), -1, -1, false));
    EXPECT_EQ(errors.last(), QStringLiteral("Error loading ") + path("missing.jpg"));

    // A truncated JPEG is shown as a partial picture and noted.
    ASSERT_TRUE(writeFile(path("half.jpg"), jpeg.left(jpeg.size() / 2)));
    EXPECT_TRUE(ie.LoadBitmapFromFile(image, path("half.jpg"), -1, -1, false));
    EXPECT_TRUE(ie.LastLoadDamaged());
    EXPECT_EQ(image.size(), QSize(200, 150));
    EXPECT_EQ(errors.last(), QStringLiteral("Partial picture: ") + path("half.jpg"));
}

TEST_F(IEFunctionsIO, SavesByExtensionAndReportsFailuresWithTheirTexts) {
    const QImage image = gradientImage(64, 48);
    for (const char* name : {"s.png", "s.bmp", "s.tif", "s.jpg", "s.gif"}) {
        ASSERT_TRUE(ie.SaveBitmapToFile(image, path(name), 90, false, false)) << name;
        QImage back;
        ASSERT_TRUE(ie.LoadBitmapFromFile(back, path(name), -1, -1, false)) << name;
        EXPECT_EQ(back.size(), image.size()) << name;
    }
    EXPECT_EQ(detectFileType(readFile(path("s.gif"))), ioGIF);
    EXPECT_EQ(detectFileType(readFile(path("s.tif"))), ioTIFF);

    EXPECT_FALSE(ie.SaveBitmapToFile(image, path("s.unknown"), 90, false, false));
    EXPECT_EQ(errors.last(), QStringLiteral("Error saving to ") + path("s.unknown"));
    EXPECT_FALSE(ie.SaveBitmapToFile(image, path("no/such/folder/s.jpg"), 90, false, false));
    EXPECT_EQ(errors.last(), QStringLiteral("Error #2 saving to ") + path("no/such/folder/s.jpg"));
    // Under a listed extension the format of the file already there is kept.
    ie.FalseExtensionformats = QStringLiteral("*.XXX;");
    saveWithQt(gradientImage(8, 8), "keep.xxx", "bmp");
    ASSERT_TRUE(ie.SaveBitmapToFile(image, path("keep.xxx"), 90, false, false));
    EXPECT_EQ(detectFileType(readFile(path("keep.xxx"))), ioBMP);
    ASSERT_TRUE(writeFile(path("unknown.xxx"), "plain text"));
    EXPECT_FALSE(ie.SaveBitmapToFile(image, path("unknown.xxx"), 90, false, false));
    EXPECT_EQ(errors.last(), QStringLiteral("Save Unknown Extension Error"));
}

TEST_F(IEFunctionsIO, SavedJpegOfAnUprightPictureSaysOrientationOne) {
    const QString file = saveJpeg(jpegWithOrientation(quadrantImage(96, 64), 6), "phone.jpg");
    TImageIO io;
    QString error;
    ASSERT_TRUE(ie.LoadIntoIO(io, file, false, error));
    ASSERT_FALSE(io.Exif.isEmpty());
    ASSERT_TRUE(ie.SaveFromIO(io, path("copy.jpg"), 90, false));
    const QByteArray saved = readFile(path("copy.jpg"));
    EXPECT_EQ(exifOrientation(jpegExifPayload(saved)), 1);
    QImage back;
    ASSERT_TRUE(ie.LoadBitmapFromFile(back, path("copy.jpg"), -1, -1, false));
    EXPECT_EQ(back.size(), QSize(64, 96));
    EXPECT_LT(meanDifference(back, io.Bitmap), 3.0);
}

TEST_F(IEFunctionsIO, ReducedTo256ColoursKeepsThePictureRecognisable) {
    const QImage image = gradientImage(100, 100);
    const QImage reduced = reduceTo256Colours(image);
    ASSERT_EQ(reduced.format(), QImage::Format_Indexed8);
    EXPECT_LE(reduced.colorCount(), 256);
    EXPECT_LT(meanDifference(reduced, image), 10.0);
    QImage resized = image;
    ASSERT_TRUE(ie.ResampleBitmap(resized, 50, 50, rfLanczos3, true, false, false));
    EXPECT_EQ(resized.format(), QImage::Format_Indexed8);
}

TEST(ImageProperties, TablesOfFormatNamesAndColourCounts) {
    const std::pair<int, const char*> names[] = {
        {1, "TIFF Image"},       {2, "Compuserve GIF"},
        {3, "JPEG Image"},       {4, "PCX Image"},
        {5, "Windows Bitmap"},   {6, "Icon Resource"},
        {7, "Windows Cursor"},   {8, "PNG Image"},
        {9, "Windows Metafile"}, {10, "Enhanced Windows Metafile"},
        {0, "Unknown"},          {11, "Unknown"}};
    for (const auto& [type, name] : names) {
        EXPECT_EQ(FileTypeName(type), QString::fromLatin1(name)) << type;
    }
    const std::pair<int, const char*> colours[] = {
        {1, "2"},          {2, "4"},       {3, "8"},        {4, "16"},      {5, "32"},
        {6, "64"},         {7, "128"},     {8, "256"},      {16, "65,536"}, {24, "16 Million"},
        {32, "4 Billion"}, {15, "65,536"}, {12, "Unknown"}, {0, "Unknown"}};
    for (const auto& [bits, text] : colours) {
        EXPECT_EQ(ColorsText(bits), QString::fromLatin1(text)) << bits;
    }
    EXPECT_EQ(makeImageProperties(ioBMP, 10, 10, 15, 1).BitsPerPixel, 16);
    EXPECT_EQ(makeImageProperties(0, 10, 10, 24, 4), TImageProperties());
    EXPECT_EQ(TImageProperties().JPEGScale, 1);
}

TEST(IEFunctionsFileTests, ExtensionsDecideJpegAndRaw) {
    EXPECT_TRUE(TIEFunctions::IsJPEGFile("a/b.JPG"));
    EXPECT_TRUE(TIEFunctions::IsJPEGFile("b.jpe"));
    EXPECT_TRUE(TIEFunctions::IsJPEGFile("b.Jpeg"));
    EXPECT_FALSE(TIEFunctions::IsJPEGFile("b.jpg.png"));
    EXPECT_FALSE(TIEFunctions::IsJPEGFile("jpg"));
    EXPECT_TRUE(TIEFunctions::IsRawFile("x.nef"));
    EXPECT_TRUE(TIEFunctions::IsRawFile("x.CR2"));
    EXPECT_FALSE(TIEFunctions::IsRawFile("x.CR3"));
    EXPECT_FALSE(TIEFunctions::IsRawFile("x"));
    EXPECT_FALSE(TIEFunctions::IsRawFile("x.NE"));
}

TEST(IEFunctionsFileTests, RawFilesThatAreNotRawFailCleanly) {
    QTemporaryDir dir;
    const QString file = dir.filePath("fake.nef");
    ASSERT_TRUE(writeFile(file, QByteArray(4000, '\x42')));
    TIEFunctions ie;
    QImage image;
    EXPECT_FALSE(ie.LoadBitmapFromFile(image, file, 90, 75, false));
    EXPECT_FALSE(ie.LoadBitmapFromFile(image, file, -1, -1, false));
    TImageProperties properties;
    EXPECT_FALSE(ie.GetImageProperties(file, properties));
}
