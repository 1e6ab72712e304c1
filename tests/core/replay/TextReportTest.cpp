#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/replay/ReportText.h"
#include "core/replay/TextReport.h"
#include "tests/support/ReplayTestSupport.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
using namespace qmx::test;

namespace {

struct Fixture {
    Module module = smallModule();
    GameState state{module};
    ModuleCardTexts cards{module};
    ReportOptions options;

    Fixture() {
        clearBoard(state);
        twoPlayers(state);
    }
    std::string move(const Rec& r) { return moveReport(r.b, module, state, options, cards).text; }
    std::string comments(const Rec& r) { return commentsReport(r.b, module, state, cards).text; }
};

// Units 5 and up are hidden by slot 7, so that the unsorted report (which
// lists units on no hex too) holds only the units a test places.
void hideUnitsFrom5(GameState& s) {
    for (int n = 5; n <= s.unitCount(); ++n) s.unit(n).setHiddenBy(7);
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

TEST(ReportText, LinesEndInCrLfSpaceAndListsWrapAt75) {
    ReportText out;
    out.line("A");
    out.blankLine();
    out.beginList(" ");
    for (int i = 0; i < 12; ++i) out.addToList("NameNumb" + std::to_string(10 + i));
    out.endList();
    const std::string six =
        " NameNumb10, NameNumb11, NameNumb12, NameNumb13, NameNumb14, NameNumb15";
    EXPECT_EQ(six.size(), 71u);  // 73 with its trailing separator, which is dropped
    EXPECT_EQ(out.text(), "A\r\n \r\n" + six +
                              "\r\n NameNumb16, NameNumb17, NameNumb18, NameNumb19, NameNumb20, "
                              "NameNumb21\r\n ");
}

TEST(MoveReport, OneUnitThroughOneHexNamesFromToAndVia) {
    Fixture f;
    placeStack(f.state, {3}, 2, 3);
    Rec r;
    r.moveStart({3}, 1, 1, 1, 2).hex(2, 3).cmd(248);
    EXPECT_EQ(f.move(r), " Unit 3\r\n From: 0101\r\n   To: 0203\r\n Via: 0102\r\n \r\n");

    // Straight to the next hex: no Via line.
    Rec straight;
    straight.moveStart({3}, 1, 1, 1, 2).cmd(248);
    EXPECT_EQ(f.move(straight), " Unit 3\r\n From: 0101\r\n   To: 0102\r\n \r\n");
}

TEST(MoveReport, HiddenStacksIdentitiesAndTheReportHiddenOption) {
    Fixture f;
    placeStack(f.state, {3, 4, 5}, 2, 3);
    f.state.unit(3).setHiddenBy(1);  // hidden by Bert from Anna
    f.state.unit(4).setHiddenBy(1);
    Rec hidden;
    hidden.moveStart({3, 4}, 1, 1, 1, 2).hex(2, 3).cmd(245).cmd(248).cmd(253);
    // The rest of the hidden move is skipped pair by pair; the save marker follows.
    EXPECT_EQ(f.move(hidden),
              "A hidden stack moved.\r\n A Save Game occurred at this point.\r\n \r\n");

    // Anna's own hidden unit is left out too, unless "Report Hidden Movement".
    f.state.unit(5).setHiddenBy(0);
    Rec own;
    own.moveStart({5}, 1, 1, 2, 2).cmd(248);
    EXPECT_EQ(f.move(own), "A hidden stack moved.\r\n ");
    f.options.reportHidden = true;
    EXPECT_EQ(f.move(own), " Unit 5\r\n From: 0101\r\n   To: 0202\r\n \r\n");
    // ... but never Bert's.
    EXPECT_EQ(f.move(hidden),
              "A hidden stack moved.\r\n A Save Game occurred at this point.\r\n \r\n");

    // Identity hidden: listed as "????????" except for its hider with the option.
    f.state.unit(5).set(UnitFlags::kIdHidden);
    f.state.unit(3).set(UnitFlags::kIdHidden);
    Rec both;
    both.moveStart({3, 5}, 1, 1, 2, 2).cmd(248);
    EXPECT_EQ(f.move(both), " ????????, Unit 5\r\n From: 0101\r\n   To: 0202\r\n \r\n");
    f.options.reportHidden = false;
    EXPECT_EQ(f.move(both), " ????????, ????????\r\n From: 0101\r\n   To: 0202\r\n \r\n");

    // The game master sees through every hiding with the option on.
    f.state.players[0].kind = SlotKind::GameMaster;
    f.options.reportHidden = true;
    EXPECT_EQ(f.move(both), " Unit 3, Unit 5\r\n From: 0101\r\n   To: 0202\r\n \r\n");
}

TEST(MoveReport, TwelveTenCharacterNamesWrapAfterTheSixth) {
    Fixture f;
    for (int u = 1; u <= 12; ++u)
        f.module.units[static_cast<std::size_t>(u)].name = "Infantry" + std::to_string(10 + u);
    Rec r;
    r.moveStart({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, 1, 1, 1, 2).cmd(248);
    const std::string text = f.move(r);
    const std::string first =
        " Infantry11, Infantry12, Infantry13, Infantry14, Infantry15, Infantry16";
    const std::string second =
        "Infantry17, Infantry18, Infantry19, Infantry20, Infantry21, Infantry22";
    EXPECT_EQ(text, first + "\r\n " + second + "\r\n From: 0101\r\n   To: 0102\r\n \r\n");
}

TEST(MoveReport, FacesPathsAndArgumentsInsideAMove) {
    Fixture f;
    Rec r;
    // set step 2 and hide ID with slot 0: their argument pairs are no hexes
    r.moveStart({1}, 1, 1, 1, 2).hex(1, 3).cmd(224).raw({1, 0}).hex(2, 4).cmd(221).raw({0, 0});
    r.hex(9, 9);  // off the map: not named
    r.cmd(245).cmd(246).cmd(248);
    EXPECT_EQ(f.move(r),
              " Unit 1\r\n From: 0101\r\n   To: 0204\r\n Via: 0102, 0103\r\n"
              " Units flipped face-down\r\n \r\n");
    Rec up;
    up.moveStart({1}, 1, 1, 1, 2).cmd(245).cmd(248);
    EXPECT_EQ(f.move(up),
              " Unit 1\r\n From: 0101\r\n   To: 0102\r\n Units flipped face-up\r\n \r\n");
}

TEST(MoveReport, CommentsFlipsCardsAndTheSaveMarker) {
    Fixture f;
    Rec r;
    r.comment("Line one\r\nLine two");
    r.cmd(254).raw({5, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}).cmd(249);  // encrypted: skipped
    r.cmd(238).raw({2, 6}).comment("Roll: 7");
    r.cmd(243).cmd(244);
    r.cmd(237).raw({0, 1, 0});     // Anna dealt from Events to Bert
    r.cmd(237).raw({22, 0, 1});    // Bert dealt from the location of slot 2 to Anna
    r.cmd(236).raw({0, 0, 1});     // Bert shows card 1 of deck 1
    r.cmd(235).raw({0, 1, 1, 0});  // Anna gave card 2 to Bert: Anna sees it
    r.cmd(232).raw({1});
    r.cmd(234).raw({0});
    r.cmd(233).raw({2, 0});
    r.cmd(231).raw({0, 0, 0});
    r.cmd(239).unit(1).unit(2).cmd(249);  // combat list: skipped
    r.cmd(253);
    const std::string cards =
        "Anna has dealt a card from deck Events to Bert\r\n \r\n"
        "Bert has dealt a card from deck Pile to Anna\r\n \r\n"
        "Bert has shown but kept the following card from his hand.\r\n \r\n"
        "-----\r\n Ambush!\r\nX\r\n -----\r\n \r\n"
        "Anna has given the following card from his hand to Bert\r\n \r\n"
        "-----\r\n \r\n -----\r\n \r\n"
        "Bert has returned a card from his hand back to the deck.\r\n \r\n"
        "Anna has discarded a card from his hand.\r\n \r\n"
        "Anna has placed a card at the following location: Pile\r\n \r\n"
        "Anna has replaced the following card from his hand back in the deck:\r\n \r\n"
        "-----\r\n Ambush!\r\nX\r\n -----\r\n \r\n";
    const std::string common =
        "Line one\r\n Line two\r\n\r\n"
        "Roll: 7\r\n\r\n"
        "Turn all units face-up.\r\n \r\n"
        "Turn all units face-down.\r\n \r\n" +
        cards;
    EXPECT_EQ(f.move(r), common + "A Save Game occurred at this point.\r\n \r\n");
    EXPECT_EQ(f.comments(r), common);

    // A watcher who neither gave nor received learns only that a card changed hands.
    f.state.currentSlot = kObserver;
    Rec give;
    give.cmd(235).raw({0, 1, 1, 0});
    EXPECT_EQ(f.comments(give), "Anna has given a card from his hand to Bert\r\n \r\n");
}

TEST(MoveReport, ARecordOfOnlyASaveMarker) {
    Fixture f;
    Rec r;
    r.cmd(253);
    EXPECT_EQ(f.move(r), "A Save Game occurred at this point.\r\n \r\n");
    EXPECT_EQ(f.comments(r), "");
}

TEST(MoveReport, CardTextsThatCannotBeReadRaiseMessage34) {
    Fixture f;
    ModuleFileCardTexts missing("/nonexistent/dir/module.qm4", 0);
    Rec r;
    r.cmd(236).raw({0, 0, 1}).cmd(231).raw({0, 1, 0});
    ReportBuild b = moveReport(r.b, f.module, f.state, f.options, missing);
    EXPECT_EQ(b.text,
              "Bert has shown but kept the following card from his hand.\r\n \r\n"
              "Anna has replaced the following card from his hand back in the deck:\r\n \r\n");
    EXPECT_EQ(b.messages, (std::vector<int>{34, 34}));
}

TEST(MoveReport, DamagedRecordsNeverOverrunOrReveal) {
    Fixture f;
    f.state.unit(2).setHiddenBy(1);
    // Units out of range, a repeated unit, a list broken off by a comment,
    // a move whose drop is missing, a pair cut in half.
    Rec r;
    r.moveStart({0, 999, 2}, 1, 1, 1, 2).cmd(248);
    r.cmd(241).unit(1).comment("after");
    r.moveStart({1, 1}, 1, 1, 1, 2).hex(200, 200).cmd(253);
    r.cmd(241).unit(1);
    r.raw({255});
    EXPECT_EQ(f.move(r),
              "A hidden stack moved.\r\n "
              "after\r\n\r\n"
              " Unit 1\r\n From: 0101\r\n   To: 0102\r\n \r\n"
              "A Save Game occurred at this point.\r\n \r\n"
              " Unit 1\r\n ");
    // A comment without its end keeps what is there.
    Rec open;
    open.cmd(242).text("no end");
    EXPECT_EQ(f.comments(open), "no end\r\n\r\n");
}

TEST(PositionsReport, LineFormatsSortingAndHiddenUnits) {
    Fixture f;
    hideUnitsFrom5(f.state);
    placeStack(f.state, {4, 2}, 2, 1);
    placeStack(f.state, {1}, 1, 2);
    placeStack(f.state, {3}, 3, 3);
    f.state.unit(3).setHiddenBy(1);
    f.state.unit(2).step = 1;
    f.state.unit(2).facing = Facing::kShown | 8;
    f.state.unit(4).facing = 8;  // indicator off: no facing part

    EXPECT_EQ(positionsReport(f.module, f.state, f.options, false),
              "Unit 1        0102\r\n Unit 2        0201\r\n Unit 4        0201\r\n ");
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, true),
              "Unit 4   0201\r\n Unit 2   0201\r\n Unit 1   0102\r\n ");

    f.options.includeStep = true;
    f.options.includeFacing = true;
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, true),
              "Unit 4 (Step: 0)0201\r\n Unit 2 (Step: 1) (Corner: 4)0201\r\n"
              " Unit 1 (Step: 0)0102\r\n ");

    // Bert's unit: shown only to Bert or the game master with "Show Hidden Units".
    f.options = {};
    f.options.showHidden = true;
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, true),
              "Unit 4   0201\r\n Unit 2   0201\r\n Unit 1   0102\r\n ");
    f.state.currentSlot = 1;
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, true),
              "Unit 4   0201\r\n Unit 2   0201\r\n Unit 1   0102\r\n Unit 3   0303\r\n ");
    f.state.unit(3).set(UnitFlags::kIdHidden);
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, false),
              "Unit 1        0102\r\n Unit 2        0201\r\n ????????          0303\r\n"
              " Unit 4        0201\r\n ");

    // A unit on no hex is listed with an empty hex name in unit-number order
    // and not at all hex by hex.
    f.state.unit(40).setHiddenBy(kNotHidden);
    f.state.unit(3).setHiddenBy(kNotHidden);
    f.state.unit(3).clear(UnitFlags::kIdHidden);
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, false),
              "Unit 1        0102\r\n Unit 2        0201\r\n Unit 3        0303\r\n"
              " Unit 4        0201\r\n Unit 40        \r\n ");
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, true),
              "Unit 4   0201\r\n Unit 2   0201\r\n Unit 1   0102\r\n Unit 3   0303\r\n ");
}

