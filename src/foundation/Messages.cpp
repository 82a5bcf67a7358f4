#include "foundation/Messages.h"

#include <cstdio>

namespace palvo {

namespace {
MessageHandler* g_handler = nullptr;
} // namespace

MessageHandler* setMessageHandler(MessageHandler* handler) {
    MessageHandler* previous = g_handler;
    g_handler = handler;
    return previous;
}

MessageHandler* messageHandler() {
    return g_handler;
}

QString MessageCaption(MsgType type) {
    switch (type) {
    case MsgType::Warning:
        return QStringLiteral("Warning");
    case MsgType::Error:
        return QStringLiteral("Error");
    case MsgType::Confirmation:
        return QStringLiteral("Confirmation");
    case MsgType::Information:
    case MsgType::Custom:
        break;
    }
    return QStringLiteral("Information");
}

void ShowCustomMessage(const QString& message) {
    if (g_handler) {
        g_handler->showMessage(message);
        return;
    }
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int ShowCustomConfirmDialog(const QString& caption, const QString& message) {
    if (g_handler)
        return g_handler->showConfirm(caption, message) == mrOK ? mrOK : mrCancel;
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                 message.toLocal8Bit().constData());
    return mrOK;
}

int qMessageDlg(const QString& message, MsgType type, int buttons, int /*helpContext*/) {
    if (buttons == mbOK) {
        ShowCustomMessage(message);
        return mrOK;
    }
    if (buttons == mbYesNo) {
        if (g_handler)
            return g_handler->showQuestion(MessageCaption(type), message) == mrYes ? mrYes : mrNo;
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return mrNo;
    }
    return ShowCustomConfirmDialog(MessageCaption(type), message);
}

QString LoadStrFromRes(const QString& text, const QString& argument) {
    if (!text.contains(QLatin1String("%s")))
        return text;
    QString result = text;
    result.replace(result.indexOf(QLatin1String("%s")), 2, argument);
    return result;
}

} // namespace palvo
