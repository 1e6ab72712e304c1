// Reading a module against reading its bytes.
//
// The floor of a reader is getting the same bytes into memory: a copy of the
// buffer (for parseModule) or reading the whole file (for loadModuleFile).
// Each reader benchmark also times its floor right after its own loop and
// reports the ratio as the counter "x_floor", so the figure holds on a noisy
// machine; both are timed in CPU time of the thread, which other programs on
// the machine disturb less than the wall clock. Size 0 is a small module
// (20 x 20 hexes, 33 units, one short deck); sizes 1 and 2 the largest the
// format holds: 250 x 249 hexes, 65,000 units and 20 decks of 250 cards of
// 1,064 characters (the card editor's limit). Size 1 has unit names of up to
// 9 characters ("Inf 65000"), size 2 names that fill the 36-character field:
// each such name costs the reader a heap allocation.
//
// BM_LoadFilePlayer's x_floor is the figure to watch: the player's file
// reader reads only blocks 1 to 6 (7.6 MB of the largest module's 12.9 MB;
// the other 5.3 MB are card texts, read one card at a time when shown), and
// its ratio is taken against reading the whole file.
//
//   build/bench/bench_module --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"

using namespace qmx;
using namespace qmx::bench;

namespace {

Module makeModule(int size) {
    const bool maximal = size > 0;
    const int columns = maximal ? kMaxColumns : 20;
    const int rows = maximal ? kMaxRows : 20;
    Module m = Module::createEmpty(columns, rows, GridOrientation::RowsAligned,
                                   maximal ? kMaxUnits : kMinUnits);
    m.moduleId = {1, 2, 3};
    m.authorNotes = std::string(499, 'n');
    m.valueNames = {"Att", "Def", "Mov", "Rng", "Cost", "Qual"};
    for (int i = 1; i <= m.unitCount; ++i) {
        UnitDefinition& u = m.units[i];
        u.name = "U" + std::to_string(i);
        for (int s = 0; s < kStepCount; ++s) {
            u.stepImage[s] = static_cast<std::uint16_t>(1 + (i + s) % 1000);
            for (int v = 0; v < kValueCount; ++v) u.values[s][v] = static_cast<std::uint8_t>(i + v);
        }
    }
    const int decks = maximal ? kDeckCount : 1;
    const int cards = maximal ? kMaxCards : 5;
    const std::size_t textSize = maximal ? 1064 : 100;
    for (int d = 1; d <= decks; ++d) {
        m.decks[d].name = "Deck " + std::to_string(d);
        m.decks[d].cardCount = static_cast<std::uint8_t>(cards);
        for (int c = 1; c <= cards; ++c) {
            std::string text(textSize, 'c');
            for (std::size_t k = 60; k < text.size(); k += 62) text[k - 1] = '\r', text[k] = '\n';
            m.decks[d].cards[c] = {static_cast<std::uint32_t>(text.size() + 4), std::move(text)};
        }
    }
    return m;
}

struct Fixture {
    Bytes bytes;
    std::string path;
};

const Fixture& fixture(int size) {
    static Fixture fixtures[3];
    Fixture& f = fixtures[size];
    if (f.bytes.empty()) {
        f.bytes = serializeModule(makeModule(size));
        f.path = benchFilePath("module", size, ".qm4");
        if (!writeFileAtomically(f.path, f.bytes))
            std::fprintf(stderr, "cannot write %s\n", f.path.c_str());
    }
    return f;
}

void copyBytes(const Fixture& f) {
    Bytes copy(f.bytes.begin(), f.bytes.end());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
}

void readFile(const Fixture& f) {
    auto data = readWholeFile(f.path);
    benchmark::DoNotOptimize(data);
}

// Runs `op` in the benchmark loop, then its floor, and reports the ratio.
template <class Op, class Floor>
void measure(benchmark::State& state, const Fixture& f, Op op, Floor floor) {
    std::vector<double> times;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        op();
        times.push_back(threadSeconds() - t0);
    }
    const double opTime = medianOf(times);
    const double floorTime = medianSeconds([&] { floor(f); }, 0.2);
    state.counters["x_floor"] = opTime / floorTime;
    state.counters["floor_ms"] = floorTime * 1e3;
    state.counters["MB"] = static_cast<double>(f.bytes.size()) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(f.bytes.size()));
}

void BM_CopyBytes(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    measure(
        state, f, [&] { copyBytes(f); }, copyBytes);
}

void BM_ReadFile(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    measure(
        state, f, [&] { readFile(f); }, readFile);
}

void BM_ParsePlayer(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    measure(
        state, f,
        [&] {
            ModuleLoad l = parseModule(f.bytes, ModuleReader::Player);
            if (!l.ok) state.SkipWithError("module not read");
            benchmark::DoNotOptimize(l);
        },
        copyBytes);
}

void BM_ParseEditor(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    measure(
        state, f,
        [&] {
            ModuleLoad l = parseModule(f.bytes, ModuleReader::Editor);
            if (!l.ok) state.SkipWithError("module not read");
            benchmark::DoNotOptimize(l);
        },
        copyBytes);
}

void BM_LoadFilePlayer(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    measure(
        state, f,
        [&] {
            ModuleLoad l = loadModuleFile(f.path, ModuleReader::Player);
            if (!l.ok) state.SkipWithError("module not read");
            benchmark::DoNotOptimize(l);
        },
        readFile);
}

void BM_LoadFileEditor(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    measure(
        state, f,
        [&] {
            ModuleLoad l = loadModuleFile(f.path, ModuleReader::Editor);
            if (!l.ok) state.SkipWithError("module not read");
            benchmark::DoNotOptimize(l);
        },
        readFile);
}

// The last card of the largest module: the player's look-up walks every record.
void BM_FindLastCard(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    const ModuleLoad l = parseModule(f.bytes, ModuleReader::Player);
    const int deck = state.range(0) > 0 ? kDeckCount : 1;
    const int card = state.range(0) > 0 ? kMaxCards : 5;
    measure(
        state, f,
        [&] {
            CardText t = findCardText(f.bytes, l.cardOffset, deck, card);
            if (t.status != CardLookup::Found) state.SkipWithError("card not found");
            benchmark::DoNotOptimize(t);
        },
        copyBytes);
}

BENCHMARK(BM_CopyBytes)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParsePlayer)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseEditor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFile)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFilePlayer)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFileEditor)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindLastCard)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Freed memory stays with the process, so every iteration (of a reader
    // and of its floor alike) reuses pages instead of faulting in fresh ones:
    // on virtual machines a fresh page can cost tens of microseconds, which
    // would measure the machine's paging rather than the reader. A first
    // load in a fresh process pays those faults once, as reading the file
    // into fresh memory does.
    mallopt(M_MMAP_THRESHOLD, 512 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int size : {0, 1, 2}) std::filesystem::remove(fixture(size).path);
    return 0;
}
