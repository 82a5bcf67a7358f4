#include "library/ui/QCheckThumbGrid.h"

#include "foundation/QFileRoutine.h"
#include "imaging/IEFunctions.h"
#include "library/FolderNavigation.h"
#include "library/GridArtwork.h"
#include "library/TextRoutines.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QThread>
#include <QWheelEvent>

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace palvo {

namespace {

QString stripMark(const QString& entry) {
    return entry.startsWith(QLatin1Char(';')) ? entry.mid(1) : entry;
}

GridKey gridKeyOf(int key) {
    switch (key) {
    case Qt::Key_PageUp:
        return GridKey::PageUp;
    case Qt::Key_PageDown:
        return GridKey::PageDown;
    case Qt::Key_Home:
        return GridKey::Home;
    case Qt::Key_End:
        return GridKey::End;
    case Qt::Key_Left:
        return GridKey::Left;
    case Qt::Key_Right:
        return GridKey::Right;
    case Qt::Key_Up:
        return GridKey::Up;
    case Qt::Key_Down:
        return GridKey::Down;
    default:
        return GridKey::Other;
    }
}

// Decoding runs a little below the window's own thread, so on a busy
// machine the window is scheduled first and stays responsive.
bool lowerWorkerPriority() {
    return setpriority(PRIO_PROCESS, id_t(gettid()), 5) == 0;
}

// Where a picture of the given size is drawn inside the box.
QRect fittedIn(const QSize& size, const QRect& box) {
    const TRect r = TIEFunctions::FitRect(size.width(), size.height(), box.width(), box.height(),
                                          box.left(), box.top(), true, true, true, true, 0.0);
    return QRect(r.Left, r.Top, r.width(), r.height());
}

} // namespace

TQCheckThumbGrid::TQCheckThumbGrid(QWidget* parent)
    : QAbstractScrollArea(parent), ownFunctions_(std::make_unique<TIEFunctions>()) {
    functions_ = ownFunctions_.get();
    cache_ = std::make_unique<ThumbnailCache>(functions_);
    pool_.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    look_.displayType = TThumbDisplayType::tdtFilename;
    updateCellSize();
}

TQCheckThumbGrid::~TQCheckThumbGrid() {
    pool_.clear();
    pool_.waitForDone();
}

// ------------------------------------------------------------------ properties

void TQCheckThumbGrid::setThumbnailWidth(int width) {
    look_.width = std::max(1, width);
    updateCellSize();
}

void TQCheckThumbGrid::setThumbnailHeight(int height) {
    look_.height = std::max(1, height);
    updateCellSize();
}

void TQCheckThumbGrid::setFilenameTextWidth(int width) {
    filenameTextWidth_ = std::max(1, width);
    updateCellSize();
}

void TQCheckThumbGrid::setThumbDisplayType(TThumbDisplayType type) {
    look_.displayType = type;
    updateCellSize();
}

void TQCheckThumbGrid::setColours256(bool on) {
    look_.colours256 = on;
}

void TQCheckThumbGrid::applyMainWindowLook() {
    ThumbnailAlwaysAddBorder = false;
    CenterText = true;
    ThumbnailColorSelected = QColor(213, 213, 213);
    ThumbnailColorUnselected = Qt::white;
    GridColor = QColor(244, 244, 244);
    SupportedFormats = QLatin1String(PictureExtensions);
    BGSelectBitmap = gridBackground(true);
    BGUnSelectBitmap = gridBackground(false);
    Checked_SelBitmap = gridCheckBox(true, true);
    UnChecked_SelBitmap = gridCheckBox(false, true);
    Checked_UnSelBitmap = gridCheckBox(true, false);
    UnChecked_UnSelBitmap = gridCheckBox(false, false);
    ThumbError = gridErrorPicture();
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(9);
    f.setBold(true);
    setFont(f);
    setFrameShape(QFrame::NoFrame);
    look_.width = 90;
    look_.height = 75;
    setThumbDisplayType(TThumbDisplayType::tdtLargeIcon);
}

void TQCheckThumbGrid::setAttachedListBox(QStringList* list) {
    list_ = list;
    viewport()->update();
}

void TQCheckThumbGrid::setAttachedIEFunctions(TIEFunctions* functions) {
    functions_ = functions ? functions : ownFunctions_.get();
    cache_->setFunctions(functions_);
}

void TQCheckThumbGrid::updateCellSize() {
    const int fontPixels = QFontInfo(font()).pixelSize();
    colWidth_ = std::max(1, columnWidthFor(look_.displayType, look_.width, filenameTextWidth_));
    rowHeight_ = std::max(1, rowHeightFor(look_.displayType, look_.height, fontPixels));
    cache_->setThumbnailSize(look_.width, look_.height);
    ++generation_;
    wanted_.clear();
    updateColumns();
    updateScrollBar();
    viewport()->update();
}

void TQCheckThumbGrid::updateColumns() {
    if (updating_ || width() < 3)
        return;
    const int columns = columnCountFor(width(), colWidth_);
    if (columns == colCount_)
        return;
    if (!list_) {
        colCount_ = columns;
        rowCount_ = rowCountFor(itemCount_, colCount_);
        return;
    }
    const QSet<int> selection = selected_;
    const int current = CurrentIndex;
    colCount_ = columns;
    Reload(false, false, false);
    for (int index : selection) {
        if (index < itemCount_)
            selected_.insert(index);
    }
    SetCurrentIndex(current);
}

int TQCheckThumbGrid::VisibleRowCount() const {
    return std::max(1, viewport()->height() / rowHeight_);
}

void TQCheckThumbGrid::updateScrollBar() {
    const int visible = VisibleRowCount();
    QScrollBar* bar = verticalScrollBar();
    const bool was = programmaticScroll_;
    programmaticScroll_ = true;
    bar->setRange(0, std::max(0, rowCount_ - visible));
    bar->setPageStep(visible);
    bar->setSingleStep(1);
    programmaticScroll_ = was;
    topRow_ = bar->value();
}

QRect TQCheckThumbGrid::CellRect(int column, int row) const {
    return {column * colWidth_, (row - topRow_) * rowHeight_, colWidth_, rowHeight_};
}

QRect TQCheckThumbGrid::ItemRect(int index) const {
    if (index < 0 || colCount_ <= 0)
        return {};
    return CellRect(index % colCount_, index / colCount_);
}

int TQCheckThumbGrid::WidthForColumns(int columns) const {
    return widthForColumns(columns, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

// ------------------------------------------------------------------ items and ticks

bool TQCheckThumbGrid::IsChecked(const QString& entry) const {
    if (OnGetCheckStatus) {
        bool checked = true;
        OnGetCheckStatus(stripMark(entry), checked);
        return checked;
    }
    return !entry.startsWith(QLatin1Char(';'));
}

bool TQCheckThumbGrid::isCheckedAt(int index) const {
    if (!list_ || index < 0 || index >= list_->size())
        return false;
    return IsChecked(list_->at(index));
}

bool TQCheckThumbGrid::ToggleCheck(int index) {
    if (!list_ || index < 0 || index >= list_->size())
        return false;
    QString entry = list_->at(index);
    const bool was = IsChecked(entry);
    if (!was)
        entry = stripMark(entry);
    else if (!OnGetCheckStatus && !entry.isEmpty() && !entry.startsWith(QLatin1Char(';')))
        entry.prepend(QLatin1Char(';'));
    (*list_)[index] = entry;
    return !was;
}

void TQCheckThumbGrid::TickAll() {
    if (!list_)
        return;
    for (QString& entry : *list_)
        entry = stripMark(entry);
    viewport()->update();
}

void TQCheckThumbGrid::UntickAll() {
    if (!list_ || OnGetCheckStatus)
        return;
    for (QString& entry : *list_) {
        if (!entry.isEmpty() && !entry.startsWith(QLatin1Char(';')))
            entry.prepend(QLatin1Char(';'));
    }
    viewport()->update();
}

int TQCheckThumbGrid::CheckedCount() const {
    if (!list_)
        return 0;
    return int(std::count_if(list_->begin(), list_->end(),
                             [&](const QString& e) { return !e.isEmpty() && IsChecked(e); }));
}

void TQCheckThumbGrid::GetCheckedFiles(QStringList& list) const {
    list.clear();
    if (!list_)
        return;
    for (const QString& entry : *list_) {
        if (!entry.isEmpty() && IsChecked(entry))
            list << stripMark(entry);
    }
}

QString TQCheckThumbGrid::FileNameAt(int index) const {
    if (!list_ || index < 0 || index >= list_->size())
        return QString();
    return stripMark(list_->at(index));
}

void TQCheckThumbGrid::SetCurrentIndex(int index) {
    if (index < 0 || index >= itemCount_)
        return;
    if (CurrentIndex != -1)
        PreviousIndex = CurrentIndex;
    CurrentIndex = index;
    const bool was = updating_;
    updating_ = true;
    scrollIntoView(index);
    updating_ = was;
    viewport()->update();
}

void TQCheckThumbGrid::SelectIndex(int index, bool makeCurrent) {
    if (index < 0 || index >= itemCount_)
        return;
    if (!MultipleSelect)
        selected_.clear();
    selected_.insert(index);
    if (makeCurrent)
        SetCurrentIndex(index);
    viewport()->update();
}

void TQCheckThumbGrid::ClearSelection() {
    selected_.clear();
    viewport()->update();
}

int TQCheckThumbGrid::GetSelectedFiles(QStringList& list) const {
    list.clear();
    QList<int> indices(selected_.begin(), selected_.end());
    std::sort(indices.begin(), indices.end());
    for (int index : indices)
        list << FileNameAt(index);
    return int(list.size());
}

void TQCheckThumbGrid::Reload(bool resetPosition, bool simulateClick, bool untickAll) {
    updating_ = true;
    unreachableFolder_.clear();
    failed_.clear();
    wanted_.clear();
    ++generation_;
    if (resetPosition)
        cache_->restartPrecache();
    int target = resetPosition ? 0 : CurrentIndex;
    if (resetPosition && untickAll)
        UntickAll();
    CurrentIndex = -1;
    itemCount_ = 0;
    extending_ = false;
    wasSelected_ = false;
    NoPressSinceReload = true;
    const int n = list_ ? int(list_->size()) : 0;
    rowCount_ = rowCountFor(n, colCount_);
    itemCount_ = n;
    selected_.clear();
    updateScrollBar();
    if (n > 0) {
        CurrentIndex = std::min(target, n - 1);
        NoPressSinceReload = false;
        if (simulateClick && CurrentIndex >= 0) {
            pressInvalid_ = false;
            checkClick_ = false;
            release(false, QPoint(-1, -1), Qt::NoButton, Qt::NoModifier);
        }
    }
    updating_ = false;
    NoPressSinceReload = true;
    viewport()->update();
}

// ------------------------------------------------------------------ scrolling

void TQCheckThumbGrid::setTopRow(int row, bool byUser) {
    QScrollBar* bar = verticalScrollBar();
    row = std::clamp(row, bar->minimum(), bar->maximum());
    if (byUser)
        ScrolledByUser = true;
    const bool was = programmaticScroll_;
    programmaticScroll_ = !byUser;
    bar->setValue(row);
    programmaticScroll_ = was;
}

void TQCheckThumbGrid::scrollContentsBy(int, int) {
    topRow_ = verticalScrollBar()->value();
    if (!programmaticScroll_)
        ScrolledByUser = true;
    topLeftChanged();
    viewport()->update();
}

void TQCheckThumbGrid::topLeftChanged() {
    if (OnTopLeftChanged) {
        OnTopLeftChanged();
        return;
    }
    if (ScrolledByUser) {
        ScrolledByUser = false;
        return;
    }
    if (CurrentIndex >= 0 && colCount_ > 0) {
        const int row = CurrentIndex / colCount_;
        const int top = topRowShowing(row, topRow_, VisibleRowCount());
        if (top != topRow_)
            setTopRow(top, false);
    }
}

void TQCheckThumbGrid::scrollIntoView(int index) {
    if (index < 0 || colCount_ <= 0)
        return;
    const int row = index / colCount_;
    setTopRow(topRowShowing(row, topRow_, VisibleRowCount()), false);
}

void TQCheckThumbGrid::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    while (std::abs(wheelRemainder_) >= 120) {
        const int step = wheelRemainder_ > 0 ? -1 : 1;
        wheelRemainder_ += step * 120;
        setTopRow(wheelTopRow(topRow_, step, rowCount_, VisibleRowCount()), true);
    }
    event->accept();
}

void TQCheckThumbGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateColumns();
    updateScrollBar();
}

// ------------------------------------------------------------------ mouse and keys

int TQCheckThumbGrid::itemAtPoint(QPoint position) const {
    if (position.x() < 0 || position.y() < 0 || colWidth_ <= 0 || rowHeight_ <= 0)
        return -1;
    const int column = position.x() / colWidth_;
    const int row = position.y() / rowHeight_ + topRow_;
    return itemAt(column, row, colCount_, itemCount_);
}

void TQCheckThumbGrid::press(bool real, QPoint position, Qt::MouseButton button,
                             Qt::KeyboardModifiers mods) {
    checkClick_ = false;
    const int under = real ? itemAtPoint(position) : -1;
    if (real) {
        if (under < 0) {
            pressInvalid_ = true;
            return;
        }
        if (button != Qt::RightButton && inCheckZone(ItemRect(under), ThumbCheckingType,
                                                     CheckBoxAlign, position.x(), position.y())) {
            ToggleCheck(under);
            viewport()->update(ItemRect(under));
            checkClick_ = true;
            pressInvalid_ = false;
            Q_EMIT OnCheckMouseDown();
            return;
        }
    }
    NoPressSinceReload = false;
    const int target = real ? under : CurrentIndex;
    if (itemCount_ == 0 || target < 0 || target >= itemCount_) {
        pressInvalid_ = true;
        return;
    }
    pressInvalid_ = false;
    if (CurrentIndex != -1)
        PreviousIndex = CurrentIndex;
    CurrentIndex = target;
    wasSelected_ = MultipleSelect && selected_.contains(target);
    if (!(mods & Qt::ShiftModifier))
        AnchorIndex = CurrentIndex;
    if (!wasSelected_ &&
        (!MultipleSelect || (real && !(mods & (Qt::ShiftModifier | Qt::ControlModifier)))))
        selected_.clear();
    selected_.insert(target);
    viewport()->update();
    if (real)
        Q_EMIT gridMouseDown(button, mods, position);
}

void TQCheckThumbGrid::release(bool real, QPoint position, Qt::MouseButton button,
                               Qt::KeyboardModifiers mods) {
    if (pressInvalid_ || itemCount_ == 0)
        return;
    if (checkClick_) {
        if (real) {
            const int under = itemAtPoint(position);
            if (under >= 0)
                Q_EMIT OnCheckItem(FileNameAt(under), !isCheckedAt(under));
            Q_EMIT OnCheckMouseUp();
        }
        return;
    }
    if (CurrentIndex < 0)
        return;
    if (!NoPressSinceReload) {
        if ((mods & Qt::ControlModifier) && MultipleSelect) {
            extending_ = true;
            if (!real)
                selected_.insert(CurrentIndex);
            else if (wasSelected_)
                selected_.remove(CurrentIndex);
        } else if ((mods & Qt::ShiftModifier) && MultipleSelect) {
            if (extending_ && !(mods & Qt::ControlModifier))
                selected_.clear();
            extending_ = true;
            const int from = std::min(AnchorIndex < 0 ? CurrentIndex : AnchorIndex, CurrentIndex);
            const int to = std::max(AnchorIndex < 0 ? CurrentIndex : AnchorIndex, CurrentIndex);
            for (int i = from; i <= to; ++i)
                selected_.insert(i);
        } else {
            if (wasSelected_ || !real) {
                selected_.clear();
                selected_.insert(CurrentIndex);
            }
            extending_ = false;
        }
    }
    scrollIntoView(CurrentIndex);
    viewport()->update();
    if (real)
        Q_EMIT gridMouseUp(button, mods, position);
}

void TQCheckThumbGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    press(true, event->position().toPoint(), event->button(), event->modifiers());
}

