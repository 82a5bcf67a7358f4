#include <gtest/gtest.h>

#include "imaging/ui/PictureView.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/MainWindowFixture.h"
#include "shell/MenuRules.h"
#include "shell/ui/MainUnit.h"
#include "shell/ui/Splash.h"
#include "support/ScriptedMessages.h"
#include "upload/UploadList.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace palvo;

namespace {

// A main window on a folder of five generated pictures, the first on show.
class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        options = test::FirstStartOptions(program.path(), pictures.path());
        ASSERT_TRUE(test::WriteColourPictures(pictures.path(), 5));
        writeServiceConfig();
        w = std::make_unique<TfrmMain>(options);
        QSignalSpy finished(w.get(), &TfrmMain::setupFinished);
        w->show();
        ASSERT_TRUE(finished.wait(10000));
        settle();
        ASSERT_EQ(w->currentFile(), pic(1));
    }
    void TearDown() override {
        for (QMenu* menu : w->findChildren<QMenu*>())
            menu->hide();
    }
    virtual void writeServiceConfig() {}
    // A key as the user types it: to the focused widget of the window.
    void press(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused && focused->window() == w.get() ? focused : w.get(), key, mods);
    }
    static void settle(int ms = 150) { test::Settle(ms); }
    QString pic(int i) const { return pictures.path() + QStringLiteral("/pic%1.jpg").arg(i); }
    void emptyFolder() {
        w->library().Change2Directory(empty.path());
        settle();
        ASSERT_TRUE(w->currentFile().isEmpty());
    }

    // A menu's items as "name|text", "-" for a separator and "name>" for a
    // submenu followed by its items indented.
    static QStringList items(const QMenu* menu, const QString& indent = {}) {
        QStringList out;
        for (const QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                out << indent + "-";
            } else if (a->menu()) {
                out << indent + a->objectName() + ">" + a->text();
                out << items(a->menu(), indent + "  ");
            } else {
                out << indent + a->objectName() + "|" + a->text() +
                           (a->isVisible() ? "" : " (hidden)");
            }
        }
        return out;
    }

    QTemporaryDir program, pictures, empty;
    StartOptions options;
    test::ScriptedMessages messages;
    std::unique_ptr<TfrmMain> w;
};

class MenusWithSite : public Menus {
protected:
    void writeServiceConfig() override {
        QFile file(program.path() + "/QUpload.dat");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\r\nWEBSITE_GENERAL=www.palvo.com\r\n");
    }
};

} // namespace

