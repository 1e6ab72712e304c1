// The player's commands run whole in the core: carrying, the commands on
// carried units, Undo, the file commands with the players' steps, comments
// and the autosave. Record bytes are written out by hand.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/module/Random.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/settings/Settings.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/SessionMachine.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;

// Ten units on a 6 x 5 map; every unit has pictures for steps 0, 1 and 2.
Module testModule() {
    Module m = Module::createEmpty(6, 5, GridOrientation::RowsAligned, 10);
    m.moduleId = {7, 8, 9};
    for (int u = 1; u <= m.unitCount; ++u) {
        m.units[static_cast<std::size_t>(u)].stepImage = {1, 2, 3, 0, 0, 0};
    }
    return m;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("qmx-session-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        blue = std::make_unique<Machine>(module, m_folder);
    }
    void TearDown() override {
        blue.reset();
        fs::remove_all(m_folder);
    }

    // Puts `units` on `hex` as one stack, first on top.
    static void stack(GameState& g, Hex hex, std::vector<int> units) {
        for (std::size_t i = 0; i < units.size(); ++i) {
            UnitState& u = g.unit(units[i]);
            std::vector<int> rest = g.stackAt(1, 1);
            std::erase(rest, units[i]);
            g.setStackHead(1, 1, rest.empty() ? 0 : static_cast<std::uint16_t>(rest.front()));
            for (std::size_t k = 0; k < rest.size(); ++k)
                g.unit(rest[k]).stackLink =
                    k + 1 < rest.size() ? static_cast<std::uint16_t>(rest[k + 1]) : 0;
            u.column = u.startColumn = static_cast<std::uint8_t>(hex.column);
            u.row = u.startRow = static_cast<std::uint8_t>(hex.row);
            u.stackLink = i + 1 < units.size() ? static_cast<std::uint16_t>(units[i + 1]) : 0;
        }
        g.setStackHead(hex.column, hex.row, static_cast<std::uint16_t>(units.front()));
    }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    const Module module = testModule();
    fs::path m_folder;
    std::unique_ptr<Machine> blue;
};

// ---- carrying ----------------------------------------------------------------------

TEST_F(SessionTest, PickUpAndPutDownOnTheSameHexRecordsOnlyTheDrop) {
    PlayerSession& s = blue->session;
    stack(blue->game, {2, 2}, {3, 4});
    s.click({2, 2});
    const Change up = s.doubleClick({2, 2});
    EXPECT_TRUE(up.ran);
    EXPECT_EQ(blue->game.carriedStack, 3);
    EXPECT_EQ(blue->game.stackHead(2, 2), 0);
    EXPECT_FALSE(s.states().enabled(Command::Save));
    EXPECT_FALSE(s.states().enabled(Command::Load));
    EXPECT_TRUE(s.states().enabled(Command::StepIncrease));
    s.click({2, 2});
    s.doubleClick({2, 2});
    EXPECT_EQ(blue->record(), (Bytes{255, 248}));
    EXPECT_EQ(blue->game.stackAt(2, 2), (std::vector<int>{3, 4}));
    EXPECT_FALSE(blue->game.holdingUnits());
    EXPECT_FALSE(blue->game.unit(3).has(UnitFlags::kMoved));
    EXPECT_TRUE(s.states().enabled(Command::Save));
}

TEST_F(SessionTest, CarryingRecordsTheMoveStartThenEveryClickAndDropsOnTop) {
    PlayerSession& s = blue->session;
    stack(blue->game, {2, 2}, {3, 4});
    stack(blue->game, {4, 3}, {7});
    s.click({2, 2});
    s.doubleClick({2, 2});
    s.click({3, 2});
    s.click({4, 3});
    s.click({4, 3});  // once the move is recorded, every click is a path hex
    s.doubleClick({4, 3});
    EXPECT_EQ(blue->record(), (Bytes{255, 241, 0, 3, 0, 4, 255, 247, 2, 2, 3, 2,  // move start
                                     4, 3, 4, 3,                                  // path
                                     255, 248}));
    EXPECT_EQ(blue->game.stackAt(4, 3), (std::vector<int>{3, 4, 7}));
    EXPECT_EQ(blue->game.stackHead(2, 2), 0);
    for (int u : {3, 4}) {
        EXPECT_EQ(blue->game.unit(u).column, 4);
        EXPECT_EQ(blue->game.unit(u).row, 3);
        EXPECT_TRUE(blue->game.unit(u).has(UnitFlags::kMoved));
        EXPECT_FALSE(blue->game.unit(u).has(UnitFlags::kLinkSaved));
        EXPECT_EQ(blue->game.unit(u).savedLink, 0);
    }
    EXPECT_FALSE(blue->game.moveSaved);
}

