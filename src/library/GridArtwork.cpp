#include "library/GridArtwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace palvo {

QImage gridBackground(bool selected) {
    QImage image(118, 116, QImage::Format_RGB32);
    image.fill(selected ? QColor(213, 213, 213) : Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(4.5, 4.5, 109, 107);
    QLinearGradient fill(card.topLeft(), card.bottomLeft());
    if (selected) {
        fill.setColorAt(0, QColor(196, 214, 236));
        fill.setColorAt(1, QColor(160, 188, 224));
    } else {
        fill.setColorAt(0, QColor(252, 252, 252));
        fill.setColorAt(1, QColor(236, 236, 236));
    }
    p.setPen(QPen(selected ? QColor(90, 124, 178) : QColor(204, 204, 204), 1));
    p.setBrush(fill);
    p.drawRoundedRect(card, 6, 6);
    return image;
}

QImage gridCheckBox(bool checked, bool selected) {
    QImage image(16, 15, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(selected ? QColor(40, 70, 130) : QColor(110, 110, 110), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(0.5, 0.5, 14, 13), 2, 2);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(3, 7.5);
        tick.lineTo(6.5, 11);
        tick.lineTo(12.5, 3);
        p.setPen(QPen(QColor(20, 140, 40), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return image;
}

QImage gridErrorPicture() {
    QImage image(68, 67, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    // A grey frame with a picture torn in two; the white inside the frame and
    // around the pieces is what a current cell recolours.
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(10, 10, 47, 47);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 160, 210));
    p.drawPolygon(QPolygon({{16, 16}, {32, 16}, {28, 26}, {33, 36}, {16, 36}}));
    p.setBrush(QColor(110, 170, 100));
    p.drawPolygon(QPolygon({{38, 16}, {51, 16}, {51, 36}, {40, 36}, {35, 26}}));
    p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(20, 41, 47, 52);
    p.drawLine(47, 41, 20, 52);
    return image;
}

void floodFillColour(QImage& image, QPoint seed, QRgb from, QRgb to) {
    if (image.isNull() || !image.rect().contains(seed) || from == to)
        return;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    const auto match = [&](int x, int y) {
        return (image.pixel(x, y) | 0xFF000000u) == (from | 0xFF000000u);
    };
    if (!match(seed.x(), seed.y()))
        return;
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        const QPoint pt = stack.back();
        stack.pop_back();
        if (!image.rect().contains(pt) || !match(pt.x(), pt.y()))
            continue;
        image.setPixel(pt, to);
        stack.push_back({pt.x() + 1, pt.y()});
        stack.push_back({pt.x() - 1, pt.y()});
        stack.push_back({pt.x(), pt.y() + 1});
        stack.push_back({pt.x(), pt.y() - 1});
    }
}

void recolourErrorPicture(QImage& picture, const QColor& colour) {
    for (const QPoint& point : kErrorRecolourPoints)
        floodFillColour(picture, point, qRgb(255, 255, 255), colour.rgb());
}

} // namespace palvo
