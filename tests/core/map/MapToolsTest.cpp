#include <gtest/gtest.h>

#include <random>

#include "core/map/MapTools.h"

using namespace qmx;

namespace {

constexpr Pixel kWhite = rgbPixel(255, 255, 255);
constexpr Pixel kBlack = rgbPixel(0, 0, 0);
constexpr Pixel kRed = rgbPixel(255, 0, 0);

struct Fixture {
    Module module = Module::createEmpty(5, 4, GridOrientation::RowsAligned, 33);
    OwnedPicture image;
    Fixture() {
        module.mapTop = 20;
        image = OwnedPicture(300, 240, kWhite);
        std::mt19937 rng(7);
        for (Pixel& p : image.pixels) p = 0xFF000000u | (rng() & 0xFFFFFFu);
    }
    PixelSurface surface() {
        PixelSurface s = image.surface();
        s.writable = mapPictureRect(module, image.width, image.height);
        return s;
    }
    PixelPoint at(int c, int r) const { return hexPicturePosition(module, c, r); }
};

}  // namespace

TEST(MapTools, HexCopyThenUndoRestoresTheHexExactly) {
    Fixture f;
    MapTools tools(f.module, f.surface());
    MapToolResult r = tools.clickMap({2, 2});
    EXPECT_TRUE(r.reloadTerrain);
    EXPECT_TRUE(r.moduleChanged);
    EXPECT_FALSE(r.nameField);
    EXPECT_EQ(tools.source(), (Hex{2, 2}));

    tools.setMode(EditMode::HexCopy);
    EXPECT_EQ(tools.source(), (Hex{2, 2}));
    const OwnedPicture before = f.image;
    r = tools.clickMap({4, 3});
    EXPECT_EQ(r.redraw, (std::vector<Hex>{{4, 3}}));
    ASSERT_TRUE(r.pictureBefore);
    EXPECT_EQ(f.image.at(f.at(4, 3).x + 25, f.at(4, 3).y + 27),
              before.at(f.at(2, 2).x + 25, f.at(2, 2).y + 27));
    EXPECT_NE(f.image.pixels, before.pixels);
    EXPECT_TRUE(tools.undoAvailable());

    // The buttons act in Terrain mode only; switching keeps the undo.
    EXPECT_TRUE(tools.undo().redraw.empty());
    tools.setMode(EditMode::Terrain);
    r = tools.undo();
    EXPECT_EQ(r.redraw, (std::vector<Hex>{{4, 3}}));
    EXPECT_EQ(f.image.pixels, before.pixels);
}

TEST(MapTools, UndoKeepsOnlyTheLastCopy) {
    Fixture f;
    MapTools tools(f.module, f.surface());
    tools.clickMap({1, 1});
    tools.setMode(EditMode::HexCopy);
    tools.clickMap({3, 3});
    const OwnedPicture afterFirst = f.image;
    tools.clickMap({5, 4});
    tools.setMode(EditMode::Terrain);
    EXPECT_EQ(tools.undo().redraw, (std::vector<Hex>{{5, 4}}));
    EXPECT_EQ(f.image.pixels, afterFirst.pixels);
}

TEST(MapTools, TerrainButtons) {
    Fixture f;
    for (Pixel& p : f.image.pixels) p = kWhite;
    MapTools tools(f.module, f.surface());
    tools.clickMap({3, 2});
    const PixelPoint at = f.at(3, 2);

    // Border, then Undo.
    MapToolResult r = tools.border();
    EXPECT_EQ(f.image.at(at.x + 50, at.y + 13), kBlack);
    EXPECT_TRUE(r.reloadTerrain);
    tools.undo();
    EXPECT_EQ(f.image.at(at.x + 50, at.y + 13), kWhite);

    // F<>B: white is the background, so the hexagon turns black.
    tools.swapColours();
    EXPECT_EQ(f.image.at(at.x + 25, at.y + 27), kBlack);
    EXPECT_EQ(f.image.at(at.x + 0, at.y + 0), kWhite);
    tools.swapColours();
    EXPECT_EQ(f.image.at(at.x + 25, at.y + 27), kWhite);

    // Fill: armed, then a click in the terrain editor; Undo cancels an armed Fill.
    tools.armFill();
    EXPECT_TRUE(tools.fillArmed());
    const OwnedPicture before = f.image;
    tools.undo();
    EXPECT_FALSE(tools.fillArmed());
    EXPECT_EQ(f.image.pixels, before.pixels);
    tools.setColours(kRed, kWhite);
    tools.armFill();
    EXPECT_EQ(tools.terrainPoint(75, 81), (PixelPoint{at.x + 25, at.y + 27}));
    r = tools.clickTerrainEditor(75, 81);
    EXPECT_FALSE(tools.fillArmed());
    EXPECT_EQ(f.image.at(at.x + 25, at.y + 27), kRed);
    EXPECT_EQ(f.image.at(at.x + 25, at.y + 55), kWhite);  // outside the hexagon
    ASSERT_TRUE(r.pictureBefore);
    EXPECT_EQ(r.pictureBefore->block.at(25, 27), kWhite);

    // Not in other modes.
    tools.setMode(EditMode::EditNames);
    EXPECT_TRUE(tools.border().redraw.empty());
    tools.armFill();
    EXPECT_FALSE(tools.fillArmed());
}

TEST(MapTools, ColourPickNamesAndOverlay) {
    Fixture f;
    MapTools tools(f.module, f.surface());
    tools.pickColour(kRed);  // not armed: nothing
    EXPECT_EQ(tools.foreground(), kBlack);
    tools.armColourPick();
    tools.pickColour(kRed);
    EXPECT_EQ(tools.foreground(), kRed);
    EXPECT_FALSE(tools.pickArmed());

    tools.setMode(EditMode::EditNames);
    f.module.hex(4, 4).name = "Hill 42  ";
    MapToolResult r = tools.clickMap({4, 4});
    EXPECT_EQ(r.nameField, "Hill 42");
    EXPECT_TRUE(tools.clickMap({6, 1}).redraw.empty());  // off the map
    EXPECT_EQ(tools.selected(), (Hex{4, 4}));

    r = tools.gridOverlay();
    EXPECT_TRUE(r.redrawAll);
    ASSERT_TRUE(r.overlayBefore);
    EXPECT_FALSE(r.overlayBefore->entries.empty());
    EXPECT_EQ(f.image.at(f.at(1, 1).x + 25, f.at(1, 1).y), kRed);
    for (int x = 0; x < f.image.width; ++x) ASSERT_NE(f.image.at(x, 19), kRed);  // above the map
}
