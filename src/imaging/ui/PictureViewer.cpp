#include "imaging/ui/PictureViewer.h"

#include "foundation/DebugLog.h"
#include "foundation/Messages.h"
#include "foundation/QFileRoutine.h"
#include "foundation/QRoutine.h"
#include "imaging/ViewerGeometry.h"
#include "imaging/ui/PictureView.h"
#include "library/FolderNavigation.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace palvo {

namespace {

// The frame panel's face and the holder's colours.
const QColor kFrameFace(0xCC, 0xCC, 0xCC);
const QColor kHolderNormal(0xDE, 0xDE, 0xDE);

// A load that takes longer than this shows the gauge.
constexpr int kGaugeDelayMs = 250;

// The largest decoration picture LoadTImage reads.
constexpr qint64 kLoadTImageMaxPixels = 16'000'000;

void setBackground(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

bool startsAsJpeg(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(2);
    return head.size() == 2 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xD8;
}

} // namespace

PictureViewer::PictureViewer(ViewerHost& host, const Settings& settings,
                             const ServiceConfig& config, QWidget* holder, QObject* parent)
    : QObject(parent), host_(host), settings_(settings), config_(config), pnlImageHolder(holder) {
    pool_.setMaxThreadCount(2);
    setBackground(*holder, kHolderNormal);
    qpnlJustImage = new QFrame(holder);
    qpnlJustImage->setObjectName(QStringLiteral("qpnlJustImage"));
    qpnlJustImage->setFrameShape(QFrame::Panel);
    qpnlJustImage->setFrameShadow(QFrame::Raised);
    setBackground(*qpnlJustImage, kFrameFace);
    // The decoration, with the panel's own edge and the designed inner
    // border, adds up to the frame's extra size: a full-sized receiver frame
    // shows the receiver's picture at its own size.
    auto* frameLayout = new QVBoxLayout(qpnlJustImage);
    const int edge = qpnlJustImage->frameWidth() + kInnerBorderDesigned;
    const int across = kFrameExtraWidth - 2 * edge;
    const int down = kFrameExtraHeight - 2 * edge;
    frameLayout->setContentsMargins(across - across / 2, down / 2, across / 2, down - down / 2);
    pnlJustImage = new QFrame(qpnlJustImage);
    pnlJustImage->setObjectName(QStringLiteral("pnlJustImage"));
    setBackground(*pnlJustImage, kHolderNormal);
    frameLayout->addWidget(pnlJustImage);
    auto* innerLayout = new QVBoxLayout(pnlJustImage);
    Qimage = new PictureView(pnlJustImage);
    Qimage->setObjectName(QStringLiteral("Qimage"));
    Qimage->setDisplayQuality(settings_.DisplayQuality);
    innerLayout->addWidget(Qimage);
    setInnerBorder(kInnerBorderDesigned);

    gaugeTimer_ = new QTimer(this);
    gaugeTimer_->setSingleShot(true);
    gaugeTimer_->setInterval(kGaugeDelayMs);
    connect(gaugeTimer_, &QTimer::timeout, this, [this] {
        if (state.Loading)
            host_.showLoadGauge(true);
    });
    connect(Qimage, &PictureView::viewResized, this, [this] {
        if (!state.Loading)
            updateimagesize(false);
        UpdatePalvoView();
    });
    connect(Qimage, &PictureView::zoomChanged, this, [this] { UpdatePalvoView(); });
    holder->installEventFilter(this);
    receiverView_ = settings_.Shrink;
    pnlImageHolderResize();
}

PictureViewer::~PictureViewer() {
    // No worker may report to a viewer that is gone.
    ++generation_;
    pool_.clear();
    pool_.waitForDone();
    if (waitCursor_)
        QApplication::restoreOverrideCursor();
}

void PictureViewer::setInnerBorder(int border) {
    pnlJustImage->layout()->setContentsMargins(border, border, border, border);
}

bool PictureViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pnlImageHolder && event->type() == QEvent::Resize)
        pnlImageHolderResize();
    return QObject::eventFilter(watched, event);
}

