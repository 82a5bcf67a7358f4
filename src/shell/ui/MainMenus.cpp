// The main window's menus: the six menus of the menu bar with their enabling
// rules, the picture context menu, and the edit toolbar's commands. The keys
// shown beside the items are handled by the keyboard map (MainKeys.cpp), so
// no item carries a shortcut of its own.
#include "shell/ui/MainUnit.h"

#include "imaging/ui/PictureView.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/MenuRules.h"
#include "shell/ui/Splash.h"
#include "upload/UploadList.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

namespace palvo {

namespace {

constexpr const char* kNotAvailableProperty = "palvoNotAvailable";

// A menu item; the text after a tab is the key shown beside it.
QAction* Item(QMenu* menu, const char* name, const QString& text, const QString& keys = {}) {
    auto* action = menu->addAction(keys.isEmpty() ? text : text + QLatin1Char('\t') + keys);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// A submenu entry; the submenu is a child of the menu and named after it.
QMenu* Submenu(QMenu* menu, const char* name, const QString& text, QAction** entry) {
    auto* sub = new QMenu(text, menu);
    sub->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
    sub->setToolTipsVisible(true);
    *entry = menu->addMenu(sub);
    (*entry)->setObjectName(QString::fromLatin1(name));
    return sub;
}

QMenu* TopMenu(QWidget* parent, const char* name) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->setToolTipsVisible(true);
    return menu;
}

void SetEnabled(QObject* control, bool enabled) {
    if (auto* action = qobject_cast<QAction*>(control))
        action->setEnabled(enabled);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setEnabled(enabled);
}

} // namespace

void markNotAvailable(std::initializer_list<QObject*> controls) {
    const QString hint = QStringLiteral("Not available yet");
    for (QObject* control : controls) {
        control->setProperty(kNotAvailableProperty, true);
        SetEnabled(control, false);
        if (auto* action = qobject_cast<QAction*>(control))
            action->setToolTip(hint);
        else if (auto* widget = qobject_cast<QWidget*>(control))
            widget->setToolTip(hint);
    }
}

bool isNotAvailable(const QObject* control) {
    return control->property(kNotAvailableProperty).toBool();
}

void setEnabledUnlessNotAvailable(QObject* control, bool enabled) {
    SetEnabled(control, enabled && !isNotAvailable(control));
}

void TfrmMain::CreateMenus() {
    Popfilemenu = TopMenu(this, "Popfilemenu");
    mkGetPhotos = Item(Popfilemenu, "mkGetPhotos", QStringLiteral("&Get Pictures..."),
                       QStringLiteral("Ctrl+O"));
    Popfilemenu->addSeparator();
    mkSave = Item(Popfilemenu, "mkSave", QStringLiteral("&Save"), QStringLiteral("Ctrl+S"));
    mkSaveAs = Item(Popfilemenu, "mkSaveAs", QStringLiteral("Save &as..."),
                    QStringLiteral("Ctrl+Shift+S"));
    mksavetoupload = Item(Popfilemenu, "mksavetoupload", QStringLiteral("Save to Upload"));
    Popfilemenu->addSeparator();
    mkFileInfo = Item(Popfilemenu, "mkFileInfo", QStringLiteral("Picture Info"),
                      QStringLiteral("Alt+Enter"));
    Popfilemenu->addSeparator();
    mkExit = Item(Popfilemenu, "mkExit", QStringLiteral("E&xit"), QStringLiteral("Alt+F4"));

    popPhotoMenu = TopMenu(this, "popPhotoMenu");
    QMenu* zoom = Submenu(popPhotoMenu, "mkZoom", QStringLiteral("&Zoom"), &mkZoom);
    mkZoomIn = Item(zoom, "mkZoomIn", QStringLiteral("Zoom In"));
    mkZoomOut = Item(zoom, "mkZoomOut", QStringLiteral("Zoom Out"));
    QMenu* rotate = Submenu(popPhotoMenu, "mkRotate", QStringLiteral("Rotate"), &mkRotate);
    mkRotateLeft = Item(rotate, "mkRotateLeft", QStringLiteral("Left"), QStringLiteral("Alt+L"));
    mkRotateRight = Item(rotate, "mkRotateRight", QStringLiteral("Right"), QStringLiteral("Alt+R"));
    QMenu* crop = Submenu(popPhotoMenu, "mkCrop", QStringLiteral("Crop"), &mkCrop);
    mkPalvoCrop = Item(crop, "mkPalvoCrop", QStringLiteral("Palvo Crop"));
    mkFreeCrop = Item(crop, "mkFreeCrop", QStringLiteral("Free Crop"));
    mkQuickFix = Item(popPhotoMenu, "mkQuickFix", QStringLiteral("Quick Fix"));
    mkRedEye = Item(popPhotoMenu, "mkRedEye", QStringLiteral("Red-eye"));

    mnuEdit = TopMenu(this, "mnuEdit");
    mkUndo = Item(mnuEdit, "mkUndo", QStringLiteral("Undo"), QStringLiteral("Ctrl+Z"));
    mkRedo = Item(mnuEdit, "mkRedo", QStringLiteral("Redo"));
    mkClipboard = Item(mnuEdit, "mkClipboard", QStringLiteral("&Copy"), QStringLiteral("Ctrl+C"));
    mkPaste = Item(mnuEdit, "mkPaste", QStringLiteral("&Paste"), QStringLiteral("Ctrl+V"));
    mnuEdit->addSeparator();
    mkSelectAll =
        Item(mnuEdit, "mkSelectAll", QStringLiteral("Select All"), QStringLiteral("Ctrl+A"));
    mkDeselectall = Item(mnuEdit, "mkDeselectall", QStringLiteral("Select None"));
    mnuEdit->addSeparator();
    mkPreferences = Item(mnuEdit, "mkPreferences", QStringLiteral("Preferences..."));

    MenuView = TopMenu(this, "MenuView");
    QMenu* postcard = Submenu(MenuView, "mkPostcard", QStringLiteral("Postcard"), &mkPostcard);
    mkPostcardLeft = Item(postcard, "mkPostcardLeft", QStringLiteral("Create Postcard Left"));
    mkPostcardRight = Item(postcard, "mkPostcardRight", QStringLiteral("Create Postcard Right"));
    QMenu* caption = Submenu(MenuView, "mkCaption", QStringLiteral("Caption"), &mkCaption);
    mkCaptionTop = Item(caption, "mkCaptionTop", QStringLiteral("Create Caption Top"));
    mkCaptionBottom = Item(caption, "mkCaptionBottom", QStringLiteral("Create Caption Bottom"));
    MenuView->addSeparator();
    mkPalvoStationery =
        Item(MenuView, "mkPalvoStationery", QStringLiteral("Load Palvo Stationery"));
    mkPalvoHolidays = Item(MenuView, "mkPalvoHolidays", QStringLiteral("Load Palvo Holiday Cards"));
    mkPalvoOccasions =
        Item(MenuView, "mkPalvoOccasions", QStringLiteral("Load Palvo Occasion Cards"));
    mkDownloadStat =
        Item(MenuView, "mkDownloadStat", QStringLiteral("Download More Stationery and Cards..."));
    MenuView->addSeparator();
    mkBackgroundColor =
        Item(MenuView, "mkBackgroundColor", QStringLiteral("Set Background Color..."));

    Popsitemenu = TopMenu(this, "Popsitemenu");
    mkSignUp = Item(Popsitemenu, "mkSignUp", QStringLiteral("Sign Up"));
    Popsitemenu->addSeparator();
    mkUpload = Item(Popsitemenu, "mkUpload", QStringLiteral("Upload Pictures"));
    mkOrder = Item(Popsitemenu, "mkOrder", QStringLiteral("Order Prints"));
    mkShare = Item(Popsitemenu, "mkShare", QStringLiteral("Share Online"));
    mkOrder->setVisible(false);
    mkShare->setVisible(false);
    Popsitemenu->addSeparator();
    mkVisit = Item(Popsitemenu, "mkVisit", QString());

    Pophelpmenu = TopMenu(this, "Pophelpmenu");
    Contents1 =
        Item(Pophelpmenu, "Contents1", QStringLiteral("User's Guide"), QStringLiteral("F1"));
    mkQuickStart = Item(Pophelpmenu, "mkQuickStart", QStringLiteral("Quick Start Guide"),
                        QStringLiteral("Ctrl+H"));
    Pophelpmenu->addSeparator();
    mkHelpCenter = Item(Pophelpmenu, "mkHelpCenter", QString());
    Pophelpmenu->addSeparator();
    mkCheckUpdate = Item(Pophelpmenu, "mkCheckUpdate", QStringLiteral("Check for Updates"));
    mkAbout = Item(Pophelpmenu, "mkAbout", QString());

    Popupfiles = TopMenu(this, "Popupfiles");
    mkRename = Item(Popupfiles, "mkRename", QStringLiteral("Rename Picture"));
    mkFileDescription = Item(Popupfiles, "mkFileDescription", QStringLiteral("Picture Info"));
    Popupfiles->addSeparator();
    QMenu* pukRotateMenu = Submenu(Popupfiles, "pukRotate", QStringLiteral("Rotate"), &pukRotate);
    Rotateleft1 = Item(pukRotateMenu, "Rotateleft1", QStringLiteral("Left"));
    pukrotate90 = Item(pukRotateMenu, "pukrotate90", QStringLiteral("Right"));
    QMenu* pukCropMenu = Submenu(Popupfiles, "pukCrop", QStringLiteral("Crop picture"), &pukCrop);
    pukPalvoCrop = Item(pukCropMenu, "pukPalvoCrop", QStringLiteral("Palvo Crop"));
    pukFreecrop = Item(pukCropMenu, "pukFreecrop", QStringLiteral("Free Crop"));
    Quickfix1 = Item(Popupfiles, "Quickfix1", QStringLiteral("Quick Fix"));
    pukredeye = Item(Popupfiles, "pukredeye", QStringLiteral("Remove Red-eye"));
    QMenu* pukZoomMenu = Submenu(Popupfiles, "pukZoom", QStringLiteral("Zoom"), &pukZoom);
    pukZoomIn = Item(pukZoomMenu, "pukZoomIn", QStringLiteral("Zoom In"));
    pukZoomOut = Item(pukZoomMenu, "pukZoomOut", QStringLiteral("Zoom Out"));

    for (QAction* checkable :
         {mkPalvoCrop, mkFreeCrop, mkRedEye, pukPalvoCrop, pukFreecrop, pukredeye})
        checkable->setCheckable(true);
    updateSiteMenu();
    PophelpmenuPopup();

    connect(Popfilemenu, &QMenu::aboutToShow, this, &TfrmMain::MenuImageClick);
    connect(popPhotoMenu, &QMenu::aboutToShow, this, &TfrmMain::popPhotoMenuPopup);
    connect(mnuEdit, &QMenu::aboutToShow, this, &TfrmMain::mnuEditClick);
    connect(MenuView, &QMenu::aboutToShow, this, &TfrmMain::MenuViewClick);
    connect(Pophelpmenu, &QMenu::aboutToShow, this, &TfrmMain::PophelpmenuPopup);
    connect(Popupfiles, &QMenu::aboutToShow, this, &TfrmMain::PopupfilesPopup);
    connect(this, &TfrmMain::setupFinished, this, &TfrmMain::updateSiteMenu);

    // The commands that work today. Each control of a command leads to the
    // one function that carries it out.
    connect(mkGetPhotos, &QAction::triggered, this, &TfrmMain::BtnOpenFolderClick);
    connect(mkExit, &QAction::triggered, this, &TfrmMain::close);
    connect(mkSelectAll, &QAction::triggered, this, [this] { library_->btnSelectAllClick(true); });
    connect(mkDeselectall, &QAction::triggered, this,
            [this] { library_->btnSelectAllClick(false); });
    for (QAction* upload : {mkUpload, mkOrder, mkShare})
        connect(upload, &QAction::triggered, this, &TfrmMain::btnUploadClick);
    connect(mkAbout, &QAction::triggered, this, &TfrmMain::mkAboutClick);
    for (QAction* in : {mkZoomIn, pukZoomIn})
        connect(in, &QAction::triggered, this, [this] { viewer_->zoom(true); });
    for (QAction* out : {mkZoomOut, pukZoomOut})
        connect(out, &QAction::triggered, this, [this] { viewer_->zoom(false); });
    connect(btnZoomIn2, &QToolButton::clicked, this, [this] { viewer_->zoom(true); });
    connect(btnZoomOut, &QToolButton::clicked, this, [this] { viewer_->zoom(false); });
    // At most one crop button is down.
    connect(btnPalvoCrop, &QToolButton::toggled, this, [this](bool down) {
        if (down)
            btnFreeCrop->setChecked(false);
    });
    connect(btnFreeCrop, &QToolButton::toggled, this, [this](bool down) {
        if (down)
            btnPalvoCrop->setChecked(false);
    });

    markLaterCommands();
}

// One line for each command that later work brings.
void TfrmMain::markLaterCommands() {
    markNotAvailable({mkSave});                                     // save
    markNotAvailable({mkSaveAs});                                   // save as
    markNotAvailable({mksavetoupload});                             // save to upload
    markNotAvailable({mkFileInfo, mkFileDescription, btnFileInfo}); // picture information
    markNotAvailable({mkUndo});                                     // undo
    markNotAvailable({mkRedo});                                     // redo
    markNotAvailable({mkClipboard});                                // copy
    markNotAvailable({mkPaste});                                    // paste
    markNotAvailable({mkPreferences});                              // preferences
    markNotAvailable({mkRotateLeft, mkRotateRight, Rotateleft1, pukrotate90, btnrotate270,
                      btnrotate90}); // rotate
    markNotAvailable({mkPalvoCrop, mkFreeCrop, pukPalvoCrop, pukFreecrop, btnPalvoCrop, btnFreeCrop,
                      btndocrop, btnCancelCrop});                             // crop
    markNotAvailable({mkQuickFix, Quickfix1, btnQuickFix});                   // Quick Fix
    markNotAvailable({mkRedEye, pukredeye, btnredeye});                       // red-eye
    markNotAvailable({btnAddText});                                           // add text
    markNotAvailable({mkPostcardLeft, mkPostcardRight});                      // postcards
    markNotAvailable({mkCaptionTop, mkCaptionBottom});                        // captions
    markNotAvailable({mkPalvoStationery, mkPalvoHolidays, mkPalvoOccasions}); // stationery folders
    markNotAvailable({mkDownloadStat});                                       // download
    markNotAvailable({mkBackgroundColor});                                    // background colour
    markNotAvailable({mkSignUp});                                             // sign up
    markNotAvailable({mkVisit});                                              // visit
    markNotAvailable({Contents1});                                            // user's guide
    markNotAvailable({mkQuickStart});                                         // quick-start guide
    markNotAvailable({mkHelpCenter});                                         // help center
    markNotAvailable({mkCheckUpdate});                                        // check for updates
    markNotAvailable({mkRename, btnRename});                                  // rename
}

// ------------------------------------------------------------------ menu bar

QMenu* TfrmMain::menuOfLabel(const QLabel* label) const {
    if (label == lblFileMenu)
        return Popfilemenu;
    if (label == lblPictureMenu)
        return popPhotoMenu;
    if (label == lblEditMenu)
        return mnuEdit;
    if (label == lblCreativeMenu)
        return MenuView;
    if (label == lblSiteMenu)
        return Popsitemenu;
    if (label == lblHelpMenu)
        return Pophelpmenu;
    return nullptr;
}

void TfrmMain::lblFileMenuMouseDown(QLabel* label) {
    QMenu* menu = menuOfLabel(label);
    if (!menu)
        return;
    menu->popup(
        MenuPopupPosition(pnlMenu->mapToGlobal(QPoint(0, 0)), pnlMenu->height(), label->x()));
}

void TfrmMain::runMenuCommand(QAction* action) {
    MenuImageClick();
    mnuEditClick();
    popPhotoMenuPopup();
    MenuViewClick();
    PophelpmenuPopup();
    if (action->isEnabled() && action->isVisible())
        action->trigger();
}

// ------------------------------------------------------------------ enabling rules

void TfrmMain::MenuImageClick() {
    FileMenuInputs in;
    in.pictureCurrent = !CurrentFile().isEmpty();
    in.loading = Loading();
    in.changed = Changed();
    // File > Save overwrites whatever the save-over setting allows.
    in.maySaveOver = true;
    const FileMenuEnabling out = FileMenuRules(in);
    setEnabledUnlessNotAvailable(mkSave, out.save);
    for (QAction* item : {mkSaveAs, mksavetoupload, mkFileInfo})
        setEnabledUnlessNotAvailable(item, out.saveAs);
}

void TfrmMain::mnuEditClick() {
    EditMenuInputs in;
    in.undo = undoState;
    in.pictureShown = !CurrentFile().isEmpty() && !viewer_->view().isEmpty();
    in.loading = Loading();
    in.gridItems = ThumbGrid->ItemCount();
    in.uploadEntries = uploadList_->count();
    const EditMenuEnabling out = EditMenuRules(in);
    mkUndo->setText(out.undoCaption + QStringLiteral("\tCtrl+Z"));
    mkRedo->setText(out.redoCaption);
    setEnabledUnlessNotAvailable(mkUndo, out.undo);
    setEnabledUnlessNotAvailable(mkRedo, out.redo);
    setEnabledUnlessNotAvailable(mkClipboard, out.copy);
    setEnabledUnlessNotAvailable(mkSelectAll, out.selectAll);
    setEnabledUnlessNotAvailable(mkDeselectall, out.selectNone);
}

namespace {
PictureMenuInputs PictureInputs(TfrmMain& w) {
    PictureMenuInputs in;
    in.rotateLeftButton = w.btnrotate270->isEnabled();
    in.rotateRightButton = w.btnrotate90->isEnabled();
    in.freeCropButton = w.btnFreeCrop->isEnabled();
    in.quickFixButton = w.btnQuickFix->isEnabled();
    in.redEyeButton = w.btnredeye->isEnabled();
    in.zoomInButton = w.btnZoomIn2->isEnabled();
    in.pictureCurrent = !w.CurrentFile().isEmpty();
    in.loading = w.Loading();
    in.viewEmpty = w.viewer().view().isEmpty();
    return in;
}
} // namespace

void TfrmMain::popPhotoMenuPopup() {
    const PictureMenuEnabling out = PictureMenuRules(PictureInputs(*this));
    setEnabledUnlessNotAvailable(mkRotateRight, out.right);
    setEnabledUnlessNotAvailable(mkRotateLeft, out.left);
    setEnabledUnlessNotAvailable(mkRotate, out.rotate);
    setEnabledUnlessNotAvailable(mkRedEye, out.redEye);
    setEnabledUnlessNotAvailable(mkCrop, out.crop);
    setEnabledUnlessNotAvailable(mkQuickFix, out.quickFix);
    // The zoom item follows the zoom-in button here too, so that it is never
    // stale when this menu opens.
    setEnabledUnlessNotAvailable(mkZoom, out.zoom);
    mkPalvoCrop->setChecked(btnPalvoCrop->isChecked());
    mkFreeCrop->setChecked(btnFreeCrop->isChecked());
    mkRedEye->setChecked(btnredeye->isChecked());
}

void TfrmMain::MenuViewClick() {
    setEnabledUnlessNotAvailable(mkZoom, PictureMenuRules(PictureInputs(*this)).zoom);
}

void TfrmMain::PophelpmenuPopup() {
    mkHelpCenter->setText(
        QStringLiteral("Go to %1 online help center").arg(QStringLiteral("Palvo")));
    mkAbout->setText(QStringLiteral("About ") + settings.programName());
}

void TfrmMain::PopupfilesPopup() {
    pukredeye->setChecked(btnredeye->isChecked());
    pukFreecrop->setChecked(btnFreeCrop->isChecked());
    pukPalvoCrop->setChecked(btnPalvoCrop->isChecked());
}

void TfrmMain::popupFiles(QPoint globalPosition) {
    if (CurrentFile().isEmpty())
        return;
    Popupfiles->popup(globalPosition);
}

// ------------------------------------------------------------------ commands

void TfrmMain::mkAboutClick() {
    Keypreparation(false);
    TAboutBox about(settings.programName(), folders.programFolder + QStringLiteral("Splash.xdl"),
                    this);
    about.exec();
    endKeypreparation();
}

// ------------------------------------------------------------------ edit tools

bool TfrmMain::CropButtonDown() const {
    return btnPalvoCrop->isChecked() || btnFreeCrop->isChecked();
}

bool TfrmMain::redEyeActive() const {
    return btnredeye->isChecked();
}

void TfrmMain::endCrop(bool) {
    pnlRedEye->hide();
    pnlCrop->hide();
    btnPalvoCrop->setChecked(false);
    btnFreeCrop->setChecked(false);
    btndocrop->hide();
    btnCancelCrop->hide();
    PictureView& view = viewer_->view();
    view.setDarkenOutside(false);
    view.clearSelection();
    view.setSelecting(false);
    view.setCrossCursor(false);
}

void TfrmMain::cancelredeye() {
    if (!btnredeye->isChecked() && pnlRedEye->isHidden())
        return;
    btnredeye->setChecked(false);
    endCrop(false);
}

bool TfrmMain::endActiveEditTool() {
    if (CropButtonDown()) {
        endCrop(false);
        return true;
    }
    if (redEyeActive()) {
        cancelredeye();
        return true;
    }
    return false;
}

} // namespace palvo
