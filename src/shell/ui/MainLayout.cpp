// The regions of the main window, top to bottom and left to right.
#include "shell/ui/MainUnit.h"

#include "controls/ui/ClickLabel.h"
#include "controls/ui/Controls.h"
#include "library/ui/QCheckThumbGrid.h"

#include <QFrame>
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
} // namespace

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
    auto* menuRow = new QHBoxLayout(pnlMenu);
    menuRow->setContentsMargins(0, 0, 0, 0);
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
    rightColumn->addWidget(pnlToolbar);
    pnlImageHolder = Region(right, "pnlImageHolder");
    rightColumn->addWidget(pnlImageHolder, 1);
    xpnlStatusbar = Region(right, "xpnlStatusbar", 54);
    pbrLoad = new QProgressBar(xpnlStatusbar);
    pbrLoad->setObjectName(QStringLiteral("pbrLoad"));
    pbrLoad->setGeometry(8, 8, 160, 4);
    pbrLoad->setRange(0, 100);
    pbrLoad->setTextVisible(false);
    pbrLoad->hide();
    lblFilename = new QLabel(xpnlStatusbar);
    lblFilename->setObjectName(QStringLiteral("lblFilename"));
    lblFilename->setGeometry(8, 18, 300, 20);
    btnPrevious = Button(xpnlStatusbar, "btnPrevious", QStringLiteral("\u25C0"),
                         QStringLiteral("Go to previous picture in folder"));
    btnPrevious->setGeometry(320, 14, 28, 26);
    btnNext = Button(xpnlStatusbar, "btnNext", QStringLiteral("\u25B6"),
                     QStringLiteral("Go to next picture in folder"));
    btnNext->setGeometry(352, 14, 28, 26);
    lblZoom = new QLabel(QStringLiteral("100%"), xpnlStatusbar);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setGeometry(392, 18, 50, 20);
    btnPalvoOn = Button(xpnlStatusbar, "btnPalvoOn", QStringLiteral("Frame"),
                        QStringLiteral("Show the picture as the frame will show it"));
    btnPalvoOff = Button(xpnlStatusbar, "btnPalvoOff", QStringLiteral("Full size"),
                         QStringLiteral("Show the picture at its full size"));
    fullscreenbtn = Button(xpnlStatusbar, "fullscreenbtn", QStringLiteral("Full screen"),
                           QStringLiteral("Show the pictures full screen"));
    for (QToolButton* b : {btnPalvoOn, btnPalvoOff, fullscreenbtn})
        b->setCheckable(true);
    btnPalvoOn->setChecked(true);
    btnPalvoOn->setGeometry(448, 14, 56, 26);
    btnPalvoOff->setGeometry(506, 14, 64, 26);
    fullscreenbtn->setGeometry(576, 14, 80, 26);
    rightColumn->addWidget(xpnlStatusbar);

    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({307, 636});
    ApplyArtwork();
    setCentralWidget(central);
    resize(943, 607);
}

} // namespace palvo
