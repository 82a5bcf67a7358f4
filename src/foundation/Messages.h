#pragma once

#include <QString>

namespace palvo {

// The one way the program shows a message or asks a question. The windows
// install the real message window at start-up; tests install a scripted
// answerer that records every text. Without a handler (command-line use) the
// message goes to standard error and the answer is OK.

enum class MsgType { Warning = 0, Error = 1, Information = 2, Confirmation = 3, Custom = 4 };

// Button sets: OK only, Yes with No, or (any other value) OK with Cancel.
inline constexpr int mbOK = 4;
inline constexpr int mbOKCancel = 12;
inline constexpr int mbYesNo = 3;

// Results.
inline constexpr int mrOK = 1;
inline constexpr int mrCancel = 2;
inline constexpr int mrYes = 6;
inline constexpr int mrNo = 7;

class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    // A message with one finish button; the result is always mrOK.
    virtual void showMessage(const QString& message) = 0;
    // A confirmation with OK and Cancel; returns mrOK or mrCancel.
    virtual int showConfirm(const QString& caption, const QString& message) = 0;
    // A question with Yes and No; returns mrYes or mrNo. By default it is the
    // confirmation, OK standing for Yes.
    virtual int showQuestion(const QString& caption, const QString& message) {
        return showConfirm(caption, message) == mrOK ? mrYes : mrNo;
    }
};

// Installs the handler (nullptr restores the standard-error fallback) and
// returns the previous one.
MessageHandler* setMessageHandler(MessageHandler* handler);
MessageHandler* messageHandler();

// With the OK-only set: shows the message and returns mrOK. With Yes/No: asks
// with the caption of the type and returns mrYes or mrNo. Otherwise asks with
// the caption of the type and returns mrOK or mrCancel.
int qMessageDlg(const QString& message, MsgType type, int buttons, int helpContext = 0);
void ShowCustomMessage(const QString& message);
int ShowCustomConfirmDialog(const QString& caption, const QString& message);

// The caption a confirmation window of this type carries.
QString MessageCaption(MsgType type);

// With "%s" in the text, the text with the argument in its place; otherwise
// the text unchanged.
QString LoadStrFromRes(const QString& text, const QString& argument = QString());

} // namespace palvo
