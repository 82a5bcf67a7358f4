#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace palvo {

// One printed page of a picture, split into the arithmetic (pure, tested by
// tables) and the drawing onto any paged device (a printer, a PDF file).

struct PrintPageInput {
    QRect paperRect;      // the whole sheet, device pixels
    QRect printableRect;  // the part the device can print, in the same coordinates
    int resolution = 300; // dots per inch (the larger of both directions)
    QSize bitmapSize;
    int horizontalMarginPercent = 0;
    int verticalMarginPercent = 0;
    bool centreHorizontally = true;
    bool centreVertically = true;
    QString headerText;
    QString footerText;
    int printerOutputDPI = 0; // code 0..9
};

// Measures text in Arial at a point size: single line when width <= 0,
// otherwise word-wrapped and centred in that width.
using PrintTextMeasurer = std::function<QSize(const QString& text, int pointSize, int width)>;

struct PrintPageLayout {
    int margin = 0;    // the symmetric unprintable margin
    QSize area;        // W x H, origin at (margin, margin) on the sheet
    int reduction = 1; // output reduction factor of the picture transfer
    QRect picture;     // where the picture goes, relative to the area
    QRect headerBand;  // empty without a header
    QRect footerBand;  // empty without a footer
    int headerPointSize = 0;
    int footerPointSize = 0;
};

// The output-resolution cap for a PrinterOutputDPI code; 0 for no reduction.
[[nodiscard]] int printerOutputTargetDPI(int code);

[[nodiscard]] PrintPageLayout computePrintLayout(const PrintPageInput& input,
                                                 const PrintTextMeasurer& measure);

// Prints one page with the layout on device: the picture, the header in one
// line and the footer word-wrapped. False when nothing could be drawn.
bool renderPrintPage(QPagedPaintDevice& device, const QImage& bitmap, const PrintPageInput& input);

} // namespace palvo
