#include <gtest/gtest.h>

#include <random>

#include "core/edit/MapEdits.h"
#include "core/map/MapTools.h"

using namespace qmx;

namespace {

struct Fixture {
    Module module = Module::createEmpty(6, 5, GridOrientation::RowsAligned, 4);
    OwnedPicture image;
    EditHistory history;
    Fixture() {
        module.mapTop = 10;
        image = OwnedPicture(340, 260, 0);
        std::mt19937 rng(3);
        for (Pixel& p : image.pixels) p = 0xFF000000u | (rng() & 0xFFFFFFu);
    }
    PixelSurface surface() {
        PixelSurface s = image.surface();
        s.writable = mapPictureRect(module, image.width, image.height);
        return s;
    }
    SurfaceSource source() {
        return [this] { return surface(); };
    }
};

TEST(MapEdits, NamesTypedIntoOneHexMergeAndUndoToTheFirstName) {
    Fixture f;
    const auto type = [&](const char* text) {
        std::vector<HexNameChange> c{{2, 3, f.module.hex(2, 3).name, text}};
        applyNameChanges(f.module, c);
        f.history.apply(hexNamesEdit(f.module, c, "Hex Name", "field"));
    };
    type("F");
    type("Fo");
    type("Ford");
    EXPECT_EQ(f.history.size(), 1u);
    // Another hex, even with the same key, is a step of its own.
    std::vector<HexNameChange> other{{4, 1, "0401", "Hill"}};
    applyNameChanges(f.module, other);
    f.history.apply(hexNamesEdit(f.module, other, "Hex Name", "field"));
    EXPECT_EQ(f.history.size(), 2u);
    f.history.undo();
    f.history.undo();
    EXPECT_EQ(f.module.hex(2, 3).name, "0203");
    EXPECT_EQ(f.module.hex(4, 1).name, "0401");
    f.history.redo();
    EXPECT_EQ(f.module.hex(2, 3).name, "Ford");
    // Writing a name over itself is no step.
    f.history.apply(hexNamesEdit(f.module, {{2, 3, "Ford", "Ford"}}, "Hex Name"));
    EXPECT_EQ(f.history.index(), 1u);
}

TEST(MapEdits, HexCopyThroughTheHistoryRestoresBothStatesExactly) {
    Fixture f;
    const std::vector<Pixel> original = f.image.pixels;
    MapTools tools(f.module, f.surface());
    tools.setMode(EditMode::HexCopy);  // source (1, 1)
    const MapToolResult r = tools.clickMap({4, 3});
    ASSERT_TRUE(r.pictureBefore);
    const std::vector<Pixel> copied = f.image.pixels;
    ASSERT_NE(copied, original);
    f.history.apply(pictureBlockEdit(f.source(), *r.pictureBefore, "Hex Copy"));
    EXPECT_EQ(f.image.pixels, copied);  // the first redo writes the same state
    f.history.undo();
    EXPECT_EQ(f.image.pixels, original);
    f.history.redo();
    EXPECT_EQ(f.image.pixels, copied);
}

TEST(MapEdits, TheOverlayUndoesPixelsWrittenTwice) {
    Fixture f;
    const std::vector<Pixel> original = f.image.pixels;
    // Neighbouring outlines share their edges: many pixels are drawn twice.
    PixelSurface s = f.surface();
    PixelUndo before = drawGridOverlay(s, f.module, rgbPixel(0, 0, 0));
    const std::vector<Pixel> drawn = f.image.pixels;
    f.history.apply(pixelsEdit(f.source(), std::move(before), "Draw hex grid Overlay"));
    f.history.undo();
    EXPECT_EQ(f.image.pixels, original);
    f.history.redo();
    EXPECT_EQ(f.image.pixels, drawn);
    // Nothing outside the map picture was touched.
    for (int y = 0; y < f.module.mapTop; ++y)
        for (int x = 0; x < f.image.width; ++x)
            ASSERT_EQ(f.image.at(x, y), original[static_cast<std::size_t>(y) * f.image.width + x]);
}

TEST(MapEdits, TheOverviewStepKeepsOnlyItsRectangle) {
    Fixture f;
    f.module.overviewWidth = 30;
    f.module.overviewHeight = 8;  // lies in the band above the map picture
    const std::vector<Pixel> original = f.image.pixels;
    const PixelRect rect{0, 0, 30, 8};
    OwnedPicture before = copyRect(f.surface(), rect);
    PixelSurface s = f.surface();
    stretchOverview(buildOverviewTiles(f.module, s), s, rect.width, rect.height);
    const std::vector<Pixel> built = f.image.pixels;
    ASSERT_NE(built, original);
    auto step = rectEdit(f.source(), rect, std::move(before), "Make Overview");
    EXPECT_EQ(step->cost(), 2u * 30 * 8 * sizeof(Pixel));
    f.history.apply(std::move(step));
    f.history.undo();
    EXPECT_EQ(f.image.pixels, original);
    f.history.redo();
    EXPECT_EQ(f.image.pixels, built);
    // A rectangle reaching past the image copies and writes only inside it.
    const OwnedPicture corner = copyRect(f.surface(), {330, 250, 20, 20});
    EXPECT_EQ(corner.at(5, 5), f.image.at(335, 255));
    EXPECT_EQ(corner.at(15, 15), 0u);
}

TEST(MapEdits, ATableReadFromAFileIsOneStep) {
    Fixture f;
    std::vector<UnitDefinition> units = f.module.units;
    f.module.units[2].name = "loaded";
    f.history.apply(unitTableEdit(f.module, units, "Load Unit Table"));
    std::vector<HexRecord> hexes = f.module.hexes;
    f.module.hex(1, 1).name = "A1";
    f.history.apply(hexTableEdit(f.module, hexes, "Load Map Name Table"));
    EXPECT_EQ(f.history.undoLabel(), "Load Map Name Table");
    f.history.undo();
    EXPECT_EQ(f.module.hex(1, 1).name, "0101");
    EXPECT_EQ(f.module.units[2].name, "loaded");
    f.history.undo();
    EXPECT_EQ(f.module.units[2].name, "");
    f.history.redo();
    f.history.redo();
    EXPECT_EQ(f.module.units[2].name, "loaded");
    EXPECT_EQ(f.module.hex(1, 1).name, "A1");
}

}  // namespace
