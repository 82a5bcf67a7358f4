#include "controls/ui/ButtonArt.h"

#include <QEvent>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace palvo {

namespace {

// A disabled picture: the same shapes in light greys, white staying white.
QColor greyed(const QColor& c) {
    const int g = qGray(c.rgb());
    if (g >= 245)
        return c;
    const int v = 0xB0 + g * (0xE4 - 0xB0) / 255;
    return QColor(v, v, v, c.alpha());
}

// Draws on a 24 × 24 grid; every colour goes through the enabled state.
class Pen {
public:
    Pen(QPainter& p, bool enabled) : p_(p), enabled_(enabled) {}

    [[nodiscard]] QColor c(const QColor& colour) const {
        return enabled_ ? colour : greyed(colour);
    }
    void stroke(const QPainterPath& path, const QColor& colour, qreal width = 1.8) {
        QPen pen(c(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p_.strokePath(path, pen);
    }
    void fill(const QPainterPath& path, const QColor& colour) { p_.fillPath(path, c(colour)); }
    void fillStroke(const QPainterPath& path, const QColor& inside, const QColor& edge,
                    qreal width = 1.5) {
        fill(path, inside);
        stroke(path, edge, width);
    }
    QPainter& painter() { return p_; }

private:
    QPainter& p_;
    bool enabled_;
};

QPainterPath polyline(std::initializer_list<QPointF> points, bool closed = false) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : points) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    if (closed)
        path.closeSubpath();
    return path;
}

QPainterPath roundedRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath circle(QPointF centre, qreal radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// A little landscape: sky, sun and a green hill inside r.
void landscape(Pen& pen, const QRectF& r) {
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, pen.c(QColor(0x9F, 0xD3, 0xF7)));
    sky.setColorAt(1, pen.c(QColor(0xE6, 0xF3, 0xFD)));
    pen.painter().fillRect(r, sky);
    pen.fill(circle(QPointF(r.left() + r.width() * 0.72, r.top() + r.height() * 0.32),
                    r.height() * 0.16),
             art::kWarm);
    QPainterPath hill;
    hill.moveTo(r.bottomLeft());
    hill.lineTo(r.left(), r.top() + r.height() * 0.72);
    hill.quadTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.38,
                r.left() + r.width() * 0.62, r.top() + r.height() * 0.74);
    hill.quadTo(r.left() + r.width() * 0.82, r.top() + r.height() * 0.58, r.right(),
                r.top() + r.height() * 0.7);
    hill.lineTo(r.bottomRight());
    hill.closeSubpath();
    pen.fill(hill, art::kGreen);
}

// The program's mark: a picture frame around a landscape.
void frameMark(Pen& pen, const QRectF& r) {
    pen.fill(roundedRect(r, r.width() * 0.08), art::kDeepBlue);
    const QRectF inner =
        r.adjusted(r.width() * 0.13, r.height() * 0.16, -r.width() * 0.13, -r.height() * 0.16);
    landscape(pen, inner);
}

void magnifier(Pen& pen, int sign) {
    pen.fillStroke(circle(QPointF(10, 10), 6.2), Qt::white, art::kBlue, 2.0);
    pen.stroke(polyline({{14.6, 14.6}, {20.5, 20.5}}), art::kDeepBlue, 3.2);
    pen.stroke(polyline({{7, 10}, {13, 10}}), art::kDeepBlue, 1.9);
    if (sign > 0)
        pen.stroke(polyline({{10, 7}, {10, 13}}), art::kDeepBlue, 1.9);
}

void rotation(Pen& pen, bool clockwise) {
    QPainter& p = pen.painter();
    p.save();
    if (!clockwise) {
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    // Three quarters of a turn, clockwise from the lower right to the upper
    // right, where the head points on along the circle.
    const QPointF centre(12, 13);
    const qreal radius = 7.5;
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    QPainterPath arc;
    arc.arcMoveTo(box, 330);
    arc.arcTo(box, 330, -255);
    pen.stroke(arc, art::kBlue, 2.2);
    const double a = 60.0 * M_PI / 180.0;
    const QPointF end(centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a));
    const QPointF along(std::sin(a), std::cos(a)); // clockwise on screen
    const QPointF out(std::cos(a), -std::sin(a));
    pen.fill(polyline({end + along * 4.2, end + out * 3.6, end - out * 3.6}, true), art::kBlue);
    pen.fill(circle(centre, 1.8), art::kSlate);
    p.restore();
}

