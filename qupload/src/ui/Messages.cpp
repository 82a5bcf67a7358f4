#include "Messages.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace palvo::qupload {

bool widgetsAvailable() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool showMessage(QWidget* parent, MessageKind kind, const QString& title, const QString& text) {
    if (!widgetsAvailable()) {
        std::fprintf(stderr, "QUpload: %s\n", text.toLocal8Bit().constData());
        return false;
    }
    QMessageBox box(parent);
    box.setObjectName("msgQUpload");
    box.setWindowTitle(title);
    box.setTextFormat(Qt::PlainText); // names and reasons come from files and the service
    box.setText(text);
    switch (kind) {
    case MessageKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageKind::Question:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return false;
}

} // namespace palvo::qupload
