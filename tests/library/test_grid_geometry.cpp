// Cell geometry, check zone, navigation and scrolling of the thumbnail grid,
// with values worked out by hand for the main window's 118 x 118 cells.
#include "library/GridGeometry.h"

#include <gtest/gtest.h>

using namespace palvo;

TEST(GridGeometry, CellSizesOfTheThreeDisplayTypes) {
    EXPECT_EQ(columnWidthFor(TThumbDisplayType::tdtLargeIcon, 90, 70), 118);
    EXPECT_EQ(columnWidthFor(TThumbDisplayType::tdtIconInfo, 91, 70), 45 + 70 + 8);
    EXPECT_EQ(columnWidthFor(TThumbDisplayType::tdtFilename, 90, 70), 70);
    EXPECT_EQ(rowHeightFor(TThumbDisplayType::tdtLargeIcon, 75, 11), 118);
    EXPECT_EQ(rowHeightFor(TThumbDisplayType::tdtIconInfo, 75, 11), 37 + 28);
    EXPECT_EQ(rowHeightFor(TThumbDisplayType::tdtFilename, 75, 11), 11);
}

TEST(GridGeometry, ColumnsAndRows) {
    const struct {
        int width, columns;
    } widths[] = {{264, 2}, {256, 2}, {255, 1}, {138, 1}, {137, 1}, {10, 1}, {374, 3}};
    for (const auto& c : widths)
        EXPECT_EQ(columnCountFor(c.width, 118), c.columns) << c.width;
    const struct {
        int items, columns, rows;
    } rows[] = {{5, 2, 3}, {2, 2, 1}, {1, 2, 1}, {0, 2, 1}, {4, 2, 2}, {7, 3, 3}, {1, 1, 1}};
    for (const auto& c : rows)
        EXPECT_EQ(rowCountFor(c.items, c.columns), c.rows) << c.items << " in " << c.columns;
    EXPECT_EQ(widthForColumns(2, 15), 15 + 236 + 10);
}

TEST(GridGeometry, LargeIconLayout) {
    const QRect cell(118, 236, 118, 118);
    EXPECT_EQ(thumbnailBox(cell, TThumbDisplayType::tdtLargeIcon, 90, 75), QRect(132, 250, 90, 75));
    EXPECT_EQ(thumbnailBox(cell, TThumbDisplayType::tdtIconInfo, 90, 75), QRect(132, 250, 45, 37));
    EXPECT_EQ(checkBoxRect(cell, TCheckBoxAlign::alLeft), QRect(131, 326, 15, 15));
    EXPECT_EQ(checkBoxRect(cell, TCheckBoxAlign::alRight), QRect(118 + 89, 326, 15, 15));
    EXPECT_EQ(nameAvailableWidth(TThumbDisplayType::tdtLargeIcon, 118, 70), 72);
    EXPECT_EQ(nameAvailableWidth(TThumbDisplayType::tdtIconInfo, 118, 70), 67);
    // alLeft: ends 17 pixels from the right edge, or centred in the strip
    // that ends there.
    EXPECT_EQ(nameTextLeft(cell, TCheckBoxAlign::alLeft, false, 72, 40), 236 - 17 - 40);
    EXPECT_EQ(nameTextLeft(cell, TCheckBoxAlign::alLeft, true, 72, 41), 236 - 17 - 15 - 41);
    EXPECT_EQ(nameTextLeft(cell, TCheckBoxAlign::alRight, true, 72, 41), 118 + 14 + 15);
    EXPECT_EQ(nameTextLeft(cell, TCheckBoxAlign::alRight, false, 72, 41), 132);
}

