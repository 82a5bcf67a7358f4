#pragma once

#include "acquire/CameraDetection.h"
#include "foundation/ProgramFolders.h"
#include "foundation/ServiceConfig.h"
#include "foundation/SettingsStore.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QSize>

#include <memory>
#include <optional>

class QEventLoop;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSplitter;

namespace palvo {

class ProgressDisplay;
class TSplash;
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
class TfrmMain : public QMainWindow {
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
    QStringList RecentFolders;
    QStringList UploadList;
    QStringList PendingDeletion;

    // The current folder (shown in the folders view) and picture.
    [[nodiscard]] QString GetCurrentFolder() const;
    [[nodiscard]] QString currentFile() const { return currentFile_; }
    [[nodiscard]] QString GetFolder(int kind) const;
    [[nodiscard]] Uploadiface& uploadLibrary();
    [[nodiscard]] ProgressDisplay& progressDisplay();

    // Posts one of the internal messages to this window.
    void postMessage(int message, const QString& text = QString(), bool flag = false);
    // Posts WM_SHOW_IMAGE: the current picture is shown after the current event.
    void DoShowImage();

    // The camera drive waiting for the next idle moment, and the camera
    // switch as the preferences last read it (off until they are opened).
    PendingCamera pendingCamera;
    bool UseAppforCameraInMemory = false;
    // The busy gate: when off, the keyboard map is silent and a pending
    // camera launch waits.
    bool KeyPreview = true;
    bool ShowPictureRequest = false;
    bool GridRepaintRequest = false;

    // Opens a picture given by its path: its folder becomes the current folder
    // and the picture the current one.
    void directshow(const QString& path);

    // Regions of the window (filled by the window's later parts).
    QFrame* pnlMenu = nullptr;
    QLabel* imgLogo1 = nullptr;
    QFrame* LeftPanel = nullptr;
    QFrame* pnlGetPhotos = nullptr;
    QLabel* lblfolder = nullptr;
    QFrame* pnlTabsFolders = nullptr;
    QFrame* pnlTabsUpload = nullptr;
    QFrame* pnlselection = nullptr;
    QFrame* ThumbGrid = nullptr;
    QSplitter* splitter = nullptr;
    QFrame* pnlToolbar = nullptr;
    QFrame* Qimage = nullptr;
    QFrame* xpnlStatusbar = nullptr;
    QProgressBar* pbrLoad = nullptr;
    QLabel* lblFilename = nullptr;
    QLineEdit* edtdirectory = nullptr;

Q_SIGNALS:
    // Setup has run to its end (or stopped early).
    void setupFinished();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

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
    void StoreWindowPosition();
    void HandleFirstArgument();
    void WaitForSplash();
    void HideSplash();
    void Terminate();
    void ShowStartupPicture();
    void WndProc(class MainMessageEvent& message);

    // The idle handler: runs when the event queue has just become empty.
    void scheduleIdle();
    void doidle();
    void idlePass();
    [[nodiscard]] bool idleWorkPending() const;

    StartOptions options_;
    QSize screenSize_;
    QElapsedTimer startTime_;
    QPointer<TSplash> splash_;
    QEventLoop* splashWait_ = nullptr;
    std::unique_ptr<Uploadiface> upload_;
    std::unique_ptr<ProgressDisplay> progress_;
    QString currentFolder_;
    QString currentFile_;
    QStringList handOffQueue_;
    bool setupRunning_ = false;
    bool closed_ = false;
    bool idleScheduled_ = false;
    bool inIdle_ = false;
    bool fullScreen_ = false;
    int panelWidthToRestore_ = 0;
    QRect normalBounds_;
};

} // namespace palvo
