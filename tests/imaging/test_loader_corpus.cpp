// Replays hostile and malformed pictures through every loader: the
// project's own fixtures, and Debian's gdk-pixbuf test images when that
// package is installed. Run under AddressSanitizer as well (see README).
#include "imaging/IEFunctions.h"
#include "imaging/ImageFormats.h"
#include "imaging/ImageLimits.h"
#include "imaging/JpegCodec.h"

#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

using namespace palvo;

namespace {

const QString kOwnFixtures = QStringLiteral(PALVO_TEST_DATA_DIR "/imaging");
const QString kPixbufCorpus = QStringLiteral("/usr/libexec/installed-tests/gdk-pixbuf");

bool sane(const QImage& image) {
    return image.format() == QImage::Format_RGB888 && image.width() > 1 && image.height() > 1 &&
           withinPixelBudget(image.width(), image.height());
}

// Every way the program reads a file; returns how many reads succeeded.
int replay(const QString& file) {
    TIEFunctions ie;
    ie.FalseExtensionformats = QStringLiteral("*.*");
    QStringList errors;
    ie.OnErrorLog = [&errors](const QString& text) { errors << text; };
    int loaded = 0;
    const std::pair<int, int> hints[] = {{-1, -1}, {90, 75}, {1280, 960}};
    for (const auto& [w, h] : hints) {
        QImage image;
        const int before = int(errors.size());
        if (ie.LoadBitmapFromFile(image, file, w, h, false)) {
            EXPECT_TRUE(sane(image)) << qPrintable(file);
            ++loaded;
        } else {
            EXPECT_GT(errors.size(), before) << "silent failure: " << qPrintable(file);
        }
    }
    TImageIO io;
    QString error;
    if (ie.LoadIntoIO(io, file, true, error)) {
        EXPECT_TRUE(sane(io.Bitmap)) << qPrintable(file);
        ++loaded;
    } else {
        EXPECT_FALSE(error.isEmpty()) << qPrintable(file);
        EXPECT_EQ(io.Bitmap.size(), QSize(1, 1));
    }
    TImageProperties properties;
    if (ie.GetImageProperties(file, properties)) {
        EXPECT_NE(properties.FileType, 0) << qPrintable(file);
    } else {
        EXPECT_EQ(properties, TImageProperties());
    }
    // The decoders by content, whatever the name says.
    QFile f(file);
    if (f.open(QIODevice::ReadOnly) && f.size() <= kMaxPictureFileBytes) {
        const QByteArray bytes = f.readAll();
        const JpegDecoded jpeg = decodeJpeg(bytes, 8);
        EXPECT_TRUE(jpeg.image.isNull() != jpeg.error.isEmpty()) << qPrintable(file);
        const int type = detectFileType(bytes);
        if (type != ioUnknown && type != ioJPEG) {
            const DecodedPicture picture = decodeWithQt(bytes, type);
            EXPECT_TRUE(picture.image.isNull() || sane(picture.image) ||
                        picture.image.width() == 1 || picture.image.height() == 1)
                << qPrintable(file);
        }
    }
    return loaded;
}

} // namespace

TEST(LoaderCorpus, OwnHostileFixtures) {
    struct Case {
        const char* name;
        bool loads;
    };
    const Case cases[] = {
        {"truncated.jpg", true},     {"zero-bytes.jpg", false},     {"garbage.jpg", false},
        {"pixel-bomb.jpg", false},   {"pixel-bomb.png", false},     {"pixel-bomb.bmp", false},
        {"pixel-bomb.gif", false},   {"thousand-scans.jpg", false}, {"exif-loop.jpg", true},
        {"orientation-9.jpg", true},
    };
    for (const Case& c : cases) {
        const QString file = kOwnFixtures + u'/' + QLatin1String(c.name);
        ASSERT_TRUE(QFile::exists(file)) << c.name;
        const int loaded = replay(file);
        EXPECT_EQ(loaded > 0, c.loads) << c.name;
    }
    TIEFunctions ie;
    QImage image;
    ASSERT_TRUE(ie.LoadBitmapFromFile(image, kOwnFixtures + "/orientation-9.jpg", -1, -1, false));
    EXPECT_EQ(image.size(), QSize(64, 48)); // out of range: not turned
    ASSERT_TRUE(ie.LoadBitmapFromFile(image, kOwnFixtures + "/truncated.jpg", -1, -1, false));
    EXPECT_TRUE(ie.LastLoadDamaged());
}

TEST(LoaderCorpus, DebianPixbufTestImages) {
    if (!QFile::exists(kPixbufCorpus)) {
        GTEST_SKIP() << "gdk-pixbuf-tests is not installed";
    }
    int files = 0;
    int loaded = 0;
    QDirIterator it(kPixbufCorpus, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString suffix = QFileInfo(file).suffix().toLower();
        if (suffix == u"conf" || suffix == u"rgba" || suffix == u"icc" || suffix.isEmpty() ||
            QFileInfo(file).isExecutable()) {
            continue; // test scripts, reference data and programs
        }
        ++files;
        loaded += replay(file) > 0;
    }
    EXPECT_GT(files, 250);
    // Most of the corpus is ordinary pictures that must still open.
    EXPECT_GT(loaded, files / 3);
    TIEFunctions ie;
    QImage image;
    EXPECT_TRUE(ie.LoadBitmapFromFile(image, kPixbufCorpus + "/dpi.jpeg", -1, -1, false));
    EXPECT_TRUE(ie.LoadBitmapFromFile(image, kPixbufCorpus + "/dpi.png", -1, -1, false));
    EXPECT_TRUE(ie.LoadBitmapFromFile(image, kPixbufCorpus + "/dpi.tiff", -1, -1, false));
    // 22500 x 33300 progressive: over the pixel budget, refused.
    EXPECT_FALSE(ie.LoadBitmapFromFile(image, kPixbufCorpus + "/large.jpg", 90, 75, false));
}