TEST_F(Menus, EveryMenuHoldsItsItemsKeysAndSeparators) {
    struct Expected {
        QMenu* menu;
        QStringList items;
    };
    const Expected menus[] = {
        {w->Popfilemenu,
         {"mkGetPhotos|&Get Pictures...\tCtrl+O", "-", "mkSave|&Save\tCtrl+S",
          "mkSaveAs|Save &as...\tCtrl+Shift+S", "mksavetoupload|Save to Upload", "-",
          "mkFileInfo|Picture Info\tAlt+Enter", "-", "mkExit|E&xit\tAlt+F4"}},
        {w->mnuEdit,
         {"mkUndo|Undo\tCtrl+Z", "mkRedo|Redo", "mkClipboard|&Copy\tCtrl+C",
          "mkPaste|&Paste\tCtrl+V", "-", "mkSelectAll|Select All\tCtrl+A",
          "mkDeselectall|Select None", "-", "mkPreferences|Preferences..."}},
        {w->popPhotoMenu,
         {"mkZoom>&Zoom", "  mkZoomIn|Zoom In", "  mkZoomOut|Zoom Out", "mkRotate>Rotate",
          "  mkRotateLeft|Left\tAlt+L", "  mkRotateRight|Right\tAlt+R", "mkCrop>Crop",
          "  mkPalvoCrop|Palvo Crop", "  mkFreeCrop|Free Crop", "mkQuickFix|Quick Fix",
          "mkRedEye|Red-eye"}},
        {w->MenuView,
         {"mkPostcard>Postcard", "  mkPostcardLeft|Create Postcard Left",
          "  mkPostcardRight|Create Postcard Right", "mkCaption>Caption",
          "  mkCaptionTop|Create Caption Top", "  mkCaptionBottom|Create Caption Bottom", "-",
          "mkPalvoStationery|Load Palvo Stationery", "mkPalvoHolidays|Load Palvo Holiday Cards",
          "mkPalvoOccasions|Load Palvo Occasion Cards",
          "mkDownloadStat|Download More Stationery and Cards...", "-",
          "mkBackgroundColor|Set Background Color..."}},
        {w->Popsitemenu,
         {"mkSignUp|Sign Up", "-", "mkUpload|Upload Pictures", "mkOrder|Order Prints (hidden)",
          "mkShare|Share Online (hidden)", "-", "mkVisit|Visit Palvo.com"}},
        {w->Pophelpmenu,
         {"Contents1|User's Guide\tF1", "mkQuickStart|Quick Start Guide\tCtrl+H", "-",
          "mkHelpCenter|Go to Palvo online help center", "-", "mkCheckUpdate|Check for Updates",
          "mkAbout|About Palvo Sender"}},
        {w->Popupfiles,
         {"mkRename|Rename Picture", "mkFileDescription|Picture Info", "-", "pukRotate>Rotate",
          "  Rotateleft1|Left", "  pukrotate90|Right", "pukCrop>Crop picture",
          "  pukPalvoCrop|Palvo Crop", "  pukFreecrop|Free Crop", "Quickfix1|Quick Fix",
          "pukredeye|Remove Red-eye", "pukZoom>Zoom", "  pukZoomIn|Zoom In",
          "  pukZoomOut|Zoom Out"}},
    };
    for (const Expected& m : menus) {
        EXPECT_EQ(items(m.menu), m.items) << m.menu->objectName().toStdString();
        EXPECT_TRUE(m.menu->toolTipsVisible()) << m.menu->objectName().toStdString();
        // The keys are the keyboard map's: no item registers a shortcut.
        for (const QAction* a : m.menu->findChildren<QAction*>())
            EXPECT_TRUE(a->shortcut().isEmpty()) << a->objectName().toStdString();
    }
    for (QAction* checkable : {w->mkPalvoCrop, w->mkFreeCrop, w->mkRedEye, w->pukPalvoCrop,
                               w->pukFreecrop, w->pukredeye})
        EXPECT_TRUE(checkable->isCheckable()) << checkable->objectName().toStdString();

    // The labels of the menu bar, in order, left of the logo.
    const QList<QLabel*> labels = {w->lblFileMenu,     w->lblPictureMenu, w->lblEditMenu,
                                   w->lblCreativeMenu, w->lblSiteMenu,    w->lblHelpMenu};
    const QStringList texts = {"<u>F</u>ile",      "<u>P</u>icture",
                               "<u>E</u>dit",      "&nbsp;Creative&nbsp;<u>T</u>ools&nbsp;&nbsp;",
                               "Palvo.<u>c</u>om", "<u>H</u>elp"};
    for (int i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(labels[i]->parentWidget(), w->pnlMenu);
        EXPECT_EQ(labels[i]->text(), texts[i]);
        const int right = i + 1 < labels.size() ? labels[i + 1]->x() : w->imgLogo1->x();
        EXPECT_LE(labels[i]->geometry().right(), right) << i;
    }
}

