// The main window's two views, the selection status and the picture on show;
// and the main window as host of the picture library and the upload run.
#include "shell/ui/MainUnit.h"

#include "controls/ui/ClickLabel.h"
#include "controls/ui/Controls.h"
#include "foundation/QFileRoutine.h"
#include "imaging/ui/PictureView.h"
#include "library/FolderNavigation.h"
#include "library/TextRoutines.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/ui/MainMessages.h"
#include "shell/ui/ProgressDisplay.h"
#include "upload/UploadList.h"
#include "upload/Uploadiface.h"

#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
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
    // The mode follows the button pressed, whatever state the click toggled
    // it to; the viewer then sets both buttons.
    connect(btnPalvoOn, &QToolButton::clicked, this, [this] { viewer_->btnPalvoOffClick(true); });
    connect(btnPalvoOff, &QToolButton::clicked, this, [this] { viewer_->btnPalvoOffClick(false); });
    connect(fullscreenbtn, &QToolButton::clicked, this,
            [this] { viewer_->dofullscreen(!viewer_->fullScreen()); });
    connect(viewer_.get(), &PictureViewer::loadEnded, this, [this] { scheduleIdle(); });
    connect(btnNext, &QToolButton::clicked, this, &TfrmMain::btnNextClick);
    for (ClickLabel* label : {lblSelFolders1, lblSelFolders2})
        connect(label, &ClickLabel::clicked, this, [this] { lblSelUpload1Click(true); });
    for (ClickLabel* label : {lblSelUpload1, lblSelUpload2})
        connect(label, &ClickLabel::clicked, this, [this] { lblSelUpload1Click(false); });
    for (TabPicture* tabs : {imgTabsFolders, imgTabsUpload})
        connect(tabs, &TabPicture::released, this, &TfrmMain::imgTabsFoldersMouseUp);
    // A click on a thumbnail is the library's (editfileGridMouseUp): it shows
    // the clicked picture, or remembers the show while one is loading.
    // The right button on the picture opens the picture context menu.
    connect(&viewer_->view(), &PictureView::pictureMouseReleased, this,
            [this](Qt::MouseButton button, QPointF) {
                if (button == Qt::RightButton)
                    popupFiles(QCursor::pos());
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
    viewer_->state.CurrentFile.clear();
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
    viewer_->setAbortRequested();
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
    int& slide = GridIndexBeforeFullScreen();
    if (fullScreen()) {
        if (slide < 0)
            slide = 0;
        position = slide + 1;
        selected = 1;
    } else {
        position = ThumbGrid->CurrentIndex + 1;
        selected = ThumbGrid->SelectedCount();
        if (selected == 0 && !CurrentFile().isEmpty())
            selected = 1;
    }
    btnUpload->setEnabled(!uploadList_->isEmpty());
    btnPrevious->setEnabled(total > 0 && position > 1);
    btnNext->setEnabled(total > 0 && position < total);
    btnPalvoOn->setEnabled(total > 0);
    btnPalvoOff->setEnabled(total > 0);
    imgPalvoEn->setVisible(total > 0);
    imgPalvoDis->setVisible(total == 0);
    fullscreenbtn->setEnabled(total > 0);
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
    QString& current = viewer_->state.CurrentFile;
    if (!fileName.isEmpty())
        current = fileName;
    else
        current = ThumbGrid->FileNameAt(fullScreen() ? GridIndexBeforeFullScreen()
                                                     : ThumbGrid->CurrentIndex);
    docurrfileinfo();
}

void TfrmMain::docurrfileinfo() {
    const QString& current = CurrentFile();
    if (current.isEmpty())
        return;
    setWindowTitle(settings.programName() + QStringLiteral(" - ") + QFileInfo(current).fileName());
    lblFilename->setText(
        MinimizeString(lblFilename->fontMetrics(), lblFilename->width(), ExtractJustName(current)));
}

void TfrmMain::clearcurrfile() {
    viewer_->state.CurrentFile.clear();
    lblFilename->clear();
    viewer_->state.LoadFailed = true;
    viewer_->clearViewer();
    doselectstatus();
}

void TfrmMain::clearViewer() {
    viewer_->clearViewer();
}

bool TfrmMain::StepPicture(int delta) {
    const int count = ThumbGrid->ItemCount();
    if (count == 0)
        return false;
    const int base = fullScreen() ? qMax(0, GridIndexBeforeFullScreen()) : ThumbGrid->CurrentIndex;
    int target = base + delta;
    bool hitEnd = false;
    if (target < 0) {
        target = 0;
        hitEnd = true;
    } else if (target > count - 1) {
        target = count - 1;
        hitEnd = true;
    }
    if (fullScreen())
        GridIndexBeforeFullScreen() = target;
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

void TfrmMain::setPictureToolsEnabled(bool enabled) {
    for (QToolButton* tool :
         {btnrotate90, btnQuickFix, btnrotate270, btnredeye, btnFreeCrop, btnPalvoCrop, btnZoomOut,
          btnZoomIn2, btnAddText, btnRename, btnFileInfo})
        setEnabledUnlessNotAvailable(tool, enabled);
    imgButtonTextEnabled->setVisible(enabled);
    imgButtonTextDisabled->setVisible(!enabled);
    lblZoom->setVisible(enabled);
}

void TfrmMain::Keypreparation(bool resolveChanges) {
    endActiveEditTool();
    KeyPreview = false;
    // A load under way stops; its show is replayed once the gate opens.
    viewer_->setAbortRequested();
    if (resolveChanges && Changed())
        PromptSaveChanges(false, false);
}

void TfrmMain::endKeypreparation() {
    KeyPreview = true;
    // Deferred work held back by the gate may go on.
    scheduleIdle();
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
    viewer_->setReshowRequested();
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

// ------------------------------------------------------------------ viewer host

int TfrmMain::gridItemCount() const {
    return ThumbGrid->ItemCount();
}

int TfrmMain::gridCurrentIndex() const {
    return ThumbGrid->CurrentIndex;
}

QString TfrmMain::gridFileName(int index) const {
    return entryPath(ThumbGrid->FileNameAt(index));
}

int TfrmMain::gridIndexOf(const QString& fileName) const {
    const QStringList& list =
        folderViewActive() ? library_->folders().folderList : uploadList_->entries();
    const qsizetype plain = list.indexOf(fileName);
    return int(plain >= 0 ? plain : list.indexOf(QLatin1Char(';') + fileName));
}

void TfrmMain::selectGridIndex(int index) {
    ThumbGrid->SelectIndex(index, true);
}

void TfrmMain::refreshGrid() {
    ThumbGrid->Reload(false, false, false);
    ThumbGrid->viewport()->update();
    focusGrid();
}

void TfrmMain::focusGrid() {
    SafeFocus(ThumbGrid);
}

void TfrmMain::setloading(bool) {
    library_->DoButtonStatus();
}

void TfrmMain::clearFileNameLabel() {
    lblFilename->clear();
}

void TfrmMain::setZoomLabel(const QString& text) {
    lblZoom->setText(text);
}

void TfrmMain::showLoadGauge(bool visible) {
    pbrLoad->setRange(0, visible ? 0 : 100);
    pbrLoad->setVisible(visible);
}

void TfrmMain::setModeButtons(bool receiverView) {
    btnPalvoOn->setChecked(receiverView);
    btnPalvoOff->setChecked(!receiverView);
}

void TfrmMain::setFullScreenButton(bool down) {
    fullscreenbtn->setChecked(down);
}

QString TfrmMain::Updatecurrentdirectory(const QString& folder) {
    navigation().Updatecurrentdirectory(folder, true, true, false);
    edtdirectory->setText(GetCurrentFolder());
    return GetCurrentFolder();
}

} // namespace palvo
