// The main window's geometry: placing it at start, storing its position at
// close, full-screen bounds, the largest size, the resize rule and the font
// scaling of new windows. The arithmetic is in shell/WindowGeometry.
#include "shell/ui/FontScaling.h"
#include "shell/ui/MainUnit.h"

#include "imaging/ui/PictureView.h"
#include "library/ui/QCheckThumbGrid.h"

#include <QEvent>
#include <QFontInfo>
#include <QFrame>
#include <QMainWindow>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QWindow>

namespace palvo {

namespace {

WindowShowState showState(Qt::WindowStates states) {
    if (states & Qt::WindowMinimized)
        return WindowShowState::Minimised;
    // Full screen counts as maximised: the window fills the screen and the
    // left panel is hidden, so nothing narrows it.
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return WindowShowState::Maximised;
    return WindowShowState::Normal;
}

// Font heights as the rule counts them: negative character heights in pixels.
int fontHeight(const QFont& font) {
    return -QFontInfo(font).pixelSize();
}

} // namespace

void ScaleFontsForScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen || !fontScalingApplies(qRound(screen->logicalDotsPerInchX()),
                                       qRound(screen->logicalDotsPerInchY())))
        return;
    const int windowHeight = fontHeight(window.font());
    // A main window's controls sit on its central widget.
    QWidget* content = &window;
    if (auto* main = qobject_cast<QMainWindow*>(&window); main && main->centralWidget())
        content = main->centralWidget();
    for (QWidget* child : content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const int height = fontHeight(child->font());
        const int scaled = scaledFontHeight(height, windowHeight);
        if (scaled == height)
            continue;
        QFont font = child->font();
        font.setPixelSize(-scaled);
        child->setFont(font);
    }
}

void TfrmMain::ConnectGeometry() {
    connect(splitter, &QSplitter::splitterMoved, this,
            [this] { FormResize(ResizeSource::Splitter); });
}

QSize TfrmMain::geometryScreen() const {
    if (options_.screenSize)
        return *options_.screenSize;
    const QScreen* current = screen();
    return current ? current->geometry().size() : screenSize_;
}

void TfrmMain::applyMaximumTrackingSize() {
    // Qt limits the client area; the frame's share of the outer limit comes
    // off again, so the client may grow until it covers the screen.
    const QSize frame = frameGeometry().size();
    const QSize client = size();
    setMaximumSize(maximumTrackingSize(frame, client, geometryScreen()) - (frame - client));
}

void TfrmMain::PlaceWindow() {
    setWindowState(Qt::WindowNoState);
    applyMaximumTrackingSize();
    if (QWindow* handle = QWidget::windowHandle())
        connect(handle, &QWindow::screenChanged, this, &TfrmMain::applyMaximumTrackingSize,
                Qt::UniqueConnection);
    const int height = settings.SPHeight > 50 ? settings.SPHeight : this->height();
    const int width = settings.SPWidth > 50 ? settings.SPWidth : this->width();
    resize(width, height);
    move(settings.SPLeft, settings.SPTop);
    normalBounds_ = QRect(pos(), size());
    if (settings.WPanel > 50 && settings.WPanel < 0.8 * this->width())
        splitter->setSizes({settings.WPanel, this->width() - settings.WPanel});
    panelWidthToRestore_ = LeftPanel->width();
    if (settings.SPMax) {
        showMaximized();
        repaint();
    }
}

void TfrmMain::noteNormalBounds() {
    if (!viewer_ || fullScreen() ||
        windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    normalBounds_ = QRect(pos(), size());
}

void TfrmMain::SaveWindowPositions(bool skipInFullScreen) {
    const StoredWindowPosition stored{settings.SPLeft, settings.SPTop, settings.SPWidth,
                                      settings.SPHeight, settings.SPMax};
    const WindowPositionState window{QRect(pos(), size()), normalBounds_, isMaximized(),
                                     fullScreen()};
    const std::optional<StoredWindowPosition> result =
        windowPositionToStore(stored, window, skipInFullScreen);
    if (!result)
        return;
    settings.SPLeft = result->left;
    settings.SPTop = result->top;
    settings.SPWidth = result->width;
    settings.SPHeight = result->height;
    settings.SPMax = result->maximised;
}

void TfrmMain::SetWindowFS(bool on) {
    if (on) {
        maximisedBeforeFullScreen_ = isMaximized();
        // The window system's full-screen state: the frame goes and the
        // client area covers the screen, above the desktop's panels.
        showFullScreen();
        pnlToolbar->hide();
    } else {
        // The window system gives back the bounds it had before.
        if (maximisedBeforeFullScreen_)
            showMaximized();
        else
            showNormal();
        pnlToolbar->show();
    }
    viewer_->view().viewport()->update();
}

void TfrmMain::setWindowFullScreen(bool on) {
    switchingFullScreen_ = true;
    if (on)
        SaveWindowPositions(false);
    SetWindowFS(on);
}

void TfrmMain::setFullScreenChrome(bool fullScreen) {
    switchingFullScreen_ = false;
    for (QWidget* part : {static_cast<QWidget*>(LeftPanel), static_cast<QWidget*>(pnlMenu),
                          static_cast<QWidget*>(pnlToolbar), static_cast<QWidget*>(xpnlStatusbar)})
        part->setVisible(!fullScreen);
    if (!fullScreen && panelWidthToRestore_ > 0)
        splitter->setSizes(
            {panelWidthToRestore_,
             qMax(0, splitter->width() - splitter->handleWidth() - panelWidthToRestore_)});
    setAcceptDrops(true);
    FormResize(ResizeSource::Window);
}

void TfrmMain::FormResize(ResizeSource source) {
    ResizeInput in;
    in.handlingEnabled = resizeHandlingEnabled_;
    in.switchingFullScreen = switchingFullScreen_;
    in.pictureCurrent = viewer_ && !CurrentFile().isEmpty();
    in.source = source;
    in.state = showState(windowState());
    in.lastState = lastResizeState_;
    in.windowWidth = width();
    in.gridWidth = ThumbGrid->width();
    in.cropComputing = CropComputing;
    in.cropToolActive = cropUnderWay();
    const ResizeSteps steps = formResizeSteps(in);
    if (!steps.handled)
        return;
    if (steps.narrowPanelTo) {
        const int panel = *steps.narrowPanelTo;
        splitter->setSizes({panel, qMax(0, splitter->width() - splitter->handleWidth() - panel)});
    }
    if (steps.resetGridScrollBars) {
        // Without and then with its scroll bar the grid lays itself out again.
        const Qt::ScrollBarPolicy policy = ThumbGrid->verticalScrollBarPolicy();
        ThumbGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        ThumbGrid->setVerticalScrollBarPolicy(policy);
        lastResizeState_ = in.state;
    }
    if (steps.rememberPanelWidth)
        panelWidthToRestore_ = LeftPanel->width();
    if (steps.recomputePictureSize) {
        viewer_->pnlImageHolderResize();
        viewer_->updateimagesize(false);
    }
    if (steps.requestMaskRefresh) {
        MaskRefreshRequest = true;
        scheduleIdle();
    }
}

void TfrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    noteNormalBounds();
    FormResize(ResizeSource::Window);
}

void TfrmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    noteNormalBounds();
}

void TfrmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FormResize(ResizeSource::Window);
}

} // namespace palvo
