// The panel's commands in the core: the modes and their refusals, a
// one-by-one combat, numbered declarations with their limit and their
// resolution in order, RELEASE, and the free roll. Record bytes are written
// out by hand.

#include <gtest/gtest.h>

#include "core/combat/CombatSession.h"
#include "core/module/Clock.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/HelpPrompts.h"
#include "core/session/PlayerSession.h"
#include "core/settings/Settings.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

namespace qmx {
namespace {

Module testModule() {
    Module m = Module::createEmpty(6, 5, GridOrientation::RowsAligned, 10);
    m.moduleId = {7, 8, 9};
    for (int u = 1; u <= m.unitCount; ++u) {
        m.units[static_cast<std::size_t>(u)].name =
            std::string(1, static_cast<char>('A' + (u - 1) % 26));
        m.units[static_cast<std::size_t>(u)].stepImage = {1, 2, 0, 0, 0, 0};
    }
    return m;
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Combat : public ::testing::Test {
protected:
    void SetUp() override {
        file = std::make_unique<ReplayFile>((folder / "record.tmp").string());
        settings = std::make_unique<Settings>((folder / "QMX.ini").string());
        Preferences p = settings->preferences();
        p.commentBeforeDice = false;
        p.defineDiceBeforeRoll = false;
        settings->setPreferences(p);
        recorder = std::make_unique<ReplayRecorder>(*file, game, prompts);
        session = std::make_unique<PlayerSession>(
            module, game, *recorder, *file, prompts, *settings, random,
            SessionFiles{folder.slashed(), "Battle", folder.slashed()});
        combat = std::make_unique<CombatSession>(module, game, *recorder, prompts, *settings,
                                                 random, clock, *session);
        // A (1) and B (2) on 0202, C (3) on 0303, D (4) on 0404, E (5) on 0505.
        place(2, 2, {1, 2});
        place(3, 3, {3});
        place(4, 4, {4});
        place(5, 5, {5});
    }
    void place(int c, int r, const std::vector<int>& units) {
        std::vector<int> rest = game.stackAt(1, 1);
        for (int u : units) std::erase(rest, u);
        for (std::size_t k = 0; k < rest.size(); ++k)
            game.unit(rest[k]).stackLink =
                k + 1 < rest.size() ? static_cast<std::uint16_t>(rest[k + 1]) : 0;
        game.setStackHead(1, 1, rest.empty() ? 0 : static_cast<std::uint16_t>(rest.front()));
        for (std::size_t i = 0; i < units.size(); ++i) {
            UnitState& s = game.unit(units[i]);
            s.column = s.startColumn = static_cast<std::uint8_t>(c);
            s.row = s.startRow = static_cast<std::uint8_t>(r);
            s.stackLink = i + 1 < units.size() ? static_cast<std::uint16_t>(units[i + 1]) : 0;
        }
        game.setStackHead(c, r, static_cast<std::uint16_t>(units.front()));
    }
    Hex attackBox() const { return {kAttackBoxColumn, game.combatBoxRow()}; }
    Hex defendBox() const { return {kDefendBoxColumn, game.combatBoxRow()}; }
    // Carries the stack of `from` into `box` in combat mode.
    void carry(Hex from, Hex box) {
        ASSERT_TRUE(session->doubleClick(from).ran);
        ASSERT_TRUE(session->doubleClick(box).ran);
    }
    Bytes record() const { return file->read().value_or(Bytes{}); }
    const Module module = testModule();
    GameState game{module};
    const test::TempFolder folder{"qmx-combat"};
    std::unique_ptr<ReplayFile> file;
    std::unique_ptr<Settings> settings;
    ScriptedPrompts prompts;
    Random random;
    FixedClock clock{1700000000};
    std::unique_ptr<ReplayRecorder> recorder;
    std::unique_ptr<PlayerSession> session;
    std::unique_ptr<CombatSession> combat;
};

TEST_F(Combat, OneByOneCombatRecordsTheEntryTheTextAndTheRoll) {
    combat->combatModeCommand();
    EXPECT_EQ(game.gameMode, GameMode::Combat);
    EXPECT_EQ(prompts.prompts.size(), 1u);  // help prompt 2
    EXPECT_FALSE(session->states().enabled(Command::Save));
    EXPECT_EQ(session->states().state(Command::OneByOne), state::kPressed);
    EXPECT_EQ(combat->captions(), (ButtonCaptions{"RELEASE", "RESOLVE"}));
    carry({2, 2}, attackBox());
    carry({3, 3}, defendBox());
    // A map hex refuses the drop in combat mode.
    ASSERT_TRUE(session->doubleClick({4, 4}).ran);
    EXPECT_TRUE(session->doubleClick({5, 5}).ran);
    EXPECT_TRUE(prompts.showedMessage(msg::kReleaseInCombat));
    while (combat->releasePending()) combat->releaseOne();
    EXPECT_EQ(game.gameMode, GameMode::Combat);  // the boxes still hold units
    EXPECT_EQ(record(), Bytes{});

    prompts.resultAnswers.push_back({"Good.", false});
    const Change c = combat->combatStep();
    EXPECT_TRUE(c.ran);
    const std::string result = "A, B vs. C at 0303\r\n\r\nDie Roll: 5, 2\r\n";
    ASSERT_EQ(prompts.results.size(), 1u);
    EXPECT_EQ(prompts.results[0].first, result);
    EXPECT_FALSE(prompts.results[0].second);
    const Bytes expected = Bytes{255, 239, 0, 1, 0, 2, 0, 3, 255, 249} +
                           Bytes{255, 238, 2, 6, 255, 242} + text(result + "\r\n\r\nGood.") +
                           Bytes{255, 249};
    EXPECT_EQ(record(), expected);
    // Back in movement mode, every unit home, marked as in combat.
    EXPECT_EQ(game.gameMode, GameMode::Movement);
    EXPECT_EQ(combat->captions(), (ButtonCaptions{"UNDO", ""}));
    EXPECT_EQ(session->states().state(Command::OneByOne), state::kDisabled);
    EXPECT_EQ(session->states().state(Command::PreDeclare), state::kDisabled);
    EXPECT_TRUE(session->states().enabled(Command::Save));
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(game.stackAt(3, 3), (std::vector<int>{3}));
    EXPECT_EQ(game.stackAt(4, 4), (std::vector<int>{4}));
    EXPECT_TRUE(combat->boxesEmpty());
    EXPECT_TRUE(game.unit(3).has(UnitFlags::kInCombat));
    EXPECT_FALSE(game.unit(4).has(UnitFlags::kInCombat));
    for (int u = 1; u <= game.unitCount(); ++u)
        EXPECT_FALSE(game.unit(u).has(UnitFlags::kLinkSaved)) << u;
}

TEST_F(Combat, TwoDeclarationsAreResolvedOldestFirst) {
    game.combatMode = kPreDeclare;
    combat->combatModeCommand();
    carry({2, 2}, attackBox());
    carry({3, 3}, defendBox());
    combat->combatStep();
    EXPECT_EQ(game.pendingDeclarations, 1);
    EXPECT_EQ(game.gameMode, GameMode::Movement);
    EXPECT_EQ(prompts.results.back().first, "Combat Declaration:\r\nA, B vs. C at 0303\r\n");
    EXPECT_EQ(game.unit(1).declaration, 1);
    EXPECT_EQ(game.unit(3).declaration, -1);
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{1, 2}));