TEST(PositionsReport, ALineLongerThanTheLineBufferIsWrittenWhole) {
    Fixture f;
    hideUnitsFrom5(f.state);
    for (int u = 2; u <= 4; ++u) f.state.unit(u).setHiddenBy(7);
    const std::string name(36, 'N');
    const std::string hex = "Hex with a name of 32 characters";
    f.module.units[1].name = name;
    f.module.hexes[f.module.hexIndex(2, 2)].name = hex;
    placeStack(f.state, {1}, 2, 2);
    f.state.unit(1).facing = Facing::kShown | 32;
    f.options.includeStep = true;
    f.options.includeFacing = true;
    const std::string line = name + " (Step: 0) (Corner: 6)" + hex;
    EXPECT_GT(line.size(), ReportText::kLineBuffer);
    EXPECT_EQ(positionsReport(f.module, f.state, f.options, false), line + "\r\n ");
}

TEST(PositionsReport, FacingPartNamesTheDirection) {
    EXPECT_EQ(facingPart(Facing::kShown | 1), " (Corner: 1)");
    EXPECT_EQ(facingPart(Facing::kShown | Facing::kCorner | 32), " (Corner: 6)");
    EXPECT_EQ(facingPart(Facing::kShown), "");
    EXPECT_EQ(facingPart(16), "");
}

