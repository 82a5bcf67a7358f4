// The main window's keyboard map. The window sees every key of its own
// widgets before they do (an application event filter, active while the busy
// gate is open); key-down goes to the thumbnail grid, key-up runs the map.
#include "shell/ui/MainUnit.h"

#include "foundation/Messages.h"
#include "foundation/ServiceConfig.h"
#include "library/ui/QCheckThumbGrid.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

namespace palvo {

namespace {

bool IsNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

bool IsZoomIn(const QKeyEvent& e) {
    return e.key() == Qt::Key_Plus || e.key() == Qt::Key_Equal;
}

bool IsZoomOut(const QKeyEvent& e) {
    return e.key() == Qt::Key_Minus;
}

// A key's route to a button's command: only while the button is enabled.
void ClickIfEnabled(QAbstractButton* button) {
    if (button->isEnabled())
        button->click();
}

} // namespace

void TfrmMain::installKeyPreview() {
    qApp->installEventFilter(this);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!KeyPreview || !widget || widget->window() != this)
        return false;
    // A key the focused widget leaves travels on to its parents, through this
    // filter each time: the map runs for the first receiver only.
    QWidget* focused = QApplication::focusWidget();
    if (widget != (focused && focused->window() == this ? focused : this))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return event->type() == QEvent::KeyPress ? FormKeyDown(*key) : FormKeyUp(*key);
}

bool TfrmMain::FormKeyDown(const QKeyEvent& event) {
    if (!ThumbGrid->hasFocus() || !IsNavigationKey(event.key()))
        return false;
    if (!(event.modifiers() & Qt::AltModifier))
        ThumbGrid->NavigateKey(event.key());
    return true;
}

void TfrmMain::navigationRule(int delta, int absolute) {
    const bool full = fullScreen();
    if (!full && !ThumbGrid->hasFocus())
        return;
    if (!full && !CurrentFile().isEmpty() && ThumbGrid->CurrentFileName() == CurrentFile())
        return;
    if (full) {
        const int last = ThumbGrid->ItemCount() - 1;
        int& slide = GridIndexBeforeFullScreen();
        if (absolute == 0)
            slide = 0;
        else if (absolute > 0)
            slide = qMax(0, last);
        else
            slide = qBound(0, slide + delta, qMax(0, last));
    }
    DoShowImage();
}

bool TfrmMain::FormKeyUp(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const bool alt = mods & Qt::AltModifier;

    if (ThumbGrid->hasFocus() && !alt && !ThumbGrid->NoPressSinceReload)
        ThumbGrid->NavigateKeyRelease(key, mods);
    if (alt && key == Qt::Key_F4) {
        close();
        return true;
    }
    if (key == Qt::Key_S) {
        if (ctrl)
            runMenuCommand(shift ? mkSaveAs : mkSave);
        else if (alt && !shift)
            lblFileMenuMouseDown(lblSiteMenu);
        return ctrl || (alt && !shift);
    }
    if (alt) {
        QLabel* label = nullptr;
        switch (key) {
        case Qt::Key_C:
            label = lblSiteMenu;
            break;
        case Qt::Key_E:
            label = lblEditMenu;
            break;
        case Qt::Key_F:
            label = lblFileMenu;
            break;
        case Qt::Key_H:
            label = lblHelpMenu;
            break;
        case Qt::Key_P:
            label = lblPictureMenu;
            break;
        case Qt::Key_T:
            label = lblCreativeMenu;
            break;
        case Qt::Key_L:
            ClickIfEnabled(btnrotate270);
            return true;
        case Qt::Key_R:
            ClickIfEnabled(btnrotate90);
            return true;
        default:
            break;
        }
        if (label) {
            lblFileMenuMouseDown(label);
            return true;
        }
        if (key == Qt::Key_C || IsNavigationKey(key))
            return true;
        // Any other key goes on with Alt held: Alt+F2 and the zoom keys below.
    }
    if (ctrl) {
        if (key == Qt::Key_Space)
            viewer_->dofullscreen(!fullScreen());
        else if (key == Qt::Key_A)
            library_->btnSelectAllClick(!shift);
        else if (key == Qt::Key_C && !CurrentFile().isEmpty())
            runMenuCommand(mkClipboard);
        else if (key == Qt::Key_H)
            runMenuCommand(mkQuickStart);
        else if (key == Qt::Key_I)
            runMenuCommand(mkFileInfo);
        else if (key == Qt::Key_O)
            BtnOpenFolderClick();
        else if (key == Qt::Key_V)
            runMenuCommand(mkPaste);
        else if (key == Qt::Key_Z)
            runMenuCommand(shift ? mkRedo : mkUndo);
        else if (key == Qt::Key_Q)
            close();
        else if (key == Qt::Key_L && shift) {
            const bool yes =
                qMessageDlg(QStringLiteral("Do you want to enable logging during uploading?"),
                            MsgType::Confirmation, mbYesNo) == mrYes;
            WriteUploadLogging(folders.programFolder, yes);
        } else if (IsZoomIn(event))
            viewer_->zoom(true);
        else if (IsZoomOut(event))
            viewer_->zoom(false);
        return key != Qt::Key_E && key != Qt::Key_X && key != Qt::Key_W;
    }
    switch (key) {
    case Qt::Key_Backspace:
        StepPicture(-1);
        DoShowImage();
        return true;
    case Qt::Key_Space:
        StepPicture(+1);
        DoShowImage();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Up:
        navigationRule(-1, -1);
        return false;
    case Qt::Key_Right:
    case Qt::Key_Down:
        navigationRule(+1, -1);
        return false;
    case Qt::Key_PageUp:
        navigationRule(-20, -1);
        return false;
    case Qt::Key_PageDown:
        navigationRule(+20, -1);
        return false;
    case Qt::Key_Home:
        navigationRule(0, 0);
        return false;
    case Qt::Key_End:
        navigationRule(0, 1);
        return false;
    case Qt::Key_Escape:
        if (!endActiveEditTool() && fullScreen())
            viewer_->dofullscreen(false);
        return true;
    case Qt::Key_F1:
        runMenuCommand(Contents1);
        return true;
    case Qt::Key_F2:
        // Alt+F2 renames the folder, a command the window does not have yet.
        if (!alt)
            ClickIfEnabled(btnRename);
        return true;
    case Qt::Key_F5:
        pgcModesChange();
        return true;
    default:
        break;
    }
    if (key == Qt::Key_0 && (mods & Qt::KeypadModifier)) {
        if (Loading())
            viewer_->setAbortRequested();
        else
            DoShowImage();
        return true;
    }
    if (IsZoomIn(event)) {
        viewer_->zoom(true);
        return true;
    }
    if (IsZoomOut(event)) {
        viewer_->zoom(false);
        return true;
    }
    return false;
}

} // namespace palvo
