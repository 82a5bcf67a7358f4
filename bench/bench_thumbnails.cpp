// How fast the check grid fills with thumbnails of camera-sized photos.
//
//   bench_thumbnails [--folder DIR] [--count N] [--vips N]
//
// Makes (once) a folder of N photo-like 6000 x 4000 JPEGs, then measures:
// - the cost of one thumbnail on one thread, and two threads' wall time,
//   against `vipsthumbnail -s 90x75` over the same files in one process;
// - from listing until every visible cell shows its thumbnail, cold (empty
//   cache) and warm (disk cache filled, fresh memory), for the main window's
//   pane and for a full screen of cells;
// - the longest time the user-interface thread was busy between two waits
//   for events while the cold folder filled;
// - the idle pre-caching of the whole folder, one file per idle pass, with the
//   thumbnail made by a grid worker (as the main window does) or on the
//   user-interface thread: the longest pass and the longest stretch of work.
// Run it under QT_QPA_PLATFORM=offscreen.
#include "bench_library_pictures.h"
#include "imaging/IEFunctions.h"
#include "library/FolderNavigation.h"
#include "library/ThumbnailMaker.h"
#include "library/ui/QCheckThumbGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>

#include <sys/resource.h>
#include <time.h>

using namespace palvo;
using palvo::bench::photoLike;

namespace {

QStringList makeFolder(const QString& folder, int count) {
    QDir().mkpath(folder);
    QStringList files;
    TIEFunctions functions;
    const int bases = 4;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("DSC_%1.JPG").arg(i, 4, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(path)) {
            const QString base = folder + QStringLiteral("base_%1.jpg").arg(i % bases);
            if (!QFileInfo::exists(base)) {
                std::printf("making %s\n", qPrintable(base));
                std::fflush(stdout);
                functions.SaveBitmapAsJPEG(photoLike(6000, 4000, i % bases), base, 92, false,
                                           false);
            }
            QFile::copy(base, path);
        }
        files << path;
    }
    return files;
}

double threadCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The longest time the user-interface thread could not serve a 1 ms
// heartbeat timer (wall clock: includes waiting for a processor on a busy
// machine), and the most processor time it spent between two beats (its own
// work only).
class BlockMeter : public QObject {
public:
    BlockMeter() {
        beat_.setTimerType(Qt::PreciseTimer);
        beat_.setInterval(1);
        connect(&beat_, &QTimer::timeout, this, [this] {
            longest_ = std::max(longest_, timer_.nsecsElapsed() / 1e6 - 1.0);
            timer_.restart();
            const double cpu = threadCpuMilliseconds();
            longestWork_ = std::max(longestWork_, cpu - lastCpu_);
            lastCpu_ = cpu;
        });
    }
    void start() {
        longest_ = 0;
        longestWork_ = 0;
        lastCpu_ = threadCpuMilliseconds();
        timer_.start();
        beat_.start();
    }
    void stop() { beat_.stop(); }
    double longest() const { return std::max(0.0, longest_); }
    double longestWork() const { return longestWork_; }

private:
    QTimer beat_;
    QElapsedTimer timer_;
    double longest_ = 0;
    double longestWork_ = 0;
    double lastCpu_ = 0;
};

struct FillResult {
    int cells = 0;
    double milliseconds = 0;
    double longestBlock = 0;
    double longestWork = 0;
};

// Shows a grid of the given size on the list and waits until every visible
// cell holds its thumbnail.
FillResult fill(QStringList& entries, const QString& cacheFolder, QSize size, BlockMeter& meter) {
    TQCheckThumbGrid grid;
    grid.applyMainWindowLook();
    grid.resize(size);
    grid.setDiskCacheDirectory(cacheFolder);
    grid.show();
    QApplication::processEvents();
    const int visible =
        std::min<int>(int(entries.size()), grid.ColCount() * grid.VisibleRowCount());
    const auto allShown = [&] {
        for (int i = 0; i < visible; ++i) {
            if (grid.cache().FindInMemoryCache(entries[i].mid(1)) < 0)
                return false;
        }
        return true;
    };
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (allShown())
            loop.quit();
    });
    meter.start();
    QElapsedTimer timer;
    timer.start();
    grid.setAttachedListBox(&entries);
    grid.Reload(true, true, true);
    grid.viewport()->update();
    poll.start();
    loop.exec();
    const double elapsed = timer.nsecsElapsed() / 1e6;
    meter.stop();
    FillResult result{visible, elapsed, meter.longest(), meter.longestWork()};
    grid.cache().SaveDiskCacheIndex();
    return result;
}

