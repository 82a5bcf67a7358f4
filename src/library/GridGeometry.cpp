#include "library/GridGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace palvo {

int columnWidthFor(TThumbDisplayType type, int thumbnailWidth, int filenameTextWidth) {
    switch (type) {
    case TThumbDisplayType::tdtLargeIcon:
        return thumbnailWidth + 28;
    case TThumbDisplayType::tdtIconInfo:
        return thumbnailWidth / 2 + filenameTextWidth + 8;
    case TThumbDisplayType::tdtFilename:
        break;
    }
    return filenameTextWidth;
}

int rowHeightFor(TThumbDisplayType type, int thumbnailHeight, int fontPixels) {
    switch (type) {
    case TThumbDisplayType::tdtLargeIcon:
        return fontPixels + thumbnailHeight + 32;
    case TThumbDisplayType::tdtIconInfo:
        return thumbnailHeight / 2 + 28;
    case TThumbDisplayType::tdtFilename:
        break;
    }
    return fontPixels;
}

int columnCountFor(int controlWidth, int columnWidth) {
    if (columnWidth <= 0)
        return 1;
    return std::max(1, (controlWidth - kGridWidthAllowance) / columnWidth);
}

int rowCountFor(int itemCount, int columnCount) {
    if (columnCount <= 0)
        return 1;
    int rows = itemCount / columnCount;
    if (itemCount % columnCount != 0 && columnCount < itemCount)
        ++rows;
    return std::max(1, rows);
}

int widthForColumns(int columns, int scrollBarHeight) {
    return scrollBarHeight + columns * kGridCellSize + 10;
}

int itemAt(int column, int row, int columnCount, int itemCount) {
    if (column < 0 || row < 0 || column >= columnCount)
        return -1;
    const int item = column + row * columnCount;
    return item < itemCount ? item : -1;
}

QRect thumbnailBox(const QRect& cell, TThumbDisplayType type, int thumbnailWidth,
                   int thumbnailHeight) {
    if (type == TThumbDisplayType::tdtLargeIcon)
        return {cell.left() + 14, cell.top() + 14, thumbnailWidth, thumbnailHeight};
    return {cell.left() + 14, cell.top() + 14, thumbnailWidth / 2, thumbnailHeight / 2};
}

QRect checkBoxRect(const QRect& cell, TCheckBoxAlign align) {
    const int top = cell.top() + cell.height() - 28;
    if (align == TCheckBoxAlign::alLeft)
        return {cell.left() + 13, top, 15, 15};
    return {cell.left() + cell.width() - 29, top, 15, 15};
}

bool inCheckZone(const QRect& cell, TThumbCheckingType checking, TCheckBoxAlign align, int x,
                 int y) {
    const int left = cell.left();
    const int top = cell.top();
    const int right = cell.left() + cell.width();
    const int bottom = cell.top() + cell.height();
    const int rowHeight = cell.height();
    switch (checking) {
    case TThumbCheckingType::_Never:
        return false;
    case TThumbCheckingType::_OnCheck:
        if (align == TCheckBoxAlign::alLeft)
            return left < x && x < left + 29 && top + rowHeight - 29 < y && y < bottom;
        return right - 43 < x && x < right && top + rowHeight - 43 < y && y < bottom;
    case TThumbCheckingType::_OnBottom:
        return left < x && x < right && top + rowHeight - 43 < y && y < bottom;
    case TThumbCheckingType::_Anywhere:
        return left < x && x < right && top < y && y < bottom;
    }
    return false;
}

int nameAvailableWidth(TThumbDisplayType type, int columnWidth, int filenameTextWidth) {
    if (type == TThumbDisplayType::tdtIconInfo)
        return filenameTextWidth - 3;
    return columnWidth - 43 - 3;
}

int nameTextLeft(const QRect& cell, TCheckBoxAlign align, bool centerText, int availableWidth,
                 int textWidth) {
    const int b = centerText ? (availableWidth - textWidth) / 2 : 0;
    if (align == TCheckBoxAlign::alLeft)
        return cell.left() + cell.width() - 17 - b - textWidth;
    return cell.left() + 14 + b;
}

int navigateTarget(GridKey key, int current, int itemCount, int columnCount, int visibleRows,
                   int visibleColumns) {
    if (itemCount <= 0 || columnCount <= 0 || current < 0)
        return -1;
    int column = current % columnCount;
    int row = current / columnCount;
    const int rowCount = rowCountFor(itemCount, columnCount);
    const int page = std::max(0, visibleRows - 1) * std::max(1, visibleColumns);
    switch (key) {
    case GridKey::PageUp:
        return std::max(0, current - page);
    case GridKey::PageDown:
        return std::min(itemCount - 1, current + page);
    case GridKey::Home:
        return 0;
    case GridKey::End:
        return itemCount - 1;
    case GridKey::Left:
        if (column > 0) {
            --column;
        } else {
            column = columnCount - 1;
            --row;
        }
        break;
    case GridKey::Right:
        if (column < columnCount - 1) {
            ++column;
        } else {
            column = 0;
            ++row;
        }
        break;
    case GridKey::Up:
        if (row == 0)
            return -1;
        --row;
        break;
    case GridKey::Down:
        if (row >= rowCount - 1)
            return -1;
        ++row;
        break;
    case GridKey::Other:
        return -1;
    }
    if (row < 0 || row >= rowCount)
        return -1;
    return itemAt(column, row, columnCount, itemCount);
}

int wheelTopRow(int topRow, int step, int rowCount, int visibleRows) {
    const int lastTop = std::max(0, rowCount - std::max(1, visibleRows));
    if (step > 0 && topRow < lastTop)
        return topRow + 1;
    if (step < 0 && topRow > 0)
        return topRow - 1;
    return topRow;
}

int topRowShowing(int row, int topRow, int visibleFullRows) {
    const int rows = std::max(1, visibleFullRows);
    if (row < topRow)
        return row;
    if (row >= topRow + rows)
        return row - rows + 1;
    return topRow;
}

bool popupKeepsOpen(const QRect& popup, QPoint pointer, bool enteredOnce) {
    const QRect allowed = popup.adjusted(-5, enteredOnce ? -5 : -20, 5, 5);
    return allowed.contains(pointer);
}

bool dragThresholdPassed(int dx, int dy) {
    return std::abs(dx) >= 50 || std::abs(dy) >= 50;
}

} // namespace palvo
