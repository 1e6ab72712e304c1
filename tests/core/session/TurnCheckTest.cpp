// The turn check over games played through the session: an honest reply
// passes with and without Reset Recorder and through a text save; a change
// made outside the record is found and named, and one to a unit hidden from
// the viewer is found without naming it; random turns with one random edit
// of the saved bytes agree with a comparison of the loaded games.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "core/game/EncodedSave.h"
#include "core/game/PasswordKeyTable.h"
#include "core/game/SavedGame.h"
#include "core/game/UnitRules.h"
#include "core/module/FileIo.h"
#include "core/replay/ResetRecorder.h"
#include "core/replay/TurnCheck.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/SessionMachine.h"
#include "tests/support/TempFolder.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;
using test::ModuleBuilder;

constexpr std::uint8_t kBlue = 0;
constexpr std::uint8_t kRed = 1;

// A loaded saved game.
struct Loaded {
    GameState state;
    Bytes record;
    bool ok = false;
    CheckedGame checked() const { return {state, record}; }
};

class TurnCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        blue = std::make_unique<Machine>(module, m_folder.path());
        red = std::make_unique<Machine>(module, m_folder.path());
        twoPlayersInStacksOfTwo(blue->game);
        blue->game.currentSlot = kBlue;
    }
    void TearDown() override {
        blue.reset();
        red.reset();
    }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    // Save Game to `name`: the bytes of the file.
    Bytes save(Machine& m, const std::string& name) {
        fs::remove(path(name));
        m.prompts.files.push_back(path(name));
        m.session.saveGame();
        return readWholeFile(path(name), kMaxSaveFileSize).value_or(Bytes{});
    }
    // Load Game as the player of `slot`.
    void load(Machine& m, const std::string& name, int slot) {
        m.prompts.identities.push_back(IdentityAnswer{slot, slot == kBlue ? "blue" : "red"});
        m.session.loadGameFile(path(name));
        ASSERT_EQ(m.game.currentSlot, slot);
    }
    Loaded read(std::span<const std::uint8_t> bytes) {
        Loaded l;
        l.state.resetForModule(module);
        ScriptedPrompts quiet;
        const SavedGameLoad load = readSavedGame(bytes, module, l.state, quiet);
        l.ok = load.ok;
        l.record = load.replay;
        return l;
    }
    TurnCheck check(std::span<const std::uint8_t> sent, std::span<const std::uint8_t> reply,
                    std::uint8_t viewer = kBlue) {
        const Loaded a = read(sent), b = read(reply);
        EXPECT_TRUE(a.ok && b.ok);
        return checkTurn(module, a.checked(), b.checked(), viewer);
    }
    void move(Machine& m, Hex from, Hex to) {
        m.session.click(from);
        m.session.doubleClick(from);
        m.session.click(to);
        m.session.doubleClick(to);
    }
    void resetRecorder(Machine& m) {
        m.prompts.yesNo.push_back(true);
        ASSERT_EQ(qmx::resetRecorder(m.game, m.file, m.prompts, false), ResetOutcome::Reset);
    }
    // Blue's opening move, saved as sent.qms; Red loads it.
    Bytes blueOpens() {
        move(*blue, {1, 1}, {2, 3});
        blue->session.unitCommand(UnitCommand::StepDecrease);
        const Bytes sent = save(*blue, "sent.qms");
        load(*red, "sent.qms", kRed);
        return sent;
    }

    const Module module = ModuleBuilder::newModule(6, 5, 12)
                              .namedUnits()
                              .steps({1, 2, 3, 0, 0, 0})
                              .deck(1, 6, "Events")
                              .build();
    const test::TempFolder m_folder{"qmx-turncheck"};
    std::unique_ptr<Machine> blue;
    std::unique_ptr<Machine> red;
};

