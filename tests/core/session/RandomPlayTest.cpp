// Random turns through the session, each checked for the system's two
// promises: the replay shows exactly what happened (the record played from
// the start state gives the saved state, from the binary and the text save
// alike), and shows nobody what is hidden from him (no event names, draws or
// lists a unit hidden from the viewer, nor a card text or sealed comment he
// may not read). QMX_RANDOM_SEEDS=N plays N seeds; QMX_RANDOM_SEED=S plays
// seed S alone (a failing seed prints itself).

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "core/game/EncodedSave.h"
#include "core/game/PasswordKeyTable.h"
#include "core/game/SavedGame.h"
#include "core/game/UnitRules.h"
#include "core/module/FileIo.h"
#include "core/replay/ReplayPlayback.h"
#include "core/replay/ResetRecorder.h"
#include "core/replay/TurnCheck.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/RandomPlay.h"
#include "tests/support/TempFolder.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;
using test::ModuleBuilder;

constexpr std::uint8_t kBlue = 0;
constexpr std::uint8_t kRed = 1;
constexpr std::uint8_t kPile = 2;
// Hidden wholly by Red, and with its identity hidden by Red: never unhidden.
const std::set<int> kHiddenByRed{5, 6};
constexpr int kIdHiddenByRed = 7;

Module randomModule() {
    ModuleBuilder b = ModuleBuilder::newModule(6, 5, 12).namedUnits().steps({1, 2, 3, 0, 0, 0});
    b.deck(1, 8, "Events");
    for (int c = 1; c <= 8; ++c) b.card(1, c, "CardText " + std::to_string(c));
    Module m = b.build();
    for (int u : {5, 6, kIdHiddenByRed})
        m.units[static_cast<std::size_t>(u)].name = "Secret " + std::to_string(u);
    return m;
}

class RandomPlay : public ::testing::Test {
protected:
    void SetUp() override {
        red = std::make_unique<test::Table>(module, m_folder.path());
        writeSent();
    }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    // Blue's game: stacks of two, Red's secret units, cards in both hands
    // and at the card location.
    void writeSent() {
        GameState g(module);
        twoPlayersInStacksOfTwo(g);
        g.players[kPile].kind = SlotKind::CardLocation;
        g.players[kPile].name = "Pile";
        for (int u : kHiddenByRed) g.unit(u).setHiddenBy(kRed);
        g.unit(kIdHiddenByRed).setHiddenBy(kRed);
        g.unit(kIdHiddenByRed).set(UnitFlags::kIdHidden);
        commitStartPositions(g);
        g.setCardPlace(1, 1, kBlue);
        g.setCardPlace(1, 2, kRed);
        g.setCardPlace(1, 3, kRed);
        g.setCardPlace(1, 4, kPile);
        m_sent = serializeSavedGame(g, module, {});
        ASSERT_TRUE(writeFileAtomically(path("sent.qms"), m_sent));
    }

    struct Loaded {
        GameState state;
        Bytes record;
        bool ok = false;
    };
    Loaded read(std::span<const std::uint8_t> bytes) const {
        Loaded l{GameState(module), {}, false};
        ScriptedPrompts quiet;
        const SavedGameLoad load = readSavedGame(bytes, module, l.state, quiet);
        l.ok = load.ok;
        l.record = load.replay;
        return l;
    }

