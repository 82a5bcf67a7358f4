#include "imaging/ui/PictureView.h"

#include "imaging/Resample.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace palvo {

namespace {

// The grips' face (orange) and the darkening of the outside of a selection.
const QColor kGripFace(0xF8, 0x98, 0x00);
const QColor kDarken(0, 0, 0, 110);

// How far from an edge or corner a press still grabs it, in view pixels.
constexpr int kGrabReach = PictureView::kGripSize + 2;

} // namespace

PictureView::PictureView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    updateCursor();
    lanczosPool_.setMaxThreadCount(1);
}

PictureView::~PictureView() {
    ++lanczosGeneration_;
    lanczosPool_.clear();
    lanczosPool_.waitForDone();
}

void PictureView::setImage(const QImage& image) {
    image_ = image;
    scaled_ = QImage();
    scaledSource_ = 0;
    pendingSource_ = 0;
    ++lanczosGeneration_;
    selection_ = QRect();
    dragging_ = false;
    applyAutoShrink();
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    updateCursor();
    viewport()->update();
}

void PictureView::clear() {
    setImage(QImage());
}

PictureLayout PictureView::pictureLayout() const {
    return {image_.size(), viewport()->size(), zoom_};
}

QSize PictureView::viewSize() const {
    return maximumViewportSize();
}

QPoint PictureView::scrollOffset() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void PictureView::setScrollOffset(QPoint offset) {
    const QPoint clamped = pictureLayout().clampScroll(offset);
    horizontalScrollBar()->setValue(clamped.x());
    verticalScrollBar()->setValue(clamped.y());
}

QPointF PictureView::viewToPicture(QPointF point) const {
    return pictureLayout().viewToPicture(point, scrollOffset());
}

QPointF PictureView::pictureToView(QPointF point) const {
    return pictureLayout().pictureToView(point, scrollOffset());
}

void PictureView::setZoom(double percent) {
    if (percent <= 0)
        return;
    const QPoint scroll = pictureLayout().scrollKeepingCentre(scrollOffset(), percent);
    const bool changed = percent != zoom_;
    zoom_ = percent;
    updateScrollBars();
    setScrollOffset(scroll);
    updateCursor();
    viewport()->update();
    if (changed)
        Q_EMIT zoomChanged(zoom_);
}

void PictureView::setAutoShrink(bool on) {
    autoShrink_ = on;
    if (on) {
        applyAutoShrink();
        updateScrollBars();
        viewport()->update();
    }
}

void PictureView::applyAutoShrink() {
    if (!autoShrink_ || image_.isNull())
        return;
    const double z = shownPictureZoom(image_.size(), viewSize(), true);
    if (z != zoom_) {
        zoom_ = z;
        Q_EMIT zoomChanged(zoom_);
    }
}

void PictureView::updateScrollBars() {
    const PictureLayout layout = pictureLayout();
    const QSize range = layout.scrollRange();
    horizontalScrollBar()->setRange(0, range.width());
    verticalScrollBar()->setRange(0, range.height());
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height()));
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

void PictureView::setBackgroundColour(const QColor& colour) {
    if (colour == background_)
        return;
    background_ = colour;
    viewport()->update();
}

void PictureView::setDisplayQuality(int quality) {
    quality_ = std::clamp(quality, 0, 2);
    viewport()->update();
}

void PictureView::setCrossCursor(bool on) {
    cross_ = on;
    updateCursor();
}

void PictureView::updateCursor() {
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (dragging_ && !selecting_)
        shape = Qt::ClosedHandCursor;
    else if (cross_ || selecting_)
        shape = Qt::CrossCursor;
    else if (viewCursorFor(false, viewport()->size(), drawnSize()) == ViewCursor::OpenHand)
        shape = Qt::OpenHandCursor;
    viewport()->setCursor(shape);
}

void PictureView::setSelecting(bool on) {
    selecting_ = on;
    dragging_ = false;
    updateCursor();
    viewport()->update();
}

void PictureView::setDarkenOutside(bool on) {
    darken_ = on;
    viewport()->update();
}

void PictureView::setSelection(const QRect& rect) {
    selection_ = rect.isEmpty() ? QRect() : rect.normalized();
    viewport()->update();
}

