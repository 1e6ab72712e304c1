#include <gtest/gtest.h>

#include <QGuiApplication>
#include <filesystem>

#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/ModuleGraphics.h"
#include "tests/support/TempFolder.h"
#include "tools/demo/DemoModule.h"
#include "tools/demo/MapPainter.h"
#include "tools/demo/PixelFont.h"

using namespace qmx;
using namespace qmx::demo;
namespace fs = std::filesystem;

namespace {

// Rendering the demo takes a moment: build it once for all checks.
const DemoModule& builtDemo() {
    static const DemoModule d = buildDemoModule(vardanGap());
    return d;
}

}  // namespace

TEST(DemoModule, LoadsInThePlayer) {
    const Bytes bytes = serializeModule(builtDemo().module);
    const ModuleLoad load = parseModule(bytes, ModuleReader::Player);
    ASSERT_TRUE(load.ok);
    EXPECT_TRUE(load.notices.empty());
    const Module& m = load.module;
    EXPECT_EQ(m.columns, 32);
    EXPECT_EQ(m.rows, 24);
    EXPECT_EQ(m.orientation, GridOrientation::RowsAligned);
    EXPECT_EQ(m.unitCount, 60);
    EXPECT_EQ(m.valueNames[0], "Att");
    EXPECT_EQ(m.valueNames[1], "Def");
    EXPECT_EQ(m.valueNames[2], "Mov");
    EXPECT_EQ(m.totalMode(0), TotalMode::Total);
    EXPECT_EQ(m.totalMode(2), TotalMode::Lowest);
    EXPECT_FALSE(m.authorNotes.empty());
    EXPECT_LE(m.authorNotes.size(), 499u);
    EXPECT_EQ(m.hex(1, 1).name, "0101");
    // Named by coordinate system 10 from the top-left hex: row, then column.
    EXPECT_EQ(m.hex(32, 1).name, "0132");
    EXPECT_EQ(m.hex(1, 2).name, "0201");
    EXPECT_EQ(m.hex(32, 24).name, "2432");
    EXPECT_EQ(m.mapTop, sheetHeight(m.imageRows) + 1);
    EXPECT_EQ((std::pair<int, int>(m.overviewWidth, m.overviewHeight)),
              Module::overviewSizeFor(32, 24));

    for (int u = 1; u <= m.unitCount; ++u) {
        const UnitDefinition& d = m.units[static_cast<std::size_t>(u)];
        EXPECT_FALSE(d.name.empty()) << u;
        EXPECT_TRUE(d.stepExists(1)) << u;
        EXPECT_FALSE(d.stepExists(2)) << u;
        EXPECT_GE(d.stepImage[0], 1) << u;
        EXPECT_LE(d.stepImage[1], m.imageCapacity()) << u;
        for (int v = 0; v < 2; ++v) EXPECT_LE(d.values[1][v], d.values[0][v]) << u;
        EXPECT_EQ(d.values[1][2], d.values[0][2]) << u;  // a reduced unit moves as far
    }
    for (int deck = 1; deck <= 2; ++deck) {
        EXPECT_FALSE(m.decks[deck].name.empty());
        ASSERT_EQ(m.decks[deck].cardCount, 10);
        // The player reads card texts from the file when a card is shown.
        for (int c = 1; c <= 10; ++c) {
            const CardText card = findCardText(bytes, load.cardOffset, deck, c);
            ASSERT_EQ(card.status, CardLookup::Found) << deck << "/" << c;
            EXPECT_NE(card.text.find("\r\n"), std::string::npos) << deck << "/" << c;
        }
    }
    EXPECT_FALSE(m.decks[3].inUse());
}

