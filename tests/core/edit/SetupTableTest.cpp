// A setup game placed from a spreadsheet table.

#include <gtest/gtest.h>

#include <string>

#include "core/edit/SetupTable.h"
#include "core/game/SavedGame.h"
#include "core/game/StackRepair.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/ScriptedPrompts.h"

namespace qmx {
namespace {

// 4 x 3 hexes named "0101".."0403", units "Unit 1".."Unit 33"; units 5 to 7
// are all "Rifles"; unit 2 has steps 1 to 4, unit 10 steps 1 and 2, the others step 1 only.
Module setupModule() {
    Module m = test::ModuleBuilder::newModule(4, 3, 33).namedUnits().build();
    for (int u = 5; u <= 7; ++u) m.units[static_cast<std::size_t>(u)].name = "Rifles";
    m.units[2].stepImage = {1, 2, 3, 4, 0, 0};
    m.units[3].stepImage = {1, 0, 0, 0, 0, 0};
    m.units[10].stepImage = {1, 2, 0, 0, 0, 0};
    m.units[9].name = "Chasseurs \xE0 pied";  // Latin-1, as module names are
    m.hex(2, 1).name = "Ford";
    m.hex(3, 2).name = "Ford";
    return m;
}

SetupTableResult place(const std::string& text, const Module& m, GameState& s) {
    return placeUnitsFromTable(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), m, s);
}

std::string reportText(const SetupTableResult& r) {
    std::string all;
    for (const std::string& line : r.report) all += line + "\n";
    return all;
}

TEST(SetupTable, PlacesAndStacksInTableOrderAndSavesAsAStartOfGame) {
    const Module m = setupModule();
    GameState s(m);
    // A header in another order with a column of notes; names, numbers,
    // "C,R" in quotes, a shared name taken unit by unit, a unit placed twice.
    const SetupTableResult r = place(
        "Hex,Notes,Unit\r\n"
        "0402,first,Unit 4\r\n"
        "\"2,3\",,#1\r\n"
        "0402,second,Rifles\r\n"
        "0402,third,Rifles\r\n"
        "0101,,Rifles\r\n"
        "0101,,Rifles\r\n"
        "0404,,1\r\n"
        "0201,,Unit 4\r\n"
        "\r\n"
        "0403,,\"Chasseurs \xC3\xA0 pied\"\r\n",
        m, s);
    EXPECT_EQ(s.stackAt(4, 2), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(s.stackAt(2, 3), (std::vector<int>{1}));
    EXPECT_EQ(s.stackAt(4, 3), (std::vector<int>{9}));
    // Hex 1,1: the placed unit on top, then every unit no line names.
    const std::vector<int> first = s.stackAt(1, 1);
    ASSERT_EQ(first.size(), 28u);
    EXPECT_EQ(first[0], 7);
    EXPECT_EQ(first[1], 2);
    EXPECT_EQ(r.placed, 6);
    EXPECT_EQ(r.hexes, 4);
    EXPECT_EQ(r.leftOnFirstHex, 27);
    EXPECT_EQ(r.refusedLines, 3);
    EXPECT_EQ(reportText(r),
              "line 1: the column \"Notes\" is none of unit, hex, step, face, facing, hidden-by: "
              "passed over\n"
              "line 7: all 3 units named \"Rifles\" are already placed\n"
              "line 8: unit 1 \"Unit 1\" is already placed by line 3; that line stands\n"
              "line 9: unit 4 \"Unit 4\" is already placed by line 2; that line stands\n");
    EXPECT_EQ(setupSummary(r),
              "6 units placed on 4 hexes; 3 lines placed nothing; 27 units no line names stay "
              "on hex 1,1.");

    // The start state is the state, so a replay starts from the setup; the
    // stacks need no repair; the saved game loads with no players defined.
    for (int u = 1; u <= s.unitCount(); ++u) {
        const UnitState& x = s.unit(u);
        EXPECT_EQ(x.startColumn, x.column);
        EXPECT_EQ(x.startRow, x.row);
        EXPECT_EQ(x.startStackLink, x.stackLink);
    }
    GameState repaired = s;
    EXPECT_FALSE(repairStacks(repaired).stackingError);
    EXPECT_EQ(repaired.stackAt(4, 2), s.stackAt(4, 2));

    const Bytes bytes = serializeSavedGame(s, m, {});
    GameState loaded(m);
    ScriptedPrompts prompts;
    ASSERT_TRUE(readSavedGame(bytes, m, loaded, prompts).ok);
    EXPECT_EQ(loaded.identifyProgress, kPlayersUndefined);
    EXPECT_EQ(loaded.players[0].kind, SlotKind::NotUsed);
    EXPECT_EQ(loaded.stackAt(4, 2), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(loaded.stackAt(1, 1), first);
}

TEST(SetupTable, ValuesOutOfRangeAreReportedAndTheUnitPlacedWithDefaults) {
    const Module m = setupModule();
    GameState s(m);
    // No header: unit, hex, step, face, facing, hidden-by. Semicolons.
    const SetupTableResult r = place(
        "\xEF\xBB\xBF"
        "2;0101;3;down;c2;2 id\n"
        "3;0101;2;;7;9\n"
        "10;0101;1;down;side 6;1\n"
        "11;0301;x;sideways;;\n",
        m, s);
    EXPECT_EQ(r.placed, 4);
    EXPECT_EQ(s.unit(2).step, 3);  // step 3, face down: step 4
    EXPECT_EQ(s.unit(2).facing, Facing::kShown | Facing::kCorner | 2);
    EXPECT_EQ(s.unit(2).hiddenBy(), 1);
    EXPECT_TRUE(s.unit(2).has(UnitFlags::kIdHidden));
    EXPECT_EQ(s.unit(2).startHiddenBy(), 1);
    EXPECT_TRUE(s.unit(2).has(UnitFlags::kStartIdHidden));
    EXPECT_EQ(s.unit(3).step, 0);
    EXPECT_EQ(s.unit(3).facing, 0);
    EXPECT_FALSE(s.unit(3).isHidden());
    EXPECT_EQ(s.unit(10).step, 1);
    EXPECT_EQ(s.unit(10).facing, Facing::kShown | 32);
    EXPECT_EQ(s.unit(10).hiddenBy(), 0);
    EXPECT_FALSE(s.unit(10).has(UnitFlags::kIdHidden));
    EXPECT_EQ(s.unit(11).step, 0);
    EXPECT_EQ(s.stackAt(3, 1), (std::vector<int>{11}));
    EXPECT_EQ(reportText(r),
              "line 2: unit 3 \"Unit 3\" has no step \"2\"; placed at step 1\n"
              "line 2: the facing \"7\" is not a side 1 to 6 or a corner c1 to c6; unit 3 "
              "\"Unit 3\" placed without facing\n"
              "line 2: hidden by \"9\" is not a player position 1 to 8; unit 3 \"Unit 3\" placed "
              "not hidden\n"
              "line 4: unit 11 \"Unit 11\" has no step \"x\"; placed at step 1\n"
              "line 4: the face \"sideways\" is neither up nor down; unit 11 \"Unit 11\" placed "
              "as its step says\n");
}

TEST(SetupTable, LinesNamingNoUnitOrNoHexPlaceNothing) {
    const Module m = setupModule();
    GameState s(m);
    const SetupTableResult r = place(
        "unit\thex\n"
        "Tigre\t0101\n"
        "40\t0101\n"
        "Unit 12\tNowhere\n"
        "Unit 12\t5,1\n"
        "Unit 12\tford\n"
        "Unit 13\tFord\n"
        "\t0101\n"
        "Unit 14\t\n"
        "Unit 15\t01\x01"
        "01\n",
        m, s);
    EXPECT_EQ(r.placed, 2);
    EXPECT_EQ(s.stackAt(2, 1), (std::vector<int>{12, 13}));  // the first hex named Ford
    EXPECT_EQ(r.refusedLines, 7);
    EXPECT_EQ(reportText(r),
              "line 2: no unit named \"Tigre\"\n"
              "line 3: no unit number 40 (the module has 33 units)\n"
              "line 4: no hex named \"Nowhere\"\n"
              "line 5: no hex 5,1 on the map of 4 x 3 hexes\n"
              "line 6: the hex name \"ford\" names 2 hexes (2,1 3,2); its units go to the first\n"
              "line 8: no unit given\n"
              "line 9: no hex given\n"
              "line 10: not a line of a table (it holds control characters); passed over\n");
}

}  // namespace
}  // namespace qmx
