#pragma once

#include <QObject>

class QWidget;

namespace palvo {

// A white window background.
void PaintWhite(QWidget* widget);
// Centres the window on the primary screen.
void CentreOnScreen(QWidget* window);

// Gives the control the keyboard focus when it is enabled and showing.
void SafeFocus(QWidget* control);

// Hints (tool tips) appear after 750 ms and stay for 7.5 s.
class HintTiming : public QObject {
    Q_OBJECT
public:
    static constexpr int kHintPauseMs = 750;
    static constexpr int kHintHidePauseMs = 7500;

    // Installs the timing for the whole application (once).
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace palvo