TEST_F(MenusWithSite, TheSiteMenuIsNamedAfterTheServicesWebSite) {
    EXPECT_EQ(w->lblSiteMenu->text(), "Palvo.<u>c</u>om");
    EXPECT_EQ(w->mkVisit->text(), "Visit Palvo.com");
    press(Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(w->Popsitemenu->isVisible());
    w->Popsitemenu->hide();
    press(Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(w->Popsitemenu->isVisible());
    w->Popsitemenu->hide();
    press(Qt::Key_S, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_FALSE(w->Popsitemenu->isVisible());
}

TEST_F(Menus, LabelsAndAltKeysDropTheirMenusUnderTheLabel) {
    struct Case {
        Qt::Key key;
        QLabel* label;
        QMenu* menu;
    };
    const Case cases[] = {
        {Qt::Key_F, w->lblFileMenu, w->Popfilemenu},
        {Qt::Key_P, w->lblPictureMenu, w->popPhotoMenu},
        {Qt::Key_E, w->lblEditMenu, w->mnuEdit},
        {Qt::Key_T, w->lblCreativeMenu, w->MenuView},
        {Qt::Key_C, w->lblSiteMenu, w->Popsitemenu},
        {Qt::Key_H, w->lblHelpMenu, w->Pophelpmenu},
    };
    for (const Case& c : cases) {
        const QPoint expected = MenuPopupPosition(w->pnlMenu->mapToGlobal(QPoint(0, 0)),
                                                  w->pnlMenu->height(), c.label->x());
        press(c.key, Qt::AltModifier);
        ASSERT_TRUE(c.menu->isVisible()) << c.menu->objectName().toStdString();
        EXPECT_EQ(c.menu->pos(), expected) << c.menu->objectName().toStdString();
        c.menu->hide();
        QTest::mousePress(c.label, Qt::LeftButton);
        EXPECT_TRUE(c.menu->isVisible()) << c.menu->objectName().toStdString();
        EXPECT_EQ(c.menu->pos(), expected) << c.menu->objectName().toStdString();
        c.menu->hide();
    }
    EXPECT_EQ(w->pnlMenu->height(), 47);
}

TEST_F(Menus, EnablingRulesRunAsTheMenusOpen) {
    // Edit: Select None needs a non-empty upload list, Select All pictures.
    w->mnuEdit->popup(QPoint(10, 10));
    EXPECT_TRUE(w->mkSelectAll->isEnabled());
    EXPECT_FALSE(w->mkDeselectall->isEnabled());
    w->mnuEdit->hide();
    w->library().ThumbGridCheckItem(pic(2), true);
    w->mnuEdit->popup(QPoint(10, 10));
    EXPECT_TRUE(w->mkDeselectall->isEnabled());
    EXPECT_EQ(w->mkUndo->text(), "Undo\tCtrl+Z");
    EXPECT_EQ(w->mkRedo->text(), "Redo");
    w->mnuEdit->hide();

    // The captions follow the undo history.
    w->undoState = {2, "Crop", 1, "Quick Fix", false};
    w->mnuEdit->popup(QPoint(10, 10));
    EXPECT_EQ(w->mkUndo->text(), "Undo Crop\tCtrl+Z");
    EXPECT_EQ(w->mkRedo->text(), "Redo Quick Fix");
    // ... but a command that is not there yet stays disabled whatever its rule says.
    EXPECT_FALSE(w->mkUndo->isEnabled());
    EXPECT_FALSE(w->mkRedo->isEnabled());
    w->mnuEdit->hide();

    // Picture: the zoom item follows the zoom-in button and the view.
    w->popPhotoMenu->popup(QPoint(10, 10));
    EXPECT_TRUE(w->mkZoom->isEnabled());
    EXPECT_FALSE(w->mkRotate->isEnabled()); // the rotate buttons are not there yet
    EXPECT_FALSE(w->mkCrop->isEnabled());
    w->popPhotoMenu->hide();
    // File: "Save as" would be enabled with a current picture, but is not there yet.
    w->Popfilemenu->popup(QPoint(10, 10));
    EXPECT_FALSE(w->mkSaveAs->isEnabled());
    EXPECT_TRUE(w->mkGetPhotos->isEnabled());
    EXPECT_TRUE(w->mkExit->isEnabled());
    w->Popfilemenu->hide();

    w->lblSelUpload1Click(true);
    emptyFolder();
    EXPECT_FALSE(w->btnZoomIn2->isEnabled());
    w->popPhotoMenu->popup(QPoint(10, 10));
    EXPECT_FALSE(w->mkZoom->isEnabled());
    w->popPhotoMenu->hide();
    w->MenuView->popup(QPoint(10, 10));
    EXPECT_FALSE(w->mkZoom->isEnabled());
    w->MenuView->hide();
    w->mnuEdit->popup(QPoint(10, 10));
    EXPECT_FALSE(w->mkSelectAll->isEnabled());
    EXPECT_TRUE(w->mkDeselectall->isEnabled()); // the upload list still holds pic2
    w->mnuEdit->hide();
}

TEST_F(Menus, LaterCommandsAreThereButNotAvailable) {
    const char* later[] = {
        "mkSave",          "mkSaveAs",         "mksavetoupload",  "mkFileInfo",
        "mkUndo",          "mkRedo",           "mkClipboard",     "mkPaste",
        "mkPreferences",   "mkRotateLeft",     "mkRotateRight",   "mkPalvoCrop",
        "mkFreeCrop",      "mkQuickFix",       "mkRedEye",        "mkPostcardLeft",
        "mkPostcardRight", "mkCaptionTop",     "mkCaptionBottom", "mkPalvoStationery",
        "mkPalvoHolidays", "mkPalvoOccasions", "mkDownloadStat",  "mkBackgroundColor",
        "mkSignUp",        "mkVisit",          "Contents1",       "mkQuickStart",
        "mkHelpCenter",    "mkCheckUpdate",    "mkRename",        "mkFileDescription",
        "Rotateleft1",     "pukrotate90",      "pukPalvoCrop",    "pukFreecrop",
        "Quickfix1",       "pukredeye",
    };
    // Every menu has run its rules once.
    for (QMenu* menu : {w->Popfilemenu, w->mnuEdit, w->popPhotoMenu, w->MenuView, w->Popsitemenu,
                        w->Pophelpmenu, w->Popupfiles}) {
        menu->popup(QPoint(10, 10));
        menu->hide();
    }
    for (const char* name : later) {
        auto* action = w->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_FALSE(action->isEnabled()) << name;
        EXPECT_EQ(action->toolTip(), "Not available yet") << name;
    }
    for (const char* name : {"mkGetPhotos", "mkExit", "mkSelectAll", "mkZoomIn", "mkZoomOut",
                             "mkUpload", "mkAbout", "pukZoomIn", "pukZoomOut"}) {
        auto* action = w->findChild<QAction*>(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->isEnabled()) << name;
        EXPECT_NE(action->toolTip(), "Not available yet") << name;
    }

    // The toolbar: with a picture on show only the zoom buttons work.
    for (QToolButton* b : {w->btnrotate270, w->btnrotate90, w->btnPalvoCrop, w->btnFreeCrop,
                           w->btnQuickFix, w->btnredeye, w->btnAddText, w->btnRename,
                           w->btnFileInfo, w->btndocrop, w->btnCancelCrop}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_EQ(b->toolTip(), "Not available yet") << b->objectName().toStdString();
    }
    EXPECT_TRUE(w->btnZoomIn2->isEnabled() && w->btnZoomOut->isEnabled());
    EXPECT_FALSE(w->btndocrop->isVisible() || w->btnCancelCrop->isVisible());
    EXPECT_FALSE(w->pnlCrop->isVisible() || w->pnlRedEye->isVisible());
    EXPECT_TRUE(w->lblZoom->isVisible());
    EXPECT_TRUE(w->imgButtonTextEnabled->isVisible());
    EXPECT_FALSE(w->imgButtonTextDisabled->isVisible());
    EXPECT_TRUE(w->imgPalvoEn->isVisible());
    EXPECT_FALSE(w->imgPalvoDis->isVisible());
    EXPECT_EQ(w->pnlToolbar->height(), 107);
    // The toolbar and status bar fit into the window's design width.
    EXPECT_LE(w->minimumSizeHint().width(), 943);
    // Left to right.
    const QList<QToolButton*> order = {w->btnrotate270, w->btnrotate90,  w->btnZoomIn2,
                                       w->btnZoomOut,   w->btnPalvoCrop, w->btnFreeCrop,
                                       w->btnQuickFix,  w->btnredeye,    w->btnAddText};
    for (int i = 1; i < order.size(); ++i)
        EXPECT_LT(order[i - 1]->x(), order[i]->x()) << i;
    EXPECT_EQ(w->btnPalvoCrop->toolTip(), "Not available yet");

    emptyFolder();
    EXPECT_FALSE(w->btnZoomIn2->isEnabled() || w->btnZoomOut->isEnabled());
    EXPECT_FALSE(w->lblZoom->isVisible());
    EXPECT_FALSE(w->imgButtonTextEnabled->isVisible());
    EXPECT_TRUE(w->imgButtonTextDisabled->isVisible());
    EXPECT_FALSE(w->imgPalvoEn->isVisible());
    EXPECT_TRUE(w->imgPalvoDis->isVisible());
}

TEST_F(Menus, ZoomFromTheMenusAndButtons) {
    const QString before = w->lblZoom->text();
    w->mkZoomIn->trigger();
    const QString zoomedIn = w->lblZoom->text();
    EXPECT_NE(zoomedIn, before);
    w->pukZoomOut->trigger();
    EXPECT_EQ(w->lblZoom->text(), before);
    QTest::mouseClick(w->btnZoomIn2, Qt::LeftButton);
    EXPECT_EQ(w->lblZoom->text(), zoomedIn);
    QTest::mouseClick(w->btnZoomOut, Qt::LeftButton);
    EXPECT_EQ(w->lblZoom->text(), before);
    // With Alt held the zoom keys keep their meaning.
    QApplication::setActiveWindow(w.get());
    w->ThumbGrid->setFocus();
    press(Qt::Key_Equal, Qt::AltModifier);
    EXPECT_EQ(w->lblZoom->text(), zoomedIn);
    press(Qt::Key_Minus, Qt::AltModifier);
    EXPECT_EQ(w->lblZoom->text(), before);
}

TEST_F(Menus, EscapeEndsTheCropThenTheRedEyeToolThenFullScreen) {
    w->viewer().dofullscreen(true);
    settle();
    ASSERT_TRUE(w->fullScreen());
    // A crop under way: one of the buttons down, apply, cancel, hint and selection shown.
    w->btnFreeCrop->setChecked(true);
    w->btnPalvoCrop->setChecked(true);
    EXPECT_FALSE(w->btnFreeCrop->isChecked()); // at most one crop button is down
    EXPECT_TRUE(w->CropButtonDown());
    for (QWidget* shown :
         std::initializer_list<QWidget*>{w->btndocrop, w->btnCancelCrop, w->pnlCrop})
        shown->show();
    w->viewer().view().setSelecting(true);
    w->viewer().view().setSelection(QRect(10, 10, 100, 80));

    press(Qt::Key_Escape);
    EXPECT_FALSE(w->CropButtonDown());
    EXPECT_TRUE(w->btndocrop->isHidden() && w->btnCancelCrop->isHidden() && w->pnlCrop->isHidden());
    EXPECT_FALSE(w->viewer().view().selecting());
    EXPECT_FALSE(w->viewer().view().hasSelection());
    EXPECT_TRUE(w->fullScreen()); // only the crop ended

    w->btnredeye->setChecked(true);
    w->pnlRedEye->show();
    press(Qt::Key_Escape);
    EXPECT_FALSE(w->btnredeye->isChecked());
    EXPECT_TRUE(w->pnlRedEye->isHidden());
    EXPECT_TRUE(w->fullScreen());

    press(Qt::Key_Escape);
    EXPECT_FALSE(w->fullScreen());
}

TEST_F(Menus, TheBusyGateEndsAnEditTool) {
    w->btnPalvoCrop->setChecked(true);
    w->pnlCrop->show();
    w->Keypreparation(false);
    EXPECT_FALSE(w->CropButtonDown());
    EXPECT_TRUE(w->pnlCrop->isHidden());
    w->endKeypreparation();
}

TEST_F(Menus, UploadPicturesRunsTheUploadCommand) {
    w->library().ThumbGridCheckItem(pic(2), true);
    messages.log.clear();
    w->mkUpload->trigger();
    settle();
    ASSERT_FALSE(messages.texts().isEmpty());
    EXPECT_TRUE(messages.texts().last().startsWith("An error was encountered loading the DLL"))
        << messages.texts().last().toStdString();
    EXPECT_NE(w->btnUploadClickResult, UploadOutcome::NotStarted);
    EXPECT_EQ(w->uploadList().entries(), QStringList{pic(2)}); // kept for another try
}

TEST_F(Menus, AboutShowsTheAboutBoxUnderTheBusyGate) {
    QString title;
    bool keysOffMeanwhile = false;
    QTimer::singleShot(50, [&] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            title = box->metaObject()->className();
            keysOffMeanwhile = !w->KeyPreview;
            box->reject();
        }
    });
    w->mkAbout->trigger();
    EXPECT_EQ(title, "palvo::TAboutBox");
    EXPECT_TRUE(keysOffMeanwhile);
    EXPECT_TRUE(w->KeyPreview);
}

TEST_F(Menus, ExitClosesTheWindow) {
    w->mkExit->trigger();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(Menus, PictureContextMenuNeedsACurrentPictureAndShowsTheToolStates) {
    w->btnPalvoCrop->setChecked(true);
    w->btnredeye->setChecked(true);
    QWidget* viewport = w->viewer().view().viewport();
    QTest::mouseClick(viewport, Qt::RightButton, {}, viewport->rect().center());
    ASSERT_TRUE(w->Popupfiles->isVisible());
    EXPECT_TRUE(w->pukPalvoCrop->isChecked());
    EXPECT_FALSE(w->pukFreecrop->isChecked());
    EXPECT_TRUE(w->pukredeye->isChecked());
    w->Popupfiles->hide();
    // A left click doesn't open it.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, viewport->rect().center());
    EXPECT_FALSE(w->Popupfiles->isVisible());

    w->btnPalvoCrop->setChecked(false);
    w->btnFreeCrop->setChecked(true);
    w->btnredeye->setChecked(false);
    w->popupFiles(QPoint(20, 20)); // the grid's right click
    ASSERT_TRUE(w->Popupfiles->isVisible());
    EXPECT_FALSE(w->pukPalvoCrop->isChecked());
    EXPECT_TRUE(w->pukFreecrop->isChecked());
    EXPECT_FALSE(w->pukredeye->isChecked());
    w->Popupfiles->hide();

    w->clearcurrfile();
    QTest::mouseClick(viewport, Qt::RightButton, {}, viewport->rect().center());
    EXPECT_FALSE(w->Popupfiles->isVisible());
    w->popupFiles(QPoint(20, 20));
    EXPECT_FALSE(w->Popupfiles->isVisible());
}

TEST_F(Menus, KeysOfCommandsNotThereYetDoNothing) {
    QApplication::setActiveWindow(w.get());
    w->ThumbGrid->setFocus();
    const QStringList before = w->uploadList().entries();
    messages.log.clear();
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    } keys[] = {
        {Qt::Key_S, Qt::ControlModifier}, {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_Z, Qt::ControlModifier}, {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
        {Qt::Key_C, Qt::ControlModifier}, {Qt::Key_V, Qt::ControlModifier},
        {Qt::Key_I, Qt::ControlModifier}, {Qt::Key_H, Qt::ControlModifier},
        {Qt::Key_L, Qt::AltModifier},     {Qt::Key_R, Qt::AltModifier},
        {Qt::Key_F1, Qt::NoModifier},     {Qt::Key_F2, Qt::NoModifier},
        {Qt::Key_F2, Qt::AltModifier}};
    for (const auto& k : keys) {
        press(k.key, k.mods);
        settle(30);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << k.key;
        for (QMenu* menu : w->findChildren<QMenu*>())
            EXPECT_FALSE(menu->isVisible()) << k.key;
    }
    EXPECT_TRUE(messages.log.isEmpty());

    // A key's command runs only when its item is enabled and visible.
    int runs = 0;
    QAction command;
    QObject::connect(&command, &QAction::triggered, [&] { ++runs; });
    command.setEnabled(false);
    w->runMenuCommand(&command);
    EXPECT_EQ(runs, 0);
    command.setEnabled(true);
    w->runMenuCommand(&command);
    EXPECT_EQ(runs, 1);
    command.setVisible(false);
    w->runMenuCommand(&command);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(w->currentFile(), pic(1));
    EXPECT_EQ(w->uploadList().entries(), before);
}