void cropMarks(Pen& pen) {
    pen.stroke(polyline({{7, 2.5}, {7, 17}, {21.5, 17}}), art::kSlate, 2.2);
    pen.stroke(polyline({{2.5, 7}, {17, 7}, {17, 21.5}}), art::kSlate, 2.2);
}

void sparkle(Pen& pen, QPointF c, qreal r) {
    pen.fill(polyline({{c.x(), c.y() - r},
                       {c.x() + r * 0.28, c.y() - r * 0.28},
                       {c.x() + r, c.y()},
                       {c.x() + r * 0.28, c.y() + r * 0.28},
                       {c.x(), c.y() + r},
                       {c.x() - r * 0.28, c.y() + r * 0.28},
                       {c.x() - r, c.y()},
                       {c.x() - r * 0.28, c.y() - r * 0.28}},
                      true),
             art::kWarm);
}

void checkBox(Pen& pen, const QRectF& r, bool ticked) {
    if (ticked) {
        pen.fill(roundedRect(r, 2.2), art::kBlue);
        const QPointF o = r.topLeft();
        const qreal s = r.width();
        pen.stroke(polyline({o + QPointF(s * 0.24, s * 0.52), o + QPointF(s * 0.43, s * 0.71),
                             o + QPointF(s * 0.77, s * 0.31)}),
                   Qt::white, 2.0);
    } else {
        pen.fillStroke(roundedRect(r, 2.2), Qt::white, art::kSlate, 1.5);
    }
}

