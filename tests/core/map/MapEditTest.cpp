#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "core/map/MapEditRules.h"
#include "core/map/MapPicture.h"

using namespace qmx;

namespace {

constexpr GridOrientation kRows = GridOrientation::RowsAligned;
constexpr GridOrientation kColumns = GridOrientation::ColumnsAligned;
constexpr Pixel kWhite = rgbPixel(255, 255, 255);
constexpr Pixel kBlack = rgbPixel(0, 0, 0);
constexpr Pixel kGreen = rgbPixel(0, 153, 0);

// An image of noise with the map from row `mapTop` down.
struct Image {
    OwnedPicture picture;
    PixelSurface surface;
    Image(int w, int h, int mapTop, unsigned seed = 1) : picture(w, h, 0) {
        std::mt19937 rng(seed);
        for (Pixel& p : picture.pixels) p = 0xFF000000u | (rng() & 0xFFFFFFu);
        surface = picture.surface();
        surface.writable = {0, mapTop, w, h - mapTop};
    }
};

Module module(GridOrientation o, int columns, int rows, int mapTop = 10) {
    Module m = Module::createEmpty(columns, rows, o, 33);
    m.mapTop = static_cast<std::uint16_t>(mapTop);
    return m;
}

class Prompts : public MapEditPrompts {
public:
    std::deque<bool> okAnswers;
    std::deque<std::optional<std::string>> names;
    std::vector<std::string> asked;
    bool askOkCancel(std::string_view title, std::string_view question) override {
        asked.push_back(std::string(title) + ": " + std::string(question));
        const bool ok = !okAnswers.empty() && okAnswers.front();
        if (!okAnswers.empty()) okAnswers.pop_front();
        return ok;
    }
    std::optional<std::string> askDefaultName(std::string_view title, std::string_view label,
                                              std::string_view preset, int maxLength) override {
        asked.push_back(std::string(title) + ": " + std::string(label) + " [" +
                        std::string(preset) + "] " + std::to_string(maxLength));
        if (names.empty()) return std::nullopt;
        auto n = names.front();
        names.pop_front();
        return n;
    }
};

}  // namespace

TEST(MapPicture, HexPositionsAndBlocks) {
    const Module rows = module(kRows, 10, 10, 166);
    EXPECT_EQ(hexPicturePosition(rows, 1, 1), (PixelPoint{25, 166}));
    EXPECT_EQ(hexPicturePosition(rows, 1, 2), (PixelPoint{0, 208}));
    EXPECT_EQ(hexPicturePosition(rows, 4, 3), (PixelPoint{175, 250}));
    const Module cols = module(kColumns, 10, 10, 166);
    EXPECT_EQ(hexPicturePosition(cols, 1, 1), (PixelPoint{0, 191}));
    EXPECT_EQ(hexPicturePosition(cols, 2, 1), (PixelPoint{42, 166}));
    EXPECT_EQ(hexPicturePosition(cols, 3, 4), (PixelPoint{84, 341}));
    EXPECT_EQ(terrainBlockSize(kRows), (PictureSize{51, 56}));
    EXPECT_EQ(terrainBlockSize(kColumns), (PictureSize{56, 51}));
    EXPECT_EQ(mapPictureRect(rows, 600, 700), (PixelRect{0, 166, 600, 534}));
}

TEST(MapPicture, HexCopyMaskStripsAndCentralBlock) {
    const std::vector<PixelRect> mask = hexCopyMask(kRows);
    ASSERT_EQ(mask.size(), 14u);
    EXPECT_EQ(mask[0], (PixelRect{24, 1, 3, 54}));
    EXPECT_EQ(mask[1], (PixelRect{22, 2, 7, 52}));
    EXPECT_EQ(mask[12], (PixelRect{0, 13, 51, 30}));
    EXPECT_EQ(mask[13], (PixelRect{0, 13, 51, 30}));  // the central block
    const std::vector<PixelRect> turned = hexCopyMask(kColumns);
    EXPECT_EQ(turned[0], (PixelRect{1, 24, 54, 3}));
    EXPECT_EQ(turned[13], (PixelRect{13, 0, 30, 51}));
    for (const PixelRect& r : mask) {
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x + r.width, kUndoBlockSize);
        EXPECT_LE(r.y + r.height, kUndoBlockSize);
    }
}

