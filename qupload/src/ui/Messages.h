#pragma once

#include <QString>

class QWidget;

namespace palvo::qupload {

enum class MessageKind { Information, Warning, Error, Question };

// Whether the host program runs a QApplication, so the library can show windows.
bool widgetsAvailable();

// The library's one way of telling the user something: a message box (object
// name "msgQUpload") owned by parent. A question offers Yes and No and returns
// true for Yes. Without a QApplication the text goes to standard error and a
// question is answered No.
bool showMessage(QWidget* parent, MessageKind kind, const QString& title, const QString& text);

} // namespace palvo::qupload
