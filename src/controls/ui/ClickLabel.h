#pragma once

#include <QLabel>
#include <QWidget>

namespace palvo {

// A label that reports a left click.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The picture behind a view's two tab labels: two tabs side by side, the
// active one raised. Reports where the mouse was released.
class TabPicture : public QWidget {
    Q_OBJECT
public:
    TabPicture(int activeTab, QWidget* parent = nullptr);

Q_SIGNALS:
    void released(int x);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int activeTab_;
};

} // namespace palvo
