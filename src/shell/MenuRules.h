#pragma once

#include <QPoint>
#include <QString>

namespace palvo {

// Where a menu of the menu bar drops down: just under its label, from the
// bar's screen position, its height and the label's left edge in the bar.
[[nodiscard]] QPoint MenuPopupPosition(QPoint barScreenTopLeft, int barHeight, int labelLeft);

// A menu-bar caption with "&" before its accelerator letter as rich text with
// that letter underlined ("&&" is a plain "&"); the rest is escaped.
[[nodiscard]] QString AcceleratorMarkup(const QString& caption);

// The service's web-site name, from the general web-site address: its host
// without a leading "www.", the first letter in capitals ("palvo.com" ->
// "Palvo.com"). Without a domain name (no address, a bare IP address or a
// local host name) the service's own site, "Palvo.com".
[[nodiscard]] QString SiteName(const QString& generalWebsite);
// The site menu's caption: the site name with its first "c" as accelerator.
[[nodiscard]] QString SiteMenuCaption(const QString& siteName);

// --- File menu
struct FileMenuInputs {
    bool pictureCurrent = false;
    bool loading = false;
    bool changed = false;
    bool maySaveOver = false;
};
struct FileMenuEnabling {
    bool save = false;
    bool saveAs = false; // also "Save to Upload" and "Picture Info"
};
[[nodiscard]] FileMenuEnabling FileMenuRules(const FileMenuInputs& in);

// --- Edit menu
// What the Edit menu shows of the undo history: the stacks' sizes, the
// caption of the newest entry of each and whether a lossless edit of the
// file is waiting.
struct UndoState {
    int undoCount = 0;
    QString lastUndo;
    int redoCount = 0;
    QString nextRedo;
    bool losslessPending = false;
};
struct EditMenuInputs {
    UndoState undo;
    bool pictureShown = false;
    bool loading = false;
    int gridItems = 0;
    int uploadEntries = 0;
};
struct EditMenuEnabling {
    QString undoCaption;
    QString redoCaption;
    bool undo = false;
    bool redo = false;
    bool copy = false;
    bool selectAll = false;
    bool selectNone = false;
};
[[nodiscard]] EditMenuEnabling EditMenuRules(const EditMenuInputs& in);

// --- Picture menu
// The toolbar buttons' enabled states, whether a picture is current, whether
// the view holds a picture and whether one is loading.
struct PictureMenuInputs {
    bool rotateLeftButton = false;
    bool rotateRightButton = false;
    bool freeCropButton = false;
    bool quickFixButton = false;
    bool redEyeButton = false;
    bool zoomInButton = false;
    bool pictureCurrent = false;
    bool viewEmpty = true;
    bool loading = false;
};
struct PictureMenuEnabling {
    bool zoom = false;
    bool rotate = false;
    bool left = false;
    bool right = false;
    bool crop = false;
    bool quickFix = false;
    bool redEye = false;
};
// The rules run in a fixed order: "Rotate" is decided from the rotate
// buttons before "Left" and "Right" take the state of "Crop".
[[nodiscard]] PictureMenuEnabling PictureMenuRules(const PictureMenuInputs& in);

} // namespace palvo
