// Opening the module picture in the player: the time to the first painted
// board (the sheet and the map rows of a 1920 x 1080 window at the starting
// scroll position decoded, the window painted once) against decoding the
// whole picture, on the largest module (250 x 249 hexes, a sheet of 1,000
// unit images, a unit on every hex) and on a small one (20 x 20). Each is
// measured on the picture as QMX writes it (with its band index) and as a
// plain PNG from Qt's writer; Qt's own reader is the reference.
//
//   bench_picture --benchmark_counters_tabular=true
//
// The first-paint rows also carry the whole decode's median of the same run
// (full_ms) and the ratio of the two.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/module/FileIo.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/BoardPainter.h"

namespace {

using namespace qmx;

constexpr int kWindowWidth = 1920;
constexpr int kWindowHeight = 1080;

double seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A module with its picture on disk twice: "<name>.qm4" beside "<name>.PNG"
// (banded), and "<name>p.qm4" beside a plain PNG of the same pixels.
struct Picture {
    Module module;
    GameState state;
    std::string banded;
    std::string plain;

    Picture(int columns, int rows) {
        const int units = std::min(columns * rows, kMaxUnits);
        module = Module::createEmpty(columns, rows, GridOrientation::RowsAligned, units);
        const PixelPoint map = blankMapSize(columns, rows, module.orientation);
        const SheetSize sheet = sizeSheet(1000, map.x);
        module.imagesPerRow = static_cast<std::uint8_t>(std::min(sheet.imagesPerRow, 255));
        module.imageRows = static_cast<std::uint8_t>(sheet.imageRows);
        module.mapTop = static_cast<std::uint16_t>(sheet.height + 1);
        const int images = std::min(1000, module.imageCapacity());
        for (int u = 1; u <= module.unitCount; ++u)
            module.units[static_cast<std::size_t>(u)].stepImage[0] =
                static_cast<std::uint16_t>(1 + (u - 1) % images);
        state.resetForModule(module);
        int u = 1;
        for (int r = 1; r <= rows && u <= state.unitCount(); ++r)
            for (int c = 1; c <= columns && u <= state.unitCount(); ++c, ++u) {
                UnitState& s = state.unit(u);
                s.column = static_cast<std::uint8_t>(c);
                s.row = static_cast<std::uint8_t>(r);
                s.stackLink = 0;
                state.setStackHead(c, r, static_cast<std::uint16_t>(u));
            }
        // The pattern of the editor's benchmark, which compresses like a scan.
        QImage image(map.x, sheet.height + map.y, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb((x / 7) & 255, (y / 5) & 255, ((x ^ y) / 9) & 255);
        }
        banded = bench::benchFilePath("picture", columns, ".qm4");
        plain = bench::benchFilePath("picture", columns, "p.qm4");
        if (!ModuleGraphics(image).save(banded).ok()) std::abort();
        if (!QImageWriter(QString::fromStdString(ModuleGraphics::graphicsName(plain)), "png")
                 .write(image))
            std::abort();
    }
    ~Picture() {
        std::error_code ec;
        for (const std::string& m : {banded, plain})
            for (const char* ext : {"PNG", "BAK"})
                std::filesystem::remove(replaceLastThree(m, ext), ec);
    }
    const std::string& path(int kind) const { return kind == 0 ? banded : plain; }
};

Picture& picture(int large) {
    static std::unique_ptr<Picture> small, big;
    auto& p = large ? big : small;
    if (!p)
        p = large ? std::make_unique<Picture>(kMaxColumns, kMaxRows)
                  : std::make_unique<Picture>(20, 20);
    return *p;
}

double fullDecode(const Picture& p, int kind) {
    const double t0 = seconds();
    ModuleGraphics graphics;
    if (!graphics.load(p.path(kind)).ok()) std::abort();
    return seconds() - t0;
}

// What the player does before its first paint: the load in the background
// (which returns with the sheet), the rows in view, one paint of the window.
double firstPaint(const Picture& p, int kind, QImage& window) {
    const double t0 = seconds();
    ModuleGraphics graphics;
    if (!graphics.loadInBackground(p.path(kind), p.module.mapTop).ok()) std::abort();
    const BoardPainter painter(p.module, graphics, p.state, true);
    BoardScene scene;
    const int top = graphics.mapRect(p.module).top();
    graphics.waitRows({top, top + static_cast<int>(kWindowHeight / scene.zoom) + 1});
    QPainter paint(&window);
    painter.paint(paint, QRect(0, 0, kWindowWidth, kWindowHeight), scene);
    paint.end();
    return seconds() - t0;  // the rest of the picture is not waited for
}

// arg 0: 0 small, 1 largest; arg 1: 0 banded, 1 plain.
void BM_FullDecode(benchmark::State& state) {
    const Picture& p = picture(static_cast<int>(state.range(0)));
    for (auto _ : state) state.SetIterationTime(fullDecode(p, static_cast<int>(state.range(1))));
}

void BM_QtDecode(benchmark::State& state) {
    const Picture& p = picture(static_cast<int>(state.range(0)));
    const QString file = QString::fromStdString(
        ModuleGraphics::graphicsName(p.path(static_cast<int>(state.range(1)))));
    for (auto _ : state) {
        const double t0 = seconds();
        QImageReader reader(file, "png");
        reader.setAllocationLimit(0);
        QImage image = reader.read();
        if (image.isNull()) state.SkipWithError("read failed");
        image.convertTo(QImage::Format_RGB32);
        state.SetIterationTime(seconds() - t0);
    }
}

// Each first paint is measured right after a whole decode, so that both see
// the same machine.
void BM_FirstPaint(benchmark::State& state) {
    const Picture& p = picture(static_cast<int>(state.range(0)));
    const int kind = static_cast<int>(state.range(1));
    QImage window(kWindowWidth, kWindowHeight, QImage::Format_RGB32);
    std::vector<double> full, first;
    for (auto _ : state) {
        full.push_back(fullDecode(p, kind));
        first.push_back(firstPaint(p, kind, window));
        state.SetIterationTime(first.back());
    }
    const double fullMs = bench::medianOf(full) * 1e3;
    state.counters["full_ms"] = fullMs;
    state.counters["ratio"] = bench::medianOf(first) * 1e3 / fullMs;
}

}  // namespace

BENCHMARK(BM_FullDecode)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtDecode)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaint)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
