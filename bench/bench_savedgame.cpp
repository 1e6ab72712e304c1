// Saving and loading a saved game against their floors.
//
// Writing the bytes of a game (serializeSavedGame) and reading them back
// (readBinarySavedGame, which also copies the state, checks every value and
// repairs the stacks) are compared with copying the same number of bytes;
// saving and loading the file with writing and reading the same bytes as a
// file (both through a temporary file and a rename, resp. one whole read).
// Size 0: 1,000 units on 32 x 31 hexes; size 1: the largest game, 65,000
// units on 250 x 249 hexes with 20 decks of 250 cards. Both carry a replay
// record of 20 KB and random stacks of about eight units. "ns_unit" is the
// time per unit; "x_floor" the ratio to the floor.
//
// At 65,000 units the loads touch a few MB of freshly allocated memory each
// time, and the C library hands freed memory back to the system, so page
// faults take a good part of BM_LoadFile/1. The steady state, with memory
// kept by the allocator:
//   GLIBC_TUNABLES=glibc.malloc.trim_threshold=536870912:glibc.malloc.mmap_threshold=536870912
//
//   build/bench/bench_savedgame --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/game/GameState.h"
#include "core/game/SavedGame.h"
#include "core/game/UserPrompts.h"
#include "core/module/FileIo.h"

using namespace qmx;
using namespace qmx::bench;

namespace {

struct Fixture {
    Module module;
    GameState state;
    Bytes replay;
    Bytes bytes;
    std::string path;
    std::string floorPath;
    int units = 0;
};

Fixture& fixture(int size) {
    static std::map<int, Fixture> fixtures;
    auto [it, fresh] = fixtures.try_emplace(size);
    Fixture& f = it->second;
    if (!fresh) return f;
    const bool large = size > 0;
    Module& m = f.module;
    m.moduleId = {1, 2, 3};
    m.columns = large ? kMaxColumns : 32;
    m.rows = large ? kMaxRows : 31;
    m.unitCount = large ? kMaxUnits : 1000;
    m.allocateTables();
    for (int u = 1; u <= m.unitCount; ++u)
        m.units[static_cast<std::size_t>(u)].stepImage = {1, 2, 3, 4, 0, 0};
    for (int d = 1; d <= (large ? kDeckCount : 1); ++d)
        m.decks[static_cast<std::size_t>(d)].cardCount = large ? kMaxCards : 10;
    f.units = m.unitCount;
    f.state = GameState(m);
    GameState& s = f.state;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> col(1, m.columns), row(1, m.rows);
    std::vector<std::pair<int, int>> hexes;
    for (int i = 0; i < m.unitCount / 8; ++i) hexes.push_back({col(rng), row(rng)});
    std::uniform_int_distribution<std::size_t> pick(0, hexes.size() - 1);
    std::map<std::pair<int, int>, int> last;
    for (int u = 1; u <= m.unitCount; ++u) {
        UnitState& x = s.unit(u);
        const auto hex = hexes[pick(rng)];
        x.column = x.startColumn = static_cast<std::uint8_t>(hex.first);
        x.row = x.startRow = static_cast<std::uint8_t>(hex.second);
        x.stackLink = x.startStackLink = 0;
        x.step = static_cast<std::uint8_t>(u % 4);
        x.facing = static_cast<std::uint8_t>(0x80 | (1 << (u % 6)));
        auto l = last.find(hex);
        if (l != last.end())
            s.unit(l->second).stackLink = s.unit(l->second).startStackLink =
                static_cast<std::uint16_t>(u);
        last[hex] = u;
    }
    for (const auto& [hex, u] : last) {
        (void)u;
        s.hex(hex.first, hex.second).state = 1;
    }
    f.replay.resize(20000);
    for (std::size_t i = 0; i < f.replay.size(); ++i)
        f.replay[i] = static_cast<std::uint8_t>(i % 250);
    f.bytes = serializeSavedGame(s, m, f.replay);
    f.path = benchFilePath("savedgame", size, ".qms");
    f.floorPath = benchFilePath("savedgame", size, "_floor.qms");
    writeFileAtomically(f.path, f.bytes);
    return f;
}

void copyBytes(const Fixture& f) {
    Bytes copy(f.bytes.begin(), f.bytes.end());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
}

void writeFloor(const Fixture& f) {
    benchmark::DoNotOptimize(writeFileAtomically(f.floorPath, f.bytes));
}

void readFloor(const Fixture& f) {
    auto data = readWholeFile(f.path);
    benchmark::DoNotOptimize(data);
}

template <class Op, class Floor>
void measure(benchmark::State& state, const Fixture& f, Op op, Floor floor) {
    for (auto _ : state) op();
    const double opTime = medianSeconds(op);
    const double floorTime = medianSeconds([&] { floor(f); });
    state.counters["ns_unit"] = opTime * 1e9 / f.units;
    state.counters["x_floor"] = opTime / floorTime;
    state.counters["floor_ms"] = floorTime * 1e3;
    state.counters["MB"] = static_cast<double>(f.bytes.size()) / 1e6;
}

void BM_Serialize(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    measure(
        state, f,
        [&] { benchmark::DoNotOptimize(serializeSavedGame(f.state, f.module, f.replay)); },
        copyBytes);
}

void BM_Read(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    NoPrompts prompts;
    GameState s(f.module);
    measure(
        state, f,
        [&] {
            const SavedGameLoad l = readBinarySavedGame(f.bytes, f.module, s, prompts);
            if (!l.ok) state.SkipWithError("not read");
        },
        copyBytes);
}

void BM_SaveFile(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    NoPrompts prompts;
    const std::string out = f.path + ".out.qms";
    measure(
        state, f,
        [&] {
            if (!saveGameFile(out, f.state, f.module, f.replay, prompts))
                state.SkipWithError("not saved");
        },
        writeFloor);
    std::filesystem::remove(out);
}

void BM_LoadFile(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    NoPrompts prompts;
    GameState s(f.module);
    measure(
        state, f,
        [&] {
            if (!loadSavedGame(f.path, f.module, s, prompts).ok) state.SkipWithError("not loaded");
        },
        readFloor);
}

}  // namespace

BENCHMARK(BM_Serialize)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int size : {0, 1}) {
        std::filesystem::remove(fixture(size).path);
        std::filesystem::remove(fixture(size).floorPath);
    }
    return 0;
}
