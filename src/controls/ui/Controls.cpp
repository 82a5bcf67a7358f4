#include "controls/ui/Controls.h"

#include <QApplication>
#include <QHelpEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QToolTip>
#include <QWidget>

namespace palvo {

void PaintWhite(QWidget* widget) {
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, Qt::white);
    widget->setPalette(pal);
}

void CentreOnScreen(QWidget* window) {
    if (QScreen* screen = QApplication::primaryScreen())
        window->move(screen->geometry().center() - window->rect().center());
}

void SafeFocus(QWidget* control) {
    if (control && control->isEnabled() && control->isVisible())
        control->setFocus();
}

namespace {
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return HintTiming::kHintPauseMs;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

void HintTiming::install() {
    static HintTiming* filter = nullptr;
    if (filter || !qApp)
        return;
    QApplication::setStyle(new HintStyle);
    filter = new HintTiming;
    filter->setParent(qApp);
    qApp->installEventFilter(filter);
}

bool HintTiming::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->toolTip().isEmpty())
        return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), widget->toolTip(), widget, QRect(), kHintHidePauseMs);
    return true;
}

} // namespace palvo
