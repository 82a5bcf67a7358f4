// Paints the sample pictures the program ships, so that a first look at the
// program has something to show: six camera-sized scenes, one of them upright.
// Usage:
//   make_samples OUTPUT_FOLDER
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

struct Scene {
    const char* name;
    int width;
    int height;
    std::function<void(QPainter&, const QSizeF&)> paint;
};

void sky(QPainter& p, const QSizeF& s, double horizon, QColor top, QColor low) {
    QLinearGradient g(0, 0, 0, s.height() * horizon);
    g.setColorAt(0, top);
    g.setColorAt(1, low);
    p.fillRect(QRectF(0, 0, s.width(), s.height()), g);
}

void sun(QPainter& p, QPointF centre, double radius, QColor core, QColor glow) {
    QRadialGradient g(centre, radius * 4);
    glow.setAlpha(150);
    g.setColorAt(0, core);
    g.setColorAt(0.25, glow);
    g.setColorAt(1, QColor(glow.red(), glow.green(), glow.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius * 4, radius * 4);
    p.setBrush(core);
    p.drawEllipse(centre, radius, radius);
}

// A ridge line across the picture: a sum of a few sines, filled downwards.
void ridge(QPainter& p, const QSizeF& s, double base, double amplitude, double seed,
           const QBrush& brush) {
    QPainterPath path(QPointF(0, s.height()));
    for (int i = 0; i <= 200; ++i) {
        const double x = s.width() * i / 200.0;
        const double t = i / 200.0 * 6.283;
        const double y = base + amplitude * (0.55 * std::sin(t * 1.3 + seed) +
                                             0.3 * std::sin(t * 3.1 + seed * 2) +
                                             0.15 * std::sin(t * 7.7 + seed * 3));
        path.lineTo(x, s.height() * y);
    }
    path.lineTo(s.width(), s.height());
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
}

void water(QPainter& p, const QSizeF& s, double from, QColor top, QColor low) {
    QLinearGradient g(0, s.height() * from, 0, s.height());
    g.setColorAt(0, top);
    g.setColorAt(1, low);
    p.fillRect(QRectF(0, s.height() * from, s.width(), s.height() * (1 - from)), g);
    QRandomGenerator rng(7);
    p.setPen(QPen(QColor(255, 255, 255, 40), s.height() / 600.0));
    for (int i = 0; i < 220; ++i) {
        const double y = s.height() * (from + (1 - from) * std::pow(rng.generateDouble(), 1.6));
        const double x = s.width() * rng.generateDouble();
        const double len = s.width() * (0.01 + 0.05 * (y / s.height() - from));
        p.drawLine(QPointF(x, y), QPointF(x + len, y));
    }
}

// Film grain and a soft vignette, so the pictures compress like photographs.
void finish(QImage& img) {
    QRandomGenerator rng(42);
    const double cx = img.width() / 2.0;
    const double cy = img.height() / 2.0;
    const double r2 = cx * cx + cy * cy;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const double d = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r2;
            const double shade = 1.0 - 0.28 * d * d;
            const int grain = static_cast<int>(rng.bounded(11u)) - 5;
            auto ch = [&](int v) { return qBound(0, static_cast<int>(v * shade) + grain, 255); };
            const QRgb c = line[x];
            line[x] = qRgb(ch(qRed(c)), ch(qGreen(c)), ch(qBlue(c)));
        }
    }
}

