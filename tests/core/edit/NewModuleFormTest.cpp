// The "New Module" dialog's rules: its opening values, the corrections as the
// author moves on, the clamps of OK and the module it makes.
#include <gtest/gtest.h>

#include "core/edit/NewModuleForm.h"

using namespace qmx;

TEST(NewModuleForm, OpensAtTwentyByTwentyWithTheSheetItHolds) {
    NewModuleForm f;
    EXPECT_EQ(f.columns, 20);
    EXPECT_EQ(f.rows, 20);
    EXPECT_EQ(f.units, 33);
    // (20 + 1) x 50 = 1050 wide: (1050 - 151) / 41 = 21 per row, 4 rows.
    EXPECT_EQ(f.sheet().imagesPerRow, 21);
    EXPECT_EQ(f.sheet().imageRows, 4);
    EXPECT_EQ(f.capacity(), 84);
    EXPECT_EQ(f.imagesWanted, 84);
    EXPECT_EQ(f.capacityText(),
              "There are currently 84 unit images available.  If you think you will need more "
              "than this to represent all your units, enter the desired number of images here.  "
              "Remember, images may be used by more than one unit.");
}

TEST(NewModuleForm, LeavingTheImagesFieldCorrectsTheSizeAndGrowsTheSheet) {
    NewModuleForm f;
    f.columns = 7;
    f.rows = 31;
    f.imagesWanted = 200;
    f.leaveImagesWanted();
    EXPECT_EQ(f.columns, 20);
    EXPECT_EQ(f.rows, 32);
    // 200 images at 21 per row need 10 rows.
    EXPECT_EQ(f.sheet().imageRows, 10);
    EXPECT_EQ(f.sheet().height, 10 * 41 + 1);
    // Fewer than the capacity: the sheet stays at its 4 rows.
    f.imagesWanted = 50;
    f.leaveImagesWanted();
    EXPECT_EQ(f.sheet().imageRows, 4);
}

TEST(NewModuleForm, TheOrientationChangesTheWidthAndSoTheCapacity) {
    NewModuleForm f;
    f.chooseOrientation(GridOrientation::ColumnsAligned);
    // (20 + 1) x 42 = 882 wide: 17 per row.
    EXPECT_EQ(f.sheet().imagesPerRow, 17);
    EXPECT_EQ(f.mapWidth(), 882);
    // 84 wanted are more than the new 68: the sheet grows to hold them.
    EXPECT_EQ(f.sheet().imageRows, 5);
    EXPECT_EQ(f.capacity(), 85);
}

TEST(NewModuleForm, TypingSizesTheSheetAtOnce) {
    NewModuleForm f;
    f.typeImagesWanted(300);
    EXPECT_EQ(f.capacity(), 315);
    EXPECT_NE(f.capacityText().find(" 315 "), std::string::npos);
}

TEST(NewModuleForm, OkClampsEveryField) {
    NewModuleForm f;
    f.units = 5;
    f.imagesWanted = 10;
    f.confirm();
    EXPECT_EQ(f.units, 33);
    EXPECT_EQ(f.imagesWanted, 84);

    f.units = 70000;
    f.imagesWanted = 5000;
    f.columns = 300;
    f.rows = 249;
    f.confirm();
    EXPECT_EQ(f.units, 65000);
    EXPECT_EQ(f.imagesWanted, 1000);
    EXPECT_EQ(f.columns, 250);
    // 249 is odd and raising it would pass the limit: the largest even count.
    EXPECT_EQ(f.rows, 248);
    // 251 x 50 = 12550 wide would give 302 per row; the byte holds 255.
    EXPECT_EQ(f.sheet().imagesPerRow, 255);
    EXPECT_EQ(f.sheet().imageRows, 4);
}

TEST(NewModuleForm, CreatesTheEmptyModuleOfTheForm) {
    NewModuleForm f;
    f.columns = 24;
    f.rows = 21;
    f.units = 50;
    f.imagesWanted = 120;
    f.chooseOrientation(GridOrientation::ColumnsAligned);
    f.confirm();
    const Module m = f.createModule();
    EXPECT_EQ(m.columns, 24);
    EXPECT_EQ(m.rows, 22);
    EXPECT_EQ(m.orientation, GridOrientation::ColumnsAligned);
    EXPECT_EQ(m.unitCount, 50);
    EXPECT_EQ(m.imagesPerRow, (25 * 42 - 151) / 41);
    EXPECT_GE(m.imageCapacity(), 120);
    EXPECT_EQ(m.mapTop, m.imageRows * 41 + 2);
    EXPECT_EQ(m.hex(24, 23).name, "2423");
    EXPECT_EQ(m.units[50].stepImage[0], 1);
    EXPECT_EQ(m.units[50].stepImage[1], 0);
    // 24/22 is below 144/99: the overview is 99 high.
    EXPECT_EQ(m.overviewHeight, 99);
    EXPECT_EQ(m.overviewWidth, 24 * 99 / 22);
}
