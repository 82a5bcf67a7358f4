// Caption drawing and the printed page.
#include "imaging/IEFunctions.h"
#include "imaging/PrintLayout.h"
#include "imaging/TextDrawing.h"

#include <QFile>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace palvo;

namespace {

// A measurer whose arithmetic is known: letters are `points` wide and lines
// two `points` high; wrapped text breaks into as many lines as needed.
QSize fakeMeasure(const QString& text, int points, int width) {
    const int length = int(text.size()) * points;
    if (width <= 0) {
        return {length, 2 * points};
    }
    const int lines = std::max(1, (length + width - 1) / width);
    return {std::min(length, width), lines * 2 * points};
}

PrintPageInput page() {
    PrintPageInput in;
    in.paperRect = QRect(0, 0, 1000, 1400);
    in.printableRect = QRect(QPoint(20, 30), QPoint(979, 1379)); // 20 left/right/bottom, 30 top
    in.resolution = 1200;
    in.bitmapSize = QSize(400, 300);
    in.horizontalMarginPercent = 5;
    in.verticalMarginPercent = 5;
    in.headerText = QStringLiteral("Title");
    in.footerText = QStringLiteral("Footer text");
    return in;
}

QRect inkBounds(const QImage& image, QRgb background) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

bool hasColourNear(const QImage& image, QColor colour) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 &&
                std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

TEST(PrintLayout, WorkedPage) {
    const PrintPageLayout l = computePrintLayout(page(), fakeMeasure);
    EXPECT_EQ(l.margin, 30); // the largest unprintable margin, on every side
    EXPECT_EQ(l.area, QSize(940, 1340));
    EXPECT_EQ(l.reduction, 1);
    // Margins 47 and 67, header 54 (4 % of 1340 = 53.6), footer 80 (6 % = 80.4):
    // the picture area is 846 x 1072 at (47, 121); 400 x 300 fits 846 x 635
    // (300 x (846 / 400) is 634.5000000000001 in double precision), centred
    // trunc(536 - 317.5) = 218 down.
    EXPECT_EQ(l.picture, QRect(47, 339, 846, 635));
    // Header band from 339 - 54 to 339 - 4; 24 points is the first size under 50 high.
    EXPECT_EQ(l.headerBand, QRect(47, 285, 846, 50));
    EXPECT_EQ(l.headerPointSize, 24);
    // Footer band from 974 + 6 to 974 + 80; 36 points fits 74 in one line.
    EXPECT_EQ(l.footerBand, QRect(47, 980, 846, 74));
    EXPECT_EQ(l.footerPointSize, 36);
}

TEST(PrintLayout, BandsReductionAndLimits) {
    PrintPageInput in = page();
    in.headerText.clear();
    in.footerText.clear();
    const PrintPageLayout plain = computePrintLayout(in, fakeMeasure);
    EXPECT_TRUE(plain.headerBand.isEmpty());
    EXPECT_TRUE(plain.footerBand.isEmpty());
    // The whole area between the margins: 846 x 1206 at (47, 67).
    EXPECT_EQ(plain.picture, QRect(47, 67 + 285, 846, 635));

    // A footer too long for the page is held to half the area.
    in.footerText = QString(20000, u'x');
    EXPECT_EQ(computePrintLayout(in, fakeMeasure).footerBand.height(),
              670 - int(std::nearbyint(0.08 * 670)));
    // A header too wide for any size uses the smallest.
    in.headerText = QString(500, u'x');
    EXPECT_EQ(computePrintLayout(in, fakeMeasure).headerPointSize, 7);

    struct Case {
        int code, resolution, bitmapWidth, reduction;
    };
    const Case cases[] = {{0, 1200, 400, 1},  {3, 1200, 400, 4}, {1, 1200, 400, 2},
                          {8, 1200, 400, 8},  {9, 600, 400, 8},  {3, 1200, 2000, 1},
                          {42, 1200, 400, 4}, {3, 200, 400, 1}};
    for (const Case& c : cases) {
        PrintPageInput r = page();
        r.printerOutputDPI = c.code;
        r.resolution = c.resolution;
        r.bitmapSize = QSize(c.bitmapWidth, 300);
        EXPECT_EQ(computePrintLayout(r, fakeMeasure).reduction, c.reduction) << c.code;
    }
}

TEST(PrintLayout, PrintsAPageToPdf) {
    QTemporaryDir dir;
    const QString file = dir.filePath("page.pdf");
    QImage picture(300, 200, QImage::Format_RGB888);
    picture.fill(QColor(200, 30, 30));
    {
        QPdfWriter pdf(file);
        pdf.setResolution(150);
        TIEFunctions ie;
        EXPECT_TRUE(ie.PrintBitmap(pdf, picture, 5, 5, true, true, "Header", "A footer", "Doc"));
    }
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5).startsWith("%PDF"));
    EXPECT_GT(out.size(), 500);
}

TEST(DrawTextInRect, MeasuresWithoutPaintingAndWrapsInNarrowRectangles) {
    QImage canvas(300, 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    const QImage blank = canvas;
    QPainter painter(&canvas);
    TextStyle style;
    style.fontSize = 12;
    style.backgroundColour = qRgb(0, 0, 0); // would show if measuring painted
    const QString text = QStringLiteral("Happy birthday from all of us");
    const int oneLine =
        DrawTextInRect(painter, QRect(0, 0, 300, 200), false, text, true, style, true);
    const int wrapped =
        DrawTextInRect(painter, QRect(0, 0, 80, 200), false, text, true, style, true);
    style.shadowDepth = 3;
    const int withShadow =
        DrawTextInRect(painter, QRect(0, 0, 300, 200), false, text, true, style, true);
    painter.end();
    EXPECT_EQ(canvas, blank);
    EXPECT_GT(oneLine, 0);
    EXPECT_GT(wrapped, 2 * oneLine);
    EXPECT_EQ(withShadow, oneLine + 3);
}

TEST(DrawTextInRect, ShadowBackgroundAndVerticalCentring) {
    QImage canvas(300, 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        TextStyle style;
        style.fontSize = 20;
        style.textColour = QColor(255, 0, 0);
        style.shadowDepth = 2;
        style.shadowColour = QColor(0, 0, 255);
        style.alignment = taCentre;
        const int height = DrawTextInRect(painter, QRect(0, 0, 300, 200), true,
                                          QStringLiteral("Hello"), false, style, false);
        EXPECT_GT(height, 10);
    }
    EXPECT_TRUE(hasColourNear(canvas, QColor(255, 0, 0)));
    EXPECT_TRUE(hasColourNear(canvas, QColor(0, 0, 255)));
    const QRect ink = inkBounds(canvas, qRgb(255, 255, 255));
    EXPECT_NEAR(ink.center().y(), 100, 15);
    EXPECT_NEAR(ink.center().x(), 150, 15);

    QImage filled(100, 50, QImage::Format_RGB32);
    filled.fill(Qt::white);
    {
        QPainter painter(&filled);
        TextStyle style;
        style.backgroundColour = qRgb(0, 128, 0);
        DrawTextInRect(painter, QRect(10, 10, 50, 20), false, QString(), false, style, false);
    }
    EXPECT_EQ(filled.pixel(20, 20), qRgb(0, 128, 0));
    EXPECT_EQ(filled.pixel(80, 40), qRgb(255, 255, 255));
}
