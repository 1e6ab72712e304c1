#include <gtest/gtest.h>

#include "core/game/Comment.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayPlayback.h"
#include "core/replay/ReplayRecorder.h"
#include "core/replay/ResetRecorder.h"
#include "tests/support/ReplayTestSupport.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
using namespace qmx::test;

namespace {

using Kind = ReplayEventKind;

auto unitFields(const UnitState& u) {
    return std::tuple(u.step, u.facing, u.hidden, u.flags, u.column, u.row, u.startColumn,
                      u.startRow, u.startStep, u.startFacing, u.stackLink, u.startStackLink);
}

bool sameState(const GameState& a, const GameState& b) {
    if (a.units().size() != b.units().size() || a.carriedStack != b.carriedStack) return false;
    for (std::size_t i = 0; i < a.units().size(); ++i)
        if (unitFields(a.units()[i]) != unitFields(b.units()[i])) return false;
    for (std::size_t i = 0; i < a.hexes().size(); ++i)
        if (a.hexes()[i].stackHead != b.hexes()[i].stackHead) return false;
    return true;
}

ReplayMessage text(const std::string& title, const std::string& t) {
    return {0, title, t};
}
ReplayMessage number(int n) {
    return {n, {}, {}};
}

struct Fixture {
    Module module = smallModule();
    GameState state{module};
    ModuleCardTexts cards{module};
    ScriptedPrompts prompts;
    ReplayPlayback playback{state, module, prompts, cards};

    Fixture() {
        clearBoard(state);
        twoPlayers(state);
    }
    // Starts and plays every entry; the events after Started, End included.
    std::vector<ReplayEvent> playAll(const Rec& r) {
        EXPECT_EQ(playback.start(r.b).kind, Kind::Started);
        std::vector<ReplayEvent> out;
        for (int guard = 0; guard < 100000; ++guard) {
            out.push_back(playback.step());
            if (out.back().kind == Kind::End) break;
        }
        EXPECT_FALSE(playback.active());
        return out;
    }
    std::vector<Kind> kinds(const std::vector<ReplayEvent>& events) {
        std::vector<Kind> k;
        for (const auto& e : events) k.push_back(e.kind);
        return k;
    }
};

}  // namespace

TEST(ReplayPlayback, NothingToReplayWithoutARecordAndRefusedWhileCarrying) {
    Fixture f;
    ReplayEvent e = f.playback.start(std::nullopt);
    EXPECT_EQ(e.kind, Kind::NothingToReplay);
    EXPECT_EQ(e.messages, std::vector<ReplayMessage>{number(6)});
    EXPECT_FALSE(f.playback.active());

    f.state.carriedStack = 1;
    e = f.playback.start(Bytes{});
    EXPECT_EQ(e.kind, Kind::Refused);
    EXPECT_EQ(e.messages, std::vector<ReplayMessage>{number(16)});
    EXPECT_FALSE(f.playback.active());

    // An empty record starts and ends at the first step.
    f.state.carriedStack = 0;
    auto events = f.playAll(Rec{});
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].messages, std::vector<ReplayMessage>{text("REPLAY", "End of Replay")});
}

TEST(ReplayPlayback, StartPutsUnitsAtTheirStartAndTheEndRestoresTheSavedState) {
    Fixture f;
    placeStack(f.state, {1, 2}, 1, 1);
    placeStack(f.state, {3}, 2, 2);
    // The game as the file holds it: unit 1 now stands on 0303 stepped and
    // turned; unit 3 has been hidden by Bert since the start.
    UnitState& u1 = f.state.unit(1);
    u1.column = u1.row = 3;
    u1.stackLink = 0;
    u1.step = 1;
    u1.facing = Facing::kShown | 4;
    f.state.setStackHead(1, 1, 2);
    f.state.setStackHead(3, 3, 1);
    f.state.unit(3).hidden = 0x11;
    f.state.unit(3).set(UnitFlags::kMoved);
    const GameState before = f.state;

    ScriptedPrompts quiet;
    ReplayFile file("/nonexistent/x.tmp");
    ReplayRecorder recorder(file, f.state, quiet);
    ReplayPlayback playback(f.state, f.module, f.prompts, f.cards, &recorder);
    ASSERT_EQ(playback.start(Bytes{}).kind, Kind::Started);
    EXPECT_TRUE(recorder.playing());
    EXPECT_EQ(f.state.unit(1).column, 1);
    EXPECT_EQ(f.state.unit(1).step, 0);
    EXPECT_EQ(f.state.unit(1).facing, 0);
    EXPECT_EQ(f.state.stackAt(1, 1), (std::vector<int>{1, 2}));
    EXPECT_EQ(f.state.stackAt(3, 3), std::vector<int>{});
    EXPECT_EQ(f.state.unit(3).hiddenBy(), 1);

    EXPECT_EQ(playback.stop().kind, Kind::End);
    EXPECT_FALSE(recorder.playing());
    EXPECT_TRUE(sameState(f.state, before));
}

