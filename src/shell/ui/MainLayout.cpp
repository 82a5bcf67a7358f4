// The regions of the main window, top to bottom and left to right.
#include "shell/ui/MainUnit.h"

#include "controls/ui/ClickLabel.h"
#include "controls/ui/Controls.h"
#include "library/ui/QCheckThumbGrid.h"
#include "shell/MenuRules.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace palvo {

namespace {
QFrame* Region(QWidget* parent, const char* name, int height = -1) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromLatin1(name));
    if (height >= 0)
        frame->setFixedHeight(height);
    return frame;
}

// A bar whose contents keep their own sizes: a window narrower than the
// contents clips them instead of being held wide by them.
void LetShrink(QWidget* bar) {
    bar->setMinimumWidth(1);
}

QToolButton* Button(QWidget* parent, const char* name, const QString& text, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

// One view's tab strip: the tab picture with the "originals" and "to upload"
// labels on its two halves.
QFrame* TabStrip(QWidget* parent, const char* name, int active, TabPicture** picture,
                 ClickLabel** originals, ClickLabel** toUpload, const char* pictureName,
                 const char* originalsName, const char* toUploadName) {
    QFrame* strip = Region(parent, name, 42);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 0, 6, 0);
    *picture = new TabPicture(active, strip);
    (*picture)->setObjectName(QString::fromLatin1(pictureName));
    row->addWidget(*picture);
    auto* labels = new QHBoxLayout(*picture);
    labels->setContentsMargins(0, 8, 0, 0);
    *originals = new ClickLabel(QStringLiteral("originals"), *picture);
    (*originals)->setObjectName(QString::fromLatin1(originalsName));
    *toUpload = new ClickLabel(QStringLiteral("to upload"), *picture);
    (*toUpload)->setObjectName(QString::fromLatin1(toUploadName));
    for (ClickLabel* label : {*originals, *toUpload}) {
        label->setAlignment(Qt::AlignCenter);
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
        labels->addWidget(label, 1);
    }
    return strip;
}

// A label of the menu bar: its menu drops down when the mouse is pressed on it.
class MenuLabel : public QLabel {
public:
    MenuLabel(const char* name, const QString& caption, QWidget* parent) : QLabel(parent) {
        setObjectName(QString::fromLatin1(name));
        setCaption(caption);
        setTextFormat(Qt::RichText);
        setContentsMargins(8, 0, 8, 0);
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setPixelSize(13);
        f.setBold(true);
        setFont(f);
    }
    // The caption with "&" before the accelerator letter.
    void setCaption(const QString& caption) { setText(AcceleratorMarkup(caption)); }
    std::function<void()> pressed;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QLabel::mousePressEvent(event);
        if (pressed)
            pressed();
    }
};

// A hint panel over the picture: one line of text on a pale background.
QFrame* HintPanel(QWidget* parent, const char* name, const QString& text) {
    QFrame* panel = Region(parent, name, 28);
    LetShrink(panel);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xD6));
    panel->setPalette(p);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(10, 0, 10, 0);
    auto* label = new QLabel(text, panel);
    label->setObjectName(QString::fromLatin1(name) + QStringLiteral("Text"));
    row->addWidget(label);
    panel->hide();
    return panel;
}

// The strip of captions under the edit buttons, one caption per button.
constexpr int kToolButtonWidth = 54;
QWidget* CaptionStrip(QWidget* parent, const char* name, const QStringList& captions,
                      const QColor& colour) {
    auto* strip = new QWidget(parent);
    strip->setObjectName(QString::fromLatin1(name));
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (const QString& caption : captions) {
        // Each word on a line of its own, so every caption sits alike under
        // its button whatever its length.
        auto* label =
            new QLabel(QString(caption).replace(QLatin1Char(' '), QLatin1Char('\n')), strip);
        label->setFixedWidth(kToolButtonWidth);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
        QFont f = label->font();
        f.setPixelSize(11);
        label->setFont(f);
        row->addWidget(label);
    }
    row->addStretch();
    return strip;
}
} // namespace