TEST(DemoModule, ImageHoldsMapCountersAndFixedPictures) {
    const Module& m = builtDemo().module;
    const ModuleGraphics& g = builtDemo().graphics;
    const PixelPoint map = blankMapSize(32, 24, GridOrientation::RowsAligned);
    ASSERT_EQ(g.image().size(), QSize(map.x, map.y + m.mapTop - 1));

    // Every step image lies in the picture; the two steps of a unit differ,
    // the reduced one by the band across its top.
    const CounterLook& red = vardanGap().looks[1];
    for (int u = 1; u <= m.unitCount; ++u) {
        const UnitDefinition& d = m.units[static_cast<std::size_t>(u)];
        const QImage full = g.unitImage(m, d.stepImage[0]);
        const QImage reduced = g.unitImage(m, d.stepImage[1]);
        ASSERT_FALSE(full.isNull()) << u;
        ASSERT_FALSE(reduced.isNull()) << u;
        EXPECT_NE(full, reduced) << u;
        if (u > 30) {
            EXPECT_EQ(full.pixel(3, 20), red.face.rgb()) << u;
            EXPECT_EQ(reduced.pixel(2, 3), red.stripe.rgb()) << u;
        }
    }

    // Fixed pictures of the sheet.
    EXPECT_EQ(g.image().pixel(10, 100), qRgb(255, 0, 0));
    EXPECT_EQ(g.image().pixel(144, 10), qRgb(255, 0, 0));
    EXPECT_EQ(g.image().pixel(40, 130), qRgb(0, 0, 0));
    EXPECT_NE(g.image().pixel(20, 20), kBlankMapColour | 0xFF000000u);  // the overview

    // The map is drawn: nowhere on it the blank grey, and lake hexes are blue.
    const MapPainter painter(vardanGap(), m, map.x, map.y);
    const QPointF lake = painter.centre({25, 23});
    const QRgb water =
        g.image().pixel(static_cast<int>(lake.x()) + 5, static_cast<int>(lake.y()) + m.mapTop + 5);
    EXPECT_GT(qBlue(water), qRed(water) + 40);
    for (int y = m.mapTop; y < g.image().height(); y += 37)
        for (int x = 0; x < g.image().width(); x += 41)
            ASSERT_NE(g.image().pixel(x, y), kBlankMapColour | 0xFF000000u) << x << "," << y;
}

TEST(DemoModule, HexPathsStepToNeighbours) {
    const Module names = Module::createEmpty(32, 24, GridOrientation::RowsAligned, 60);
    const MapPainter painter(vardanGap(), names, 1650, 1050);
    for (const Road& road : vardanGap().roads) {
        const std::vector<Hex> path = painter.hexPath(road.waypoints);
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(path.front(), road.waypoints.front());
        EXPECT_EQ(path.back(), road.waypoints.back());
        for (std::size_t i = 1; i < path.size(); ++i) {
            const auto n = painter.neighbours(path[i - 1]);
            EXPECT_NE(std::find(n.begin(), n.end(), path[i]), n.end());
        }
    }
    // Neighbours of an odd row lean right, of an even row left.
    const auto odd = painter.neighbours({5, 5});
    EXPECT_NE(std::find(odd.begin(), odd.end(), Hex{6, 4}), odd.end());
    EXPECT_EQ(std::find(odd.begin(), odd.end(), Hex{4, 4}), odd.end());
    const auto even = painter.neighbours({5, 6});
    EXPECT_NE(std::find(even.begin(), even.end(), Hex{4, 5}), even.end());
    EXPECT_EQ(std::find(even.begin(), even.end(), Hex{6, 5}), even.end());
}

TEST(DemoModule, WritesTheSameFilesEveryTime) {
    const qmx::test::TempFolder scratch("qmx_demo");
    const fs::path& base = scratch.path();
    // A rebuild writes over the old files.
    fs::create_directories(base / "a");
    ASSERT_TRUE(writeFileAtomically((base / "a" / "Demo.PNG").string(), Bytes{1, 2, 3}));
    ASSERT_TRUE(writeFileAtomically((base / "a" / "Demo.qm4").string(), Bytes{4, 5, 6}));
    ASSERT_TRUE(writeDemoModule((base / "a").string()));
    ASSERT_TRUE(writeDemoModule((base / "b").string()));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(base / "a"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Demo.PNG", "Demo.qm4"}));  // no backup, no leftovers
    for (const char* f : {"Demo.qm4", "Demo.PNG"})
        EXPECT_EQ(readWholeFile((base / "a" / f).string()),
                  readWholeFile((base / "b" / f).string()))
            << f;

    const std::string module = (base / "a" / "Demo.qm4").string();
    const ModuleLoad load = loadModuleFile(module, ModuleReader::Player);
    ASSERT_TRUE(load.ok);
    EXPECT_NE(load.module.moduleId, (std::array<std::uint8_t, 3>{0, 0, 0}));
    ModuleGraphics g;
    ASSERT_TRUE(g.load(module).ok());
    EXPECT_EQ(g.image(), builtDemo().graphics.image());
}

TEST(DemoModule, PixelFontsMeasure) {
    EXPECT_EQ(PixelFont::small().width("0101"), 15);
    EXPECT_EQ(PixelFont::bold().width("4-3-6"), 5 + 1 + 3 + 1 + 5 + 1 + 3 + 1 + 5);
    QImage img(20, 8, QImage::Format_RGB32);
    img.fill(Qt::white);
    PixelFont::small().draw(img, 0, 0, "1", Qt::black);
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 0));  // ".#." top row of "1"
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(0, 4), qRgb(0, 0, 0));            // "###" bottom row
    PixelFont::small().draw(img, 18, 0, "8", Qt::black);  // clipped at the right edge, no crash
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
