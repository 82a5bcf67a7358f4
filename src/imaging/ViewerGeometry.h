#pragma once

#include "foundation/QRoutine.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace palvo {

// The zoom the user may ask for, in percent.
inline constexpr int kMinZoomPercent = 5;
inline constexpr int kMaxZoomPercent = 500;

// One step of the zoom-in or zoom-out command from the user's zoom.
struct ZoomStep {
    int value = 100;      // the new zoom (unchanged when refused)
    bool refused = false; // zoom out below 6 percent: nothing changes
    bool beep = false;    // the step went past 500 and was held there
    friend bool operator==(const ZoomStep&, const ZoomStep&) = default;
};
[[nodiscard]] ZoomStep zoomStep(int zoomPercent, bool zoomIn);

// The zoom the view is given for a zoom: 5 percent is drawn at 7.
[[nodiscard]] constexpr int displayedZoom(int zoomPercent) {
    return zoomPercent == kMinZoomPercent ? 7 : zoomPercent;
}

// The zoom at which the whole picture just fits the view, truncated to an
// integer; 100 without a picture or a view.
[[nodiscard]] int fitZoomPercent(QSize picture, QSize view);

// A step from the view's current zoom to newZoom stops at the fit zoom when
// the fit lies strictly between the two.
[[nodiscard]] int stopAtFit(int currentZoom, int newZoom, int fitZoom);

// The zoom a picture is shown at when the user has not zoomed: fitted into
// the view when it is larger than the view on its binding side and the
// receiver view is on, else 100 percent.
[[nodiscard]] double shownPictureZoom(QSize picture, QSize view, bool receiverView);

// Decoration of the frame panel around the receiver-sized picture.
inline constexpr int kFrameExtraWidth = 33;
inline constexpr int kFrameExtraHeight = 30;

// The frame panel inside the picture holder: the receiver's size plus the
// decoration, shrunk to fit the holder, enlarged only in the full-size view,
// centred both ways.
[[nodiscard]] QRect framePanelRect(QSize holder, int maxWidth, int maxHeight, bool fullSizeView);

// Whether a drawn extent (width or height) counts as covering the view's
// extent: the narrower the picture, the wider the band it may lie in.
[[nodiscard]] bool coversWithinTolerance(int drawn, int viewExtent);
[[nodiscard]] bool drawnCoversView(QSize drawn, QSize view);

// The view's background: white when the drawn picture covers the view, else
// the receiver's background colour in the receiver view (black in full
// screen) and white in the full-size view.
[[nodiscard]] Colour viewBackground(QSize drawn, QSize view, bool receiverView, bool fullScreen,
                                    Colour receiverBackground);

enum class ViewCursor { Arrow, Cross, OpenHand };
// Cross for red-eye; the arrow when the whole picture is visible; otherwise
// the open hand that drags the picture.
[[nodiscard]] ViewCursor viewCursorFor(bool redEye, QSize view, QSize drawn);

// Where a picture of some size is drawn in a viewport at a zoom: centred
// where it is smaller than the viewport, else shifted by the scroll offset.
struct PictureLayout {
    QSize picture;
    QSize viewport;
    double zoom = 100; // percent

    [[nodiscard]] QSize drawnSize() const;
    // The largest scroll offset in each direction (0 where the picture fits).
    [[nodiscard]] QSize scrollRange() const;
    [[nodiscard]] QPoint clampScroll(QPoint scroll) const;
    // The drawn picture's top-left corner in viewport coordinates.
    [[nodiscard]] QPoint origin(QPoint scroll) const;
    [[nodiscard]] QPointF viewToPicture(QPointF point, QPoint scroll) const;
    [[nodiscard]] QPointF pictureToView(QPointF point, QPoint scroll) const;
    // A picture rectangle as drawn in the viewport.
    [[nodiscard]] QRect pictureToView(const QRect& rect, QPoint scroll) const;
    // The scroll offset at newZoom that keeps the picture point under the
    // viewport's centre where it is.
    [[nodiscard]] QPoint scrollKeepingCentre(QPoint scroll, double newZoom) const;
};

} // namespace palvo
