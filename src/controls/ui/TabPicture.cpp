#include "controls/ui/TabPicture.h"

#include "controls/ui/ButtonArt.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace palvo {

TabPicture::TabPicture(int activeTab, QWidget* parent) : QWidget(parent), activeTab_(activeTab) {
    setCursor(Qt::PointingHandCursor);
}

QColor TabPicture::labelColour(bool active) {
    return active ? art::kDeepBlue : art::kSlate;
}

void TabPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    const qreal half = width() / 2.0;
    const qreal base = height() - 0.5;
    // The other tab first, so the active one's edges lie on top.
    for (int pass = 0; pass < 2; ++pass) {
        const int tab = pass == 0 ? 1 - activeTab_ : activeTab_;
        const bool active = tab == activeTab_;
        const qreal top = active ? 3.5 : 8.5;
        const QRectF r(tab * half + (active ? 1.5 : 3.5), top, half - (active ? 3 : 7), base - top);
        const qreal radius = 6;
        QPainterPath path;
        path.moveTo(r.left(), r.bottom());
        path.lineTo(r.left(), r.top() + radius);
        path.quadTo(r.left(), r.top(), r.left() + radius, r.top());
        path.lineTo(r.right() - radius, r.top());
        path.quadTo(r.right(), r.top(), r.right(), r.top() + radius);
        path.lineTo(r.right(), r.bottom());
        if (active) {
            p.fillPath(path, Qt::white);
        } else {
            QLinearGradient shade(r.topLeft(), r.bottomLeft());
            shade.setColorAt(0, QColor(0xF3, 0xF6, 0xFA));
            shade.setColorAt(1, QColor(0xE4, 0xEA, 0xF1));
            p.fillPath(path, shade);
        }
        p.setPen(QPen(art::kLine, 1));
        p.drawPath(path);
        if (active) {
            // The accent along the top of the active tab.
            QPainterPath accent;
            accent.moveTo(r.left() + 1, r.top() + radius);
            accent.quadTo(r.left() + 1, r.top() + 1, r.left() + radius, r.top() + 1);
            accent.lineTo(r.right() - radius, r.top() + 1);
            accent.quadTo(r.right() - 1, r.top() + 1, r.right() - 1, r.top() + radius);
            p.setPen(QPen(art::kBlue, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawPath(accent);
        }
    }
    // The page's edge, open under the active tab.
    const qreal left = activeTab_ * half + 1.5;
    const qreal right = left + half - 3;
    p.setPen(QPen(art::kLine, 1));
    p.drawLine(QPointF(0, base), QPointF(left, base));
    p.drawLine(QPointF(right, base), QPointF(width(), base));
}

void TabPicture::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT released(int(event->position().x()));
}

} // namespace palvo
