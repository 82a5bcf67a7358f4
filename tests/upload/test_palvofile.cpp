#include <gtest/gtest.h>

#include "foundation/QFileRoutine.h"
#include "imaging/IEFunctions.h"
#include "upload/PalvoFile.h"
#include "upload/UploadPictures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace palvo;
using namespace palvo::test;

namespace {

const QColor kBackground(200, 0, 0);

class PalvoFileTest : public ::testing::Test {
protected:
    QTemporaryDir sources;
    QTemporaryDir out;
    TIEFunctions functions;
    PalvoFileOptions options;

    void SetUp() override {
        options.background = kBackground;
        options.targetFolder = out.path() + "/";
    }
    QString source(const QString& name) const { return sources.path() + "/" + name; }
    QStringList written() const { return QDir(out.path()).entryList(QDir::Files); }
    static QImage decoded(const QString& path) { return decodeJpeg(fileBytes(path)).image; }
    static bool near(QRgb a, QColor b, int tolerance = 12) {
        return std::abs(qRed(a) - b.red()) <= tolerance &&
               std::abs(qGreen(a) - b.green()) <= tolerance &&
               std::abs(qBlue(a) - b.blue()) <= tolerance;
    }
};

// Pictures of one colour (green) on the red background: where each ends up.
struct PlacementCase {
    const char* name;
    QSize source;
    QSize output;
    QRect picture; // where the picture lies in the output
};

TEST_F(PalvoFileTest, FitsAndPlacesEveryShapeOnTheFrame) {
    const PlacementCase cases[] = {
        {"small stays small, no background", {320, 240}, {320, 240}, {0, 0, 320, 240}},
        {"wide gets 120-row bands", {1600, 600}, {640, 480}, {0, 120, 640, 240}},
        {"exact frame", {640, 480}, {640, 480}, {0, 0, 640, 480}},
        {"tall gets side bands", {600, 1200}, {640, 480}, {200, 0, 240, 480}},
        {"full width but low", {640, 200}, {640, 480}, {0, 140, 640, 200}},
        {"narrow but full height", {300, 480}, {640, 480}, {170, 0, 300, 480}},
        {"odd band split truncates", {640, 201}, {640, 480}, {0, 139, 640, 201}},
        {"camera size, scaled decode", {4000, 3000}, {640, 480}, {0, 0, 640, 480}},
    };
    const QColor green(0, 180, 0);
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = source(QString("%1.png").arg(c.name));
        ASSERT_TRUE(solidImage(c.source.width(), c.source.height(), green).save(path));
        const PalvoFile file = CreatePalvoFile(functions, path, options);
        ASSERT_TRUE(file.ok()) << file.error.toStdString();
        EXPECT_EQ(QSize(file.width, file.height), c.output);
        const QImage image = decoded(file.path);
        ASSERT_EQ(image.size(), c.output);
        const QRect r = c.picture;
        // Inside the picture, three pixels in from each edge (subsampled
        // chroma blurs the seam).
        for (QPoint p : {r.topLeft() + QPoint(3, 3), r.bottomRight() - QPoint(3, 3), r.center()})
            EXPECT_TRUE(near(image.pixel(p), green)) << p.x() << "," << p.y();
        // The background, four pixels outside each edge that has a band.
        if (r.top() > 0) {
            EXPECT_TRUE(near(image.pixel(r.center().x(), r.top() - 4), kBackground));
        }
        if (r.bottom() < c.output.height() - 1) {
            EXPECT_TRUE(near(image.pixel(r.center().x(), r.bottom() + 4), kBackground));
        }
        if (r.left() > 0) {
            EXPECT_TRUE(near(image.pixel(r.left() - 4, r.center().y()), kBackground));
        }
        if (r.right() < c.output.width() - 1) {
            EXPECT_TRUE(near(image.pixel(r.right() + 4, r.center().y()), kBackground));
        }
        EXPECT_LT(file.bytes, options.maxSize);
        EXPECT_EQ(FileSize64(file.path), file.bytes);
    }
}

