#pragma once
// The pixel work of the editor's map tools on the module image, without a
// screen: the picture of one hex, Hex Copy through the hexagonal mask and its
// undo, F<>B, Fill, the Border outline, and Make Overview. The editor's
// window hands the image's pixels over as a PixelSurface (32-bit pixels,
// 0xAARRGGBB as QImage::Format_RGB32 keeps them); every write stays inside
// the surface's writable rectangle, the map picture.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/module/Module.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

using Pixel = std::uint32_t;  // 0xAARRGGBB

constexpr Pixel rgbPixel(int r, int g, int b) {
    return 0xFF000000u | (static_cast<Pixel>(r & 255) << 16) | (static_cast<Pixel>(g & 255) << 8) |
           static_cast<Pixel>(b & 255);
}

// Pixels of an image owned elsewhere. `stride` counts pixels per line.
struct PixelSurface {
    Pixel* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    PixelRect writable;  // where the tools may write: the map picture

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool mayWrite(int x, int y) const {
        return contains(x, y) && x >= writable.x && y >= writable.y &&
               x < writable.x + writable.width && y < writable.y + writable.height;
    }
    Pixel at(int x, int y) const { return pixels[y * stride + x]; }
    void set(int x, int y, Pixel p) {
        if (mayWrite(x, y)) pixels[y * stride + x] = p;
    }
};

// A picture held by the core (an undo block, the overview's tiles).
struct OwnedPicture {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;

    OwnedPicture() = default;
    OwnedPicture(int w, int h, Pixel fill)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    Pixel at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, Pixel p) { pixels[static_cast<std::size_t>(y) * width + x] = p; }
    // A surface over these pixels, all of it writable.
    PixelSurface surface() { return {pixels.data(), width, height, width, {0, 0, width, height}}; }
};

// The map picture of a module inside its image: from MapTop down, the
// whole width. A surface over the image with this as its writable part.
PixelRect mapPictureRect(const Module& module, int imageWidth, int imageHeight);

// The hex grid whose every hex lies wholly inside a map picture of the given
// size, at least 1 x 1 and at most the largest grid. A picture of the blank
// map size of a grid gives that grid back.
struct GridSize {
    int columns = 1;
    int rows = 1;
    bool operator==(const GridSize&) const = default;
};
GridSize gridFittingMap(int width, int height, GridOrientation orientation);

// The top-left corner of hex (column, row) in the module image: the cell
// origin of the board's geometry, MapTop lower.
PixelPoint hexPicturePosition(const Module& module, int column, int row);

// The block of a hex that the terrain editor shows: 51 wide and 56 high
// when rows are aligned, 56 x 51 otherwise; shown three times enlarged.
struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};
PictureSize terrainBlockSize(GridOrientation orientation);
constexpr int kTerrainMagnification = 3;
constexpr int kTerrainEditorTop = 220;  // y of the terrain editor area on the form

// The 55 x 55 block saved as the undo picture of a hex.
constexpr int kUndoBlockSize = 55;

// The inside of a hex as rectangles relative to its picture position: 13
// strips, each 4 pixels wider and 2 shorter than the one before from the
// middle outwards, and the central block (51 x 30 when rows are aligned,
// 30 x 51 otherwise). Together they cover the hexagon and nothing of the
// neighbours' insides.
std::vector<PixelRect> hexCopyMask(GridOrientation orientation);

// The hexagon of the terrain editor's F<>B, row by row of the 56-row block
// (rows aligned; turned for columns): the first and last columns of each
// row, relative to the block; a row with first > last is empty.
struct PixelSpan {
    int first = 0;
    int last = -1;
};
std::vector<PixelSpan> terrainHexagonRows();

// The outline that "Border" draws: the corners of the hex relative to its
// picture position, closed (the last joins the first).
std::vector<PixelPoint> hexOutlineCorners(GridOrientation orientation);

// The pixels of a 1-pixel line from a to b, both ends included.
std::vector<PixelPoint> linePixels(PixelPoint a, PixelPoint b);

// What a changed hex needs to be undone: the 55 x 55 block at its position.
struct UndoPicture {
    bool available = false;
    PixelPoint at;
    OwnedPicture block;
};
UndoPicture saveUndoPicture(const PixelSurface& surface, PixelPoint at);
// Copies the block back (only where it may write); the undo stays available.
void restoreUndoPicture(PixelSurface& surface, const UndoPicture& undo);

// Hex Copy: the source hex's picture onto the target hex, through the mask.
// Returns the undo picture of the target taken before.
UndoPicture copyHexPicture(PixelSurface& surface, GridOrientation orientation, PixelPoint source,
                           PixelPoint target);

// F<>B: within the hexagon of the hex at `at`, background pixels become
// foreground and foreground pixels background.
void swapHexColours(PixelSurface& surface, GridOrientation orientation, PixelPoint at,
                    Pixel foreground, Pixel background);

// Fill: the 4-connected area of the colour at `seed`, within the hexagon of
// the hex at `at`, becomes `colour`.
void fillHexArea(PixelSurface& surface, GridOrientation orientation, PixelPoint at, PixelPoint seed,
                 Pixel colour);

// Border: the hex outline at `at` in `colour`. Returns the undo picture
// taken before.
UndoPicture drawHexBorder(PixelSurface& surface, GridOrientation orientation, PixelPoint at,
                          Pixel colour);

// The pixels a larger change overwrote, for its undo: only those whose
// colour changed, in the order they were written.
struct PixelUndo {
    struct Entry {
        int x;
        int y;
        Pixel before;
    };
    std::vector<Entry> entries;
};
void revertPixels(PixelSurface& surface, const PixelUndo& undo);

// Draw hex grid Overlay: the Border outline of every hex of the map in
// `colour`.
PixelUndo drawGridOverlay(PixelSurface& surface, const Module& module, Pixel colour);

// Make Overview. The tile picture has one 10 x 10 tile per hex, hex (c, r)
// at (10 (c - 1), 10 (r - 1)); staggered lines stand half a tile further
// (right on odd rows, down on odd columns), so the picture is 5 pixels
// wider (rows) or higher (columns) than 10 x columns by 10 x rows. Each
// tile is the hex's 40 x 40 block (2 right of and 6 below its picture
// position) shrunk by four, in the 216-colour palette, on grey (204).
constexpr int kOverviewTile = 10;
constexpr Pixel kOverviewGround = rgbPixel(204, 204, 204);
// The palette colour nearest to `p`: each channel to the nearest of 0, 51,
// 102, 153, 204, 255.
Pixel paletteColour(Pixel p);
// "Row 3" or "Column 3" for the line being tiled.
std::string overviewProgressText(GridOrientation orientation, int line);
OwnedPicture buildOverviewTiles(const Module& module, const PixelSurface& image,
                                const std::function<void(int line)>& progress = {});
// Stretches the tiles into the OverviewSize rectangle at (0, 0) of the image,
// each pixel the palette colour of the tiles' average under it
// (the image's writable rectangle is not consulted: the overview lives in
// the sheet band above the map).
void stretchOverview(const OwnedPicture& tiles, PixelSurface& image, int width, int height);

}  // namespace qmx
