// The editor on the largest module (250 x 249 hexes, 65,000 units, 20 decks
// of 250 cards, a sheet of 1,000 unit images) and on a small one (20 x 20,
// 1,000 units):
//
//   open        read the module file and its image as the editor does, against
//               reading the two files' bytes (the floor)
//   define      open and paint "Define Units"
//   next unit   "Select Next Unit" with the dialog painted again
//   list page   scroll the unit list by a page
//   save        write module and image together, against writing the same
//               bytes already encoded (the floor)
//   autosave    after one step of the history: the window's share (the
//               module's bytes taken, the writer started on its thread), and
//               the whole write until done, with the picture unchanged and
//               changed
//   paint drag  one mouse move of drag painting in the "Unit Editor" (a pixel
//               into the sheet and the history, the dialog painted again),
//               against painting the dialog again alone (the floor)
//
//   bench_editor --benchmark_counters_tabular=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "core/edit/ModuleEdits.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/module/UnitImageSheet.h"
#include "editor/CDefineUnitsDlg.h"
#include "editor/CUnitEditorDlg.h"
#include "editor/EditorDocument.h"
#include "graphics/PngEncoder.h"
#include "tests/support/ScriptedEditorDialogs.h"

namespace {

using namespace qmx;
using qmx::bench::threadSeconds;

struct Fixture {
    std::string module;  // the module file; its image beside it
    std::unique_ptr<test::ScriptedEditorDialogs> prompts;
    std::unique_ptr<FixedClock> clock;
    std::unique_ptr<EditorDocument> document;

    Fixture(int columns, int rows, int units) {
        Module m = Module::createEmpty(columns, rows, GridOrientation::RowsAligned, units);
        const PixelPoint map = blankMapSize(columns, rows, m.orientation);
        const SheetSize sheet = sizeSheet(1000, map.x);
        m.imagesPerRow = static_cast<std::uint8_t>(std::min(sheet.imagesPerRow, 255));
        m.imageRows = static_cast<std::uint8_t>(sheet.imageRows);
        m.mapTop = static_cast<std::uint16_t>(sheet.height + 1);
        for (int u = 1; u <= m.unitCount; ++u) {
            m.units[u].name = "Unit " + std::to_string(u);
            m.units[u].stepImage = {static_cast<std::uint16_t>(u % 1000 + 1), 2, 0, 0, 0, 0};
            m.units[u].values[0] = {4, 3, 6, 0, 0, 0};
        }
        for (int d = 1; d <= kDeckCount; ++d) {
            m.decks[d].name = "Deck " + std::to_string(d);
            m.decks[d].cardCount = kMaxCards;
            for (int c = 1; c <= kMaxCards; ++c) {
                m.decks[d].cards[c].text = std::string(200, static_cast<char>('a' + c % 26));
                m.decks[d].cards[c].storedLength = 204;
            }
        }
        // A map with detail, so that the image compresses like a scan rather
        // than like a blank.
        QImage image(map.x, sheet.height + map.y, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                line[x] = qRgb((x / 7) & 255, (y / 5) & 255, ((x ^ y) / 9) & 255);
        }
        module = bench::benchFilePath("editor", units, ".qm4");
        ModuleGraphics graphics(std::move(image));
        FixedClock c;
        if (!graphics.save(module).ok() || !saveModuleFile(module, m, c)) std::abort();

        prompts = std::make_unique<test::ScriptedEditorDialogs>();
        clock = std::make_unique<FixedClock>();
        document = std::make_unique<EditorDocument>(
            std::filesystem::temp_directory_path().string() + "/", *prompts, *clock);
        if (!document->loadModule(module)) std::abort();
    }
    ~Fixture() {
        std::error_code ec;
        for (const char* ext : {"qm4", "PNG", "BAK"})
            std::filesystem::remove(replaceLastThree(module, ext), ec);
    }
};

Fixture& fixture(int large) {
    static std::unique_ptr<Fixture> small, big;
    auto& f = large ? big : small;
    if (!f)
        f = large ? std::make_unique<Fixture>(250, 249, 65000)
                  : std::make_unique<Fixture>(20, 20, 1000);
    return *f;
}

template <class Op>
void timed(benchmark::State& state, Op op) {
    for (auto _ : state) {
        const double t0 = threadSeconds();
        op();
        state.SetIterationTime(threadSeconds() - t0);
    }
}

void BM_OpenFloor(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    timed(state, [&] {
        auto a = readWholeFile(f.module);
        auto b = readWholeFile(replaceLastThree(f.module, "PNG"));
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    });
}

void BM_OpenModuleFile(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    timed(state, [&] {
        ModuleLoad load = loadModuleFile(f.module, ModuleReader::Editor);
        benchmark::DoNotOptimize(load.ok);
    });
}

void BM_OpenWithImage(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    timed(state, [&] {
        if (!f.document->loadModule(f.module)) state.SkipWithError("load failed");
    });
}

void BM_ShowDefineUnits(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    timed(state, [&] {
        CDefineUnitsDlg dialog(*f.document);
        dialog.show();
        QApplication::processEvents();
        dialog.repaint();
    });
}

void BM_NextUnit(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    CDefineUnitsDlg dialog(*f.document);
    dialog.show();
    QApplication::processEvents();
    QPushButton* next = dialog.button(QStringLiteral("Select Next Unit"));
    timed(state, [&] {
        if (dialog.editor().currentUnit() >= f.document->module().unitCount - 1)
            dialog.editor().select(1);
        next->click();
        dialog.repaint();
    });
}

void BM_ListPage(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    CDefineUnitsDlg dialog(*f.document);
    dialog.show();
    QApplication::processEvents();
    QScrollBar* bar = dialog.list()->verticalScrollBar();
    timed(state, [&] {
        const int to = bar->value() + bar->pageStep();
        bar->setValue(to > bar->maximum() ? 0 : to);
        dialog.list()->viewport()->repaint();
    });
}

void BM_SaveFloor(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const Bytes module = serializeModule(f.document->module());
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(f.document->graphics().image());
    }
    const std::string target = bench::benchFilePath("editor_floor", 0, ".qm4");
    timed(state, [&] {
        writeFileAtomically(target, module);
        writeFileAtomically(replaceLastThree(target, "PNG"),
                            std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                      static_cast<std::size_t>(png.size())));
    });
    std::error_code ec;
    std::filesystem::remove(target, ec);
    std::filesystem::remove(replaceLastThree(target, "PNG"), ec);
}