TEST_F(SessionTest, AHiddenMiddleUnitStaysBehindAndIsNeverNamed) {
    GameState& g = blue->game;
    stack(g, {2, 2}, {3, 4, 5});
    g.identifyProgress = kPlayersComplete;
    g.currentSlot = 0;
    g.unit(4).setHiddenBy(1);  // hidden by the opponent
    blue->session.doubleClick({2, 2});
    EXPECT_EQ(g.chain(g.carriedStack), (std::vector<int>{3, 5}));
    EXPECT_EQ(g.stackAt(2, 2), (std::vector<int>{4}));
    blue->session.click({3, 3});
    EXPECT_EQ(blue->record(), (Bytes{255, 241, 0, 3, 0, 5, 255, 247, 2, 2, 3, 3}));

    // A hex with only concealed units: nothing is carried, nothing changes.
    blue->session.doubleClick({3, 3});
    const Bytes before = blue->record();
    EXPECT_FALSE(blue->session.doubleClick({2, 2}).ran);
    EXPECT_FALSE(g.holdingUnits());
    EXPECT_EQ(g.stackAt(2, 2), (std::vector<int>{4}));
    EXPECT_EQ(blue->record(), before);
}

TEST_F(SessionTest, UnitCommandsRecordThePendingMoveStartFirst) {
    GameState& g = blue->game;
    PlayerSession& s = blue->session;
    stack(g, {2, 2}, {3, 4});
    s.click({2, 2});
    s.doubleClick({2, 2});
    s.stepKey(4);  // images for 0, 1, 2 only: step 2
    EXPECT_EQ(g.unit(3).step, 2);
    EXPECT_EQ(blue->record(), (Bytes{255, 241, 0, 3, 0,   4,   255, 247, 2, 2, 2, 2,  //
                                     255, 224, 3, 0, 255, 224, 3,   0}));
    // Step decrease at the last step with a picture: unchanged, recorded.
    s.unitCommand(UnitCommand::StepDecrease);
    EXPECT_EQ(g.unit(3).step, 2);
    s.unitCommand(UnitCommand::StepIncrease);
    EXPECT_EQ(g.unit(3).step, 1);
    s.unitCommand(UnitCommand::FacingOn);
    s.unitCommand(UnitCommand::RotateRight);
    EXPECT_EQ(g.unit(3).facing, Facing::kShown | 2);
    const Bytes all = blue->record();
    const Bytes tail(all.begin() + 20, all.end());
    EXPECT_EQ(tail, (Bytes{255, 219, 255, 220, 255, 230, 255, 225}));

    // The hide commands need an identified player; without one they do nothing.
    const std::size_t size = blue->record().size();
    EXPECT_FALSE(s.unitCommand(UnitCommand::HideUnits).ran);
    EXPECT_EQ(blue->record().size(), size);
}

TEST_F(SessionTest, FlipsAreRecordedAtTheDropFaceUpFirst) {
    GameState& g = blue->game;
    PlayerSession& s = blue->session;
    stack(g, {2, 2}, {3});
    g.unit(3).step = 1;
    s.doubleClick({2, 2});
    s.click({3, 2});
    s.faceDownKey();
    s.faceUpKey();
    EXPECT_EQ(g.unit(3).step, 0);
    s.doubleClick({3, 2});
    const Bytes r = blue->record();
    EXPECT_EQ(Bytes(r.end() - 6, r.end()), (Bytes{255, 245, 255, 246, 255, 248}));
}

TEST_F(SessionTest, HidingIsRecordedWithTheSlot) {
    GameState& g = blue->game;
    PlayerSession& s = blue->session;
    g.identifyProgress = kPlayersComplete;
    g.currentSlot = 1;
    stack(g, {2, 2}, {3});
    s.doubleClick({2, 2});
    EXPECT_TRUE(s.states().enabled(Command::HideUnits));
    s.unitCommand(UnitCommand::HideUnits);
    EXPECT_EQ(g.unit(3).hiddenBy(), 1);
    s.unitCommand(UnitCommand::UnhideUnits);
    s.unitCommand(UnitCommand::HideUnitId);
    EXPECT_TRUE(g.unit(3).has(UnitFlags::kIdHidden));
    EXPECT_EQ(blue->record(), (Bytes{255, 241, 0, 3, 255, 247, 2,   2,   2, 2,  //
                                     255, 223, 1, 0, 255, 222, 255, 221, 1, 0}));
    // Prompt 12 came with Hide Unit ID.
    ASSERT_EQ(blue->prompts.prompts.size(), 1u);
}

