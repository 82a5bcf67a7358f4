#pragma once

#include "imaging/ViewerGeometry.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QThreadPool>

#include <atomic>

namespace palvo {

// The picture view: a scroll area that shows one picture at a zoom, shrinks
// a picture larger than the view to fit when automatic shrink is on, scrolls
// by dragging with the hand cursors, paints a background colour around the
// picture, scales with the display filter of "DisplayQuality" and offers a
// rectangle selection with grips and a darkened outside for the edit tools.
// All positions it reports are picture (bitmap) coordinates.
class PictureView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);
    ~PictureView() override;

    // --- the picture
    // Shows the picture scrolled to its top-left corner; the zoom stays
    // unless automatic shrink re-fits it.
    void setImage(const QImage& image);
    [[nodiscard]] const QImage& image() const { return image_; }
    [[nodiscard]] bool isEmpty() const { return image_.isNull(); }
    // Removes the picture and the selection.
    void clear();

    // --- zoom and scrolling
    [[nodiscard]] double zoom() const { return zoom_; }
    // Zooms keeping the picture point under the view's centre where it is.
    void setZoom(double percent);
    // When on, a picture larger than the view is fitted into it on every
    // change of picture or view size, and a smaller one is shown at 100 %.
    void setAutoShrink(bool on);
    [[nodiscard]] bool autoShrink() const { return autoShrink_; }
    [[nodiscard]] PictureLayout pictureLayout() const;
    [[nodiscard]] QSize drawnSize() const { return pictureLayout().drawnSize(); }
    [[nodiscard]] QSize viewSize() const;
    [[nodiscard]] QPoint scrollOffset() const;
    void setScrollOffset(QPoint offset);
    [[nodiscard]] QPointF viewToPicture(QPointF point) const;
    [[nodiscard]] QPointF pictureToView(QPointF point) const;

    // --- look
    void setBackgroundColour(const QColor& colour);
    [[nodiscard]] QColor backgroundColour() const { return background_; }
    // 0 none, 1 bilinear, 2 Lanczos-3 (when shrinking; made on a worker
    // thread, drawn bilinear until it is ready, then kept for its size).
    void setDisplayQuality(int quality);
    [[nodiscard]] int displayQuality() const { return quality_; }
    // The cross cursor instead of the arrow and hands (red-eye, selections).
    void setCrossCursor(bool on);
    // Applies the cursor rule for the current picture, zoom and mode.
    void updateCursor();

    // --- rectangle selection
    // When on, the left mouse button draws, moves and resizes the selection
    // instead of scrolling.
    void setSelecting(bool on);
    [[nodiscard]] bool selecting() const { return selecting_; }
    void setDarkenOutside(bool on);
    [[nodiscard]] bool darkenOutside() const { return darken_; }
    // In picture coordinates; an empty rectangle removes the selection.
    void setSelection(const QRect& rect);
    [[nodiscard]] QRect selection() const { return selection_; }
    void clearSelection() { setSelection({}); }
    [[nodiscard]] bool hasSelection() const { return !selection_.isEmpty(); }

    // The scaled picture the Lanczos filter made last (for tests and to
    // see that it is reused); 0 while none is ready.
    [[nodiscard]] qint64 scaledCacheKey() const { return scaled_.cacheKey(); }

    // Handle size of the selection grips, in view pixels.
    static constexpr int kGripSize = 4;

Q_SIGNALS:
    void zoomChanged(double percent);
    // The view's size changed (after automatic shrink has re-fitted).
    void viewResized();
    // While the user drags the selection, and once when the button is let go.
    void selectionChanging(const QRect& rect);
    void selectionReleased(const QRect& rect);
    // Mouse events in picture coordinates, for the edit tools.
    void pictureMousePressed(Qt::MouseButton button, QPointF point);
    void pictureMouseMoved(Qt::MouseButtons buttons, QPointF point);
    void pictureMouseReleased(Qt::MouseButton button, QPointF point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // What a press on the selection grabs: the grip codes of the crop tool
    // (1..8 corners and edges, 0 the whole rectangle), or a new rectangle.
    enum class Grab {
        None,
        Move,
        TopLeft,
        Top,
        TopRight,
        Left,
        Right,
        BottomLeft,
        Bottom,
        BottomRight,
        New
    };
    [[nodiscard]] Grab grabAt(QPoint viewPoint) const;
    [[nodiscard]] QRect clampToPicture(const QRect& rect) const;
    void applyAutoShrink();
    void updateScrollBars();
    void drawPicture(class QPainter& painter, const QRect& target);
    void drawSelection(QPainter& painter);
    // The Lanczos picture of the drawn size, or null while it is being made.
    [[nodiscard]] const QImage& lanczosImage(QSize drawn);

    QImage image_;
    QImage scaled_; // the Lanczos result for scaledSize_ of image_
    qint64 scaledSource_ = 0;
    QSize scaledSize_;
    qint64 pendingSource_ = 0; // the Lanczos picture being made
    QSize pendingSize_;
    std::atomic<quint64> lanczosGeneration_{0};
    QThreadPool lanczosPool_;
    double zoom_ = 100;
    bool autoShrink_ = true;
    QColor background_ = Qt::white;
    int quality_ = 1;
    bool cross_ = false;
    bool selecting_ = false;
    bool darken_ = false;
    QRect selection_;
    // Drag state.
    bool dragging_ = false;
    QPoint pressView_;
    QPoint pressScroll_;
    Grab grab_ = Grab::None;
    QRect pressSelection_;
    QPointF pressPicture_;
};

} // namespace palvo
