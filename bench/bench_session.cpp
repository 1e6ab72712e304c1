// The player's turn in the core, at the largest sizes:
//  - picking up and putting down one stack of 1,000 and of 65,000 units
//    (with the move start entry that lists every unit): the cost per unit
//    must not grow with the stack;
//  - loading a saved game of 65,000 units with the stack repair and the
//    identification, against reading the file's bytes (the floor);
//  - the autosave written after a recorded action, against writing the same
//    bytes (the floor).
//
//   bench_session --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/BenchSupport.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/module/Random.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/session/SilentPrompts.h"
#include "core/settings/Settings.h"

namespace {

using namespace qmx;
using qmx::bench::benchFilePath;
using qmx::bench::medianSeconds;

// Answers as a player who knows the password "pw" would, and shows nothing.
class Player : public SilentPrompts {
public:
    void showMessage(int) override {}
    void showText(const std::string&, const std::string&) override {}
    std::optional<IdentityAnswer> askIdentity(const std::vector<std::string>&) override {
        return IdentityAnswer{0, "pw"};
    }
};

// A game of `units` units on a 250 x 249 map, all in one stack on (1, 1).
struct Table {
    explicit Table(int units)
        : module(Module::createEmpty(kMaxColumns, kMaxRows, GridOrientation::RowsAligned, units)),
          folder(benchFilePath("session", units, "")),
          game(module),
          file(folder + "/record.tmp"),
          settings(folder + "/QMX.ini"),
          recorder(file, game, prompts),
          session(module, game, recorder, file, prompts, settings, random,
                  SessionFiles{folder + "/", "Bench", folder + "/"}) {
        std::filesystem::create_directories(folder);
    }
    ~Table() { std::filesystem::remove_all(folder); }

    Module module;
    std::string folder;
    GameState game;
    ReplayFile file;
    Settings settings;
    Player prompts;
    Random random;
    ReplayRecorder recorder;
    PlayerSession session;
};

// One pick-up, one click off the hex (the move start with every unit), one
// drop, and back again; per unit.
void BM_PickUpAndDrop(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    Table t(units);
    bool there = false;
    for (auto _ : state) {
        const Hex from = there ? Hex{2, 1} : Hex{1, 1};
        const Hex to = there ? Hex{1, 1} : Hex{2, 1};
        t.session.doubleClick(from);
        t.session.click(to);
        t.session.doubleClick(to);
        there = !there;
        // The record grows by a move start per move; keep it small.
        if (!there) t.file.remove();
    }
    state.counters["units"] = units;
    state.counters["ns_per_unit"] = benchmark::Counter(
        static_cast<double>(units),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// A saved game of 65,000 units with two identified players, loaded, its
// stacks repaired and its player identified; the floor reads its bytes.
void BM_LoadRepairIdentify(benchmark::State& state) {
    Table t(kMaxUnits);
    t.game.players[0].kind = SlotKind::Player;
    t.game.players[1].kind = SlotKind::Player;
    initializePlayer(t.game, "Blue", "pw", 3);
    initializePlayer(t.game, "Red", "other", 5);
    const std::string path = t.folder + "/big.qms";
    const Bytes replay(200, 1);
    writeFileAtomically(path, serializeSavedGame(t.game, t.module, replay));
    double load = 0;
    double floor = 0;
    for (auto _ : state) {
        floor += medianSeconds([&] { benchmark::DoNotOptimize(readWholeFile(path)); }, 0.05, 5);
        load += medianSeconds([&] { t.session.loadGameFile(path); }, 0.05, 5);
    }
    if (t.game.currentSlot != 0) state.SkipWithError("not identified");
    const double n = static_cast<double>(state.iterations());
    state.counters["load_ms"] = load / n * 1e3;
    state.counters["read_ms"] = floor / n * 1e3;
    state.counters["x_floor"] = floor > 0 ? load / floor : 0;
}

// The autosave after a drop in a game of 65,000 units, against writing the
// same bytes once.
void BM_Autosave(benchmark::State& state) {
    Table t(kMaxUnits);
    // Unit 1 alone on (3, 3), the others stay on (1, 1).
    t.game.setStackHead(1, 1, 2);
    UnitState& one = t.game.unit(1);
    one.column = one.row = 3;
    one.stackLink = 0;
    t.game.setStackHead(3, 3, 1);
    const Bytes bytes = serializeSavedGame(t.game, t.module, {});
    const std::string plain = t.folder + "/plain.qms";
    double drop = 0;
    double floor = 0;
    for (auto _ : state) {
        floor += medianSeconds([&] { writeFileAtomically(plain, bytes); }, 0.05, 5);
        drop += medianSeconds(
            [&] {
                // Unit 1 picked up and put down: the drop entry, then the autosave.
                t.session.doubleClick({3, 3});
                t.session.doubleClick({3, 3});
            },
            0.05, 5);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["autosaves"] = t.session.autosaveCount();
    state.counters["drop_ms"] = drop / n * 1e3;
    state.counters["write_ms"] = floor / n * 1e3;
    state.counters["x_floor"] = floor > 0 ? drop / floor : 0;
}

BENCHMARK(BM_PickUpAndDrop)->Arg(1000)->Arg(kMaxUnits)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadRepairIdentify)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Autosave)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
