#include "shell/ui/ProgressDisplay.h"

#include "controls/ui/Controls.h"

#include "foundation/DebugLog.h"
#include "foundation/Messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace palvo {

namespace {
constexpr int kWidth = 380;
constexpr int kHeight = 117;

bool ConfirmCancel() {
    return qMessageDlg(QStringLiteral("Are you sure you want to cancel processing?"),
                       MsgType::Confirmation, mbOKCancel) == mrOK;
}
} // namespace

TdlgProgress::TdlgProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgProgress"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    PaintWhite(this);

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setGeometry(12, 10, kWidth - 24, 36);
    lblMessage->setWordWrap(true);
    lblMessage->setTextFormat(Qt::PlainText);
    lblPercent = new QLabel(QStringLiteral("0%"), this);
    lblPercent->setObjectName(QStringLiteral("lblPercent"));
    lblPercent->setGeometry(12, 52, kWidth - 24, 18);
    lblPercent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    gauge = new QProgressBar(this);
    gauge->setObjectName(QStringLiteral("gauge"));
    gauge->setGeometry(12, 76, kWidth - 24, 6);
    gauge->setRange(0, 100);
    gauge->setValue(0);
    gauge->setTextVisible(false);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(kWidth - 12 - 80, 92, 80, 27);
    connect(btnCancel, &QPushButton::clicked, this, &TdlgProgress::btnCancelClick);
    setCancellable(false);
    CentreOnScreen(this);
}

void TdlgProgress::setCancellable(bool canCancel) {
    btnCancel->setVisible(canCancel);
    setFixedSize(kWidth, canCancel ? btnCancel->geometry().bottom() + 1 : kHeight);
}

void TdlgProgress::btnCancelClick() {
    if (ConfirmCancel())
        CancelRequested = true;
}

void TdlgProgress::reject() {
    // Escape is a close attempt.
    close();
}

void TdlgProgress::closeEvent(QCloseEvent* event) {
    if (ConfirmCancel()) {
        CancelRequested = true;
        DebugLog::write(QStringLiteral("dlgProgress"), QStringLiteral("Progress cancelled"));
        event->accept();
        return;
    }
    event->ignore();
}

ProgressDisplay::ProgressDisplay(QProgressBar* gauge, const bool* showWindow)
    : gauge_(gauge), showWindow_(showWindow) {}

ProgressDisplay::~ProgressDisplay() {
    delete window_.data();
}

void ProgressDisplay::showprogress(bool show, bool useWindow, int current, int total,
                                   const QString& message, const QString& caption, bool canCancel) {
    if (!show) {
        delete window_.data();
        if (gauge_) {
            gauge_->hide();
            gauge_->setValue(0);
        }
        return;
    }
    if (total == 0 || current > total)
        return;
    const int percent = int(qint64(current) * 100 / total);
    if (gauge_) {
        gauge_->setValue(percent);
        gauge_->show();
    }
    if (!(showWindow_ && *showWindow_ && useWindow))
        return;
    if (!window_) {
        window_ = new TdlgProgress(QApplication::activeWindow());
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->setCancellable(canCancel);
        window_->show();
    }
    if (message != QLatin1String("SAME"))
        window_->lblMessage->setText(message);
    if (caption != QLatin1String("SAME"))
        window_->setWindowTitle(caption);
    window_->gauge->setValue(percent);
    window_->lblPercent->setText(QString::number(percent) + QLatin1Char('%'));
    window_->repaint();
}

void ProgressDisplay::hideprogress() {
    showprogress(false, true, 10, 10, QString(), QString(), false);
}

void ProgressDisplay::progress(int current, int total, const QString& message,
                               const QString& caption, bool canCancel) {
    showprogress(true, true, current, total, message, caption, canCancel);
    QCoreApplication::processEvents();
}

} // namespace palvo