TEST_F(SessionTest, CombatModeRefusesAMapHexWithMessage9) {
    GameState& g = blue->game;
    stack(g, {2, 2}, {3});
    g.gameMode = GameMode::Combat;
    blue->session.doubleClick({2, 2});
    blue->session.doubleClick({3, 3});
    EXPECT_TRUE(blue->prompts.showedMessage(9));
    EXPECT_TRUE(g.holdingUnits());
    // Its own hex: put back and picked up again.
    blue->session.doubleClick({2, 2});
    EXPECT_EQ(g.carriedStack, 3);
    EXPECT_EQ(blue->record(), Bytes{});
    // Resolve Declared Combat: no picking up at all.
    g.combatMode = 4;
    EXPECT_FALSE(blue->session.doubleClick({2, 2}).ran);
}

TEST_F(SessionTest, UndoTakesEveryUnitBackToItsStartHexOnePassEach) {
    GameState& g = blue->game;
    PlayerSession& s = blue->session;
    stack(g, {2, 2}, {3, 4});
    stack(g, {5, 4}, {6});
    // Move 3 and 4 to (5, 4) onto 6, then carry all three away.
    s.doubleClick({2, 2});
    s.click({5, 4});
    s.doubleClick({5, 4});
    s.doubleClick({5, 4});
    s.click({6, 5});
    const std::size_t before = blue->record().size();
    ASSERT_EQ(g.chain(g.carriedStack), (std::vector<int>{3, 4, 6}));
    int passes = 0;
    while (s.undoPending()) {
        const Hex target = s.undoTarget();
        EXPECT_TRUE(s.undoPass().ran);
        EXPECT_EQ(s.clickedHex(), target);
        ++passes;
        ASSERT_LE(passes, 3);
    }
    EXPECT_EQ(passes, 2);
    EXPECT_EQ(g.stackAt(2, 2), (std::vector<int>{3, 4}));
    EXPECT_EQ(g.stackAt(5, 4), (std::vector<int>{6}));
    // First pass: the recorded move goes on to (2, 2); the second is a move of
    // its own from there to (5, 4).
    const Bytes r = blue->record();
    EXPECT_EQ(Bytes(r.begin() + static_cast<long>(before), r.end()),
              (Bytes{2, 2, 255, 248,  //
                     255, 241, 0, 6, 255, 247, 2, 2, 5, 4, 255, 248}));
    EXPECT_TRUE(s.states().enabled(Command::Save));
}

TEST_F(SessionTest, UndoOfAStackNeverCarriedAwayIsOnePass) {
    PlayerSession& s = blue->session;
    stack(blue->game, {2, 2}, {3, 4});
    s.doubleClick({2, 2});
    ASSERT_TRUE(s.undoPending());
    s.undoPass();
    EXPECT_FALSE(s.undoPending());
    EXPECT_EQ(blue->game.stackAt(2, 2), (std::vector<int>{3, 4}));
    EXPECT_EQ(blue->record(), (Bytes{255, 241, 0, 3, 0, 4, 255, 247, 2, 2, 2, 2, 255, 248}));
}

TEST_F(SessionTest, AMoveStandsWhenItsRecordCannotBeWritten) {
    stack(blue->game, {2, 2}, {3});
    blue->file = ReplayFile(path("missing/folder/record.tmp"));
    blue->session.doubleClick({2, 2});
    blue->session.click({3, 3});
    blue->session.doubleClick({3, 3});
    EXPECT_EQ(blue->game.stackAt(3, 3), (std::vector<int>{3}));
    EXPECT_FALSE(blue->game.holdingUnits());
    // The move start and the drop each lost their entry with message 4.
    EXPECT_EQ(blue->prompts.messages, (std::vector<int>{4, 4}));
    EXPECT_TRUE(blue->session.states().enabled(Command::Save));

    // A load that cannot keep its record says so, and the game is loaded.
    blue->prompts.files = {path("moved.qms")};
    blue->session.saveGame();
    blue->game.unit(3).column = 1;
    blue->prompts.messages.clear();
    blue->prompts.files = {path("moved.qms")};
    EXPECT_TRUE(blue->session.loadGame().caption);
    EXPECT_EQ(blue->prompts.messages, std::vector<int>{4});
    EXPECT_EQ(blue->game.stackAt(3, 3), (std::vector<int>{3}));
}

