#include "tools/demo/DemoModule.h"

#include <QPainter>
#include <cstdio>
#include <filesystem>

#include "core/map/CoordinateNaming.h"
#include "core/module/Clock.h"
#include "core/module/ModuleFile.h"
#include "core/module/UnitImageSheet.h"
#include "tools/demo/CounterPainter.h"
#include "tools/demo/MapPainter.h"

namespace qmx::demo {

namespace {

// The moment the demo module is "first saved": it fixes the ModuleId.
constexpr std::int64_t kDemoSaveSeconds = 1262304000;  // 2010-01-01

constexpr int kStepsPerUnit = 2;

// "0101" at the top-left hex, rank (row) then position (column).
constexpr int kDemoCoordinateSystem = 10;

// The reduced step: about half the combat values, the same movement.
std::array<int, 3> reducedValues(const std::array<int, 3>& full) {
    return {(full[0] + 1) / 2, (full[1] + 1) / 2, full[2]};
}

}  // namespace

DemoModule buildDemoModule(const DemoScenario& s) {
    const int unitCount = static_cast<int>(s.units[0].size() + s.units[1].size());
    Module m = Module::createEmpty(s.columns, s.rows, GridOrientation::RowsAligned, unitCount);
    // Named as an author names a map in the editor: four-digit labels, row
    // then column, counted from the top-left hex.
    nameModuleHexes(m, kDemoCoordinateSystem, {1, 1}, 0);

    const PixelPoint mapSize = blankMapSize(s.columns, s.rows, GridOrientation::RowsAligned);
    const SheetSize sheet = sizeSheet(unitCount * kStepsPerUnit, mapSize.x);
    m.imageRows = static_cast<std::uint8_t>(sheet.imageRows);
    m.imagesPerRow = static_cast<std::uint8_t>(sheet.imagesPerRow);
    m.mapTop = static_cast<std::uint16_t>(sheet.height + 1);

    m.authorNotes = s.notes.substr(0, kNotesSize - 1);
    for (std::size_t v = 0; v < s.valueNames.size() && v < kValueCount; ++v)
        m.valueNames[v] = s.valueNames[v];
    m.valueTotalModes = 0;
    m.setTotalMode(0, TotalMode::Total);   // Att: the attackers together
    m.setTotalMode(1, TotalMode::Total);   // Def: the defenders together
    m.setTotalMode(2, TotalMode::Lowest);  // Mov: a stack moves at its slowest

    ModuleGraphics graphics = ModuleGraphics::createBlank(m);
    QImage& image = graphics.image();

    // The map, measured from row MapTop; the row above it repeats its first row.
    const QImage map = MapPainter(s, m, mapSize.x, mapSize.y).paint();
    {
        QPainter p(&image);
        p.drawImage(0, m.mapTop, map);
        p.drawImage(QRect(0, m.mapTop - 1, mapSize.x, 1), map, QRect(0, 0, mapSize.x, 1));
    }

    // Units: each side's counters, full strength then reduced.
    int number = 1;
    for (int side = 0; side < 2; ++side) {
        const CounterPainter painter(s.looks[side]);
        for (const DemoUnit& du : s.units[side]) {
            UnitDefinition& u = m.units[static_cast<std::size_t>(number)];
            u.name = du.name.substr(0, kUnitNameSize);
            u.stepImage = {};
            for (int step = 0; step < kStepsPerUnit; ++step) {
                const int k = (number - 1) * kStepsPerUnit + step + 1;
                u.stepImage[static_cast<std::size_t>(step)] = static_cast<std::uint16_t>(k);
                CounterSpec counter = du.counter;
                counter.reduced = step > 0;
                if (counter.reduced) counter.values = reducedValues(du.counter.values);
                for (int v = 0; v < 3; ++v)
                    u.values[static_cast<std::size_t>(step)][static_cast<std::size_t>(v)] =
                        static_cast<std::uint8_t>(counter.values[static_cast<std::size_t>(v)]);
                const std::optional<QRect> cell = graphics.unitImageSource(m, k);
                if (!cell) continue;
                QPainter p(&image);
                p.drawImage(cell->topLeft(), painter.paint(counter));
            }
            ++number;
        }
    }

    // Two decks of orders.
    for (int d = 0; d < 2; ++d) {
        Deck& deck = m.decks[static_cast<std::size_t>(d + 1)];
        deck.name = s.deckNames[d].substr(0, kDeckNameSize);
        int c = 0;
        for (const DemoCard& card : s.decks[d]) {
            if (c == kMaxCards) break;
            Card& out = deck.cards[static_cast<std::size_t>(++c)];
            out.text = card.text;
            out.storedLength = static_cast<std::uint32_t>(card.text.size() + 4);
        }
        deck.cardCount = static_cast<std::uint8_t>(c);
    }

    graphics.drawFixedPictures(m);
    return {std::move(m), std::move(graphics)};
}

bool writeDemoModule(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    DemoModule demo = buildDemoModule(vardanGap());
    const std::string modulePath = (std::filesystem::path(folder) / "Demo.qm4").string();
    const FixedClock clock(kDemoSaveSeconds);
    if (!saveModuleFile(modulePath, demo.module, clock)) {
        std::fprintf(stderr, "cannot write %s\n", modulePath.c_str());
        return false;
    }
    // Written as an export, not a module save: a rebuild replaces the image
    // without leaving a backup beside it.
    const GraphicsResult r = demo.graphics.exportImage(ModuleGraphics::graphicsName(modulePath));
    if (!r.ok()) {
        std::fprintf(stderr, "cannot write %s\n", r.path.c_str());
        return false;
    }
    return true;
}

}  // namespace qmx::demo
