#include "imaging/ViewerGeometry.h"

#include "imaging/IEFunctions.h"

#include <algorithm>
#include <cmath>

namespace palvo {

ZoomStep zoomStep(int zoomPercent, bool zoomIn) {
    if (!zoomIn && zoomPercent < 6)
        return {zoomPercent, true, false};
    const int z = zoomIn ? zoomPercent + 1 : zoomPercent - 1;
    const int increment = zoomIn ? 25 : 0;
    int value = 0;
    if (z < 26)
        value = (z / 5) * 5 + increment / 5;
    else if (z < 300)
        value = (z / 25) * 25 + increment;
    else
        value = (z / 100) * 100 + 4 * increment;
    if (value > kMaxZoomPercent)
        return {kMaxZoomPercent, false, true};
    return {std::max(value, kMinZoomPercent), false, false};
}

int fitZoomPercent(QSize picture, QSize view) {
    if (picture.isEmpty() || view.isEmpty())
        return 100;
    const double fit =
        std::min(double(view.height()) / picture.height(), double(view.width()) / picture.width());
    return int(fit * 100);
}

int stopAtFit(int currentZoom, int newZoom, int fitZoom) {
    const int low = std::min(currentZoom, newZoom);
    const int high = std::max(currentZoom, newZoom);
    return fitZoom > low && fitZoom < high ? fitZoom : newZoom;
}

double shownPictureZoom(QSize picture, QSize view, bool receiverView) {
    if (picture.isEmpty() || view.isEmpty() || !receiverView)
        return 100;
    const double byHeight = double(picture.height()) / view.height();
    const double byWidth = double(picture.width()) / view.width();
    const double binding = byHeight >= byWidth ? byHeight : byWidth;
    return binding > 1 ? 100 / binding : 100;
}

QRect framePanelRect(QSize holder, int maxWidth, int maxHeight, bool fullSizeView) {
    const TRect r = TIEFunctions::FitRect(maxWidth + kFrameExtraWidth,
                                          maxHeight + kFrameExtraHeight, holder.width(),
                                          holder.height(), 0, 0, fullSizeView, true, true, true, 0);
    return {r.Left, r.Top, r.width(), r.height()};
}

bool coversWithinTolerance(int drawn, int viewExtent) {
    if (viewExtent <= 0)
        return true;
    const int a = std::min(drawn, viewExtent);
    int low = 98;
    int high = 102;
    if (a < 90) {
        low = 90;
        high = 100;
    } else if (a < 160) {
        low = 94;
        high = 106;
    } else if (a < 250) {
        low = 97;
        high = 103;
    }
    return a >= RoundHalfEven(viewExtent * low / 100.0) &&
           a <= RoundHalfEven(viewExtent * high / 100.0);
}

bool drawnCoversView(QSize drawn, QSize view) {
    return coversWithinTolerance(drawn.width(), view.width()) &&
           coversWithinTolerance(drawn.height(), view.height());
}

Colour viewBackground(QSize drawn, QSize view, bool receiverView, bool fullScreen,
                      Colour receiverBackground) {
    if (drawnCoversView(drawn, view))
        return clWhite;
    if (fullScreen)
        return clBlack;
    return receiverView ? receiverBackground : clWhite;
}

ViewCursor viewCursorFor(bool redEye, QSize view, QSize drawn) {
    if (redEye)
        return ViewCursor::Cross;
    if (view.width() >= drawn.width() - 1 && view.height() >= drawn.height() - 1)
        return ViewCursor::Arrow;
    return ViewCursor::OpenHand;
}

QSize PictureLayout::drawnSize() const {
    if (picture.isEmpty() || zoom <= 0)
        return {0, 0};
    return {std::max(1, RoundHalfEven(picture.width() * zoom / 100)),
            std::max(1, RoundHalfEven(picture.height() * zoom / 100))};
}

QSize PictureLayout::scrollRange() const {
    const QSize drawn = drawnSize();
    return {std::max(0, drawn.width() - viewport.width()),
            std::max(0, drawn.height() - viewport.height())};
}

QPoint PictureLayout::clampScroll(QPoint scroll) const {
    const QSize range = scrollRange();
    return {std::clamp(scroll.x(), 0, range.width()), std::clamp(scroll.y(), 0, range.height())};
}

QPoint PictureLayout::origin(QPoint scroll) const {
    const QSize drawn = drawnSize();
    const QPoint s = clampScroll(scroll);
    const int x =
        drawn.width() < viewport.width() ? (viewport.width() - drawn.width()) / 2 : -s.x();
    const int y =
        drawn.height() < viewport.height() ? (viewport.height() - drawn.height()) / 2 : -s.y();
    return {x, y};
}

QPointF PictureLayout::viewToPicture(QPointF point, QPoint scroll) const {
    if (zoom <= 0)
        return {};
    const QPoint o = origin(scroll);
    return {(point.x() - o.x()) * 100 / zoom, (point.y() - o.y()) * 100 / zoom};
}

QPointF PictureLayout::pictureToView(QPointF point, QPoint scroll) const {
    const QPoint o = origin(scroll);
    return {o.x() + point.x() * zoom / 100, o.y() + point.y() * zoom / 100};
}

QRect PictureLayout::pictureToView(const QRect& rect, QPoint scroll) const {
    const QPointF topLeft = pictureToView(QPointF(rect.left(), rect.top()), scroll);
    const QPointF bottomRight =
        pictureToView(QPointF(rect.left() + rect.width(), rect.top() + rect.height()), scroll);
    const int left = RoundHalfEven(topLeft.x());
    const int top = RoundHalfEven(topLeft.y());
    return {left, top, RoundHalfEven(bottomRight.x()) - left, RoundHalfEven(bottomRight.y()) - top};
}

QPoint PictureLayout::scrollKeepingCentre(QPoint scroll, double newZoom) const {
    const QPointF centre =
        viewToPicture(QPointF(viewport.width() / 2.0, viewport.height() / 2.0), scroll);
    PictureLayout next = *this;
    next.zoom = newZoom;
    const QPoint wanted(RoundHalfEven(centre.x() * newZoom / 100 - viewport.width() / 2.0),
                        RoundHalfEven(centre.y() * newZoom / 100 - viewport.height() / 2.0));
    return next.clampScroll(wanted);
}

} // namespace palvo
