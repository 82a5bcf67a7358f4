#include "SignInDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace palvo::qupload {

SignInDialog::SignInDialog(QWidget* parent, const QString& user, const QString& problem,
                           const QString& signUpAddress)
    : QDialog(parent) {
    setObjectName("dlgSignIn");
    setWindowTitle("Sign in to Palvo");
    setModal(true);

    edtUser = new QLineEdit(user, this);
    edtUser->setObjectName("edtUser");
    edtUser->setMaxLength(64);
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName("edtPassword");
    edtPassword->setEchoMode(QLineEdit::Password);
    edtPassword->setMaxLength(200);
    lblProblem = new QLabel(this);
    lblProblem->setObjectName("lblProblem");
    lblProblem->setTextFormat(Qt::PlainText); // the service's words
    lblProblem->setText(problem);
    lblProblem->setStyleSheet("color: #b00020");
    lblProblem->setVisible(!problem.isEmpty());
    lblSignUp = new QLabel(this);
    lblSignUp->setObjectName("lblSignUp");
    if (!signUpAddress.isEmpty()) {
        lblSignUp->setText(
            QString("No account yet? <a href=\"%1\">Sign up on the Palvo service</a>.")
                .arg(signUpAddress.toHtmlEscaped()));
        lblSignUp->setTextFormat(Qt::RichText);
        lblSignUp->setOpenExternalLinks(true);
    }
    lblSignUp->setVisible(!signUpAddress.isEmpty());

    auto* buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton("Sign In", QDialogButtonBox::AcceptRole);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
    btnCancel->setObjectName("btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow("User name:", edtUser);
    form->addRow("Password:", edtPassword);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Sign in with your Palvo account to upload pictures.", this));
    layout->addWidget(lblProblem);
    layout->addLayout(form);
    layout->addWidget(lblSignUp);
    layout->addWidget(buttons);
    (user.isEmpty() ? edtUser : edtPassword)->setFocus();
}

QString SignInDialog::user() const {
    return edtUser->text().trimmed();
}
QString SignInDialog::password() const {
    return edtPassword->text();
}

} // namespace palvo::qupload