TEST_F(TurnCheckTest, AnHonestReplyPassesWithAndWithoutResetAndAsText) {
    const Bytes sent = blueOpens();
    move(*red, {2, 1}, {4, 4});
    red->session.click({4, 4});
    red->session.doubleClick({4, 4});
    red->session.unitCommand(UnitCommand::RotateRight);
    red->session.unitCommand(UnitCommand::HideUnits);
    red->session.doubleClick({4, 4});
    const Bytes reply = save(*red, "reply.qms");
    const TurnCheck kept = check(sent, reply);
    EXPECT_TRUE(kept.continued);
    EXPECT_EQ(kept.findings, std::vector<std::string>{});
    EXPECT_TRUE(check(sent, encodeCheckedTextSave(reply)).consistent());

    // The same turn after Reset Recorder.
    load(*red, "sent.qms", kRed);
    resetRecorder(*red);
    move(*red, {2, 1}, {4, 4});
    const TurnCheck reset = check(sent, save(*red, "reply2.qms"));
    EXPECT_FALSE(reset.continued);
    EXPECT_TRUE(reset.consistent()) << reset.findings.front();
}

TEST_F(TurnCheckTest, ChangesOutsideTheRecordAreNamed) {
    const Bytes sent = blueOpens();
    move(*red, {2, 1}, {4, 4});
    // Between the moves, outside the record: unit 7 put back, a step and a
    // facing changed.
    GameState& g = red->game;
    const std::vector<int> stack = g.stackAt(4, 1);
    ASSERT_EQ(stack, (std::vector<int>{7, 8}));
    g.setStackHead(4, 1, 8);
    g.unit(7).column = 5;
    g.unit(7).stackLink = 0;
    g.setStackHead(5, 1, 7);
    g.unit(9).step = 2;
    g.unit(10).facing = Facing::kShown | 4;
    const std::vector<std::string> found = check(sent, save(*red, "reply.qms")).findings;
    EXPECT_EQ(found, (std::vector<std::string>{
                         "Unit 7 (Unit 7): position 0401 after the replay, 0501 in the reply",
                         "Unit 9 (Unit 9): step 1 after the replay, 3 in the reply",
                         "Unit 10 (Unit 10): facing none after the replay, side 3 in the reply",
                     }));
}

TEST_F(TurnCheckTest, ARewrittenStartAndAHiddenUnitAreFoundWithoutLeaks) {
    const Bytes sent = blueOpens();
    // Red hides unit 5 and moves it, then rewrites where unit 3 started.
    red->session.click({3, 1});
    red->session.doubleClick({3, 1});
    red->session.unitCommand(UnitCommand::HideUnits);
    red->session.click({6, 5});
    red->session.doubleClick({6, 5});
    red->game.unit(5).step = 1;  // hidden from Blue, changed outside the record
    for (int u : {3, 4}) {
        UnitState& s = red->game.unit(u);
        s.startColumn = s.column = 5;
        s.startRow = s.row = 5;
    }
    red->game.setStackHead(2, 1, 0);
    red->game.setStackHead(5, 5, 3);
    const Bytes reply = save(*red, "reply.qms");
    const std::vector<std::string> found = check(sent, reply).findings;
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0],
              "Unit 3 (Unit 3): position 0201 at your save's start, 0505 at the reply's start");
    EXPECT_EQ(found[2], std::string(kHiddenUnitFinding));
    // Red himself is told which unit it was.
    const auto asRed = check(sent, reply, kRed).findings;
    EXPECT_EQ(asRed.back(), "Unit 5 (Unit 5): step 1 after the replay, 2 in the reply");
}

