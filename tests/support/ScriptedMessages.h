// A message handler for tests: records every message and question and answers
// questions from a script. Installed for its lifetime.
#pragma once

#include "foundation/Messages.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace palvo::test {

struct ShownMessage {
    QString caption; // empty for a plain message
    QString text;
    bool question = false;
};

class ScriptedMessages : public MessageHandler {
public:
    // strict: a question without a scripted answer fails the test (and is
    // answered Cancel); otherwise it is answered OK.
    explicit ScriptedMessages(bool strict = false) : strict_(strict) {
        previous_ = setMessageHandler(this);
    }
    ~ScriptedMessages() override { setMessageHandler(previous_); }
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void showMessage(const QString& message) override {
        log.push_back({{}, message, false});
        shown << message;
    }
    int showConfirm(const QString& caption, const QString& message) override {
        log.push_back({caption, message, true});
        asked << caption + QLatin1String(": ") + message;
        if (answers.isEmpty()) {
            if (strict_) {
                ADD_FAILURE() << "unexpected question: " << message.toStdString();
                return mrCancel;
            }
            return mrOK;
        }
        return answers.takeFirst();
    }
    // Every text, messages and questions, in order.
    QStringList texts() const {
        QStringList out;
        for (const auto& m : log)
            out << m.text;
        return out;
    }

    QList<int> answers;      // mrOK / mrCancel, first one first
    QList<ShownMessage> log; // everything, in order
    QStringList shown;       // messages with one button
    QStringList asked;       // "caption: text" of each question

private:
    bool strict_;
    MessageHandler* previous_ = nullptr;
};

} // namespace palvo::test
