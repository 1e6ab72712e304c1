// The editor's map tools and tables against their floors.
//
//   NameHexes        every hex of the map named by a coordinate system; floor:
//                    writing one fixed name into every hex
//   UnitTable*       building and reading the unit table, saving and loading
//                    its file; floor: copying the table's bytes (build, read)
//                    or writing and reading the same bytes as a file
//   NameTable*       the same for the map name table
//   MakeOverview     the tiles of every hex; floor: reading every pixel of
//                    the map picture once
//
// Size 0 is small (20 x 20 hexes, 33 units), size 1 the largest the module
// holds (250 x 249 hexes, 65,000 units). "x_floor" is the ratio to the floor
// in the same run; "ns_item" the time per hex or unit, which stays flat from
// the small size to the large one when the work grows linearly.
//
//   build/bench/bench_maptools --benchmark_counters_tabular=true

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/edit/NameTableFile.h"
#include "core/edit/UnitTableFile.h"
#include "core/map/CoordinateNaming.h"
#include "core/map/MapPicture.h"
#include "core/module/FileIo.h"
#include "core/module/UnitImageSheet.h"

using namespace qmx;
using namespace qmx::bench;

namespace {

Module& moduleOf(int size) {
    static Module modules[2];
    Module& m = modules[size];
    if (m.columns == 0) {
        const bool large = size > 0;
        m = Module::createEmpty(large ? kMaxColumns : 20, large ? kMaxRows : 20,
                                GridOrientation::RowsAligned, large ? kMaxUnits : kMinUnits);
        for (int u = 1; u <= m.unitCount; ++u) {
            UnitDefinition& d = m.units[static_cast<std::size_t>(u)];
            d.name = "Blue " + std::to_string(u) + " Infantry Regiment";
            d.stepImage = {static_cast<std::uint16_t>(u % 900 + 1), 7, 8, 0, 0, 0};
            for (int s = 0; s < kStepCount; ++s)
                for (int v = 0; v < kValueCount; ++v)
                    d.values[s][v] = static_cast<std::uint8_t>(u + s + v);
        }
    }
    return m;
}

int itemsOfHexes(const Module& m) {
    return m.columns * m.rows;
}

// Times `op` in the loop and `floor` after it, and reports both.
template <class Op, class Floor>
void measure(benchmark::State& state, int items, std::size_t bytes, Op op, Floor floor) {
    std::vector<double> times;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        op();
        times.push_back(threadSeconds() - t0);
    }
    const double opTime = medianOf(times);
    const double floorTime = medianSeconds(floor, 0.2);
    state.counters["x_floor"] = opTime / floorTime;
    state.counters["ms"] = opTime * 1e3;
    state.counters["floor_ms"] = floorTime * 1e3;
    state.counters["ns_item"] = opTime * 1e9 / items;
    if (bytes > 0) state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void copyOf(const Bytes& bytes) {
    Bytes copy(bytes.begin(), bytes.end());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
}

void BM_NameHexes(benchmark::State& state) {
    Module& m = moduleOf(static_cast<int>(state.range(0)));
    const int system = static_cast<int>(state.range(1));
    // An origin from which the system names every hex: leftwards from the
    // last column, rightwards from the first; system 18 from the last row up.
    const CoordinateOrigin origin{system == 10 ? 1 : m.columns, 1};
    const int rowA = m.rows;
    measure(
        state, itemsOfHexes(m), 0,
        [&] { benchmark::DoNotOptimize(nameModuleHexes(m, system, origin, rowA).named); },
        [&] {
            for (int r = 1; r <= m.rows; ++r)
                for (int c = 1; c <= m.columns; ++c) m.hex(c, r).name = "0101";
            benchmark::ClobberMemory();
        });
}

void BM_UnitTableBuild(benchmark::State& state) {
    const Module& m = moduleOf(static_cast<int>(state.range(0)));
    const UnitStepBytes steps(static_cast<std::size_t>(m.unitCount) + 1, -1);
    const Bytes table = buildUnitTable(m, steps);
    measure(
        state, m.unitCount, table.size(),
        [&] { benchmark::DoNotOptimize(buildUnitTable(m, steps).data()); }, [&] { copyOf(table); });
}

void BM_UnitTableRead(benchmark::State& state) {
    const Module& m = moduleOf(static_cast<int>(state.range(0)));
    const Bytes table = buildUnitTable(m, {});
    Module target = m;
    UnitStepBytes steps;
    measure(
        state, m.unitCount, table.size(),
        [&] { benchmark::DoNotOptimize(readUnitTable(table, target, steps)); },
        [&] { copyOf(table); });
}

void BM_UnitTableFiles(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const Module& m = moduleOf(size);
    const std::string path = benchFilePath("unittable", size, ".txt");
    const std::string floorPath = benchFilePath("unittable_floor", size, ".txt");
    const Bytes table = buildUnitTable(m, {});
    Module target = m;
    UnitStepBytes steps;
    measure(
        state, m.unitCount, table.size(),
        [&] {
            saveUnitTableFile(path, m, {});
            benchmark::DoNotOptimize(loadUnitTableFile(path, target, steps).lines);
        },
        [&] {
            writeFileAtomically(floorPath, table);
            benchmark::DoNotOptimize(readWholeFile(floorPath));
        });
    std::filesystem::remove(path);
    std::filesystem::remove(floorPath);
}

void BM_NameTableBuild(benchmark::State& state) {
    const Module& m = moduleOf(static_cast<int>(state.range(0)));
    const Bytes table = buildNameTable(m);
    measure(
        state, itemsOfHexes(m), table.size(),
        [&] { benchmark::DoNotOptimize(buildNameTable(m).data()); }, [&] { copyOf(table); });
}

void BM_NameTableRead(benchmark::State& state) {
    const Module& m = moduleOf(static_cast<int>(state.range(0)));
    const Bytes table = buildNameTable(m);
    Module target = m;
    measure(
        state, itemsOfHexes(m), table.size(),
        [&] { benchmark::DoNotOptimize(readNameTable(table, target)); }, [&] { copyOf(table); });
}

void BM_NameTableFiles(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    const Module& m = moduleOf(size);
    const std::string path = benchFilePath("nametable", size, ".txt");
    const std::string floorPath = benchFilePath("nametable_floor", size, ".txt");
    const Bytes table = buildNameTable(m);
    Module target = m;
    measure(
        state, itemsOfHexes(m), table.size(),
        [&] {
            saveNameTableFile(path, m);
            benchmark::DoNotOptimize(loadNameTableFile(path, target).lines);
        },
        [&] {
            writeFileAtomically(floorPath, table);
            benchmark::DoNotOptimize(readWholeFile(floorPath));
        });
    std::filesystem::remove(path);
    std::filesystem::remove(floorPath);
}

void BM_MakeOverview(benchmark::State& state) {
    Module m = moduleOf(static_cast<int>(state.range(0)));
    const PixelPoint map = blankMapSize(m.columns, m.rows, m.orientation);
    m.mapTop = 166;
    OwnedPicture image(map.x, map.y + m.mapTop, 0);
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = 0xFF000000u | static_cast<Pixel>((i * 2654435761u) & 0xFFFFFFu);
    PixelSurface surface = image.surface();
    surface.writable = mapPictureRect(m, image.width, image.height);
    measure(
        state, itemsOfHexes(m), image.pixels.size() * sizeof(Pixel),
        [&] {
            const OwnedPicture tiles = buildOverviewTiles(m, surface);
            stretchOverview(tiles, surface, m.overviewWidth, m.overviewHeight);
        },
        [&] {
            Pixel sum = 0;
            for (int y = surface.writable.y; y < image.height; ++y)
                for (int x = 0; x < image.width; ++x) sum += surface.at(x, y);
            benchmark::DoNotOptimize(sum);
        });
}

}  // namespace

BENCHMARK(BM_NameHexes)
    ->ArgsProduct({{0, 1}, {1, 10, 18}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_UnitTableBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnitTableRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnitTableFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NameTableBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NameTableRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_NameTableFiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MakeOverview)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
