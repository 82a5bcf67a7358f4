#pragma once

#include "foundation/ServiceConfig.h"
#include "foundation/SettingsStore.h"
#include "imaging/IEFunctions.h"
#include "imaging/ViewerState.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>

#include <atomic>

class QFrame;
class QLabel;
class QTimer;
class QWidget;

namespace palvo {

class PictureView;

// What the picture viewer needs of the main window. TfrmMain implements it;
// tests give a recording fake.
class ViewerHost {
public:
    virtual ~ViewerHost() = default;

    // --- the thumbnail grid
    [[nodiscard]] virtual int gridItemCount() const = 0;
    [[nodiscard]] virtual int gridCurrentIndex() const = 0;
    // The file of a grid item without the unticked mark; empty when none.
    [[nodiscard]] virtual QString gridFileName(int index) const = 0;
    // The item of the file, listed plain or with the unticked mark; -1 when
    // it is not listed.
    [[nodiscard]] virtual int gridIndexOf(const QString& fileName) const = 0;
    virtual void selectGridIndex(int index) = 0;
    // Reloads and repaints the grid, then gives it the keyboard focus.
    virtual void refreshGrid() = 0;
    virtual void focusGrid() = 0;

    // --- status and the window's labels and buttons
    virtual void doselectstatus() = 0;
    // The viewer's Loading flag changed: the buttons follow (DoButtonStatus).
    virtual void setloading(bool loading) = 0;
    // Caption and file-name label for the current file (docurrfileinfo).
    virtual void docurrfileinfo() = 0;
    virtual void clearFileNameLabel() = 0;
    virtual void setZoomLabel(const QString& text) = 0;
    // The load gauge pbrLoad: shown as busy while a load takes a while.
    virtual void showLoadGauge(bool visible) = 0;
    // btnPalvoOn down (receiver view) or btnPalvoOff down (full-size view).
    virtual void setModeButtons(bool receiverView) = 0;
    virtual void setFullScreenButton(bool down) = 0;
    virtual void setWindowCaption(const QString& caption) = 0;
    [[nodiscard]] virtual bool debugMode() const = 0;
    [[nodiscard]] virtual bool windowClosing() const = 0;

    // --- edits, descriptions and saving
    virtual void ClearEditactions() = 0;
    [[nodiscard]] virtual bool Changed() const = 0;
    // The save-changes step for the shown picture.
    virtual void PromptSaveChanges(bool queueForUpload, bool showAgain) = 0;
    // Stores the description being edited and resets the change state.
    virtual void storeDescription() = 0;
    virtual void resetChangeState() = 0;
    // Puts the picture's description into the caption box.
    virtual void loadDescription(const QString& fileName) = 0;
    // Deletes the left-over temporary files of earlier edits that can go.
    virtual void deleteLeftoverTempFiles() = 0;
    [[nodiscard]] virtual bool cropUnderWay() const = 0;
    [[nodiscard]] virtual bool redEyeActive() const = 0;
    // The zoom or size changed under a crop or red-eye overlay.
    virtual void selectionOverlayChanged() = 0;
    // Moves a visible caption label to follow the picture.
    virtual void repositionCaption() = 0;

    // --- the window
    // Posts the show-picture message; its handler calls ShowImage.
    virtual void DoShowImage() = 0;
    // Key preview off: a modal step is running.
    [[nodiscard]] virtual bool inModalStep() const = 0;
    // Makes the folder current (Updatecurrentdirectory (folder, true, true,
    // false)) and returns the current folder afterwards.
    virtual QString Updatecurrentdirectory(const QString& folder) = 0;
    // Full screen: saves the window position and switches the window's
    // bounds (SetWindowFS), pausing a running slideshow meanwhile.
    virtual void setWindowFullScreen(bool on) = 0;
    // Hides (full screen) or shows the left panel, toolbar and status bar,
    // registers the drop target again and re-lays the window out.
    virtual void setFullScreenChrome(bool fullScreen) = 0;
};

// The picture viewer: loads the current picture into the picture view on a
// worker thread, queues and aborts shows, keeps the zoom, the receiver and
// full-size views, the frame panel and full screen. The main window owns it
// and hands it the picture holder to fill.
class PictureViewer : public QObject {
    Q_OBJECT
public:
    // Builds qpnlJustImage, pnlJustImage and Qimage inside the holder
    // (pnlImageHolder) and follows the holder's size.
    PictureViewer(ViewerHost& host, const Settings& settings, const ServiceConfig& config,
                  QWidget* holder, QObject* parent = nullptr);
    ~PictureViewer() override;