// ---- saving and loading between two machines --------------------------------------------

TEST_F(SessionTest, TwoPlayersDefineInitializeAndIdentifyAsTheFileTravels) {
    stack(blue->game, {2, 2}, {3});
    // Blue moves and saves; nobody has defined players yet.
    blue->session.doubleClick({2, 2});
    blue->session.click({3, 2});
    blue->session.doubleClick({3, 2});
    blue->prompts.files = {path("turn1")};
    const Change saved = blue->session.saveGame();
    EXPECT_EQ(saved.caption, std::optional<std::string>("Battle: turn1"));
    EXPECT_TRUE(blue->game.moveSaved);
    EXPECT_TRUE(fs::exists(path("turn1.qms")));
    const Bytes r = blue->record();
    EXPECT_EQ(Bytes(r.end() - 4, r.end()), (Bytes{255, 248, 255, 253}));

    // Blue loads it back: defines the players and becomes player 1.
    blue->prompts.files = {path("turn1.qms")};
    blue->prompts.defineAnswers = {DefinePlayersAnswer::Ok};
    blue->prompts.newPlayers = {NewPlayerAnswer{"Blue", ""}, NewPlayerAnswer{"Blue", "blue"}};
    Change loaded = blue->session.loadGame();
    EXPECT_EQ(loaded.caption, std::optional<std::string>("Battle: turn1"));
    EXPECT_TRUE(blue->prompts.showedMessage(3));  // the empty password first
    EXPECT_EQ(
        blue->prompts.newPlayerPrompts,
        (std::vector<std::string>{"Enter the name of Player #1:", "Enter the name of Player #1:"}));
    EXPECT_EQ(blue->game.identifyProgress, 2);
    EXPECT_EQ(blue->game.currentSlot, kObserver);  // the file must travel on
    EXPECT_EQ(blue->game.unit(3).column, 3);
    blue->prompts.files = {path("turn1")};
    blue->prompts.yesNo = {true};
    blue->session.saveGame();
    EXPECT_TRUE(blue->prompts.showedText(kOverwriteQuestion));

    // Red initializes player 2 and is identified at once.
    Machine red(module, m_folder);
    red.prompts.files = {path("turn1.qms")};
    red.prompts.newPlayers = {NewPlayerAnswer{"Red", "red"}};
    red.session.loadGame();
    EXPECT_EQ(red.game.identifyProgress, kPlayersComplete);
    EXPECT_EQ(red.game.currentSlot, 1);
    EXPECT_TRUE(red.session.states().enabled(Command::DealCard));
    EXPECT_EQ(red.prompts.definitions, 0);

    // Red hides a unit and saves; Blue identifies and cannot see or take it.
    red.game.unit(5).column = 5;
    stack(red.game, {5, 5}, {5});
    red.session.doubleClick({5, 5});
    red.session.unitCommand(UnitCommand::HideUnits);
    red.session.click({6, 5});
    red.session.doubleClick({6, 5});
    red.prompts.files = {path("turn2")};
    red.session.saveGame();

    blue->prompts.files = {path("turn2.qms")};
    blue->prompts.identities = {IdentityAnswer{0, "blue"}};
    blue->session.loadGame();
    EXPECT_EQ(blue->prompts.identityLists.back(), (std::vector<std::string>{"Blue", "Red"}));
    EXPECT_EQ(blue->game.currentSlot, 0);
    EXPECT_TRUE(blue->prompts.showedText("Welcome, Blue."));
    EXPECT_EQ(blue->game.stackAt(6, 5), (std::vector<int>{5}));
    EXPECT_FALSE(blue->session.doubleClick({6, 5}).ran);

    // A wrong password makes an observer, without a second try.
    Machine third(module, m_folder);
    third.prompts.files = {path("turn2.qms")};
    third.prompts.identities = {IdentityAnswer{1, "RED"}};
    third.session.loadGame();
    EXPECT_EQ(third.game.currentSlot, kObserver);
    EXPECT_EQ(third.prompts.identityLists.size(), 1u);
    EXPECT_FALSE(third.session.states().enabled(Command::DealCard));
    EXPECT_TRUE(third.prompts.showedText(kUnrecognized));
}

