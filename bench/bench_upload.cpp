// Measurements of receiver-ready preparation, for bench/upload_vs_imagemagick.sh.
//
//   bench_upload make-photos DIR COUNT WIDTH HEIGHT [FIRST_SEED]
//       writes COUNT synthetic camera photos IMG_0000.JPG … (quality 92, EXIF)
//   bench_upload compare [--repeat N] FILE...
//       per picture, single-threaded: CreatePalvoFile against the floor measured
//       in the same run (the scaled decode alone, a Lanczos resize and eight
//       640 × 480 encodes), and the quality chosen against the highest quality
//       whose encoding is under the cap (found by trying every quality).
//       One tab-separated line per picture, then the medians.

#include "foundation/QFileRoutine.h"
#include "imaging/IEFunctions.h"
#include "imaging/JpegCodec.h"
#include "imaging/Resample.h"
#include "upload/CameraPhotos.h"
#include "upload/PalvoFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace palvo;

namespace {

double median(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <typename F> double timeMs(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int makePhotos(const QStringList& a) {
    if (a.size() < 4)
        return 2;
    const QString dir = a[0];
    const int count = a[1].toInt(), width = a[2].toInt(), height = a[3].toInt();
    const int first = a.size() > 4 ? a[4].toInt() : 0;
    QDir().mkpath(dir);
    for (int i = 0; i < count; ++i) {
        const QByteArray jpeg = test::cameraLikeJpeg(width, height, quint64(first + i));
        QFile f(QString("%1/IMG_%2.JPG").arg(dir).arg(first + i, 4, 10, QChar('0')));
        if (!f.open(QIODevice::WriteOnly) || f.write(jpeg) != jpeg.size())
            return 1;
        std::printf("%s\t%lld bytes\n", qPrintable(f.fileName()), (long long)jpeg.size());
    }
    return 0;
}

int compare(QStringList files) {
    int repeat = 3;
    if (files.size() >= 2 && files[0] == "--repeat") {
        repeat = std::max(1, files[1].toInt());
        files = files.mid(2);
    }
    QTemporaryDir out;
    TIEFunctions functions;
    PalvoFileOptions options; // the defaults: 640 × 480, 65,499 bytes, black
    options.targetFolder = out.path() + "/";
    std::vector<double> ratios, oursAll, floorAll;
    std::printf("file\tours_ms\tfloor_ms\tdecode_ms\tresize_ms\tencode8_ms\tratio\tq_ours\tq_best"
                "\tq+1_bytes\tbytes\ttrials\n");
    for (const QString& file : files) {
        std::vector<double> ours, decode, resize, encode;
        PalvoFile result;
        const QByteArray bytes = readAll(file);
        JpegHeader header;
        if (!readJpegHeader(bytes, header)) {
            std::fprintf(stderr, "%s: not a JPEG\n", qPrintable(file));
            continue;
        }
        const int scale =
            chooseJpegScale(header.width, header.height, 2 * options.width, 2 * options.height);
        QImage decoded, resized;
        std::vector<QByteArray> encodings(8);
        // Ours and the floor take turns, so both see the same machine.
        for (int r = 0; r < repeat; ++r) {
            ours.push_back(timeMs([&] { result = CreatePalvoFile(functions, file, options); }));
            if (!result.ok())
                break;
            QFile::remove(result.path);
            // The floor: the same work with nothing around it.
            decode.push_back(timeMs([&] { decoded = decodeJpeg(bytes, scale).image; }));
            const QSize fitted = TIEFunctions::FitSize(decoded.width(), decoded.height(),
                                                       options.width, options.height, true);
            resize.push_back(timeMs([&] {
                resized = resampleImage(decoded, fitted.width(), fitted.height(),
                                        ResampleFilter::Lanczos3);
            }));
            encode.push_back(timeMs([&] {
                JpegEncodeOptions coding;
                for (int i = 0; i < 8; ++i) {
                    coding.quality = 100 - 7 * i;
                    encodings[size_t(i)] = encodeJpeg(resized, coding);
                }
            }));
        }
        if (!result.ok()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(result.error));
            continue;
        }
        // Every quality from the top: the true highest under the cap.
        const QImage placed = placeOnCanvas(resized, options.width, options.height, Qt::black);
        JpegEncodeOptions coding;
        int best = 0;
        for (int q = 100; q >= 1 && best == 0; --q) {
            coding.quality = q;
            if (encodeJpeg(placed, coding).size() < options.maxSize)
                best = q;
        }
        qint64 above = 0;
        if (result.quality < 100) {
            coding.quality = result.quality + 1;
            above = encodeJpeg(placed, coding).size();
        }
        const double o = median(ours);
        const double fl = median(decode) + median(resize) + median(encode);
        ratios.push_back(o / fl);
        oursAll.push_back(o);
        floorAll.push_back(fl);
        std::printf("%s\t%.1f\t%.1f\t%.1f\t%.1f\t%.1f\t%.3f\t%d\t%d\t%lld\t%lld\t%d\n",
                    qPrintable(fileNameOf(file)), o, fl, median(decode), median(resize),
                    median(encode), o / fl, result.quality, best, (long long)above,
                    (long long)result.bytes, result.trials);
        std::fflush(stdout);
    }
    std::printf("median\t%.1f\t%.1f\t\t\t\t%.3f\n", median(oursAll), median(floorAll),
                median(ratios));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == "make-photos")
        return makePhotos(args.mid(1));
    if (args.value(0) == "compare")
        return compare(args.mid(1));
    std::fprintf(stderr, "usage: bench_upload make-photos DIR COUNT WIDTH HEIGHT [FIRST_SEED]\n"
                         "       bench_upload compare [--repeat N] FILE...\n");
    return 2;
}