// ------------------------------------------------------------------ showing

QString PictureViewer::wantedFile() const {
    if (state.FileGivenExplicitly)
        return state.CurrentFile;
    const int index = fullScreen_ ? state.GridIndexBeforeFullScreen : host_.gridCurrentIndex();
    return host_.gridFileName(index);
}

void PictureViewer::ShowImage() {
    if (state.EditBusy)
        return;
    host_.doselectstatus();
    try {
        switch (state.showGate(host_.gridItemCount())) {
        case ViewerState::ShowGate::EditBusy:
        case ViewerState::ShowGate::NotReady:
            return;
        case ViewerState::ShowGate::NoPictures:
            qMessageDlg(QStringLiteral("There are no pictures to display."), MsgType::Information,
                        mbOK);
            return;
        case ViewerState::ShowGate::Queued:
            if (wantedFile() != loadingFile_)
                setAbortRequested();
            return;
        case ViewerState::ShowGate::Go:
            break;
        }
        host_.ClearEditactions();
        if (host_.Changed())
            host_.PromptSaveChanges(false, false);
        host_.storeDescription();
        host_.resetChangeState();

        Qimage->setToolTip(QString());
        host_.clearFileNameLabel();
        state.beginLoad();
        host_.setloading(true);
        SetCurrentShrinkToFit(settings_.Shrink);
        host_.deleteLeftoverTempFiles();
        if (!state.FileGivenExplicitly)
            state.CurrentFile = wantedFile();
        DebugLog::write(QStringLiteral("ShowImage"),
                        QStringLiteral("Current file=") + state.CurrentFile);
        if (state.CurrentFile.isEmpty()) {
            QApplication::beep();
            endOfLoad();
            return;
        }
        state.FileGivenExplicitly = false;
        if (!QFileInfo(state.CurrentFile).isFile()) {
            DebugLog::write(QStringLiteral("ShowImage"),
                            QStringLiteral("File Not Found: ") + state.CurrentFile);
            const quint64 generation = generation_.load();
            qMessageDlg(
                LoadStrFromRes(QStringLiteral("Unable to locate file %s."), state.CurrentFile),
                MsgType::Warning, mbOK);
            // The message box runs the event loop: a show the user asked for
            // meanwhile has taken over, and its picture stays.
            if (generation != generation_.load())
                return;
            QApplication::beep();
            state.CurrentFile.clear();
            endOfLoad();
            return;
        }
        startLoad(state.CurrentFile);
    } catch (const std::exception& e) {
        DebugLog::write(QStringLiteral("ShowImage"),
                        QStringLiteral("Error: ") + QString::fromLocal8Bit(e.what()));
        const quint64 generation = generation_.load();
        qMessageDlg(QStringLiteral("Unexplained loading error"), MsgType::Warning, mbOK);
        if (generation != generation_.load())
            return;
        QApplication::beep();
        state.CurrentFile.clear();
        endOfLoad();
    }
}

void PictureViewer::startLoad(const QString& fileName) {
    if (!waitCursor_) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        waitCursor_ = true;
    }
    state.LoadFailed = false;
    host_.docurrfileinfo();
    loadingFile_ = fileName;
    const quint64 generation = ++generation_;
    gaugeTimer_->start();
    // Made here so that its process-wide set-up runs on this thread; only
    // the worker touches it afterwards.
    auto functions = std::make_shared<TIEFunctions>();
    pool_.start([this, generation, fileName, functions] {
        // A load overtaken before it began is not started at all.
        if (generation_.load() != generation)
            return;
        TImageIO io;
        QString error;
        const bool ok = functions->LoadIntoIO(io, fileName, false, error, 0);
        if (generation_.load() != generation)
            return;
        // The destructor waits for this task, so the viewer is still there.
        QMetaObject::invokeMethod(
            this,
            [this, generation, ok, io = std::move(io), error] {
                loadFinished(generation, ok, io, error);
            },
            Qt::QueuedConnection);
    });
}

