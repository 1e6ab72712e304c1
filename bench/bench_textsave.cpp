// Encoding and decoding a text save, against copying the same bytes (the floor).
// Sizes: a small game and one with the maximal 65,000 units and a long record.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "core/game/EncodedSave.h"

namespace {

qmx::Bytes randomBytes(std::size_t n) {
    std::mt19937 rng(7);
    qmx::Bytes b(n);
    for (auto& v : b) v = static_cast<std::uint8_t>(rng());
    return b;
}

// 9 header bytes, 231 block bytes, card places, hex states and units.
constexpr std::size_t kSmallSave = 9 + 231 + 500 + 40 * 30 + 200 * 15 + 2000;
constexpr std::size_t kLargeSave = 9 + 231 + 20 * 250 + 250 * 249 + 65000 * 15 + 200000;

void BM_CopyFloor(benchmark::State& state) {
    const qmx::Bytes binary = randomBytes(static_cast<std::size_t>(state.range(0)) * 2);
    qmx::Bytes out(binary.size());
    for (auto _ : state) {
        std::memcpy(out.data(), binary.data(), binary.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * binary.size()));
}

void BM_Encode(benchmark::State& state) {
    const qmx::Bytes binary = randomBytes(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        qmx::Bytes text = qmx::encodeTextSave(binary);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * binary.size()));
}

void BM_Decode(benchmark::State& state) {
    const qmx::Bytes binary = randomBytes(static_cast<std::size_t>(state.range(0)));
    const qmx::Bytes text = qmx::encodeTextSave(binary);
    for (auto _ : state) {
        auto back = qmx::decodeTextSave(text);
        benchmark::DoNotOptimize(back->data());
    }
    // Measured in bytes of the binary saved game.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * binary.size()));
}

// The floor copies the text size (twice the binary).
BENCHMARK(BM_CopyFloor)->Arg(kSmallSave)->Arg(kLargeSave);
BENCHMARK(BM_Encode)->Arg(kSmallSave)->Arg(kLargeSave);
BENCHMARK(BM_Decode)->Arg(kSmallSave)->Arg(kLargeSave);

}  // namespace

BENCHMARK_MAIN();
