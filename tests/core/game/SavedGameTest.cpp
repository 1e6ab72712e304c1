// The saved game against bytes written from the layout tables: header, game
// block, card places, hex states, unit records and the replay record; every
// message of loading; damaged and truncated files; the text form; saving.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/game/EncodedSave.h"
#include "core/game/SavedGame.h"
#include "core/game/StackRepair.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;

// 2 x 2 map, 33 units with steps 0 and 1 (unit 5 also 2 and 3, unit 6 all
// six), deck 1 of 3 cards and deck 3 of 2 cards.
Module testModule() {
    return test::ModuleBuilder(2, 2, 33)
        .id({7, 8, 9})
        .steps({1, 2, 0, 0, 0, 0})
        .steps(5, {1, 2, 3, 4, 0, 0})
        .steps(6, {1, 2, 3, 4, 5, 6})
        .steps(7, {1, 0, 0, 0, 0, 0})  // unit 7 has step 0 only
        .deck(1, 3)
        .deck(3, 2)
        .build();
}

// One unit record as the layout table lists it (all numbers below 256).
Bytes unitRecord(int link, int startLink, int sc, int sr, int c, int r, int decl, int flags,
                 int facing, int startFacing, int step, int startStep, int hidden) {
    return Bytes{0,
                 static_cast<std::uint8_t>(link),
                 0,
                 static_cast<std::uint8_t>(startLink),
                 static_cast<std::uint8_t>(sc),
                 static_cast<std::uint8_t>(sr),
                 static_cast<std::uint8_t>(c),
                 static_cast<std::uint8_t>(r),
                 static_cast<std::uint8_t>(decl),
                 static_cast<std::uint8_t>(flags),
                 static_cast<std::uint8_t>(facing),
                 static_cast<std::uint8_t>(startFacing),
                 static_cast<std::uint8_t>(step),
                 static_cast<std::uint8_t>(startStep),
                 static_cast<std::uint8_t>(hidden)};
}

void append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