TEST(ReportCommand, RefusalsSortSwitchNameRuleAndFiles) {
    Fixture f;
    ScriptedPrompts prompts;
    f.state.carriedStack = 1;
    EXPECT_FALSE(beginTextReport(ReportKind::Move, f.state, f.options, prompts));
    f.state.carriedStack = 0;
    f.state.gameMode = GameMode::Combat;
    EXPECT_FALSE(beginTextReport(ReportKind::Positions, f.state, f.options, prompts));
    EXPECT_EQ(prompts.messages, (std::vector<int>{16, 16}));
    f.state.gameMode = GameMode::Movement;
    hideUnitsFrom5(f.state);
    f.state.unit(3).setHiddenBy(7);

    // "Sorted Positions" leaves the sort option on: a later "Positions" is sorted too.
    placeStack(f.state, {4, 2}, 2, 1);
    placeStack(f.state, {1}, 1, 2);
    EXPECT_TRUE(beginTextReport(ReportKind::SortedPositions, f.state, f.options, prompts));
    EXPECT_TRUE(f.options.sortByPosition);
    EXPECT_TRUE(beginTextReport(ReportKind::Positions, f.state, f.options, prompts));
    EXPECT_TRUE(f.options.sortByPosition);

    EXPECT_EQ(reportFileName("turn3"), "turn3.txt");
    EXPECT_EQ(reportFileName("turn3.doc"), "turn3.txt");
    EXPECT_EQ(reportFileName("turn3.TxT"), "turn3.TxT");

    const test::TempFolder folder("qmx_report_test");
    const std::string dir = folder.path().string();
    const std::string path = dir + "/positions.txt";
    EXPECT_EQ(finishTextReport(ReportKind::Positions, dir + "/positions", std::nullopt, f.module,
                               f.state, f.options, f.cards, prompts),
              ReportOutcome::Written);
    EXPECT_EQ(fileText(path), "Unit 4   0201\r\n Unit 2   0201\r\n Unit 1   0102\r\n ");

    // An existing file: No leaves it untouched; Yes replaces it.
    prompts.yesNo = {false, true};
    f.options.sortByPosition = false;
    EXPECT_EQ(finishTextReport(ReportKind::Positions, path, std::nullopt, f.module, f.state,
                               f.options, f.cards, prompts),
              ReportOutcome::Declined);
    EXPECT_EQ(fileText(path), "Unit 4   0201\r\n Unit 2   0201\r\n Unit 1   0102\r\n ");
    EXPECT_EQ(finishTextReport(ReportKind::Positions, path, std::nullopt, f.module, f.state,
                               f.options, f.cards, prompts),
              ReportOutcome::Written);
    EXPECT_EQ(fileText(path),
              "Unit 1        0102\r\n Unit 2        0201\r\n Unit 4        0201\r\n ");
    ASSERT_EQ(prompts.questions.size(), 2u);
    EXPECT_EQ(prompts.questions[0],
              "WARNING: This file already exists!  Do you wish to overwrite it?");

    // A replay report without a record: message 6 and no file.
    prompts.messages.clear();
    EXPECT_EQ(finishTextReport(ReportKind::Move, dir + "/move.txt", std::nullopt, f.module, f.state,
                               f.options, f.cards, prompts),
              ReportOutcome::NothingToReplay);
    EXPECT_EQ(prompts.messages, (std::vector<int>{6}));
    EXPECT_FALSE(std::filesystem::exists(dir + "/move.txt"));

    // A folder that does not exist: message 4.
    prompts.messages.clear();
    EXPECT_EQ(finishTextReport(ReportKind::CommentsOnly, dir + "/none/c.txt", Bytes{}, f.module,
                               f.state, f.options, f.cards, prompts),
              ReportOutcome::CouldNotWrite);
    EXPECT_EQ(prompts.messages, (std::vector<int>{4}));
}
