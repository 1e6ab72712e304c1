// The rules of combat on the game state: totals of a stack for the viewer
// and the game master, the texts, the slots of the panel, keeping and
// restoring the stacks around combat mode.

#include <gtest/gtest.h>

#include "core/combat/CombatRules.h"
#include "core/combat/StackListing.h"

namespace qmx {
namespace {

Module module3() {
    Module m = Module::createEmpty(6, 5, GridOrientation::RowsAligned, 12);
    for (int u = 1; u <= m.unitCount; ++u) {
        auto& d = m.units[static_cast<std::size_t>(u)];
        d.name = "Unit " + std::to_string(u) + "   ";
        d.stepImage = {1, 2, 0, 0, 0, 0};
    }
    return m;
}

// Puts `units` on `hex` as one stack, first on top, taking them off (1, 1).
void stack(GameState& g, int column, int row, const std::vector<int>& units) {
    std::vector<int> rest = g.stackAt(1, 1);
    for (int u : units) std::erase(rest, u);
    for (std::size_t k = 0; k < rest.size(); ++k)
        g.unit(rest[k]).stackLink =
            k + 1 < rest.size() ? static_cast<std::uint16_t>(rest[k + 1]) : 0;
    g.setStackHead(1, 1, rest.empty() ? 0 : static_cast<std::uint16_t>(rest.front()));
    for (std::size_t i = 0; i < units.size(); ++i) {
        UnitState& s = g.unit(units[i]);
        s.column = static_cast<std::uint8_t>(column);
        s.row = static_cast<std::uint8_t>(row);
        s.stackLink = i + 1 < units.size() ? static_cast<std::uint16_t>(units[i + 1]) : 0;
    }
    g.setStackHead(column, row, static_cast<std::uint16_t>(units.front()));
}

class Rules : public ::testing::Test {
protected:
    void SetUp() override {
        const std::uint8_t values[3] = {3, 5, 2};
        for (int u = 1; u <= 3; ++u) {
            for (int v = 0; v < kValueCount; ++v)
                module.units[static_cast<std::size_t>(u)].values[0][static_cast<std::size_t>(v)] =
                    values[u - 1];
        }
        game.players[1].kind = SlotKind::Player;
        game.players[2].kind = SlotKind::Player;
        game.players[3].kind = SlotKind::GameMaster;
        game.currentSlot = 1;
        stack(game, 2, 2, {1, 2, 3});
    }
    Module module = module3();
    GameState game{module};
};

TEST_F(Rules, EachTotalModeCombinesTheValuesItsWay) {
    module.setTotalMode(0, TotalMode::Lowest);
    module.setTotalMode(1, TotalMode::Highest);
    module.setTotalMode(2, TotalMode::Total);
    module.setTotalMode(3, TotalMode::NotComputed);
    const StackTotals t = stackTotals(game, module, game.stackHead(2, 2));
    EXPECT_EQ(t.totals[0], 2);
    EXPECT_EQ(t.totals[1], 5);
    EXPECT_EQ(t.totals[2], 10);
    EXPECT_EQ(t.totals[3], 0);
    EXPECT_EQ(t.count, 3);
    // The value of the unit's current step counts.
    game.unit(1).step = 1;
    module.units[1].values[1][2] = 40;
    EXPECT_EQ(stackTotals(game, module, game.stackHead(2, 2)).totals[2], 47);
    // Values are signed, as the editor stores them: -3 is no 253.
    module.units[1].values[1][0] = static_cast<std::uint8_t>(-3);
    module.units[1].values[1][2] = static_cast<std::uint8_t>(-3);
    const StackTotals negative = stackTotals(game, module, game.stackHead(2, 2));
    EXPECT_EQ(negative.totals[0], -3);
    EXPECT_EQ(negative.totals[2], 4);
}

TEST_F(Rules, HiddenUnitsCountForTheViewerAsTheyAreShown) {
    module.setTotalMode(0, TotalMode::Total);
    // The middle unit's identity is hidden by player 2: counted, not totalled.
    game.unit(2).setHiddenBy(2);
    game.unit(2).set(UnitFlags::kIdHidden);
    StackTotals t = stackTotals(game, module, game.stackHead(2, 2));
    EXPECT_EQ(t.totals[0], 5);
    EXPECT_EQ(t.count, 3);
    game.currentSlot = 3;  // the game master totals everything
    t = stackTotals(game, module, game.stackHead(2, 2));
    EXPECT_EQ(t.totals[0], 10);
    EXPECT_EQ(t.count, 3);
    // Every unit wholly hidden from the viewer: nothing at all.
    game.currentSlot = 1;
    for (int u = 1; u <= 3; ++u) {
        game.unit(u).setHiddenBy(2);
        game.unit(u).clear(UnitFlags::kIdHidden);
    }
    t = stackTotals(game, module, game.stackHead(2, 2));
    EXPECT_EQ(t.totals[0], 0);
    EXPECT_EQ(unitCountText(t.count), "0 units");
    // A concealed first unit counts before the first one seen.
    game.unit(1).set(UnitFlags::kIdHidden);
    game.unit(3).setHiddenBy(kNotHidden);
    t = stackTotals(game, module, game.stackHead(2, 2));
    EXPECT_EQ(t.totals[0], 2);
    EXPECT_EQ(t.count, 2);
    // A wholly hidden unit between two seen ones is neither totalled nor counted.
    game.unit(1).setHiddenBy(kNotHidden);
    game.unit(1).clear(UnitFlags::kIdHidden);
    t = stackTotals(game, module, game.stackHead(2, 2));
    EXPECT_EQ(t.totals[0], 5);
    EXPECT_EQ(t.count, 2);
}

TEST(RulesTexts, CountsAndPendingLabels) {
    EXPECT_EQ(unitCountText(0), "0 units");
    EXPECT_EQ(unitCountText(1), "1 unit");
    EXPECT_EQ(unitCountText(7), "7 units");
    EXPECT_EQ(pendingLabel(0), "");
    EXPECT_EQ(pendingLabel(1), "1 Cmbt pending");
    EXPECT_EQ(pendingLabel(3), "3 Cmbts pending");
    EXPECT_EQ(buttonCaptions(GameMode::Movement, kPreDeclare), (ButtonCaptions{"UNDO", ""}));
    EXPECT_EQ(buttonCaptions(GameMode::Combat, kOneByOne), (ButtonCaptions{"RELEASE", "RESOLVE"}));
    EXPECT_EQ(buttonCaptions(GameMode::Combat, kPreDeclare), (ButtonCaptions{"RELEASE", "NEXT"}));
    EXPECT_EQ(buttonCaptions(GameMode::Combat, kResolveDeclared), (ButtonCaptions{"", "NEXT"}));
}

TEST_F(Rules, ABoxCombatNamesBothBoxesMarksAndEmptiesThem) {
    stack(game, 4, 3, {5});
    prepareStacks(game);
    const int box = game.combatBoxRow();
    // Units 1 and 2 attack from 0202, unit 5 defends in 0403.
    stack(game, kAttackBoxColumn, box, {1, 2});
    game.unit(1).column = game.unit(2).column = 2;
    game.unit(1).row = game.unit(2).row = 2;
    game.setStackHead(2, 2, 3);
    game.unit(3).stackLink = 0;
    stack(game, kDefendBoxColumn, box, {5});
    game.unit(5).column = 4;
    game.unit(5).row = 3;
    game.setStackHead(4, 3, 0);
    game.unit(5).setHiddenBy(2);
    game.unit(5).set(UnitFlags::kIdHidden);
    EXPECT_EQ(boxCombatText(game, module, false), "Unit 1, Unit 2 vs. ???????? at 0403");
    EXPECT_TRUE(game.unit(5).has(UnitFlags::kInCombat));
    EXPECT_FALSE(game.unit(3).has(UnitFlags::kInCombat));
    EXPECT_EQ(game.stackHead(kAttackBoxColumn, box), 0);
    EXPECT_EQ(game.stackHead(kDefendBoxColumn, box), 0);
    restoreStacks(game);
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(game.stackAt(4, 3), (std::vector<int>{5}));
    EXPECT_FALSE(game.unit(1).has(UnitFlags::kLinkSaved));
    // The text goes into the record: concealed for the game master and the
    // hider too, and a wholly hidden unit is left out, with its hex.
    game.currentSlot = 2;
    EXPECT_EQ(combatName(game, module, 5), "????????");
    stack(game, kAttackBoxColumn, box, {1});
    stack(game, kDefendBoxColumn, box, {6});
    game.unit(6).setHiddenBy(2);
    EXPECT_EQ(boxCombatText(game, module, false), "Unit 1 vs. ");
    EXPECT_TRUE(game.unit(6).has(UnitFlags::kInCombat));
}

TEST_F(Rules, ResolvingTheOldestMovesEveryLaterDeclarationForward) {
    stack(game, 3, 3, {4});
    stack(game, 5, 4, {6});
    game.pendingDeclarations = 3;
    game.unit(1).declaration = 1;
    game.unit(4).declaration = -1;
    game.unit(2).declaration = 2;
    game.unit(6).declaration = -2;
    game.unit(3).declaration = 3;
    game.unit(5).declaration = -3;
    const auto hex = markResolvedUnits(game);
    EXPECT_EQ(hex, (std::pair<int, int>{3, 3}));
    EXPECT_TRUE(game.unit(1).has(UnitFlags::kVisitMark));
    EXPECT_FALSE(game.unit(2).has(UnitFlags::kVisitMark));
    EXPECT_EQ(resolveOldestText(game, module),
              "Declared Combat Resolution:\r\nUnit 1 vs. Unit 4 at 0303");
    EXPECT_EQ(game.pendingDeclarations, 2);
    EXPECT_EQ(pendingLabel(game.pendingDeclarations), "2 Cmbts pending");
    EXPECT_EQ(game.unit(1).declaration, 0);
    EXPECT_EQ(game.unit(2).declaration, 1);
    EXPECT_EQ(game.unit(6).declaration, -1);
    EXPECT_EQ(game.unit(5).declaration, -2);
    // Nobody left in declaration 1: the heading, " vs. " and no place.
    for (int u = 1; u <= 12; ++u) game.unit(u).declaration = 0;
    game.pendingDeclarations = 1;
    EXPECT_EQ(resolveOldestText(game, module), "Declared Combat Resolution:\r\n vs. ");
    EXPECT_EQ(game.pendingDeclarations, 0);
}

TEST_F(Rules, RestoringTheStacksSurvivesDamagedKeptLinks) {
    prepareStacks(game);
    // A loop of kept links and a link to a unit off the map.
    game.unit(3).savedLink = 1;
    game.unit(7).savedLink = 60000;
    restoreStacks(game);
    std::vector<int> all;
    for (int c = 1; c <= 6; ++c)
        for (int r = 1; r <= 5; ++r)
            for (int u : game.stackAt(c, r)) all.push_back(u);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all.size(), static_cast<std::size_t>(game.unitCount()));
    EXPECT_EQ(std::unique(all.begin(), all.end()), all.end());
}

TEST_F(Rules, SlotsListNineUnitsOneHiddenOverTwoPositions) {
    stack(game, 3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    game.unit(4).setHiddenBy(2);  // wholly hidden from player 1
    game.unit(2).setHiddenBy(1);  // hidden by the viewer: listed as "H"
    game.unit(6).set(UnitFlags::kMoved);
    game.unit(7).set(UnitFlags::kInCombat);
    game.unit(8).set(UnitFlags::kInCombat);
    game.unit(8).declaration = -1;
    StackListing l = listStack(game, module, game.stackHead(3, 4), 1);
    std::vector<int> shown;
    for (const SlotEntry& e : l.units) shown.push_back(e.unit);
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 5, 6, 7}));
    EXPECT_EQ(l.units[1].status, "H");
    EXPECT_EQ(l.units[4].movement, "M");
    EXPECT_EQ(l.units[5].status, "C");
    EXPECT_FALSE(l.atEnd);
    const SlotScroll down = scrollSlots(1, -1, l.atEnd);
    EXPECT_EQ(down.position, 2);
    EXPECT_EQ(down.beepHz, 0);
    l = listStack(game, module, game.stackHead(3, 4), 3);
    shown.clear();
    for (const SlotEntry& e : l.units) shown.push_back(e.unit);
    EXPECT_EQ(shown, (std::vector<int>{3, 5, 6, 7, 8, 9}));
    EXPECT_EQ(l.units[4].status, "D");
    EXPECT_EQ(l.before, 2);
    EXPECT_TRUE(l.atEnd);
    EXPECT_EQ(scrollSlots(3, -1, l.atEnd), (SlotScroll{3, 21760}));
    EXPECT_EQ(scrollSlots(1, 1, false), (SlotScroll{1, 5500}));
    // Another player's concealed identity: "????????", step 0's picture, "h".
    game.unit(1).setHiddenBy(2);
    game.unit(1).set(UnitFlags::kIdHidden);
    l = listStack(game, module, game.stackHead(3, 4), 1);
    EXPECT_EQ(l.units[0].name, "????????");
    EXPECT_TRUE(l.units[0].concealed);
    EXPECT_EQ(l.units[0].status, "h");
}

}  // namespace
}  // namespace qmx
