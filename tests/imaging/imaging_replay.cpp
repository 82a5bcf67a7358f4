// Runs every picture loader of the program on each file named on the command
// line and prints one line per file: for replaying corpora of hostile files
// under AddressSanitizer with /usr/bin/time (see README.md here).
#include "imaging/IEFunctions.h"
#include "imaging/ImageFormats.h"
#include "imaging/JpegCodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

using namespace palvo;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    TIEFunctions ie;
    ie.FalseExtensionformats = QStringLiteral("*.*");
    int worstMs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i]);
        QElapsedTimer timer;
        timer.start();
        int loaded = 0;
        for (const auto& [w, h] : {std::pair{-1, -1}, std::pair{90, 75}, std::pair{1280, 960}}) {
            QImage image;
            loaded += ie.LoadBitmapFromFile(image, file, w, h, false);
        }
        TImageIO io;
        QString error;
        loaded += ie.LoadIntoIO(io, file, true, error);
        TImageProperties properties;
        loaded += ie.GetImageProperties(file, properties);
        QFile f(file);
        if (f.open(QIODevice::ReadOnly) && f.size() < (1 << 30)) {
            const QByteArray bytes = f.readAll();
            loaded += !decodeJpeg(bytes, 8).image.isNull();
            const int type = detectFileType(bytes);
            if (type != ioUnknown && type != ioJPEG) {
                loaded += !decodeWithQt(bytes, type).image.isNull();
            }
        }
        const int ms = int(timer.elapsed());
        worstMs = std::max(worstMs, ms);
        std::printf("%6d ms  %d reads  %s\n", ms, loaded, argv[i]);
    }
    std::printf("slowest file: %d ms\n", worstMs);
    return 0;
}