TEST(MapPicture, HexCopyReplacesTheInsideAndUndoRestoresExactly) {
    for (GridOrientation o : {kRows, kColumns}) {
        const Module m = module(o, 6, 6);
        Image image(400, 420, 10);
        const OwnedPicture before = image.picture;
        const PixelPoint source = hexPicturePosition(m, 2, 2);
        const PixelPoint target = hexPicturePosition(m, 3, 2);  // a neighbour
        const Pixel middle = image.surface.at(source.x + 25, source.y + 27);
        const UndoPicture undo = copyHexPicture(image.surface, o, source, target);
        EXPECT_TRUE(undo.available);
        EXPECT_EQ(image.surface.at(target.x + 25, target.y + 27), middle);
        EXPECT_EQ(image.surface.at(target.x + 1, target.y + 1),
                  before.at(target.x + 1, target.y + 1));  // a corner outside the hexagon
        EXPECT_EQ(image.surface.at(source.x + 25, source.y + 27), middle);
        restoreUndoPicture(image.surface, undo);
        EXPECT_EQ(image.picture.pixels, before.pixels);
    }
}

TEST(MapPicture, ToolsWriteOnlyInsideTheMapPicture) {
    const Module m = module(kRows, 4, 4, 30);
    Image image(260, 230, 30);
    // A hex whose picture starts above the map picture (as if MapTop were
    // smaller) and one that reaches past the image's edge.
    const PixelPoint high{25, 5};
    const PixelPoint edge{230, 200};
    const OwnedPicture before = image.picture;
    copyHexPicture(image.surface, kRows, hexPicturePosition(m, 1, 1), high);
    drawHexBorder(image.surface, kRows, edge, kBlack);
    swapHexColours(image.surface, kRows, high, kWhite, kBlack);
    fillHexArea(image.surface, kRows, high, {high.x + 25, high.y + 20}, kGreen);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 260; ++x)
            ASSERT_EQ(image.picture.at(x, y), before.at(x, y)) << x << "," << y;
}

TEST(MapPicture, TerrainHexagonAndColourSwap) {
    const std::vector<PixelSpan> rows = terrainHexagonRows();
    ASSERT_EQ(rows.size(), 56u);
    EXPECT_EQ(rows[0].first, 25);
    EXPECT_EQ(rows[0].last, 25);
    EXPECT_EQ(rows[1].first, 23);
    EXPECT_EQ(rows[11].first, 3);
    EXPECT_EQ(rows[12].first, 2);  // one more at row 12
    EXPECT_EQ(rows[12].last, 48);
    EXPECT_EQ(rows[42].first, 2);
    EXPECT_EQ(rows[43].first, 3);  // one less, then two per row
    EXPECT_EQ(rows[44].first, 5);
    EXPECT_EQ(rows[54].first, 25);
    EXPECT_GT(rows[55].first, rows[55].last);

    const Module m = module(kRows, 4, 4, 0);
    OwnedPicture pic(260, 230, kWhite);
    PixelSurface s = pic.surface();
    const PixelPoint at = hexPicturePosition(m, 2, 2);
    s.set(at.x + 25, at.y + 30, kBlack);
    s.set(at.x + 25, at.y + 31, kGreen);
    swapHexColours(s, kRows, at, kBlack, kWhite);
    EXPECT_EQ(s.at(at.x + 25, at.y + 30), kWhite);
    EXPECT_EQ(s.at(at.x + 25, at.y + 31), kGreen);  // neither colour: kept
    EXPECT_EQ(s.at(at.x + 2, at.y + 20), kBlack);
    EXPECT_EQ(s.at(at.x + 1, at.y + 20), kWhite);   // left of the hexagon
    EXPECT_EQ(s.at(at.x + 25, at.y + 55), kWhite);  // row 55 is outside
    EXPECT_EQ(s.at(at.x + 24, at.y), kWhite);       // row 0 is the single middle pixel
    EXPECT_EQ(s.at(at.x + 25, at.y), kBlack);
}

