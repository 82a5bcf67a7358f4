#include "imaging/TextDrawing.h"

#include <QFont>

#include <algorithm>

namespace palvo {

int DrawTextInRect(QPainter& canvas, QRect rect, bool centreVertically, QString text, bool wordWrap,
                   const TextStyle& style, bool measureOnly) {
    if (style.backgroundColour != kClearBackground && !measureOnly) {
        canvas.fillRect(rect, QColor::fromRgb(style.backgroundColour));
    }
    int flags = Qt::AlignTop | (wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    flags |= style.alignment == taRight    ? Qt::AlignRight
             : style.alignment == taCentre ? Qt::AlignHCenter
                                           : Qt::AlignLeft;
    if (style.italic) {
        text += u' '; // keeps the last slanted letter inside
    }
    QFont font(style.fontName);
    font.setPointSize(std::max(1, style.fontSize));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    canvas.save();
    canvas.setFont(font);
    const int shadow = std::max(0, style.shadowDepth);
    if (centreVertically || measureOnly) {
        const QRect measured =
            canvas.boundingRect(rect.adjusted(0, 0, -shadow, -shadow), flags, text);
        if (measureOnly) {
            canvas.restore();
            return measured.height() + shadow;
        }
        if (style.alignment == taCentre) {
            const int left = std::max(0, rect.left() + (rect.width() - measured.width()) / 2);
            rect = QRect(left, rect.top(), measured.width() + shadow, rect.height());
        }
        const int top = std::max(0, rect.top() + (rect.height() - measured.height()) / 2);
        rect = QRect(rect.left(), top, rect.width(), measured.height() + shadow);
    }
    if (shadow > 0) {
        canvas.setPen(style.shadowColour);
        for (int i = 1; i <= shadow; ++i) {
            canvas.drawText(rect.translated(i, i).adjusted(0, 0, -shadow, -shadow), flags, text);
        }
    }
    canvas.setPen(style.textColour);
    QRect drawn;
    canvas.drawText(rect.adjusted(0, 0, -shadow, -shadow), flags, text, &drawn);
    canvas.restore();
    return drawn.height();
}

} // namespace palvo
