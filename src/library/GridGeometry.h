#pragma once

#include <QRect>

namespace palvo {

// The geometry of the check-mark thumbnail grid as plain arithmetic. A cell
// rectangle R is given as left, top, width and height; its right and bottom
// are left + width and top + height (one past the last pixel, as the grid's
// rule texts use them).

enum class TThumbDisplayType { tdtLargeIcon, tdtIconInfo, tdtFilename };
enum class TThumbCheckingType { _Never, _OnCheck, _OnBottom, _Anywhere };
enum class TCheckBoxAlign { alLeft, alRight };

// Cell pixels of the main window's grid (118 x 118 at 90 x 75 thumbnails).
inline constexpr int kGridCellSize = 118;
// What a column needs beyond the cells: the control width minus this is
// shared out.
inline constexpr int kGridWidthAllowance = 20;

[[nodiscard]] int columnWidthFor(TThumbDisplayType type, int thumbnailWidth, int filenameTextWidth);
// fontPixels: the drawing font's height in pixels (F).
[[nodiscard]] int rowHeightFor(TThumbDisplayType type, int thumbnailHeight, int fontPixels);
// (control width - 20) div column width, at least 1.
[[nodiscard]] int columnCountFor(int controlWidth, int columnWidth);
// Rows for n items: n div cols, one more for a partial row when cols < n,
// never fewer than 1.
[[nodiscard]] int rowCountFor(int itemCount, int columnCount);
// The scroll bar's height + n x 118 + 10.
[[nodiscard]] int widthForColumns(int columns, int scrollBarHeight);

// Item index of a cell, -1 when it holds no item.
[[nodiscard]] int itemAt(int column, int row, int columnCount, int itemCount);

// The box the thumbnail is fitted into.
[[nodiscard]] QRect thumbnailBox(const QRect& cell, TThumbDisplayType type, int thumbnailWidth,
                                 int thumbnailHeight);
// The 15 x 15 check-box square.
[[nodiscard]] QRect checkBoxRect(const QRect& cell, TCheckBoxAlign align);
// Whether the point lies in the zone that toggles the tick (strict
// comparisons).
[[nodiscard]] bool inCheckZone(const QRect& cell, TThumbCheckingType checking, TCheckBoxAlign align,
                               int x, int y);
// The width the file name may take.
[[nodiscard]] int nameAvailableWidth(TThumbDisplayType type, int columnWidth,
                                     int filenameTextWidth);
// Left of the file name text of the given width; its top is
// cell bottom - text height - 14.
[[nodiscard]] int nameTextLeft(const QRect& cell, TCheckBoxAlign align, bool centerText,
                               int availableWidth, int textWidth);

// Navigation keys of the grid.
enum class GridKey { PageUp, PageDown, Home, End, Left, Right, Up, Down, Other };

// The item a key moves to from `current`, or -1 when the move leaves the grid
// or lands on a cell without an item.
[[nodiscard]] int navigateTarget(GridKey key, int current, int itemCount, int columnCount,
                                 int visibleRows, int visibleColumns);

// The top row after one wheel step (+1 down, -1 up): down only while the top
// row is above the last full page, up only while it is above 0.
[[nodiscard]] int wheelTopRow(int topRow, int step, int rowCount, int visibleRows);

// The top row that brings `row` into view: unchanged when visible, the row
// itself when above, the row that shows it last when below.
[[nodiscard]] int topRowShowing(int row, int topRow, int visibleFullRows);

// The recent-folders pop-up stays open while the pointer is inside its
// rectangle widened by 5 pixels, 20 above it until the pointer has once been
// strictly inside.
[[nodiscard]] bool popupKeepsOpen(const QRect& popup, QPoint pointer, bool enteredOnce);

// A drag starts after 50 pixels in either direction.
[[nodiscard]] bool dragThresholdPassed(int dx, int dy);

} // namespace palvo