    ViewerState state;

    [[nodiscard]] PictureView& view() const { return *Qimage; }
    [[nodiscard]] QFrame& framePanel() const { return *qpnlJustImage; }
    // The picture as loaded, with its file's parameters (for the save paths).
    [[nodiscard]] TImageIO& imageIO() { return qimageIO; }

    // --- showing
    void ShowImage();
    // Asks the running load to stop at its next progress check.
    void setAbortRequested();
    // A show is wanted while a load runs: remembered for the idle pass, and
    // the running load is aborted when it is not of the wanted picture.
    void setReshowRequested();
    // The idle pass's step: replays a remembered show (DoShowImage) when
    // nothing is loading. True when it did.
    bool idleReshow();
    // No picture on show; a load under way is dropped.
    void clearViewer();

    // --- display modes and zoom
    void SetCurrentShrinkToFit(bool on);
    [[nodiscard]] bool GetCurrentShrinkToFit() const { return receiverView_; }
    // Handler of both mode buttons; receiverViewDown: btnPalvoOn is down.
    void btnPalvoOffClick(bool receiverViewDown);
    void zoom(bool zoomIn);
    void updateimagesize(bool keepZoom);
    void UpdatePalvoView();
    void pnlImageHolderResize();
    // The receiver background colour or the display filter changed.
    void settingsChanged();

    // --- full screen and files from outside
    void dofullscreen(bool on);
    [[nodiscard]] bool fullScreen() const { return fullScreen_; }
    // After a deletion: full screen with no picture left says so and ends.
    void leaveFullScreenWhenEmpty();
    void directshow(const QString& fileName);

    // Loads a picture of the program's data folder into a fixed image
    // control, which takes the picture's size; a missing or unreadable file
    // leaves the control unchanged.
    static bool LoadTImage(QLabel& imageControl, const QString& fileName);
    // The picture of such a file (a JPEG, or any format by its content, of at
    // most 16 megapixels); null when it is missing or unreadable.
    [[nodiscard]] static QImage ReadProgramPicture(const QString& fileName);

    // Inner border of pnlJustImage in the three states.
    static constexpr int kInnerBorderDesigned = 1;
    static constexpr int kInnerBorderFullScreen = 0;
    static constexpr int kInnerBorderAfterFullScreen = 8;
    // The holder's inner border.
    static constexpr int kHolderBorder = 3;

Q_SIGNALS:
    // A load ended: loaded, failed or aborted.
    void loadEnded();

private:
    void startLoad(const QString& fileName);
    void loadFinished(quint64 generation, bool ok, const TImageIO& io, const QString& error);
    void QimageProgress();
    void endOfLoad();
    void applyZoom(int value, bool isStep);
    void showZoomLabel();
    [[nodiscard]] QString wantedFile() const;
    void setInnerBorder(int border);
    bool eventFilter(QObject* watched, QEvent* event) override;

    ViewerHost& host_;
    const Settings& settings_;
    const ServiceConfig& config_;
    QPointer<QWidget> pnlImageHolder;
    QFrame* qpnlJustImage = nullptr;
    QFrame* pnlJustImage = nullptr;
    PictureView* Qimage = nullptr;
    QTimer* gaugeTimer_ = nullptr;
    TImageIO qimageIO;
    bool receiverView_ = true;
    bool fullScreen_ = false;
    bool waitCursor_ = false;
    QString loadingFile_;
    std::atomic<quint64> generation_{0};
    // Loads run here; an aborted decode finishes on its own and is dropped,
    // so two threads let the next picture start without waiting for it.
    QThreadPool pool_;
};

} // namespace palvo
