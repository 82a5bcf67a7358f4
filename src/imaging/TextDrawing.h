#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

namespace palvo {

// The background value that leaves the rectangle clear.
inline constexpr QRgb kClearBackground = 0x1FFFFFFF;

// Text alignment codes: 0 left, 1 right, 2 centre.
inline constexpr int taLeft = 0;
inline constexpr int taRight = 1;
inline constexpr int taCentre = 2;

struct TextStyle {
    QString fontName = QStringLiteral("Arial");
    QColor textColour = Qt::black;
    int fontSize = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int shadowDepth = 0;
    QColor shadowColour = Qt::black;
    int alignment = taLeft;
    QRgb backgroundColour = kClearBackground;
};

// The caption renderer: draws (or only measures) text in rect and returns
// the height drawn; when measuring, the measured height plus the shadow.
int DrawTextInRect(QPainter& canvas, QRect rect, bool centreVertically, QString text, bool wordWrap,
                   const TextStyle& style, bool measureOnly);

} // namespace palvo