    combat->combatModeCommand();
    carry({4, 4}, attackBox());
    carry({5, 5}, defendBox());
    combat->combatStep();
    EXPECT_EQ(combat->pendingText(), "2 Cmbts pending");
    EXPECT_EQ(game.unit(4).declaration, 2);
    EXPECT_EQ(game.unit(5).declaration, -2);

    combat->combatModeCommand();
    EXPECT_TRUE(combat->setCombatMode(kResolveDeclared).ran);
    EXPECT_EQ(combat->captions(), (ButtonCaptions{"", "NEXT"}));
    // No pick-up while resolving.
    EXPECT_FALSE(session->doubleClick({2, 2}).ran);
    combat->combatStep();
    EXPECT_EQ(game.gameMode, GameMode::Combat);  // resolving stays in combat mode
    EXPECT_EQ(combat->resolvedHex(), (Hex{3, 3}));
    const std::string first =
        "Declared Combat Resolution:\r\nA, B vs. C at 0303\r\n\r\nDie Roll: 5, 2\r\n";
    EXPECT_EQ(prompts.results.back().first, first);
    EXPECT_EQ(game.unit(4).declaration, 1);
    EXPECT_EQ(combat->pendingText(), "1 Cmbt pending");
    combat->combatStep();
    EXPECT_EQ(game.pendingDeclarations, 0);
    EXPECT_EQ(combat->pendingText(), "");
    // A third NEXT with nothing pending changes nothing.
    const std::size_t shown = prompts.results.size();
    combat->combatStep();
    EXPECT_EQ(prompts.results.size(), shown);