void appendText(Bytes& to, std::string_view text, std::size_t field) {
    for (std::size_t i = 0; i < field; ++i)
        to.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

const Bytes kReplay{255, 241, 0, 3, 255, 247, 1, 1, 2, 2, 255, 248, 255, 242, 'h', 'i', 255, 249};
constexpr std::size_t kStateSize = 9 + 231 + 5 + 4 + 33 * 15;

// A game in progress: units 1..30 stacked on (1, 1), 31 -> 32 -> 33 on (2, 2);
// a few units declared, hidden, faced and stepped.
Bytes handWrittenSave() {
    Bytes b{7, 8, 9, 160, 0, 33, 0x2A, 30, 0};
    b.push_back(1);  // reserved value 256 = 1, 1
    b.push_back(1);
    b.push_back(2);  // pending declarations
    append(b, Bytes{4, 1, 1, 2, 0, 0, 0, 0});
    for (std::string_view name : {"Umpire", "Anna", "Bernd", "Supply Depot", "", "", "", ""}) {
        appendText(b, name, 15);
    }
    for (int s = 0; s < 8; ++s) {
        for (int i = 0; i < 10; ++i) b.push_back(static_cast<std::uint8_t>(s * 10 + i));
    }
    append(b, Bytes{3, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    append(b, Bytes{10, 50, 3, 0,
                    10});  // deck 1: in deck, discarded, at slot 3; deck 3: slot 0, in deck
    append(b, Bytes{11, 21, 12, 22});  // hex states, row 1 then row 2
    for (int u = 1; u <= 33; ++u) {
        int link = u + 1;
        if (u == 30 || u == 33) link = 0;
        const int hex = u <= 30 ? 1 : 2;
        int flags = (u == 1 || u == 31) ? 0x80 : 0;  // start-stack heads keep the head mark
        int decl = 0, facing = 0, startFacing = 0, step = 0, startStep = 0, hidden = 0xFF;
        if (u == 5) decl = 1;
        if (u == 6) {
            decl = -2;
            step = 3;
            startStep = 2;
        }
        if (u == 7) hidden = 0xF1;
        if (u == 8) {
            flags |= 0x03;
            hidden = 0x22;
        }
        if (u == 9) {
            facing = 0xC4;
            startFacing = 0x84;
        }
        append(b, unitRecord(link, link, hex, hex, hex, hex, decl, flags, facing, startFacing, step,
                             startStep, hidden));
    }
    append(b, kReplay);
    return b;
}

// The same game built through the state's accessors.
GameState handBuiltState(const Module& m) {
    GameState s(m);
    s.headerByte6 = 0x2A;
    s.identifyProgress = 30;
    s.reservedValue = 256;
    s.pendingDeclarations = 2;
    const SlotKind kinds[8] = {SlotKind::GameMaster, SlotKind::Player, SlotKind::Player,
                               SlotKind::CardLocation};
    const char* names[8] = {"Umpire", "Anna", "Bernd", "Supply Depot", "", "", "", ""};
    for (int i = 0; i < 8; ++i) {
        auto& p = s.players[static_cast<std::size_t>(i)];
        p.kind = kinds[i];
        p.name = names[i];
        for (int k = 0; k < 10; ++k)
            p.password[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(i * 10 + k);
    }
    s.setCardPlace(1, 2, kDiscarded);
    s.setCardPlace(1, 3, 3);
    s.setCardPlace(3, 1, 0);
    s.hex(1, 1).state = 11;
    s.hex(2, 1).state = 21;
    s.hex(1, 2).state = 12;
    s.hex(2, 2).state = 22;
    for (int u = 31; u <= 33; ++u) {
        UnitState& x = s.unit(u);
        x.column = x.row = x.startColumn = x.startRow = 2;
    }
    s.unit(30).stackLink = s.unit(30).startStackLink = 0;
    s.unit(1).flags = 0x80;
    s.unit(31).flags = 0x80;
    s.unit(5).declaration = 1;
    s.unit(6).declaration = -2;
    s.unit(6).step = 3;
    s.unit(6).startStep = 2;
    s.unit(7).hidden = 0xF1;
    s.unit(8).flags = 0x03;
    s.unit(8).hidden = 0x22;
    s.unit(9).facing = 0xC4;
    s.unit(9).startFacing = 0x84;
    s.setStackHead(2, 2, 31);
    return s;
}

TEST(SavedGameNumbers, BaseTwoFiftyFiveSplitsAsTheSavedGameWritesThem) {
    using P = std::pair<std::uint8_t, std::uint8_t>;
    EXPECT_EQ(saveBase255(0), P(0, 0));
    EXPECT_EQ(saveBase255(255), P(0, 255));
    EXPECT_EQ(saveBase255(256), P(1, 1));
    EXPECT_EQ(saveBase255(510), P(2, 0));
    EXPECT_EQ(saveBase255(65000), P(254, 230));
    EXPECT_EQ(saveBase255(65280), P(255, 255));  // the largest value a reader can decode
}

TEST(SavedGameNumbers, UnitCountInTheHeader) {
    for (auto [count, high, low] : {std::tuple{255, 0, 255}, {256, 1, 1}, {510, 2, 0}}) {
        Module m;
        m.columns = 1;
        m.rows = 1;
        m.unitCount = count;
        m.allocateTables();
        const Bytes b = serializeSavedGame(GameState(m), m, {});
        ASSERT_GE(b.size(), 6u);
        EXPECT_EQ(b[4], high) << count;
        EXPECT_EQ(b[5], low) << count;
        EXPECT_EQ(b.size(),
                  kSaveHeaderSize + kSaveGameBlockSize + 1 + static_cast<std::size_t>(count) * 15);
    }
}

TEST(SavedGameNumbers, LinksPastTwoFiftyFiveInTheUnitRecords) {
    // The 300 units of a new game stand in one stack, each linked to the next.
    const Module m = Module::createEmpty(1, 1, GridOrientation::RowsAligned, 300);
    const Bytes b = serializeSavedGame(GameState(m), m, {});
    const auto links = [&](int unit) {
        const auto at =
            static_cast<long>(kSaveHeaderSize + kSaveGameBlockSize + 1 + (unit - 1) * 15);
        return Bytes(b.begin() + at, b.begin() + at + 4);
    };
    EXPECT_EQ(links(254), Bytes({0, 255, 0, 255}));
    EXPECT_EQ(links(255), Bytes({1, 1, 1, 1}));
    EXPECT_EQ(links(256), Bytes({1, 2, 1, 2}));
    EXPECT_EQ(links(299), Bytes({1, 45, 1, 45}));

    GameState back(m);
    ScriptedPrompts prompts;
    ASSERT_TRUE(readBinarySavedGame(b, m, back, prompts).ok);
    for (int u : {254, 255, 256, 299}) {
        EXPECT_EQ(back.unit(u).stackLink, u + 1) << u;
        EXPECT_EQ(back.unit(u).startStackLink, u + 1) << u;
    }
    EXPECT_TRUE(prompts.texts.empty());
}

TEST(SavedGameWrite, MatchesTheLayoutByteForByte) {
    const Module m = testModule();
    EXPECT_EQ(serializeSavedGame(handBuiltState(m), m, kReplay), handWrittenSave());
}

TEST(SavedGameWrite, NewGameWritesZeroInTheReservedPlaces) {
    const Module m = testModule();
    const Bytes b = serializeSavedGame(GameState(m), m, {});
    EXPECT_EQ(b[6], 0);
    EXPECT_EQ(b[7], 0);
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(b[9], 0);
    EXPECT_EQ(b[10], 0);
    // Unit 1 of the module load: link 2, start link 2, on (1, 1), not hidden.
    const std::size_t unit1 = kSaveHeaderSize + kSaveGameBlockSize + 5 + 4;
    EXPECT_EQ(
        Bytes(b.begin() + static_cast<long>(unit1), b.begin() + static_cast<long>(unit1) + 15),
        unitRecord(2, 2, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0xFF));
}

TEST(SavedGameRead, ReadsTheLayoutAndKeepsTheReplayRecord) {
    const Module m = testModule();
    GameState s(m);
    s.currentSlot = 2;
    s.gameMode = GameMode::Combat;
    ScriptedPrompts prompts;
    const SavedGameLoad r = readSavedGame(handWrittenSave(), m, s, prompts);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.textForm);
    EXPECT_EQ(r.formatVersion, 160);
    EXPECT_EQ(r.replay, kReplay);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(prompts.texts.empty());
    EXPECT_FALSE(r.stackingError);

    EXPECT_EQ(s.headerByte6, 0x2A);
    EXPECT_EQ(s.identifyProgress, 30);
    EXPECT_EQ(s.reservedValue, 256);
    EXPECT_EQ(s.pendingDeclarations, 2);
    EXPECT_EQ(s.players[0].kind, SlotKind::GameMaster);
    EXPECT_EQ(s.players[3].kind, SlotKind::CardLocation);
    EXPECT_EQ(s.players[3].name, "Supply Depot");
    EXPECT_EQ(s.players[2].password[9], 29);
    EXPECT_EQ(s.cardPlace(1, 1), kInDeck);
    EXPECT_EQ(s.cardPlace(1, 2), kDiscarded);
    EXPECT_EQ(s.cardPlace(1, 3), 3);
    EXPECT_EQ(s.cardPlace(3, 1), 0);
    EXPECT_TRUE(s.locationHasCards[3]);
    EXPECT_FALSE(s.locationHasCards[0]);
    EXPECT_EQ(s.hex(2, 1).state, 21);
    EXPECT_EQ(s.hex(1, 2).state, 12);
    EXPECT_EQ(s.unit(6).declaration, -2);
    EXPECT_EQ(s.unit(6).step, 3);
    EXPECT_EQ(s.unit(7).hiddenBy(), 1);
    EXPECT_EQ(s.unit(7).startHiddenBy(), kNotHidden);
    EXPECT_EQ(s.unit(9).facing, 0xC4);
    EXPECT_EQ(s.stackAt(2, 2), (std::vector<int>{31, 32, 33}));
    EXPECT_EQ(s.stackAt(1, 1).size(), 30u);
    // A load leaves nobody identified, movement mode and a saved move.
    EXPECT_EQ(s.currentSlot, kObserver);
    EXPECT_EQ(s.gameMode, GameMode::Movement);
    EXPECT_TRUE(s.moveSaved);
    // The sentinel unit.
    EXPECT_EQ(s.unit(0).stackLink, 1);
    EXPECT_EQ(s.unit(0).startRow, 1);

    EXPECT_EQ(serializeSavedGame(s, m, r.replay), handWrittenSave());
}

TEST(SavedGameRead, StepsTheModuleLacksAreLowered) {
    const Module m = testModule();
    Bytes b = handWrittenSave();
    const std::size_t units = kStateSize - 33 * 15;
    b[units + 4 * 15 + 12] = 3;   // unit 5 has step 3: kept
    b[units + 6 * 15 + 12] = 1;   // unit 7 has step 0 only: lowered to 0
    b[units + 10 * 15 + 12] = 3;  // unit 11 has steps 0 and 1: lowered to 1
    GameState s(m);
    ScriptedPrompts prompts;
    ASSERT_TRUE(readSavedGame(b, m, s, prompts).ok);
    EXPECT_EQ(s.unit(5).step, 3);
    EXPECT_EQ(s.unit(7).step, 0);
    EXPECT_EQ(s.unit(11).step, 1);
    EXPECT_TRUE(prompts.texts.empty());
}

TEST(SavedGameRead, UnitCountMismatchStopsTheLoadAndChangesNothing) {
    const Module m = testModule();
    Bytes b = handWrittenSave();
    b[5] = 34;
    GameState s(m);
    const GameState before = s;
    ScriptedPrompts prompts;
    EXPECT_FALSE(readSavedGame(b, m, s, prompts).ok);
    EXPECT_EQ(prompts.messages, std::vector<int>{12});
    EXPECT_EQ(serializeSavedGame(s, m, {}), serializeSavedGame(before, m, {}));
}

TEST(SavedGameRead, ModuleIdMismatchWarnsAndLoads) {
    const Module m = testModule();
    Bytes b = handWrittenSave();
    b[2] = 10;
    GameState s(m);
    ScriptedPrompts prompts;
    EXPECT_TRUE(readSavedGame(b, m, s, prompts).ok);
    EXPECT_EQ(prompts.messages, std::vector<int>{15});
}

TEST(SavedGameRead, VersionNotes) {
    const Module m = testModule();
    for (int v : {50, 101, 119, 120, 159}) {
        Bytes b = handWrittenSave();
        b[3] = static_cast<std::uint8_t>(v);
        GameState s(m);
        ScriptedPrompts prompts;
        EXPECT_TRUE(readSavedGame(b, m, s, prompts).ok);
        EXPECT_EQ(prompts.messages, std::vector<int>{13}) << v;
    }
    for (int v : {1, 49, 51, 100}) {
        Bytes b = handWrittenSave();
        b[3] = static_cast<std::uint8_t>(v);
        GameState s(m);
        ScriptedPrompts prompts;
        EXPECT_TRUE(readSavedGame(b, m, s, prompts).ok);
        EXPECT_TRUE(prompts.messages.empty()) << v;
    }
    for (int v : {161, 255}) {
        Bytes b = handWrittenSave();
        b[3] = static_cast<std::uint8_t>(v);
        GameState s(m);
        ScriptedPrompts prompts;
        EXPECT_TRUE(readSavedGame(b, m, s, prompts).ok);
        EXPECT_EQ(prompts.messages, std::vector<int>{14}) << v;
        EXPECT_EQ(s.stackAt(2, 2).size(), 3u);
    }
}

TEST(SavedGameRead, OldVersionsCarryOnlyTheReplayRecord) {
    const Module m = testModule();
    Bytes b = handWrittenSave();
    b[3] = 119;
    GameState s(m);
    s.unit(3).step = 1;
    s.identifyProgress = 1;
    ScriptedPrompts prompts;
    const SavedGameLoad r = readSavedGame(b, m, s, prompts);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.replay, Bytes(b.begin() + 9, b.end()));
    EXPECT_EQ(s.unit(3).step, 1);
    EXPECT_EQ(s.identifyProgress, 1);
    EXPECT_EQ(s.headerByte6, 0x2A);
    EXPECT_EQ(s.stackAt(1, 1).size(), 33u);
}

TEST(SavedGameRead, CardCountMismatchStopsTheLoadAfterThePlayerTable) {
    const Module m = testModule();
    Bytes b = handWrittenSave();
    b[9 + 211 + 2] = 3;  // deck 3 with 3 cards
    GameState s(m);
    s.unit(4).step = 1;
    s.headerByte6 = 0;
    s.setCardPlace(1, 1, 3);  // slot 3 is a card location in the file
    s.locationHasCards[5] = true;
    ScriptedPrompts prompts;
    EXPECT_FALSE(readSavedGame(b, m, s, prompts).ok);
    EXPECT_EQ(prompts.messages, std::vector<int>{33});
    // Byte 6 is kept and the location flags cleared before the card counts are
    // compared; the cards stay where they were.
    EXPECT_EQ(s.headerByte6, 0x2A);
    EXPECT_EQ(s.locationHasCards, (std::array<bool, kSlotCount>{}));
    EXPECT_EQ(s.cardPlace(1, 1), 3);
    EXPECT_EQ(s.players[1].name, "Anna");
    EXPECT_EQ(s.players[0].kind, SlotKind::GameMaster);
    EXPECT_EQ(s.unit(4).step, 1);
    EXPECT_EQ(s.stackAt(1, 1).size(), 33u);
    EXPECT_EQ(s.pendingDeclarations, 0);
    EXPECT_FALSE(s.moveSaved);
}

TEST(SavedGameRead, TruncatedFilesFailAndChangeNothing) {
    const Module m = testModule();
    const Bytes whole = handWrittenSave();
    for (std::size_t len = 0; len < kStateSize; ++len) {
        GameState s(m);
        const Bytes before = serializeSavedGame(s, m, {});
        ScriptedPrompts prompts;
        const SavedGameLoad r = readSavedGame(std::span(whole).first(len), m, s, prompts);
        ASSERT_FALSE(r.ok) << len;
        ASSERT_EQ(serializeSavedGame(s, m, {}), before) << len;
        ASSERT_EQ(prompts.texts.size() + prompts.messages.size(), 1u) << len;
    }
    GameState s(m);
    ScriptedPrompts prompts;
    const SavedGameLoad r = readSavedGame(std::span(whole).first(kStateSize), m, s, prompts);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.replay.empty());
}

TEST(SavedGameRead, DamagedValuesAreMendedAndReportedOnce) {
    const Module m = testModule();
    Bytes b = handWrittenSave();
    const std::size_t units = kStateSize - 33 * 15;
    auto unit = [&](int u, int offset) -> std::uint8_t& {
        return b[units + static_cast<std::size_t>(u - 1) * 15 + static_cast<std::size_t>(offset)];
    };
    unit(10, 1) = 200;    // link beyond the unit count
    unit(11, 6) = 9;      // column beyond the map
    unit(12, 5) = 250;    // start row beyond the map
    unit(13, 12) = 9;     // step above 5
    unit(14, 14) = 0xF9;  // hidden by slot 9
    unit(15, 10) = 0x8C;  // two directions
    unit(16, 8) = 5;      // declaration 5 of 2 pending
    b[9 + 231 + 1] = 77;  // card place 77
    b[9 + 3 + 5] = 9;     // slot kind 9
    b[9 + 3 + 2] = 4;     // a game master in slot 2
    b[7] = 17;            // identify progress 17
    GameState s(m);
    ScriptedPrompts prompts;
    const SavedGameLoad r = readSavedGame(b, m, s, prompts);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(prompts.texts.size(), 2u);  // the corrections, then the stacking warning
    EXPECT_EQ(prompts.texts[0],
              "WARNING: This saved game is damaged. Loading it needs these corrections:\n"
              "- A stack link pointed beyond the last unit and was removed.\n"
              "- 2 units stood off the map and were moved to its edge.\n"
              "- A unit had a step that no unit can have and was set to its highest step.\n"
              "- A unit was hidden by a player position that does not exist; nobody hides it "
              "now.\n"
              "- A unit faced several directions at once; it now faces the first of them.\n"
              "- A unit belonged to a combat declaration that is not pending; it is no longer "
              "declared.\n"
              "- A card was in no valid place; it is back in its deck.\n"
              "- 2 player positions had an unknown kind and were changed.\n"
              "- The progress of defining the players had an unknown value and was reset.");
    EXPECT_EQ(prompts.texts[1], "WARNING: " + std::string(kStackingErrorText));
    EXPECT_EQ(r.corrections.size(), 9u);
    EXPECT_EQ(s.unit(10).stackLink, 12);  // cut, then 12.. appended behind it again
    EXPECT_EQ(s.unit(11).column, 2);
    EXPECT_EQ(s.unit(12).startRow, 2);
    EXPECT_EQ(s.unit(13).step, 1);
    EXPECT_EQ(s.unit(14).hiddenBy(), kNotHidden);
    EXPECT_EQ(s.unit(15).facing, 0x84);
    EXPECT_EQ(s.unit(16).declaration, 0);
    EXPECT_EQ(s.cardPlace(1, 2), kInDeck);
    EXPECT_EQ(s.players[5].kind, SlotKind::NotUsed);
    EXPECT_EQ(s.players[2].kind, SlotKind::Player);
    EXPECT_EQ(s.identifyProgress, kPlayersComplete);
    // Unit 11 now stands on (2, 1) alone; units 12..30 were cut off behind it
    // and went back into the chain of (1, 1).
    EXPECT_EQ(s.stackAt(2, 1), std::vector<int>{11});
    EXPECT_EQ(s.stackAt(1, 1).size(), 29u);
}

TEST(SavedGameRead, TextFormLoadsLikeTheBinary) {
    const Module m = testModule();
    Bytes text{'>', ' ', 'm', 'a', 'i', 'l', '\r', '\n'};
    append(text, encodeTextSave(handWrittenSave()));
    GameState s(m);
    ScriptedPrompts prompts;
    const SavedGameLoad r = readSavedGame(text, m, s, prompts);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.textForm);
    EXPECT_EQ(r.replay, kReplay);
    EXPECT_EQ(serializeSavedGame(s, m, r.replay), handWrittenSave());
}