void TfrmMain::CreateMenuBar(QWidget* bar) {
    auto* menuRow = static_cast<QHBoxLayout*>(bar->layout());
    struct Entry {
        QLabel** member;
        const char* name;
        QString caption;
    };
    const Entry entries[] = {
        {&lblFileMenu, "lblFileMenu", QStringLiteral("&File")},
        {&lblPictureMenu, "lblPictureMenu", QStringLiteral("&Picture")},
        {&lblEditMenu, "lblEditMenu", QStringLiteral("&Edit")},
        {&lblCreativeMenu, "lblCreativeMenu", QStringLiteral(" Creative &Tools  ")},
        {&lblSiteMenu, "lblSiteMenu", SiteMenuCaption(SiteName(serviceConfig.GeneralWebsite))},
        {&lblHelpMenu, "lblHelpMenu", QStringLiteral("&Help")},
    };
    for (const Entry& entry : entries) {
        auto* label = new MenuLabel(entry.name, entry.caption, bar);
        label->pressed = [this, label] { lblFileMenuMouseDown(label); };
        *entry.member = label;
        menuRow->addWidget(label);
    }
}

void TfrmMain::updateSiteMenu() {
    const QString site = SiteName(serviceConfig.GeneralWebsite);
    static_cast<MenuLabel*>(lblSiteMenu)->setCaption(SiteMenuCaption(site));
    mkVisit->setText(QStringLiteral("Visit ") + site);
}

void TfrmMain::CreateToolbar() {
    auto* row = new QHBoxLayout(pnlToolbar);
    row->setContentsMargins(8, 8, 8, 4);
    auto* tools = new QGridLayout;
    tools->setSpacing(0);
    tools->setContentsMargins(0, 0, 0, 0);
    struct Tool {
        QToolButton** member;
        const char* name;
        const char* hint;
        const char* caption; // also the button's text, read out in place of its picture
    };
    const Tool list[] = {
        {&btnrotate270, "btnrotate270", "Rotate left", "Rotate Left"},
        {&btnrotate90, "btnrotate90", "Rotate right", "Rotate Right"},
        {&btnZoomIn2, "btnZoomIn2", "Zoom in", "Zoom In"},
        {&btnZoomOut, "btnZoomOut", "Zoom out", "Zoom Out"},
        {&btnPalvoCrop, "btnPalvoCrop", "Trim unwanted portions of picture", "Palvo Crop"},
        {&btnFreeCrop, "btnFreeCrop", "Trim unwanted portions of picture", "Free Crop"},
        {&btnQuickFix, "btnQuickFix", "Correct color and brightness of picture", "Quick Fix"},
        {&btnredeye, "btnredeye", "Remove red-eye from your picture", "Red-eye"},
        {&btnAddText, "btnAddText", "Add text to the image", "Add Text"},
    };
    QStringList captions;
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    for (const Tool& tool : list) {
        QToolButton* b = Button(pnlToolbar, tool.name, QString::fromLatin1(tool.caption),
                                QString::fromLatin1(tool.hint));
        b->setFixedSize(kToolButtonWidth, 52);
        *tool.member = b;
        buttons->addWidget(b);
        captions << QString::fromLatin1(tool.caption);
    }
    buttons->addStretch();
    for (QToolButton* b : {btnPalvoCrop, btnFreeCrop, btnredeye, btnAddText})
        b->setCheckable(true);
    tools->addLayout(buttons, 0, 0);
    imgButtonTextEnabled =
        CaptionStrip(pnlToolbar, "imgButtonTextEnabled", captions, QColor(0x33, 0x33, 0x33));
    imgButtonTextDisabled =
        CaptionStrip(pnlToolbar, "imgButtonTextDisabled", captions, QColor(0xA0, 0xA0, 0xA0));
    tools->addWidget(imgButtonTextEnabled, 1, 0);
    tools->addWidget(imgButtonTextDisabled, 1, 0);
    imgButtonTextEnabled->hide();
    row->addLayout(tools, 1);
    btndocrop = Button(pnlToolbar, "btndocrop", QStringLiteral("Apply"),
                       QStringLiteral("Apply this edit to picture"));
    btnCancelCrop = Button(pnlToolbar, "btnCancelCrop", QStringLiteral("Cancel"),
                           QStringLiteral("Do not apply this edit to picture"));
    for (QToolButton* b : {btndocrop, btnCancelCrop}) {
        b->setFixedSize(kToolButtonWidth, 52);
        b->hide();
        row->addWidget(b, 0, Qt::AlignTop);
    }
}

