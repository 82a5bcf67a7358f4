// The main window's start-up and shutdown: creation, first show, Setup, the
// idle handler's start-up duties, the second-start hand-off, close and
// destruction.
#include "shell/ui/MainUnit.h"

#include "controls/ui/Controls.h"
#include "foundation/DebugLog.h"
#include "foundation/Messages.h"
#include "foundation/QRoutine.h"
#include "foundation/Version.h"
#include "imaging/IEFunctions.h"
#include "imaging/ui/PictureView.h"
#include "library/TextRoutines.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/CommandLine.h"
#include "shell/ui/FontScaling.h"
#include "shell/ui/MainMessages.h"
#include "shell/ui/ProgressDisplay.h"
#include "shell/ui/Splash.h"
#include "upload/UploadList.h"
#include "upload/Uploadiface.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QThread>
#include <QTimer>

namespace palvo {

TfrmMain::TfrmMain(StartOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
    QScreen* screen = QApplication::primaryScreen();
    screenSize_ =
        options_.screenSize.value_or(screen ? screen->geometry().size() : QSize(1024, 768));
    // A run started with "/DEBUG" logs from its first line.
    DebugLog::setFirstArgument(options_.arguments.value(0));
    FormCreate();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
}

void TfrmMain::setSplash(TSplash* splash) {
    splash_ = splash;
}

QString TfrmMain::GetCurrentFolder() const {
    return library_->folders().GetCurrentFolder();
}

QString TfrmMain::GetFolder(int kind) const {
    return palvo::GetFolder(folders, kind, settings.programName());
}

Uploadiface& TfrmMain::uploadLibrary() {
    if (!upload_)
        upload_ = std::make_unique<Uploadiface>(options_.uploadLibraryPath);
    return *upload_;
}

ProgressDisplay& TfrmMain::progressDisplay() {
    if (!progress_)
        progress_ = std::make_unique<ProgressDisplay>(pbrLoad, &settings.ShowDlgProgress);
    return *progress_;
}

void TfrmMain::InitialCode() {
    if (FoldersResolved)
        return;
    folders = options_.folders.value_or(ResolveProgramFolders());
    FoldersResolved = true;
    DebugLog::setProgramFolder(folders.programFolder);
}

void TfrmMain::FormCreate() {
    // The mark of a running instance for other programs (installers).
    static QLockFile* mutex = nullptr;
    if (!mutex) {
        mutex = new QLockFile(QDir::tempPath() + QStringLiteral("/PALVO_Sender.") +
                              QString::number(QCoreApplication::applicationPid()) +
                              QStringLiteral(".lock"));
        mutex->tryLock(0);
    }
    CreateRegions();
    ScaleFontsForScreen(*this);
    GridRepaintRequest = true; // the grid is painted afresh at the first idle pass
    const int minimumPanel = screenSize_.width() <= 800 ? 255 : kTwoColumnGridWidth + 46;
    LeftPanel->setMinimumWidth(minimumPanel);
    InitialCode();

    const QString stars(48, QLatin1Char('*'));
    const QString source = QStringLiteral("Commence");
    DebugLog::write(source, stars);
    DebugLog::write(source, QString());
    DebugLog::write(source, QLatin1String(kDefaultProgramName));
    DebugLog::write(source, QStringLiteral("Version: ") + ProductVersionText());
    DebugLog::write(
        source, QStringLiteral("Date: ") +
                    QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    DebugLog::write(source, QString());
    DebugLog::write(source, stars);

    if (WindowCreated)
        return;
    viewer_ = std::make_unique<PictureViewer>(*this, settings, serviceConfig, pnlImageHolder);
    ieFunctions_ = std::make_unique<TIEFunctions>();
    ThumbGrid->setAttachedIEFunctions(ieFunctions_.get());
    uploadList_ = std::make_unique<UploadList>(settings, folders);
    library_ = std::make_unique<LibraryController>(*this, *ThumbGrid, this);
    library_->showFolderName = [this](const QString& name) {
        lblfolder->setText(MinimizeString(lblfolder->fontMetrics(), lblfolder->width(), name));
    };
    ConnectControls();
    ConnectGeometry();
    // A finished thumbnail may let pre-caching go on.
    connect(ThumbGrid, &TQCheckThumbGrid::thumbnailReady, this, &TfrmMain::scheduleIdle);
    installKeyPreview();
    navigation().RecentFolders = readRecentFolders(folders.dataFolder);
    uploadList_->LoadUploadList();
    PictureViewer::LoadTImage(*imgLogo1, folders.programFolder + QStringLiteral("Logo.xdl"));
    WindowCreated = true;
    setAcceptDrops(true);
    setWindowTitle(QLatin1String(kDefaultProgramName));
    SwitchView(true, true);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (splash_)
        splash_->raise();
    // Setup waits for the splash while the event loop runs, so it starts
    // after the show has been handled.
    if (SetupPending)
        QTimer::singleShot(0, this, &TfrmMain::FormShow);
}

void TfrmMain::FormShow() {
    repaint();
    if (!SetupPending)
        return;
    SetupPending = false;
    Setup();
    if (!closed_)
        UpdateCheckPending = true;
    Q_EMIT setupFinished();
    scheduleIdle();
}

void TfrmMain::Setup() {
    setupRunning_ = true;
    const QStringList& args = options_.arguments;
    const StartArgument first = ClassifyFirstArgument(args);

    if (first == StartArgument::Uninstall) {
        NotReady = true;
        resetregistry(settings.programName());
        TerminatePending = true;
        HideSplash();
        setupRunning_ = false;
        Terminate();
        return;
    }

    startTime_.start();
    // The idle handler runs whenever the event queue has just emptied.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TfrmMain::scheduleIdle,
                Qt::UniqueConnection);
    HintTiming::install();
    resizeHandlingEnabled_ = true;
    PendingDeletion.clear();

    try {
        serviceConfig = LoadURLsFromINI(folders.programFolder);
        SettingsEnvironment environment;
        environment.screen = screenSize_;
        environment.picturesFolder = GetFolder(17);
        ReadSettings(settings, environment);
    } catch (const EError& e) {
        qMessageDlg(QStringLiteral("Error encountered loading user settings from registry!.\n\n") +
                        e.message(),
                    MsgType::Information, mbOK);
    }

    library_->applySettings(settings);
    viewer_->settingsChanged();
    viewer_->SetCurrentShrinkToFit(settings.Shrink);
    library_->setupCaches(GetFolder(3));
    navigation().LastListedFolder.clear();
    navigation().Updatecurrentdirectory(settings.StartUpDirectory, false, false, true);
    edtdirectory->setText(GetCurrentFolder());
    PlaceWindow();

    WaitForSplash();
    if (closed_) {
        setupRunning_ = false;
        return;
    }
    HideSplash();

    if (first == StartArgument::Debug) {
        DebugLogging = true;
        DebugLog::setDebugLogging(true);
    } else if (first == StartArgument::Picture) {
        DebugLog::write(QStringLiteral("StartUp"),
                        QStringLiteral("Calling Directshow with ") + args.first());
        directshow(args.first());
    } else if (first == StartArgument::Camera) {
        CameraParameter(args.value(0), args.value(1), UseAppforCameraInMemory, &pendingCamera);
    }
    if (first == StartArgument::None || first == StartArgument::Debug)
        pgcModesChange();

    const int depth = options_.colourDepth.value_or(
        QApplication::primaryScreen() ? QApplication::primaryScreen()->depth() : 24);
    if (depth < 16) {
        qMessageDlg(
            QStringLiteral(
                "The display is currently set to show only 256 colors.  To run this application "
                "you will need to change this setting to 65,536 (16 bit) colors or more.  To do "
                "this, use the display settings of your desktop."),
            MsgType::Information, mbOK);
        ClosePending = true;
        setupRunning_ = false;
        return;
    }

    ThumbGrid->setThumbDisplayType(TThumbDisplayType::tdtLargeIcon);
    NotReady = false;
    ThumbGrid->viewport()->update();
    SafeFocus(ThumbGrid);
    FirstIdlePending = true;
    setupRunning_ = false;

    // Hand-offs that arrived while Setup waited are handled now, in order.
    const QStringList queued = handOffQueue_;
    handOffQueue_.clear();
    if (!queued.isEmpty())
        OneInstance1InstanceStarted(queued);
}

void TfrmMain::WaitForSplash() {
    const qint64 remaining = options_.splashMinimumMs - startTime_.elapsed();
    if (remaining <= 0)
        return;
    // Wait with the event loop running, so the window paints and stays responsive.
    QEventLoop loop;
    splashWait_ = &loop;
    QTimer::singleShot(int(remaining), &loop, &QEventLoop::quit);
    loop.exec();
    splashWait_ = nullptr;
    // A quit of the application can end the wait early; it still counts.
    while (!closed_ && startTime_.elapsed() < options_.splashMinimumMs &&
           !QCoreApplication::closingDown())
        QThread::msleep(5);
}

void TfrmMain::HideSplash() {
    if (splash_)
        splash_->close();
    splash_ = nullptr;
}

void TfrmMain::directshow(const QString& path) {
    if (!folderViewActive() && KeyPreview)
        SwitchView(true, false);
    viewer_->directshow(path);
}

void TfrmMain::OneInstance1InstanceStarted(const QStringList& arguments) {
    if (setupRunning_ || SetupPending) {
        // Handled once start-up has finished, in the order they came.
        if (handOffQueue_.isEmpty())
            handOffQueue_ = arguments;
        return;
    }
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    if (arguments.isEmpty())
        return;
    if (CameraParameter(arguments.value(0), arguments.value(1), UseAppforCameraInMemory,
                        &pendingCamera)) {
        scheduleIdle();
        return;
    }
    DebugLog::write(QStringLiteral("OneInstance1InstanceStarted"),
                    QStringLiteral("Calling directshow, file=") + arguments.first());
    if (QFileInfo(arguments.first()).isFile())
        directshow(arguments.first());
}

bool TfrmMain::idleWorkPending() const {
    // Setup's own waits run the event loop; the passes start once it is done.
    if (setupRunning_)
        return false;
    // Only what a pass can do now: a request that waits for a load to end
    // would make every pass until then an empty one, back to back. The end
    // of the load asks for the next pass.
    const bool idleViewer = !Loading();
    return TerminatePending || ClosePending || FirstIdlePending || UpdateCheckPending ||
           GridRepaintRequest || MaskRefreshRequest || (ShowPictureRequest && idleViewer) ||
           (GetPicturesRequest && idleViewer) || (pendingCamera.pending() && KeyPreview) ||
           reshowWanted() || precacheWanted();
}

bool TfrmMain::reshowWanted() const {
    // A show asked for while a picture loaded is replayed once the load has
    // ended, and not in the middle of a command behind the busy gate.
    return KeyPreview && !Loading() && viewer_->state.ReshowRequested;
}

bool TfrmMain::precacheWanted() const {
    // Never beside a load or a modal step, and one thumbnail at a time: while
    // the grid makes one, the pass waits for its thumbnailReady.
    return !closed_ && KeyPreview && !Loading() && !GetCurrentFolder().isEmpty() &&
           ThumbGrid->precacheDue();
}

void TfrmMain::scheduleIdle() {
    if (idleScheduled_ || inIdle_ || !idleWorkPending())
        return;
    idleScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        idleScheduled_ = false;
        doidle();
    });
}