    const std::string second =
        "Declared Combat Resolution:\r\nD vs. E at 0505\r\n\r\nDie Roll: 5, 2\r\n";
    auto resultBytes = [](const std::string& t) {
        return Bytes{255, 238, 2, 6, 255, 242} + text(t + "\r\n\r\n") + Bytes{255, 249};
    };
    const Bytes expected = Bytes{255, 239, 0, 1, 0, 2, 0, 3, 255, 249} +
                           resultBytes("Combat Declaration:\r\nA, B vs. C at 0303\r\n") +
                           Bytes{255, 239, 0, 4, 0, 5, 255, 249} +
                           resultBytes("Combat Declaration:\r\nD vs. E at 0505\r\n") +
                           Bytes{255, 239, 0, 1, 0, 2, 0, 3, 255, 249} + resultBytes(first) +
                           Bytes{255, 239, 0, 4, 0, 5, 255, 249} + resultBytes(second);
    EXPECT_EQ(record(), expected);
    EXPECT_TRUE(combat->moveModeCommand().ran);
    EXPECT_EQ(game.gameMode, GameMode::Movement);
}

TEST_F(Combat, The121stDeclarationIsRefused) {
    game.combatMode = kPreDeclare;
    game.pendingDeclarations = 120;
    combat->combatModeCommand();
    carry({2, 2}, attackBox());
    carry({3, 3}, defendBox());
    combat->combatStep();
    EXPECT_TRUE(prompts.showedMessage(msg::kTooManyDeclarations));
    EXPECT_EQ(game.pendingDeclarations, 120);
    EXPECT_EQ(record(), Bytes{});
    EXPECT_EQ(game.unit(1).declaration, 0);
    // The units went home all the same and the game is in movement mode.
    EXPECT_EQ(game.gameMode, GameMode::Movement);
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{1, 2}));
    EXPECT_TRUE(combat->boxesEmpty());
}

TEST_F(Combat, ModeChangesWaitForEmptyHandsAndBoxes) {
    combat->combatModeCommand();
    session->doubleClick({2, 2});
    EXPECT_FALSE(combat->setCombatMode(kPreDeclare).ran);
    EXPECT_FALSE(combat->moveModeCommand().ran);
    session->doubleClick(attackBox());
    EXPECT_FALSE(combat->setCombatMode(kPreDeclare).ran);
    EXPECT_FALSE(combat->moveModeCommand().ran);
    EXPECT_EQ(game.combatMode, kOneByOne);
    EXPECT_TRUE(prompts.messages.empty());
    // NEXT with only the ATTACK box filled fights nothing and returns to movement.
    combat->combatStep();
    EXPECT_TRUE(prompts.results.empty());
    EXPECT_EQ(game.gameMode, GameMode::Movement);
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{1, 2}));
    EXPECT_EQ(record(), Bytes{});
}

TEST_F(Combat, ReleaseReturnsUnitsOneByOneAndLeavesCombatWhenTheBoxesAreEmpty) {
    combat->combatModeCommand();
    carry({2, 2}, attackBox());
    session->doubleClick(attackBox());  // a double click on a box does not pick up
    EXPECT_FALSE(game.holdingUnits());
    // Pick the box's units up again by taking the stack home: the head's hex.
    session->doubleClick({2, 2});
    EXPECT_FALSE(game.holdingUnits());  // the hex is empty: nothing to pick up
    EXPECT_EQ(game.gameMode, GameMode::Combat);
    // RELEASE on carried units: from 0303 this time.
    session->doubleClick({3, 3});
    ASSERT_TRUE(combat->releasePending());
    EXPECT_EQ(combat->releaseTarget(), (Hex{3, 3}));
    combat->releaseOne();
    EXPECT_FALSE(combat->releasePending());
    EXPECT_EQ(game.gameMode, GameMode::Combat);  // A and B are still in the box
}