TEST(ReplayPlayback, IdentityMarksStartAsTheRecordBegan) {
    Fixture f;
    placeStack(f.state, {1}, 1, 1);
    placeStack(f.state, {2}, 2, 2);
    // Unit 1 was wholly hidden by Bert when the record began and had its
    // identity hidden later: at the start it must be invisible to Anna.
    f.state.unit(1).hidden = 0x11;
    f.state.unit(1).set(UnitFlags::kIdHidden);
    // Unit 2 had its identity hidden at the start and was revealed later.
    f.state.unit(2).hidden = 0x1F;
    f.state.unit(2).set(UnitFlags::kStartIdHidden | UnitFlags::kMoved);
    ASSERT_EQ(f.playback.start(Bytes{}).kind, Kind::Started);
    EXPECT_FALSE(f.state.unit(1).has(UnitFlags::kIdHidden));
    EXPECT_EQ(f.state.unit(2).flags, UnitFlags::kIdHidden);  // every other mark cleared
    EXPECT_EQ(f.state.unit(2).hiddenBy(), 1);
    f.playback.stop();
    EXPECT_TRUE(f.state.unit(1).has(UnitFlags::kIdHidden));
    EXPECT_EQ(f.state.unit(2).flags, UnitFlags::kStartIdHidden | UnitFlags::kMoved);
}

TEST(ReplayPlayback, AShownMoveStepsHexByHexAndDropsOnTop) {
    Fixture f;
    placeStack(f.state, {1, 2}, 1, 1);
    placeStack(f.state, {5}, 2, 3);
    const GameState before = f.state;
    Rec r;
    r.moveStart({1, 2}, 1, 1, 1, 2).hex(2, 3).cmd(248);
    ASSERT_EQ(f.playback.start(r.b).kind, Kind::Started);

    ReplayEvent e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::MoveStart);
    EXPECT_TRUE(e.shown);
    EXPECT_EQ(e.shownUnit, 1);
    EXPECT_EQ(e.units, (std::vector<int>{1, 2}));
    EXPECT_EQ(e.from, (Hex{1, 1}));
    EXPECT_FALSE(e.continueAtOnce);
    EXPECT_EQ(f.state.carriedStack, 1);
    EXPECT_EQ(f.state.stackHead(1, 1), 0);
    EXPECT_TRUE(f.playback.inMove());

    e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::PathStep);
    EXPECT_EQ(e.from, (Hex{1, 1}));
    EXPECT_EQ(e.to, (Hex{1, 2}));
    EXPECT_FALSE(e.continueAtOnce);  // every hex of a shown path takes a key press
    e = f.playback.step();
    EXPECT_EQ(e.to, (Hex{2, 3}));
    EXPECT_EQ(f.playback.position(), (Hex{2, 3}));

    e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::Drop);
    EXPECT_EQ(e.to, (Hex{2, 3}));
    EXPECT_TRUE(e.messages.empty());
    EXPECT_EQ(f.state.stackAt(2, 3), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(f.state.carriedStack, 0);
    EXPECT_EQ(f.state.unit(2).column, 2);

    e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::End);
    EXPECT_TRUE(sameState(f.state, before));
}

