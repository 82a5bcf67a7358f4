#pragma once

#include "controls/ui/TabPicture.h"

#include <QLabel>

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

} // namespace palvo
