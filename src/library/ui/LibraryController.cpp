#include "library/ui/LibraryController.h"

#include "foundation/Messages.h"
#include "library/GridGeometry.h"
#include "library/ThumbnailCache.h"
#include "library/ui/PopFolder.h"
#include "library/ui/QCheckThumbGrid.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>

#include <algorithm>

namespace palvo {

LibraryController::LibraryController(LibraryHost& host, TQCheckThumbGrid& grid, QObject* parent)
    : QObject(parent), host_(host), grid_(grid) {
    folders_.hooks.reloadGrid = [this](bool reset, bool click, bool untick) {
        grid_.Reload(reset, click, untick);
    };
    folders_.hooks.repaintGrid = [this] { grid_.viewport()->update(); };
    folders_.hooks.focusGrid = [this] {
        if (gridVisible ? gridVisible() : grid_.isVisible())
            grid_.setFocus(Qt::OtherFocusReason);
    };
    folders_.hooks.selectionStatus = [this] { host_.doselectstatus(); };
    folders_.hooks.showFolderName = [this](const QString& name) {
        if (showFolderName)
            showFolderName(name);
    };
    folders_.hooks.busyCursor = [](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    };
    // The main window never pulls the view back to the current cell.
    grid_.OnTopLeftChanged = [] {};
    grid_.OnGetCheckStatus = [this](const QString& fileName, bool& checked) {
        ThumbGridGetCheckStatus(fileName, checked);
    };
    connect(&grid_, &TQCheckThumbGrid::OnCheckItem, this, &LibraryController::ThumbGridCheckItem);
    connect(&grid_, &TQCheckThumbGrid::gridMouseDown, this, &LibraryController::fileboxMouseDown);
    connect(&grid_, &TQCheckThumbGrid::gridMouseMove, this, &LibraryController::fileboxMouseMove);
    connect(&grid_, &TQCheckThumbGrid::gridMouseUp, this, &LibraryController::editfileGridMouseUp);
}

// ------------------------------------------------------------------ folders

// There are no drive letters here: a one-character path is a folder name
// (or the root "/") and is used as it stands.
void LibraryController::Change2Directory(const QString& path) {
    host_.clearcurrfile();
    folders_.Updatecurrentdirectory(path, false, true, false);
    host_.setWindowCaption(host_.programName() + QStringLiteral(" - ") +
                           folders_.GetCurrentFolder());
    if (host_.fullScreen())
        host_.GridIndexBeforeFullScreen() = 0;
    if (!folders_.folderList.isEmpty())
        host_.DoShowImage();
    host_.doselectstatus();
}

bool LibraryController::LoadDirectory(const QString& path, int index) {
    if (host_.Changed())
        host_.PromptSaveChanges(false, false);
    host_.clearcurrfile();
    const bool result = folders_.Updatecurrentdirectory(path, false, true, false);
    grid_.ClearSelection();
    if (index >= 0) {
        if (host_.fullScreen())
            host_.GridIndexBeforeFullScreen() = index;
        else
            grid_.SelectIndex(index, true);
    }
    grid_.viewport()->update();
    if (grid_.ItemCount() > 0)
        host_.setReshowRequested();
    host_.doselectstatus();
    return result;
}

void LibraryController::lblfolderClick(QWidget* btnRecentFolder) {
    if (popup_) {
        popup_->reject();
        return;
    }
    QPointer<TpopFolder> popup = new TpopFolder(folders_.RecentFolders, btnRecentFolder);
    popup_ = popup;
    if (btnRecentFolder)
        popup->move(btnRecentFolder->mapToGlobal(QPoint(1, btnRecentFolder->height())));
    popup->loadDirectory = [this](const QString& folder) {
        LoadDirectory(folder, -1);
        host_.showOriginalsView();
    };
    popup->exec();
    popup_ = nullptr;
    delete popup.data();
}

void LibraryController::BtnOpenFolderClick() {
    if (host_.Loading()) {
        host_.recordGetPicturesRequest();
        return;
    }
    if (host_.inModalStep())
        return;
    host_.enterModalStep();
    grid_.SuspendDiskCache();
    QString folder;
    const bool chosen = host_.runGetPicturesDialog(&folder);
    // Resumed after a cancel too: the dialog's grid has finished with the
    // shared folder either way, and a suspended cache would stop storing
    // thumbnails for the rest of the run.
    grid_.ResumeDiskCache();
    if (chosen) {
        Change2Directory(folder);
        host_.showOriginalsView();
    }
    host_.endKeypreparation();
}

void LibraryController::applySettings(const Settings& settings) {
    grid_.HideFileExtensions = settings.HideFileExtensions;
    grid_.viewport()->update();
}

void LibraryController::setupCaches(const QString& cacheFolder) {
    const QString folder = GetDiskCacheDirectory(cacheFolder);
    grid_.setDiskCacheDirectory(folder);
    grid_.cache().DiskCacheMaxCacheCount = std::int16_t(GetDiskCacheMaxCount(folder));
}

void LibraryController::deletethumb(const QString& fileName, bool memoryOnly) {
    grid_.InvalidateThumbnail(memoryOnly ? 0 : 2, fileName);
}

// ------------------------------------------------------------------ grid

void LibraryController::ThumbGridGetCheckStatus(const QString& fileName, bool& isChecked) const {
    isChecked = host_.inUploadView() || host_.FindInUploadList(fileName);
}

void LibraryController::ThumbGridCheckItem(const QString& fileName, bool) {
    if (host_.inUploadView()) {
        host_.RemoveFromUploadList(fileName);
        grid_.Reload(false, false, false);
        if (fileName == host_.CurrentFile()) {
            UpdateFileBoxAndPosition(QString(), true);
            host_.clearcurrfile();
            if (grid_.ItemCount() > 0)
                host_.DoShowImage();
            else
                host_.clearViewer();
        }
    } else if (!host_.FindInUploadList(fileName)) {
        const bool isCurrent = fileName == host_.CurrentFile();
        if (isCurrent)
            host_.ClearEditactions();
        if (!isCurrent || !host_.Changed()) {
            host_.AddToUploadList(fileName);
        } else {
            host_.PromptSaveChanges(true, true);
            host_.postRepaintGrid();
        }
    } else {
        host_.RemoveFromUploadList(fileName);
    }
    grid_.viewport()->update();
    host_.doselectstatus();
}

void LibraryController::fileboxMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPoint position) {
    host_.switchRedEyeOff();
    pressRemembered_ = true;
    pressPosition_ = position;
    if (host_.inModalStep())
        host_.endKeypreparation();
}

