// Playing a replay record through the engine (no drawing) and writing its
// Move report, against reading the same record pair by pair (the floor).
// Records of 1,000 and 100,000 entries: moves of one to three units along one
// to four hexes with a unit command on the way, comments, and combats
// followed by their result and its comment. The counter "per_entry" is the
// time per entry; it should not grow with the length of the record.
//
// BM_JumpTo: the replay timeline's jump to entry k of a 100,000-entry record
// (a silent replay from the start), for k = 1,000, 10,000 and 100,000; the
// last is the jump to the end, which takes a second pass. The cost should
// grow with k, and the jump to the end should stay within 100 ms.
//
// BM_TurnCheck: the check of a reply against the game sent (65,000 units,
// a 100,000-entry record played from the sent state), against
// BM_PlaybackLarge, the replay of the same record on the same game; the check
// should cost no more than the replay.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "bench/BenchSupport.h"
#include "core/game/GameState.h"
#include "core/game/UserPrompts.h"
#include "core/module/Module.h"
#include "core/module/Random.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayPlayback.h"
#include "core/replay/ReplayReader.h"
#include "core/replay/ReplayRecorder.h"
#include "core/replay/TextReport.h"
#include "core/replay/TurnCheck.h"
#include "core/session/PlayerSession.h"
#include "core/session/ReplayControl.h"
#include "core/settings/Settings.h"
#include "tests/support/ScriptedPrompts.h"

namespace {

using namespace qmx;
using qmx::bench::NoPrompts;

constexpr int kColumns = 50;
constexpr int kRows = 50;
constexpr int kUnits = 1000;

struct Game {
    Module module;
    GameState state;