// The save benchmarks and the encoders run threads of their own: wall time.
template <class Op>
void wallTimed(benchmark::State& state, Op op) {
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        op();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
}

void removeModuleFiles(const std::string& module) {
    std::error_code ec;
    for (const char* ext : {"qm4", "PNG", "BAK"})
        std::filesystem::remove(replaceLastThree(module, ext), ec);
}

// Save with the picture unchanged since it was read: the picture file is left alone.
void BM_Save(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    if (!f.document->loadModule(f.module)) state.SkipWithError("open failed");
    const std::string target = bench::benchFilePath("editor_save", 0, ".qm4");
    if (!f.document->writeModule(target)) state.SkipWithError("save failed");
    wallTimed(state, [&] {
        if (!f.document->writeModule(target)) state.SkipWithError("save failed");
    });
    removeModuleFiles(target);
}

// Save under a new name, the picture unchanged: its bytes are copied.
void BM_SaveAs(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    if (!f.document->loadModule(f.module)) state.SkipWithError("open failed");
    int n = 0;
    std::vector<std::string> written;
    wallTimed(state, [&] {
        written.push_back(bench::benchFilePath("editor_saveas", ++n, ".qm4"));
        if (!f.document->writeModule(written.back())) state.SkipWithError("save failed");
    });
    for (const std::string& w : written) removeModuleFiles(w);
}

