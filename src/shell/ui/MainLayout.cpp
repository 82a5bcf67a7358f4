// The regions of the main window, top to bottom and left to right.
#include "shell/ui/MainUnit.h"

#include "controls/ui/Controls.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSplitter>
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
    lblfolder = new QLabel(QStringLiteral("Select Folder..."), pnlGetPhotos);
    lblfolder->setObjectName(QStringLiteral("lblfolder"));
    lblfolder->setGeometry(10, 10, 240, 20);
    left->addWidget(pnlGetPhotos);
    pnlTabsFolders = Region(LeftPanel, "pnlTabsFolders", 42);
    pnlTabsUpload = Region(LeftPanel, "pnlTabsUpload", 42);
    pnlTabsUpload->hide();
    left->addWidget(pnlTabsFolders);
    left->addWidget(pnlTabsUpload);
    pnlselection = Region(LeftPanel, "pnlselection", 43);
    left->addWidget(pnlselection);
    ThumbGrid = Region(LeftPanel, "ThumbGrid");
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
    Qimage = Region(right, "Qimage");
    Qimage->setAutoFillBackground(true);
    rightColumn->addWidget(Qimage, 1);
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
    rightColumn->addWidget(xpnlStatusbar);

    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({307, 636});
    setCentralWidget(central);
    resize(943, 607);
}

} // namespace palvo