void TQCheckThumbGrid::mouseReleaseEvent(QMouseEvent* event) {
    release(true, event->position().toPoint(), event->button(), event->modifiers());
}

void TQCheckThumbGrid::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT gridMouseMove(event->buttons(), event->position().toPoint());
}

void TQCheckThumbGrid::NavigateKey(int key) {
    if (itemCount_ == 0 || CurrentIndex < 0)
        return;
    const int target = navigateTarget(gridKeyOf(key), CurrentIndex, itemCount_, colCount_,
                                      VisibleRowCount(), colCount_);
    if (target < 0)
        return;
    PreviousIndex = CurrentIndex;
    CurrentIndex = target;
    scrollIntoView(target);
    press(false, QPoint(-1, -1), Qt::NoButton, Qt::NoModifier);
}

void TQCheckThumbGrid::NavigateKeyRelease(int key, Qt::KeyboardModifiers shift) {
    if (gridKeyOf(key) == GridKey::Other)
        return;
    checkClick_ = false;
    release(false, QPoint(-1, -1), Qt::NoButton,
            (shift & Qt::ShiftModifier) ? Qt::ControlModifier : Qt::NoModifier);
}

void TQCheckThumbGrid::keyPressEvent(QKeyEvent* event) {
    if (DisableComponentKeyEventHandling) {
        event->ignore();
        return;
    }
    if (event->key() != Qt::Key_Shift && event->key() != Qt::Key_Control)
        NavigateKey(event->key());
    event->accept();
}