void PictureViewer::loadFinished(quint64 generation, bool ok, const TImageIO& io,
                                 const QString& error) {
    if (generation != generation_.load() || !state.Loading)
        return; // aborted: a newer request is waiting
    // An abort asked for after the decode ended is taken here, as the last
    // progress report would have taken it.
    if (state.AbortRequested) {
        QimageProgress();
        return;
    }
    // The file this load read; CurrentFile may name a newer one by now.
    const QString fileName = loadingFile_;
    try {
        if (ok) {
            qimageIO = io;
            state.ImageInfo = io.Params;
            Qimage->setImage(qimageIO.Bitmap);
            Qimage->setScrollOffset({0, 0});
            updateimagesize(false);
        } else {
            DebugLog::write(QStringLiteral("loadimagefile"),
                            QStringLiteral("Error: ") +
                                (error.isEmpty() ? QStringLiteral("Er") : error));
            host_.clearFileNameLabel();
            qimageIO = TImageIO();
            Qimage->clear();
            state.LoadFailed = true;
            qMessageDlg(LoadStrFromRes(QStringLiteral("An error was encountered loading the file, "
                                                      "%s.  The image may be corrupt or you may "
                                                      "be running low on memory."),
                                       fileName),
                        MsgType::Warning, mbOK);
            // The message box runs the event loop: a show the user asked
            // for meanwhile has ended this load and may have loaded another
            // picture, which this load must leave alone.
            if (generation != generation_.load())
                return;
        }
        host_.loadDescription(fileName);
        host_.docurrfileinfo();
        Qimage->setToolTip(QString());
        Qimage->updateCursor();
    } catch (const std::exception& e) {
        DebugLog::write(QStringLiteral("ShowImage"),
                        QStringLiteral("Error: ") + QString::fromLocal8Bit(e.what()));
        qMessageDlg(LoadStrFromRes(QStringLiteral("Error encountered loading file, %s"), fileName),
                    MsgType::Warning, mbOK);
    }
    if (generation == generation_.load())
        endOfLoad();
}

void PictureViewer::QimageProgress() {
    if (!state.takeAbort())
        return;
    // The decode still running on its thread is dropped when it ends.
    ++generation_;
    qimageIO = TImageIO();
    Qimage->clear();
    endOfLoad();
}

void PictureViewer::endOfLoad() {
    gaugeTimer_->stop();
    host_.showLoadGauge(false);
    state.endLoad();
    loadingFile_.clear();
    if (waitCursor_) {
        QApplication::restoreOverrideCursor();
        waitCursor_ = false;
    }
    host_.setloading(false);
    UpdatePalvoView();
    Q_EMIT loadEnded();
}

void PictureViewer::setAbortRequested() {
    if (!state.Loading)
        return;
    state.AbortRequested = true;
    // Taken at the next turn of the event loop, as a progress report would.
    QTimer::singleShot(0, this, [this] { QimageProgress(); });
}

void PictureViewer::setReshowRequested() {
    if (!state.Loading) {
        state.ReshowRequested = true;
        return;
    }
    state.ReshowRequested = true;
    if (wantedFile() != loadingFile_)
        setAbortRequested();
}

bool PictureViewer::idleReshow() {
    if (!state.takeReshowRequest())
        return false;
    host_.DoShowImage();
    return true;
}

void PictureViewer::clearViewer() {
    // With no picture on show, a load still under way is dropped: it must
    // not put its picture into the emptied view when it ends, and there is
    // nothing to show again in its place.
    if (state.Loading) {
        ++generation_;
        state.AbortRequested = false;
        state.ReshowRequested = false;
        state.LoadAborted = true;
        endOfLoad();
    }
    qimageIO = TImageIO();
    Qimage->clear();
    Qimage->setToolTip(QString());
    state.ImageInfo = TImageProperties();
    UpdatePalvoView();
}

// ------------------------------------------------------------------ modes and zoom

void PictureViewer::SetCurrentShrinkToFit(bool on) {
    receiverView_ = on;
    host_.setModeButtons(on);
    pnlImageHolderResize();
}

