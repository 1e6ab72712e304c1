// The rules of Define Units and Add Units on a module in memory.
#include <gtest/gtest.h>

#include "core/edit/UnitEditor.h"
#include "tests/support/FakeEditorPrompts.h"

using namespace qmx;
using qmx::test::FakeEditorPrompts;

namespace {

class UnitEditorTest : public ::testing::Test {
protected:
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 40);  // 84 images
    EditHistory history;
    FakeEditorPrompts prompts;
    int first = 1;
    UnitEditor editor{m, history, prompts, first};

    // Unit 1 with steps 1 to 4 in use.
    void useFourSteps() {
        for (int s = 1; s < 4; ++s) ASSERT_TRUE(editor.setUsed(s, true));
    }
};

}  // namespace

TEST_F(UnitEditorTest, OpensOnUnitOneAndSelectsWithinTheTable) {
    EXPECT_EQ(editor.currentUnit(), 1);
    editor.select(99);
    EXPECT_EQ(editor.currentUnit(), 40);
    editor.select(0);
    EXPECT_EQ(editor.currentUnit(), 1);
}

TEST_F(UnitEditorTest, NamesAndValuesGoToTheModuleAtOnce) {
    editor.select(7);
    editor.setName("Panzer Lehr 130 Division, the longest name ever");
    EXPECT_EQ(m.units[7].name, "Panzer Lehr 130 Division, the longes");
    editor.setValue(2, 5, -1);
    EXPECT_EQ(m.units[7].values[2][5], 255);
    editor.setValue(0, 0, -150);
    EXPECT_EQ(shownValue(m.units[7].values[0][0]), -99);
    editor.setValue(0, 1, 150);
    EXPECT_EQ(m.units[7].values[0][1], 99);
    editor.setValueName(2, "Movement");
    EXPECT_EQ(m.valueNames[2], "Move");
    EXPECT_EQ(unitListLine(m, 7),
              "7\tPanzer Lehr 130 Division, the longes\t-99\t99\t0\t0\t0\t0\t1");
}

TEST_F(UnitEditorTest, TotalModeButtonsCycleMinMaxTotal) {
    EXPECT_EQ(totalModeLabel(m.totalMode(0)), std::string("Min"));
    EXPECT_EQ(editor.pressTotalMode(0), TotalMode::Highest);
    EXPECT_EQ(editor.pressTotalMode(0), TotalMode::Total);
    EXPECT_EQ(editor.pressTotalMode(0), TotalMode::Lowest);
    EXPECT_EQ(m.valueTotalModes, 0x555);
    // NotComputed is labelled Total and becomes Min.
    m.setTotalMode(3, TotalMode::NotComputed);
    EXPECT_EQ(totalModeLabel(m.totalMode(3)), std::string("Total"));
    EXPECT_EQ(editor.pressTotalMode(3), TotalMode::Lowest);
    EXPECT_EQ(m.valueTotalModes & 0xC0, 0x40);
}

TEST_F(UnitEditorTest, UsingAStepCopiesTheStepAbove) {
    editor.setValue(0, 0, 4);
    editor.setValue(0, 5, -2);
    m.units[1].stepImage[0] = 12;
    ASSERT_TRUE(editor.setUsed(1, true));
    EXPECT_EQ(m.units[1].stepImage[1], 12);
    EXPECT_EQ(m.units[1].values[1][0], 4);
    EXPECT_EQ(m.units[1].values[1][5], 254);
    // Step 4 while step 3 is not used: nothing changes, the box shows unchecked.
    EXPECT_FALSE(editor.setUsed(3, true));
    EXPECT_EQ(m.units[1].stepImage[3], 0);
}