// The check line above the marker: "QMX text save: N bytes, CRC-32 X". A
// text save changed on its way is refused before any correction and the game
// stays as it was; one without the line loads as before.
TEST(SavedGameRead, ATextSaveChangedOnItsWayIsRefused) {
    const Module m = testModule();
    const Bytes checked = encodeCheckedTextSave(handWrittenSave());
    EXPECT_EQ(Bytes(checked.begin() + static_cast<std::ptrdiff_t>(checked.size()) -
                        static_cast<std::ptrdiff_t>(encodeTextSave(handWrittenSave()).size()),
                    checked.end()),
              encodeTextSave(handWrittenSave()));

    GameState s(m);
    ScriptedPrompts prompts;
    ASSERT_TRUE(readSavedGame(checked, m, s, prompts).ok);

    // One letter of one pair changed: a different byte decodes.
    Bytes changed = checked;
    // The fourth line of pairs (each line 60 characters and CR LF).
    const std::size_t at =
        std::string(changed.begin(), changed.end()).find("]]]\r\n") + 5 + 3 * 62 + 10;
    ASSERT_LT(at, changed.size());
    changed[at] = changed[at] == 'A' ? 'B' : 'A';
    GameState before = handBuiltState(m);
    GameState t2 = before;
    ScriptedPrompts refused;
    EXPECT_FALSE(readSavedGame(changed, m, t2, refused).ok);
    EXPECT_EQ(serializeSavedGame(t2, m, kReplay), serializeSavedGame(before, m, kReplay));
    ASSERT_EQ(refused.texts.size(), 1u);
    EXPECT_NE(refused.texts[0].find("changed on its way"), std::string::npos);

    // Re-wrapped and quoted by a mail program, the line still reads.
    std::string rewrapped(changed.begin(), changed.end());
    rewrapped.insert(25, "=\r\n> ");
    rewrapped.insert(0, "> ");
    ScriptedPrompts again;
    EXPECT_FALSE(readSavedGame(Bytes(rewrapped.begin(), rewrapped.end()), m, t2, again).ok);
    EXPECT_EQ(again.texts.size(), 1u);

    // Without the line, the same change loads with its corrections as before.
    Bytes old = encodeTextSave(handWrittenSave());
    old[at - (checked.size() - old.size())] = changed[at];
    ScriptedPrompts loads;
    EXPECT_TRUE(readSavedGame(old, m, t2, loads).ok);
}

