#include <gtest/gtest.h>

#include "core/module/UnitImageSheet.h"

using namespace qmx;

TEST(UnitImageSheet, CellPositions) {
    EXPECT_EQ(unitImageCell(1, 10), (PixelPoint{151, 1}));
    EXPECT_EQ(unitImageCell(10, 10), (PixelPoint{151 + 41 * 9, 1}));
    EXPECT_EQ(unitImageCell(11, 10), (PixelPoint{151, 42}));  // ImagesPerRow + 1
    EXPECT_EQ(unitImageCell(25, 10), (PixelPoint{151 + 41 * 4, 1 + 41 * 2}));
    EXPECT_EQ(unitImageCell(11, 10, true), (PixelPoint{151, 18}));
    EXPECT_EQ(unitImageCell(3, 10, true), (PixelPoint{191, 1}));
    EXPECT_EQ(unitImageCell(0, 10), (PixelPoint{}));
    EXPECT_EQ(unitImageCell(5, 0), (PixelPoint{}));
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33);
    auto table = unitImageTable(m);
    ASSERT_EQ(table.size(), static_cast<std::size_t>(m.imageCapacity()) + 1);
    EXPECT_EQ(table[0], (PixelPoint{}));
    EXPECT_EQ(table[1], (PixelPoint{151, 1}));
}

TEST(UnitImageSheet, SizingGrowsByWholeRows) {
    // a new 20 x 20 rows-aligned map is 1050 wide: 21 cells a row
    EXPECT_EQ(blankMapSize(20, 20, GridOrientation::RowsAligned), (PixelPoint{1050, 882}));
    EXPECT_EQ(blankMapSize(20, 20, GridOrientation::ColumnsAligned), (PixelPoint{882, 1050}));
    SheetSize s = sizeSheet(84, 1050);
    EXPECT_EQ(s.imagesPerRow, 21);
    EXPECT_EQ(s.imageRows, 4);
    EXPECT_EQ(s.height, 165);
    s = sizeSheet(85, 1050);
    EXPECT_EQ(s.imageRows, 5);
    EXPECT_EQ(s.height, 206);
    EXPECT_EQ(s.capacity(), 105);
    EXPECT_EQ(sizeSheet(1000, 100).imagesPerRow, 0);  // too narrow: no cells, no endless loop
}

TEST(UnitImageSheet, AWideMapHasAtMost255CellsARowAndRowsForThem) {
    // 250 columns: 12,550 pixels, room for 302 cells, of which a byte holds 255.
    const int width = blankMapSize(250, 10, GridOrientation::RowsAligned).x;
    EXPECT_EQ(width, 12550);
    const SheetSize s = sizeSheet(2000, width);
    EXPECT_EQ(s.imagesPerRow, 255);
    EXPECT_EQ(s.imageRows, 8);  // 2,000 images at 255 a row
    EXPECT_GE(s.capacity(), 2000);
    const Module m = Module::createEmpty(250, 10, GridOrientation::RowsAligned, 33);
    EXPECT_EQ(m.imagesPerRow, 255);
    EXPECT_EQ(m.imageCapacity(), s.imagesPerRow * m.imageRows);
}

TEST(UnitImageSheet, NewModuleDefaults) {
    Module m = Module::createEmpty(30, 20, GridOrientation::RowsAligned, 10);
    EXPECT_EQ(m.unitCount, 33);
    EXPECT_EQ(m.hex(9, 12).name, "0912");
    EXPECT_EQ(m.hex(30, 21).name, "3021");
    EXPECT_EQ(m.valueTotalModes, 0x555);
    EXPECT_EQ(m.units[33].stepImage[0], 1);
    EXPECT_EQ(m.mapTop, 166);
    EXPECT_EQ(Module::overviewSizeFor(30, 20), (std::pair{144, 96}));
    EXPECT_EQ(Module::overviewSizeFor(20, 30), (std::pair{66, 99}));
    EXPECT_EQ(Module::overviewSizeFor(144, 99), (std::pair{144, 99}));
}
