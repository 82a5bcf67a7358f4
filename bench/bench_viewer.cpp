// How long the main window waits for a large picture, and how long its
// event loop stalls meanwhile: the real window shows camera-sized JPEGs one
// after another (the decode runs on the viewer's worker), against the same
// load done directly on the window's thread.
//
//   bench_viewer [--folder DIR] [--count N] [--size WxH]
//
// DIR is filled with N photo-like JPEGs when it holds none (default: a
// temporary folder, 8 pictures of 6000 x 4000). Runs under the offscreen
// platform in a temporary home, so no real settings are touched.
#include "bench_library_pictures.h"

#include "foundation/ProgramFolders.h"
#include "imaging/IEFunctions.h"
#include "imaging/ui/PictureView.h"
#include "shell/ui/MainUnit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace palvo;

namespace {

// Watches the event loop with a 1 ms timer and keeps the longest gap.
class StallMeter {
public:
    StallMeter() {
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] { beat(); });
    }
    void start() {
        longest_ = 0;
        clock_.start();
        last_ = 0;
        timer_.start();
    }
    double stop() {
        beat();
        timer_.stop();
        return longest_ / 1e6;
    }

private:
    void beat() {
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double longest(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

QStringList ensurePictures(const QString& folder, int count, QSize size) {
    QDir dir(folder);
    dir.mkpath(QStringLiteral("."));
    QStringList files = dir.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    for (int i = files.size(); i < count; ++i) {
        const QString name = QStringLiteral("photo%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        bench::photoLike(size.width(), size.height(), i).save(dir.filePath(name), "JPEG", 92);
        files << name;
    }
    files = dir.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name).mid(0, count);
    for (QString& f : files)
        f = dir.filePath(f);
    return files;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(var, (home.path() + QLatin1Char('/') + QLatin1String(var)).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QString folder = home.path() + QStringLiteral("/pictures");
    int count = 8;
    QSize size(6000, 4000);
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--folder"))
            folder = args[i + 1];
        else if (args[i] == QLatin1String("--count"))
            count = std::max(2, args[i + 1].toInt());
        else if (args[i] == QLatin1String("--size")) {
            const QStringList wh = args[i + 1].split(QLatin1Char('x'));
            size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
        }
    }
    const QStringList files = ensurePictures(folder, count, size);

    StartOptions options;
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    options.folders =
        InitialCode(QCoreApplication::applicationDirPath(), dataHome, QDir::tempPath(), folder);
    options.splashMinimumMs = 0;
    options.screenSize = QSize(1280, 1024);
    options.colourDepth = 24;
    options.uploadLibraryPath = home.path() + QStringLiteral("/none.so");
    TfrmMain window(options);
    QSignalSpy finished(&window, &TfrmMain::setupFinished);
    window.show();
    if (!finished.wait(20000)) {
        std::fprintf(stderr, "bench_viewer: the window did not start\n");
        return 1;
    }
    // Runs the event loop for a while without spinning.
    auto settle = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    settle(500);

    // The window: each picture in turn, as a click on its thumbnail does.
    StallMeter meter;
    std::vector<double> showMs, stallMs, cpuMs;
    for (int i = 0; i < files.size(); ++i) {
        const int index = window.gridIndexOf(files[i]);
        QSignalSpy ended(&window.viewer(), &PictureViewer::loadEnded);
        QElapsedTimer t;
        meter.start();
        t.start();
        window.selectGridIndex(index);
        window.DoShowImage();
        const double cpuBefore = processCpuMs();
        while (ended.isEmpty() || window.Loading())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        showMs.push_back(t.nsecsElapsed() / 1e6);
        cpuMs.push_back(processCpuMs() - cpuBefore);
        stallMs.push_back(meter.stop());
        if (window.currentFile() != files[i]) {
            std::fprintf(stderr, "bench_viewer: showed %s instead of %s\n",
                         qPrintable(window.currentFile()), qPrintable(files[i]));
            return 1;
        }
        settle(100);
    }

    // The same loads on the window's thread: the event loop waits for each.
    TIEFunctions functions;
    std::vector<double> directMs;
    for (const QString& file : files) {
        TImageIO io;
        QString error;
        meter.start();
        QTimer::singleShot(0, [&] {
            functions.LoadIntoIO(io, file, false, error, 0);
            window.viewer().view().setImage(io.Bitmap);
        });
        while (io.Bitmap.isNull())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        directMs.push_back(meter.stop());
        settle(50);
    }

    // The bare decode on a worker thread, the floor of the window's wait.
    std::vector<double> workerMs;
    for (const QString& file : files) {
        QElapsedTimer t;
        t.start();
        QThreadPool::globalInstance()->start([&functions, file] {
            TImageIO io;
            QString error;
            functions.LoadIntoIO(io, file, false, error, 0);
        });
        QThreadPool::globalInstance()->waitForDone();
        workerMs.push_back(t.nsecsElapsed() / 1e6);
        settle(100);
    }

    std::printf("%d pictures of %d x %d\n", int(files.size()), size.width(), size.height());
    std::printf("%-44s %10s %10s\n", "", "median", "max");
    std::printf("%-44s %8.1f ms %7.1f ms\n", "window: click to picture shown", median(showMs),
                longest(showMs));
    std::printf("%-44s %8.1f ms %7.1f ms\n", "window: processor time of the whole program",
                median(cpuMs), longest(cpuMs));
    std::printf("%-44s %8.1f ms %7.1f ms\n", "window: longest event-loop stall", median(stallMs),
                longest(stallMs));
    std::printf("%-44s %8.1f ms %7.1f ms\n", "direct load on the window's thread: stall",
                median(directMs), longest(directMs));
    std::printf("%-44s %8.1f ms %7.1f ms\n", "bare decode on a worker thread", median(workerMs),
                longest(workerMs));
    if (median(stallMs) > 0)
        std::printf("stall ratio, direct / window: %.1fx\n", median(directMs) / median(stallMs));
    return 0;
}