// Fills the disk cache for the whole list as the main window's idle passes
// do, one file per pass: handed to a grid worker (the next pass comes when it
// is done, as thumbnailReady schedules it), or for comparison made on the
// user-interface thread itself.
FillResult precacheAll(QStringList& entries, QSize size, bool onWorkers, BlockMeter& meter) {
    QTemporaryDir cache;
    TQCheckThumbGrid grid;
    grid.applyMainWindowLook();
    grid.resize(size);
    grid.setDiskCacheDirectory(cache.filePath(QStringLiteral("cache/")));
    grid.show();
    QApplication::processEvents();
    QEventLoop loop;
    int next = 0;
    double longestPass = 0;
    std::function<void()> step;
    std::function<void()> pass = [&] {
        QElapsedTimer passTimer;
        passTimer.start();
        step();
        longestPass = std::max(longestPass, passTimer.nsecsElapsed() / 1e6);
    };
    step = [&] {
        if (onWorkers) {
            if (grid.cache().precacheCursor() >= entries.size() && grid.idle())
                loop.quit();
            else if (grid.precacheDue())
                grid.PrecacheNext();
            if (grid.precacheDue())
                QTimer::singleShot(0, &loop, pass);
        } else {
            if (next >= entries.size()) {
                loop.quit();
                return;
            }
            (void)grid.EnsureDiskCached(entries[next++].mid(1));
            // The next pass after a beat of the meter, so that each pass
            // is measured on its own.
            QTimer::singleShot(2, &loop, pass);
        }
    };
    QObject::connect(&grid, &TQCheckThumbGrid::thumbnailReady, &loop,
                     [&] { QTimer::singleShot(0, &loop, pass); });
    meter.start();
    QElapsedTimer timer;
    timer.start();
    grid.setAttachedListBox(&entries);
    grid.Reload(true, true, true);
    QTimer::singleShot(0, &loop, pass);
    loop.exec();
    const double elapsed = timer.nsecsElapsed() / 1e6;
    meter.stop();
    return {int(entries.size()), elapsed, longestPass, meter.longestWork()};
}

double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Wall milliseconds; *cpu gets the process's CPU milliseconds meanwhile.
double perThumbnail(const QStringList& files, int threads, double* cpu = nullptr) {
    const double cpuBefore = cpuMilliseconds();
    QThreadPool pool;
    pool.setMaxThreadCount(threads);
    std::atomic<int> failures{0};
    QElapsedTimer timer;
    timer.start();
    for (const QString& file : files) {
        pool.start([&failures, file] {
            thread_local TIEFunctions functions;
            QImage thumbnail;
            if (!LoadThumbnailImage(functions, file, ThumbnailLook{}, thumbnail))
                ++failures;
        });
    }
    pool.waitForDone();
    if (cpu)
        *cpu = cpuMilliseconds() - cpuBefore;
    if (failures > 0)
        std::printf("  %d thumbnails failed\n", failures.load());
    return timer.nsecsElapsed() / 1e6;
}

double childCpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double vipsWall(const QStringList& files, const QString& out, double* cpu) {
    if (QStandardPaths::findExecutable(QStringLiteral("vipsthumbnail")).isEmpty())
        return -1;
    QDir().mkpath(out);
    QStringList args{QStringLiteral("-s"), QStringLiteral("90x75"), QStringLiteral("-o"),
                     out + QStringLiteral("%s.jpg")};
    args += files;
    QProcess vips;
    const double cpuBefore = childCpuMilliseconds();
    QElapsedTimer timer;
    timer.start();
    vips.start(QStringLiteral("vipsthumbnail"), args);
    vips.waitForFinished(-1);
    const double wall = timer.nsecsElapsed() / 1e6;
    *cpu = childCpuMilliseconds() - cpuBefore;
    return wall;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString folder = QDir::tempPath() + QStringLiteral("/palvo-bench-photos/");
    int count = 200;
    int vipsCount = 40;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder"))
            folder = QDir(args[++i]).absolutePath() + QLatin1Char('/');
        else if (args[i] == QLatin1String("--count"))
            count = args[++i].toInt();
        else if (args[i] == QLatin1String("--vips"))
            vipsCount = args[++i].toInt();
    }
    const QStringList files = makeFolder(folder, count);
    const QStringList sample = files.mid(0, std::min<int>(vipsCount, int(files.size())));

    std::printf("%d photos of 6000 x 4000 in %s\n\n", int(files.size()), qPrintable(folder));
    (void)perThumbnail(sample.mid(0, 4), 1); // warm the file cache and the code
    double cpuOne = 0, cpuTwo = 0;
    const double one = perThumbnail(sample, 1, &cpuOne);
    const double two = perThumbnail(sample, 2, &cpuTwo);
    QTemporaryDir scratch;
    double cpuVips = 0;
    const double vips = vipsWall(sample, scratch.filePath(QStringLiteral("vips/")), &cpuVips);
    const double n = double(sample.size());
    std::printf("per thumbnail over %d files (90 x 75):\n", int(sample.size()));
    std::printf("  this program, 1 thread   %7.1f ms each (cpu %.1f ms each)\n", one / n,
                cpuOne / n);
    std::printf("  this program, 2 threads  %7.1f ms each (wall %.0f ms, %.2fx faster; "
                "cpu/wall %.2f cores busy)\n",
                two / n, two, one / two, cpuTwo / two);
    if (vips >= 0)
        std::printf("  vipsthumbnail -s 90x75   %7.1f ms each (cpu %.1f ms each; one process, "
                    "wall %.0f ms)\n\n",
                    vips / n, cpuVips / n, vips);
    else
        std::printf("  vipsthumbnail not installed\n\n");

    QStringList entries;
    listPictureFolder(folder, &entries);
    entries.removeIf([](const QString& e) { return e.contains(QLatin1String("/base_")); });
    BlockMeter meter;
    const struct {
        const char* name;
        QSize size;
    } panes[] = {{"main window pane 264 x 640", {264, 640}},
                 {"full screen 1280 x 1000", {1280, 1000}}};
    for (const auto& pane : panes) {
        QTemporaryDir cache;
        const QString cacheFolder = cache.filePath(QStringLiteral("cache/"));
        const FillResult cold = fill(entries, cacheFolder, pane.size, meter);
        const FillResult warm = fill(entries, cacheFolder, pane.size, meter);
        std::printf("%s, %d cells:\n", pane.name, cold.cells);
        for (const auto& [name, r] : {std::pair{"cold", cold}, std::pair{"warm", warm}})
            std::printf("  %s  %8.1f ms until all shown; longest UI-thread gap %5.1f ms, "
                        "longest UI-thread work between beats %5.1f ms\n",
                        name, r.milliseconds, r.longestBlock, r.longestWork);
    }
    std::printf("pre-caching the whole folder at idle, main window pane:\n");
    for (bool onWorkers : {true, false}) {
        const FillResult r = precacheAll(entries, {264, 640}, onWorkers, meter);
        std::printf("  %s  %8.1f ms for %d files; longest idle pass %5.1f ms, "
                    "longest UI-thread work between beats %5.1f ms\n",
                    onWorkers ? "made by a grid worker " : "made on the UI thread ", r.milliseconds,
                    r.cells, r.longestBlock, r.longestWork);
    }
    return 0;
}
