// Watching a replay through the session's replay control: the command
// states of a running replay, the pacing (at once, timer, key), the boxes
// in their order, Reset Recorder and the four text reports from the menu.
// Records are written by hand.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/session/ReplayControl.h"
#include "core/settings/Settings.h"
#include "tests/support/ReplayTestSupport.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;
using test::Rec;

class ReplayControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = std::make_unique<ReplayFile>((m_folder / "record.tmp").string());
        settings = std::make_unique<Settings>((m_folder / "QMX.ini").string());
        recorder = std::make_unique<ReplayRecorder>(*file, game, prompts);
        session = std::make_unique<PlayerSession>(
            module, game, *recorder, *file, prompts, *settings, random,
            SessionFiles{m_folder.slashed(), "Battle", m_folder.slashed()});
        control = std::make_unique<ReplayControl>(*session, module, game, *recorder, *file, prompts,
                                                  *settings, cards);
        test::clearBoard(game);
        test::twoPlayers(game);
        test::placeStack(game, {3, 4}, 2, 2);
        test::placeStack(game, {7}, 5, 5);
    }

    void writeRecord(const Rec& r) { ASSERT_TRUE(file->replace(r.b)); }
    // The record of a move of units 3 and 4 from (2, 2) by way of (3, 2) to (4, 2).
    static Rec move() {
        Rec r;
        r.moveStart({3, 4}, 2, 2, 3, 2).hex(4, 2).cmd(248);
        return r;
    }
    // Plays on until the next step a person (or the timer) must trigger.
    ReplayStep playOn(ReplayStep s) {
        while (control->playsOnAtOnce(s)) {
            control->showBoxes(s.event);
            s = control->next();
        }
        control->showBoxes(s.event);
        return s;
    }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }
    std::string fileText(const std::string& name) const {
        const auto bytes = readWholeFile(path(name));
        return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(none)");
    }

    Module module = test::smallModule();
    GameState game{module};
    ScriptedPrompts prompts;
    Random random;
    ModuleCardTexts cards{module};
    const test::TempFolder m_folder{"qmx-replay-control"};
    std::unique_ptr<ReplayFile> file;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<ReplayRecorder> recorder;
    std::unique_ptr<PlayerSession> session;
    std::unique_ptr<ReplayControl> control;
};

// ---- starting, the states of a running replay, the end ------------------------------

TEST_F(ReplayControlTest, WithoutRecordNothingToReplayAndNothingChanges) {
    const auto before = session->states().bytes();
    const ReplayStep s = control->stepReplay();
    control->showBoxes(s.event);
    EXPECT_EQ(s.event.kind, ReplayEventKind::NothingToReplay);
    EXPECT_EQ(prompts.messages, (std::vector<int>{msg::kNothingToReplay}));
    EXPECT_FALSE(control->active());
    EXPECT_FALSE(session->replayRunning());
    EXPECT_EQ(session->states().bytes(), before);
    EXPECT_FALSE(control->nextDelayMs());
}

TEST_F(ReplayControlTest, ARunningReplayLocksEveryCommandThatChangesTheGame) {
    writeRecord(move());
    session->states().apply(ControlCode::CardsNotUsed, commandContext(game));
    const auto before = session->states().bytes();
    ASSERT_EQ(control->stepReplay().event.kind, ReplayEventKind::Started);
    EXPECT_TRUE(session->replayRunning());
    EXPECT_TRUE(recorder->playing());
    const CommandStates& st = session->states();
    for (Command c : {Command::Load, Command::Save, Command::ResetRecorder, Command::ThrowDice,
                      Command::Comment, Command::StepIncrease, Command::HideUnits})
        EXPECT_EQ(st.state(c), state::kDisabled) << static_cast<int>(c);
    EXPECT_EQ(st.state(Command::DealCard), state::kHidden);  // hidden stays hidden
    for (Command c : {Command::StepReplay, Command::ContinuousReplay, Command::PauseReplay,
                      Command::StopReplay})
        EXPECT_TRUE(st.enabled(c));

    // The move start: units 3 and 4 are the replay's carried stack now.
    ASSERT_EQ(control->stepReplay().event.kind, ReplayEventKind::MoveStart);
    ASSERT_TRUE(game.holdingUnits());
    // Nothing the person does reaches the game or the record.
    EXPECT_FALSE(session->doubleClick({5, 5}).ran);
    EXPECT_FALSE(session->unitCommand(UnitCommand::FacingOn).ran);
    EXPECT_FALSE(session->flipAll(true).ran);
    EXPECT_FALSE(session->clearFlags(true).ran);
    EXPECT_EQ(game.unit(3).facing, 0);
    EXPECT_FALSE(control->resetRecorder().ran);
    EXPECT_EQ(file->read(), move().b);

    // Two path steps, the drop, the end: states as before, the saved game back.
    EXPECT_EQ(control->stepReplay().event.kind, ReplayEventKind::PathStep);
    EXPECT_EQ(control->stepReplay().event.kind, ReplayEventKind::PathStep);
    EXPECT_EQ(control->stepReplay().event.kind, ReplayEventKind::Drop);
    const ReplayStep end = control->stepReplay();
    EXPECT_EQ(end.event.kind, ReplayEventKind::End);
    EXPECT_TRUE(end.change.states);
    EXPECT_FALSE(control->active());
    EXPECT_FALSE(session->replayRunning());
    EXPECT_FALSE(recorder->playing());
    EXPECT_EQ(session->states().bytes(), before);
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{3, 4}));
    control->showBoxes(end.event);
    EXPECT_TRUE(prompts.showedText("End of Replay"));
}