TEST(ReplayPlayback, AHiddenMoveShowsNothingButItsMessage) {
    Fixture f;
    placeStack(f.state, {1, 2}, 1, 1);
    f.state.unit(1).hidden = 0x11;  // Bert's, hidden from Anna
    f.state.unit(2).hidden = 0x11;
    placeStack(f.state, {6}, 3, 3);
    Rec r;
    r.moveStart({1, 2}, 1, 1, 1, 2).hex(2, 3).cmd(225).hex(3, 3).cmd(248);
    auto events = f.playAll(r);
    ASSERT_EQ(f.kinds(events),
              (std::vector<Kind>{Kind::MoveStart, Kind::PathStep, Kind::PathStep, Kind::UnitCommand,
                                 Kind::PathStep, Kind::Drop, Kind::End}));
    for (std::size_t i = 0; i + 2 < events.size(); ++i) {
        const ReplayEvent& e = events[i];
        EXPECT_FALSE(e.shown);
        EXPECT_EQ(e.shownUnit, 0);
        EXPECT_TRUE(e.units.empty());
        EXPECT_TRUE(e.from.isNone());
        EXPECT_TRUE(e.to.isNone());
        EXPECT_TRUE(e.continueAtOnce);  // no key press per hidden hex
    }
    const ReplayEvent& drop = events[5];
    EXPECT_TRUE(drop.to.isNone());
    EXPECT_EQ(drop.messages,
              std::vector<ReplayMessage>{text("Replay", "Hidden units have just moved.")});

    // Bert himself sees his move.
    Fixture g;
    placeStack(g.state, {1, 2}, 1, 1);
    g.state.unit(1).hidden = 0x11;
    g.state.unit(2).hidden = 0x11;
    g.state.currentSlot = 1;
    events = g.playAll(r);
    EXPECT_EQ(events[0].shownUnit, 1);
    EXPECT_EQ(events[0].units, (std::vector<int>{1, 2}));
    EXPECT_EQ(events[5].to, (Hex{3, 3}));
}

TEST(ReplayPlayback, HiddenUnitsOfAShownStackAreNeverNamedOrCounted) {
    Fixture f;
    placeStack(f.state, {1, 2, 3}, 1, 1);
    f.state.unit(1).hidden = 0x11;  // wholly hidden from Anna
    f.state.unit(3).hidden = 0x11;
    f.state.unit(3).set(UnitFlags::kStartIdHidden);  // only its identity
    Rec r;
    r.moveStart({1, 2, 3}, 1, 1, 1, 2).cmd(248);
    auto events = f.playAll(r);
    EXPECT_EQ(events[0].shownUnit, 2);
    EXPECT_EQ(events[0].units, (std::vector<int>{2, 3}));
    EXPECT_EQ(events[2].units, (std::vector<int>{2, 3}));
}

TEST(ReplayPlayback, HideMessagesAndTheirEffectOnTheMove) {
    Fixture f;
    placeStack(f.state, {1, 2}, 1, 1);
    Rec r;
    r.moveStart({1, 2}, 1, 1, 1, 2);
    r.cmd(221).raw({1, 0});  // Bert hides the identity: still seen
    r.cmd(223).raw({1, 0});  // Bert hides them: the rest is hidden
    r.hex(2, 2);
    r.cmd(222);  // unhidden: shown again from here
    r.hex(3, 2).cmd(248);
    auto events = f.playAll(r);
    ASSERT_EQ(f.kinds(events),
              (std::vector<Kind>{Kind::MoveStart, Kind::PathStep, Kind::UnitCommand,
                                 Kind::UnitCommand, Kind::PathStep, Kind::UnitCommand,
                                 Kind::PathStep, Kind::Drop, Kind::End}));
    EXPECT_EQ(events[2].messages,
              std::vector<ReplayMessage>{text("Replay", "The ID of these units have been hidden")});
    EXPECT_TRUE(events[2].shown);
    EXPECT_TRUE(events[2].continueAtOnce);
    EXPECT_EQ(events[3].messages,
              std::vector<ReplayMessage>{text("Replay", "These units have been hidden")});
    EXPECT_FALSE(events[3].shown);
    EXPECT_TRUE(events[3].units.empty());
    EXPECT_FALSE(events[4].shown);
    EXPECT_TRUE(events[4].to.isNone());
    EXPECT_EQ(events[5].messages, std::vector<ReplayMessage>{text(
                                      "Replay", "These units were hidden and are now revealed.")});
    EXPECT_EQ(events[5].shownUnit, 1);
    EXPECT_EQ(events[6].to, (Hex{3, 2}));
    EXPECT_TRUE(events[7].messages.empty());

    // A game master watching sees the hidden part too.
    Fixture gm;
    placeStack(gm.state, {1, 2}, 1, 1);
    gm.state.players[3].kind = SlotKind::GameMaster;
    gm.state.currentSlot = 3;
    events = gm.playAll(r);
    EXPECT_TRUE(events[4].shown);
    EXPECT_EQ(events[4].to, (Hex{2, 2}));
    EXPECT_EQ(events[4].units, (std::vector<int>{1, 2}));

    // A hide by Anna herself keeps her move in sight.
    Rec own;
    own.moveStart({1}, 1, 1, 1, 2).cmd(223).raw({0, 0}).hex(2, 2).cmd(248);
    events = f.playAll(own);
    EXPECT_TRUE(events[2].shown);
    EXPECT_EQ(events[3].to, (Hex{2, 2}));
}

