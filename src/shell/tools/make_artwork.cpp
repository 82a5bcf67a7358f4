// Draws the program folder's own pictures: the splash, the menu-bar logo and
// the start-up picture shown while no folder has pictures. Usage:
//   make_artwork OUTPUT_FOLDER
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

const QColor kSky(0x2B, 0x6C, 0xB0);
const QColor kDusk(0x14, 0x2F, 0x55);
const QColor kWarm(0xF2, 0xA3, 0x3A);

QFont Tahoma(int pixels, bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A picture frame with a small landscape inside: the program's mark.
void drawFrameMark(QPainter& p, const QRectF& r) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x2A, 0x1E));
    p.drawRoundedRect(r, r.width() * 0.06, r.width() * 0.06);
    const QRectF inner =
        r.adjusted(r.width() * 0.09, r.height() * 0.11, -r.width() * 0.09, -r.height() * 0.11);
    QLinearGradient sky(inner.topLeft(), inner.bottomLeft());
    sky.setColorAt(0, QColor(0x9F, 0xD3, 0xF7));
    sky.setColorAt(1, QColor(0xFF, 0xE2, 0xB0));
    p.setBrush(sky);
    p.drawRect(inner);
    p.setBrush(kWarm);
    p.drawEllipse(QPointF(inner.left() + inner.width() * 0.72, inner.top() + inner.height() * 0.32),
                  inner.width() * 0.1, inner.width() * 0.1);
    QPainterPath hills;
    hills.moveTo(inner.bottomLeft());
    hills.lineTo(inner.left(), inner.top() + inner.height() * 0.7);
    hills.quadTo(inner.left() + inner.width() * 0.3, inner.top() + inner.height() * 0.45,
                 inner.left() + inner.width() * 0.55, inner.top() + inner.height() * 0.72);
    hills.quadTo(inner.left() + inner.width() * 0.8, inner.top() + inner.height() * 0.55,
                 inner.right(), inner.top() + inner.height() * 0.68);
    hills.lineTo(inner.bottomRight());
    hills.closeSubpath();
    p.setBrush(QColor(0x3F, 0x8F, 0x4A));
    p.drawPath(hills);
    p.restore();
}

QImage splash() {
    QImage img(480, 340, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, 0, 340);
    bg.setColorAt(0, kSky);
    bg.setColorAt(1, kDusk);
    p.fillRect(img.rect(), bg);
    drawFrameMark(p, QRectF(40, 70, 150, 120));
    p.setPen(Qt::white);
    p.setFont(Tahoma(32, true));
    p.drawText(QRectF(210, 80, 260, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Palvo Sender"));
    p.setFont(Tahoma(15, false));
    p.drawText(QRectF(212, 132, 260, 60), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Your pictures, on the family frame."));
    p.setPen(QColor(255, 255, 255, 170));
    p.drawText(QRectF(0, 250, 480, 30), Qt::AlignCenter, QStringLiteral("Starting..."));
    // The bottom 40 pixels are not shown by the splash; the About box shows them.
    p.fillRect(QRect(0, 300, 480, 40), QColor(0x0E, 0x22, 0x3E));
    return img;
}

// Transparent around the mark and the name, so the menu bar's band shows through.
QImage logo() {
    QImage img(198, 47, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawFrameMark(p, QRectF(6, 6, 46, 35));
    p.setFont(Tahoma(17, true));
    p.setPen(kDusk);
    p.drawText(QRectF(58, 0, 140, 47), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Palvo Sender"));
    return img;
}

QImage startup() {
    QImage img(640, 480, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawFrameMark(p, QRectF(200, 70, 240, 190));
    p.setFont(Tahoma(24, true));
    p.setPen(kDusk);
    p.drawText(QRectF(0, 290, 640, 40), Qt::AlignCenter, QStringLiteral("Welcome to Palvo Sender"));
    p.setFont(Tahoma(16, false));
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.drawText(QRectF(60, 335, 520, 80), Qt::AlignHCenter | Qt::TextWordWrap,
               QStringLiteral("Open a folder of pictures, tick the ones you want on your frame, "
                              "and press Upload."));
    return img;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const bool ok = splash().save(folder + QStringLiteral("Splash.xdl"), "PNG") &&
                    logo().save(folder + QStringLiteral("Logo.xdl"), "PNG") &&
                    startup().save(folder + QStringLiteral("startup.xdl"), "PNG");
    if (!ok)
        std::fprintf(stderr, "make_artwork: could not write into %s\n", argv[1]);
    return ok ? 0 : 1;
}