TEST_F(Combat, ADoubleClickOnABoxWithAFreshStackEntersCombat) {
    session->doubleClick({2, 2});
    const Change c = combat->boxDoubleClick(defendBox());
    EXPECT_TRUE(c.ran);
    EXPECT_EQ(game.gameMode, GameMode::Combat);
    EXPECT_EQ(game.stackAt(defendBox().column, defendBox().row), (std::vector<int>{1, 2}));
}

TEST_F(Combat, AStackAlreadyMovedStaysOutOfTheBoxes) {
    session->doubleClick({2, 2});
    session->click({3, 2});
    combat->boxDoubleClick(defendBox());
    EXPECT_EQ(game.gameMode, GameMode::Movement);
    EXPECT_TRUE(game.holdingUnits());
}

TEST_F(Combat, SuppressedRollsAndTheDialogsBeforeARoll) {
    Preferences p = settings->preferences();
    p.suppressCombatDieRolls = true;
    p.defineDiceBeforeRoll = true;
    p.commentBeforeDice = true;
    p.largeFontComments = true;
    settings->setPreferences(p);
    prompts.comments.push_back(CommentAnswer{"first", false});
    combat->combatModeCommand();
    carry({2, 2}, attackBox());
    carry({3, 3}, defendBox());
    combat->combatStep();
    EXPECT_TRUE(prompts.diceDialogs.empty());
    ASSERT_EQ(prompts.commentDialogs.size(), 1u);
    EXPECT_FALSE(prompts.commentDialogs[0].second);  // no Cancel before a roll
    EXPECT_EQ(prompts.results.back().first, "A, B vs. C at 0303\r\n");
    EXPECT_TRUE(prompts.results.back().second);  // the large font for combats
}

TEST_F(Combat, FreeRollsInOneSecondAgreeAndAreRefusedWhileCarrying) {
    prompts.diceAnswers.push_back({3, 6});
    Preferences p = settings->preferences();
    p.defineDiceBeforeRoll = true;
    settings->setPreferences(p);
    EXPECT_TRUE(combat->throwDice().ran);
    EXPECT_EQ(game.diceCount, 3);
    combat->throwDice();
    ASSERT_EQ(prompts.results.size(), 2u);
    EXPECT_EQ(prompts.results[0].first, prompts.results[1].first);
    // The clock's second seeds the rolls: the same second, the same numbers.
    EXPECT_EQ(prompts.results[0].first, "Die Roll: 5, 2, 2\r\n");
    EXPECT_FALSE(prompts.results[0].second);
    const Bytes r = record();
    ASSERT_GE(r.size(), 6u);
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 6), (Bytes{255, 238, 3, 6, 255, 242}));
    clock.set(1700000001);
    combat->throwDice();
    EXPECT_EQ(prompts.results[2].first, "Die Roll: 3, 4, 3\r\n");

    session->doubleClick({2, 2});
    EXPECT_FALSE(combat->throwDice().ran);
    EXPECT_TRUE(prompts.showedMessage(msg::kNotInCombatOrCarrying));
    EXPECT_EQ(prompts.results.size(), 3u);
}

TEST_F(Combat, WithoutTheDialogsBeforeARollThrowDiceGoesStraightToTheResult) {
    combat->throwDice();
    EXPECT_TRUE(prompts.commentDialogs.empty());
    EXPECT_TRUE(prompts.diceDialogs.empty());
    EXPECT_EQ(prompts.results.size(), 1u);
}

TEST_F(Combat, AnEncodedResultWithoutAPasswordStillRecordsTheRoll) {
    prompts.resultAnswers.push_back({"secret plan", true});
    combat->throwDice();
    const Bytes r = record();
    const std::string all(r.begin(), r.end());
    EXPECT_EQ(all.find("secret"), std::string::npos);
    EXPECT_NE(all.find("Die Roll: "), std::string::npos);
    prompts.resultAnswers.push_back({"secret plan", true});
    prompts.commentPasswords.push_back(std::string("pw"));
    combat->throwDice();
    const Bytes r2 = record();
    EXPECT_EQ(std::string(r2.begin(), r2.end()).find("secret"), std::string::npos);
    EXPECT_GT(r2.size(), r.size());
}

}  // namespace
}  // namespace qmx
