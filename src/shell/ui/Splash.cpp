#include "shell/ui/Splash.h"

#include "controls/ui/Controls.h"
#include "imaging/ui/PictureViewer.h"
#include "shell/ui/FontScaling.h"

#include "foundation/Version.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace palvo {

TSplash::TSplash(const QString& picturePath)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(PictureViewer::ReadProgramPicture(picturePath)) {
    setObjectName(QStringLiteral("Splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (!picture_.isNull())
        setFixedSize(picture_.width(), qMax(1, picture_.height() - 40));
    else
        setFixedSize(1, 1);
    CentreOnScreen(this);
}

void TSplash::showAndPaint() {
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!picture_.isNull())
        p.drawImage(0, 0, picture_);
}

TAboutBox::TAboutBox(const QString& programName, const QString& picturePath, QWidget* parent)
    : QDialog(parent), picture_(PictureViewer::ReadProgramPicture(picturePath)) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About ") + programName);
    const QSize size = picture_.isNull() ? QSize(480, 340) : picture_.size();
    setFixedSize(size);

    btnFinish = new QPushButton(QStringLiteral("Finish"), this);
    btnFinish->setObjectName(QStringLiteral("btnFinish"));
    btnFinish->resize(75, 25);
    btnFinish->move(size.width() - 6 - btnFinish->width(), size.height() - 6 - btnFinish->height());
    btnFinish->setDefault(true);
    connect(btnFinish, &QPushButton::clicked, this, &QDialog::accept);

    lblVersion = new QLabel(QStringLiteral("Build ") + ProductVersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    QFont small = lblVersion->font();
    small.setPixelSize(10);
    lblVersion->setFont(small);
    QPalette pal = lblVersion->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    lblVersion->setPalette(pal);
    lblVersion->adjustSize();
    lblVersion->move(8, size.height() - 6 - lblVersion->height());
    ScaleFontsForScreen(*this);
}

void TAboutBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!picture_.isNull())
        p.drawImage(0, 0, picture_);
    else
        p.fillRect(rect(), QColor(0x14, 0x2F, 0x55));
}

} // namespace palvo
