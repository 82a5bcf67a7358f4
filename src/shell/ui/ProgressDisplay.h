#pragma once

#include "foundation/Progress.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace palvo {

// The progress window: white, 380 × 117, a two-line message, the percentage,
// a thin gauge and a Cancel button that shows only when asked for. Cancel,
// or an attempt to close it, asks whether to cancel processing.
class TdlgProgress : public QDialog {
    Q_OBJECT
public:
    explicit TdlgProgress(QWidget* parent = nullptr);

    void setCancellable(bool canCancel);
    void btnCancelClick();

    QLabel* lblMessage = nullptr;
    QLabel* lblPercent = nullptr;
    QProgressBar* gauge = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};

// The progress display of long work: the main window's status-bar gauge and,
// when the ShowDlgProgress setting is on, the progress window.
class ProgressDisplay : public ProgressObserver {
public:
    // gauge: the status-bar gauge (may be null); showWindow: the setting.
    ProgressDisplay(QProgressBar* gauge, const bool* showWindow);
    ~ProgressDisplay() override;

    void showprogress(bool show, bool useWindow, int current, int total, const QString& message,
                      const QString& caption, bool canCancel);
    void hideprogress();

    // ProgressObserver: the window variant of showprogress.
    void progress(int current, int total, const QString& message, const QString& caption,
                  bool canCancel) override;
    bool cancelRequested() const override { return CancelRequested; }

    [[nodiscard]] TdlgProgress* window() const { return window_; }

private:
    QPointer<QProgressBar> gauge_;
    const bool* showWindow_;
    QPointer<TdlgProgress> window_;
};

} // namespace palvo
