#include "shell/ui/PSender.h"

#include "foundation/Version.h"
#include "shell/CommandLine.h"
#include "shell/ui/MainUnit.h"
#include "shell/ui/MessageWindows.h"
#include "shell/ui/SingleInstance.h"
#include "shell/ui/Splash.h"
#include "upload/CommandLineJob.h"

#include <QApplication>
#include <QDialog>
#include <QImageReader>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace palvo {

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT (a logout, a service manager, Ctrl+C in a terminal)
// close the main window as the user would, so nothing is lost.
void CloseOnTerminationSignals(QWidget* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(g_signalPipe[0], &byte, 1);
        // A message or question that is open ends as if cancelled first.
        for (int tries = 0; tries < 10; ++tries) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == window)
                break;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
        window->close();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace

int PSender(int argc, char** argv) {
    // --prepare and --upload run without a window or a display.
    if (isCommandLineJob(argc, argv))
        return CommandLineMain(argc, argv);
    // A reader that goes away mid-write must not end the program.
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(kDefaultProgramName));
    QApplication::setApplicationVersion(FileVersionText());
    QImageReader::setAllocationLimit(1024);

    const QStringList arguments = AbsoluteFileArguments(QApplication::arguments().mid(1));

    // A second start hands its arguments to the running instance and ends.
    SingleInstance instance;
    if (instance.start(arguments) == SingleInstance::Role::Secondary)
        return 0;

    WidgetMessageHandler messages;
    StartOptions options;
    options.arguments = arguments;
    TfrmMain main(options);
    QObject::connect(&instance, &SingleInstance::instanceStarted, &main,
                     &TfrmMain::OneInstance1InstanceStarted);

    CloseOnTerminationSignals(&main);

    auto* splash = new TSplash(main.GetFolder(0) + QStringLiteral("Splash.xdl"));
    splash->showAndPaint();
    main.setSplash(splash);
    main.show();
    return app.exec();
}

} // namespace palvo
