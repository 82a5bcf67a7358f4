// The main window's look: the button pictures, the menu bar's band and the
// colours of the view tabs' labels.
#include "shell/ui/MainUnit.h"

#include "controls/ui/ButtonArt.h"
#include "controls/ui/ClickLabel.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include <utility>

namespace palvo {

namespace {

// The button shows the glyph (beside its caption, where it has one); an
// icon-only button keeps its caption as its tool tip.
void setGlyph(QToolButton* button, Glyph glyph, int size, Qt::ToolButtonStyle style) {
    button->setIcon(buttonIcon(glyph, size));
    button->setIconSize(QSize(size, size));
    button->setToolButtonStyle(style);
    if (button->toolTip().isEmpty())
        button->setToolTip(button->text());
}

// The folder strip's two commands as wide, softly shaded buttons.
void makeWide(QToolButton* button) {
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setFixedHeight(44);
    button->setAutoRaise(false);
    button->setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px solid #C6D2E0; border-radius: 6px; padding: 2px 10px;"
        " text-align: left; font-weight: bold; color: #1C4A7E;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #EAF1F9); }"
        "QToolButton:hover { border-color: #2B6CB0;"
        " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #FFFFFF, stop:1 #DCEAF8); }"
        "QToolButton:pressed { background: #D4E4F5; }"
        "QToolButton:disabled { color: #A9B1BB; border-color: #DDE3EA; background: #F7F9FB; }"));
}

// The status bar's small logo: the service's mark, coloured or greyed.
void setLogo(QLabel* logo, Glyph glyph) {
    constexpr int kSide = 26;
    logo->setPixmap(buttonIcon(glyph, kSide).pixmap(kSide, kSide));
}

void setLabelColour(ClickLabel* label, bool active) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, TabPicture::labelColour(active));
    label->setPalette(pal);
}

} // namespace

void TfrmMain::ApplyArtwork() {
    PaintBand(pnlMenu);
    setGlyph(btnRecentFolder, Glyph::RecentFolders, 16, Qt::ToolButtonIconOnly);
    setGlyph(BtnOpenFolder, Glyph::GetPictures, 32, Qt::ToolButtonTextBesideIcon);
    setGlyph(btnUpload, Glyph::Upload, 32, Qt::ToolButtonTextBesideIcon);
    makeWide(BtnOpenFolder);
    makeWide(btnUpload);
    setGlyph(btnSelectAll, Glyph::SelectAll, 20, Qt::ToolButtonTextBesideIcon);
    setGlyph(btndeselectall, Glyph::DeselectAll, 20, Qt::ToolButtonTextBesideIcon);
    setGlyph(btnPrevious, Glyph::Previous, 22, Qt::ToolButtonIconOnly);
    setGlyph(btnNext, Glyph::Next, 22, Qt::ToolButtonIconOnly);
    setGlyph(btnPalvoOn, Glyph::ReceiverView, 22, Qt::ToolButtonIconOnly);
    setGlyph(btnPalvoOff, Glyph::FullSize, 22, Qt::ToolButtonIconOnly);
    setGlyph(fullscreenbtn, Glyph::FullScreen, 22, Qt::ToolButtonIconOnly);
    setGlyph(btnRename, Glyph::Rename, 18, Qt::ToolButtonIconOnly);
    setGlyph(btnFileInfo, Glyph::PictureInfo, 22, Qt::ToolButtonIconOnly);
    setLogo(imgPalvoEn, Glyph::PalvoEnabled);
    setLogo(imgPalvoDis, Glyph::PalvoDisabled);
    // The edit toolbar: pictures only, its caption strip names them.
    const std::pair<QToolButton*, Glyph> tools[] = {
        {btnrotate270, Glyph::RotateLeft}, {btnrotate90, Glyph::RotateRight},
        {btnZoomIn2, Glyph::ZoomIn},       {btnZoomOut, Glyph::ZoomOut},
        {btnPalvoCrop, Glyph::PalvoCrop},  {btnFreeCrop, Glyph::FreeCrop},
        {btnQuickFix, Glyph::QuickFix},    {btnredeye, Glyph::RedEye},
        {btnAddText, Glyph::AddText}};
    for (const auto& [button, glyph] : tools)
        setGlyph(button, glyph, 32, Qt::ToolButtonIconOnly);
    setGlyph(btndocrop, Glyph::Apply, 24, Qt::ToolButtonTextUnderIcon);
    setGlyph(btnCancelCrop, Glyph::Cancel, 24, Qt::ToolButtonTextUnderIcon);
    // The active tab's label in the accent colour, the other one quieter.
    setLabelColour(lblSelFolders1, imgTabsFolders->activeTab() == 0);
    setLabelColour(lblSelUpload1, imgTabsFolders->activeTab() == 1);
    setLabelColour(lblSelFolders2, imgTabsUpload->activeTab() == 0);
    setLabelColour(lblSelUpload2, imgTabsUpload->activeTab() == 1);
}

} // namespace palvo
