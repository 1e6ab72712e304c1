#include <gtest/gtest.h>

#include "core/map/HexGeometry.h"

using namespace qmx;

namespace {

const HexGeometry kRows(GridOrientation::RowsAligned, 10, 8);
const HexGeometry kColumns(GridOrientation::ColumnsAligned, 12, 9);

using Outline = std::array<PixelPoint, 7>;

}  // namespace

TEST(HexGeometry, CellOriginsAndUnitImages) {
    EXPECT_EQ(kRows.cellOrigin({1, 1}), (PixelPoint{25, 0}));  // odd row shifted right
    EXPECT_EQ(kRows.cellOrigin({1, 2}), (PixelPoint{0, 42}));
    EXPECT_EQ(kRows.cellOrigin({3, 4}), (PixelPoint{100, 126}));
    EXPECT_EQ(kRows.cellOrigin({2, 5}), (PixelPoint{75, 168}));
    EXPECT_EQ(kRows.unitImageOrigin({1, 2}), (PixelPoint{3, 46}));

    EXPECT_EQ(kColumns.cellOrigin({1, 1}), (PixelPoint{0, 25}));  // odd column shifted down
    EXPECT_EQ(kColumns.cellOrigin({2, 1}), (PixelPoint{42, 0}));
    EXPECT_EQ(kColumns.cellOrigin({3, 4}), (PixelPoint{84, 175}));
    EXPECT_EQ(kColumns.cellOrigin({4, 3}), (PixelPoint{126, 100}));
    EXPECT_EQ(kColumns.unitImageOrigin({2, 1}), (PixelPoint{48, 3}));

    // any non-zero layout byte is columns aligned
    EXPECT_FALSE(HexGeometry(static_cast<GridOrientation>(7), 5, 5).rowsAligned());
}

TEST(HexGeometry, MapToWindowTruncatesTowardZero) {
    EXPECT_EQ(HexGeometry::mapToWindow({100, 126}, 1.5f, {10, 20}), (PixelPoint{135, 159}));
    EXPECT_EQ(HexGeometry::mapToWindow({101, 7}, 0.75f, {0, 0}), (PixelPoint{75, 5}));
    EXPECT_EQ(HexGeometry::mapToWindow({5, 0}, 0.75f, {10, 0}), (PixelPoint{-3, 0}));
    EXPECT_EQ(kRows.unitWindowPosition({3, 4}, 2.0f, {50, 42}), (PixelPoint{106, 176}));
    EXPECT_EQ(zoomed(25, 0.75f), 18);
    EXPECT_EQ(zoomed(-10, 1.5f), -15);
}

TEST(HexGeometry, HitTestRowsAligned) {
    const PixelPoint s0{0, 0};
    EXPECT_EQ(kRows.hexAt({0, 0}, 1.0f, s0), (Hex{1, 1}));
    EXPECT_EQ(kRows.hexAt({76, 69}, 1.0f, s0), (Hex{2, 2}));
    // the left half-hex margin of odd rows: strip 0, clamped to column 1
    EXPECT_EQ(kRows.hexAt({10, 20}, 1.0f, s0), (Hex{1, 1}));
    EXPECT_EQ(kRows.hexAt({20, 100}, 1.0f, s0), (Hex{1, 3}));
    EXPECT_EQ(kRows.hexAt({10, 60}, 1.0f, s0), (Hex{1, 2}));
    // the strip edge sits one pixel right because of the "- 1"
    EXPECT_EQ(kRows.hexAt({75, 100}, 1.0f, s0), (Hex{1, 3}));
    EXPECT_EQ(kRows.hexAt({76, 100}, 1.0f, s0), (Hex{2, 3}));
    // the top 3 pixels give row strip 0, whose parity is even: no shift
    EXPECT_EQ(kRows.hexAt({60, 2}, 1.0f, s0), (Hex{2, 1}));
    EXPECT_EQ(kRows.hexAt({60, 10}, 1.0f, s0), (Hex{1, 1}));
    // beyond the map: last column, last row; never the combat box row
    EXPECT_EQ(kRows.hexAt({10000, 10000}, 1.0f, s0), (Hex{10, 8}));
    // far left and above: column 1, row 1 (the strip byte saturates, it does not wrap)
    EXPECT_EQ(kRows.hexAt({-500, -500}, 1.0f, s0), (Hex{1, 1}));
    EXPECT_EQ(kRows.hexAt({-30000, 5}, 0.5f, s0), (Hex{1, 1}));

    // zoomed
    EXPECT_EQ(kRows.hexAt({51, 100}, 2.0f, {100, 50}), (Hex{3, 3}));
    EXPECT_EQ(kRows.hexAt({13, 10}, 0.5f, s0), (Hex{1, 1}));
    EXPECT_EQ(kRows.hexAt({14, 10}, 0.5f, s0), (Hex{1, 1}));
    EXPECT_EQ(kRows.hexAt({38, 10}, 0.5f, s0), (Hex{1, 1}));
    EXPECT_EQ(kRows.hexAt({39, 10}, 0.5f, s0), (Hex{2, 1}));
    EXPECT_EQ(kRows.hexAt({0, 0}, 0.75f, {40, 0}), (Hex{1, 1}));
}