    explicit Game(int columns = kColumns, int rows = kRows, int units = kUnits)
        : module(Module::createEmpty(columns, rows, GridOrientation::RowsAligned, units)) {
        for (int u = 1; u <= units; ++u)
            module.units[static_cast<std::size_t>(u)].name = "Unit " + std::to_string(u);
        state.resetForModule(module);
        // Ten units a hex, in number order.
        for (auto& h : state.hexes()) h.stackHead = 0;
        for (int u = 1; u <= units; ++u) {
            UnitState& s = state.unit(u);
            const int place = (u - 1) / 10;
            s.column = s.startColumn = static_cast<std::uint8_t>(1 + place % columns);
            s.row = s.startRow = static_cast<std::uint8_t>(1 + place / columns);
            s.stackLink = s.startStackLink = static_cast<std::uint16_t>(u % 10 == 0 ? 0 : u + 1);
            if (u % 10 == 1) state.setStackHead(s.column, s.row, static_cast<std::uint16_t>(u));
        }
    }
};

Game& game() {
    static Game g;
    return g;
}

// The largest module: 65,000 units, ten a hex.
constexpr int kLargeColumns = 100;
constexpr int kLargeRows = 65;
constexpr int kLargeUnits = 65000;
constexpr int kLargeEntries = 100000;

Game& largeGame() {
    static Game g(kLargeColumns, kLargeRows, kLargeUnits);
    return g;
}

Bytes makeRecord(int entries, int units = kUnits, int columns = kColumns, int rows = kRows) {
    std::mt19937 rng(11);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    Bytes b;
    auto put = [&](std::initializer_list<int> v) {
        for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
    };
    auto unit = [&](int u) { put({u / 255, u % 255}); };
    auto hex = [&]() { put({1 + pick(columns), 1 + pick(rows)}); };
    auto text = [&](const std::string& t) {
        put({255, 242});
        for (char c : t) b.push_back(static_cast<std::uint8_t>(c));
        put({255, 249});
    };
    for (int i = 0; i < entries; ++i) {
        const int kind = pick(10);
        if (kind < 6) {
            put({255, 241});
            const int n = 1 + pick(3);
            for (int k = 0; k < n; ++k) unit(1 + pick(units));
            put({255, 247});
            hex();
            hex();
            const int path = pick(4);
            for (int k = 0; k < path; ++k) hex();
            if (pick(2)) put({255, 225});
            hex();
            put({255, 248});
        } else if (kind < 8) {
            text("The second regiment holds the ford until dusk. Turn " + std::to_string(i));
        } else {
            put({255, 239});
            for (int k = 0; k < 3; ++k) unit(1 + pick(units));
            put({255, 249, 255, 238, 2, 6});
            text("Attacker 12, defender 4: 3 to 1, rolled 5, DR");
        }
    }
    return b;
}

void perEntry(benchmark::State& state) {
    state.counters["per_entry"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReadFloor(benchmark::State& state) {
    const Bytes record = makeRecord(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ReplayReader r(record);
        unsigned sum = 0;
        while (auto p = r.pair()) sum += p->first + p->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * record.size()));
    perEntry(state);
}

void BM_Playback(benchmark::State& state) {
    Game& g = game();
    const Bytes record = makeRecord(static_cast<int>(state.range(0)));
    NoPrompts prompts;
    ModuleCardTexts cards(g.module);
    ReplayPlayback playback(g.state, g.module, prompts, cards);
    for (auto _ : state) {
        playback.start(record);
        std::size_t events = 0;
        while (playback.step().kind != ReplayEventKind::End) ++events;
        benchmark::DoNotOptimize(events);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * record.size()));
    perEntry(state);
}

void BM_MoveReport(benchmark::State& state) {
    Game& g = game();
    const Bytes record = makeRecord(static_cast<int>(state.range(0)));
    ModuleCardTexts cards(g.module);
    const ReportOptions options;
    for (auto _ : state) {
        ReportBuild report = moveReport(record, g.module, g.state, options, cards);
        benchmark::DoNotOptimize(report.text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * record.size()));
    perEntry(state);
}

void BM_JumpTo(benchmark::State& state) {
    Game& g = game();
    constexpr int kEntries = 100000;
    const auto k = static_cast<std::size_t>(state.range(0));
    const std::string path = qmx::bench::benchFilePath("jump", kEntries, ".tmp");
    ReplayFile file(path);
    file.replace(makeRecord(kEntries));
    Settings settings(qmx::bench::benchFilePath("jump", kEntries, ".ini"));
    ScriptedPrompts prompts;
    Random random;
    ReplayRecorder recorder(file, g.state, prompts);
    PlayerSession session(g.module, g.state, recorder, file, prompts, settings, random,
                          SessionFiles{"/tmp/", "Bench", "/tmp/"});
    ModuleCardTexts cards(g.module);
    ReplayControl control(session, g.module, g.state, recorder, file, prompts, settings, cards);
    control.stepReplay();
    for (auto _ : state) {
        ReplayStep s =
            k >= static_cast<std::size_t>(kEntries) ? control.jumpToEnd() : control.jumpTo(k);
        benchmark::DoNotOptimize(s.played);
    }
    state.counters["entries"] = static_cast<double>(control.played());
    control.stopReplay();
    file.remove();
    std::filesystem::remove(qmx::bench::benchFilePath("jump", kEntries, ".ini"));
}

const Bytes& largeRecord() {
    static const Bytes record = makeRecord(kLargeEntries, kLargeUnits, kLargeColumns, kLargeRows);
    return record;
}

void BM_PlaybackLarge(benchmark::State& state) {
    Game& g = largeGame();
    NoPrompts prompts;
    ModuleCardTexts cards(g.module);
    ReplayPlayback playback(g.state, g.module, prompts, cards);
    for (auto _ : state) {
        playback.start(largeRecord());
        std::size_t events = 0;
        while (playback.step().kind != ReplayEventKind::End) ++events;
        benchmark::DoNotOptimize(events);
    }
}

void BM_TurnCheck(benchmark::State& state) {
    Game& g = largeGame();
    // The reply: the sent game with the record played on it.
    GameState reply = g.state;
    {
        NoPrompts prompts;
        ModuleCardTexts cards(g.module);
        ReplayPlayback playback(reply, g.module, prompts, cards);
        const auto played = playback.playThrough(largeRecord());
        if (!played) {
            state.SkipWithError("the record does not play");
            return;
        }
        reply.units() = played->units;
    }
    std::size_t findings = 0;
    for (auto _ : state) {
        const TurnCheck check =
            checkTurn(g.module, {g.state, {}}, {reply, largeRecord()}, kObserver);
        findings = check.findings.size();
        benchmark::DoNotOptimize(findings);
    }
    state.counters["findings"] = static_cast<double>(findings);
}

BENCHMARK(BM_ReadFloor)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Playback)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MoveReport)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlaybackLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurnCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JumpTo)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
