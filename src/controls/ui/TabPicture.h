#pragma once

#include <QColor>
#include <QWidget>

namespace palvo {

// The picture behind a view's two tab labels: two tabs side by side, the
// active one white and raised with an accent along its top, joined to the
// page below; the other one lower and shaded. Reports where the mouse was
// released.
class TabPicture : public QWidget {
    Q_OBJECT
public:
    TabPicture(int activeTab, QWidget* parent = nullptr);

    [[nodiscard]] int activeTab() const { return activeTab_; }
    // The text colour of a label on the active or the other tab.
    [[nodiscard]] static QColor labelColour(bool active);

Q_SIGNALS:
    void released(int x);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int activeTab_;
};

} // namespace palvo
