#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

namespace palvo {

// The check grid's own pictures, drawn in code.

// 118 x 116 cell backgrounds for the current and the other cells.
[[nodiscard]] QImage gridBackground(bool selected);
// 16 x 15 check boxes: ticked or not, on a current or another cell.
[[nodiscard]] QImage gridCheckBox(bool checked, bool selected);
// 68 x 67 picture for a thumbnail that could not be made: a light card with a
// torn picture; white around five areas so the current cell can recolour it.
[[nodiscard]] QImage gridErrorPicture();
// The points the error picture's white areas are recoloured from, in the
// fitted picture's coordinates.
inline constexpr QPoint kErrorRecolourPoints[] = {{1, 1}, {35, 30}, {58, 32}, {31, 49}, {58, 49}};

// Flood fill (4-connected) of the region of the seed's colour, when that
// colour is `from`, with `to`.
void floodFillColour(QImage& image, QPoint seed, QRgb from, QRgb to);
// The error picture fitted as painted, with white recoloured from the five
// points (for the current cell).
void recolourErrorPicture(QImage& picture, const QColor& colour);

} // namespace palvo
