// The main window's two views, the selection status and the picture on show;
// and the main window as host of the picture library and the upload run.
#include "shell/ui/MainUnit.h"

#include "controls/ui/ClickLabel.h"
#include "foundation/QFileRoutine.h"
#include "library/FolderNavigation.h"
#include "library/TextRoutines.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/ui/MainMessages.h"
#include "shell/ui/ProgressDisplay.h"
#include "upload/UploadList.h"
#include "upload/Uploadiface.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace palvo {

void TfrmMain::ConnectControls() {
    connect(btnUpload, &QToolButton::clicked, this, &TfrmMain::btnUploadClick);
    connect(btnRecentFolder, &QToolButton::clicked, this,
            [this] { library_->lblfolderClick(btnRecentFolder); });
    connect(BtnOpenFolder, &QToolButton::clicked, this, &TfrmMain::BtnOpenFolderClick);
    connect(btnSelectAll, &QToolButton::clicked, this,
            [this] { library_->btnSelectAllClick(true); });
    connect(btndeselectall, &QToolButton::clicked, this,
            [this] { library_->btnSelectAllClick(false); });
    connect(btnPrevious, &QToolButton::clicked, this, &TfrmMain::btnPreviousClick);
    connect(btnNext, &QToolButton::clicked, this, &TfrmMain::btnNextClick);
    for (ClickLabel* label : {lblSelFolders1, lblSelFolders2})
        connect(label, &ClickLabel::clicked, this, [this] { lblSelUpload1Click(true); });
    for (ClickLabel* label : {lblSelUpload1, lblSelUpload2})
        connect(label, &ClickLabel::clicked, this, [this] { lblSelUpload1Click(false); });
    for (TabPicture* tabs : {imgTabsFolders, imgTabsUpload})
        connect(tabs, &TabPicture::released, this, &TfrmMain::imgTabsFoldersMouseUp);
    // A click on a thumbnail makes it the picture on show.
    connect(ThumbGrid, &TQCheckThumbGrid::gridMouseUp, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers, QPoint) {
                if (button == Qt::LeftButton && ThumbGrid->CurrentFileName() != currentFile_)
                    DoShowImage();
            });
}

// ------------------------------------------------------------------ views

bool TfrmMain::folderViewActive() const {
    return !pnlTabsFolders->isHidden();
}

void TfrmMain::SwitchView(bool foldersView, bool force) {
    if (!force && foldersView == folderViewActive())
        return;
    pnlTabsFolders->setVisible(foldersView);
    pnlTabsUpload->setVisible(!foldersView);
    // The upload view shows the list itself; it is only ever changed through
    // the upload list's own operations.
    ThumbGrid->setAttachedListBox(foldersView ? &navigation().folderList
                                              : const_cast<QStringList*>(&uploadList_->entries()));
    currentFile_.clear();
    ThumbGrid->Reload(true, true, true);
    doselectstatus();
    if (ThumbGrid->ItemCount() == 0)
        clearViewer();
    else
        DoShowImage();
}

void TfrmMain::imgTabsFoldersMouseUp(int x) {
    auto* tabs = qobject_cast<QWidget*>(sender());
    const int half = (tabs ? tabs->width() : imgTabsFolders->width()) / 2;
    SwitchView(x < half, false);
}

void TfrmMain::lblSelUpload1Click(bool originals) {
    if (Changed())
        PromptSaveChanges(false, false);
    SwitchView(originals, false);
}

void TfrmMain::pgcModesChange() {
    QStringList kept;
    for (const QString& path : PendingDeletion) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            kept << path;
    }
    PendingDeletion = kept;
    navigation().fbxsourceupdate();
    doselectstatus();
}

void TfrmMain::doselectstatus() {
    int position = 0;
    int selected = 0;
    const int total = ThumbGrid->ItemCount();
    if (fullScreen_) {
        if (gridIndexBeforeFullScreen_ < 0)
            gridIndexBeforeFullScreen_ = 0;
        position = gridIndexBeforeFullScreen_ + 1;
        selected = 1;
    } else {
        position = ThumbGrid->CurrentIndex + 1;
        selected = ThumbGrid->SelectedCount();
        if (selected == 0 && !currentFile_.isEmpty())
            selected = 1;
    }
    btnUpload->setEnabled(!uploadList_->isEmpty());
    btnPrevious->setEnabled(total > 0 && position > 1);
    btnNext->setEnabled(total > 0 && position < total);
    library_->DoButtonStatus();
    if (qMin(selected, total) < 1) {
        lblFilename->clear();
        setWindowTitle(settings.programName() +
                       QStringLiteral(" - Folder: %1").arg(GetCurrentFolder()));
    }
    const QString originals = QStringLiteral("originals (%1)").arg(navigation().folderList.size());
    const QString toUpload = QStringLiteral("to upload (%1)").arg(uploadList_->count());
    lblSelFolders1->setText(originals);
    lblSelFolders2->setText(originals);
    lblSelUpload1->setText(toUpload);
    lblSelUpload2->setText(toUpload);
    btndeselectall->setEnabled(!uploadList_->isEmpty());
    btnSelectAll->setEnabled(folderViewActive());
}

