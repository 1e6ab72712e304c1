#include <gtest/gtest.h>

#include "core/game/GameState.h"
#include "core/session/CommandStates.h"

using namespace qmx;

namespace {

constexpr std::uint8_t E = state::kEnabled;
constexpr std::uint8_t P = state::kPressed;
constexpr std::uint8_t H = state::kHidden;
constexpr std::uint8_t D = state::kDisabled;

// The 21 bytes in toolbar order: Load, Save, Reset Recorder, Throw Dice, Comment,
// 1 by 1, Pre-declare, Resolve Declared, Step Increase, Step decrease, Rotate Left,
// Rotate Right, Hide Units, Hide Unit ID, Unhide Units, Deal Card, View Cards,
// Pause Replay, Step Replay, Continuous Replay, Stop Replay.
using Bytes21 = std::array<std::uint8_t, kCommandCount>;

CommandContext identified(int gameMode = 1, int combatMode = 2) {
    return {30, 0, gameMode, combatMode};
}
CommandContext observer(int gameMode = 1) {
    return {30, 31, gameMode, 2};
}

}  // namespace

TEST(CommandStates, NewWindowGreysCombatStepRotateHideAndCards) {
    const CommandStates s;
    const Bytes21 expected{E, E, E, E, E, D, D, D, D, D, D, D, D, D, D, D, D, E, E, E, E};
    EXPECT_EQ(s.bytes(), expected);
    EXPECT_FALSE(s.showTerrainPressed());
    EXPECT_FALSE(s.combatModePressed());
    EXPECT_TRUE(s.enabled(Command::Load));
    EXPECT_FALSE(s.enabled(Command::DealCard));
}

TEST(CommandStates, PickUpGreysFileAndReplayAndOpensStepRotate) {
    CommandStates s;
    EXPECT_TRUE(s.apply(14, observer()));
    // observer: hide commands stay as they were
    EXPECT_EQ(s.bytes(), (Bytes21{D, D, D, D, D, D, D, D, E, E, E, E, D, D, D, D, D, D, D, D, D}));
    EXPECT_FALSE(s.enabled(Command::Save));
    EXPECT_FALSE(s.enabled(Command::Load));
    EXPECT_FALSE(s.enabled(Command::StepReplay));

    CommandStates t;
    t.apply(14, identified());
    EXPECT_EQ(t.state(Command::HideUnits), E);
    EXPECT_EQ(t.state(Command::HideUnitId), E);
    EXPECT_EQ(t.state(Command::UnhideUnits), E);

    // not every slot initialized yet
    CommandStates u;
    u.apply(14, CommandContext{4, 0, 1, 2});
    EXPECT_EQ(u.state(Command::HideUnits), D);

    // a stack picked up in combat mode is never offered hiding
    CommandStates c;
    c.apply(14, identified(2));
    EXPECT_EQ(c.state(Command::HideUnits), D);
}

TEST(CommandStates, PickUpKeepsHiddenCardsHidden) {
    CommandStates s;
    s.apply(17, observer());
    s.apply(14, observer());
    EXPECT_EQ(s.state(Command::DealCard), H);
    EXPECT_EQ(s.state(Command::ViewCards), H);

    CommandStates t;
    t.apply(15, observer());
    t.apply(14, observer());
    EXPECT_EQ(t.state(Command::DealCard), D);
}

TEST(CommandStates, PutDownInMovementModeReopensEverythingButStepRotate) {
    CommandStates s;
    s.apply(15, identified());
    s.apply(14, identified());
    s.apply(22, identified());
    EXPECT_EQ(s.bytes(), (Bytes21{E, E, E, E, E, D, D, D, D, D, D, D, D, D, D, E, E, E, E, E, E}));
}

TEST(CommandStates, PutDownInCombatModePressesTheCurrentCombatMode) {
    for (int combatMode : {2, 3, 4}) {
        CommandStates s;
        s.apply(14, identified(2, combatMode));
        s.apply(22, identified(2, combatMode));
        Bytes21 expected{E, D, D, E, E, E, E, E, D, D, D, D, D, D, D, D, D, D, D, D, D};
        expected[static_cast<std::size_t>(Command::OneByOne) + (combatMode - 2)] = P;
        EXPECT_EQ(s.bytes(), expected) << "combat mode " << combatMode;
        EXPECT_TRUE(s.enabled(Command::OneByOne));  // pressed counts as enabled
        EXPECT_FALSE(s.enabled(Command::Save));
    }
}

