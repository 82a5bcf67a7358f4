#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace palvo::qupload {

// "Sign in to Palvo": the account's name and password, a line for the reason
// of a refused attempt, and a link to the service's sign-up page.
class SignInDialog : public QDialog {
public:
    SignInDialog(QWidget* parent, const QString& user, const QString& problem,
                 const QString& signUpAddress);

    QString user() const;
    QString password() const;

    QLineEdit* edtUser;
    QLineEdit* edtPassword;
    QLabel* lblProblem;
    QLabel* lblSignUp;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

} // namespace palvo::qupload
