#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <queue>

#include "core/game/GameState.h"
#include "core/module/Clock.h"
#include "core/module/Random.h"
#include "core/replay/ReplayEntries.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
namespace fs = std::filesystem;

namespace {

Module smallModule() {
    return test::ModuleBuilder(12, 10, 600).build();
}

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        file = std::make_unique<ReplayFile>((m_dir / "record.tmp").string());
        state.resetForModule(smallModule());
        recorder = std::make_unique<ReplayRecorder>(*file, state, prompts);
    }

    Bytes recorded() const { return file->read().value_or(Bytes{}); }

    // Holds `units` (chained in this order) picked up from (column, row).
    void carry(std::vector<int> units, int column, int row) {
        for (std::size_t i = 0; i < units.size(); ++i) {
            UnitState& u = state.unit(units[i]);
            u.column = static_cast<std::uint8_t>(column);
            u.row = static_cast<std::uint8_t>(row);
            u.stackLink = static_cast<std::uint16_t>(i + 1 < units.size() ? units[i + 1] : 0);
        }
        state.carriedStack = static_cast<std::uint16_t>(units.front());
    }
    // Puts `units` into the combat box in `column` in this chain order.
    void box(int column, std::vector<int> units) {
        for (std::size_t i = 0; i < units.size(); ++i)
            state.unit(units[i]).stackLink =
                static_cast<std::uint16_t>(i + 1 < units.size() ? units[i + 1] : 0);
        state.setStackHead(column, state.combatBoxRow(), static_cast<std::uint16_t>(units.front()));
    }

    const test::TempFolder m_dir{"qmx-recorder"};
    GameState state;
    ScriptedPrompts prompts;
    std::unique_ptr<ReplayFile> file;
    std::unique_ptr<ReplayRecorder> recorder;
};

}  // namespace

TEST(ReplayFileName, LowThirtyTwoBitsOfTheFileTimeInLowerCaseHex) {
    EXPECT_EQ(ReplayFile::nameFor(0x1A2B), "1a2b.tmp");
    EXPECT_EQ(ReplayFile::nameFor(0xFFFFFFFF0000ABCDull), "abcd.tmp");
    EXPECT_EQ(ReplayFile::nameFor(0x100000000ull), "0.tmp");
    EXPECT_EQ(ReplayFile::nameFor(0xDEADBEEFull), "deadbeef.tmp");
    // 2001-09-09 01:46:40 is file time 126444736000000000 = 0x1C1...44FF8000.
    const FixedClock clock(1000000000);
    EXPECT_EQ(ReplayFile("/some/folder", clock).path(), "/some/folder/44ff8000.tmp");
}

TEST(ReplayEntryBytes, UnitReferencesAreBase255AndNeverHold255) {
    const std::pair<int, std::vector<std::uint8_t>> cases[] = {
        {1, {0, 1}},   {254, {0, 254}},     {255, {1, 0}},       {256, {1, 1}},
        {510, {2, 0}}, {65000, {254, 230}}, {65024, {254, 254}},
    };
    for (const auto& [unit, bytes] : cases) {
        Bytes out;
        appendUnitReference(out, unit);
        EXPECT_EQ(out, Bytes(bytes)) << unit;
    }
    for (int u = 1; u <= kMaxReferencedUnit; ++u) {
        const auto [high, low] = unitReferenceBytes(u);
        ASSERT_NE(high, 255) << u;
        ASSERT_NE(low, 255) << u;
        ASSERT_EQ(unitFromReference(high, low), u);
    }
}

