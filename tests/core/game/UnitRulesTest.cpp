// The game state after a module load and the rules that change units.

#include <gtest/gtest.h>

#include "core/game/GameState.h"
#include "core/game/UnitRules.h"
#include "core/module/MessageTable.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/ScriptedPrompts.h"

namespace qmx {
namespace {

// Unit u has pictures for the steps listed in its row below; others steps 0 and 1.
Module ruleModule() {
    return test::ModuleBuilder(3, 2, 33)
        .steps({1, 2, 0, 0, 0, 0})
        .steps(1, {1, 2, 3, 4, 5, 6})  // every step
        .steps(2, {1, 2, 3, 0, 0, 0})  // steps 0, 1, 2
        .steps(3, {1, 0, 3, 0, 5, 0})  // even steps only
        .steps(4, {0, 0, 0, 0, 0, 0})  // step 0 only
        .hexState(2, 1, 0x1234)
        .deck(2, 4)
        .build();
}

std::vector<int> steps(const GameState& s, std::initializer_list<int> units) {
    std::vector<int> out;
    for (int u : units) out.push_back(s.unit(u).step);
    return out;
}

TEST(GameStateModel, AfterModuleLoadEveryUnitStandsOnHexOneOne) {
    const Module m = ruleModule();
    const GameState s(m);
    EXPECT_EQ(s.unitCount(), 33);
    EXPECT_EQ(s.stackHead(1, 1), 1);
    const std::vector<int> stack = s.stackAt(1, 1);
    ASSERT_EQ(stack.size(), 33u);
    for (int i = 0; i < 33; ++i) EXPECT_EQ(stack[static_cast<std::size_t>(i)], i + 1);
    EXPECT_EQ(s.unit(33).stackLink, 0);
    EXPECT_EQ(s.unit(32).startStackLink, 33);
    EXPECT_EQ(s.unit(7).hidden, 0xFF);
    EXPECT_EQ(s.unit(7).hiddenBy(), kNotHidden);
    EXPECT_EQ(s.unit(7).startColumn, 1);
    EXPECT_EQ(s.unit(0).stackLink, 1);
    EXPECT_EQ(s.hex(2, 1).state, 0x34);
    EXPECT_EQ(s.deckSize(2), 4);
    EXPECT_EQ(s.cardPlace(2, 4), kInDeck);
    EXPECT_EQ(s.deckSize(1), 0);
    EXPECT_EQ(s.currentSlot, kObserver);
    EXPECT_EQ(s.identifyProgress, 0);
    EXPECT_EQ(s.gameMode, GameMode::Movement);
    // The combat boxes exist in the table, column 0 included.
    EXPECT_TRUE(s.hasHex(kAttackBoxColumn, s.combatBoxRow()));
    EXPECT_TRUE(s.isCombatBox(kAttackBoxColumn, 3));
    EXPECT_TRUE(s.isCombatBox(kDefendBoxColumn, 3));
    EXPECT_FALSE(s.isMapHex(1, 3));
    EXPECT_EQ(s.stackHead(kAttackBoxColumn, s.combatBoxRow()), 0);
    EXPECT_EQ(s.stackHead(99, 99), 0);
}

TEST(GameStateModel, ChainStopsAtALoop) {
    GameState s(ruleModule());
    s.unit(33).stackLink = 1;
    EXPECT_EQ(s.chain(1).size(), 33u);
    EXPECT_TRUE(s.chain(0).empty());
    EXPECT_TRUE(s.chain(40).empty());
}

TEST(UnitRules, StepDecreaseGoesToTheNextStepThatExists) {
    const Module m = ruleModule();
    GameState s(m);
    s.unit(1).step = 5;
    s.unit(2).step = 2;
    s.unit(3).step = 0;
    const std::vector<int> units{1, 2, 3, 4, 5};
    stepDown(s, m, units);
    // 1 stays at 5; 2 has no step 3; 3 has no step 1; 4 has step 0 only; 5 goes to 1.
    EXPECT_EQ(steps(s, {1, 2, 3, 4, 5}), (std::vector<int>{5, 2, 0, 0, 1}));
}

TEST(UnitRules, StepIncreaseGoesDownToZero) {
    GameState s(ruleModule());
    s.unit(1).step = 3;
    const std::vector<int> units{1, 2};
    stepUp(s, units);
    EXPECT_EQ(steps(s, {1, 2}), (std::vector<int>{2, 0}));
}

TEST(UnitRules, SetStepTakesTheHighestExistingStepNotAbove) {
    const Module m = ruleModule();
    GameState s(m);
    const std::vector<int> units{1, 2, 3, 4};
    setStep(s, m, units, 3);  // key 4
    EXPECT_EQ(steps(s, {1, 2, 3, 4}), (std::vector<int>{3, 2, 2, 0}));
    setStep(s, m, units, 5);  // key 6
    EXPECT_EQ(steps(s, {1, 2, 3, 4}), (std::vector<int>{5, 2, 4, 0}));
    setStep(s, m, units, 0);  // key 1
    EXPECT_EQ(steps(s, {1, 2, 3, 4}), (std::vector<int>{0, 0, 0, 0}));
}

TEST(UnitRules, SetStepSearchesNoLowerThanStepOne) {
    Module m = ruleModule();
    m.units[5].stepImage = {1, 0, 0, 0, 5, 0};  // steps 0 and 4
    GameState s(m);
    const std::vector<int> unit{5};
    setStep(s, m, unit, 4);  // key 5
    EXPECT_EQ(s.unit(5).step, 4);
    for (int step : {1, 2, 3}) {  // keys 2 to 4: no image at 1..3, so it stays
        setStep(s, m, unit, step);
        EXPECT_EQ(s.unit(5).step, 4) << "key " << step + 1;
    }
    setStep(s, m, unit, 5);  // key 6: step 5 has none, 4 is the highest lower
    EXPECT_EQ(s.unit(5).step, 4);
    setStep(s, m, unit, 0);  // key 1 always sets step 0
    EXPECT_EQ(s.unit(5).step, 0);
    setStep(s, m, unit, 2);  // from step 0 with no image at 1..2: stays 0
    EXPECT_EQ(s.unit(5).step, 0);
}

TEST(UnitRules, FaceUpAndFaceDown) {
    const Module m = ruleModule();
    GameState s(m);
    s.unit(1).step = 4;
    s.unit(2).step = 2;
    s.unit(3).step = 2;
    const std::vector<int> units{1, 2, 3, 5};
    faceDown(s, m, units);
    // Unit 2 has no step 3 and unit 3 no odd steps: they stay face up.
    EXPECT_EQ(steps(s, {1, 2, 3, 5}), (std::vector<int>{5, 2, 2, 1}));
    faceUp(s, units);
    EXPECT_EQ(steps(s, {1, 2, 3, 5}), (std::vector<int>{4, 2, 2, 0}));
}

TEST(UnitRules, FacingIndicator) {
    GameState s(ruleModule());
    const std::vector<int> one{1};
    rotateRight(s, one);  // not shown: no change
    EXPECT_EQ(s.unit(1).facing, 0);
    facingOn(s, one);
    EXPECT_EQ(s.unit(1).facing, Facing::kShown | 1);
    rotateLeft(s, one);
    EXPECT_EQ(s.unit(1).direction(), 32);
    rotateRight(s, one);
    rotateRight(s, one);
    EXPECT_EQ(s.unit(1).direction(), 2);
    faceCorner(s, one);
    EXPECT_EQ(s.unit(1).facing, Facing::kShown | Facing::kCorner | 2);
    facingOff(s, one);
    faceSide(s, one);
    EXPECT_EQ(s.unit(1).facing, 2);
    facingOn(s, one);  // keeps its direction
    EXPECT_EQ(s.unit(1).facing, Facing::kShown | 2);
    for (int i = 0; i < 6; ++i) rotateRight(s, one);
    EXPECT_EQ(s.unit(1).direction(), 2);
    s.unit(2).facing = Facing::kShown;  // shown without direction
    const std::vector<int> two{2};
    rotateLeft(s, two);
    EXPECT_EQ(s.unit(2).direction(), 1);
}

TEST(UnitRules, ReplayedHiding) {
    GameState s(ruleModule());
    s.unit(1).set(UnitFlags::kIdHidden);
    s.unit(1).setHiddenBy(3);
    const std::vector<int> units{1, 2};
    applyHide(s, units, 2);
    EXPECT_EQ(s.unit(1).hiddenBy(), 2);
    EXPECT_FALSE(s.unit(1).has(UnitFlags::kIdHidden));
    EXPECT_EQ(s.unit(2).hidden, 0xF2);
    applyHideId(s, units, 4);
    EXPECT_TRUE(s.unit(2).has(UnitFlags::kIdHidden));
    EXPECT_EQ(s.unit(2).hiddenBy(), 4);
    applyUnhide(s, units);
    EXPECT_EQ(s.unit(2).hidden, 0xFF);
    EXPECT_FALSE(s.unit(2).has(UnitFlags::kIdHidden));
}

TEST(UnitRules, FlipAllIsRefusedWhileHoldingOrInCombat) {
    const Module m = ruleModule();
    GameState s(m);
    ScriptedPrompts prompts;
    s.carriedStack = 5;
    EXPECT_FALSE(flipAllUnitsFaceDown(s, m, prompts));
    s.carriedStack = 0;
    s.gameMode = GameMode::Combat;
    EXPECT_FALSE(flipAllUnitsFaceUp(s, prompts));
    EXPECT_EQ(prompts.messages, (std::vector<int>{msg::kNotAvailableNow, msg::kNotAvailableNow}));
    EXPECT_EQ(s.unit(5).step, 0);
    s.gameMode = GameMode::Movement;
    EXPECT_TRUE(flipAllUnitsFaceDown(s, m, prompts));
    EXPECT_EQ(steps(s, {1, 3, 4, 5, 33}), (std::vector<int>{1, 0, 0, 1, 1}));
    EXPECT_TRUE(flipAllUnitsFaceUp(s, prompts));
    EXPECT_EQ(steps(s, {1, 5, 33}), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST(UnitRules, ClearFlagsTouchOnlyTheirBit) {
    GameState s(ruleModule());
    for (int u = 1; u <= 33; ++u) s.unit(u).flags = 0xFF;
    clearMovementFlags(s);
    EXPECT_EQ(s.unit(7).flags, 0xFF & ~UnitFlags::kMoved);
    clearCombatFlags(s);
    EXPECT_EQ(s.unit(33).flags, 0xFF & ~(UnitFlags::kMoved | UnitFlags::kInCombat));
}

TEST(UnitRules, CommitStartPositions) {
    GameState s(ruleModule());
    UnitState& u = s.unit(4);
    u.column = 3;
    u.row = 2;
    u.stackLink = 9;
    u.facing = 0x84;
    u.step = 1;
    u.hidden = 0xF2;
    u.set(UnitFlags::kIdHidden);
    s.unit(5).set(UnitFlags::kStartIdHidden);  // revealed since the last commit
    commitStartPositions(s);
    EXPECT_EQ(u.startColumn, 3);
    EXPECT_EQ(u.startRow, 2);
    EXPECT_EQ(u.startStackLink, 9);
    EXPECT_EQ(u.startFacing, 0x84);
    EXPECT_EQ(u.startStep, 1);
    EXPECT_EQ(u.hidden, 0x22);
    EXPECT_TRUE(u.has(UnitFlags::kStartIdHidden));
    EXPECT_FALSE(s.unit(5).has(UnitFlags::kStartIdHidden));
}

}  // namespace
}  // namespace qmx