TEST_F(SessionTest, NotNecessaryHidesCardsAndHidingForGood) {
    blue->prompts.files = {path("g")};
    blue->session.saveGame();
    blue->prompts.files = {path("g.qms")};
    blue->prompts.defineAnswers = {DefinePlayersAnswer::NotNecessary};
    blue->session.loadGame();
    EXPECT_EQ(blue->game.identifyProgress, kPlayersNotNeeded);
    EXPECT_EQ(blue->session.states().state(Command::DealCard), state::kHidden);
    EXPECT_EQ(blue->session.states().state(Command::HideUnits), state::kHidden);
}

TEST_F(SessionTest, AFailedLoadLeavesEverythingAsItWas) {
    stack(blue->game, {2, 2}, {3});
    blue->session.doubleClick({2, 2});
    blue->session.doubleClick({2, 2});
    const GameState before = blue->game;
    const Bytes record = blue->record();
    std::ofstream(path("bad.qms"), std::ios::binary) << std::string(40, '\x07');
    blue->prompts.files = {path("bad.qms")};
    const Change c = blue->session.loadGame();
    EXPECT_FALSE(c.caption);
    EXPECT_EQ(blue->session.caption(), "Battle");
    EXPECT_EQ(blue->record(), record);
    EXPECT_EQ(blue->game.stackAt(2, 2), before.stackAt(2, 2));
    EXPECT_EQ(blue->game.players[0].kind, before.players[0].kind);

    // Units held: Load and Save do nothing at all.
    blue->session.doubleClick({2, 2});
    blue->prompts.files = {path("x")};
    EXPECT_FALSE(blue->session.saveGame().ran);
    EXPECT_FALSE(blue->session.loadGame().ran);
    EXPECT_EQ(blue->prompts.files.size(), 1u);
}

TEST_F(SessionTest, ASaveProposesANewNameAndNoGoesBackToTheDialog) {
    const std::string folder = m_folder.string() + "/";
    blue->prompts.files = {path("turn 3.qms")};
    blue->session.saveGame();
    EXPECT_EQ(blue->prompts.fileDialogs.at(0),
              "save " + folder + " Battle - Observer - 2026-12-09");
    EXPECT_EQ(blue->session.savedGameTitle(), "turn 3");

    // Blue's save of the same day takes the next number, never the file
    // just saved or received; "No" to overwriting asks for the name again.
    blue->game.players[0].name = "Blue/Red";
    blue->game.currentSlot = 0;
    std::ofstream(path("Battle - Blue_Red - 2026-12-09.qms")) << "earlier";
    blue->prompts.files = {path("turn 3.qms"), path("turn 4")};
    blue->prompts.yesNo = {false};
    blue->session.saveGame();
    EXPECT_EQ(blue->prompts.fileDialogs.at(1),
              "save " + folder + " Battle - Blue_Red - 2026-12-09 (2)");
    EXPECT_EQ(blue->prompts.fileDialogs.at(2), "save " + folder + " turn 3");
    EXPECT_TRUE(fs::exists(path("turn 4.qms")));
}

TEST_F(SessionTest, CancelledOrFailedSavesLeaveNoEntryAndTheOldFile) {
    // Cancelled: no save entry.
    blue->session.saveGame();
    EXPECT_EQ(blue->record(), Bytes{});

    // A disk that takes no more than 200 bytes per file (as a full disk
    // would, and also for root): message 4, the old file stays as it was.
    const std::string old = path("old.qms");
    std::ofstream(old, std::ios::binary) << "old bytes";
    blue->prompts.files = {old};
    blue->prompts.yesNo = {true};
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 200;
        ::setrlimit(RLIMIT_FSIZE, &small);
        blue->session.saveGame();
        ::setrlimit(RLIMIT_FSIZE, &saved);
    }
    EXPECT_TRUE(blue->prompts.showedMessage(4));
    EXPECT_FALSE(blue->game.moveSaved);
    EXPECT_EQ(*readWholeFile(old), (Bytes{'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'}));
}