void LibraryController::fileboxMouseMove(Qt::MouseButtons buttons, QPoint position) {
    if (!pressRemembered_ || !(buttons & (Qt::LeftButton | Qt::RightButton)))
        return;
    const QPoint moved = position - pressPosition_;
    if (!dragThresholdPassed(moved.x(), moved.y()))
        return;
    pressRemembered_ = false;
    if (host_.Loading())
        host_.setAbortRequested();
    storeposition();
    QStringList files;
    if (grid_.GetSelectedFiles(files) == 0)
        return;
    host_.startFileDrag(files);
    if (files.size() == 1) {
        grid_.ClearSelection();
        grid_.SelectIndex(grid_.PreviousIndex, true);
    } else {
        grid_.SetCurrentIndex(grid_.PreviousIndex);
    }
}

void LibraryController::editfileGridMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
    pressRemembered_ = false;
    host_.doselectstatus();
    if (grid_.CurrentFileName() != host_.CurrentFile()) {
        if (host_.Loading())
            host_.setReshowRequested();
        else
            host_.DoShowImage();
    }
    if (button == Qt::RightButton && !host_.CurrentFile().isEmpty())
        host_.popupFiles(QCursor::pos());
}

void LibraryController::storeposition() {
    position_ = host_.fullScreen() ? host_.GridIndexBeforeFullScreen() : grid_.CurrentIndex;
}

void LibraryController::UpdateFileBoxAndPosition(const QString& fileName, bool relist) {
    grid_.BlockDrawing = true;
    try {
        if (relist)
            folders_.fbxsourceupdate();
        if (!fileName.isEmpty()) {
            position_ = int(folders_.folderList.indexOf(fileName));
            if (position_ < 0)
                position_ = int(folders_.folderList.indexOf(QLatin1Char(';') + fileName));
        }
        if (grid_.ItemCount() > 0) {
            position_ = std::clamp(position_, 0, grid_.ItemCount() - 1);
            if (host_.fullScreen())
                host_.GridIndexBeforeFullScreen() = position_;
            else
                grid_.SelectIndex(position_, true);
        }
    } catch (...) {
    }
    grid_.BlockDrawing = false;
    if (!host_.fullScreen())
        grid_.viewport()->update();
}

void LibraryController::btnSelectAllClick(bool select) {
    if (!host_.inUploadView()) {
        for (const QString& entry : folders_.folderList) {
            const QString file = entry.startsWith(QLatin1Char(';')) ? entry.mid(1) : entry;
            if (select)
                host_.AddToUploadList(file);
            else
                host_.RemoveFromUploadList(file);
        }
        grid_.viewport()->update();
        host_.doselectstatus();
        return;
    }
    if (select)
        return;
    if (qMessageDlg(QStringLiteral(
                        "Are you sure you want to clear all the pictures in your upload folder?"),
                    MsgType::Confirmation, mbOKCancel) == mrCancel)
        return;
    host_.clearUploadList();
    host_.setCurrentFile(QString());
    grid_.Reload(true, false, false);
    host_.doselectstatus();
}

void LibraryController::DoButtonStatus() {
    host_.setPictureToolsEnabled(!host_.CurrentFile().isEmpty() && !host_.LoadFailed());
}

bool LibraryController::checkifhasitems(bool selectedOnly) const {
    return selectedOnly ? grid_.SelectedCount() > 0 : grid_.ItemCount() > 0;
}

} // namespace palvo