TEST(ReplayPlayback, UnitCommandsChangeTheCarriedUnits) {
    Fixture f;
    placeStack(f.state, {1, 2}, 1, 1);
    f.module.units[2].stepImage = {1, 0, 0, 0, 0, 0};  // unit 2 has one step only
    Rec r;
    r.moveStart({1, 2}, 1, 1, 1, 2);
    r.cmd(230).cmd(225).cmd(225).cmd(228);  // facing on, right twice, corner
    r.cmd(224).raw({1, 0}).cmd(224).raw({1, 0});
    r.cmd(248);
    ASSERT_EQ(f.playback.start(r.b).kind, Kind::Started);
    for (int i = 0; i < 8; ++i) f.playback.step();
    EXPECT_EQ(f.state.unit(1).facing, Facing::kShown | Facing::kCorner | 4);
    EXPECT_EQ(f.state.unit(1).step, 1);
    EXPECT_EQ(f.state.unit(2).step, 0);
    ReplayEvent e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::Drop);
    EXPECT_EQ(f.playback.step().kind, Kind::End);
    EXPECT_EQ(f.state.unit(1).facing, 0);
}

TEST(ReplayPlayback, EveryStepAndFacingCommandActsAsItsOwn) {
    // Two units of four steps carried at steps 1 and 2, facing corner 4.
    Fixture f;
    placeStack(f.state, {1, 2}, 1, 1);
    for (int u : {1, 2}) {
        f.module.units[static_cast<std::size_t>(u)].stepImage = {1, 2, 3, 4, 0, 0};
        UnitState& s = f.state.unit(u);
        s.step = s.startStep = static_cast<std::uint8_t>(u);
        s.facing = s.startFacing = Facing::kShown | Facing::kCorner | 4;
    }
    Rec r;
    r.moveStart({1, 2}, 1, 1, 1, 2);
    r.cmd(219).cmd(220).cmd(245).cmd(246).cmd(226).cmd(227).cmd(229).cmd(248);
    ASSERT_EQ(f.playback.start(r.b).kind, Kind::Started);
    f.playback.step();  // the move starts,
    f.playback.step();  // and reaches its first hex
    const auto next = [&] {
        f.playback.step();
        return std::tuple(int(f.state.unit(1).step), int(f.state.unit(2).step),
                          int(f.state.unit(1).facing));
    };
    const int corner = Facing::kShown | Facing::kCorner;
    EXPECT_EQ(next(), std::tuple(2, 3, corner | 4));          // step down
    EXPECT_EQ(next(), std::tuple(1, 2, corner | 4));          // step up
    EXPECT_EQ(next(), std::tuple(0, 2, corner | 4));          // face up: odd steps only
    EXPECT_EQ(next(), std::tuple(1, 3, corner | 4));          // face down: even steps only
    EXPECT_EQ(next(), std::tuple(1, 3, corner | 2));          // rotate left
    EXPECT_EQ(next(), std::tuple(1, 3, Facing::kShown | 2));  // face a side
    EXPECT_EQ(next(), std::tuple(1, 3, 2));                   // facing off
}