void TQCheckThumbGrid::keyReleaseEvent(QKeyEvent* event) {
    if (DisableComponentKeyEventHandling) {
        event->ignore();
        return;
    }
    if (!NoPressSinceReload)
        NavigateKeyRelease(event->key(), event->modifiers());
    event->accept();
}

// ------------------------------------------------------------------ painting

void TQCheckThumbGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), GridColor);
    if (BlockDrawing || updating_ || !list_)
        return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Only the cells the update touches: an arriving thumbnail repaints its
    // own cell, not the whole pane.
    const QRegion region = event->region();
    const int rows = viewport()->height() / rowHeight_ + 2;
    for (int row = topRow_; row < std::min(rowCount_, topRow_ + rows); ++row) {
        for (int column = 0; column < colCount_; ++column) {
            if (region.intersects(CellRect(column, row).adjusted(-1, -1, 1, 1)))
                drawCell(painter, column, row);
        }
    }
    if (!wanted_.isEmpty())
        queueDispatch();
}

void TQCheckThumbGrid::drawCell(QPainter& painter, int column, int row) {
    Q_EMIT OnProcessing();
    paintCell(painter, column, row);
    Q_EMIT OnProcessingEnd();
}

void TQCheckThumbGrid::paintCell(QPainter& painter, int column, int row) {
    const QRect cell = CellRect(column, row);
    painter.fillRect(cell, GridColor);
    const int index = itemAt(column, row, colCount_, itemCount_);
    const QString entry = (index >= 0 && index < list_->size()) ? list_->at(index) : QString();
    if (entry.isEmpty())
        return;
    const QString fileName = stripMark(entry);
    const bool checked = IsChecked(entry);
    const bool current = HighlightCurrentCell && index == CurrentIndex;
    const bool selected = MultipleSelect ? selected_.contains(index) : index == CurrentIndex;

    if (current && ThumbnailAlwaysAddBorder) {
        painter.setPen(QPen(Qt::yellow, 1, Qt::DotLine));
        painter.setBrush(Qt::black);
        painter.drawRect(cell.adjusted(-1, -1, 0, 0));
    }
    painter.fillRect(cell, current ? ThumbnailColorSelected : ThumbnailColorUnselected);
    const QImage& background = current ? BGSelectBitmap : BGUnSelectBitmap;
    if (!background.isNull())
        painter.drawImage(cell, background);
    if (!current && (selected || look_.displayType == TThumbDisplayType::tdtIconInfo ||
                     ThumbnailAlwaysAddBorder)) {
        const QColor topLeft = selected ? QColor(Qt::black) : QColor(239, 239, 239);
        const QColor bottomRight = selected ? QColor(222, 222, 222) : QColor(153, 153, 153);
        const int l = cell.left() - 1, t = cell.top() - 1;
        const int r = cell.left() + cell.width() - 1, b = cell.top() + cell.height() - 1;
        painter.setPen(topLeft);
        painter.drawLine(l, b, l, t);
        painter.drawLine(l, t, r, t);
        painter.setPen(bottomRight);
        painter.drawLine(r, t, r, b);
        painter.drawLine(r, b, l, b);
    }

    painter.setFont(font());
    painter.setPen(TextColor);
    const QFontMetrics metrics = painter.fontMetrics();
    const int available = nameAvailableWidth(look_.displayType, colWidth_, filenameTextWidth_);
    if (look_.displayType != TThumbDisplayType::tdtIconInfo) {
        const QString name =
            fitNameToWidth(metrics, available, gridDisplayName(fileName, HideFileExtensions));
        const int textWidth = metrics.horizontalAdvance(name);
        const int bottom = cell.top() + cell.height();
        if (look_.displayType == TThumbDisplayType::tdtFilename) {
            painter.drawText(cell.left(), cell.top() + metrics.ascent(), name);
        } else {
            const int x = nameTextLeft(cell, CheckBoxAlign, CenterText, available, textWidth);
            painter.drawText(x, bottom - metrics.height() - 14 + metrics.ascent(), name);
        }
    }

    if (look_.displayType != TThumbDisplayType::tdtFilename) {
        const QRect box = thumbnailBox(cell, look_.displayType, look_.width, look_.height);
        const Thumb thumb = thumbnailFor(fileName);
        if (thumb.kind == Thumb::Ready) {
            painter.drawImage(fittedIn(thumb.image.size(), box), thumb.image);
        } else if (thumb.kind == Thumb::Error) {
            const QImage error = fittedErrorPicture(current);
            if (!error.isNull())
                painter.drawImage(fittedIn(error.size(), box), error);
        } else {
            // Still being made: a quiet frame where it will appear.
            painter.setPen(QColor(200, 200, 200));
            painter.setBrush(QColor(232, 232, 232));
            const QRect r = fittedIn(QSize(4, 3), box).adjusted(8, 8, -8, -8);
            painter.drawRect(r.adjusted(0, 0, -1, -1));
        }
    }
    drawCheckBox(painter, cell, checked, current);
}