void draw(Pen& pen, Glyph glyph) {
    QPainter& p = pen.painter();
    switch (glyph) {
    case Glyph::RecentFolders:
        pen.fillStroke(polyline({{6.5, 9.5}, {17.5, 9.5}, {12, 15.5}}, true), art::kSlate,
                       art::kSlate, 1.4);
        break;
    case Glyph::GetPictures: {
        const QPainterPath folder = polyline(
            {{2.5, 19.5}, {2.5, 5.5}, {8.5, 5.5}, {10.5, 7.5}, {19.5, 7.5}, {19.5, 19.5}}, true);
        pen.fillStroke(folder, art::kPaleBlue, art::kBlue, 1.5);
        // The picture in the folder, tilted out of it.
        p.save();
        p.translate(14, 14.5);
        p.rotate(-8);
        const QRectF photo(-7.5, -5.5, 15, 11);
        pen.fill(roundedRect(photo, 1), Qt::white);
        landscape(pen, photo.adjusted(1.4, 1.4, -1.4, -1.4));
        pen.stroke(roundedRect(photo, 1), art::kDeepBlue, 1.2);
        p.restore();
        break;
    }
    case Glyph::Upload:
        pen.stroke(polyline({{4, 14.5}, {4, 20}, {20, 20}, {20, 14.5}}), art::kSlate, 2.0);
        pen.stroke(polyline({{12, 16.5}, {12, 4.5}}), art::kBlue, 2.4);
        pen.stroke(polyline({{7.2, 9.3}, {12, 4.5}, {16.8, 9.3}}), art::kBlue, 2.4);
        break;
    case Glyph::SelectAll:
        checkBox(pen, QRectF(8.5, 2.5, 12.5, 12.5), true);
        pen.fill(roundedRect(QRectF(2, 8, 14, 14), 2.8), Qt::white);
        checkBox(pen, QRectF(3, 9, 12.5, 12.5), true);
        break;
    case Glyph::DeselectAll:
        checkBox(pen, QRectF(8.5, 2.5, 12.5, 12.5), false);
        pen.fill(roundedRect(QRectF(2, 8, 14, 14), 2.8), Qt::white);
        checkBox(pen, QRectF(3, 9, 12.5, 12.5), false);
        break;
    case Glyph::Previous:
    case Glyph::Next: {
        pen.fill(circle(QPointF(12, 12), 9.5), art::kBlue);
        const qreal d = glyph == Glyph::Next ? 1 : -1;
        pen.stroke(polyline({{12 - 2 * d, 7.2}, {12 + 2.8 * d, 12}, {12 - 2 * d, 16.8}}), Qt::white,
                   2.4);
        break;
    }
    case Glyph::ReceiverView:
        frameMark(pen, QRectF(2, 4.5, 20, 15));
        break;
    case Glyph::FullSize: {
        pen.fillStroke(roundedRect(QRectF(2.5, 4.5, 19, 15), 2), Qt::white, art::kSlate, 1.4);
        // "1:1" drawn as shapes, crisp at every size.
        pen.stroke(polyline({{6.2, 9.2}, {8, 8}, {8, 16}}), art::kBlue, 1.8);
        pen.fill(circle(QPointF(12, 10.3), 1.05), art::kBlue);
        pen.fill(circle(QPointF(12, 14.2), 1.05), art::kBlue);
        pen.stroke(polyline({{14.6, 9.2}, {16.4, 8}, {16.4, 16}}), art::kBlue, 1.8);
        break;
    }
    case Glyph::FullScreen:
        pen.fill(roundedRect(QRectF(7, 7.5, 10, 9), 1), art::kPaleBlue);
        for (int sx : {-1, 1})
            for (int sy : {-1, 1}) {
                const QPointF corner(12 + sx * 8.5, 12 + sy * 8.5);
                pen.stroke(
                    polyline({corner - QPointF(sx * 5, 0), corner, corner - QPointF(0, sy * 5)}),
                    art::kBlue, 2.0);
            }
        break;
    case Glyph::Rename: {
        pen.stroke(polyline({{3, 20.5}, {21, 20.5}}), art::kLine, 1.6);
        p.save();
        p.translate(12, 11);
        p.rotate(-45);
        pen.fillStroke(roundedRect(QRectF(-7, -2.6, 12, 5.2), 0.8), art::kPaleBlue, art::kBlue,
                       1.5);
        pen.fill(polyline({{-7, -2.6}, {-10.5, 0}, {-7, 2.6}}, true), art::kSlate);
        pen.fill(roundedRect(QRectF(5, -2.6, 2.6, 5.2), 0.8), art::kWarm);
        p.restore();
        break;
    }
    case Glyph::PictureInfo:
        pen.fill(circle(QPointF(12, 12), 9.5), art::kBlue);
        pen.fill(circle(QPointF(12, 7.4), 1.5), Qt::white);
        pen.fill(roundedRect(QRectF(10.7, 10.3, 2.6, 7.6), 1.1), Qt::white);
        break;
    case Glyph::PalvoEnabled:
        frameMark(pen, QRectF(1.5, 4, 21, 16));
        break;
    case Glyph::PalvoDisabled: {
        Pen grey(p, false);
        frameMark(grey, QRectF(1.5, 4, 21, 16));
        break;
    }
    case Glyph::RotateLeft:
        rotation(pen, false);
        break;
    case Glyph::RotateRight:
        rotation(pen, true);
        break;
    case Glyph::ZoomIn:
        magnifier(pen, +1);
        break;
    case Glyph::ZoomOut:
        magnifier(pen, -1);
        break;
    case Glyph::PalvoCrop:
        landscape(pen, QRectF(7, 8.25, 10, 7.5));
        cropMarks(pen);
        break;
    case Glyph::FreeCrop:
        pen.fill(roundedRect(QRectF(7, 7, 10, 10), 0), art::kPaleBlue);
        cropMarks(pen);
        break;
    case Glyph::QuickFix:
        pen.stroke(polyline({{4, 20}, {14.5, 9.5}}), art::kSlate, 3.0);
        pen.stroke(polyline({{14.5, 9.5}, {16.5, 7.5}}), art::kBlue, 3.0);
        sparkle(pen, QPointF(18.5, 4.5), 3.3);
        sparkle(pen, QPointF(20, 12.5), 2.2);
        sparkle(pen, QPointF(11, 3.8), 2.0);
        break;
    case Glyph::RedEye: {
        QPainterPath eye;
        eye.moveTo(2, 12);
        eye.quadTo(12, 2.5, 22, 12);
        eye.quadTo(12, 21.5, 2, 12);
        pen.fillStroke(eye, Qt::white, art::kSlate, 1.6);
        pen.fill(circle(QPointF(12, 12), 4.3), art::kRed);
        pen.fill(circle(QPointF(12, 12), 1.9), QColor(0x5A, 0x16, 0x10));
        pen.fill(circle(QPointF(13.4, 10.6), 0.9), Qt::white);
        break;
    }
    case Glyph::AddText: {
        QPainterPath t = polyline({{4.5, 3.5},
                                   {19.5, 3.5},
                                   {19.5, 8},
                                   {17.7, 8},
                                   {16.8, 6},
                                   {13.6, 6},
                                   {13.6, 18},
                                   {15.8, 18.6},
                                   {15.8, 20.5},
                                   {8.2, 20.5},
                                   {8.2, 18.6},
                                   {10.4, 18},
                                   {10.4, 6},
                                   {7.2, 6},
                                   {6.3, 8},
                                   {4.5, 8}},
                                  true);
        pen.fill(t, art::kBlue);
        break;
    }
    case Glyph::Apply:
        pen.fill(circle(QPointF(12, 12), 9.5), art::kGreen);
        pen.stroke(polyline({{7.3, 12.3}, {10.6, 15.6}, {16.8, 8.6}}), Qt::white, 2.5);
        break;
    case Glyph::Cancel:
        pen.fill(circle(QPointF(12, 12), 9.5), art::kRed);
        pen.stroke(polyline({{8.3, 8.3}, {15.7, 15.7}}), Qt::white, 2.5);
        pen.stroke(polyline({{15.7, 8.3}, {8.3, 15.7}}), Qt::white, 2.5);
        break;
    }
}

