#include "controls/ui/ClickLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace palvo {

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

TabPicture::TabPicture(int activeTab, QWidget* parent) : QWidget(parent), activeTab_(activeTab) {
    setCursor(Qt::PointingHandCursor);
}

void TabPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    const int half = width() / 2;
    for (int tab = 0; tab < 2; ++tab) {
        const bool active = tab == activeTab_;
        const QRectF r(tab * half + 2, active ? 4 : 9, half - 4, height() - (active ? 4 : 9));
        QPainterPath path;
        path.addRoundedRect(r.adjusted(0, 0, 0, 8), 7, 7);
        p.setClipRect(QRectF(0, 0, width(), height()));
        p.setPen(QColor(0xB8, 0xC4, 0xD4));
        p.setBrush(active ? QColor(0xE4, 0xEE, 0xFA) : QColor(0xF3, 0xF3, 0xF3));
        p.drawPath(path);
    }
    p.setPen(QColor(0xB8, 0xC4, 0xD4));
    p.drawLine(0, height() - 1, width(), height() - 1);
}

void TabPicture::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT released(int(event->position().x()));
}

} // namespace palvo
