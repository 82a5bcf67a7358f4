#include "shell/ui/PSender.h"

#include <QApplication>
#include <QMainWindow>

namespace palvo {

int PSender(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Palvo Sender"));
    QMainWindow w;
    w.show();
    return app.exec();
}

} // namespace palvo