TEST(CommandStates, PutDownLeavesHiddenCommandsHidden) {
    CommandStates s;
    s.apply(17, identified());
    s.apply(34, identified());
    s.apply(14, identified());
    s.apply(22, identified());
    for (Command c : {Command::DealCard, Command::ViewCards, Command::HideUnits,
                      Command::HideUnitId, Command::UnhideUnits}) {
        EXPECT_EQ(s.state(c), H);
    }
}

TEST(CommandStates, CardCodes) {
    CommandStates s;
    s.apply(15, observer());
    EXPECT_EQ(s.state(Command::DealCard), E);
    EXPECT_EQ(s.state(Command::ViewCards), E);
    s.apply(16, observer());
    EXPECT_EQ(s.state(Command::DealCard), D);
    EXPECT_EQ(s.state(Command::ViewCards), D);
    s.apply(17, observer());
    EXPECT_EQ(s.state(Command::DealCard), H);
    EXPECT_EQ(s.state(Command::ViewCards), H);
    s.apply(15, observer());
    EXPECT_EQ(s.state(Command::ViewCards), E);
}

TEST(CommandStates, HidingCodes) {
    CommandStates s;
    s.apply(33, observer());
    EXPECT_EQ(s.state(Command::HideUnits), D);  // an observer may not hide
    s.apply(33, CommandContext{2, 0, 1, 2});
    EXPECT_EQ(s.state(Command::HideUnits), D);  // players still to be initialized
    s.apply(33, identified());
    EXPECT_EQ(s.state(Command::HideUnits), E);
    EXPECT_EQ(s.state(Command::HideUnitId), E);
    EXPECT_EQ(s.state(Command::UnhideUnits), E);
    s.apply(35, identified());
    EXPECT_EQ(s.state(Command::UnhideUnits), D);
    s.apply(34, identified());
    EXPECT_EQ(s.state(Command::HideUnitId), H);
    // every other byte is untouched by the hiding codes
    const CommandStates fresh;
    for (int i = 0; i < kCommandCount; ++i) {
        if (i >= static_cast<int>(Command::HideUnits) &&
            i <= static_cast<int>(Command::UnhideUnits)) {
            continue;
        }
        EXPECT_EQ(s.bytes()[static_cast<std::size_t>(i)],
                  fresh.bytes()[static_cast<std::size_t>(i)]);
    }
}

TEST(CommandStates, ButtonCodesAndRefresh) {
    CommandStates s;
    const auto before = s.bytes();
    EXPECT_TRUE(s.apply(9, observer()));
    EXPECT_TRUE(s.showTerrainPressed());
    EXPECT_TRUE(s.apply(10, observer()));
    EXPECT_FALSE(s.showTerrainPressed());
    EXPECT_TRUE(s.apply(37, observer()));
    EXPECT_TRUE(s.combatModePressed());
    EXPECT_TRUE(s.apply(36, observer()));
    EXPECT_FALSE(s.combatModePressed());
    EXPECT_TRUE(s.apply(30, observer()));  // refresh: push only
    EXPECT_EQ(s.bytes(), before);
    // caption, zoom and the other windows' codes leave the states alone
    for (int code : {21, 40, 1, 2, 3, 20, 23, 25, 26, 31, 32, 38, 39}) {
        EXPECT_FALSE(s.apply(code, identified())) << code;
        EXPECT_EQ(s.bytes(), before) << code;
    }
}

TEST(CommandStates, PanelModeStates) {
    CommandStates s;
    s.setForMode(2, 3);
    EXPECT_EQ(s.state(Command::OneByOne), E);
    EXPECT_EQ(s.state(Command::PreDeclare), P);
    EXPECT_EQ(s.state(Command::ResolveDeclared), E);
    EXPECT_EQ(s.state(Command::Save), D);
    s.setForMode(1, 3);
    EXPECT_EQ(s.state(Command::OneByOne), D);
    EXPECT_EQ(s.state(Command::PreDeclare), D);
    EXPECT_EQ(s.state(Command::ResolveDeclared), D);
    EXPECT_EQ(s.state(Command::Save), E);
}

TEST(CommandStates, ContextComesFromTheGameState) {
    GameState game;
    game.identifyProgress = kPlayersComplete;
    game.currentSlot = 1;
    game.gameMode = GameMode::Combat;
    game.combatMode = 4;
    const CommandContext c = commandContext(game);
    EXPECT_EQ(c.identifyProgress, 30);
    EXPECT_EQ(c.currentSlot, 1);
    EXPECT_EQ(c.gameMode, 2);
    EXPECT_EQ(c.combatMode, 4);
}