TEST(PalvoPlacement, ExactBandRowsForTheWidePicture) {
    // The placement itself, before JPEG: rows 0..119 and 360..479 background.
    const QImage placed = placeOnCanvas(solidImage(640, 240, Qt::white), 640, 480, Qt::black);
    for (int y : {0, 119, 360, 479})
        EXPECT_EQ(placed.pixel(320, y), qRgb(0, 0, 0)) << y;
    for (int y : {120, 359})
        EXPECT_EQ(placed.pixel(320, y), qRgb(255, 255, 255)) << y;
}

TEST_F(PalvoFileTest, CameraJpegIsTurnedUprightByItsExifOrientation) {
    const QString path = source("portrait.jpg");
    // Stored landscape with orientation 6: shown as a 1500 × 2000 portrait.
    ASSERT_TRUE(writeJpeg(path, quadrantImage(2000, 1500), 90, 6));
    const PalvoFile file = CreatePalvoFile(functions, path, options);
    ASSERT_TRUE(file.ok()) << file.error.toStdString();
    EXPECT_EQ(QSize(file.width, file.height), QSize(640, 480));
    const QImage image = decoded(file.path);
    // 360 × 480 in the middle, 140 columns of background on each side.
    EXPECT_TRUE(near(image.pixel(135, 240), kBackground));
    EXPECT_TRUE(near(image.pixel(504, 240), kBackground));
    // A clockwise turn puts the stored bottom-left (blue) at the top left.
    EXPECT_TRUE(near(image.pixel(150, 10), QColor(20, 20, 220), 30));
}

TEST_F(PalvoFileTest, PictureThatFitsAtFullQualityIsWrittenAfterOneTrial) {
    const QString path = source("fits.png");
    const QImage picture = solidImage(640, 480, QColor(40, 90, 160));
    ASSERT_TRUE(picture.save(path));
    const PalvoFile file = CreatePalvoFile(functions, path, options);
    ASSERT_TRUE(file.ok());
    EXPECT_EQ(file.quality, 100);
    EXPECT_EQ(file.trials, 1);
    // Byte for byte the in-memory encoding at that quality: baseline,
    // standard tables, JFIF only.
    JpegEncodeOptions coding;
    coding.quality = 100;
    EXPECT_EQ(fileBytes(file.path), encodeJpeg(picture, coding));
}

TEST_F(PalvoFileTest, ChoosesTheHighestQualityUnderTheCap) {
    const QString path = source("noise.png");
    const QImage picture = noiseImage(640, 480, 7);
    ASSERT_TRUE(picture.save(path));
    for (std::int64_t cap : {65499, 120000, 30000}) {
        SCOPED_TRACE(cap);
        options.maxSize = cap;
        const PalvoFile file = CreatePalvoFile(functions, path, options);
        ASSERT_TRUE(file.ok()) << file.error.toStdString();
        EXPECT_GT(file.quality, 1);
        EXPECT_LT(file.quality, 100);
        EXPECT_LE(file.trials, 8);
        JpegEncodeOptions coding;
        coding.quality = file.quality;
        const QByteArray at = encodeJpeg(picture, coding);
        coding.quality = file.quality + 1;
        const QByteArray above = encodeJpeg(picture, coding);
        EXPECT_EQ(fileBytes(file.path), at);
        EXPECT_LT(at.size(), cap);
        EXPECT_GE(above.size(), cap);
        QFile::remove(file.path);
    }
}

TEST_F(PalvoFileTest, PictureThatCannotGetUnderTheCapFailsWithoutFile) {
    const QString path = source("noise.png");
    ASSERT_TRUE(noiseImage(640, 480, 3).save(path));
    options.maxSize = 2000;
    const PalvoFile file = CreatePalvoFile(functions, path, options);
    EXPECT_FALSE(file.ok());
    EXPECT_EQ(file.width, 0);
    EXPECT_EQ(file.height, 0);
    EXPECT_EQ(file.trials, 7);
    EXPECT_TRUE(written().isEmpty());
}

