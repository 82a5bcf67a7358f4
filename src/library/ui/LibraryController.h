#pragma once

#include "foundation/SettingsStore.h"
#include "library/FolderNavigation.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

class QWidget;

namespace palvo {

class TQCheckThumbGrid;
class TpopFolder;

// What the picture library needs of the main window. TfrmMain implements it;
// tests give a recording fake.
class LibraryHost {
public:
    virtual ~LibraryHost() = default;
    // --- views and the upload list
    [[nodiscard]] virtual bool inUploadView() const = 0;
    [[nodiscard]] virtual bool FindInUploadList(const QString& fileName) const = 0;
    // Appended unless listed, then the list is saved.
    virtual void AddToUploadList(const QString& fileName) = 0;
    // May ask and delete a work-folder copy.
    virtual void RemoveFromUploadList(const QString& fileName) = 0;
    // Empties the list without saving it or deleting files.
    virtual void clearUploadList() = 0;
    // --- the picture on show
    [[nodiscard]] virtual QString CurrentFile() const = 0;
    virtual void setCurrentFile(const QString& fileName) = 0;
    [[nodiscard]] virtual bool Changed() const = 0;
    [[nodiscard]] virtual bool Loading() const = 0;
    [[nodiscard]] virtual bool LoadFailed() const = 0;
    [[nodiscard]] virtual bool fullScreen() const = 0;
    virtual int& GridIndexBeforeFullScreen() = 0;
    virtual void clearcurrfile() = 0;
    virtual void ClearEditactions() = 0;
    // The save-changes step for the shown picture; queueForUpload asks to add
    // it to the upload list, showAgain shows it again afterwards.
    virtual void PromptSaveChanges(bool queueForUpload, bool showAgain) = 0;
    virtual void DoShowImage() = 0;
    virtual void clearViewer() = 0;
    virtual void setAbortRequested() = 0;
    virtual void setReshowRequested() = 0;
    // Posts the message that repaints the grid.
    virtual void postRepaintGrid() = 0;
    // --- the rest of the window
    virtual void doselectstatus() = 0;
    virtual void setWindowCaption(const QString& caption) = 0;
    // The program name that starts every window caption.
    [[nodiscard]] virtual QString programName() const { return QStringLiteral("Palvo Sender"); }
    // The picture tools' buttons, label pictures and zoom label.
    virtual void setPictureToolsEnabled(bool enabled) = 0;
    virtual void switchRedEyeOff() = 0;
    // Key preview off: a modal step is in progress; endKeypreparation leaves it.
    [[nodiscard]] virtual bool inModalStep() const = 0;
    virtual void endKeypreparation() = 0;
    // --- folder commands. A window without the Get Pictures dialog keeps
    // these defaults: the dialog counts as cancelled.
    // Switches the left pane to the originals view.
    virtual void showOriginalsView() {}
    // Enters the modal step (Keypreparation with unsaved changes resolved).
    virtual void enterModalStep() {}
    // Remembers a Get Pictures command for the idle handler.
    virtual void recordGetPicturesRequest() {}
    // Shows the Get Pictures dialog; true with its folder when it closed with
    // OK. Clears the dialog's flags and destroys it.
    virtual bool runGetPicturesDialog(QString* /*folder*/) { return false; }
    // Hands the files to the file drag.
    virtual void startFileDrag(const QStringList& files) = 0;
    // The picture context menu at the pointer.
    virtual void popupFiles(QPoint globalPosition) = 0;
};

// The main window's handlers of the check grid and of the folder commands,
// over the grid and the host. TfrmMain owns one; the constructor connects the
// grid's signals and tick handler to it and keeps the grid's view where the
// user scrolled it.
class LibraryController : public QObject {
    Q_OBJECT
public:
    LibraryController(LibraryHost& host, TQCheckThumbGrid& grid, QObject* parent = nullptr);

    FolderNavigation& folders() { return folders_; }
    // The folder list the originals view shows.
    QStringList* folderList() { return &folders_.folderList; }
    // Shows the current folder's name in the folder label (the main window
    // shortens it to the label with MinimizeString).
    std::function<void(const QString& name)> showFolderName;
    // Whether the grid is visible (the listing then gives it the focus).
    std::function<bool()> gridVisible;

    // --- folder commands
    void Change2Directory(const QString& path);
    bool LoadDirectory(const QString& path, int index);
    bool fbxsourceupdate() { return folders_.fbxsourceupdate(); }
    // Opens the recent-folders pop-up under the button, or closes it.
    void lblfolderClick(QWidget* btnRecentFolder);
    [[nodiscard]] TpopFolder* recentPopup() const { return popup_; }
    // Get Pictures: the dialog, then the folder it chose.
    void BtnOpenFolderClick();

    // The grid settings that come from the user's settings.
    void applySettings(const Settings& settings);

    // --- caches
    // The disk cache in the cache folder (created when missing), sized by
    // the free space there.
    void setupCaches(const QString& cacheFolder);
    // Both caches forget the file (only memory when memoryOnly).
    void deletethumb(const QString& fileName, bool memoryOnly);

    // --- grid handlers
    void ThumbGridGetCheckStatus(const QString& fileName, bool& isChecked) const;
    void ThumbGridCheckItem(const QString& fileName, bool requested);
    void fileboxMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void fileboxMouseMove(Qt::MouseButtons buttons, QPoint position);
    void editfileGridMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                             QPoint position);
    void UpdateFileBoxAndPosition(const QString& fileName, bool relist);
    // select: the Select All button or menu item; otherwise deselect.
    void btnSelectAllClick(bool select);
    void DoButtonStatus();
    [[nodiscard]] bool checkifhasitems(bool selectedOnly) const;
    // The remembered grid position for file operations.
    void storeposition();
    [[nodiscard]] int rememberedPosition() const { return position_; }

private:
    LibraryHost& host_;
    TQCheckThumbGrid& grid_;
    TpopFolder* popup_ = nullptr;
    FolderNavigation folders_;
    int position_ = 0;
    bool pressRemembered_ = false;
    QPoint pressPosition_;
};

} // namespace palvo
