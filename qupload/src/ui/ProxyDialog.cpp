#include "ProxyDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace palvo::qupload {

ProxyDialog::ProxyDialog(QWidget* parent, const ProxySettings& s) : QDialog(parent) {
    setObjectName("dlgProxySettings");
    setWindowTitle("Proxy Server Settings");
    setModal(true);
    rbNoProxy = new QRadioButton("No proxy", this);
    rbNoProxy->setObjectName("rbNoProxy");
    rbSystemProxy = new QRadioButton("Use the system's proxy settings", this);
    rbSystemProxy->setObjectName("rbSystemProxy");
    rbManualProxy = new QRadioButton("Use this proxy server:", this);
    rbManualProxy->setObjectName("rbManualProxy");
    edtHost = new QLineEdit(s.host, this);
    edtHost->setObjectName("edtHost");
    spnPort = new QSpinBox(this);
    spnPort->setObjectName("spnPort");
    spnPort->setRange(1, 65535);
    spnPort->setValue(s.port);
    edtUser = new QLineEdit(s.user, this);
    edtUser->setObjectName("edtUser");
    edtPassword = new QLineEdit(s.password, this);
    edtPassword->setObjectName("edtPassword");
    edtPassword->setEchoMode(QLineEdit::Password);
    (s.mode == ProxyMode::None     ? rbNoProxy
     : s.mode == ProxyMode::Manual ? rbManualProxy
                                   : rbSystemProxy)
        ->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName("btnOK");
    btnCancel = buttons->button(QDialogButtonBox::Cancel);
    btnCancel->setObjectName("btnCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(rbManualProxy, &QRadioButton::toggled, this, [this] { updateEnabling(); });

    auto* form = new QFormLayout;
    form->addRow("Host:", edtHost);
    form->addRow("Port:", spnPort);
    form->addRow("User name:", edtUser);
    form->addRow("Password:", edtPassword);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rbNoProxy);
    layout->addWidget(rbSystemProxy);
    layout->addWidget(rbManualProxy);
    layout->addLayout(form);
    layout->addWidget(buttons);
    updateEnabling();
}

void ProxyDialog::updateEnabling() {
    for (QWidget* w : {static_cast<QWidget*>(edtHost), static_cast<QWidget*>(spnPort),
                       static_cast<QWidget*>(edtUser), static_cast<QWidget*>(edtPassword)})
        w->setEnabled(rbManualProxy->isChecked());
}

ProxySettings ProxyDialog::settings() const {
    ProxySettings s;
    s.mode = rbNoProxy->isChecked()       ? ProxyMode::None
             : rbManualProxy->isChecked() ? ProxyMode::Manual
                                          : ProxyMode::System;
    s.host = edtHost->text().trimmed();
    s.port = spnPort->value();
    s.user = edtUser->text();
    s.password = edtPassword->text();
    if (s.mode == ProxyMode::Manual && s.host.isEmpty())
        s.mode = ProxyMode::System;
    return s;
}

} // namespace palvo::qupload