void TfrmMain::doidle() {
    if (inIdle_ || setupRunning_)
        return;
    inIdle_ = true;
    idlePass();
    inIdle_ = false;
    scheduleIdle();
}

// One idle pass, in its fixed order; a step that returns ends the pass.
void TfrmMain::idlePass() {
    if (TerminatePending) {
        Terminate();
        return;
    }
    if (GridRepaintRequest) {
        GridRepaintRequest = false;
        ThumbGrid->update();
    }
    if (pendingCamera.pending() && KeyPreview) {
        FirstIdlePending = false;
        const PendingCamera launch = pendingCamera;
        pendingCamera = {};
        DebugLog::write(QStringLiteral("doidle"),
                        QStringLiteral("Posting WM_LAUNCH_USB with ") + launch.drive);
        postMessage(WM_LAUNCH_USB, launch.drive, launch.settings);
        return;
    }
    if (FirstIdlePending) {
        FirstIdlePending = false;
        ShowStartupPicture();
    }
    if (MaskRefreshRequest) {
        MaskRefreshRequest = false;
        if (cropUnderWay() || redEyeActive())
            selectionOverlayChanged();
    }
    if (GetPicturesRequest && !Loading()) {
        GetPicturesRequest = false;
        BtnOpenFolderClick();
        return;
    }
    if (ClosePending) {
        ClosePending = false;
        close();
        return;
    }
    if (ShowPictureRequest && !Loading()) {
        ShowPictureRequest = false;
        DoShowImage();
        doselectstatus();
    }
    if (reshowWanted() && viewer_->idleReshow())
        doselectstatus();
    if (UpdateCheckPending) {
        UpdateCheckPending = false;
        const QString version = serviceConfig.InstallVersion.isEmpty()
                                    ? FileVersionText()
                                    : serviceConfig.InstallVersion;
        if (uploadLibrary().CheckForUpdate(this, settings.programName(), version, false) == 9)
            TerminatePending = true;
    }
    // One more thumbnail into the disk cache, made on one of the grid's
    // worker threads.
    if (precacheWanted())
        ThumbGrid->PrecacheNext();
}