const Scene kScenes[] = {
    {"Harbour at dusk", 1600, 1200,
     [](QPainter& p, const QSizeF& s) {
         sky(p, s, 0.62, QColor(0x2A, 0x2F, 0x5E), QColor(0xF4, 0x9A, 0x5C));
         sun(p, QPointF(s.width() * 0.68, s.height() * 0.56), s.height() * 0.045,
             QColor(0xFF, 0xE9, 0xB8), QColor(0xFF, 0x9E, 0x4A));
         ridge(p, s, 0.6, 0.025, 1.0, QColor(0x26, 0x1E, 0x33));
         water(p, s, 0.62, QColor(0xC8, 0x77, 0x55), QColor(0x1E, 0x22, 0x40));
         p.setBrush(QColor(0x1A, 0x14, 0x22));
         for (int i = 0; i < 4; ++i) {
             const double x = s.width() * (0.12 + i * 0.09);
             const double y = s.height() * 0.7 + i * s.height() * 0.02;
             QPainterPath hull;
             hull.moveTo(x, y);
             hull.lineTo(x + s.width() * 0.07, y);
             hull.lineTo(x + s.width() * 0.06, y + s.height() * 0.025);
             hull.lineTo(x + s.width() * 0.01, y + s.height() * 0.025);
             hull.closeSubpath();
             p.drawPath(hull);
             p.fillRect(QRectF(x + s.width() * 0.033, y - s.height() * 0.16, s.width() * 0.003,
                               s.height() * 0.16),
                        QColor(0x1A, 0x14, 0x22));
         }
     }},
    {"Mountain lake", 1600, 1200,
     [](QPainter& p, const QSizeF& s) {
         sky(p, s, 0.55, QColor(0x3D, 0x7E, 0xC9), QColor(0xCF, 0xE6, 0xF5));
         ridge(p, s, 0.34, 0.12, 2.0, QColor(0x8A, 0x9B, 0xB5));
         ridge(p, s, 0.45, 0.07, 4.0, QColor(0x4E, 0x6B, 0x5A));
         water(p, s, 0.56, QColor(0x6F, 0x9F, 0xC4), QColor(0x1F, 0x4B, 0x6E));
         ridge(p, s, 0.9, 0.03, 5.5, QColor(0x3B, 0x55, 0x2E));
     }},
    {"Summer meadow", 1600, 1200,
     [](QPainter& p, const QSizeF& s) {
         sky(p, s, 0.5, QColor(0x4A, 0x90, 0xD9), QColor(0xE2, 0xF1, 0xFB));
         p.setPen(Qt::NoPen);
         QRandomGenerator rng(3);
         for (int i = 0; i < 9; ++i) {
             const QPointF c(s.width() * rng.generateDouble(), s.height() * 0.12 * (1 + i % 3));
             p.setBrush(QColor(255, 255, 255, 170));
             for (int k = 0; k < 5; ++k)
                 p.drawEllipse(c + QPointF(k * s.width() * 0.025, (k % 2) * s.height() * 0.01),
                               s.width() * 0.04, s.height() * 0.035);
         }
         ridge(p, s, 0.52, 0.04, 0.5, QColor(0x6C, 0xA2, 0x4C));
         ridge(p, s, 0.66, 0.03, 3.3, QColor(0x4F, 0x8B, 0x35));
         const QColor blooms[] = {QColor(0xE8, 0x3F, 0x5A), QColor(0xF5, 0xD0, 0x2E),
                                  QColor(0xFF, 0xFF, 0xFF), QColor(0xA5, 0x5C, 0xD6)};
         for (int i = 0; i < 900; ++i) {
             const double y = s.height() * (0.7 + 0.3 * rng.generateDouble());
             const double r = s.height() * 0.002 * (1 + 6 * (y / s.height() - 0.7));
             p.setBrush(blooms[rng.bounded(4u)]);
             p.drawEllipse(QPointF(s.width() * rng.generateDouble(), y), r, r);
         }
     }},
    {"Lighthouse", 1600, 1200,
     [](QPainter& p, const QSizeF& s) {
         sky(p, s, 0.6, QColor(0x5B, 0x8F, 0xC7), QColor(0xF3, 0xE3, 0xC4));
         water(p, s, 0.6, QColor(0x3F, 0x7E, 0xA6), QColor(0x12, 0x36, 0x55));
         QPainterPath cliff(QPointF(s.width() * 0.45, s.height()));
         cliff.lineTo(s.width() * 0.52, s.height() * 0.62);
         cliff.quadTo(s.width() * 0.7, s.height() * 0.55, s.width(), s.height() * 0.58);
         cliff.lineTo(s.width(), s.height());
         cliff.closeSubpath();
         p.setPen(Qt::NoPen);
         p.setBrush(QColor(0x5A, 0x4E, 0x42));
         p.drawPath(cliff);
         const double x = s.width() * 0.72;
         const double w = s.width() * 0.05;
         const double top = s.height() * 0.22;
         const double foot = s.height() * 0.57;
         for (int band = 0; band < 5; ++band) {
             const double y0 = top + (foot - top) * band / 5.0;
             const double shrink = w * 0.25 * (1 - band / 5.0);
             p.setBrush(band % 2 ? QColor(0xC8, 0x2E, 0x2E) : QColor(0xF5, 0xF2, 0xEA));
             p.drawRect(QRectF(x + shrink / 2, y0, w - shrink, (foot - top) / 5.0 + 1));
         }
         p.setBrush(QColor(0x2E, 0x2E, 0x2E));
         p.drawRect(QRectF(x - w * 0.05, top - s.height() * 0.05, w * 1.1, s.height() * 0.05));
         sun(p, QPointF(x + w / 2, top - s.height() * 0.025), s.height() * 0.012,
             QColor(0xFF, 0xF6, 0xC8), QColor(0xFF, 0xE0, 0x80));
     }},
    {"Autumn tree", 1200, 1600,
     [](QPainter& p, const QSizeF& s) {
         sky(p, s, 0.75, QColor(0x7F, 0xA8, 0xD6), QColor(0xF0, 0xE6, 0xD2));
         ridge(p, s, 0.78, 0.02, 1.7, QColor(0x8E, 0x7A, 0x3F));
         p.setPen(Qt::NoPen);
         p.setBrush(QColor(0x4A, 0x33, 0x22));
         QPainterPath trunk(QPointF(s.width() * 0.46, s.height() * 0.82));
         trunk.lineTo(s.width() * 0.48, s.height() * 0.45);
         trunk.lineTo(s.width() * 0.53, s.height() * 0.45);
         trunk.lineTo(s.width() * 0.56, s.height() * 0.82);
         trunk.closeSubpath();
         p.drawPath(trunk);
         QRandomGenerator rng(11);
         const QColor leaves[] = {QColor(0xD9, 0x6A, 0x1E), QColor(0xE8, 0xA1, 0x2B),
                                  QColor(0xB8, 0x3A, 0x1C), QColor(0xF0, 0xC0, 0x4A)};
         for (int i = 0; i < 1400; ++i) {
             const double a = rng.generateDouble() * 6.283;
             const double r = std::sqrt(rng.generateDouble());
             const QPointF c(s.width() * (0.5 + 0.36 * r * std::cos(a)),
                             s.height() * (0.36 + 0.2 * r * std::sin(a)));
             QColor leaf = leaves[rng.bounded(4u)];
             leaf.setAlpha(200);
             p.setBrush(leaf);
             p.drawEllipse(c, s.width() * 0.018, s.width() * 0.012);
         }
         for (int i = 0; i < 120; ++i) {
             p.setBrush(leaves[rng.bounded(4u)]);
             p.drawEllipse(QPointF(s.width() * rng.generateDouble(),
                                   s.height() * (0.8 + 0.2 * rng.generateDouble())),
                           s.width() * 0.012, s.width() * 0.006);
         }
     }},
    {"Beach morning", 1600, 1200,
     [](QPainter& p, const QSizeF& s) {
         sky(p, s, 0.5, QColor(0x8C, 0xC1, 0xEA), QColor(0xFB, 0xE7, 0xD0));
         sun(p, QPointF(s.width() * 0.22, s.height() * 0.36), s.height() * 0.05,
             QColor(0xFF, 0xFB, 0xE8), QColor(0xFF, 0xD9, 0x9C));
         water(p, s, 0.5, QColor(0x55, 0xA9, 0xC8), QColor(0x2B, 0x7D, 0x9E));
         QPainterPath sand(QPointF(0, s.height() * 0.72));
         sand.cubicTo(s.width() * 0.3, s.height() * 0.66, s.width() * 0.6, s.height() * 0.78,
                      s.width(), s.height() * 0.7);
         sand.lineTo(s.width(), s.height());
         sand.lineTo(0, s.height());
         sand.closeSubpath();
         QLinearGradient g(0, s.height() * 0.68, 0, s.height());
         g.setColorAt(0, QColor(0xF1, 0xDE, 0xB5));
         g.setColorAt(1, QColor(0xD6, 0xB8, 0x84));
         p.setPen(QPen(QColor(255, 255, 255, 200), s.height() / 150.0));
         p.setBrush(g);
         p.drawPath(sand);
     }},
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_samples OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "make_samples: could not make %s\n", argv[1]);
        return 1;
    }
    for (const Scene& scene : kScenes) {
        QImage img(scene.width, scene.height, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            scene.paint(p, QSizeF(scene.width, scene.height));
        }
        finish(img);
        const QString path =
            folder + QLatin1Char('/') + QString::fromLatin1(scene.name) + QStringLiteral(".jpg");
        if (!img.save(path, "JPEG", 90)) {
            std::fprintf(stderr, "make_samples: could not write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