TEST_F(SessionTest, EncodedSaveAndTheClipboardCarryTheGameAsText) {
    stack(blue->game, {2, 2}, {3});
    blue->session.doubleClick({2, 2});
    blue->session.click({4, 4});
    blue->session.doubleClick({4, 4});
    const Bytes record = blue->record();
    blue->prompts.files = {path("mail")};
    const Change c = blue->session.saveEncoded();
    EXPECT_EQ(c.caption, std::optional<std::string>("Battle: mail"));
    EXPECT_EQ(blue->record(), record);  // no save entry
    ASSERT_TRUE(fs::exists(path("mail.txt")));
    ASSERT_EQ(blue->prompts.prompts.size(), 1u);  // prompt 7

    Machine red(module, m_folder);
    red.prompts.files = {path("mail.txt")};
    red.session.loadGame();
    EXPECT_EQ(red.game.stackAt(4, 4), (std::vector<int>{3}));
    EXPECT_EQ(red.record(), record);

    // The same through the clipboard, quoted as a mail reply would.
    blue->session.copyGameAsText();
    std::string quoted = "> " + blue->prompts.clipboard;
    for (std::size_t p = quoted.find("\r\n"); p != std::string::npos;
         p = quoted.find("\r\n", p + 4))
        quoted.replace(p, 2, "\r\n> ");
    Machine third(module, m_folder);
    third.prompts.clipboard = "Here is my move.\r\n" + quoted;
    third.session.pasteGame();
    EXPECT_EQ(third.game.stackAt(4, 4), (std::vector<int>{3}));
    third.prompts.clipboard = "no game here";
    third.session.pasteGame();
    EXPECT_TRUE(third.prompts.showedMessage(31));
    EXPECT_EQ(third.game.stackAt(4, 4), (std::vector<int>{3}));
}

TEST_F(SessionTest, CommentsPlainEncryptedAndCancelled) {
    blue->prompts.comments = {CommentAnswer{"Hold the ford.", false}, std::nullopt,
                              CommentAnswer{"x", true}};
    blue->prompts.commentPasswords = {std::string("key")};
    blue->session.comment();
    blue->session.comment();
    blue->session.comment();
    const Bytes r = blue->record();
    const Bytes plain{255, 242, 'H', 'o', 'l', 'd', ' ', 't', 'h',
                      'e', ' ', 'f', 'o', 'r', 'd', '.', 255, 249};
    ASSERT_GE(r.size(), plain.size() + 15);
    EXPECT_EQ(Bytes(r.begin(), r.begin() + 18), plain);
    EXPECT_EQ(r[18], 255);
    EXPECT_EQ(r[19], 254);
    EXPECT_EQ(r.size(), 18u + 2 + 1 + 9 + 1 + 2);
    EXPECT_EQ(blue->prompts.commentDialogs.size(), 3u);
    EXPECT_FALSE(blue->prompts.commentDialogs[0].first);  // the normal font
}

TEST_F(SessionTest, TheAutosaveFollowsEveryActionAndGoesWithASave) {
    stack(blue->game, {2, 2}, {3});
    blue->session.doubleClick({2, 2});
    blue->session.click({4, 4});
    EXPECT_FALSE(fs::exists(blue->session.autosavePath()));  // not while carrying
    blue->session.doubleClick({4, 4});
    ASSERT_TRUE(fs::exists(blue->session.autosavePath()));

    // The next start offers it and continues where the game stopped.
    Machine next(module, m_folder);
    next.prompts.yesNo = {true};
    next.session.offerAutosave();
    EXPECT_TRUE(next.prompts.showedText(kAutosaveQuestion));
    EXPECT_EQ(next.game.stackAt(4, 4), (std::vector<int>{3}));
    EXPECT_EQ(next.record(), blue->record());
    EXPECT_FALSE(next.game.moveSaved);

    blue->prompts.files = {path("done")};
    blue->session.saveGame();
    EXPECT_FALSE(fs::exists(blue->session.autosavePath()));
    // Nothing to offer now.
    Machine later(module, m_folder);
    EXPECT_FALSE(later.session.offerAutosave().ran);
    EXPECT_TRUE(later.prompts.questions.empty());
}

TEST_F(SessionTest, ChangePasswordNeedsAnIdentifiedPlayer) {
    blue->session.changePassword();
    EXPECT_TRUE(blue->prompts.showedText(kMustBeIdentified));
    GameState& g = blue->game;
    g.identifyProgress = kPlayersComplete;
    g.players[0].kind = SlotKind::Player;
    g.currentSlot = 0;
    blue->prompts.newPasswords = {std::string(""), std::string("new")};
    blue->session.changePassword();
    EXPECT_TRUE(blue->prompts.showedMessage(3));
    EXPECT_TRUE(passwordMatches(g.players[0], "new"));
    EXPECT_FALSE(g.moveSaved);
}

}  // namespace
}  // namespace qmx