TEST(MapPicture, FillStaysInItsAreaAndInTheHexagon) {
    const Module m = module(kColumns, 4, 4, 0);
    OwnedPicture pic(260, 260, kWhite);
    PixelSurface s = pic.surface();
    const PixelPoint at = hexPicturePosition(m, 2, 2);
    for (int y = 0; y < 260; ++y) s.set(at.x + 30, y, kBlack);  // a wall through the hex
    fillHexArea(s, kColumns, at, {at.x + 20, at.y + 25}, kGreen);
    EXPECT_EQ(s.at(at.x + 20, at.y + 25), kGreen);
    EXPECT_EQ(s.at(at.x + 5, at.y + 25), kGreen);
    EXPECT_EQ(s.at(at.x + 40, at.y + 25), kWhite);                  // beyond the wall
    EXPECT_EQ(s.at(at.x + 0, at.y + 0), kWhite);                    // outside the hexagon
    EXPECT_EQ(s.at(at.x - 3, at.y + 25), kWhite);                   // the neighbour
    fillHexArea(s, kColumns, at, {at.x + 200, at.y + 25}, kBlack);  // seed outside: nothing
    EXPECT_EQ(s.at(at.x + 40, at.y + 25), kWhite);
}

TEST(MapPicture, BorderAndOverlay) {
    const Module m = module(kRows, 3, 2, 0);
    OwnedPicture pic(200, 140, kWhite);
    PixelSurface s = pic.surface();
    const PixelPoint at = hexPicturePosition(m, 1, 1);
    const UndoPicture undo = drawHexBorder(s, kRows, at, kBlack);
    for (const PixelPoint c : hexOutlineCorners(kRows))
        EXPECT_EQ(s.at(at.x + c.x, at.y + c.y), kBlack);
    EXPECT_EQ(s.at(at.x + 25, at.y + 27), kWhite);
    EXPECT_EQ(linePixels({0, 0}, {3, 1}).size(), 4u);
    EXPECT_EQ(linePixels({1, 13}, {25, 0}).back(), (PixelPoint{25, 0}));
    restoreUndoPicture(s, undo);
    EXPECT_EQ(s.at(at.x + 25, at.y), kWhite);

    const OwnedPicture blank = pic;
    const PixelUndo overlay = drawGridOverlay(s, m, kBlack);
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c) {
            const PixelPoint p = hexPicturePosition(m, c, r);
            EXPECT_EQ(s.at(p.x + 50, p.y + 13), kBlack);
        }
    const std::size_t changed = overlay.entries.size();
    EXPECT_GT(changed, 0u);
    EXPECT_TRUE(drawGridOverlay(s, m, kBlack).entries.empty());  // nothing left to change
    revertPixels(s, overlay);
    EXPECT_EQ(pic.pixels, blank.pixels);
}