void TQCheckThumbGrid::drawCheckBox(QPainter& painter, const QRect& cell, bool checked,
                                    bool current) {
    const QRect square = checkBoxRect(cell, CheckBoxAlign);
    painter.fillRect(square, current ? ThumbnailColorSelected : ThumbnailColorUnselected);
    const QImage& on = current ? Checked_SelBitmap : Checked_UnSelBitmap;
    const QImage& off = current ? UnChecked_SelBitmap : UnChecked_UnSelBitmap;
    if (!on.isNull() && !off.isNull())
        painter.drawImage(square.topLeft(), checked ? on : off);
}

QImage TQCheckThumbGrid::fittedErrorPicture(bool current) const {
    if (ThumbError.isNull())
        return QImage();
    QImage fitted = fitThumbnail(*functions_, ThumbError, look_);
    if (current && !fitted.isNull())
        recolourErrorPicture(fitted, ThumbnailColorSelected);
    return fitted;
}

TQCheckThumbGrid::Thumb TQCheckThumbGrid::thumbnailFor(const QString& fileName) {
    Thumb thumb;
    const int slot = cache_->FindInMemoryCache(fileName);
    if (slot >= 0 && cache_->LoadFromMemoryCache(thumb.image, slot)) {
        thumb.kind = Thumb::Ready;
        return thumb;
    }
    const int position = cache_->FindInDiskCache(fileName);
    if (position >= 0 && cache_->LoadFromDiskCache(thumb.image, position)) {
        // Kept in memory too, so repainting the cell reads no file.
        cache_->AddToMemoryCache(thumb.image, fileName);
        thumb.kind = Thumb::Ready;
        return thumb;
    }
    if (failed_.contains(fileName)) {
        thumb.kind = Thumb::Error;
        return thumb;
    }
    if (pending_.contains(fileName))
        return thumb;
    const ThumbnailPlan plan =
        planThumbnail(fileName, SupportedFormats, NonSupportedFormatThumb, unreachableFolder_);
    if (plan.error) {
        unreachableFolder_ = unreachableFolderAfterError(fileName, unreachableFolder_);
        failed_.insert(fileName);
        thumb.kind = Thumb::Error;
        return thumb;
    }
    requestThumbnail(fileName, plan.loadFrom);
    return thumb;
}