TEST(HexGeometry, HitTestColumnsAligned) {
    const PixelPoint s0{0, 0};
    EXPECT_EQ(kColumns.hexAt({50, 30}, 1.0f, s0), (Hex{2, 1}));
    // the top half-hex margin of odd columns
    EXPECT_EQ(kColumns.hexAt({20, 20}, 1.0f, s0), (Hex{1, 1}));
    EXPECT_EQ(kColumns.hexAt({20, 80}, 1.0f, s0), (Hex{1, 2}));
    // column strip 0 is even: the row is taken without the shift, then the
    // column is clamped to 1
    EXPECT_EQ(kColumns.hexAt({2, 70}, 1.0f, s0), (Hex{1, 2}));
    EXPECT_EQ(kColumns.hexAt({4, 70}, 1.0f, s0), (Hex{1, 1}));
    EXPECT_EQ(kColumns.hexAt({100000, 100000}, 1.0f, s0), (Hex{12, 9}));
    EXPECT_EQ(kColumns.hexAt({10, 10}, 1.5f, {84, 100}), (Hex{3, 2}));
}

TEST(HexGeometry, CursorOutline) {
    EXPECT_EQ(kRows.outline({1, 1}, 1.0f, {0, 0}),
              (Outline{{{50, 1}, {75, 14}, {75, 43}, {50, 55}, {26, 43}, {26, 14}, {50, 2}}}));
    EXPECT_EQ(
        kRows.outline({2, 2}, 2.0f, {10, 20}),
        (Outline{{{130, 45}, {180, 71}, {180, 129}, {130, 153}, {82, 129}, {82, 71}, {130, 47}}}));
    EXPECT_EQ(
        kRows.outline({3, 3}, 0.75f, {0, 0}),
        (Outline{{{111, 64}, {130, 73}, {130, 95}, {111, 104}, {93, 95}, {93, 73}, {111, 64}}}));
    EXPECT_EQ(kRows.outline({1, 2}, 1.5f, {10, 50})[0], (PixelPoint{22, -11}));

    EXPECT_EQ(kColumns.outline({1, 1}, 1.0f, {0, 0}),
              (Outline{{{1, 51}, {14, 27}, {41, 27}, {54, 51}, {41, 75}, {14, 75}, {1, 51}}}));
    EXPECT_EQ(kColumns.outline({2, 3}, 0.5f, {0, 0}),
              (Outline{{{21, 63}, {28, 51}, {41, 51}, {48, 63}, {41, 75}, {28, 75}, {21, 63}}}));
}

TEST(HexGeometry, ScrollSizesAndWholeHexes) {
    EXPECT_EQ(kRows.scrollExtent(1.0f), (PixelPoint{551, 391}));
    EXPECT_EQ(kRows.scrollExtent(0.75f), (PixelPoint{413, 293}));
    EXPECT_EQ(kRows.scrollExtent(1.5f), (PixelPoint{826, 586}));
    EXPECT_EQ(kColumns.scrollExtent(1.0f), (PixelPoint{559, 501}));
    EXPECT_EQ(kColumns.scrollExtent(0.5f), (PixelPoint{279, 250}));
    EXPECT_EQ(HexGeometry(GridOrientation::RowsAligned, 250, 249).scrollExtent(2.0f),
              (PixelPoint{25102, 21026}));
    EXPECT_EQ(HexGeometry::scrollPage(0.75f), (PixelPoint{135, 187}));
    EXPECT_EQ(HexGeometry::scrollLine(0.75f), (PixelPoint{27, 18}));
    EXPECT_EQ(HexGeometry::scrollPage(1.5f), (PixelPoint{270, 375}));
    EXPECT_EQ(HexGeometry::scrollLine(1.5f), (PixelPoint{54, 37}));

    // the count along the shifted direction is made even
    EXPECT_EQ(kRows.wholeHexes(1000, 500, 1.0f), (WholeHexes{20, 10}));
    EXPECT_EQ(kRows.wholeHexes(1000, 500, 0.75f), (WholeHexes{26, 14}));
    EXPECT_EQ(kColumns.wholeHexes(1000, 500, 2.0f), (WholeHexes{10, 5}));
}

