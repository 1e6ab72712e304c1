// The editor's map tools on the largest map (250 x 249 hexes, 65,000 units),
// run through the main dialog's map panel as the menu runs them, each with
// its step in the edit history:
//
//   coordinates   the calibrating double-click: every hex named by system 1
//                 and the names' history step (then undone)
//   overview      Make Overview and its step (then undone)
//   overlay       Draw hex grid Overlay and its step (then undone)
//   unit table    Save and Load Unit Table of 65,000 units
//   name table    Save and Load Map Name Table of 250 x 249 hexes
//
//   bench_editmap --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "bench/BenchSupport.h"
#include "core/edit/MapEdits.h"
#include "core/edit/NewModuleForm.h"
#include "editor/CMapEditPanel.h"
#include "editor/EditorDocument.h"
#include "tests/support/ScriptedEditorDialogs.h"

namespace {

using namespace qmx;
using qmx::bench::threadSeconds;

class SilentPrompts : public CoordinatePrompts {
public:
    void showMessage(int) override {}
    void showText(std::string_view, const std::string&) override {}
    int chooseSystem(GridOrientation) override { return 1; }
};

struct Fixture {
    std::unique_ptr<test::ScriptedEditorDialogs> prompts =
        std::make_unique<test::ScriptedEditorDialogs>();
    std::unique_ptr<FixedClock> clock = std::make_unique<FixedClock>();
    std::unique_ptr<EditorDocument> document;
    std::unique_ptr<CMapEditPanel> panel;
    std::string folder = std::filesystem::temp_directory_path().string() + "/";

    Fixture() {
        document = std::make_unique<EditorDocument>(folder, *prompts, *clock);
        NewModuleForm form;
        form.columns = 250;
        form.rows = 249;
        form.units = 65000;
        form.confirm();
        document->newModule(form);
        for (int u = 1; u <= document->module().unitCount; ++u)
            document->module().units[u].name = "Unit " + std::to_string(u);
        panel = std::make_unique<CMapEditPanel>(*document);
    }
    std::string table(const char* name) const {
        return folder + "qmx_bench_editmap_" + std::to_string(::getpid()) + name;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

template <class Op>
void timed(benchmark::State& state, Op op) {
    for (auto _ : state) {
        const double t0 = threadSeconds();
        op();
        state.SetIterationTime(threadSeconds() - t0);
    }
}

void BM_Coordinates(benchmark::State& state) {
    Fixture& f = fixture();
    SilentPrompts prompts;
    timed(state, [&] {
        CoordinateCalibration c;
        c.start(f.document->module().orientation, prompts);
        c.doubleClick(f.document->module(), 250, 1, prompts);
        f.document->history().apply(
            hexNamesEdit(f.document->module(), c.lastNaming().changes, "Coordinates"));
        f.document->history().closeStep();
        f.document->history().undo();
    });
    state.counters["hexes"] = 250.0 * 249;
}

void BM_MakeOverview(benchmark::State& state) {
    Fixture& f = fixture();
    timed(state, [&] {
        f.panel->makeOverview();
        f.document->history().undo();
    });
}

void BM_GridOverlay(benchmark::State& state) {
    Fixture& f = fixture();
    timed(state, [&] {
        f.panel->gridOverlay();
        f.document->history().undo();
    });
}

void BM_UnitTable(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string path = f.table("units.txt");
    timed(state, [&] {
        std::filesystem::remove(path);
        f.prompts->fileAnswers.push_back(QString::fromStdString(path));
        f.panel->saveUnitTable();
        f.prompts->fileAnswers.push_back(QString::fromStdString(path));
        f.panel->loadUnitTable();
    });
    std::filesystem::remove(path);
    f.prompts->shown.clear();
}

void BM_NameTable(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string path = f.table("names.txt");
    timed(state, [&] {
        std::filesystem::remove(path);
        f.prompts->fileAnswers.push_back(QString::fromStdString(path));
        f.panel->saveNameTable();
        f.prompts->fileAnswers.push_back(QString::fromStdString(path));
        f.panel->loadNameTable();
    });
    std::filesystem::remove(path);
    f.prompts->shown.clear();
}

BENCHMARK(BM_Coordinates)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MakeOverview)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GridOverlay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_UnitTable)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_NameTable)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