    // Red's random turn on Blue's game; the saved reply, or nothing when
    // nothing was recorded (Save greyed).
    Bytes redTurn(unsigned seed) {
        std::mt19937 rng(seed);
        const test::Pick pick = [&](int n) {
            return n <= 1 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(n));
        };
        Machine& m = red->m;
        m.prompts.identities.push_back(IdentityAnswer{kRed, "red"});
        m.session.loadGameFile(path("sent.qms"));
        EXPECT_EQ(m.game.currentSlot, kRed);
        if (pick(3) == 0) {
            m.prompts.yesNo.push_back(true);
            resetRecorder(m.game, m.file, m.prompts, false);
        }
        std::set<int> secret = kHiddenByRed;
        secret.insert(kIdHiddenByRed);
        for (int n = 1 + pick(10); n > 0; --n) test::playCommand(*red, pick, secret);
        test::finishTurn(*red);
        fs::remove(path("reply.qms"));
        m.prompts.files.push_back(path("reply"));
        m.session.saveGame();
        m.prompts.files.clear();
        return readWholeFile(path("reply.qms"), kMaxSaveFileSize).value_or(Bytes{});
    }

    // The replay as `viewer` sees it (a wrong password for every sealed
    // comment): every event and box checked for what it must not show.
    void watch(const Bytes& reply, std::uint8_t viewer, unsigned seed) {
        Loaded l = read(reply);
        ASSERT_TRUE(l.ok);
        l.state.currentSlot = viewer;
        ScriptedPrompts person;
        for (int k = 0; k < 64; ++k) person.answers.push_back(std::string("guess"));
        ModuleCardTexts texts(module);
        ReplayPlayback playback(l.state, module, person, texts);
        const std::string who =
            "seed " + std::to_string(seed) + ", viewer " + std::to_string(viewer) + ": ";
        auto clean = [&](const std::string& text, bool cardAllowed) {
            EXPECT_EQ(text.find("Secret"), std::string::npos) << who << text;
            EXPECT_EQ(text.find(test::kSealedText), std::string::npos) << who << text;
            if (!cardAllowed) {
                EXPECT_EQ(text.find("CardText"), std::string::npos) << who << text;
            }
        };
        for (ReplayEvent e = playback.start(l.record); e.kind != ReplayEventKind::End;
             e = playback.step()) {
            if (e.kind == ReplayEventKind::NothingToReplay || e.kind == ReplayEventKind::Refused)
                break;
            for (int u : e.units) EXPECT_FALSE(kHiddenByRed.count(u)) << who << "unit " << u;
            EXPECT_FALSE(kHiddenByRed.count(e.shownUnit)) << who << "unit " << e.shownUnit;
            const bool cardShown = e.code == codeByte(ReplayCode::CardShown) ||
                                   e.code == codeByte(ReplayCode::CardShownReturned) ||
                                   (e.code == codeByte(ReplayCode::CardGiven) && viewer == kBlue);
            for (const ReplayMessage& msg : e.messages) clean(msg.text, cardShown);
            if (e.display) clean(*e.display, cardShown);
            if (e.status) clean(*e.status, false);
        }
        for (const auto& shown : person.shown) clean(shown.text, false);
    }

    void playSeed(unsigned seed) {
        const Bytes reply = redTurn(seed);
        if (reply.empty()) return;
        const Loaded sent = read(m_sent), got = read(reply);
        ASSERT_TRUE(got.ok) << "seed " << seed;
        for (std::uint8_t viewer : {kRed, kBlue}) {
            const TurnCheck check =
                checkTurn(module, {sent.state, sent.record}, {got.state, got.record}, viewer);
            ASSERT_TRUE(check.consistent()) << "seed " << seed << ": " << check.findings.front();
        }
        // The text save carries the same game and record.
        const Loaded text = read(encodeCheckedTextSave(reply));
        ASSERT_TRUE(text.ok) << "seed " << seed;
        EXPECT_EQ(serializeSavedGame(text.state, module, text.record),
                  serializeSavedGame(got.state, module, got.record))
            << "seed " << seed;

        for (std::uint8_t viewer : {kBlue, kObserver}) watch(reply, viewer, seed);

        // Reset Recorder: nothing left to replay.
        Machine& m = red->m;
        m.prompts.identities.push_back(IdentityAnswer{kRed, "red"});
        m.session.loadGameFile(path("reply.qms"));
        m.prompts.yesNo.push_back(true);
        ASSERT_EQ(resetRecorder(m.game, m.file, m.prompts, false), ResetOutcome::Reset);
        ModuleCardTexts texts(module);
        ReplayPlayback playback(m.game, module, m.prompts, texts);
        EXPECT_EQ(playback.start(m.file.read()).kind, ReplayEventKind::NothingToReplay)
            << "seed " << seed;
    }

    const Module module = randomModule();
    // Thousands of saves: in memory where the system has a folder for it.
    const test::TempFolder m_folder{"qmx-randomplay", fs::is_directory("/dev/shm")
                                                          ? fs::path("/dev/shm")
                                                          : fs::temp_directory_path()};
    Bytes m_sent;
    std::unique_ptr<test::Table> red;
};

TEST_F(RandomPlay, EveryTurnReplaysExactlyAndRevealsNothingHidden) {
    if (const char* one = std::getenv("QMX_RANDOM_SEED")) {
        playSeed(static_cast<unsigned>(std::strtoul(one, nullptr, 10)));
        return;
    }
    const char* many = std::getenv("QMX_RANDOM_SEEDS");
    const unsigned seeds = many ? static_cast<unsigned>(std::strtoul(many, nullptr, 10)) : 3000;
    for (unsigned seed = 1; seed <= seeds && !HasFatalFailure(); ++seed) playSeed(seed);
}

}  // namespace
}  // namespace qmx