TEST_F(PalvoFileTest, BisectionTriesAtMostEightQualities) {
    struct Case {
        std::int64_t cap;
        int quality;
        QList<int> tried;
    };
    // Encoded size 1000 bytes per quality step.
    const Case cases[] = {
        {100001, 100, {100}},
        {50500, 50, {100, 50, 75, 62, 56, 53, 51}},
        {99500, 99, {100, 50, 75, 87, 93, 96, 98, 99}},
        {50000, 49, {100, 50, 25, 37, 43, 46, 48, 49}},
        {1001, 1, {100, 50, 25, 12, 6, 3, 1, 2}},
        {1000, 0, {100, 50, 25, 12, 6, 3, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cap);
        QList<int> tried;
        const QualityChoice choice = chooseJpegQuality(
            [&](int q) {
                tried << q;
                return QByteArray(q * 1000, 'x');
            },
            c.cap);
        EXPECT_EQ(choice.quality, c.quality);
        EXPECT_EQ(tried, c.tried);
        EXPECT_EQ(choice.trials, tried.size());
        EXPECT_EQ(choice.data.size(), c.quality * 1000);
    }
    // A failed encoding counts as too large.
    const QualityChoice none = chooseJpegQuality([](int) { return QByteArray(); }, 65499);
    EXPECT_EQ(none.quality, 0);
}

TEST_F(PalvoFileTest, TargetNamesKeepJpegExtensionsAndReplaceOthers) {
    const struct {
        const char* source;
        const char* target;
    } cases[] = {
        {"/p/a.PNG", "/t/a.jpg"},     {"/p/a.jpg", "/t/a.jpg"},
        {"/p/b.JPEG", "/t/b.JPEG"},   {"/p/c.Jpe", "/t/c.Jpe"},
        {";/p/d.tif", "/t/d.jpg"},    {"/p/e.f.bmp", "/t/e.f.jpg"},
        {"/p/noext", "/t/noext.jpg"}, {"/p/x.jpg.gif", "/t/x.jpg.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(palvoTargetName(c.source, "/t/"), c.target) << c.source;
}

TEST_F(PalvoFileTest, PngGoesToTheTemporaryFolderAsJpgAndAClashGetsANumber) {
    options.targetFolder.clear();
    const QString first = source("Holiday.PNG");
    ASSERT_TRUE(gradientImage(200, 150).save(first, "PNG"));
    const PalvoFile a = CreatePalvoFile(functions, first, options);
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a.path, TempFolder() + "Holiday.jpg");
    // The same name from another folder while the first prepared file exists.
    const QString second = source("other/Holiday.PNG");
    QDir().mkpath(source("other"));
    ASSERT_TRUE(gradientImage(100, 80).save(second, "PNG"));
    const PalvoFile b = CreatePalvoFile(functions, ";" + second, options);
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(b.path, TempFolder() + "Holiday_2.jpg");
    EXPECT_EQ(QSize(b.width, b.height), QSize(100, 80));
    EXPECT_EQ(decodeJpeg(fileBytes(a.path)).image.size(), QSize(200, 150));
    QFile::remove(a.path);
    QFile::remove(b.path);
}

TEST_F(PalvoFileTest, UniformPictureWithLevellingBecomesBlack) {
    const QString path = source("grey.png");
    ASSERT_TRUE(solidImage(320, 240, QColor(120, 140, 160)).save(path));
    const PalvoFile plain = CreatePalvoFile(functions, path, options);
    ASSERT_TRUE(plain.ok());
    EXPECT_TRUE(near(decoded(plain.path).pixel(160, 120), QColor(120, 140, 160), 3));
    options.autoLevels = true;
    const PalvoFile levelled = CreatePalvoFile(functions, path, options);
    ASSERT_TRUE(levelled.ok());
    const QImage image = decoded(levelled.path);
    ASSERT_EQ(image.size(), QSize(320, 240));
    for (QPoint p : {QPoint(0, 0), QPoint(160, 120), QPoint(319, 239)})
        EXPECT_TRUE(near(image.pixel(p), Qt::black, 2));
}

TEST_F(PalvoFileTest, LevellingTouchesThePictureNotTheBands) {
    const QString path = source("dim.png");
    QImage dim = gradientImage(640, 240);
    // Squeeze the values into 60..120 so the stretch is visible.
    for (int y = 0; y < dim.height(); ++y) {
        uchar* p = dim.scanLine(y);
        for (int x = 0; x < dim.width() * 3; ++x)
            p[x] = uchar(60 + p[x] * 60 / 255);
    }
    ASSERT_TRUE(dim.save(path));
    options.autoLevels = true;
    options.background = QColor(90, 90, 90);
    const PalvoFile file = CreatePalvoFile(functions, path, options);
    ASSERT_TRUE(file.ok());
    const QImage image = decoded(file.path);
    EXPECT_TRUE(near(image.pixel(320, 40), QColor(90, 90, 90), 3));
    EXPECT_TRUE(near(image.pixel(320, 440), QColor(90, 90, 90), 3));
    // Red runs from the left edge to the right edge of the picture: stretched
    // to almost 0 and almost 255.
    EXPECT_LT(qRed(image.pixel(2, 240)), 20);
    EXPECT_GT(qRed(image.pixel(637, 240)), 235);
}

TEST_F(PalvoFileTest, KeepsTheResolutionAndDropsEveryOtherMarker) {
    const QString path = source("dpi.jpg");
    JpegEncodeOptions coding;
    QByteArray tiff;
    ASSERT_TRUE(setExifOrientation(tiff, 1));
    coding.extraSegments = exifApp1Segment(tiff) + QByteArray("\xFF\xFE\x00\x07hello", 9);
    QByteArray bytes = encodeJpeg(gradientImage(800, 600), coding);
    ASSERT_TRUE(setJfifResolution(bytes, {1, 300, 300}));
    ASSERT_TRUE(putFile(path, bytes));
    const PalvoFile file = CreatePalvoFile(functions, path, options);
    ASSERT_TRUE(file.ok());
    const QByteArray written = fileBytes(file.path);
    EXPECT_EQ(sourceResolution(written, {}), (PictureResolution{1, 300, 300}));
    QList<int> markers;
    for (const JpegSegment& s : jpegHeaderSegments(written))
        markers << s.marker;
    EXPECT_FALSE(markers.contains(0xE1));
    EXPECT_FALSE(markers.contains(0xFE));
    EXPECT_EQ(markers.count(0xE0), 1);
    EXPECT_TRUE(markers.contains(0xC0)); // baseline
    EXPECT_FALSE(markers.contains(0xC2));

    // A PNG's own resolution travels as well.
    QImage png = gradientImage(300, 200);
    png.setDotsPerMeterX(7874); // 200 dpi
    png.setDotsPerMeterY(7874);
    ASSERT_TRUE(png.save(source("dpi.png")));
    const PalvoFile fromPng = CreatePalvoFile(functions, source("dpi.png"), options);
    ASSERT_TRUE(fromPng.ok());
    EXPECT_EQ(sourceResolution(fileBytes(fromPng.path), {}), (PictureResolution{1, 200, 200}));
}

TEST_F(PalvoFileTest, BadSourcesFailWithoutAnyFile) {
    JpegEncodeOptions coding;
    const QByteArray good = encodeJpeg(gradientImage(800, 600), coding);
    ASSERT_TRUE(putFile(source("truncated.jpg"), good.left(good.size() / 2)));
    ASSERT_TRUE(putFile(source("text.jpg"), "this is not a picture"));
    ASSERT_TRUE(putFile(source("text.png"), "this is not a picture either"));
    ASSERT_TRUE(putFile(source("empty.jpg"), ""));
    ASSERT_TRUE(putFile(source("header-only.jpg"), good.left(300)));
    QDir().mkpath(source("folder.jpg"));
    for (const char* name : {"missing.jpg", "truncated.jpg", "text.jpg", "text.png", "empty.jpg",
                             "header-only.jpg", "folder.jpg"}) {
        SCOPED_TRACE(name);
        const PalvoFile file = CreatePalvoFile(functions, source(name), options);
        EXPECT_FALSE(file.ok());
        EXPECT_TRUE(file.path.isEmpty());
        EXPECT_EQ(file.width, 0);
        EXPECT_EQ(file.height, 0);
        EXPECT_FALSE(file.error.isEmpty());
    }
    EXPECT_TRUE(written().isEmpty());
}

TEST_F(PalvoFileTest, UnwritableTargetFolderFailsAtOnce) {
    const QString path = source("a.png");
    ASSERT_TRUE(gradientImage(100, 100).save(path));
    options.targetFolder = sources.path() + "/no/such/folder/";
    const PalvoFile file = CreatePalvoFile(functions, path, options);
    EXPECT_FALSE(file.ok());
    EXPECT_FALSE(QFile::exists(options.targetFolder));
}

} // namespace