TEST(MapPicture, OverviewTilesOnePerHex) {
    EXPECT_EQ(paletteColour(rgbPixel(30, 100, 230)), rgbPixel(51, 102, 255));
    EXPECT_EQ(paletteColour(rgbPixel(25, 26, 204)), rgbPixel(0, 51, 204));
    EXPECT_EQ(overviewProgressText(kRows, 3), "Row 3");
    EXPECT_EQ(overviewProgressText(kColumns, 12), "Column 12");

    for (GridOrientation o : {kRows, kColumns}) {
        const Module m = module(o, 3, 2, 20);
        OwnedPicture pic(220, 160, kBlack);
        PixelSurface s = pic.surface();
        s.writable = {0, 20, 220, 140};
        // Each hex's 40 x 40 block in a colour of its own.
        for (int r = 1; r <= 2; ++r)
            for (int c = 1; c <= 3; ++c) {
                const PixelPoint p = hexPicturePosition(m, c, r);
                const Pixel colour = rgbPixel(51 * c, 51 * r, 100);
                for (int y = 0; y < 40; ++y)
                    for (int x = 0; x < 40; ++x) s.set(p.x + 2 + x, p.y + 6 + y, colour);
            }
        std::vector<int> lines;
        const OwnedPicture tiles = buildOverviewTiles(m, s, [&](int n) { lines.push_back(n); });
        const bool rows = o == kRows;
        EXPECT_EQ(lines, rows ? (std::vector<int>{1, 2}) : (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(tiles.width, rows ? 35 : 30);
        EXPECT_EQ(tiles.height, rows ? 20 : 25);
        for (int r = 1; r <= 2; ++r)
            for (int c = 1; c <= 3; ++c) {
                const int tx = 10 * (c - 1) + (rows && r % 2 == 1 ? 5 : 0);
                const int ty = 10 * (r - 1) + (!rows && c % 2 == 1 ? 5 : 0);
                const Pixel want = rgbPixel(51 * c, 51 * r, 102);
                EXPECT_EQ(tiles.at(tx, ty), want) << c << "," << r;
                EXPECT_EQ(tiles.at(tx + 9, ty + 9), want) << c << "," << r;
            }
        // The half-tile left free by the shift stays grey.
        EXPECT_EQ(rows ? tiles.at(0, 0) : tiles.at(0, 0), kOverviewGround);

        stretchOverview(tiles, s, 12, 8);
        EXPECT_EQ(s.at(11, 7), paletteColour(s.at(11, 7)));
        EXPECT_EQ(pic.at(12, 0), kBlack);  // nothing beyond the overview's width
    }
}

TEST(MapPicture, OverviewOfTheWholeImageOnly) {
    // A map larger than its image: tiles beyond the picture stay grey.
    const Module m = module(kRows, 5, 5, 0);
    OwnedPicture pic(100, 60, kBlack);
    PixelSurface s = pic.surface();
    const OwnedPicture tiles = buildOverviewTiles(m, s);
    EXPECT_EQ(tiles.at(5, 0), kBlack);             // hex (1, 1)
    EXPECT_EQ(tiles.at(45, 45), kOverviewGround);  // hex (5, 5)
    OwnedPicture tiny(3, 3, kWhite);
    PixelSurface ts = tiny.surface();
    stretchOverview(tiles, ts, 144, 99);  // clipped to the image
    EXPECT_NE(tiny.at(2, 2), kWhite);
}

TEST(MapEditRules, FormAreas) {
    EXPECT_EQ(formAreaAt(178, 19), FormArea::Map);
    EXPECT_EQ(formAreaAt(177, 300), FormArea::Other);
    EXPECT_EQ(formAreaAt(143, 99), FormArea::Overview);
    EXPECT_EQ(formAreaAt(144, 50), FormArea::Other);
    EXPECT_EQ(formAreaAt(90, 182), FormArea::ColourPick);
    EXPECT_EQ(formAreaAt(160, 215), FormArea::ColourPick);
    EXPECT_EQ(formAreaAt(161, 215), FormArea::Other);
    EXPECT_EQ(formAreaAt(100, 216), FormArea::Other);
}

TEST(MapEditRules, EditNamesCopyAndPaste) {
    Module m = module(kRows, 5, 5);
    m.hex(2, 3).name = "Ford   ";
    MapNameEditor editor;
    EXPECT_EQ(editor.clickHex(m, 2, 3), std::nullopt);  // Terrain mode: no name field
    editor.setMode(EditMode::EditNames);
    EXPECT_EQ(editor.clickHex(m, 2, 3), "Ford");
    EXPECT_EQ(editor.clickHex(m, 9, 9), std::nullopt);  // off the map: nothing selected
    EXPECT_EQ(editor.selected(), (Hex{2, 3}));

    std::vector<HexNameChange> changes = editor.nameFieldChanged(m, std::string(40, 'x'));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].before, "Ford   ");
    EXPECT_EQ(m.hex(2, 3).name, std::string(35, 'x'));
    EXPECT_TRUE(editor.nameFieldChanged(m, std::string(35, 'x')).empty());
    revertNameChanges(m, changes);
    EXPECT_EQ(m.hex(2, 3).name, "Ford   ");

    // Paste with an empty clipboard empties the name.
    editor.clickHex(m, 4, 4);
    changes = editor.pasteName(m);
    EXPECT_EQ(m.hex(4, 4).name, "");
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].before, "0404");

    editor.clickHex(m, 2, 3);
    editor.copyName(m);
    EXPECT_EQ(editor.clipboard(), "Ford   ");
    editor.setMode(EditMode::HexCopy);
    editor.clickHex(m, 1, 1);
    editor.pasteName(m);
    EXPECT_EQ(m.hex(1, 1).name, "Ford   ");
    EXPECT_EQ(editor.nameFieldFocused(m), "Ford");
    EXPECT_EQ(editor.mode(), EditMode::EditNames);
}