void PictureViewer::btnPalvoOffClick(bool receiverViewDown) {
    SetCurrentShrinkToFit(receiverViewDown);
    if (receiverViewDown)
        state.UserZoomed = false;
    updateimagesize(false);
    if (host_.cropUnderWay() || host_.redEyeActive())
        host_.selectionOverlayChanged();
    host_.repositionCaption();
}

void PictureViewer::showZoomLabel() {
    if (!host_.cropUnderWay())
        host_.setZoomLabel(QString::number(int(Qimage->zoom())) + QLatin1Char('%'));
}

void PictureViewer::updateimagesize(bool keepZoom) {
    if (host_.windowClosing() || state.LoadFailed)
        return;
    Qimage->setAutoShrink(!state.UserZoomed && receiverView_);
    const QSize viewSize = Qimage->viewSize();
    if (!state.UserZoomed && !keepZoom && !viewSize.isEmpty())
        Qimage->setZoom(shownPictureZoom(Qimage->image().size(), viewSize, receiverView_));
    if (!state.UserZoomed)
        state.ZoomPercent = Qimage->isEmpty() ? 100 : int(Qimage->zoom());
    showZoomLabel();
    if (state.UserZoomed && !keepZoom)
        applyZoom(state.ZoomPercent, false);
}

void PictureViewer::zoom(bool zoomIn) {
    if (state.LoadFailed)
        return;
    // The user's zoom holds from here on, also through the re-fit that the
    // larger frame of the full-size view causes.
    state.UserZoomed = true;
    SetCurrentShrinkToFit(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ZoomStep step = zoomStep(state.ZoomPercent, zoomIn);
    if (!step.refused) {
        if (step.beep)
            QApplication::beep();
        applyZoom(step.value, true);
    }
    QApplication::restoreOverrideCursor();
}

void PictureViewer::applyZoom(int value, bool isStep) {
    const int current = int(Qimage->zoom());
    if (isStep)
        value =
            stopAtFit(current, value, fitZoomPercent(Qimage->image().size(), Qimage->viewSize()));
    state.ZoomPercent = value;
    const int shown = displayedZoom(value);
    if (shown != current) {
        Qimage->setAutoShrink(false);
        Qimage->setZoom(shown);
    }
    if (host_.cropUnderWay() || host_.redEyeActive())
        host_.selectionOverlayChanged();
    Qimage->updateCursor();
    host_.repositionCaption();
    showZoomLabel();
    if (host_.debugMode()) {
        const QRect g = Qimage->geometry();
        host_.setWindowCaption(QStringLiteral("Zoom: %1%   L=%2, T=%3, W=%4, H=%5")
                                   .arg(int(Qimage->zoom()))
                                   .arg(g.left())
                                   .arg(g.top())
                                   .arg(g.width())
                                   .arg(g.height()));
    }
}

void PictureViewer::UpdatePalvoView() {
    const Colour colour = viewBackground(Qimage->drawnSize(), Qimage->viewSize(), receiverView_,
                                         fullScreen_, settings_.PalvoBackgroundColor);
    Qimage->setBackgroundColour(ColourToQColor(colour));
}

void PictureViewer::pnlImageHolderResize() {
    if (!pnlImageHolder)
        return;
    const QRect inner = pnlImageHolder->rect().adjusted(kHolderBorder, kHolderBorder,
                                                        -kHolderBorder, -kHolderBorder);
    const QRect frame =
        framePanelRect(inner.size(), config_.MaxWidth, config_.MaxHeight, !receiverView_);
    qpnlJustImage->setGeometry(frame.translated(inner.topLeft()));
    host_.repositionCaption();
    UpdatePalvoView();
}

void PictureViewer::settingsChanged() {
    Qimage->setDisplayQuality(settings_.DisplayQuality);
    UpdatePalvoView();
}

// ------------------------------------------------------------------ full screen

void PictureViewer::dofullscreen(bool on) {
    if (on && host_.gridItemCount() <= 0) {
        host_.setFullScreenButton(false);
        return;
    }
    if (on == fullScreen_)
        return;
    fullScreen_ = on;
    host_.setFullScreenButton(on);
    if (on) {
        state.GridIndexBeforeFullScreen = host_.gridCurrentIndex();
        host_.setWindowFullScreen(true);
        setBackground(*pnlImageHolder, Qt::black);
        setBackground(*pnlJustImage, Qt::black);
        setInnerBorder(kInnerBorderFullScreen);
        if (state.CurrentFile.isEmpty())
            host_.DoShowImage();
    } else {
        host_.setWindowFullScreen(false);
        setInnerBorder(kInnerBorderAfterFullScreen);
        setBackground(*pnlImageHolder, kHolderNormal);
        setBackground(*pnlJustImage, kHolderNormal);
        host_.refreshGrid();
        if (state.GridIndexBeforeFullScreen >= 0 &&
            state.GridIndexBeforeFullScreen < host_.gridItemCount())
            host_.selectGridIndex(state.GridIndexBeforeFullScreen);
    }
    host_.doselectstatus();
    host_.setFullScreenChrome(on);
    // Only a visible grid can take the focus.
    if (!on)
        host_.focusGrid();
    pnlImageHolderResize();
}

void PictureViewer::leaveFullScreenWhenEmpty() {
    if (!fullScreen_ || host_.gridItemCount() > 0)
        return;
    qMessageDlg(QStringLiteral("There are no images remaining in this folder!  Switching to "
                               "Normal mode."),
                MsgType::Information, mbOK);
    dofullscreen(false);
}

// ------------------------------------------------------------------ files from outside

void PictureViewer::directshow(const QString& fileName) {
    DebugLog::write(QStringLiteral("directshow"), QStringLiteral("Start, file=") + fileName);
    if (host_.inModalStep())
        return;
    try {
        const QFileInfo info(fileName);
        const QString folder = IncludeTrailingSeparator(info.absolutePath());
        const QString now = host_.Updatecurrentdirectory(folder);
        DebugLog::write(QStringLiteral("directshow"),
                        QStringLiteral("Calling updatecurrentdirectory=") + folder);
        DebugLog::write(QStringLiteral("directshow"), QStringLiteral("directory is now: ") + now);
        if (ExtensionInFilter(fileName, QString::fromLatin1(PictureExtensions))) {
            const QString path = info.absoluteFilePath();
            state.CurrentFile = path;
            state.FileGivenExplicitly = true;
            const int index = host_.gridIndexOf(path);
            DebugLog::write(QStringLiteral("directshow"),
                            QStringLiteral("Index of Image =") + QString::number(index));
            if (index >= 0) {
                host_.selectGridIndex(index);
                if (fullScreen_)
                    state.GridIndexBeforeFullScreen = index;
            }
            host_.DoShowImage();
        }
    } catch (...) {
        qMessageDlg(
            QStringLiteral("Error processing file, it may be corrupted or no longer be available."),
            MsgType::Warning, mbOK);
    }
    DebugLog::write(QStringLiteral("directshow"), QStringLiteral("end"));
}

QImage PictureViewer::ReadProgramPicture(const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        return {};
    QImage picture;
    if (startsAsJpeg(fileName)) {
        TIEFunctions functions;
        int scale = 1;
        if (!functions.LoadJPEGBitmap(picture, fileName, -1, -1, scale, false))
            return {};
        return picture;
    }
    // The program's own pictures carry their own extension: the content
    // decides the format, and a picture far larger than a window is refused.
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kLoadTImageMaxPixels)
        return {};
    return reader.read();
}

bool PictureViewer::LoadTImage(QLabel& imageControl, const QString& fileName) {
    const QImage picture = ReadProgramPicture(fileName);
    if (picture.isNull())
        return false;
    imageControl.setPixmap(QPixmap::fromImage(picture));
    imageControl.setFixedSize(picture.size());
    return true;
}

} // namespace palvo