TEST(EncodedSave, CheckLineNamesTheSizeAndTheStandardCrc) {
    const std::string nine = "123456789";
    EXPECT_EQ(crc32(Bytes(nine.begin(), nine.end())), 0xCBF43926u);
    const Bytes text = encodeCheckedTextSave(Bytes(nine.begin(), nine.end()));
    EXPECT_EQ(std::string(text.begin(), text.begin() + 44),
              "QMX text save: 9 bytes, CRC-32 cbf43926\r\n[[[");
}

TEST(SavedGameRead, StackingErrorWarnsOnce) {
    const Module m = testModule();
    Bytes b = handWrittenSave();
    const std::size_t units = kStateSize - 33 * 15;
    b[units + 9 * 15 + 1] = 0;  // unit 10 ends its chain: 11..30 become a second head on (1, 1)
    GameState s(m);
    ScriptedPrompts prompts;
    const SavedGameLoad r = readSavedGame(b, m, s, prompts);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.stackingError);
    EXPECT_EQ(prompts.texts,
              std::vector<std::string>{"WARNING: " + std::string(kStackingErrorText)});
    EXPECT_EQ(s.stackAt(1, 1).size(), 30u);
}

class SavedGameFiles : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    const test::TempFolder m_dir{"qmx-savedgame"};
};