void TfrmMain::postMessage(int message, const QString& text, bool flag) {
    QCoreApplication::postEvent(
        this, new MainMessageEvent(static_cast<MainMessage>(message), text, flag));
}

void TfrmMain::DoShowImage() {
    postMessage(WM_SHOW_IMAGE);
}

bool TfrmMain::event(QEvent* event) {
    if (MainMessageEvent::isMainMessage(event)) {
        WndProc(*static_cast<MainMessageEvent*>(event));
        return true;
    }
    return QMainWindow::event(event);
}

void TfrmMain::WndProc(MainMessageEvent& message) {
    switch (message.message()) {
    case WM_LAUNCH_USB:
        DebugLog::write(QStringLiteral("WndProc"),
                        QStringLiteral("WM_LAUNCH_CAMERA: ") + message.text());
        LaunchCamera(message.text(), message.flag());
        break;
    case WM_REPAINT_GRID:
        ThumbGrid->viewport()->update();
        break;
    case WM_DO_IDLE:
        doidle();
        break;
    case WM_SHOW_LATER:
        ShowPictureRequest = true;
        scheduleIdle();
        break;
    case WM_ROTATE_PICTURE:
    case WM_ROTATE_FILE:
        // Lossless turns come with the edit tools; until then they fail.
        message.result = 1;
        break;
    case WM_SHOW_IMAGE:
        viewer_->ShowImage();
        break;
    case WM_GET_PICTURES:
        BtnOpenFolderClick();
        break;
    case WM_CANCEL_REDEYE:
    case WM_RESERVED_2029:
        break;
    }
}

