#pragma once

// Answers the upload library's windows while a test calls into it: the
// library runs its own event loops (modal dialogs, and its transfer loop that
// processes events every 20 ms), in which this driver's timer fires and acts
// on whatever modal window is on top, through its real buttons.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPair>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

#include <functional>

namespace palvo::testing {

class DialogDriver {
public:
    DialogDriver() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start(20);
    }

    // Credentials typed into the sign-in window, one pair per appearance; the
    // last pair is used again. Empty: the window is cancelled.
    QList<QPair<QString, QString>> signIns;
    int signInShown = 0;
    // The text of every message box, in order, and whether it was shown as plain text.
    QStringList messages;
    QList<bool> plainText;
    // The answer to questions (Yes / No).
    bool answerYes = true;
    // Called at every tick while that window is the top modal window.
    std::function<void(QWidget*)> onProgress;
    std::function<void(QWidget*)> onProxy;

    void reset() {
        signIns.clear();
        signInShown = 0;
        messages.clear();
        plainText.clear();
        answerYes = true;
        onProgress = nullptr;
        onProxy = nullptr;
    }

private:
    void tick() {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            messages << box->text();
            plainText << (box->textFormat() == Qt::PlainText);
            QAbstractButton* b = box->button(answerYes ? QMessageBox::Yes : QMessageBox::No);
            if (!b)
                b = box->button(QMessageBox::Ok);
            b->click();
        } else if (w->objectName() == "dlgSignIn") {
            ++signInShown;
            if (signIns.isEmpty()) {
                w->findChild<QPushButton*>("btnCancel")->click();
                return;
            }
            const auto [user, password] =
                signIns.size() > 1 ? signIns.takeFirst() : signIns.first();
            w->findChild<QLineEdit*>("edtUser")->setText(user);
            w->findChild<QLineEdit*>("edtPassword")->setText(password);
            w->findChild<QPushButton*>("btnOK")->click();
        } else if (w->objectName() == "dlgProxySettings" && onProxy) {
            onProxy(w);
        } else if (w->objectName() == "dlgUploadProgress" && onProgress) {
            onProgress(w);
        }
    }

    QTimer m_timer;
};

} // namespace palvo::testing
