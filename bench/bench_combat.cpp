// The panel's work on one hex holding every unit of a 65,000-unit module:
// listing the six slots and totalling the stack, against the floor of one
// walk along the chain. Both should grow linearly with the stack.

#include <benchmark/benchmark.h>

#include "core/combat/CombatRules.h"
#include "core/combat/StackListing.h"
#include "core/game/GameState.h"
#include "core/module/Module.h"

namespace {

struct BigStack {
    explicit BigStack(int units)
        : module(qmx::Module::createEmpty(30, 20, qmx::GridOrientation::RowsAligned, units)),
          game(module) {
        for (int v = 0; v < qmx::kValueCount; ++v)
            module.setTotalMode(v, static_cast<qmx::TotalMode>(v % 4));
        for (int u = 1; u <= units; ++u)
            module.units[static_cast<std::size_t>(u)].values[0] = {1, 2, 3, 4, 5, 6};
    }
    qmx::Module module;
    qmx::GameState game;  // every unit on (1, 1), one stack
};

void BM_ChainWalk(benchmark::State& state) {
    BigStack s(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(s.game.stackAt(1, 1).size());
    state.SetComplexityN(state.range(0));
}

void BM_TotalStack(benchmark::State& state) {
    BigStack s(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(qmx::stackTotals(s.game, s.module, s.game.stackHead(1, 1)).count);
    state.SetComplexityN(state.range(0));
}

void BM_ListAndTotal(benchmark::State& state) {
    BigStack s(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const int head = s.game.stackHead(1, 1);
        benchmark::DoNotOptimize(qmx::listStack(s.game, s.module, head, 1).units[5].unit);
        benchmark::DoNotOptimize(qmx::stackTotals(s.game, s.module, head).count);
    }
    state.SetComplexityN(state.range(0));
}

}  // namespace

BENCHMARK(BM_ChainWalk)->RangeMultiplier(4)->Range(1024, 65000)->Complexity(benchmark::oN);
BENCHMARK(BM_TotalStack)->RangeMultiplier(4)->Range(1024, 65000)->Complexity(benchmark::oN);
BENCHMARK(BM_ListAndTotal)->RangeMultiplier(4)->Range(1024, 65000)->Complexity(benchmark::oN);
BENCHMARK_MAIN();