TEST_F(UnitEditorTest, ClearingAStepWithStepsBelowAsksFirst) {
    useFourSteps();
    const UnitDefinition before = m.units[1];
    prompts.answers = {false};
    EXPECT_TRUE(editor.setUsed(2, false));  // step 3, while step 4 is used: No
    EXPECT_EQ(prompts.questions.back(),
              "WARNING: This will remove steps 4-6 as well!  Are you sure you want to continue?");
    EXPECT_EQ(m.units[1].stepImage, before.stepImage);

    prompts.answers = {true};
    EXPECT_FALSE(editor.setUsed(1, false));  // step 2: Yes drops 2 to 6
    EXPECT_EQ(prompts.questions.back(),
              "WARNING: This will remove steps 3-6 as well!  Are you sure you want to continue?");
    for (int s = 1; s < 6; ++s) EXPECT_EQ(m.units[1].stepImage[s], 0) << s;
    // The values stay.
    EXPECT_EQ(m.units[1].values, before.values);
}

TEST_F(UnitEditorTest, ClearingTheLastUsedStepAsksNothing) {
    useFourSteps();
    EXPECT_FALSE(editor.setUsed(3, false));
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(m.units[1].stepImage[3], 0);
    EXPECT_NE(m.units[1].stepImage[2], 0);
    EXPECT_EQ(removeStepsQuestion(4),
              "This will remove steps 5&6 as well!  Are you sure you want to continue?");
    EXPECT_EQ(removeStepsQuestion(5),
              "This will remove step 6 as well!  Are you sure you want to continue?");
}

TEST_F(UnitEditorTest, PickerCellsAndClicks) {
    EXPECT_EQ(pickerCellAt(278, 27), 0);
    EXPECT_EQ(pickerCellAt(278 + 44, 27 + 43), 0);
    EXPECT_EQ(pickerCellAt(278 + 45, 27), 3);
    EXPECT_EQ(pickerCellAt(278 + 6 * 45 + 1, 27 + 2 * 44 + 1), 20);
    EXPECT_EQ(pickerCellAt(277, 30), std::nullopt);
    EXPECT_EQ(pickerCellAt(593, 30), std::nullopt);
    EXPECT_EQ(pickerCellAt(300, 159), std::nullopt);
    EXPECT_EQ((pickerCellCorner(20)), (PixelPoint{278 + 6 * 45, 27 + 2 * 44}));
    EXPECT_EQ(stepForClick(false, false, false), 1);
    EXPECT_EQ(stepForClick(true, false, false), 2);
    EXPECT_EQ(stepForClick(false, true, false), 3);
    EXPECT_EQ(stepForClick(true, true, false), 4);
    EXPECT_EQ(stepForClick(false, false, true), 5);
    EXPECT_EQ(stepForClick(true, false, true), 6);

    // Left click on cell 4 (column 1, row 1) gives image 5 to step 1.
    EXPECT_TRUE(editor.click(278 + 50, 27 + 50, false, false, false));
    EXPECT_EQ(m.units[1].stepImage[0], 5);
    // Right click: step 2 is not used, nothing happens.
    EXPECT_FALSE(editor.click(278 + 50, 27 + 50, true, false, false));
    EXPECT_EQ(m.units[1].stepImage[1], 0);
    ASSERT_TRUE(editor.setUsed(1, true));
    EXPECT_TRUE(editor.click(278, 27, true, false, false));
    EXPECT_EQ(m.units[1].stepImage[1], 1);
}

TEST_F(UnitEditorTest, SpinMovesByAColumnAndKeepsTheLastImageReachable) {
    EXPECT_EQ(editor.capacity(), 84);
    editor.spin(1);
    EXPECT_EQ(first, 4);
    editor.spin(-5);
    EXPECT_EQ(first, 1);
    editor.spin(100);
    // 84 - 20: the last cell shows image 84 itself.
    EXPECT_EQ(first, 64);
    EXPECT_EQ(editor.shownCount(), 21);
    EXPECT_TRUE(editor.click(278 + 6 * 45, 27 + 2 * 44, false, false, false));
    EXPECT_EQ(m.units[1].stepImage[0], 84);
    // The first image is kept for the next opening.
    UnitEditor again(m, history, prompts, first);
    EXPECT_EQ(again.firstShownImage(), 64);
}

