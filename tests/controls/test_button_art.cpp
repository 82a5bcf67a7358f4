#include <gtest/gtest.h>

#include "controls/ui/ButtonArt.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

using namespace palvo;

namespace {

QImage drawn(Glyph glyph, int side, bool enabled, int margin = 0) {
    QImage img(side + 2 * margin, side + 2 * margin, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    drawGlyph(p, glyph, QRectF(margin, margin, side, side), enabled);
    return img;
}

struct Coverage {
    int inside = 0;
    int outside = 0;
    int maxSaturation = 0;
};

Coverage measure(const QImage& img, const QRect& box) {
    Coverage c;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor px = img.pixelColor(x, y);
            if (px.alpha() < 16)
                continue;
            (box.contains(x, y) ? c.inside : c.outside)++;
            if (px.alpha() > 200)
                c.maxSaturation = std::max(c.maxSaturation, px.hsvSaturation());
        }
    return c;
}

} // namespace

TEST(ButtonArt, EveryGlyphDrawsInsideItsBoxInColourAndGreysWhenDisabled) {
    const QRect box(8, 8, 24, 24);
    for (int i = 0; i < kGlyphCount; ++i) {
        const Glyph glyph = Glyph(i);
        const Coverage on = measure(drawn(glyph, 24, true, 8), box);
        EXPECT_GT(on.inside, 24 * 24 / 12) << "glyph " << i << " draws almost nothing";
        EXPECT_EQ(on.outside, 0) << "glyph " << i << " spills out of its box";
        const Coverage off = measure(drawn(glyph, 24, false, 8), box);
        EXPECT_EQ(off.inside, on.inside) << "glyph " << i << " changes shape when disabled";
        EXPECT_EQ(off.maxSaturation, 0) << "glyph " << i << " keeps colour when disabled";
        if (glyph == Glyph::PalvoDisabled)
            EXPECT_EQ(on.maxSaturation, 0);
        else
            EXPECT_GT(on.maxSaturation, 40) << "glyph " << i << " has no colour";
    }
}

TEST(ButtonArt, IconsDrawAfreshForTheDevicePixelRatioAndTheMode) {
    for (const Glyph glyph : {Glyph::Upload, Glyph::RotateLeft, Glyph::Apply}) {
        const QIcon icon = buttonIcon(glyph, 16);
        EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(16, 16)});
        const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(sharp.size(), QSize(32, 32));
        EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
        // Drawn at 32 device pixels, not a 16-pixel picture blown up.
        EXPECT_EQ(sharp.toImage().convertToFormat(QImage::Format_ARGB32), drawn(glyph, 32, true));
        const QPixmap disabled = icon.pixmap(QSize(16, 16), 1.0, QIcon::Disabled);
        EXPECT_EQ(disabled.toImage().convertToFormat(QImage::Format_ARGB32),
                  drawn(glyph, 16, false));
    }
}