// ------------------------------------------------------------------ thumbnail workers

void TQCheckThumbGrid::requestThumbnail(const QString& fileName, const QString& source) {
    for (const Job& job : wanted_) {
        if (job.file == fileName)
            return;
    }
    wanted_.push_back({fileName, source, false});
}

void TQCheckThumbGrid::queueDispatch() {
    if (dispatchQueued_)
        return;
    dispatchQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { dispatch(); }, Qt::QueuedConnection);
}

std::pair<int, int> TQCheckThumbGrid::visibleItems() const {
    if (!list_ || colCount_ <= 0)
        return {0, 0};
    const int first = topRow_ * colCount_;
    const int last = std::min<int>(int(list_->size()),
                                   (topRow_ + viewport()->height() / rowHeight_ + 2) * colCount_);
    return {std::max(0, first), last};
}

bool TQCheckThumbGrid::visibleItem(const QString& fileName) const {
    const auto [first, last] = visibleItems();
    for (int i = first; i < last; ++i) {
        if (stripMark(list_->at(i)) == fileName)
            return true;
    }
    return false;
}

void TQCheckThumbGrid::updateCellsOf(const QString& fileName) {
    const auto [first, last] = visibleItems();
    for (int i = first; i < last; ++i) {
        if (stripMark(list_->at(i)) == fileName)
            viewport()->update(ItemRect(i).adjusted(-1, -1, 1, 1));
    }
}

