#pragma once

#include "foundation/Messages.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace palvo {

// The program's own message window: white, 364 × 123, a centred word-wrapped
// text, and either one finish button or OK and Cancel.
class TdlgCustomMsg : public QDialog {
    Q_OBJECT
public:
    explicit TdlgCustomMsg(QWidget* parent = nullptr);

    void setMessage(const QString& message);
    // Hides the finish button and shows OK and Cancel.
    void setConfirmation(bool confirmation);
    // The confirmation's two buttons read Yes and No.
    void setYesNo();

    QLabel* lblMessage = nullptr;
    QPushButton* btnFinish = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

// Shows every message and question of the program in TdlgCustomMsg.
class WidgetMessageHandler : public MessageHandler {
public:
    WidgetMessageHandler();
    ~WidgetMessageHandler() override;
    WidgetMessageHandler(const WidgetMessageHandler&) = delete;
    WidgetMessageHandler& operator=(const WidgetMessageHandler&) = delete;

    void showMessage(const QString& message) override;
    int showConfirm(const QString& caption, const QString& message) override;
    int showQuestion(const QString& caption, const QString& message) override;

private:
    MessageHandler* previous_ = nullptr;
};

} // namespace palvo