TEST_F(ReplayControlTest, StopInTheMiddleOfAMoveRestoresEveryUnitAndTheStates) {
    // The saved game has the stack on (4, 2) already; the record starts at (2, 2).
    game.unit(3).column = game.unit(4).column = 4;
    game.setStackHead(2, 2, 0);
    game.setStackHead(4, 2, 3);
    const GameState saved = game;
    const auto before = session->states().bytes();
    writeRecord(move());
    control->stepReplay();
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{3, 4}));  // the start position
    control->stepReplay();
    control->stepReplay();  // on (3, 2)
    const ReplayStep stop = control->stopReplay();
    EXPECT_EQ(stop.event.kind, ReplayEventKind::End);
    for (int u = 1; u <= game.unitCount(); ++u) {
        const UnitState& a = game.unit(u);
        const UnitState& b = saved.unit(u);
        EXPECT_EQ(std::tuple(a.column, a.row, a.stackLink, a.facing, a.step, a.hidden, a.flags),
                  std::tuple(b.column, b.row, b.stackLink, b.facing, b.step, b.hidden, b.flags))
            << u;
    }
    EXPECT_EQ(game.stackAt(4, 2), (std::vector<int>{3, 4}));
    EXPECT_EQ(game.stackHead(2, 2), 0);
    EXPECT_FALSE(game.holdingUnits());
    EXPECT_EQ(session->states().bytes(), before);
    EXPECT_FALSE(control->stopReplay().played);  // not active any more
}

// ---- pacing -------------------------------------------------------------------------

TEST_F(ReplayControlTest, AHideEntryInStepModeShowsItsBoxAndPlaysOnWithoutAKey) {
    Rec r;
    r.moveStart({7}, 5, 5, 5, 4).cmd(223).raw({0, 0}).hex(5, 3).cmd(248).comment("Done");
    writeRecord(r);
    control->stepReplay();
    EXPECT_EQ(control->stepReplay().event.kind, ReplayEventKind::MoveStart);
    EXPECT_EQ(control->stepReplay().event.kind, ReplayEventKind::PathStep);
    const ReplayStep hide = control->stepReplay();
    ASSERT_EQ(hide.event.kind, ReplayEventKind::UnitCommand);
    EXPECT_TRUE(control->playsOnAtOnce(hide));
    control->showBoxes(hide.event);
    EXPECT_EQ(prompts.texts.back(), "Replay: These units have been hidden");
    // Anna hid them herself: the rest of the move is seen, one key per hex.
    const ReplayStep path = control->next();
    EXPECT_EQ(path.event.kind, ReplayEventKind::PathStep);
    EXPECT_FALSE(control->playsOnAtOnce(path));
    EXPECT_EQ(control->stepReplay().event.kind, ReplayEventKind::Drop);
    const ReplayStep comment = control->stepReplay();
    EXPECT_FALSE(control->playsOnAtOnce(comment));  // the player reads, then goes on
}

