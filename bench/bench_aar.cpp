// The after-action report of a game of the demo module: 5, 10 and 20 copies
// of its first turn written as one page, so that the time per turn shows
// whether the export grows linearly with the game (it should: each turn is
// loaded, drawn and reported on its own).
//
//   bench_aar --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "bench/BenchSupport.h"
#include "graphics/AfterActionExport.h"
#include "tools/demo/DemoGames.h"
#include "tools/demo/DemoModule.h"

namespace {

using namespace qmx;
namespace fs = std::filesystem;

struct Demo {
    fs::path folder;
    ModuleLoad module;
    ModuleGraphics graphics;
    std::string modulePath;
    std::string turnPath;
};

const Demo& demo() {
    static const Demo d = [] {
        Demo w;
        w.folder = fs::temp_directory_path() / "qmx_bench_aar";
        fs::create_directories(w.folder);
        if (!demo::writeDemoModule((w.folder / "modules").string())) std::abort();
        w.modulePath = (w.folder / "modules" / "Demo.qm4").string();
        w.module = loadModuleFile(w.modulePath, ModuleReader::Player);
        if (!w.module.ok || !w.graphics.load(w.modulePath).ok()) std::abort();
        if (!demo::writeDemoGames((w.folder / "Savedgames").string(), w.module.module))
            std::abort();
        w.turnPath = (w.folder / "Savedgames" / demo::kDemoTurnOneName).string();
        return w;
    }();
    return d;
}

void BM_ExportTurns(benchmark::State& state) {
    const Demo& d = demo();
    const auto turns = static_cast<std::size_t>(state.range(0));
    AarRequest request;
    request.modulePath = d.modulePath;
    request.module = &d.module.module;
    request.cardOffset = d.module.cardOffset;
    request.graphics = &d.graphics;
    request.saves.assign(turns, d.turnPath);
    request.folder = (d.folder / "report").string();
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!writeAfterActionReport(request).ok) state.SkipWithError("export failed");
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(seconds);
        state.counters["ms_per_turn"] = seconds * 1000.0 / static_cast<double>(turns);
    }
}

}  // namespace

BENCHMARK(BM_ExportTurns)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(fs::temp_directory_path() / "qmx_bench_aar", ec);
    return 0;
}