TEST(ReplayEntryBytes, FixedLayouts) {
    EXPECT_EQ(commandEntry(ReplayCode::StepDown), Bytes({255, 219}));
    EXPECT_EQ(commandEntry(ReplayCode::SaveMarker), Bytes({255, 253}));
    EXPECT_EQ(argumentEntry(ReplayCode::HideId, 3), Bytes({255, 221, 3, 0}));
    EXPECT_EQ(argumentEntry(ReplayCode::Hide, 0), Bytes({255, 223, 0, 0}));
    EXPECT_EQ(pathEntry(250, 249), Bytes({250, 249}));
    EXPECT_EQ(resultEntry(3, 6, "4"), Bytes({255, 238, 3, 6, 255, 242, '4', 255, 249}));
    EXPECT_EQ(cardShownAndReturnedEntry(2, 17, 1), Bytes({255, 231, 2, 17, 1}));
    EXPECT_EQ(cardReturnedEntry(4), Bytes({255, 232, 4}));
    EXPECT_EQ(cardPlacedEntry(5, 0), Bytes({255, 233, 5, 0}));
    EXPECT_EQ(cardDiscardedEntry(7), Bytes({255, 234, 7}));
    EXPECT_EQ(cardGivenEntry(3, 250, 1, 0), Bytes({255, 235, 3, 250, 1, 0}));
    EXPECT_EQ(cardShownEntry(20, 1, 2), Bytes({255, 236, 20, 1, 2}));
    EXPECT_EQ(cardDealtEntry(23, 1, 0), Bytes({255, 237, 23, 1, 0}));
    // Unit numbers that cannot be referenced are left out of a list.
    const int units[] = {0, 7, 65025};
    EXPECT_EQ(combatEntry(units), Bytes({255, 239, 0, 7, 255, 249}));
}

