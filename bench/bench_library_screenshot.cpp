// Shows the check grid in a real window (offscreen platform) on a folder of
// generated pictures and saves a screenshot of it.
//
//   bench_library_screenshot OUTPUT.png
#include "bench_library_pictures.h"
#include "foundation/QFileRoutine.h"
#include "imaging/IEFunctions.h"
#include "library/FolderNavigation.h"
#include "library/ui/QCheckThumbGrid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cstdio>

using namespace palvo;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Summer 2026/");
    QDir().mkpath(folder);
    TIEFunctions functions;
    const char* names[] = {"Beach morning.jpg",       "Harbour.jpg", "Lighthouse.jpg", "Dunes.jpg",
                           "Sunset over the bay.jpg", "Picnic.JPG",  "Hills.jpg"};
    int seed = 0;
    for (const char* name : names) {
        const bool portrait = seed == 3;
        const QImage picture =
            bench::photoLike(portrait ? 900 : 1200, portrait ? 1200 : 900, seed++);
        functions.SaveBitmapAsJPEG(picture, folder + QLatin1String(name), 90, false, false);
    }
    QFile broken(folder + QStringLiteral("Damaged.jpg"));
    broken.open(QIODevice::WriteOnly);
    broken.write("not a picture");
    broken.close();

    QStringList entries;
    listPictureFolder(folder, &entries);
    const QStringList ticked{folder + QStringLiteral("Harbour.jpg"),
                             folder + QStringLiteral("Dunes.jpg")};

    QWidget window;
    window.setWindowTitle(QStringLiteral("Palvo Sender - ") + folder);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* label = new QLabel(QStringLiteral("  ") + LastPathComponent(folder));
    label->setStyleSheet(QStringLiteral("background: white; font: bold 12px Tahoma; padding: 6px"));
    layout->addWidget(label);
    auto* grid = new TQCheckThumbGrid;
    grid->applyMainWindowLook();
    grid->HideFileExtensions = true; // the setting's default
    grid->setDiskCacheDirectory(dir.path() + QStringLiteral("/cache"));
    grid->OnGetCheckStatus = [&](const QString& name, bool& checked) {
        checked = ticked.contains(name);
    };
    grid->setAttachedListBox(&entries);
    layout->addWidget(grid);
    window.resize(264, 40 + 4 * grid->RowHeight());
    window.show();
    grid->Reload(true, true, true);
    grid->SelectIndex(2, true);
    QElapsedTimer timer;
    timer.start();
    while ((!grid->idle() || timer.elapsed() < 200) && timer.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        grid->PrecacheNext();
    }
    grid->viewport()->repaint();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "could not write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
