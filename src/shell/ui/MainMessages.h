#pragma once

#include <QEvent>
#include <QString>

namespace palvo {

// The main window's internal messages, posted as events with the numbers
// they have always had. Payloads travel in the event.
enum MainMessage : int {
    WM_ROTATE_PICTURE = 2024, // path, direction (true: 90°, false: 270°)
    WM_ROTATE_FILE = 2025,    // path, direction
    WM_LAUNCH_USB = 2026,     // drive text, settings flag
    WM_GET_PICTURES = 2027,
    WM_CANCEL_REDEYE = 2028, // flag passed on
    WM_RESERVED_2029 = 2029, // accepted and ignored
    WM_SHOW_IMAGE = 2030,
    WM_REPAINT_GRID = 2031,
    WM_DO_IDLE = 2032,
    WM_SHOW_LATER = 2033,
};

class MainMessageEvent : public QEvent {
public:
    explicit MainMessageEvent(MainMessage message, QString text = QString(), bool flag = false)
        : QEvent(static_cast<QEvent::Type>(message)), text_(std::move(text)), flag_(flag) {}

    [[nodiscard]] MainMessage message() const { return static_cast<MainMessage>(type()); }
    [[nodiscard]] const QString& text() const { return text_; }
    [[nodiscard]] bool flag() const { return flag_; }

    // Set by the handler of the rotation messages: 0 on success, 1 on failure.
    int result = 0;

    [[nodiscard]] static bool isMainMessage(const QEvent* event) {
        return event->type() >= static_cast<QEvent::Type>(WM_ROTATE_PICTURE) &&
               event->type() <= static_cast<QEvent::Type>(WM_SHOW_LATER);
    }

private:
    QString text_;
    bool flag_;
};

} // namespace palvo