void TfrmMain::CreateRegions() {
    setObjectName(QStringLiteral("frmMain"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    setFont(font);
    PaintWhite(this);

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnlMenu = Region(central, "pnlMenu", 47);
    LetShrink(pnlMenu);
    auto* menuRow = new QHBoxLayout(pnlMenu);
    menuRow->setContentsMargins(0, 0, 0, 0);
    CreateMenuBar(pnlMenu);
    menuRow->addStretch();
    imgLogo1 = new QLabel(pnlMenu);
    imgLogo1->setObjectName(QStringLiteral("imgLogo1"));
    imgLogo1->setFixedSize(198, 47);
    menuRow->addWidget(imgLogo1);
    column->addWidget(pnlMenu);

    splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setHandleWidth(3);
    splitter->setChildrenCollapsible(false);
    column->addWidget(splitter, 1);

    LeftPanel = Region(splitter, "LeftPanel");
    auto* left = new QVBoxLayout(LeftPanel);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);
    pnlGetPhotos = Region(LeftPanel, "pnlGetPhotos", 136);
    auto* photos = new QVBoxLayout(pnlGetPhotos);
    photos->setContentsMargins(10, 8, 10, 8);
    auto* folderRow = new QHBoxLayout;
    lblfolder = new QLabel(QStringLiteral("Select Folder..."), pnlGetPhotos);
    lblfolder->setObjectName(QStringLiteral("lblfolder"));
    folderRow->addWidget(lblfolder, 1);
    btnRecentFolder = Button(pnlGetPhotos, "btnRecentFolder", QStringLiteral("\u25BE"),
                             QStringLiteral("Display recently-viewed folders"));
    folderRow->addWidget(btnRecentFolder);
    photos->addLayout(folderRow);
    BtnOpenFolder = Button(pnlGetPhotos, "BtnOpenFolder", QStringLiteral("Get Pictures..."),
                           QStringLiteral("Find folder with pictures you want to view"));
    photos->addWidget(BtnOpenFolder);
    btnUpload = Button(pnlGetPhotos, "btnUpload", QStringLiteral("Upload"),
                       QStringLiteral("Upload selected pictures"));
    photos->addWidget(btnUpload);
    left->addWidget(pnlGetPhotos);
    pnlTabsFolders = TabStrip(LeftPanel, "pnlTabsFolders", 0, &imgTabsFolders, &lblSelFolders1,
                              &lblSelUpload1, "imgTabsFolders", "lblSelFolders1", "lblSelUpload1");
    pnlTabsUpload = TabStrip(LeftPanel, "pnlTabsUpload", 1, &imgTabsUpload, &lblSelFolders2,
                             &lblSelUpload2, "imgTabsUpload", "lblSelFolders2", "lblSelUpload2");
    pnlTabsUpload->hide();
    left->addWidget(pnlTabsFolders);
    left->addWidget(pnlTabsUpload);
    pnlselection = Region(LeftPanel, "pnlselection", 43);
    auto* selection = new QHBoxLayout(pnlselection);
    selection->setContentsMargins(10, 0, 10, 0);
    selection->addWidget(new QLabel(QStringLiteral("Select:"), pnlselection));
    btnSelectAll = Button(pnlselection, "btnSelectAll", QStringLiteral("All"),
                          QStringLiteral("Select all pictures in folder"));
    btndeselectall = Button(pnlselection, "btndeselectall", QStringLiteral("None"),
                            QStringLiteral("Deselect all pictures in folder"));
    selection->addWidget(btnSelectAll);
    selection->addWidget(btndeselectall);
    selection->addStretch();
    left->addWidget(pnlselection);
    ThumbGrid = new TQCheckThumbGrid(LeftPanel);
    ThumbGrid->setObjectName(QStringLiteral("ThumbGrid"));
    ThumbGrid->applyMainWindowLook();
    left->addWidget(ThumbGrid, 1);
    edtdirectory = new QLineEdit(LeftPanel);
    edtdirectory->setObjectName(QStringLiteral("edtdirectory"));
    edtdirectory->hide();

    auto* right = Region(splitter, "pnlRight");
    auto* rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    rightColumn->setSpacing(0);
    pnlToolbar = Region(right, "pnlToolbar", 107);
    LetShrink(pnlToolbar);
    rightColumn->addWidget(pnlToolbar);
    CreateToolbar();
    pnlCrop = HintPanel(right, "pnlCrop",
                        QStringLiteral("Move and resize the selection rectangle to frame the area "
                                       "you want to keep"));
    pnlRedEye = HintPanel(right, "pnlRedEye",
                          QStringLiteral("Drag the selection box over a red eye and click Apply"));
    rightColumn->addWidget(pnlCrop);
    rightColumn->addWidget(pnlRedEye);
    pnlImageHolder = Region(right, "pnlImageHolder");
    rightColumn->addWidget(pnlImageHolder, 1);
    xpnlStatusbar = Region(right, "xpnlStatusbar", 54);
    LetShrink(xpnlStatusbar);
    auto* status = new QHBoxLayout(xpnlStatusbar);
    status->setContentsMargins(0, 0, 6, 0);
    status->setSpacing(2);
    // Left: the load gauge over the file name, and the rename button.
    auto* fileBox = new QWidget(xpnlStatusbar);
    fileBox->setObjectName(QStringLiteral("pnlFileName"));
    fileBox->setFixedSize(206, 54);
    pbrLoad = new QProgressBar(fileBox);
    pbrLoad->setObjectName(QStringLiteral("pbrLoad"));
    pbrLoad->setGeometry(8, 8, 136, 4);
    pbrLoad->setRange(0, 100);
    pbrLoad->setTextVisible(false);
    pbrLoad->hide();
    lblFilename = new QLabel(fileBox);
    lblFilename->setObjectName(QStringLiteral("lblFilename"));
    lblFilename->setGeometry(8, 18, 136, 20);
    btnRename = Button(fileBox, "btnRename", QStringLiteral("Rename"),
                       QStringLiteral("Change picture filename"));
    btnRename->setGeometry(146, 14, 58, 26);
    status->addWidget(fileBox);
    status->addStretch();
    // Right, kept at the right edge.
    btnPrevious = Button(xpnlStatusbar, "btnPrevious", QStringLiteral("\u25C0"),
                         QStringLiteral("Go to previous picture in folder"));
    btnNext = Button(xpnlStatusbar, "btnNext", QStringLiteral("\u25B6"),
                     QStringLiteral("Go to next picture in folder"));
    btnFileInfo = Button(xpnlStatusbar, "btnFileInfo", QStringLiteral("Info"),
                         QStringLiteral("View picture file information"));
    lblZoom = new QLabel(QStringLiteral("100%"), xpnlStatusbar);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setFixedWidth(40);
    lblZoom->setAlignment(Qt::AlignCenter);
    btnPalvoOn =
        Button(xpnlStatusbar, "btnPalvoOn", QStringLiteral("Frame"),
               QStringLiteral("Display the image as it will appear in the Palvo Receiver"));
    btnPalvoOff = Button(xpnlStatusbar, "btnPalvoOff", QStringLiteral("Full size"),
                         QStringLiteral("Display the image at full size"));
    fullscreenbtn = Button(xpnlStatusbar, "fullscreenbtn", QStringLiteral("Full screen"),
                           QStringLiteral("Show the pictures full screen"));
    for (QToolButton* b : {btnPalvoOn, btnPalvoOff, fullscreenbtn})
        b->setCheckable(true);
    btnPalvoOn->setChecked(true);
    // The small logos, one visible: the service's mark in colour while there
    // are pictures to show, greyed otherwise (their pictures: MainArtwork).
    imgPalvoEn = new QLabel(xpnlStatusbar);
    imgPalvoEn->setObjectName(QStringLiteral("imgPalvoEn"));
    imgPalvoDis = new QLabel(xpnlStatusbar);
    imgPalvoDis->setObjectName(QStringLiteral("imgPalvoDis"));
    for (QLabel* logo : {imgPalvoEn, imgPalvoDis}) {
        logo->setFixedWidth(44);
        logo->setAlignment(Qt::AlignCenter);
    }
    imgPalvoEn->hide();
    for (QWidget* part :
         std::initializer_list<QWidget*>{btnPrevious, btnNext, btnFileInfo, lblZoom, btnPalvoOn,
                                         btnPalvoOff, fullscreenbtn, imgPalvoEn, imgPalvoDis}) {
        if (qobject_cast<QToolButton*>(part))
            part->setFixedHeight(26);
        status->addWidget(part);
    }
    rightColumn->addWidget(xpnlStatusbar);

    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({307, 636});
    ApplyArtwork();
    setCentralWidget(central);
    resize(943, 607);
    CreateMenus();
}

} // namespace palvo