TEST(ReplayPlayback, ReplayedSetStepSearchesNoLowerThanStepOne) {
    Fixture f;
    placeStack(f.state, {3}, 1, 1);
    f.module.units[3].stepImage = {1, 0, 0, 0, 5, 0};      // steps 0 and 4
    f.state.unit(3).step = f.state.unit(3).startStep = 4;  // the replay starts there
    Rec r;
    r.moveStart({3}, 1, 1, 1, 2);
    r.cmd(224).raw({2, 0});  // key 3: no image at steps 1 and 2, so it stays
    r.cmd(248);
    ASSERT_EQ(f.playback.start(r.b).kind, Kind::Started);
    for (int i = 0; i < 3; ++i) f.playback.step();
    EXPECT_EQ(f.state.unit(3).step, 4);
}

TEST(ReplayPlayback, StopInTheMiddleOfAMoveRestoresTheEndState) {
    Fixture f;
    placeStack(f.state, {1, 2}, 1, 1);
    placeStack(f.state, {3}, 4, 4);
    f.state.unit(3).column = f.state.unit(3).row = 5;  // moved since the start
    f.state.setStackHead(4, 4, 0);
    f.state.setStackHead(5, 5, 3);
    const GameState before = f.state;
    Rec r;
    r.moveStart({3}, 4, 4, 4, 5).hex(5, 5).cmd(248);
    ASSERT_EQ(f.playback.start(r.b).kind, Kind::Started);
    f.playback.step();
    f.playback.step();
    EXPECT_TRUE(f.playback.inMove());
    EXPECT_EQ(f.state.carriedStack, 3);
    ReplayEvent e = f.playback.stop();
    EXPECT_EQ(e.kind, Kind::End);
    EXPECT_EQ(e.messages, std::vector<ReplayMessage>{text("REPLAY", "End of Replay")});
    EXPECT_FALSE(f.playback.active());
    EXPECT_TRUE(sameState(f.state, before));
    EXPECT_EQ(f.playback.step().kind, Kind::End);  // nothing is playing any more
}

TEST(ReplayPlayback, CombatResultAndCommentWithTheHighlight) {
    Fixture f;
    placeStack(f.state, {1}, 1, 1);
    placeStack(f.state, {2}, 2, 2);
    placeStack(f.state, {3}, 3, 3);
    f.state.unit(3).hidden = 0x11;  // Bert's hidden unit takes part
    Rec r;
    r.cmd(239).unit(1).unit(2).unit(3).unit(2).unit(999).cmd(249);
    r.cmd(238).raw({2, 6}).comment("Attacker retreats");
    ASSERT_EQ(f.playback.start(r.b).kind, Kind::Started);

    ReplayEvent e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::Combat);
    EXPECT_EQ(e.units, (std::vector<int>{1, 2}));
    EXPECT_EQ(e.to, (Hex{2, 2}));  // the last unit listed that Anna may see
    EXPECT_TRUE(f.playback.combatHighlight());
    EXPECT_TRUE(f.state.unit(1).has(UnitFlags::kVisitMark));
    EXPECT_FALSE(f.state.unit(3).has(UnitFlags::kVisitMark));
    EXPECT_FALSE(f.state.unit(4).has(UnitFlags::kVisitMark));

    e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::Result);
    EXPECT_EQ(e.status, "Roll: 2 die,6 sides.");
    EXPECT_TRUE(f.playback.combatHighlight());

    e = f.playback.step();
    EXPECT_EQ(e.kind, Kind::Comment);
    EXPECT_EQ(e.display, "Attacker retreats");
    EXPECT_EQ(e.status, "Comment");
    EXPECT_TRUE(e.highlightEnds);
    EXPECT_FALSE(e.continueAtOnce);  // the player goes on after reading it
    EXPECT_FALSE(f.playback.combatHighlight());
    EXPECT_TRUE(f.state.unit(4).has(UnitFlags::kVisitMark));
    EXPECT_EQ(f.playback.step().kind, Kind::End);
    EXPECT_FALSE(f.state.unit(4).has(UnitFlags::kVisitMark));
}

