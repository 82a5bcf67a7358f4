#pragma once

#include "acquire/CameraDetection.h"
#include "foundation/ProgramFolders.h"
#include "foundation/ServiceConfig.h"
#include "foundation/SettingsStore.h"
#include "imaging/ui/PictureViewer.h"
#include "library/ui/LibraryController.h"
#include "shell/WindowGeometry.h"
#include "upload/UploadRun.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QSize>

#include <memory>
#include <optional>

class QEventLoop;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QToolButton;

namespace palvo {

class ClickLabel;
class ProgressDisplay;
class TabPicture;
class TIEFunctions;
class TQCheckThumbGrid;
class TSplash;
class UploadList;
class Uploadiface;

// What a start of the main window may be given besides the machine itself;
// tests use it to pin the screen, the colour depth and the waits.
struct StartOptions {
    QStringList arguments;                 // command-line arguments, without the program
    int splashMinimumMs = 1750;            // the splash shows at least this long
    std::optional<QSize> screenSize;       // default: the primary screen
    std::optional<int> colourDepth;        // default: the primary screen's depth
    QString uploadLibraryPath;             // default: the program folder's libQUpload.so
    std::optional<ProgramFolders> folders; // default: resolved from this machine
};

// The main window. It owns every long-lived object of the run: settings,
// service configuration, folders, lists and the upload library binding.
class TfrmMain : public QMainWindow, public LibraryHost, public UploadRunHost, public ViewerHost {
    Q_OBJECT
public:
    explicit TfrmMain(StartOptions options = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The splash shown by the program entry; Setup frees it.
    void setSplash(TSplash* splash);

    // The second-start hand-off: the arguments of a later start, in order.
    void OneInstance1InstanceStarted(const QStringList& arguments);

    // Start-up state.
    bool FoldersResolved = false;
    bool WindowCreated = false;
    bool SetupPending = true;
    bool NotReady = true;
    bool FirstIdlePending = false;
    bool UpdateCheckPending = false;
    bool TerminatePending = false;
    bool ClosePending = false;
    bool DebugLogging = false;

    Settings settings;
    ServiceConfig serviceConfig;
    ProgramFolders folders;
    QStringList PendingDeletion;

    // The upload list, the folder navigation (current folder, listing, recent
    // folders) and the image functions shared by the grids.
    [[nodiscard]] UploadList& uploadList() { return *uploadList_; }
    [[nodiscard]] FolderNavigation& navigation() { return library_->folders(); }
    [[nodiscard]] LibraryController& library() { return *library_; }
    [[nodiscard]] TIEFunctions& imageFunctions() { return *ieFunctions_; }

    // The current folder (shown in the folders view) and picture.
    [[nodiscard]] QString GetCurrentFolder() const;
    [[nodiscard]] QString currentFile() const { return viewer_->state.CurrentFile; }
    [[nodiscard]] PictureViewer& viewer() { return *viewer_; }
    [[nodiscard]] QString GetFolder(int kind) const;

    // Views and status.
    [[nodiscard]] bool folderViewActive() const;
    // Shows the originals view (folders true) or the upload view.
    void SwitchView(bool folders, bool force);
    void doselectstatus() override;
    void setcurrfile(const QString& fileName);
    void clearcurrfile() override;
    [[nodiscard]] static QString ExtractJustName(const QString& path);
    // Moves delta pictures on in the active list; true when it hit an end.
    bool StepPicture(int delta);
    void btnPreviousClick();
    void btnNextClick();
    void btnUploadClick();
    // How the last upload command ended.
    UploadOutcome btnUploadClickResult = UploadOutcome::NotStarted;
    void BtnOpenFolderClick();
    void lblSelUpload1Click(bool originals);
    void imgTabsFoldersMouseUp(int x);
    // The busy gate: ends an edit tool, switches the keyboard map off and,
    // with resolveChanges, settles unsaved changes of the shown picture.
    void Keypreparation(bool resolveChanges);
    void Keypreparation() override { Keypreparation(false); }
    void enterModalStep() override { Keypreparation(true); }
    void endKeypreparation() override;

    // --- LibraryHost
    [[nodiscard]] bool inUploadView() const override { return !folderViewActive(); }
    [[nodiscard]] bool FindInUploadList(const QString& fileName) const override;
    void AddToUploadList(const QString& fileName) override;
    void RemoveFromUploadList(const QString& fileName) override;
    void clearUploadList() override;
    [[nodiscard]] QString CurrentFile() const override { return viewer_->state.CurrentFile; }
    void setCurrentFile(const QString& fileName) override { setcurrfile(fileName); }
    [[nodiscard]] bool Changed() const override { return false; }
    [[nodiscard]] bool Loading() const override { return viewer_->state.Loading; }
    [[nodiscard]] bool LoadFailed() const override { return viewer_->state.LoadFailed; }
    [[nodiscard]] bool fullScreen() const override { return viewer_->fullScreen(); }
    int& GridIndexBeforeFullScreen() override { return viewer_->state.GridIndexBeforeFullScreen; }
    void ClearEditactions() override {}
    void PromptSaveChanges(bool, bool) override {}
    void DoShowImage() override;
    void clearViewer() override;
    void setAbortRequested() override { viewer_->setAbortRequested(); }
    void setReshowRequested() override;
    void postRepaintGrid() override;
    void setWindowCaption(const QString& caption) override { setWindowTitle(caption); }
    [[nodiscard]] QString programName() const override { return settings.programName(); }
    void setPictureToolsEnabled(bool) override {}
    void switchRedEyeOff() override {}
    [[nodiscard]] bool inModalStep() const override { return !KeyPreview; }
    void showOriginalsView() override { SwitchView(true, false); }
    void recordGetPicturesRequest() override;
    bool runGetPicturesDialog(QString* folder) override;
    void startFileDrag(const QStringList& files) override;
    void popupFiles(QPoint) override {}

    // --- UploadRunHost
    bool settleCurrentPicture() override { return true; }
    [[nodiscard]] QStringList currentFolderPictures() override;
    void setBusyCursor(bool busy) override;
    void showProgress(int current, int total, const QString& message, const QString& caption,
                      bool canCancel) override;
    void hideProgress() override;
    void processEvents() override;
    [[nodiscard]] void* windowHandle() override { return this; }
    void uploadListEmptied() override;

    // --- ViewerHost
    [[nodiscard]] int gridItemCount() const override;
    [[nodiscard]] int gridCurrentIndex() const override;
    [[nodiscard]] QString gridFileName(int index) const override;
    [[nodiscard]] int gridIndexOf(const QString& fileName) const override;
    void selectGridIndex(int index) override;
    void refreshGrid() override;
    void focusGrid() override;
    void setloading(bool loading) override;
    void docurrfileinfo() override;
    void clearFileNameLabel() override;
    void setZoomLabel(const QString& text) override;
    void showLoadGauge(bool visible) override;
    void setModeButtons(bool receiverView) override;
    void setFullScreenButton(bool down) override;
    [[nodiscard]] bool debugMode() const override { return DebugLogging; }
    [[nodiscard]] bool windowClosing() const override { return closed_; }
    void storeDescription() override {}
    void resetChangeState() override {}
    void loadDescription(const QString&) override {}
    void deleteLeftoverTempFiles() override {}
    [[nodiscard]] bool cropUnderWay() const override { return false; }
    [[nodiscard]] bool redEyeActive() const override { return false; }
    void selectionOverlayChanged() override {}
    void repositionCaption() override {}
    QString Updatecurrentdirectory(const QString& folder) override;
    void setWindowFullScreen(bool on) override;
    void setFullScreenChrome(bool fullScreen) override;
    [[nodiscard]] Uploadiface& uploadLibrary();
    [[nodiscard]] ProgressDisplay& progressDisplay();

    // Whether an idle pass has work to do, and whether one is on its way:
    // with no work the idle handler stays quiet until something sets some.
    [[nodiscard]] bool idleWorkPending() const;
    [[nodiscard]] bool idlePassScheduled() const { return idleScheduled_; }

    // Posts one of the internal messages to this window.
    void postMessage(int message, const QString& text = QString(), bool flag = false);

    // The camera drive waiting for the next idle moment, and the camera
    // switch as the preferences last read it (off until they are opened).
    PendingCamera pendingCamera;
    bool UseAppforCameraInMemory = false;
    // The busy gate: when off, the keyboard map is silent and a pending
    // camera launch waits.
    bool KeyPreview = true;
    bool ShowPictureRequest = false;
    bool GridRepaintRequest = false;
    bool GetPicturesRequest = false;

    // --- window geometry
    // Stores the window's position into the settings fields; nothing when
    // asked to skip in full-screen mode and full-screen mode is on.
    void SaveWindowPositions(bool skipInFullScreen);
    // Full-screen bounds: on, the client area covers the screen and the
    // toolbar hides; off, the bounds from before come back.
    void SetWindowFS(bool on);
    // The resize rule, raised by the window, the splitter or the red-eye tool.
    void FormResize(ResizeSource source);
    [[nodiscard]] int panelWidthToRestore() const { return panelWidthToRestore_; }
    // A crop computation is running (the resize rule leaves the picture alone).
    bool CropComputing = false;
    // The selection mask is redrawn at the next idle pass.
    bool MaskRefreshRequest = false;

    // Opens a picture given by its path: its folder becomes the current folder
    // and the picture the current one.
    void directshow(const QString& path);

    // Regions of the window (filled by the window's later parts).
    QFrame* pnlMenu = nullptr;
    QLabel* imgLogo1 = nullptr;
    QFrame* LeftPanel = nullptr;
    QFrame* pnlGetPhotos = nullptr;
    QLabel* lblfolder = nullptr;
    QToolButton* btnRecentFolder = nullptr;
    QToolButton* BtnOpenFolder = nullptr;
    QToolButton* btnUpload = nullptr;
    QFrame* pnlTabsFolders = nullptr;
    TabPicture* imgTabsFolders = nullptr;
    ClickLabel* lblSelFolders1 = nullptr;
    ClickLabel* lblSelUpload1 = nullptr;
    QFrame* pnlTabsUpload = nullptr;
    TabPicture* imgTabsUpload = nullptr;
    ClickLabel* lblSelFolders2 = nullptr;
    ClickLabel* lblSelUpload2 = nullptr;
    QFrame* pnlselection = nullptr;
    QToolButton* btnSelectAll = nullptr;
    QToolButton* btndeselectall = nullptr;
    TQCheckThumbGrid* ThumbGrid = nullptr;
    QSplitter* splitter = nullptr;
    QFrame* pnlToolbar = nullptr;
    QFrame* pnlImageHolder = nullptr;
    QFrame* xpnlStatusbar = nullptr;
    QProgressBar* pbrLoad = nullptr;
    QLabel* lblFilename = nullptr;
    QToolButton* btnPrevious = nullptr;
    QToolButton* btnNext = nullptr;
    QLabel* lblZoom = nullptr;
    QToolButton* btnPalvoOn = nullptr;
    QToolButton* btnPalvoOff = nullptr;
    QToolButton* fullscreenbtn = nullptr;
    QLineEdit* edtdirectory = nullptr;

Q_SIGNALS:
    // Setup has run to its end (or stopped early).
    void setupFinished();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void Setup();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();
    void InitialCode();
    void CreateRegions();
    void PlaceWindow();
    void ApplyArtwork();
    void ConnectGeometry();
    void noteNormalBounds();
    void applyMaximumTrackingSize();
    [[nodiscard]] QSize geometryScreen() const;
    void HandleFirstArgument();
    void WaitForSplash();
    void HideSplash();
    void Terminate();
    void ShowStartupPicture();
    void pgcModesChange();
    // The keyboard map.
    void installKeyPreview();
    bool FormKeyDown(const QKeyEvent& event);
    bool FormKeyUp(const QKeyEvent& event);
    // Acts on a navigation key: delta places on, or (absolute 0) the first
    // or (absolute 1) the last picture in full screen.
    void navigationRule(int delta, int absolute);
    void ConnectControls();
    void WndProc(class MainMessageEvent& message);

    // The idle handler: runs when the event queue has just become empty.
    void scheduleIdle();
    void doidle();
    void idlePass();
    [[nodiscard]] bool reshowWanted() const;
    [[nodiscard]] bool precacheWanted() const;

    StartOptions options_;
    QSize screenSize_;
    QElapsedTimer startTime_;
    QPointer<TSplash> splash_;
    QEventLoop* splashWait_ = nullptr;
    std::unique_ptr<Uploadiface> upload_;
    std::unique_ptr<ProgressDisplay> progress_;
    std::unique_ptr<TIEFunctions> ieFunctions_;
    std::unique_ptr<UploadList> uploadList_;
    std::unique_ptr<LibraryController> library_;
    std::unique_ptr<PictureViewer> viewer_;
    QStringList handOffQueue_;
    bool setupRunning_ = false;
    bool closed_ = false;
    bool idleScheduled_ = false;
    bool inIdle_ = false;
    int panelWidthToRestore_ = 0;
    QRect normalBounds_;
    bool maximisedBeforeFullScreen_ = false;
    bool resizeHandlingEnabled_ = false;
    bool switchingFullScreen_ = false;
    WindowShowState lastResizeState_ = WindowShowState::Normal;
};

} // namespace palvo
