// Stack repair: time per unit at 1,000 and 65,000 units, against its floor.
//
// The floor is a copy of the unit and hex tables (repair runs on a fresh copy
// of the state every time, so the copy is part of each measured run and of
// the floor alike). Each case reports "ns_unit" (repair alone, copy taken
// off) and "x_floor" (copy + repair over the copy). The map grows with the
// unit count so that there is about one hex per unit: 32 x 31 hexes for 1,000
// units, 250 x 249 for 65,000. "growth" in BM_Growth is ns_unit at 65,000
// over ns_unit at 1,000: linear time gives about 1 (target: within 2).
// Where the chains run in shuffled order the walks jump about the unit
// table, which fits the processor's nearest caches at 1,000 units but not at
// 65,000; "walk_growth" is the same ratio for a bare walk along such a chain,
// the floor of that growth on the machine at hand.
//
// The small size runs over 64 different states in turn (see StateSet).
//
// Cases: 0 one stack in number order; 1 one stack in shuffled order; 2 random
// stacks of about eight units; 3 a corrupt state (random links and two heads
// per hex), which takes the repair's slow paths.
//
//   build/bench/bench_stackrepair --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <random>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/game/GameState.h"
#include "core/game/StackRepair.h"

using namespace qmx;

namespace {

Module mapFor(int units) {
    Module m;
    m.columns = units > 1000 ? kMaxColumns : 32;
    m.rows = units > 1000 ? kMaxRows : 31;
    m.unitCount = units;
    m.allocateTables();
    return m;
}

GameState makeState(int units, int kind, unsigned seed) {
    const Module m = mapFor(units);
    GameState s(m);  // one stack on (1, 1) in number order
    std::mt19937 rng(seed);
    std::vector<int> order(static_cast<std::size_t>(units));
    for (int i = 0; i < units; ++i) order[static_cast<std::size_t>(i)] = i + 1;
    std::shuffle(order.begin(), order.end(), rng);
    if (kind == 0) return s;
    std::vector<std::pair<int, int>> hexes;
    if (kind == 1) {
        hexes.assign(1, {1, 1});
    } else {
        std::uniform_int_distribution<int> col(1, m.columns), row(1, m.rows);
        for (int i = 0; i < std::max(1, units / 8); ++i) hexes.push_back({col(rng), row(rng)});
    }
    std::map<std::pair<int, int>, int> last;
    for (int u = 1; u <= units; ++u) s.unit(u).stackLink = s.unit(u).startStackLink = 0;
    std::uniform_int_distribution<std::size_t> pick(0, hexes.size() - 1);
    for (int u : order) {
        const auto hex = hexes[pick(rng)];
        UnitState& x = s.unit(u);
        x.column = x.startColumn = static_cast<std::uint8_t>(hex.first);
        x.row = x.startRow = static_cast<std::uint8_t>(hex.second);
        auto it = last.find(hex);
        if (it != last.end() && kind != 3) {
            s.unit(it->second).stackLink = static_cast<std::uint16_t>(u);
            s.unit(it->second).startStackLink = static_cast<std::uint16_t>(u);
        }
        last[hex] = u;
    }
    if (kind == 3) {
        std::uniform_int_distribution<int> any(0, units);
        for (int u = 1; u <= units; ++u) {
            s.unit(u).stackLink = static_cast<std::uint16_t>(any(rng));
            s.unit(u).startStackLink = static_cast<std::uint16_t>(any(rng));
        }
    }
    return s;
}

// At most 500 runs: a repair of the small size is short.
template <class Op>
double medianSeconds(Op op, double budget = 0.3) {
    return qmx::bench::medianSeconds(op, budget, 500);
}

// Several different states of one size, used in turn: repeating a single
// small state lets the processor's branch predictor learn its every branch,
// which would flatter the small size.
struct StateSet {
    std::vector<GameState> states;
    int units = 0;
    mutable std::size_t next = 0;
    const GameState& take() const { return states[next++ % states.size()]; }
};

StateSet makeStates(int units, int kind) {
    StateSet set;
    set.units = units;
    const int count = std::max(1, 64000 / units);
    for (int i = 0; i < count; ++i)
        set.states.push_back(makeState(units, kind, 1000u + static_cast<unsigned>(i)));
    return set;
}

void copyState(const GameState& s) {
    GameState copy = s;
    benchmark::DoNotOptimize(copy.units().data());
    benchmark::ClobberMemory();
}

void repairCopy(const GameState& s) {
    GameState copy = s;
    benchmark::DoNotOptimize(repairStacks(copy));
    benchmark::ClobberMemory();
}

// Seconds of one repair with the copy taken off, and the ratio to the floor.
std::pair<double, double> repairTime(const StateSet& set) {
    const double floor = medianSeconds([&] { copyState(set.take()); });
    const double both = medianSeconds([&] { repairCopy(set.take()); });
    return {both - floor, both / floor};
}

void BM_Repair(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    const StateSet set = makeStates(units, static_cast<int>(state.range(1)));
    for (auto _ : state) repairCopy(set.take());
    const auto [repair, ratio] = repairTime(set);
    state.counters["ns_unit"] = repair * 1e9 / units;
    state.counters["x_floor"] = ratio;
}

void BM_CopyFloor(benchmark::State& state) {
    const int units = static_cast<int>(state.range(0));
    const StateSet set = makeStates(units, 0);
    for (auto _ : state) copyState(set.take());
    state.counters["ns_unit"] = medianSeconds([&] { copyState(set.take()); }) * 1e9 / units;
}

// Seconds per unit of a walk along the chain of a shuffled stack, over
// walks of about a million units together: the memory system's own growth
// for an access pattern that jumps about the unit table.
double chainWalkSecondsPerUnit(const StateSet& set) {
    const int repeats = std::max(1, 1000000 / set.units);
    return medianSeconds([&] {
               int count = 0;
               for (int r = 0; r < repeats; ++r) {
                   const GameState& s = set.take();
                   for (int u = s.stackHead(1, 1); u != 0; u = s.unit(u).stackLink) ++count;
               }
               benchmark::DoNotOptimize(count);
           }) /
           (static_cast<double>(repeats) * set.units);
}

void BM_Growth(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const StateSet small = makeStates(1000, kind);
    const StateSet large = makeStates(kMaxUnits, kind);
    for (auto _ : state) repairCopy(large.take());
    const double a = repairTime(small).first * 1e9 / 1000;
    const double b = repairTime(large).first * 1e9 / kMaxUnits;
    state.counters["ns_unit_1k"] = a;
    state.counters["ns_unit_65k"] = b;
    state.counters["growth"] = b / a;
    state.counters["walk_growth"] = chainWalkSecondsPerUnit(makeStates(kMaxUnits, 1)) /
                                    chainWalkSecondsPerUnit(makeStates(1000, 1));
}

}  // namespace

BENCHMARK(BM_CopyFloor)->Arg(1000)->Arg(kMaxUnits)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Repair)
    ->ArgsProduct({{1000, kMaxUnits}, {0, 1, 2, 3}})
    ->ArgNames({"units", "case"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Growth)
    ->DenseRange(0, 3)
    ->ArgName("case")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(3);

BENCHMARK_MAIN();
