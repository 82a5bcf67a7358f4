#pragma once

#include "library/GridGeometry.h"
#include "library/ThumbnailCache.h"
#include "library/ThumbnailMaker.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <utility>

namespace palvo {

class TIEFunctions;

// The thumbnail grid with check boxes. It shows the entries of an attached
// list (full paths, ";" in front marks an unticked one when no tick handler
// is set), paints every cell itself and keeps the thumbnails in its memory
// and disk caches. Thumbnails that neither cache holds are made on worker
// threads (at most one per core) while the cell shows a placeholder; the
// caches and the list are only touched on the user-interface thread.
class TQCheckThumbGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TQCheckThumbGrid(QWidget* parent = nullptr);
    ~TQCheckThumbGrid() override;

    // --- properties
    void setThumbnailWidth(int width);
    void setThumbnailHeight(int height);
    void setFilenameTextWidth(int width);
    void setThumbDisplayType(TThumbDisplayType type);
    [[nodiscard]] int ThumbnailWidth() const { return look_.width; }
    [[nodiscard]] int ThumbnailHeight() const { return look_.height; }
    [[nodiscard]] TThumbDisplayType ThumbDisplayType() const { return look_.displayType; }
    [[nodiscard]] int FilenameTextWidth() const { return filenameTextWidth_; }

    TCheckBoxAlign CheckBoxAlign = TCheckBoxAlign::alLeft;
    TThumbCheckingType ThumbCheckingType = TThumbCheckingType::_OnCheck;
    bool MultipleSelect = false;
    bool HighlightCurrentCell = true;
    bool ThumbnailAlwaysAddBorder = true;
    bool CenterText = false;
    bool HideFileExtensions = false;
    QColor ThumbnailColorSelected{0, 0, 128};
    QColor ThumbnailColorUnselected{244, 244, 244};
    QColor TextColor{Qt::black};
    QColor GridColor{244, 244, 244};
    QString SupportedFormats = QStringLiteral("*.jpg;*.jpeg;");
    QString NonSupportedFormatThumb;
    QImage BGSelectBitmap, BGUnSelectBitmap;
    QImage Checked_SelBitmap, UnChecked_SelBitmap, Checked_UnSelBitmap, UnChecked_UnSelBitmap;
    QImage ThumbError;
    bool DisableComponentKeyEventHandling = true;
    bool BlockDrawing = false;
    void setColours256(bool on);
    // The main window's look: the project's artwork, white cells, grey grid,
    // Tahoma bold 9 pixels, large icons, centred names.
    void applyMainWindowLook();

    // The list shown (not owned); nullptr detaches.
    void setAttachedListBox(QStringList* list);
    [[nodiscard]] QStringList* AttachedListBox() const { return list_; }
    void setAttachedIEFunctions(TIEFunctions* functions);

    // --- caches
    ThumbnailCache& cache() { return *cache_; }
    void setDiskCacheDirectory(const QString& folder) { cache_->setDiskCacheDirectory(folder); }
    void SuspendDiskCache() { cache_->SuspendDiskCache(); }
    void ResumeDiskCache() { cache_->ResumeDiskCache(); }
    void ClearDiskCache() { cache_->ClearDiskCache(); }
    void InvalidateThumbnail(int mode, const QString& fileName);
    // One idle step of pre-caching: hands the next file of the list to a
    // worker unless visible cells are still waiting.
    void PrecacheNext();
    // Whether PrecacheNext would hand out a file now: the list has files left
    // to cache and no thumbnail is being made.
    [[nodiscard]] bool precacheDue() const { return idle() && cache_->precacheDue(list_); }
    // The cache file of the file, made now on this thread when missing.
    QString EnsureDiskCached(const QString& fileName);
    // No thumbnail is being made.
    [[nodiscard]] bool idle() const { return inFlight_ == 0 && wanted_.isEmpty(); }
    // Most worker threads used at once.
    [[nodiscard]] int maxWorkers() const { return pool_.maxThreadCount(); }

    // --- events
    // Asked for the tick state of an item (starts from true).
    std::function<void(const QString& fileName, bool& isChecked)> OnGetCheckStatus;
    // Replaces the grid's own reaction to a change of its top row.
    std::function<void()> OnTopLeftChanged;

    // --- items, ticks, selection
    void Reload(bool resetPosition, bool simulateClick, bool untickAll);
    [[nodiscard]] bool IsChecked(const QString& entry) const;
    bool ToggleCheck(int index);
    void TickAll();
    void UntickAll();
    [[nodiscard]] int CheckedCount() const;
    void GetCheckedFiles(QStringList& list) const;
    [[nodiscard]] QString FileNameAt(int index) const;
    [[nodiscard]] QString CurrentFileName() const { return FileNameAt(CurrentIndex); }
    void SetCurrentIndex(int index);
    void SelectIndex(int index, bool makeCurrent);
    void ClearSelection();
    [[nodiscard]] int SelectedCount() const { return int(selected_.size()); }
    int GetSelectedFiles(QStringList& list) const;
    [[nodiscard]] bool IsSelected(int index) const { return selected_.contains(index); }
    [[nodiscard]] int WidthForColumns(int columns) const;
    void NavigateKey(int key);
    void NavigateKeyRelease(int key, Qt::KeyboardModifiers shift);

