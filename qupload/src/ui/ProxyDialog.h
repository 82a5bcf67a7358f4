#pragma once

#include "UserState.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace palvo::qupload {

// "Proxy Server Settings": no proxy, the system's proxy (the environment's
// http_proxy, https_proxy and no_proxy), or a manual proxy with host, port,
// user and password.
class ProxyDialog : public QDialog {
public:
    ProxyDialog(QWidget* parent, const ProxySettings& settings);
    ProxySettings settings() const;

    QRadioButton* rbNoProxy;
    QRadioButton* rbSystemProxy;
    QRadioButton* rbManualProxy;
    QLineEdit* edtHost;
    QSpinBox* spnPort;
    QLineEdit* edtUser;
    QLineEdit* edtPassword;
    QPushButton* btnOK;
    QPushButton* btnCancel;

private:
    void updateEnabling();
};

} // namespace palvo::qupload