QString TfrmMain::ExtractJustName(const QString& path) {
    QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

void TfrmMain::setcurrfile(const QString& fileName) {
    if (!fileName.isEmpty())
        currentFile_ = fileName;
    else
        currentFile_ = ThumbGrid->FileNameAt(fullScreen_ ? gridIndexBeforeFullScreen_
                                                         : ThumbGrid->CurrentIndex);
    docurrfileinfo();
}

void TfrmMain::docurrfileinfo() {
    if (currentFile_.isEmpty())
        return;
    setWindowTitle(settings.programName() + QStringLiteral(" - ") +
                   QFileInfo(currentFile_).fileName());
    lblFilename->setText(MinimizeString(lblFilename->fontMetrics(), lblFilename->width(),
                                        ExtractJustName(currentFile_)));
}

void TfrmMain::clearcurrfile() {
    currentFile_.clear();
    lblFilename->clear();
    loadFailed_ = true;
    clearViewer();
    doselectstatus();
}

void TfrmMain::clearViewer() {}

void TfrmMain::ShowImage() {
    // The viewer shows the picture; until it is wired in, the picture on show
    // is the grid's current one.
    if (FileGivenExplicitly && !currentFile_.isEmpty())
        setcurrfile(currentFile_);
    else
        setcurrfile(QString());
    FileGivenExplicitly = false;
    loadFailed_ = currentFile_.isEmpty();
    doselectstatus();
}

bool TfrmMain::StepPicture(int delta) {
    const int count = ThumbGrid->ItemCount();
    if (count == 0)
        return false;
    const int base = fullScreen_ ? qMax(0, gridIndexBeforeFullScreen_) : ThumbGrid->CurrentIndex;
    int target = base + delta;
    bool hitEnd = false;
    if (target < 0) {
        target = 0;
        hitEnd = true;
    } else if (target > count - 1) {
        target = count - 1;
        hitEnd = true;
    }
    if (fullScreen_)
        gridIndexBeforeFullScreen_ = target;
    else
        ThumbGrid->SelectIndex(target, true);
    return hitEnd;
}

void TfrmMain::btnPreviousClick() {
    StepPicture(-1);
    DoShowImage();
}

void TfrmMain::btnNextClick() {
    StepPicture(+1);
    DoShowImage();
}

// ------------------------------------------------------------------ commands

void TfrmMain::Keypreparation(bool resolveChanges) {
    KeyPreview = false;
    if (resolveChanges && Changed())
        PromptSaveChanges(false, false);
}

void TfrmMain::endKeypreparation() {
    KeyPreview = true;
}

void TfrmMain::BtnOpenFolderClick() {
    library_->BtnOpenFolderClick();
    edtdirectory->setText(GetCurrentFolder());
}

void TfrmMain::recordGetPicturesRequest() {
    GetPicturesRequest = true;
    scheduleIdle();
}

bool TfrmMain::runGetPicturesDialog(QString* folder) {
    // The standard folder chooser stands in for the Get Pictures dialog.
    *folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Get Pictures"), GetCurrentFolder());
    return !folder->isEmpty();
}

void TfrmMain::btnUploadClick() {
    UploadContext context{*uploadList_,
                          settings,
                          serviceConfig,
                          folders,
                          uploadLibrary(),
                          *this,
                          QThread::idealThreadCount()};
    btnUploadClickResult = palvo::btnUploadClick(context).outcome;
}

// ------------------------------------------------------------------ hosts

bool TfrmMain::FindInUploadList(const QString& fileName) const {
    return uploadList_->FindInUploadList(fileName) >= 0;
}

void TfrmMain::AddToUploadList(const QString& fileName) {
    uploadList_->AddToUploadList(fileName);
}

void TfrmMain::RemoveFromUploadList(const QString& fileName) {
    uploadList_->RemoveFromUploadList(fileName);
}

void TfrmMain::clearUploadList() {
    uploadList_->clear();
}

void TfrmMain::setReshowRequested() {
    ShowPictureRequest = true;
    scheduleIdle();
}

void TfrmMain::postRepaintGrid() {
    postMessage(WM_REPAINT_GRID);
}

void TfrmMain::startFileDrag(const QStringList&) {}

QStringList TfrmMain::currentFolderPictures() {
    QStringList pictures;
    for (const QString& entry : navigation().folderList)
        pictures << entryPath(entry);
    return pictures;
}

void TfrmMain::setBusyCursor(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TfrmMain::showProgress(int current, int total, const QString& message, const QString& caption,
                            bool canCancel) {
    progressDisplay().showprogress(true, true, current, total, message, caption, canCancel);
}

void TfrmMain::hideProgress() {
    progressDisplay().hideprogress();
}

void TfrmMain::processEvents() {
    QCoreApplication::processEvents();
}

void TfrmMain::uploadListEmptied() {
    if (folderViewActive()) {
        ThumbGrid->ClearSelection();
        ThumbGrid->Reload(false, false, false);
    }
    ThumbGrid->viewport()->update();
    doselectstatus();
}

} // namespace palvo