    [[nodiscard]] int ItemCount() const { return itemCount_; }
    [[nodiscard]] int ColCount() const { return colCount_; }
    [[nodiscard]] int RowCount() const { return rowCount_; }
    [[nodiscard]] int TopRow() const { return topRow_; }
    [[nodiscard]] int ColWidth() const { return colWidth_; }
    [[nodiscard]] int RowHeight() const { return rowHeight_; }
    [[nodiscard]] int VisibleRowCount() const;
    // The cell rectangle of an item in viewport coordinates.
    [[nodiscard]] QRect CellRect(int column, int row) const;
    [[nodiscard]] QRect ItemRect(int index) const;
    [[nodiscard]] QString UnreachableFolder() const { return unreachableFolder_; }

    int CurrentIndex = -1;
    int PreviousIndex = -1;
    int AnchorIndex = -1;
    bool NoPressSinceReload = true;
    bool ScrolledByUser = false;

Q_SIGNALS:
    // A check box was clicked; isChecked is the state the click asks for.
    void OnCheckItem(const QString& fileName, bool isChecked);
    void OnCheckMouseDown();
    void OnCheckMouseUp();
    // Presses, releases and moves over items (not those of a check box).
    void gridMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void gridMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void gridMouseMove(Qt::MouseButtons buttons, QPoint position);
    // Before and after each painted picture cell.
    void OnProcessing();
    void OnProcessingEnd();
    // A thumbnail has arrived from a worker (or failed).
    void thumbnailReady(const QString& fileName);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Thumb {
        enum Kind { Ready, Pending, Error } kind = Pending;
        QImage image;
    };
    void updateCellSize();
    void updateColumns();
    void updateScrollBar();
    void setTopRow(int row, bool byUser);
    void topLeftChanged();
    void scrollIntoView(int index);
    void press(bool real, QPoint position, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    void release(bool real, QPoint position, Qt::MouseButton button, Qt::KeyboardModifiers mods);
    [[nodiscard]] int itemAtPoint(QPoint position) const;
    [[nodiscard]] bool isCheckedAt(int index) const;
    void drawCell(QPainter& painter, int column, int row);
    void paintCell(QPainter& painter, int column, int row);
    void drawCheckBox(QPainter& painter, const QRect& cell, bool checked, bool current);
    Thumb thumbnailFor(const QString& fileName);
    [[nodiscard]] QImage fittedErrorPicture(bool current) const;
    struct Job {
        QString file;   // the item's file name, the cache key
        QString source; // the file read (a stand-in for unsupported formats)
        bool precache = false;
    };
    void requestThumbnail(const QString& fileName, const QString& source);
    void queueDispatch();
    void dispatch();
    void startJob(const Job& job);
    void jobDone(const Job& job, const QImage& image, bool ok, const ThumbnailLook& look,
                 quint64 generation);
    // Items of the rows on show (and the one below), first and one past last.
    [[nodiscard]] std::pair<int, int> visibleItems() const;
    [[nodiscard]] bool visibleItem(const QString& fileName) const;
    // Schedules a repaint of the visible cells that show the file.
    void updateCellsOf(const QString& fileName);

    std::unique_ptr<ThumbnailCache> cache_;
    TIEFunctions* functions_ = nullptr;
    std::unique_ptr<TIEFunctions> ownFunctions_;
    QStringList* list_ = nullptr;
    ThumbnailLook look_;
    int filenameTextWidth_ = 70;
    int colWidth_ = 70;
    int rowHeight_ = 20;
    int colCount_ = 1;
    int rowCount_ = 1;
    int topRow_ = 0;
    int itemCount_ = 0;
    QSet<int> selected_;
    bool updating_ = false;
    bool checkClick_ = false;
    bool pressInvalid_ = false;
    bool extending_ = false;
    bool wasSelected_ = false;
    bool selectedBeforePress_ = false;
    QString unreachableFolder_;
    // Thumbnails being made: at most maxWorkers() at once; wanted_ is what
    // the last paint asked for, in paint order.
    QThreadPool pool_;
    int inFlight_ = 0;
    QSet<QString> pending_;
    QList<Job> wanted_;
    QSet<QString> failed_;
    bool dispatchQueued_ = false;
    bool precacheInFlight_ = false;
    bool programmaticScroll_ = false;
    int wheelRemainder_ = 0;
    quint64 generation_ = 0;
};

} // namespace palvo