void TQCheckThumbGrid::dispatch() {
    dispatchQueued_ = false;
    while (inFlight_ < pool_.maxThreadCount() && !wanted_.isEmpty()) {
        const Job job = wanted_.takeFirst();
        if (pending_.contains(job.file) || !visibleItem(job.file))
            continue;
        startJob(job);
    }
}

void TQCheckThumbGrid::startJob(const Job& job) {
    pending_.insert(job.file);
    ++inFlight_;
    const ThumbnailLook look = look_;
    const quint64 generation = generation_;
    pool_.start([this, job, look, generation] {
        // One library object per worker thread: it keeps per-load state.
        thread_local TIEFunctions functions;
        thread_local const bool lowered = lowerWorkerPriority();
        (void)lowered;
        QImage image;
        const bool ok = LoadThumbnailImage(functions, job.source, look, image);
        QMetaObject::invokeMethod(
            this,
            [this, job, image, ok, look, generation] { jobDone(job, image, ok, look, generation); },
            Qt::QueuedConnection);
    });
}

void TQCheckThumbGrid::jobDone(const Job& job, const QImage& image, bool ok,
                               const ThumbnailLook& look, quint64 generation) {
    --inFlight_;
    pending_.remove(job.file);
    if (look == look_) {
        if (ok) {
            if (!job.precache)
                cache_->AddToMemoryCache(image, job.file);
            if (job.source == job.file && cache_->DiskCacheMaxCacheCount > 0)
                cache_->AddToDiskCache(image, job.file);
        } else if (!job.precache) {
            failed_.insert(job.file);
            unreachableFolder_ = unreachableFolderAfterError(job.file, unreachableFolder_);
        }
    }
    if (job.precache) {
        precacheInFlight_ = false;
        if (generation == generation_)
            cache_->setPrecacheCursor(ok ? cache_->precacheCursor() + 1 : kPrecacheParked + 1);
    }
    updateCellsOf(job.file);
    Q_EMIT thumbnailReady(job.file);
    dispatch();
}

void TQCheckThumbGrid::InvalidateThumbnail(int mode, const QString& fileName) {
    cache_->InvalidateThumbnail(mode, fileName);
    if (fileName.isEmpty())
        failed_.clear();
    else
        failed_.remove(fileName);
    viewport()->update();
}

void TQCheckThumbGrid::PrecacheNext() {
    if (precacheInFlight_ || !precacheDue())
        return;
    const QString name = stripMark(list_->at(cache_->precacheCursor()));
    if (pending_.contains(name))
        return;
    if (FileExistsQuiet(cache_->cacheFilePath(name))) {
        cache_->setPrecacheCursor(cache_->precacheCursor() + 1);
        return;
    }
    precacheInFlight_ = true;
    startJob({name, name, true});
}

QString TQCheckThumbGrid::EnsureDiskCached(const QString& fileName) {
    return cache_->EnsureDiskCached(fileName, [this](const QString& name, QImage& thumbnail) {
        return LoadThumbnailImage(*functions_, name, look_, thumbnail);
    });
}

} // namespace palvo