TEST_F(TurnCheckTest, CardsMoveOnlyAsTheRecordSays) {
    const Bytes sent = blueOpens();
    Loaded a = read(sent);
    a.state.setCardPlace(1, 2, kBlue);  // Blue holds card 2 of Events
    const Bytes sentBytes = serializeSavedGame(a.state, module, a.record);
    // Red deals one card to himself (recorded) and slips card 5 into his hand.
    Loaded b = read(sentBytes);
    b.state.setCardPlace(1, 3, kRed);
    Bytes record = a.record;
    for (int x : {255, 237, 0, int{kRed}, int{kRed}})
        record.push_back(static_cast<std::uint8_t>(x));
    EXPECT_TRUE(check(sentBytes, serializeSavedGame(b.state, module, record)).consistent());
    b.state.setCardPlace(1, 5, kRed);
    EXPECT_EQ(check(sentBytes, serializeSavedGame(b.state, module, record)).findings,
              (std::vector<std::string>{"Red's hand: 1 cards after the record, 2 in the reply",
                                        "deck Events: 4 cards after the record, 3 in the reply"}));
    // Without a card entry, the card itself is named when Blue may see it.
    Loaded c = read(sentBytes);
    c.state.setCardPlace(1, 2, kDiscarded);
    c.state.setCardPlace(1, 4, kRed);
    EXPECT_EQ(check(sentBytes, serializeSavedGame(c.state, module, c.record)).findings,
              (std::vector<std::string>{
                  "Card 2 of deck Events: in Blue's hand in your save, in the discards in the "
                  "reply",
                  "a card went from deck Events to Red's hand outside the record"}));
}

TEST_F(TurnCheckTest, ThePlayerTableAndTheRecordPrefixAreChecked) {
    const Bytes sent = blueOpens();
    move(*red, {2, 1}, {4, 4});
    Loaded b = read(save(*red, "reply.qms"));
    b.state.players[kBlue].password = scramblePassword("stolen", 3);
    b.state.players[kRed].password = scramblePassword("new", 3);  // his own: allowed
    b.state.players[kRed].name = "Rex";
    b.record[2] ^= 1;  // a byte of Blue's own record
    const auto found = check(sent, serializeSavedGame(b.state, module, b.record)).findings;
    EXPECT_EQ(found.front(), std::string(kRecordPrefixFinding));
    EXPECT_NE(std::find(found.begin(), found.end(), "your password was changed in the reply"),
              found.end());
    EXPECT_NE(std::find(found.begin(), found.end(),
                        "Slot 2 (Red): name \"Red\" in your save, \"Rex\" in the reply"),
              found.end());
}

// The fields the check compares, of two loaded games.
bool sameCheckedState(const GameState& a, const GameState& b) {
    for (int u = 1; u <= a.unitCount(); ++u) {
        const UnitState &x = a.unit(u), &y = b.unit(u);
        const auto fields = [](const UnitState& s) {
            return std::tuple(s.column, s.row, s.stackLink, s.facing, s.step, s.hidden,
                              s.startColumn, s.startRow, s.startStackLink, s.startFacing,
                              s.startStep,
                              s.flags & (UnitFlags::kIdHidden | UnitFlags::kStartIdHidden));
        };
        if (fields(x) != fields(y)) return false;
    }
    for (int d = 1; d <= kDeckCount; ++d)
        if (a.deckPlaces(d) != b.deckPlaces(d)) return false;
    return true;
}

// Picked up and put back without a path, a stack with a unit hidden from
// the player between its units comes back in another order: that is a move
// the record must hold (the session fuzzer found it unrecorded).
TEST_F(TurnCheckTest, AStackPutBackInAnotherOrderIsRecorded) {
    blue->game.unit(5).setHiddenBy(kBlue);
    commitStartPositions(blue->game);
    const Bytes sent = blueOpens();
    red->session.doubleClick({3, 1});
    red->session.doubleClick({3, 1});
    ASSERT_EQ(red->game.stackAt(3, 1), (std::vector<int>{6, 5}));
    const Bytes reply = save(*red, "reply.qms");
    EXPECT_TRUE(check(sent, reply, kRed).consistent());
    EXPECT_TRUE(check(sent, reply, kBlue).consistent());
}