TEST(MapEditRules, ClearHexNames) {
    Module m = module(kRows, 3, 2);
    const Module before = m;
    MapNameEditor editor;
    Prompts p;
    // Refused silently while a calibration is pending.
    EXPECT_TRUE(editor.clearNames(m, true, p).empty());
    EXPECT_TRUE(p.asked.empty());
    // Cancel in the question, then Cancel in the name dialog.
    p.okAnswers = {false, true};
    EXPECT_TRUE(editor.clearNames(m, false, p).empty());
    EXPECT_TRUE(editor.clearNames(m, false, p).empty());
    EXPECT_EQ(p.asked[0],
              "Clear Coordinates: This will delete ALL hex names.  Are you sure you want to "
              "continue?");
    EXPECT_EQ(p.asked[2], "Select Default Names: Primary [Off Map] 35");
    for (std::size_t i = 0; i < m.hexes.size(); ++i)
        EXPECT_EQ(m.hexes[i].name, before.hexes[i].name);
    // OK and a name: every hex of the map, not the combat boxes' row.
    p.okAnswers = {true};
    p.names = {std::string("Off Map")};
    const std::vector<HexNameChange> changes = editor.clearNames(m, false, p);
    EXPECT_EQ(changes.size(), 6u);
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c) EXPECT_EQ(m.hex(c, r).name, "Off Map");
    EXPECT_EQ(m.hex(1, 3).name, "0103");
    revertNameChanges(m, changes);
    EXPECT_EQ(m.hex(3, 2).name, "0302");
    applyNameChanges(m, changes);
    EXPECT_EQ(m.hex(3, 2).name, "Off Map");
}

TEST(MapEditRules, OverviewClickScrolls) {
    OverviewGeometry g{kRows, {144, 99}, {1551, 1063}, {600, 400}, {55, 37}};
    // (70 - 27) * 1551 / 144 = 463; (50 - 18) * 1063 / 99 = 343, odd -> 344 along y.
    EXPECT_EQ(overviewClickScroll(g, 70, 50), (PixelPoint{463, 344}));
    EXPECT_EQ(overviewClickScroll(g, 0, 0), (PixelPoint{0, 0}));
    EXPECT_EQ(overviewClickScroll(g, 143, 98), (PixelPoint{951, 663}));  // map less view
    g.orientation = kColumns;
    EXPECT_EQ(overviewClickScroll(g, 70, 50), (PixelPoint{464, 343}));
}

TEST(MapEditRules, NamingChangesUndoThroughTheirList) {
    Module m = module(kRows, 4, 3);
    m.hex(3, 2).name = "A2";  // already what system 1 gives it
    const Module before = m;
    const NamingResult r = nameModuleHexes(m, 1, {4, 2}, 0);
    EXPECT_EQ(r.named, 8);
    EXPECT_EQ(r.changes.size(), 7u);
    revertNameChanges(m, r.changes);
    for (std::size_t i = 0; i < m.hexes.size(); ++i)
        EXPECT_EQ(m.hexes[i].name, before.hexes[i].name);
    applyNameChanges(m, r.changes);
    EXPECT_EQ(m.hex(4, 2).name, "A1");
}