TEST_F(ReplayControlTest, AHiddenMoveCostsNoKeyPerHexInEitherModeAndEndsWithItsMessage) {
    game.unit(7).setHiddenBy(1);  // Bert's hidden unit
    game.unit(7).setStartHiddenBy(1);
    Rec r;
    r.moveStart({7}, 5, 5, 5, 4).hex(5, 3).hex(5, 2).cmd(248).cmd(253);
    writeRecord(r);
    settings->preferences();
    ASSERT_EQ(control->continuousReplay().event.kind, ReplayEventKind::Started);
    EXPECT_EQ(control->nextDelayMs(), std::optional<int>(200));  // "Replay Delay" 20
    ReplayStep s = control->next();
    int steps = 0;
    while (control->playsOnAtOnce(s)) {
        ++steps;
        s = control->next();
    }
    EXPECT_EQ(steps, 4);  // move start and three hexes, all at once
    EXPECT_EQ(s.event.kind, ReplayEventKind::Drop);
    control->showBoxes(s.event);
    EXPECT_EQ(prompts.texts.back(), "Replay: Hidden units have just moved.");
    // In continuous mode the save marker's box is followed by the timer, in
    // step mode by the next entry at once.
    const ReplayStep marker = control->next();
    EXPECT_EQ(marker.event.kind, ReplayEventKind::SaveMarker);
    EXPECT_FALSE(control->playsOnAtOnce(marker));
    EXPECT_TRUE(control->nextDelayMs());
    control->pauseReplay();
    EXPECT_TRUE(control->playsOnAtOnce(marker));
    EXPECT_FALSE(control->nextDelayMs());
    EXPECT_FALSE(control->continuous());
}

TEST_F(ReplayControlTest, TheDelayComesFromThePreferencesAndTheCommentFromTheReadback) {
    Preferences p = settings->preferences();
    p.replayDelay = 7;
    p.largeFontComments = true;
    settings->setPreferences(p);
    Rec r;
    r.cmd(239).unit(3).cmd(249).cmd(238).raw({2, 6}).comment("Roll 5").comment("Next");
    writeRecord(r);
    control->continuousReplay();
    EXPECT_EQ(control->nextDelayMs(), std::optional<int>(70));
    const ReplayStep combat = control->next();
    EXPECT_TRUE(control->playback().combatHighlight());
    EXPECT_FALSE(control->showBoxes(combat.event).repaint);
    const ReplayStep result = control->next();
    EXPECT_EQ(result.event.status, std::optional<std::string>("Roll: 2 die,6 sides."));
    const ReplayStep comment = control->next();
    EXPECT_TRUE(control->showBoxes(comment.event).repaint);  // the highlight ends with it
    EXPECT_FALSE(control->playback().combatHighlight());
    EXPECT_EQ(prompts.readbacks, (std::vector<std::pair<std::string, bool>>{{"Roll 5", true}}));
    EXPECT_EQ(comment.event.status, std::optional<std::string>("Comment"));
    // Space plays the next entry; the mode stays.
    playOn(control->next());
    EXPECT_EQ(prompts.readbacks.back().first, "Next");
    EXPECT_TRUE(control->continuous());
    EXPECT_EQ(control->next().event.kind, ReplayEventKind::End);
    EXPECT_FALSE(control->continuous());
}

// ---- the timeline --------------------------------------------------------------------

