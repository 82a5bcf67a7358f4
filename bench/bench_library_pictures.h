#pragma once

// Photo-like pictures for the picture library's benchmarks and screenshot.

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace palvo::bench {

// A photo-like picture: smooth sky and ground, a sun, hills and fine grain,
// so it compresses (and decodes) like a camera picture.
inline QImage photoLike(int width, int height, int seed) {
    QImage image(width, height, QImage::Format_RGB888);
    QPainter p(&image);
    const int hue = (seed * 67) % 360;
    QLinearGradient sky(0, 0, 0, height * 0.6);
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 230));
    sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 250));
    p.fillRect(0, 0, width, height, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 160));
    p.drawEllipse(QPointF(width * (0.2 + 0.1 * (seed % 5)), height * 0.22), height * 0.08,
                  height * 0.08);
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hill;
        hill.moveTo(0, height);
        for (int x = 0; x <= width; x += width / 40) {
            const double y = height * (0.55 + 0.1 * layer) +
                             height * 0.06 * std::sin(x * 0.002 * (layer + 1) + seed);
            hill.lineTo(x, y);
        }
        hill.lineTo(width, height);
        p.setBrush(QColor::fromHsv((hue + 90 + layer * 20) % 360, 140, 150 - layer * 35));
        p.drawPath(hill);
    }
    p.end();
    quint32 state = quint32(seed) * 2654435761u + 1u;
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int i = 0; i < width * 3; ++i) {
            state = state * 1664525u + 1013904223u;
            const int v = line[i] + int(state >> 28) - 8;
            line[i] = uchar(std::clamp(v, 0, 255));
        }
    }
    return image;
}

} // namespace palvo::bench