// ------------------------------------------------------------------ painting

const QImage& PictureView::lanczosImage(QSize drawn) {
    static const QImage none;
    const qint64 source = image_.cacheKey();
    if (scaledSource_ == source && scaledSize_ == drawn)
        return scaled_;
    if (pendingSource_ == source && pendingSize_ == drawn)
        return none;
    pendingSource_ = source;
    pendingSize_ = drawn;
    const quint64 generation = ++lanczosGeneration_;
    lanczosPool_.start([this, generation, picture = image_, drawn] {
        if (lanczosGeneration_.load() != generation)
            return;
        QImage scaled =
            resampleImage(picture, drawn.width(), drawn.height(), ResampleFilter::Lanczos3);
        if (lanczosGeneration_.load() != generation)
            return;
        // The destructor waits for this task, so the view is still there.
        QMetaObject::invokeMethod(
            this,
            [this, generation, scaled = std::move(scaled), key = picture.cacheKey(), drawn] {
                if (lanczosGeneration_.load() != generation)
                    return;
                scaled_ = scaled;
                scaledSource_ = key;
                scaledSize_ = drawn;
                pendingSource_ = 0;
                viewport()->update();
            },
            Qt::QueuedConnection);
    });
    return none;
}

void PictureView::drawPicture(QPainter& painter, const QRect& target) {
    const QSize drawn = target.size();
    if (drawn == image_.size()) {
        painter.drawImage(target.topLeft(), image_);
        return;
    }
    // Lanczos only pays when shrinking; enlarging draws bilinear.
    if (quality_ == 2 && drawn.width() <= image_.width() && drawn.height() <= image_.height()) {
        const QImage& scaled = lanczosImage(drawn);
        if (!scaled.isNull()) {
            painter.drawImage(target.topLeft(), scaled);
            return;
        }
    }
    // Only the visible part of the picture is scaled.
    const QRect visible = target.intersected(viewport()->rect());
    if (visible.isEmpty())
        return;
    const double sx = double(image_.width()) / drawn.width();
    const double sy = double(image_.height()) / drawn.height();
    const QRectF source((visible.left() - target.left()) * sx, (visible.top() - target.top()) * sy,
                        visible.width() * sx, visible.height() * sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, quality_ != 0);
    painter.drawImage(QRectF(visible), image_, source);
}

void PictureView::drawSelection(QPainter& painter) {
    const PictureLayout layout = pictureLayout();
    const QPoint scroll = scrollOffset();
    const QRect view = layout.pictureToView(selection_, scroll);
    if (darken_) {
        QPainterPath outside;
        outside.addRect(QRect(layout.origin(scroll), layout.drawnSize()));
        QPainterPath inside;
        inside.addRect(view);
        painter.fillPath(outside.subtracted(inside), kDarken);
    }
    const QRect frame = view.adjusted(0, 0, -1, -1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
    painter.drawRect(frame);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(kGripFace);
    const int xs[] = {frame.left(), frame.center().x(), frame.right()};
    const int ys[] = {frame.top(), frame.center().y(), frame.bottom()};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            if (row == 1 && col == 1)
                continue;
            painter.drawRect(xs[col] - kGripSize / 2, ys[row] - kGripSize / 2, kGripSize,
                             kGripSize);
        }
    }
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), background_);
    if (image_.isNull())
        return;
    const PictureLayout layout = pictureLayout();
    const QRect target(layout.origin(scrollOffset()), layout.drawnSize());
    drawPicture(painter, target);
    if (hasSelection())
        drawSelection(painter);
}

void PictureView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    applyAutoShrink();
    updateScrollBars();
    updateCursor();
    Q_EMIT viewResized();
}

void PictureView::scrollContentsBy(int, int) {
    viewport()->update();
}

// ------------------------------------------------------------------ mouse

