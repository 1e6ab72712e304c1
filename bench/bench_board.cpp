// Painting the board: a full repaint of a 1920 x 1080 window over the largest
// map (250 x 249 hexes, a unit on every hex) at each zoom, against drawing the
// bare map region of the same window (the floor). A small map is measured too.
//
//   bench_board --benchmark_counters_tabular=true
//
// The peak resident memory with the largest module loaded is printed at the end.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/BoardPainter.h"

namespace {

using namespace qmx;
using qmx::bench::threadSeconds;

constexpr int kWindowWidth = 1920;
constexpr int kWindowHeight = 1080;
constexpr int kImageCount = 1000;

// A module with a unit on every hex (as many as fit in the unit limit), each
// with its own picture of the sheet and every third one with its facing
// indicator shown, and an image holding the sheet and the whole map.
struct Board {
    Module module;
    ModuleGraphics graphics;
    GameState state;
    std::unique_ptr<BoardPainter> painter;

    Board(int columns, int rows) {
        const int units = std::min(columns * rows, kMaxUnits);
        module = Module::createEmpty(columns, rows, GridOrientation::RowsAligned, units);
        const PixelPoint map = blankMapSize(columns, rows, module.orientation);
        const SheetSize sheet = sizeSheet(kImageCount, map.x);
        module.imagesPerRow = static_cast<std::uint8_t>(std::min(sheet.imagesPerRow, 255));
        module.imageRows = static_cast<std::uint8_t>(sheet.imageRows);
        module.mapTop = static_cast<std::uint16_t>(sheet.height + 1);
        const int images = std::min(kImageCount, module.imageCapacity());

        QImage image(map.x, sheet.height + map.y, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb((x * 7) & 255, (y * 5) & 255, ((x ^ y) * 3) & 255);
        }
        graphics = ModuleGraphics(std::move(image));
        graphics.drawFixedPictures(module);

        for (int u = 1; u <= module.unitCount; ++u)
            module.units[static_cast<std::size_t>(u)].stepImage[0] =
                static_cast<std::uint16_t>(1 + (u - 1) % images);
        state.resetForModule(module);
        state.setStackHead(1, 1, 0);
        int u = 1;
        for (int r = 1; r <= rows && u <= state.unitCount(); ++r) {
            for (int c = 1; c <= columns && u <= state.unitCount(); ++c, ++u) {
                UnitState& s = state.unit(u);
                s.column = static_cast<std::uint8_t>(c);
                s.row = static_cast<std::uint8_t>(r);
                s.stackLink = 0;
                s.facing = (u % 3 == 0) ? static_cast<std::uint8_t>(kFacingShown | 4) : 0;
                state.setStackHead(c, r, static_cast<std::uint16_t>(u));
            }
        }
        painter = std::make_unique<BoardPainter>(module, graphics, state);
    }
};

Board& largeBoard() {
    static Board board(kMaxColumns, kMaxRows);
    return board;
}
Board& smallBoard() {
    static Board board(20, 15);
    return board;
}

BoardScene sceneAt(const Board& board, float zoom) {
    BoardScene scene;
    scene.zoom = zoom;
    // a window in the middle of the map (the top-left one for a small map)
    const PixelPoint extent = board.painter->geometry().scrollExtent(zoom);
    const int x = std::max(0, extent.x / 2 - kWindowWidth / 2);
    const int y = std::max(0, extent.y / 2 - kWindowHeight / 2);
    scene.scrollOrigin = {static_cast<int>(x / zoom), static_cast<int>(y / zoom)};
    scene.cursor = board.painter->geometry().hexAt({kWindowWidth / 2, kWindowHeight / 2}, zoom,
                                                   scene.scrollOrigin);
    scene.facingColour = QColor(255, 255, 0);
    return scene;
}

float zoomOf(const benchmark::State& state) {
    return kZoomFactors[static_cast<std::size_t>(state.range(0))];
}

void paintLoop(benchmark::State& state, Board& board, bool full) {
    const BoardScene scene = sceneAt(board, zoomOf(state));
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    const QRect area(0, 0, kWindowWidth, kWindowHeight);
    for (auto _ : state) {
        QPainter p(&window);
        if (full)
            board.painter->paint(p, area, scene);
        else
            board.painter->paintMap(p, area, scene.zoom, scene.scrollOrigin);
        p.end();
        benchmark::DoNotOptimize(window.constBits());
        benchmark::ClobberMemory();
    }
    state.counters["zoom"] = scene.zoom;
}

// The floor and the full repaint one after the other in every iteration, each
// timed in processor time of this thread, so that the ratio holds on a busy
// machine too.
void BM_RepaintOverMap(benchmark::State& state) {
    Board& board = largeBoard();
    const BoardScene scene = sceneAt(board, zoomOf(state));
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    const QRect area(0, 0, kWindowWidth, kWindowHeight);
    double mapTime = 0;
    double fullTime = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        {
            QPainter p(&window);
            board.painter->paintMap(p, area, scene.zoom, scene.scrollOrigin);
        }
        benchmark::DoNotOptimize(window.constBits());
        const double t1 = threadSeconds();
        {
            QPainter p(&window);
            board.painter->paint(p, area, scene);
        }
        benchmark::DoNotOptimize(window.constBits());
        const double t2 = threadSeconds();
        mapTime += t1 - t0;
        fullTime += t2 - t1;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["zoom"] = scene.zoom;
    state.counters["map_ms"] = mapTime / n * 1e3;
    state.counters["full_ms"] = fullTime / n * 1e3;
    state.counters["ratio"] = mapTime > 0 ? fullTime / mapTime : 0;
}

// Carrying a stack across the largest map at 200 %: every mouse move repaints
// only the old and the new area of the carried picture. Timed against
// drawing the bare map into the same two areas (the floor), interleaved.
void BM_CarryMouseMove(benchmark::State& state) {
    Board& board = largeBoard();
    BoardScene scene = sceneAt(board, 2.0f);
    board.state.carriedStack = 1;
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    double mapTime = 0;
    double paintTime = 0;
    QPoint at(100, 100);
    for (auto _ : state) {
        const QPoint next = at + QPoint(7, 3);
        if (next.x() > kWindowWidth - 200 || next.y() > kWindowHeight - 200) at = QPoint(100, 100);
        const QRect oldArea = board.painter->carriedArea(at, scene.zoom);
        at += QPoint(7, 3);
        const QRect newArea = board.painter->carriedArea(at, scene.zoom);
        scene.carriedAt = at;
        const double t0 = threadSeconds();
        {
            QPainter p(&window);
            board.painter->paintMap(p, oldArea, scene.zoom, scene.scrollOrigin);
            board.painter->paintMap(p, newArea, scene.zoom, scene.scrollOrigin);
        }
        benchmark::DoNotOptimize(window.constBits());
        const double t1 = threadSeconds();
        {
            QPainter p(&window);
            board.painter->paint(p, oldArea, scene);
            board.painter->paint(p, newArea, scene);
        }
        benchmark::DoNotOptimize(window.constBits());
        const double t2 = threadSeconds();
        mapTime += t1 - t0;
        paintTime += t2 - t1;
    }
    board.state.carriedStack = 0;
    const double n = static_cast<double>(state.iterations());
    state.counters["map_us"] = mapTime / n * 1e6;
    state.counters["move_us"] = paintTime / n * 1e6;
    state.counters["ratio"] = mapTime > 0 ? paintTime / mapTime : 0;
}

void BM_BareMap(benchmark::State& state) {
    paintLoop(state, largeBoard(), false);
}
void BM_FullRepaint(benchmark::State& state) {
    paintLoop(state, largeBoard(), true);
}
void BM_BareMapSmall(benchmark::State& state) {
    paintLoop(state, smallBoard(), false);
}
void BM_FullRepaintSmall(benchmark::State& state) {
    paintLoop(state, smallBoard(), true);
}

// Zoom index 0..4: 200 %, 150 %, 100 %, 75 %, 50 %.
BENCHMARK(BM_BareMap)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintOverMap)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CarryMouseMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BareMapSmall)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaintSmall)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

long peakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const Board& board = largeBoard();
    std::printf("largest module: %d x %d hexes, %d units, image %d x %d (%.0f MB)\n",
                board.module.columns, board.module.rows, board.module.unitCount,
                board.graphics.image().width(), board.graphics.image().height(),
                static_cast<double>(board.graphics.image().sizeInBytes()) / (1024.0 * 1024.0));
    std::printf("peak resident memory: %.0f MB\n", static_cast<double>(peakResidentKb()) / 1024.0);
    return 0;
}
