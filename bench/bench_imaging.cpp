// Benchmarks of the imaging hot paths on real photographs.
//
// The photos are cut to camera sizes (12 MP 4000 x 3000, 24 MP 6000 x 4000)
// from a real photograph (PALVO_BENCH_PHOTO, by default one of Debian's
// mate-backgrounds) by this program on first use, into PALVO_BENCH_DIR
// (default $TMPDIR/palvo-bench). bench/run_benchmarks.sh runs it next to
// libjpeg-turbo's own tools on the same files.
#include "imaging/IEFunctions.h"
#include "imaging/JpegCodec.h"
#include "imaging/Resample.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace palvo;

namespace {

QString benchDir() {
    const QByteArray env = qgetenv("PALVO_BENCH_DIR");
    return env.isEmpty() ? QDir(QDir::tempPath()).filePath("palvo-bench")
                         : QString::fromLocal8Bit(env);
}

QString sourcePhoto() {
    const QByteArray env = qgetenv("PALVO_BENCH_PHOTO");
    return env.isEmpty()
               ? QStringLiteral("/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg")
               : QString::fromLocal8Bit(env);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The photo scaled to cover the size and cut from its middle, as a camera
// JPEG (quality 92, 4:2:0).
QString cameraPhoto(int width, int height) {
    const QString path =
        QDir(benchDir()).filePath(QStringLiteral("photo_%1x%2.jpg").arg(width).arg(height));
    if (QFile::exists(path)) {
        return path;
    }
    QDir().mkpath(benchDir());
    const QImage source = decodeJpeg(readAll(sourcePhoto()), 1).image;
    if (source.isNull()) {
        return {};
    }
    const double scale = std::max(double(width) / source.width(), double(height) / source.height());
    const int sw = int(std::ceil(source.width() * scale));
    const int sh = int(std::ceil(source.height() * scale));
    const QImage covered = resampleImage(source, sw, sh, ResampleFilter::Lanczos3);
    const QImage cut = covered.copy((sw - width) / 2, (sh - height) / 2, width, height);
    JpegEncodeOptions options;
    options.quality = 92;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeJpeg(cut, options)) < 1) {
        return {};
    }
    return path;
}

struct Photos {
    QString mp12;
    QString mp24;
    QImage photo1500; // 1500 x 1000 of the photo, for the resample
    QImage photo640;  // 640 x 480, for the encode
};

const Photos& photos() {
    static const Photos p = [] {
        Photos result;
        result.mp12 = cameraPhoto(4000, 3000);
        result.mp24 = cameraPhoto(6000, 4000);
        result.photo1500 = decodeJpeg(readAll(cameraPhoto(1500, 1000)), 1).image;
        result.photo640 = decodeJpeg(readAll(cameraPhoto(640, 480)), 1).image;
        return result;
    }();
    return p;
}

const QString& photoFor(int megapixels) {
    return megapixels == 12 ? photos().mp12 : photos().mp24;
}

// The scaled decode alone, from memory.
void BM_DecodeJpeg(benchmark::State& state) {
    const QByteArray bytes = readAll(photoFor(int(state.range(0))));
    const int scale = int(state.range(1));
    if (bytes.isEmpty()) {
        state.SkipWithError("no benchmark photo");
        return;
    }
    for (auto _ : state) {
        JpegDecoded decoded = decodeJpeg(bytes, scale);
        benchmark::DoNotOptimize(decoded.image.constBits());
    }
}
BENCHMARK(BM_DecodeJpeg)
    ->ArgsProduct({{12, 24}, {1, 2, 4, 8}})
    ->ArgNames({"MP", "scale"})
    ->Unit(benchmark::kMillisecond);

// Reference: TurboJPEG's own scaled decode of the same bytes, in-process.
void BM_TurboJpegDecode(benchmark::State& state) {
    const QByteArray bytes = readAll(photoFor(int(state.range(0))));
    const int scale = int(state.range(1));
    tjhandle handle = tjInitDecompress();
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (bytes.isEmpty() ||
        tjDecompressHeader3(handle, data, static_cast<unsigned long>(bytes.size()), &width, &height,
                            &subsamp, &colorspace) != 0) {
        state.SkipWithError("no benchmark photo");
        tjDestroy(handle);
        return;
    }
    const int w = (width + scale - 1) / scale;
    const int h = (height + scale - 1) / scale;
    const std::size_t outSize = std::size_t(w) * std::size_t(h) * 3;
    // Range 2: a fresh output buffer per picture, as a viewer that keeps each
    // picture needs, instead of one buffer reused for every decode.
    const bool fresh = state.range(2) != 0;
    std::vector<unsigned char> reused(fresh ? 0 : outSize);
    for (auto _ : state) {
        // Not zero-filled: the decoder's own writes are the first touch.
        std::unique_ptr<unsigned char[]> own(fresh ? new unsigned char[outSize] : nullptr);
        unsigned char* out = fresh ? own.get() : reused.data();
        tjDecompress2(handle, data, static_cast<unsigned long>(bytes.size()), out, w, 0, h,
                      TJPF_RGB, 0);
        benchmark::DoNotOptimize(out);
    }
    tjDestroy(handle);
}
BENCHMARK(BM_TurboJpegDecode)
    ->ArgsProduct({{12, 24}, {1, 2, 4, 8}, {0, 1}})
    ->ArgNames({"MP", "scale", "fresh"})
    ->Unit(benchmark::kMillisecond);