TEST(GridGeometry, CheckZone) {
    const QRect cell(0, 118, 118, 118); // bottom 236
    const auto onCheck = [&](int x, int y) {
        return inCheckZone(cell, TThumbCheckingType::_OnCheck, TCheckBoxAlign::alLeft, x, y);
    };
    EXPECT_TRUE(onCheck(10, 236 - 20));
    EXPECT_TRUE(onCheck(1, 236 - 28));
    EXPECT_FALSE(onCheck(0, 216));  // on the left edge
    EXPECT_FALSE(onCheck(29, 216)); // left + 29
    EXPECT_FALSE(onCheck(10, 207)); // top + 89
    EXPECT_FALSE(onCheck(10, 236)); // bottom
    EXPECT_TRUE(onCheck(28, 235));
    const auto right = [&](int x, int y) {
        return inCheckZone(cell, TThumbCheckingType::_OnCheck, TCheckBoxAlign::alRight, x, y);
    };
    EXPECT_TRUE(right(100, 216));
    EXPECT_FALSE(right(75, 216));
    EXPECT_TRUE(right(76, 194));
    EXPECT_FALSE(right(76, 193));
    EXPECT_FALSE(inCheckZone(cell, TThumbCheckingType::_Never, TCheckBoxAlign::alLeft, 10, 216));
    EXPECT_TRUE(inCheckZone(cell, TThumbCheckingType::_OnBottom, TCheckBoxAlign::alLeft, 60, 200));
    EXPECT_FALSE(inCheckZone(cell, TThumbCheckingType::_OnBottom, TCheckBoxAlign::alLeft, 60, 150));
    EXPECT_TRUE(inCheckZone(cell, TThumbCheckingType::_Anywhere, TCheckBoxAlign::alLeft, 60, 150));
    EXPECT_FALSE(inCheckZone(cell, TThumbCheckingType::_Anywhere, TCheckBoxAlign::alLeft, 60, 118));
}

TEST(GridGeometry, ItemsOfCells) {
    EXPECT_EQ(itemAt(0, 2, 2, 5), 4);
    EXPECT_EQ(itemAt(1, 2, 2, 5), -1); // partial last row
    EXPECT_EQ(itemAt(2, 0, 2, 5), -1);
    EXPECT_EQ(itemAt(0, 0, 2, 0), -1);
}

TEST(GridGeometry, NavigationKeys) {
    // 5 items in 2 columns: rows 0 1 / 2 3 / 4 -; 2 visible rows.
    const struct {
        GridKey key;
        int from, to;
    } cases[] = {
        {GridKey::Left, 0, -1},    {GridKey::Right, 4, -1}, {GridKey::Left, 2, 1},
        {GridKey::Right, 1, 2},    {GridKey::Up, 1, -1},    {GridKey::Up, 3, 1},
        {GridKey::Down, 3, -1},    {GridKey::Down, 2, 4},   {GridKey::Down, 4, -1},
        {GridKey::Home, 3, 0},     {GridKey::End, 0, 4},    {GridKey::PageDown, 0, 2},
        {GridKey::PageDown, 3, 4}, {GridKey::PageUp, 3, 1}, {GridKey::PageUp, 1, 0},
        {GridKey::Other, 2, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(navigateTarget(c.key, c.from, 5, 2, 2, 2), c.to)
            << int(c.key) << " from " << c.from;
    EXPECT_EQ(navigateTarget(GridKey::Home, 0, 0, 2, 2, 2), -1); // empty grid
}

TEST(GridGeometry, WheelAndScrollIntoView) {
    // 10 rows, 3 visible: top rows 0 to 7.
    EXPECT_EQ(wheelTopRow(0, -1, 10, 3), 0);
    EXPECT_EQ(wheelTopRow(0, 1, 10, 3), 1);
    EXPECT_EQ(wheelTopRow(7, 1, 10, 3), 7);
    EXPECT_EQ(wheelTopRow(7, -1, 10, 3), 6);
    EXPECT_EQ(wheelTopRow(0, 1, 2, 3), 0); // everything visible
    EXPECT_EQ(topRowShowing(1, 3, 3), 1);
    EXPECT_EQ(topRowShowing(4, 3, 3), 3);
    EXPECT_EQ(topRowShowing(6, 3, 3), 4);
}

TEST(GridGeometry, DragThreshold) {
    EXPECT_FALSE(dragThresholdPassed(49, -49));
    EXPECT_TRUE(dragThresholdPassed(50, 0));
    EXPECT_TRUE(dragThresholdPassed(0, -50));
}