TEST(ReplayPlayback, EncryptedCommentsAskForTheirPassword) {
    Fixture f;
    Rec r;
    const Bytes entry = encryptedCommentEntry("Sealed orders", "Ember", 42);
    r.b.insert(r.b.end(), entry.begin(), entry.end());
    r.b.insert(r.b.end(), entry.begin(), entry.end());
    r.b.insert(r.b.end(), entry.begin(), entry.end());
    f.prompts.answers = {std::string("EMBER"), std::string("wrong"), std::nullopt};
    auto events = f.playAll(r);
    ASSERT_EQ(f.kinds(events), (std::vector<Kind>{Kind::Comment, Kind::EncryptedComment,
                                                  Kind::EncryptedComment, Kind::End}));
    EXPECT_EQ(events[0].display, "Sealed orders");
    EXPECT_EQ(events[0].status, "Comment");
    // A wrong password and a cancelled dialog: message 20, no text.
    EXPECT_FALSE(events[1].display);
    EXPECT_FALSE(events[2].display);
    EXPECT_EQ(f.prompts.messages, (std::vector<int>{20, 20}));
    ASSERT_EQ(f.prompts.asked.size(), 3u);
    EXPECT_EQ(f.prompts.asked[0], "Encrypted Comment|Enter password:|8");
}

TEST(ReplayPlayback, FlipsSaveMarkerAndCardsShowTheirBoxes) {
    Fixture f;
    placeStack(f.state, {1}, 1, 1);
    Rec r;
    r.cmd(244).cmd(243).cmd(253);
    r.cmd(236).raw({0, 0, 1});     // Bert shows card 1 of deck 1
    r.cmd(235).raw({0, 1, 1, 0});  // Anna gives card 2 to Bert
    r.cmd(237).raw({0, 1, 0});
    r.cmd(233).raw({2, 1});
    auto events = f.playAll(r);
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].messages,
              std::vector<ReplayMessage>{text("REPLAY", "All units have been flipped down")});
    EXPECT_EQ(events[1].messages,
              std::vector<ReplayMessage>{text("REPLAY", "All units have been flipped up")});
    EXPECT_EQ(events[2].messages,
              std::vector<ReplayMessage>{text("REPLAY", "A Save Game occurred at this point.")});
    EXPECT_EQ(events[3].messages,
              std::vector<ReplayMessage>{
                  text("Show Card", "Bert has shown but kept the following card from his hand.")});
    EXPECT_EQ(events[3].display, "Ambush!\r\nX");
    EXPECT_EQ(events[3].status, "Show Card");
    EXPECT_EQ(events[4].messages[0].title, "Give a Card");
    EXPECT_EQ(events[4].display, "");
    EXPECT_EQ(events[4].status, "Give Card");
    EXPECT_EQ(events[5].messages,
              std::vector<ReplayMessage>{
                  text("Card Deal", "Anna has dealt a card from deck Events to Bert")});
    EXPECT_FALSE(events[5].status);
    EXPECT_EQ(events[6].messages,
              std::vector<ReplayMessage>{text(
                  "Card Placement", "Bert has placed a card at the following location: Pile")});
    for (int i = 0; i < 7; ++i) EXPECT_TRUE(events[static_cast<std::size_t>(i)].continueAtOnce);

    // An observer is told only that a card changed hands; a module that cannot
    // be read gives message 34.
    Fixture g;
    g.state.currentSlot = kObserver;
    ModuleFileCardTexts missing("/nonexistent/m.qm4", 0);
    ReplayPlayback playback(g.state, g.module, g.prompts, missing);
    Rec cards;
    cards.cmd(235).raw({0, 1, 1, 0}).cmd(231).raw({0, 0, 1});
    playback.start(cards.b);
    ReplayEvent e = playback.step();
    EXPECT_EQ(e.messages, std::vector<ReplayMessage>{
                              text("Give a Card", "Anna has given a card from his hand to Bert")});
    EXPECT_FALSE(e.display);
    e = playback.step();
    EXPECT_EQ(e.messages.size(), 2u);
    EXPECT_EQ(e.messages[1], number(34));
    EXPECT_EQ(e.status, "Show & Return Card");
}

TEST(ReplayPlayback, ARecordOfOnlyASaveMarker) {
    Fixture f;
    Rec r;
    r.cmd(253);
    auto events = f.playAll(r);
    EXPECT_EQ(f.kinds(events), (std::vector<Kind>{Kind::SaveMarker, Kind::End}));
}