// In the player: a load is checked against the player's own saves; a clean
// reply gives the status line, a changed one the list, and the menu command
// checks against a file he chooses.
TEST_F(TurnCheckTest, TheLoadIsCheckedAgainstThePlayersOwnSave) {
    blueOpens();
    EXPECT_EQ(blue->settings.recentSaves(), std::vector<std::string>{path("sent.qms")});
    move(*red, {2, 1}, {4, 4});
    save(*red, "reply.qms");
    red->game.unit(9).step = 2;
    save(*red, "edited.qms");

    blue->prompts.identities.push_back(IdentityAnswer{kBlue, "blue"});
    const Change clean = blue->session.loadGameFile(path("reply.qms"));
    EXPECT_EQ(clean.notice,
              std::optional<std::string>("Checked against your save sent.qms: every change is in "
                                         "the replay."));
    EXPECT_TRUE(blue->prompts.findings.empty());

    blue->prompts.identities.push_back(IdentityAnswer{kBlue, "blue"});
    EXPECT_FALSE(blue->session.loadGameFile(path("edited.qms")).notice);
    ASSERT_EQ(blue->prompts.findings.size(), 1u);
    EXPECT_NE(blue->prompts.findings[0].first.find("sent.qms"), std::string::npos);
    EXPECT_EQ(blue->prompts.findings[0].second,
              std::vector<std::string>{"Unit 9 (Unit 9): step 1 after the replay, 3 in the reply"});

    // Moves made since do not count: the game is checked as it was loaded.
    move(*blue, {3, 1}, {3, 4});
    blue->prompts.files.push_back(path("sent.qms"));
    blue->session.checkAgainstSave();
    EXPECT_EQ(blue->prompts.findings.size(), 2u);
    EXPECT_EQ(blue->prompts.findings[1].second, blue->prompts.findings[0].second);
}

TEST_F(TurnCheckTest, RandomTurnsWithOneRandomEditAgree) {
    const Bytes sent = blueOpens();
    int tampered = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        auto hex = [&]() { return Hex{1 + pick(6), 1 + pick(5)}; };
        load(*red, "sent.qms", kRed);
        if (pick(2)) resetRecorder(*red);
        for (int action = 0, n = 1 + pick(5); action < n; ++action) {
            Hex from = hex();
            for (int tries = 0; tries < 30 && red->game.stackHead(from.column, from.row) == 0;
                 ++tries)
                from = hex();
            red->session.click(from);
            red->session.doubleClick(from);
            if (!red->game.holdingUnits()) continue;
            for (int k = pick(3); k > 0; --k) red->session.click(hex());
            if (pick(2)) red->session.unitCommand(static_cast<UnitCommand>(pick(11)));
            if (pick(6) == 0) {
                while (red->session.undoPending()) red->session.undoPass();
                continue;
            }
            const Hex to = hex();
            red->session.click(to);
            red->session.doubleClick(to);
            while (red->session.undoPending()) red->session.undoPass();
        }
        const Bytes reply = save(*red, "reply.qms");
        if (reply.empty()) continue;  // nothing moved: Save is greyed
        const Loaded honest = read(reply);
        ASSERT_TRUE(check(sent, reply).consistent())
            << "seed " << seed << ": " << check(sent, reply).findings.front();

        // One byte of a unit record or a card place changed.
        const std::size_t cards = kSaveHeaderSize + kSaveGameBlockSize;
        const std::size_t units = cards + 6 + 30;
        const std::size_t offset =
            pick(4) == 0 ? cards + static_cast<std::size_t>(pick(6))
                         : units + static_cast<std::size_t>(pick(module.unitCount * 15));
        Bytes edited = reply;
        edited[offset] = static_cast<std::uint8_t>(edited[offset] + 1 + pick(254));
        const Loaded other = read(edited);
        if (!other.ok) continue;
        const bool changed = !sameCheckedState(honest.state, other.state);
        tampered += changed;
        EXPECT_EQ(!check(sent, edited).consistent(), changed)
            << "seed " << seed << ", byte " << offset;
    }
    EXPECT_GT(tampered, 150);
}

}  // namespace
}  // namespace qmx