TEST_F(ReplayControlTest, StepBackHomeAndEndShowTheBoardAsItStoodAndShowNothingAgain) {
    Rec r = move();
    r.comment("Mine").cmd(253);
    writeRecord(r);
    control->stepReplay();
    for (int i = 0; i < 4; ++i) control->showBoxes(control->stepReplay().event);  // to the drop
    ASSERT_EQ(game.stackAt(4, 2), (std::vector<int>{3, 4}));
    prompts.clear();

    ReplayStep back = control->stepBack();  // before the drop: carried on (4, 2)
    EXPECT_EQ(control->played(), 3u);
    EXPECT_TRUE(game.holdingUnits());
    EXPECT_EQ(back.event.kind, ReplayEventKind::MoveStart);
    EXPECT_EQ(back.event.from, (Hex{4, 2}));
    EXPECT_EQ(back.event.shownUnit, 3);
    EXPECT_TRUE(back.change.repaint);
    back = control->stepBack();
    EXPECT_EQ(back.event.from, (Hex{3, 2}));
    // Forward again from there.
    EXPECT_EQ(control->stepReplay().event.to, (Hex{4, 2}));

    EXPECT_EQ(control->jumpToStart().event.kind, ReplayEventKind::Started);
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{3, 4}));
    EXPECT_FALSE(game.holdingUnits());
    EXPECT_EQ(control->played(), 0u);

    // The end: after the last entry, the save marker; the next trigger ends.
    control->jumpToEnd();
    EXPECT_EQ(control->played(), 6u);
    EXPECT_EQ(game.stackAt(4, 2), (std::vector<int>{3, 4}));
    EXPECT_TRUE(control->active());
    EXPECT_TRUE(prompts.shown.empty());  // no box, no comment display on the way
    EXPECT_TRUE(prompts.readbacks.empty());
    EXPECT_EQ(file->read(), r.b);
    EXPECT_TRUE(recorder->playing());
    const ReplayStep end = control->next();
    EXPECT_EQ(end.event.kind, ReplayEventKind::End);
    EXPECT_EQ(end.change.status, std::string());  // the status text goes with the replay
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{3, 4}));
    EXPECT_FALSE(control->stepBack().played);  // nothing runs
}

TEST_F(ReplayControlTest, AHiddenMoveIsOneStepBackAndAnEncryptedCommentAsksNothing) {
    game.unit(7).setHiddenBy(1);
    game.unit(7).setStartHiddenBy(1);
    Rec r;
    r.moveStart({7}, 5, 5, 5, 4).hex(5, 3).hex(5, 2).cmd(248);
    writeRecord(r);
    ASSERT_TRUE(recorder->recordEncryptedComment("Sealed", "pw", random));
    const auto recorded = file->read();
    control->stepReplay();
    ReplayStep s = control->stepReplay();
    while (control->playsOnAtOnce(s)) s = control->next();
    ASSERT_EQ(s.event.kind, ReplayEventKind::Drop);
    prompts.answers = {std::string("pw")};
    s = control->stepReplay();
    control->showBoxes(s.event);
    EXPECT_EQ(prompts.readbacks.back().first, "Sealed");
    const std::size_t asked = prompts.asked.size();

    control->stepBack();  // to after the hidden drop
    EXPECT_EQ(control->played(), 5u);
    EXPECT_FALSE(game.holdingUnits());
    EXPECT_EQ(control->stepBack().event.kind, ReplayEventKind::Started);  // the whole move
    EXPECT_EQ(control->played(), 0u);
    control->jumpToEnd();
    EXPECT_EQ(prompts.asked.size(), asked);  // no password asked on the way
    EXPECT_EQ(file->read(), recorded);
}

TEST_F(ReplayControlTest, TheReplayListHasALinePerEntryAndOneForAWholeHiddenMove) {
    game.unit(7).setHiddenBy(1);
    game.unit(7).setStartHiddenBy(1);
    Rec r = move();
    r.moveStart({7}, 5, 5, 5, 4).hex(5, 3).cmd(248);
    r.cmd(239).unit(3).unit(7).cmd(249).comment("Att 5\r\nDef 1");
    writeRecord(r);
    control->stepReplay();
    std::vector<std::string> texts;
    std::vector<std::size_t> entries;
    for (const auto& line : control->timeline()) {
        texts.push_back(line.text + (line.marked ? " *" : ""));
        entries.push_back(line.entries);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "move: Unit 3, Unit 4 leave 0202",
                         "  step: 0202 -> 0302",
                         "  step: 0302 -> 0402",
                         "drop: Unit 3, Unit 4 at 0402",
                         "move: hidden",
                         "combat: Unit 3 at 0402 *",  // Bert's unit is not named
                         "comment: Att 5 *",
                     }));
    EXPECT_EQ(entries, (std::vector<std::size_t>{1, 2, 3, 4, 8, 9, 10}));
    EXPECT_EQ(control->timelineRow(), -1);
    // The silent pass played nothing that shows: the board is at the start.
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(game.stackAt(2, 2), (std::vector<int>{3, 4}));
    EXPECT_EQ(control->played(), 0u);
    control->stepReplay();
    control->stepReplay();
    EXPECT_EQ(control->timelineRow(), 1);
    control->jumpTo(8);
    EXPECT_EQ(control->timelineRow(), 4);
}