// Save after a change of the picture: it is encoded again.
void BM_SaveChanged(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const std::string target = bench::benchFilePath("editor_savechanged", 0, ".qm4");
    for (auto _ : state) {
        f.document->replaceImage(f.document->graphics().image(), "Picture");
        const auto t0 = std::chrono::steady_clock::now();
        if (!f.document->writeModule(target)) state.SkipWithError("save failed");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    f.document->history().clear();
    removeModuleFiles(target);
}

// The picture encoders side by side: Qt's writer at its default and at a low
// compression level, and the banded writer on one and on two threads, on the
// largest module's picture (arg 0: 0 its synthetic pattern, 1 the demo map
// tiled to its size, which compresses like a real map). The file size is a
// counter.
const QImage& encodeSource(int kind) {
    static QImage tiled;
    const QImage& synthetic = fixture(1).document->graphics().image();
    if (kind == 0) return synthetic;
    if (tiled.isNull()) {
#ifdef QMX_DEMO_PICTURE
        const QImage demo =
            QImage(QStringLiteral(QMX_DEMO_PICTURE)).convertToFormat(QImage::Format_RGB32);
        if (demo.isNull()) return tiled;
        tiled = QImage(synthetic.size(), QImage::Format_RGB32);
        QPainter p(&tiled);
        for (int y = 0; y < tiled.height(); y += demo.height())
            for (int x = 0; x < tiled.width(); x += demo.width()) p.drawImage(x, y, demo);
#endif
    }
    return tiled;
}

void BM_EncodeQt(benchmark::State& state) {
    const QImage& image = encodeSource(static_cast<int>(state.range(0)));
    if (image.isNull()) state.SkipWithError("no demo picture");
    QByteArray png;
    wallTimed(state, [&] {
        png.clear();
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(static_cast<int>(state.range(1)));
        writer.write(image);
    });
    state.counters["MB"] = static_cast<double>(png.size()) / 1e6;
}

void BM_EncodeBands(benchmark::State& state) {
    const QImage& image = encodeSource(static_cast<int>(state.range(0)));
    if (image.isNull()) state.SkipWithError("no demo picture");
    QByteArray png;
    wallTimed(state, [&] { png = encodePng(image, static_cast<int>(state.range(1))); });
    state.counters["MB"] = static_cast<double>(png.size()) / 1e6;
}

// Opening the largest module's picture: Qt's reader against the banded
// reader, which inflates the bands of a picture this program wrote side by side.
void BM_DecodeQt(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const QString file = QString::fromStdString(replaceLastThree(f.module, "PNG"));
    wallTimed(state, [&] {
        QImageReader reader(file, "png");
        reader.setAllocationLimit(0);
        if (reader.read().isNull()) state.SkipWithError("read failed");
    });
}

void BM_DecodeBands(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    wallTimed(state, [&] {
        ModuleGraphics graphics;
        if (!graphics.load(f.module).ok()) state.SkipWithError("read failed");
    });
}

// One step: the module's notes changed, and with `picture` the picture
// replaced too (by the same pixels: a step of its own all the same).
void autosaveStep(EditorDocument& d, bool picture, int step) {
    d.history().apply(editAuthorNotes(d.module(), "Step " + std::to_string(step)));
    if (picture) d.replaceImage(d.graphics().image(), "Picture");
}

void BM_AutosaveWindowShare(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    int step = 0;
    for (auto _ : state) {
        autosaveStep(*f.document, false, ++step);
        const double t0 = threadSeconds();
        f.document->autosave();
        state.SetIterationTime(threadSeconds() - t0);
        f.document->autosaveFiles().finish();
    }
    f.document->endAutosave();
    f.document->history().clear();
}

void BM_AutosaveWhole(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const bool picture = state.range(1) != 0;
    int step = 0;
    for (auto _ : state) {
        autosaveStep(*f.document, picture, ++step);
        const auto t0 = std::chrono::steady_clock::now();
        f.document->autosave();
        if (!f.document->autosaveFiles().finish()) state.SkipWithError("autosave failed");
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    f.document->endAutosave();
    f.document->history().clear();
}

void BM_PaintDragFloor(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    CUnitEditorDlg dialog(*f.document, 7);
    dialog.show();
    QApplication::processEvents();
    timed(state, [&] { dialog.repaint(); });
}

void BM_PaintDrag(benchmark::State& state) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    CUnitEditorDlg dialog(*f.document, 7);
    dialog.show();
    QApplication::processEvents();
    dialog.painter().press(kEnlargedArea.x + 2, kEnlargedArea.y + 2, PainterButton::Left);
    int step = 0;
    timed(state, [&] {
        // Along a row and back in the other colour, so that every move paints.
        const int px = step % kUnitImageSize;
        if (px == 0) CUnitEditorDlg::colours().foreground ^= 0xFFFFFF;
        const QPointF at(kEnlargedArea.x + kZoom * px + 2, kEnlargedArea.y + 2);
        QMouseEvent move(QEvent::MouseMove, at, dialog.mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &move);
        dialog.repaint();
        ++step;
    });
    dialog.painter().release();
    f.document->history().clear();
}

}  // namespace

BENCHMARK(BM_OpenFloor)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenModuleFile)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWithImage)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowDefineUnits)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NextUnit)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListPage)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintDragFloor)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintDrag)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveFloor)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAs)->Arg(0)->Arg(1)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveChanged)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeQt)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBands)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeQt)
    ->ArgsProduct({{0, 1}, {-1, 80}})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeBands)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutosaveWindowShare)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutosaveWhole)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