// The program's hinted load: file read, header, EXIF, scaled decode.
void BM_LoadBitmapFromFile(benchmark::State& state) {
    const QString path = photoFor(int(state.range(0)));
    const int hintW = int(state.range(1));
    const int hintH = int(state.range(2));
    TIEFunctions ie;
    for (auto _ : state) {
        QImage image;
        int scale = 0;
        if (!ie.LoadBitmapFromFile(image, path, hintW, hintH, scale, false)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LoadBitmapFromFile)
    ->Args({12, 1280, 960})
    ->Args({24, 1280, 960})
    ->Args({24, 90, 75})
    ->ArgNames({"MP", "w", "h"})
    ->Unit(benchmark::kMillisecond);

// A thumbnail: 1/8 decode and the fit into 90 x 75.
void BM_Thumbnail24MP(benchmark::State& state) {
    const QString path = photos().mp24;
    TIEFunctions ie;
    for (auto _ : state) {
        QImage image;
        if (!ie.LoadBitmapFromFile(image, path, 90, 75, false) ||
            !ie.FitBitmap(image, 90, 75, false, rfLanczos3, false, false, false)) {
            state.SkipWithError("thumbnail failed");
            return;
        }
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_Thumbnail24MP)->Unit(benchmark::kMillisecond);

void BM_Resample1500To640(benchmark::State& state) {
    const QImage& source = photos().photo1500;
    const auto filter = static_cast<ResampleFilter>(state.range(0));
    for (auto _ : state) {
        QImage out = resampleImage(source, 640, 427, filter);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_Resample1500To640)
    ->Arg(int(ResampleFilter::Lanczos3))
    ->Arg(int(ResampleFilter::FastLinear))
    ->Arg(int(ResampleFilter::None))
    ->ArgName("filter")
    ->Unit(benchmark::kMillisecond);

void BM_EncodeJpeg640x480(benchmark::State& state) {
    const QImage& image = photos().photo640;
    JpegEncodeOptions options;
    options.quality = int(state.range(0));
    for (auto _ : state) {
        QByteArray out = encodeJpeg(image, options);
        benchmark::DoNotOptimize(out.constData());
    }
}
BENCHMARK(BM_EncodeJpeg640x480)->Arg(90)->Arg(100)->ArgName("q")->Unit(benchmark::kMicrosecond);

// Reference: TurboJPEG's own encode of the same pixels, baseline 4:2:0.
void BM_TurboJpegEncode640x480(benchmark::State& state) {
    const QImage& image = photos().photo640;
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    for (auto _ : state) {
        tjCompress2(handle, image.constBits(), image.width(), int(image.bytesPerLine()),
                    image.height(), TJPF_RGB, &out, &size, TJSAMP_420, int(state.range(0)), 0);
        benchmark::DoNotOptimize(out);
    }
    tjFree(out);
    tjDestroy(handle);
}
BENCHMARK(BM_TurboJpegEncode640x480)->Arg(90)->ArgName("q")->Unit(benchmark::kMicrosecond);

// File to file, as the rotate command runs it.
void BM_LosslessRotate24MP(benchmark::State& state) {
    const QString source = photos().mp24;
    const QString dest = QDir(benchDir()).filePath("rotated.jpg");
    TIEFunctions ie;
    for (auto _ : state) {
        if (!ie.LosslessRotateJPEG(source, dest, 90)) {
            state.SkipWithError("rotation failed");
            return;
        }
    }
}
BENCHMARK(BM_LosslessRotate24MP)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (photos().mp24.isEmpty()) {
        std::fprintf(stderr,
                     "No benchmark photo: install mate-backgrounds or set PALVO_BENCH_PHOTO\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
