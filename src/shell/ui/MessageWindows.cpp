#include "shell/ui/MessageWindows.h"

#include "controls/ui/Controls.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace palvo {

TdlgCustomMsg::TdlgCustomMsg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgCustomMsg"));
    setWindowTitle(QStringLiteral("Information"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(364, 123);
    PaintWhite(this);

    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setGeometry(9, 10, 345, 61);
    lblMessage->setAlignment(Qt::AlignCenter);
    lblMessage->setWordWrap(true);
    lblMessage->setTextFormat(Qt::PlainText);

    btnFinish = new QPushButton(QStringLiteral("OK"), this);
    btnFinish->setObjectName(QStringLiteral("btnFinish"));
    btnFinish->setGeometry(144, 82, 75, 27);
    btnFinish->setDefault(true);
    connect(btnFinish, &QPushButton::clicked, this, &QDialog::accept);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(100, 82, 75, 27);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(189, 82, 75, 27);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    setConfirmation(false);
    CentreOnScreen(this);
}

void TdlgCustomMsg::setYesNo() {
    setConfirmation(true);
    btnOK->setText(QStringLiteral("Yes"));
    btnCancel->setText(QStringLiteral("No"));
}

void TdlgCustomMsg::setMessage(const QString& message) {
    lblMessage->setText(message);
}

void TdlgCustomMsg::setConfirmation(bool confirmation) {
    btnFinish->setVisible(!confirmation);
    btnOK->setVisible(confirmation);
    btnCancel->setVisible(confirmation);
    btnOK->setDefault(confirmation);
    btnFinish->setDefault(!confirmation);
}

WidgetMessageHandler::WidgetMessageHandler() {
    previous_ = setMessageHandler(this);
}

WidgetMessageHandler::~WidgetMessageHandler() {
    setMessageHandler(previous_);
}

void WidgetMessageHandler::showMessage(const QString& message) {
    TdlgCustomMsg dialog(QApplication::activeWindow());
    dialog.setMessage(message);
    dialog.exec();
}

int WidgetMessageHandler::showConfirm(const QString& caption, const QString& message) {
    TdlgCustomMsg dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.setMessage(message);
    dialog.setConfirmation(true);
    return dialog.exec() == QDialog::Accepted ? mrOK : mrCancel;
}

int WidgetMessageHandler::showQuestion(const QString& caption, const QString& message) {
    TdlgCustomMsg dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.setMessage(message);
    dialog.setYesNo();
    return dialog.exec() == QDialog::Accepted ? mrYes : mrNo;
}

} // namespace palvo