TEST_F(SavedGameFiles, SaveNamesFollowTheExtensionRule) {
    EXPECT_EQ(savedGameName("a/turn.txt"), "a/turn.qms");
    EXPECT_EQ(savedGameName("a/turn"), "a/turn.qms");
    EXPECT_EQ(savedGameName("a/turn.QMS"), "a/turn.QMS");
    EXPECT_EQ(savedGameName("a/turn.qms", SaveForm::Text), "a/turn.txt");
}

TEST_F(SavedGameFiles, SaveAndLoadBothForms) {
    const Module m = testModule();
    GameState s = handBuiltState(m);
    ScriptedPrompts prompts;
    ASSERT_TRUE(saveGameFile(path("turn"), s, m, kReplay, prompts));
    EXPECT_TRUE(s.moveSaved);
    EXPECT_EQ(readWholeFile(path("turn.qms")), handWrittenSave());
    ASSERT_TRUE(saveGameFile(path("turn"), s, m, kReplay, prompts, SaveForm::Text));
    EXPECT_EQ(readWholeFile(path("turn.txt")), encodeCheckedTextSave(handWrittenSave()));

    for (const char* name : {"turn.qms", "turn.txt"}) {
        GameState t(m);
        const SavedGameLoad r = loadSavedGame(path(name), m, t, prompts);
        ASSERT_TRUE(r.ok) << name;
        EXPECT_EQ(serializeSavedGame(t, m, r.replay), handWrittenSave()) << name;
    }
    EXPECT_TRUE(prompts.messages.empty());
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()), 2);
}

