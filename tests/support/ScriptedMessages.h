// A message handler for tests: records every message and question and answers
// questions from a script (OK when the script runs out).
#pragma once

#include "foundation/Messages.h"

#include <QList>
#include <QString>

namespace palvo::test {

struct ShownMessage {
    QString caption; // empty for a plain message
    QString text;
    bool question = false;
};

class ScriptedMessages : public MessageHandler {
public:
    ScriptedMessages() { previous_ = setMessageHandler(this); }
    ~ScriptedMessages() override { setMessageHandler(previous_); }
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void showMessage(const QString& message) override { shown.push_back({{}, message, false}); }
    int showConfirm(const QString& caption, const QString& message) override {
        shown.push_back({caption, message, true});
        return answers.isEmpty() ? mrOK : answers.takeFirst();
    }
    QStringList texts() const {
        QStringList out;
        for (const auto& m : shown)
            out << m.text;
        return out;
    }

    QList<int> answers;
    QList<ShownMessage> shown;

private:
    MessageHandler* previous_ = nullptr;
};

} // namespace palvo::test
