#pragma once

#include "acquire/CameraDetection.h"
#include "foundation/ProgramFolders.h"
#include "foundation/ServiceConfig.h"
#include "foundation/SettingsStore.h"
#include "imaging/ui/PictureViewer.h"
#include "library/ui/LibraryController.h"
#include "shell/MenuRules.h"
#include "shell/WindowGeometry.h"
#include "upload/UploadRun.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QSize>

#include <initializer_list>
#include <memory>
#include <optional>

class QAbstractButton;
class QAction;
class QEventLoop;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
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

// Controls and menu items of commands that come with later work: each call
// marks one command's controls disabled with the hint "Not available yet".
// Marked controls stay disabled whatever an enabling rule says.
void markNotAvailable(std::initializer_list<QObject*> controls);
[[nodiscard]] bool isNotAvailable(const QObject* control);
// An enabling rule's result for an action or widget, unless it is marked.
void setEnabledUnlessNotAvailable(QObject* control, bool enabled);

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
    // folders) and the grid's controller.
    [[nodiscard]] UploadList& uploadList() { return *uploadList_; }
    [[nodiscard]] FolderNavigation& navigation() { return library_->folders(); }
    [[nodiscard]] LibraryController& library() { return *library_; }

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
    void ClearEditactions() override { endActiveEditTool(); }
    void PromptSaveChanges(bool, bool) override {}
    void DoShowImage() override;
    void clearViewer() override;
    void setAbortRequested() override { viewer_->setAbortRequested(); }
    void setReshowRequested() override;
    void postRepaintGrid() override;
    void setWindowCaption(const QString& caption) override { setWindowTitle(caption); }
    [[nodiscard]] QString programName() const override { return settings.programName(); }
    void setPictureToolsEnabled(bool enabled) override;
    void switchRedEyeOff() override { cancelredeye(); }
    [[nodiscard]] bool inModalStep() const override { return !KeyPreview; }
    void showOriginalsView() override { SwitchView(true, false); }
    void recordGetPicturesRequest() override;
    bool runGetPicturesDialog(QString* folder) override;
    void startFileDrag(const QStringList& files) override;
    void popupFiles(QPoint globalPosition) override;

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
    [[nodiscard]] bool cropUnderWay() const override { return CropButtonDown(); }
    [[nodiscard]] bool redEyeActive() const override;
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

    // --- menus and edit tools
    // A menu label was pressed: its menu drops down under it.
    void lblFileMenuMouseDown(QLabel* label);
    // The enabling rules, run as each menu opens.
    void MenuImageClick();
    void mnuEditClick();
    void popPhotoMenuPopup();
    void MenuViewClick();
    void PophelpmenuPopup();
    void PopupfilesPopup();
    // The site menu's label follows the service configuration.
    void updateSiteMenu();
    // A key's route to a menu command: the menus' rules run first, and the
    // command runs only when its item is enabled.
    void runMenuCommand(QAction* action);
    void mkAboutClick();
    // A crop button is down.
    [[nodiscard]] bool CropButtonDown() const;
    // Ends a crop: buttons up, no selection, apply, cancel and hint hidden.
    void endCrop(bool applied);
    // Ends the red-eye tool without applying it.
    void cancelredeye();
    // Ends a crop, else the red-eye tool; false when neither was active.
    bool endActiveEditTool();
    // What the Edit menu shows of the undo history; kept by the undo steps.
    UndoState undoState;

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

    // The menu bar's labels and their menus.
    QLabel* lblFileMenu = nullptr;
    QLabel* lblPictureMenu = nullptr;
    QLabel* lblEditMenu = nullptr;
    QLabel* lblCreativeMenu = nullptr;
    QLabel* lblSiteMenu = nullptr;
    QLabel* lblHelpMenu = nullptr;
    QMenu* Popfilemenu = nullptr;
    QMenu* popPhotoMenu = nullptr;
    QMenu* mnuEdit = nullptr;
    QMenu* MenuView = nullptr;
    QMenu* Popsitemenu = nullptr;
    QMenu* Pophelpmenu = nullptr;
    // File
    QAction* mkGetPhotos = nullptr;
    QAction* mkSave = nullptr;
    QAction* mkSaveAs = nullptr;
    QAction* mksavetoupload = nullptr;
    QAction* mkFileInfo = nullptr;
    QAction* mkExit = nullptr;
    // Edit
    QAction* mkUndo = nullptr;
    QAction* mkRedo = nullptr;
    QAction* mkClipboard = nullptr;
    QAction* mkPaste = nullptr;
    QAction* mkSelectAll = nullptr;
    QAction* mkDeselectall = nullptr;
    QAction* mkPreferences = nullptr;
    // Picture
    QAction* mkZoom = nullptr;
    QAction* mkZoomIn = nullptr;
    QAction* mkZoomOut = nullptr;
    QAction* mkRotate = nullptr;
    QAction* mkRotateLeft = nullptr;
    QAction* mkRotateRight = nullptr;
    QAction* mkCrop = nullptr;
    QAction* mkPalvoCrop = nullptr;
    QAction* mkFreeCrop = nullptr;
    QAction* mkQuickFix = nullptr;
    QAction* mkRedEye = nullptr;
    // Creative Tools
    QAction* mkPostcard = nullptr;
    QAction* mkPostcardLeft = nullptr;
    QAction* mkPostcardRight = nullptr;
    QAction* mkCaption = nullptr;
    QAction* mkCaptionTop = nullptr;
    QAction* mkCaptionBottom = nullptr;
    QAction* mkPalvoStationery = nullptr;
    QAction* mkPalvoHolidays = nullptr;
    QAction* mkPalvoOccasions = nullptr;
    QAction* mkDownloadStat = nullptr;
    QAction* mkBackgroundColor = nullptr;
    // site
    QAction* mkSignUp = nullptr;
    QAction* mkUpload = nullptr;
    QAction* mkOrder = nullptr;
    QAction* mkShare = nullptr;
    QAction* mkVisit = nullptr;
    // Help
    QAction* Contents1 = nullptr;
    QAction* mkQuickStart = nullptr;
    QAction* mkHelpCenter = nullptr;
    QAction* mkCheckUpdate = nullptr;
    QAction* mkAbout = nullptr;
    // The picture context menu.
    QMenu* Popupfiles = nullptr;
    QAction* mkRename = nullptr;
    QAction* mkFileDescription = nullptr;
    QAction* pukRotate = nullptr;
    QAction* Rotateleft1 = nullptr;
    QAction* pukrotate90 = nullptr;
    QAction* pukCrop = nullptr;
    QAction* pukPalvoCrop = nullptr;
    QAction* pukFreecrop = nullptr;
    QAction* Quickfix1 = nullptr;
    QAction* pukredeye = nullptr;
    QAction* pukZoom = nullptr;
    QAction* pukZoomIn = nullptr;
    QAction* pukZoomOut = nullptr;

    // The edit toolbar, its caption strips, the pending edit's apply and
    // cancel buttons and the hint panels over the picture.
    QToolButton* btnrotate270 = nullptr;
    QToolButton* btnrotate90 = nullptr;
    QToolButton* btnZoomIn2 = nullptr;
    QToolButton* btnZoomOut = nullptr;
    QToolButton* btnPalvoCrop = nullptr;
    QToolButton* btnFreeCrop = nullptr;
    QToolButton* btnQuickFix = nullptr;
    QToolButton* btnredeye = nullptr;
    QToolButton* btnAddText = nullptr;
    QWidget* imgButtonTextEnabled = nullptr;
    QWidget* imgButtonTextDisabled = nullptr;
    QToolButton* btndocrop = nullptr;
    QToolButton* btnCancelCrop = nullptr;
    QFrame* pnlCrop = nullptr;
    QFrame* pnlRedEye = nullptr;
    // Status bar additions.
    QToolButton* btnRename = nullptr;
    QToolButton* btnFileInfo = nullptr;
    QLabel* imgPalvoEn = nullptr;
    QLabel* imgPalvoDis = nullptr;

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
    void CreateMenuBar(QWidget* bar);
    void CreateToolbar();
    void CreateMenus();
    void markLaterCommands();
    [[nodiscard]] QMenu* menuOfLabel(const QLabel* label) const;
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