TEST(ReplayPlayback, DamagedRecordsArePassedOverAndTheEndStateReturns) {
    Fixture f;
    placeStack(f.state, {1, 2, 3}, 1, 1);
    f.state.unit(2).hidden = 0x11;
    const GameState before = f.state;
    Rec r;
    r.raw({1, 2}).cmd(248).cmd(225);          // a stray pair, a drop and a rotate outside a move
    r.moveStart({999, 0, 1, 1}, 9, 9, 0, 0);  // units out of range and repeated; hex off the map
    r.hex(200, 3).hex(2, 2);
    r.cmd(223).raw({9, 0});                 // no such slot: passed over
    r.cmd(224).cmd(248);                    // set step without its argument
    r.cmd(241).unit(3).comment("broken");   // a list broken off by another entry
    r.moveStart({3}, 1, 1, 3, 3).cmd(253);  // a move whose drop is missing
    r.cmd(241).unit(2).unit(3);             // a list that never ends
    auto events = f.playAll(r);
    ASSERT_EQ(f.kinds(events), (std::vector<Kind>{Kind::MoveStart, Kind::PathStep, Kind::Drop,
                                                  Kind::Comment, Kind::MoveStart, Kind::PathStep,
                                                  Kind::Drop, Kind::SaveMarker, Kind::End}));
    EXPECT_EQ(events[0].units, std::vector<int>{1});
    EXPECT_EQ(events[1].to, (Hex{2, 2}));
    EXPECT_EQ(events[2].to, (Hex{2, 2}));
    EXPECT_EQ(events[6].to, (Hex{3, 3}));
    EXPECT_TRUE(sameState(f.state, before));

    // A record cut in the middle of a move ends the replay normally.
    Rec cut;
    cut.moveStart({1}, 1, 1, 2, 2).raw({3});
    events = f.playAll(cut);
    EXPECT_EQ(f.kinds(events), (std::vector<Kind>{Kind::MoveStart, Kind::PathStep, Kind::End}));
    EXPECT_TRUE(sameState(f.state, before));
}

TEST(ResetRecorder, RefusedAskedThenErasesAndCommits) {
    Fixture f;
    placeStack(f.state, {1}, 1, 1);
    f.state.unit(1).column = 4;
    f.state.unit(1).row = 5;
    f.state.unit(1).hidden = 0xF1;
    f.state.unit(1).set(UnitFlags::kIdHidden);
    f.state.setStackHead(1, 1, 0);
    f.state.setStackHead(4, 5, 1);

    const test::TempFolder dir("qmx_reset_test");
    ReplayFile file((dir / "1a2b.tmp").string());
    ASSERT_EQ(file.append(Bytes{255, 253}), ReplayFile::AppendResult::Written);

    f.state.carriedStack = 1;
    EXPECT_EQ(resetRecorder(f.state, file, f.prompts, false), ResetOutcome::Refused);
    f.state.carriedStack = 0;
    f.state.gameMode = GameMode::Combat;
    EXPECT_EQ(resetRecorder(f.state, file, f.prompts, false), ResetOutcome::Refused);
    f.state.gameMode = GameMode::Movement;
    EXPECT_EQ(resetRecorder(f.state, file, f.prompts, true), ResetOutcome::Refused);
    EXPECT_EQ(f.prompts.messages, (std::vector<int>{22, 22, 22}));
    EXPECT_TRUE(f.prompts.questions.empty());

    f.prompts.yesNo = {false, true};
    EXPECT_EQ(resetRecorder(f.state, file, f.prompts, false), ResetOutcome::Declined);
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(f.state.unit(1).startColumn, 1);
    EXPECT_EQ(resetRecorder(f.state, file, f.prompts, false), ResetOutcome::Reset);
    EXPECT_EQ(f.prompts.questions[0],
              "WARNING: This will erase the playback record up to this point. Are you sure you "
              "want to do this?");
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(f.state.unit(1).startColumn, 4);
    EXPECT_EQ(f.state.unit(1).startRow, 5);
    EXPECT_EQ(f.state.unit(1).hidden, 0x11);
    EXPECT_TRUE(f.state.unit(1).has(UnitFlags::kStartIdHidden));

    // Step right after the reset: there is nothing to replay.
    ReplayEvent e = f.playback.start(file.read());
    EXPECT_EQ(e.kind, Kind::NothingToReplay);
    EXPECT_EQ(e.messages, std::vector<ReplayMessage>{number(6)});
}
