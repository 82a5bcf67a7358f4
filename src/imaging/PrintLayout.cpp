#include "imaging/PrintLayout.h"

#include "imaging/IEFunctions.h"
#include "imaging/Resample.h"

#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace palvo {

namespace {

int percentOf(int percent, int length) {
    return int(std::nearbyint(double(percent) * double(length) / 100.0));
}

int fractionOf(double fraction, int length) {
    return int(std::nearbyint(fraction * length));
}

constexpr int kLargestPoints = 100;
constexpr int kSmallestPoints = 7;

QFont arial(int pointSize, const QPaintDevice* device) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(pointSize);
    return device ? QFont(font, device) : font;
}

QSize measureWith(const QPaintDevice* device, const QString& text, int pointSize, int width) {
    const QFontMetrics metrics(arial(pointSize, device));
    if (width <= 0) {
        return metrics.boundingRect(text).size();
    }
    return metrics
        .boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap | Qt::AlignHCenter, text)
        .size();
}

} // namespace

int printerOutputTargetDPI(int code) {
    switch (code) {
    case 0:
        return 0;
    case 1:
        return 600;
    case 2:
        return 400;
    case 3:
        return 300;
    case 4:
        return 200;
    case 5:
        return 150;
    case 6:
        return 100;
    case 7:
        return 75;
    case 8:
    case 9:
        return 50;
    default:
        return 300;
    }
}

PrintPageLayout computePrintLayout(const PrintPageInput& in, const PrintTextMeasurer& measure) {
    PrintPageLayout out;
    const QRect& paper = in.paperRect;
    const QRect& printable = in.printableRect;
    out.margin =
        std::max({printable.left() - paper.left(), printable.top() - paper.top(),
                  paper.right() - printable.right(), paper.bottom() - printable.bottom(), 0});
    const int W = std::max(0, paper.width() - 2 * out.margin);
    const int H = std::max(0, paper.height() - 2 * out.margin);
    out.area = QSize(W, H);

    const int target = printerOutputTargetDPI(in.printerOutputDPI);
    if (in.bitmapSize.width() < W && target > 0) {
        out.reduction = std::max(1, std::min(in.resolution / target, 8));
    }

    const int h = percentOf(in.horizontalMarginPercent, W);
    const int v = percentOf(in.verticalMarginPercent, H);
    const int header = in.headerText.isEmpty() ? 0 : percentOf(4, H);
    int footer = 0;
    if (!in.footerText.isEmpty()) {
        footer = percentOf(6, H);
        const int measured = measure(in.footerText, kSmallestPoints, W - 2 * h).height();
        footer = std::max(footer, fractionOf(1.08, measured));
        footer = std::min(footer, H / 2);
    }

    const TRect fitted = TIEFunctions::FitRect(
        in.bitmapSize.width(), in.bitmapSize.height(), W - 2 * h, H - 2 * v - header - footer, h,
        v + header, true, true, in.centreHorizontally, in.centreVertically, 0);
    out.picture = QRect(QPoint(fitted.Left, fitted.Top), QSize(fitted.width(), fitted.height()));

    if (header > 0) {
        const int top = out.picture.top() - header;
        const int bottom = out.picture.top() - fractionOf(0.08, header);
        out.headerBand = QRect(QPoint(h, top), QPoint(W - h - 1, bottom - 1));
        out.headerPointSize = kSmallestPoints;
        for (int points = kLargestPoints; points >= kSmallestPoints; --points) {
            const QSize size = measure(in.headerText, points, 0);
            if (size.width() < out.headerBand.width() && size.height() < out.headerBand.height()) {
                out.headerPointSize = points;
                break;
            }
        }
    }
    if (footer > 0) {
        const int top = out.picture.top() + out.picture.height() + fractionOf(0.08, footer);
        const int bottom = out.picture.top() + out.picture.height() + footer;
        out.footerBand = QRect(QPoint(h, top), QPoint(W - h - 1, bottom - 1));
        out.footerPointSize = kSmallestPoints;
        for (int points = kLargestPoints; points >= kSmallestPoints; --points) {
            if (measure(in.footerText, points, out.footerBand.width()).height() <
                out.footerBand.height()) {
                out.footerPointSize = points;
                break;
            }
        }
    }
    return out;
}

bool renderPrintPage(QPagedPaintDevice& device, const QImage& bitmap, const PrintPageInput& input) {
    if (bitmap.isNull()) {
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    // Qt's painter origin is the printable area's corner; move it to the
    // corner of the symmetric area.
    const PrintPageLayout layout =
        computePrintLayout(input, [&device](const QString& text, int points, int width) {
            return measureWith(&device, text, points, width);
        });
    const QPoint shift(layout.margin - (input.printableRect.left() - input.paperRect.left()),
                       layout.margin - (input.printableRect.top() - input.paperRect.top()));
    painter.translate(shift);
    painter.setClipRect(QRect(QPoint(0, 0), layout.area));
    QImage picture = bitmap;
    if (layout.reduction > 1 && !layout.picture.isEmpty()) {
        picture = resampleImage(bitmap, std::max(1, layout.picture.width() / layout.reduction),
                                std::max(1, layout.picture.height() / layout.reduction),
                                ResampleFilter::Lanczos3);
    }
    if (!layout.picture.isEmpty() && !picture.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(layout.picture, picture);
    }
    if (!layout.headerBand.isEmpty()) {
        painter.save();
        painter.setClipRect(layout.headerBand);
        painter.setFont(arial(layout.headerPointSize, &device));
        painter.drawText(layout.headerBand, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                         input.headerText);
        painter.restore();
    }
    if (!layout.footerBand.isEmpty()) {
        painter.setFont(arial(layout.footerPointSize, &device));
        painter.drawText(layout.footerBand, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         input.footerText);
    }
    return painter.end();
}

} // namespace palvo