TEST_F(UnitEditorTest, SmallSheetsShowFewerImagesAndCellsBeyondPickNothing) {
    m.imageRows = 1;
    m.imagesPerRow = 10;
    first = 5;
    UnitEditor small(m, history, prompts, first);
    EXPECT_EQ(small.firstShownImage(), 1);
    EXPECT_EQ(small.shownCount(), 10);
    EXPECT_FALSE(small.click(278 + 6 * 45, 27, false, false, false));  // cell 18
    EXPECT_EQ(m.units[1].stepImage[0], 1);
}

TEST_F(UnitEditorTest, CopyPasteAndCopyToNext) {
    EXPECT_FALSE(editor.paste());  // nothing copied
    editor.select(3);
    editor.setName("Guards");
    editor.setValue(0, 0, 7);
    ASSERT_TRUE(editor.setUsed(1, true));
    editor.copy();
    editor.select(10);
    ASSERT_TRUE(editor.paste());
    EXPECT_EQ(m.units[10].name, "Guards");
    EXPECT_EQ(m.units[10].values[1][0], 7);
    EXPECT_EQ(m.units[10].stepImage[1], 1);

    ASSERT_TRUE(editor.copyToNext());
    EXPECT_EQ(editor.currentUnit(), 11);
    EXPECT_EQ(m.units[11].name, "Guards");
    editor.select(40);
    EXPECT_FALSE(editor.copyToNext());
    EXPECT_FALSE(editor.selectNext());
    EXPECT_EQ(editor.currentUnit(), 40);
    editor.select(39);
    EXPECT_TRUE(editor.selectNext());
    EXPECT_EQ(editor.currentUnit(), 40);
}

TEST_F(UnitEditorTest, EveryChangeIsUndoneThroughTheHistory) {
    editor.select(2);
    editor.setName("A");
    editor.setName("Ab");
    editor.setValue(0, 0, 3);
    editor.click(278 + 50, 27, false, false, false);
    EXPECT_EQ(history.size(), 3u);
    history.undo();
    EXPECT_EQ(m.units[2].stepImage[0], 1);
    history.undo();
    EXPECT_EQ(m.units[2].values[0][0], 0);
    history.undo();
    EXPECT_EQ(m.units[2].name, "");
}

TEST_F(UnitEditorTest, AddUnitsCapsAtSixtyFiveThousand) {
    EXPECT_EQ(addUnitsQuestion(40),
              "There are currently 40 units in the module.  How many more do you wish to add?");
    EXPECT_EQ(addUnits(m, history, prompts, 10), 50);
    EXPECT_EQ(m.units[50].stepImage, (std::array<std::uint16_t, 6>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(m.units[40].stepImage[1], 0);
    EXPECT_TRUE(prompts.texts.empty());

    Module big = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 64950);
    big.units[64950].name = "Kept";
    prompts.answers = {false};  // "No": nothing is added
    EXPECT_EQ(addUnits(big, history, prompts, 100), 64950);
    EXPECT_EQ(addUnits(big, history, prompts, 100), 65000);
    EXPECT_EQ(prompts.questions.back(),
              "Caution: Too many units.  Number truncated to 65,000.\n\n50 units will be added. "
              "Do you wish to add them?");
    EXPECT_EQ(big.units.size(), 65001u);
    EXPECT_EQ(big.units[64950].name, "Kept");
    // Exactly up to the cap is no caution.
    prompts.texts.clear();
    Module near = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 64900);
    EXPECT_EQ(addUnits(near, history, prompts, 100), 65000);
    EXPECT_TRUE(prompts.texts.empty());
    EXPECT_EQ(addUnits(m, history, prompts, 0), 50);
}
