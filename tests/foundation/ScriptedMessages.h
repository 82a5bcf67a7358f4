#pragma once

#include "foundation/Messages.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace palvo::test {

// Records every message and question and answers questions from a script.
// Installed for its lifetime.
class ScriptedMessages : public MessageHandler {
public:
    ScriptedMessages() { previous_ = setMessageHandler(this); }
    ~ScriptedMessages() override { setMessageHandler(previous_); }

    void showMessage(const QString& message) override { shown << message; }
    int showConfirm(const QString& caption, const QString& message) override {
        asked << caption + QLatin1String(": ") + message;
        if (answers.isEmpty()) {
            ADD_FAILURE() << "unexpected question: " << message.toStdString();
            return mrCancel;
        }
        return answers.takeFirst();
    }

    QStringList shown;  // messages with one button
    QStringList asked;  // "caption: text" of each question
    QList<int> answers; // mrOK / mrCancel, first one first

private:
    MessageHandler* previous_ = nullptr;
};

} // namespace palvo::test