void TfrmMain::ShowStartupPicture() {
    // The quick-start guide comes with the guide itself.
    if (CurrentFile().isEmpty() && ThumbGrid->ItemCount() > 0) {
        DoShowImage();
        return;
    }
    viewer_->view().setBackgroundColour(Qt::white);
    const QImage startup =
        PictureViewer::ReadProgramPicture(folders.programFolder + QStringLiteral("startup.xdl"));
    if (!startup.isNull())
        viewer_->view().setImage(startup);
    pbrLoad->hide();
}

void TfrmMain::Terminate() {
    TerminatePending = true;
    closed_ = true;
    // Ending this way skips the close steps: no setting is written.
    QMainWindow::close();
    QCoreApplication::quit();
}

bool TfrmMain::FormCloseQuery() {
    DebugLog::write(QStringLiteral("FormCloseQuery"), QStringLiteral("Close called"));
    return true;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (TerminatePending) {
        closed_ = true;
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    closed_ = true;
    HideSplash();
    if (splashWait_)
        splashWait_->quit();
    event->accept();
}

void TfrmMain::FormClose() {
    if (NotReady)
        return;
    DebugLog::write(QStringLiteral("FormClose"), QStringLiteral("Closing..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList kept;
    for (const QString& path : PendingDeletion) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            kept << path;
    }
    PendingDeletion = kept;
    SaveWindowPositions(true);
    settings.WPanel = splitter->sizes().value(0, settings.WPanel);
    writereg(settings, GetCurrentFolder());
    QApplication::restoreOverrideCursor();
}

void TfrmMain::FormDestroy() {
    if (WindowCreated) {
        WindowCreated = false;
        uploadList_->SaveUploadList();
        (void)writeRecentFolders(folders.dataFolder, navigation().RecentFolders);
        setAcceptDrops(false);
    }
    if (upload_)
        upload_->release();
}

} // namespace palvo