PictureView::Grab PictureView::grabAt(QPoint p) const {
    if (!hasSelection())
        return Grab::New;
    const QRect r = pictureLayout().pictureToView(selection_, scrollOffset());
    const int left = r.left();
    const int right = r.left() + r.width();
    const int top = r.top();
    const int bottom = r.top() + r.height();
    const bool nearLeft = std::abs(p.x() - left) <= kGrabReach;
    const bool nearRight = std::abs(p.x() - right) <= kGrabReach;
    const bool nearTop = std::abs(p.y() - top) <= kGrabReach;
    const bool nearBottom = std::abs(p.y() - bottom) <= kGrabReach;
    const bool withinX = p.x() >= left - kGrabReach && p.x() <= right + kGrabReach;
    const bool withinY = p.y() >= top - kGrabReach && p.y() <= bottom + kGrabReach;
    if (nearTop && nearLeft)
        return Grab::TopLeft;
    if (nearTop && nearRight)
        return Grab::TopRight;
    if (nearBottom && nearLeft)
        return Grab::BottomLeft;
    if (nearBottom && nearRight)
        return Grab::BottomRight;
    if (nearTop && withinX)
        return Grab::Top;
    if (nearBottom && withinX)
        return Grab::Bottom;
    if (nearLeft && withinY)
        return Grab::Left;
    if (nearRight && withinY)
        return Grab::Right;
    if (r.contains(p))
        return Grab::Move;
    return Grab::New;
}

QRect PictureView::clampToPicture(const QRect& rect) const {
    return rect.normalized().intersected(QRect(QPoint(0, 0), image_.size()));
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    const QPointF picture = viewToPicture(event->position());
    if (event->button() == Qt::LeftButton && !image_.isNull()) {
        pressView_ = event->position().toPoint();
        pressScroll_ = scrollOffset();
        pressPicture_ = picture;
        pressSelection_ = selection_;
        if (selecting_) {
            grab_ = grabAt(pressView_);
            dragging_ = true;
        } else if (!pictureLayout().scrollRange().isNull()) {
            dragging_ = true;
            updateCursor();
        }
    }
    Q_EMIT pictureMousePressed(event->button(), picture);
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF picture = viewToPicture(event->position());
    if (dragging_ && !selecting_) {
        setScrollOffset(pressScroll_ - (event->position().toPoint() - pressView_));
    } else if (dragging_ && selecting_) {
        const int dx = int(std::lround(picture.x() - pressPicture_.x()));
        const int dy = int(std::lround(picture.y() - pressPicture_.y()));
        int l = pressSelection_.left();
        int t = pressSelection_.top();
        int r = l + pressSelection_.width();
        int b = t + pressSelection_.height();
        switch (grab_) {
        case Grab::TopLeft:
            l += dx;
            t += dy;
            break;
        case Grab::Top:
            t += dy;
            break;
        case Grab::TopRight:
            r += dx;
            t += dy;
            break;
        case Grab::Left:
            l += dx;
            break;
        case Grab::Right:
            r += dx;
            break;
        case Grab::BottomLeft:
            l += dx;
            b += dy;
            break;
        case Grab::Bottom:
            b += dy;
            break;
        case Grab::BottomRight:
            r += dx;
            b += dy;
            break;
        case Grab::Move: {
            const int w = r - l;
            const int h = b - t;
            l = std::clamp(l + dx, 0, std::max(0, image_.width() - w));
            t = std::clamp(t + dy, 0, std::max(0, image_.height() - h));
            r = l + w;
            b = t + h;
            break;
        }
        case Grab::New:
        case Grab::None:
            l = int(std::lround(pressPicture_.x()));
            t = int(std::lround(pressPicture_.y()));
            r = int(std::lround(picture.x()));
            b = int(std::lround(picture.y()));
            break;
        }
        const QRect next = clampToPicture(QRect(QPoint(std::min(l, r), std::min(t, b)),
                                                QPoint(std::max(l, r) - 1, std::max(t, b) - 1)));
        if (next != selection_ && !next.isEmpty()) {
            selection_ = next;
            viewport()->update();
            Q_EMIT selectionChanging(selection_);
        }
    }
    Q_EMIT pictureMouseMoved(event->buttons(), picture);
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF picture = viewToPicture(event->position());
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        if (selecting_)
            Q_EMIT selectionReleased(selection_);
        updateCursor();
    }
    Q_EMIT pictureMouseReleased(event->button(), picture);
}

} // namespace palvo