class GlyphEngine : public QIconEngine {
public:
    GlyphEngine(Glyph glyph, int size) : glyph_(glyph), size_(size) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        drawGlyph(*painter, glyph_, rect, mode != QIcon::Disabled);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    // Qt asks for the size in device pixels and sets the ratio itself.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        drawGlyph(p, glyph_, QRectF(QPointF(0, 0), QSizeF(size)), mode != QIcon::Disabled);
        p.end();
        pm.setDevicePixelRatio(scale);
        return pm;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(size_, size_)};
    }
    QString key() const override { return QStringLiteral("palvo-glyph"); }
    QIconEngine* clone() const override { return new GlyphEngine(glyph_, size_); }

private:
    Glyph glyph_;
    int size_;
};

class BandPainter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            if (auto* panel = qobject_cast<QWidget*>(watched)) {
                QPainter p(panel);
                const QRect r = panel->rect();
                QLinearGradient band(r.topLeft(), r.bottomLeft());
                band.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
                band.setColorAt(1, QColor(0xE9, 0xF1, 0xFA));
                p.fillRect(r, band);
                p.setPen(art::kLine);
                p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            }
        return false;
    }
};

} // namespace

void drawGlyph(QPainter& painter, Glyph glyph, const QRectF& rect, bool enabled) {
    const qreal side = qMin(rect.width(), rect.height());
    if (side <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.center() - QPointF(side / 2, side / 2));
    painter.scale(side / 24.0, side / 24.0);
    Pen pen(painter, enabled);
    draw(pen, glyph);
    painter.restore();
}

QIcon buttonIcon(Glyph glyph, int size) {
    return QIcon(new GlyphEngine(glyph, size));
}

void PaintBand(QWidget* panel) {
    panel->installEventFilter(new BandPainter(panel));
}

} // namespace palvo