TEST_F(SavedGameFiles, FailedSaveShowsMessageFourAndKeepsMoveUnsaved) {
    const Module m = testModule();
    GameState s(m);
    ScriptedPrompts prompts;
    EXPECT_FALSE(saveGameFile(path("no/such/folder/turn"), s, m, {}, prompts));
    EXPECT_EQ(prompts.messages, std::vector<int>{4});
    EXPECT_FALSE(s.moveSaved);
}

TEST_F(SavedGameFiles, MissingAndOversizedFilesAreRefused) {
    const Module m = testModule();
    GameState s(m);
    ScriptedPrompts prompts;
    EXPECT_FALSE(loadSavedGame(path("missing.qms"), m, s, prompts).ok);
    EXPECT_EQ(prompts.messages, std::vector<int>{30});
    { std::ofstream(path("huge.qms")) << "x"; }
    fs::resize_file(path("huge.qms"), kMaxSaveFileSize + 1);  // sparse: costs no disk
    EXPECT_FALSE(loadSavedGame(path("huge.qms"), m, s, prompts).ok);
    EXPECT_EQ(prompts.texts.size(), 1u);
    // A huge replay record in memory is refused too.
    Bytes big = handWrittenSave();
    big.resize(kMaxSavedGameSize + 1, 0);
    EXPECT_FALSE(readSavedGame(big, m, s, prompts).ok);
    EXPECT_EQ(prompts.texts.size(), 2u);
}

}  // namespace
}  // namespace qmx