TEST(HexGeometry, OutsideWindow) {
    const HexGeometry g(GridOrientation::RowsAligned, 40, 30);
    // 100 %: left limit column 4, right 11, top row 4, bottom 8
    EXPECT_FALSE(g.outsideWindow({4, 4}, 1.0f, {100, 84}, 500, 300));
    EXPECT_FALSE(g.outsideWindow({11, 8}, 1.0f, {100, 84}, 500, 300));
    EXPECT_TRUE(g.outsideWindow({3, 5}, 1.0f, {100, 84}, 500, 300));
    EXPECT_TRUE(g.outsideWindow({12, 5}, 1.0f, {100, 84}, 500, 300));
    EXPECT_TRUE(g.outsideWindow({5, 3}, 1.0f, {100, 84}, 500, 300));
    EXPECT_TRUE(g.outsideWindow({5, 9}, 1.0f, {100, 84}, 500, 300));
    // the last row never counts as below the window
    EXPECT_TRUE(g.outsideWindow({5, 28}, 1.0f, {100, 900}, 500, 300));
    EXPECT_FALSE(g.outsideWindow({5, 30}, 1.0f, {100, 900}, 500, 300));
    // zoomed: the window shows map x 1000..1250 at 200 % (columns 21..25, rows
    // 1..3, row 2 clear of both edges)
    // and 1000..2000 at 50 % (columns 21..40)
    EXPECT_TRUE(g.outsideWindow({15, 2}, 2.0f, {1000, 0}, 500, 300));
    EXPECT_FALSE(g.outsideWindow({22, 2}, 2.0f, {1000, 0}, 500, 300));
    EXPECT_TRUE(g.outsideWindow({26, 2}, 2.0f, {1000, 0}, 500, 300));
    EXPECT_FALSE(g.outsideWindow({30, 4}, 0.5f, {1000, 0}, 500, 300));
    EXPECT_TRUE(g.outsideWindow({40, 4}, 0.5f, {1000, 0}, 500, 300));
    EXPECT_TRUE(g.outsideWindow({21, 4}, 0.5f, {1000, 0}, 500, 300));
}

TEST(HexGeometry, Centring) {
    const HexGeometry g(GridOrientation::RowsAligned, 40, 30);
    const WholeHexes fit{20, 10};
    EXPECT_EQ(g.centredScrollPosition({25, 15}, 1.0f, fit), (PixelPoint{750, 420}));
    EXPECT_EQ(g.centredScrollPosition({25, 15}, 0.75f, fit), (PixelPoint{562, 315}));
    EXPECT_EQ(g.centredScrollPosition({2, 2}, 1.0f, fit), (PixelPoint{0, 0}));
    EXPECT_EQ(g.centredScrollPosition({40, 30}, 1.0f, fit), (PixelPoint{1000, 840}));
    EXPECT_EQ(g.centredScrollPosition({10, 14}, 1.0f, fit), (PixelPoint{0, 336}));  // 9 -> 8
    // a map smaller than the window never scrolls to a negative position
    EXPECT_EQ(kRows.centredScrollPosition({5, 5}, 1.0f, fit), (PixelPoint{0, 0}));
}

TEST(HexGeometry, FacingTurnsAndPoints) {
    std::uint8_t f = kFacingShown | 1;
    for (int i = 0; i < 6; ++i) f = rotateRight(f);
    EXPECT_EQ(f, kFacingShown | 1);
    for (int i = 0; i < 6; ++i) f = rotateLeft(f);
    EXPECT_EQ(f, kFacingShown | 1);
    EXPECT_EQ(rotateRight(kFacingShown | 1), kFacingShown | 2);
    EXPECT_EQ(rotateRight(kFacingShown | 32), kFacingShown | 1);
    EXPECT_EQ(rotateLeft(kFacingShown | 1), kFacingShown | 32);
    EXPECT_EQ(rotateLeft(kFacingShown | 8), kFacingShown | 4);
    // corner bit kept; no direction yet gives direction 1
    EXPECT_EQ(rotateLeft(kFacingShown | kFacingCorner), kFacingShown | kFacingCorner | 1);
    EXPECT_EQ(rotateRight(kFacingShown), kFacingShown | 1);
    // hidden indicator: no turn
    EXPECT_EQ(rotateRight(4), 4);
    EXPECT_EQ(rotateLeft(0), 0);

    EXPECT_EQ(facingPoint(kFacingShown | 1), (PixelPoint{35, 2}));
    EXPECT_EQ(facingPoint(kFacingShown | 4), (PixelPoint{35, 35}));
    EXPECT_EQ(facingPoint(kFacingShown | 16), (PixelPoint{4, 20}));
    EXPECT_EQ(facingPoint(kFacingShown | kFacingCorner | 1), (PixelPoint{22, 0}));
    EXPECT_EQ(facingPoint(kFacingShown | kFacingCorner | 8), (PixelPoint{24, 40}));
    EXPECT_EQ(facingPoint(kFacingShown | kFacingCorner | 32), (PixelPoint{4, 10}));
    EXPECT_FALSE(facingPoint(kFacingShown).has_value());
    // a damaged byte with two directions uses the lower one
    EXPECT_EQ(facingPoint(kFacingShown | 1 | 4), (PixelPoint{35, 2}));
}