// ---- Reset Recorder ----------------------------------------------------------------------

TEST_F(ReplayControlTest, ResetRecorderAsksThenErasesAndNothingIsLeftToReplay) {
    writeRecord(move());
    // Refused while units are carried.
    session->doubleClick({5, 5});
    ASSERT_TRUE(game.holdingUnits());
    session->states().setState(Command::ResetRecorder, state::kEnabled);
    control->resetRecorder();
    EXPECT_EQ(prompts.messages, (std::vector<int>{msg::kNotAvailableNow}));
    session->doubleClick({5, 5});
    ASSERT_FALSE(game.holdingUnits());
    *file = ReplayFile(file->path());
    writeRecord(move());

    prompts.clear();
    control->resetRecorder();  // No
    EXPECT_EQ(prompts.questions,
              (std::vector<std::string>{"WARNING: This will erase the playback record up to "
                                        "this point. Are you sure you want to do this?"}));
    EXPECT_TRUE(file->exists());

    game.unit(7).column = 6;  // the current state becomes the start
    game.setStackHead(5, 5, 0);
    game.setStackHead(6, 5, 7);
    prompts.yesNo = {true};
    EXPECT_TRUE(control->resetRecorder().ran);
    EXPECT_FALSE(file->exists());
    EXPECT_EQ(game.unit(7).startColumn, 6);

    prompts.clear();
    control->showBoxes(control->stepReplay().event);
    EXPECT_EQ(prompts.messages, (std::vector<int>{msg::kNothingToReplay}));
}

// ---- the text reports ------------------------------------------------------------------

TEST_F(ReplayControlTest, TheMoveReportGoesThroughTheOptionsAndTheFileDialog) {
    writeRecord(move());
    prompts.reportOptionClicks = [](ReportOptions& o) { o.reportHidden = true; };
    prompts.files = {path("move")};
    EXPECT_TRUE(control->textReport(ReportKind::Move).ran);
    EXPECT_EQ(prompts.reportOptionDialogs, 1);
    EXPECT_TRUE(control->reportOptions().reportHidden);
    EXPECT_EQ(prompts.filters.back(), (std::vector<FileFilter>{{"Text file(*.txt)", "*.txt"}}));
    EXPECT_EQ(prompts.fileDialogs.back(), "save " + m_folder.slashed() + " ");
    // The names of the small module's hexes are "0202"-style.
    EXPECT_EQ(fileText("move.txt"),
              " Unit 3, Unit 4\r\n From: 0202\r\n   To: 0402\r\n Via: 0302\r\n \r\n");

    // The file exists now: No keeps it.
    prompts.files = {path("move.txt")};
    writeRecord(Rec{}.cmd(253));
    control->textReport(ReportKind::Move);
    EXPECT_EQ(prompts.questions.back(),
              "WARNING: This file already exists!  Do you wish to overwrite it?");
    EXPECT_NE(fileText("move.txt").find("Unit 3"), std::string::npos);
}

TEST_F(ReplayControlTest, ReportsAreRefusedWhileCarryingOrReplayingAndNeedARecord) {
    session->doubleClick({5, 5});
    control->textReport(ReportKind::Positions);
    EXPECT_EQ(prompts.messages, (std::vector<int>{msg::kNotInCombatOrCarrying}));
    EXPECT_EQ(prompts.reportOptionDialogs, 0);
    session->doubleClick({5, 5});

    // No record (the put-down above wrote a drop): message 6 and no file.
    file->remove();
    prompts.clear();
    prompts.files = {path("comments.txt")};
    control->textReport(ReportKind::CommentsOnly);
    EXPECT_EQ(prompts.messages, (std::vector<int>{msg::kNothingToReplay}));
    EXPECT_FALSE(fs::exists(path("comments.txt")));

    // Sorted Positions leaves the sort option on.
    prompts.files = {path("sorted.txt")};
    control->textReport(ReportKind::SortedPositions);
    EXPECT_TRUE(control->reportOptions().sortByPosition);
    EXPECT_TRUE(fs::exists(path("sorted.txt")));

    writeRecord(move());
    control->stepReplay();
    prompts.clear();
    control->textReport(ReportKind::Positions);
    EXPECT_EQ(prompts.messages, (std::vector<int>{msg::kNotInCombatOrCarrying}));
}

}  // namespace
}  // namespace qmx