TEST_F(Recorder, MoveThroughThreeHexesWithARotate) {
    // Picked up at (4, 7): units 3, 300 and 510; through (5, 7) and (5, 8) to
    // (6, 8), rotating right on the way.
    carry({3, 300, 510}, 4, 7);
    ASSERT_TRUE(recorder->recordMoveStart(5, 7));
    ASSERT_TRUE(recorder->recordPath(5, 8));
    ASSERT_TRUE(recorder->record(ReplayCode::RotateRight));
    ASSERT_TRUE(recorder->recordPath(6, 8));
    ASSERT_TRUE(recorder->record(ReplayCode::Drop));
    const Bytes expected = {
        255, 241, 0, 3, 1, 45, 2, 0, 255, 247,  // move start, units 3, 300, 510
        4,   7,                                 // origin
        5,   7,                                 // first hex
        5,   8,                                 // second hex
        255, 225,                               // rotate right
        6,   8,                                 // third hex
        255, 248,                               // drop
    };
    EXPECT_EQ(recorded(), expected);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(Recorder, FaceEntriesComeBeforeTheDropAndSetStepOncePerUnit) {
    carry({10, 11, 12}, 2, 2);
    recorder->recordMoveStart(2, 3);
    recorder->recordSetStep(2);
    recorder->record(ReplayCode::FaceUp);
    recorder->record(ReplayCode::FaceDown);
    recorder->record(ReplayCode::Drop);
    const Bytes expected = {
        255, 241, 0,   10,  0, 11, 0,   12,  255, 247, 2,   2,   2,   3,   255, 224,
        2,   0,   255, 224, 2, 0,  255, 224, 2,   0,   255, 245, 255, 246, 255, 248,
    };
    EXPECT_EQ(recorded(), expected);
}

TEST_F(Recorder, CombatListsAttackersThenDefenders) {
    state.combatMode = 2;  // one by one
    box(kAttackBoxColumn, {40, 255});
    box(kDefendBoxColumn, {7});
    ASSERT_TRUE(recorder->recordCombat());
    EXPECT_EQ(recorded(), Bytes({255, 239, 0, 40, 1, 0, 0, 7, 255, 249}));
    EXPECT_EQ(state.unit(40).declaration, 0);
}

TEST_F(Recorder, PreDeclaringNumbersTheUnitsAndResolvingListsDeclarationOne) {
    state.combatMode = 3;           // pre-declare
    state.pendingDeclarations = 2;  // already counts the new declaration
    box(kAttackBoxColumn, {40, 41});
    box(kDefendBoxColumn, {7});
    recorder->recordCombat();
    EXPECT_EQ(state.unit(40).declaration, 2);
    EXPECT_EQ(state.unit(41).declaration, 2);
    EXPECT_EQ(state.unit(7).declaration, -2);

    // Resolution lists declaration 1 (either side) in unit-number order.
    state.combatMode = 4;
    state.unit(520).declaration = 1;
    state.unit(9).declaration = -1;
    state.unit(12).declaration = 1;
    recorder->recordCombat();
    const Bytes expected = {255, 239, 0, 40, 0, 41, 0, 7,  255, 249,
                            255, 239, 0, 9,  0, 12, 2, 10, 255, 249};
    EXPECT_EQ(recorded(), expected);
}

TEST_F(Recorder, CommentsAndResults) {
    recorder->recordComment("");
    recorder->recordComment("Go!");
    recorder->recordResult(3, 6, "Die Roll: 1, 2, 3");
    Bytes expected = {255, 242, 255, 249, 255, 242, 'G', 'o', '!',
                      255, 249, 255, 238, 3,   6,   255, 242};
    for (char c : std::string("Die Roll: 1, 2, 3"))
        expected.push_back(static_cast<std::uint8_t>(c));
    expected.push_back(255);
    expected.push_back(249);
    EXPECT_EQ(recorded(), expected);

    // An encrypted result keeps the dice head before the encrypted comment.
    Random random(5);
    recorder->recordEncryptedResult(2, 10, "x", "pw", random);
    const Bytes all = recorded();
    const Bytes tail(all.begin() + static_cast<long>(expected.size()), all.end());
    ASSERT_EQ(tail.size(), 4u + 2 + 1 + 9 + 1 + 2);
    EXPECT_EQ(Bytes(tail.begin(), tail.begin() + 6), Bytes({255, 238, 2, 10, 255, 254}));
    EXPECT_EQ(Bytes(tail.end() - 2, tail.end()), Bytes({255, 249}));
}

TEST_F(Recorder, RecordingClearsMoveSavedAndNothingIsWrittenDuringAReplay) {
    state.moveSaved = true;
    recorder->setPlaying(true);
    EXPECT_FALSE(recorder->record(ReplayCode::AllFaceUp));
    EXPECT_FALSE(recorder->recordComment("x"));
    Random random(1);
    EXPECT_FALSE(recorder->recordEncryptedComment("x", "y", random));
    EXPECT_TRUE(state.moveSaved);
    EXPECT_FALSE(file->exists());

    recorder->setPlaying(false);
    EXPECT_TRUE(recorder->record(ReplayCode::AllFaceUp));
    EXPECT_FALSE(state.moveSaved);
    EXPECT_EQ(recorded(), Bytes({255, 243}));
}

TEST_F(Recorder, EntriesFromOtherWritersKeepTheOrderOfTheActions) {
    recorder->record(ReplayCode::SaveMarker);
    // A dialog appends on its own through another handle of the same file.
    ReplayFile sameFile(file->path());
    ASSERT_EQ(sameFile.append(cardDiscardedEntry(1)), ReplayFile::AppendResult::Written);
    recorder->record(ReplayCode::AllFaceDown);
    EXPECT_EQ(recorded(), Bytes({255, 253, 255, 234, 1, 255, 244}));
}

TEST_F(Recorder, AFileThatCannotBeOpenedLosesTheEntryWithMessage4) {
    ReplayFile missing((m_dir / "no-such-folder" / "x.tmp").string());
    ReplayRecorder r(missing, state, prompts);
    state.moveSaved = true;
    EXPECT_FALSE(r.record(ReplayCode::Drop));
    EXPECT_EQ(prompts.messages, std::vector<int>({4}));
    EXPECT_FALSE(state.moveSaved);  // the action itself stands
}

TEST_F(Recorder, AShortWriteShowsMessage8) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    ReplayFile full("/dev/full");
    ReplayRecorder r(full, state, prompts);
    EXPECT_FALSE(r.recordComment("lost"));
    EXPECT_EQ(prompts.messages, std::vector<int>({8}));
}

TEST_F(Recorder, ReplaceAndRemoveTheRecord) {
    ASSERT_TRUE(file->replace(Bytes({255, 253})));
    recorder->record(ReplayCode::Drop);
    EXPECT_EQ(recorded(), Bytes({255, 253, 255, 248}));
    file->remove();
    EXPECT_FALSE(file->exists());
    EXPECT_FALSE(file->read().has_value());
    file->remove();  // already gone: nothing happens
}
