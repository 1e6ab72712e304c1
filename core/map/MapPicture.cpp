#include "core/map/MapPicture.h"

#include <algorithm>
#include <cstdlib>

namespace qmx {

namespace {

constexpr int kHexagonRows = 56;
constexpr int kHexagonMiddle = 25;

// Half the width of the hexagon's row y, or -1 for none.
int hexagonHalfWidth(int y) {
    if (y < 0 || y >= kHexagonRows) return -1;
    if (y <= 11) return 2 * y;
    if (y <= 42) return 23;
    return 2 * (54 - y);  // 22 at row 43, 0 at row 54, below 0 at row 55
}

// Calls f(dx, dy) for every pixel of the hexagon, relative to the hex's
// picture position.
template <class F>
void forHexagon(GridOrientation orientation, F f) {
    for (int a = 0; a < kHexagonRows; ++a) {
        const int w = hexagonHalfWidth(a);
        for (int b = kHexagonMiddle - w; w >= 0 && b <= kHexagonMiddle + w; ++b) {
            if (orientation == GridOrientation::RowsAligned)
                f(b, a);
            else
                f(a, b);
        }
    }
}

bool inHexagon(GridOrientation orientation, int dx, int dy) {
    const int a = orientation == GridOrientation::RowsAligned ? dy : dx;
    const int b = orientation == GridOrientation::RowsAligned ? dx : dy;
    const int w = hexagonHalfWidth(a);
    return w >= 0 && b >= kHexagonMiddle - w && b <= kHexagonMiddle + w;
}

int red(Pixel p) {
    return static_cast<int>((p >> 16) & 255);
}
int green(Pixel p) {
    return static_cast<int>((p >> 8) & 255);
}
int blue(Pixel p) {
    return static_cast<int>(p & 255);
}

}  // namespace

PixelRect mapPictureRect(const Module& module, int imageWidth, int imageHeight) {
    const int top = std::min<int>(module.mapTop, imageHeight);
    return {0, top, imageWidth, imageHeight - top};
}

GridSize gridFittingMap(int width, int height, GridOrientation orientation) {
    // A hex's outline reaches 50 x 54 pixels past its cell origin when rows are
    // aligned (54 x 49 otherwise), and every other row (column) is shifted by 25.
    const bool rows = orientation == GridOrientation::RowsAligned;
    const auto fit = [](int size, int reach, int pitch, int limit) {
        const int n = size > reach ? (size - reach - 1) / pitch + 1 : 1;
        return std::clamp(n, 1, limit);
    };
    if (rows) return {fit(width, 75, 50, kMaxColumns), fit(height, 54, 42, kMaxRows)};
    return {fit(width, 54, 42, kMaxColumns), fit(height, 74, 50, kMaxRows)};
}

PixelPoint hexPicturePosition(const Module& module, int column, int row) {
    if (module.orientation == GridOrientation::RowsAligned)
        return {(column - 1) * 50 + (row % 2 == 1 ? 25 : 0), module.mapTop + (row - 1) * 42};
    return {(column - 1) * 42, module.mapTop + (row - 1) * 50 + (column % 2 == 1 ? 25 : 0)};
}

PictureSize terrainBlockSize(GridOrientation orientation) {
    return orientation == GridOrientation::RowsAligned ? PictureSize{51, 56} : PictureSize{56, 51};
}

std::vector<PixelRect> hexCopyMask(GridOrientation orientation) {
    std::vector<PixelRect> mask;
    const bool rows = orientation == GridOrientation::RowsAligned;
    for (int k = 0; k < 13; ++k) {
        // Across: 3 pixels wide at the middle, 4 more per strip; along: 54
        // high at the middle, 2 less per strip.
        const PixelRect r{kHexagonMiddle - 1 - 2 * k, k + 1, 3 + 4 * k, 54 - 2 * k};
        mask.push_back(rows ? r : PixelRect{r.y, r.x, r.height, r.width});
    }
    mask.push_back(rows ? PixelRect{0, 13, 51, 30} : PixelRect{13, 0, 30, 51});
    return mask;
}

std::vector<PixelSpan> terrainHexagonRows() {
    std::vector<PixelSpan> rows;
    for (int y = 0; y < kHexagonRows; ++y) {
        const int w = hexagonHalfWidth(y);
        rows.push_back(w < 0 ? PixelSpan{} : PixelSpan{kHexagonMiddle - w, kHexagonMiddle + w});
    }
    return rows;
}

std::vector<PixelPoint> hexOutlineCorners(GridOrientation orientation) {
    if (orientation == GridOrientation::RowsAligned)
        return {{25, 0}, {50, 13}, {50, 42}, {25, 54}, {1, 42}, {1, 13}};
    return {{1, 25}, {14, 1}, {41, 1}, {54, 25}, {41, 49}, {14, 49}};
}

std::vector<PixelPoint> linePixels(PixelPoint a, PixelPoint b) {
    std::vector<PixelPoint> out;
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    for (PixelPoint p = a;;) {
        out.push_back(p);
        if (p == b) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.y += sy;
        }
    }
    return out;
}

UndoPicture saveUndoPicture(const PixelSurface& surface, PixelPoint at) {
    UndoPicture undo{true, at, OwnedPicture(kUndoBlockSize, kUndoBlockSize, 0)};
    for (int y = 0; y < kUndoBlockSize; ++y)
        for (int x = 0; x < kUndoBlockSize; ++x)
            if (surface.contains(at.x + x, at.y + y))
                undo.block.set(x, y, surface.at(at.x + x, at.y + y));
    return undo;
}

void restoreUndoPicture(PixelSurface& surface, const UndoPicture& undo) {
    if (!undo.available) return;
    for (int y = 0; y < undo.block.height; ++y)
        for (int x = 0; x < undo.block.width; ++x)
            surface.set(undo.at.x + x, undo.at.y + y, undo.block.at(x, y));
}

UndoPicture copyHexPicture(PixelSurface& surface, GridOrientation orientation, PixelPoint source,
                           PixelPoint target) {
    UndoPicture undo = saveUndoPicture(surface, target);
    // The source is read whole first: neighbouring hexes share border pixels.
    const UndoPicture from = saveUndoPicture(surface, source);
    for (const PixelRect& r : hexCopyMask(orientation))
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x)
                if (surface.contains(source.x + x, source.y + y))
                    surface.set(target.x + x, target.y + y, from.block.at(x, y));
    return undo;
}

void swapHexColours(PixelSurface& surface, GridOrientation orientation, PixelPoint at,
                    Pixel foreground, Pixel background) {
    forHexagon(orientation, [&](int dx, int dy) {
        const int x = at.x + dx, y = at.y + dy;
        if (!surface.mayWrite(x, y)) return;
        const Pixel p = surface.at(x, y);
        if (p == background)
            surface.set(x, y, foreground);
        else if (p == foreground)
            surface.set(x, y, background);
    });
}

void fillHexArea(PixelSurface& surface, GridOrientation orientation, PixelPoint at, PixelPoint seed,
                 Pixel colour) {
    const auto inside = [&](int x, int y) {
        return surface.mayWrite(x, y) && inHexagon(orientation, x - at.x, y - at.y);
    };
    if (!inside(seed.x, seed.y)) return;
    const Pixel old = surface.at(seed.x, seed.y);
    if (old == colour) return;
    std::vector<PixelPoint> todo{seed};
    surface.set(seed.x, seed.y, colour);
    while (!todo.empty()) {
        const PixelPoint p = todo.back();
        todo.pop_back();
        for (const PixelPoint n : {PixelPoint{p.x + 1, p.y}, PixelPoint{p.x - 1, p.y},
                                   PixelPoint{p.x, p.y + 1}, PixelPoint{p.x, p.y - 1}}) {
            if (!inside(n.x, n.y) || surface.at(n.x, n.y) != old) continue;
            surface.set(n.x, n.y, colour);
            todo.push_back(n);
        }
    }
}

UndoPicture drawHexBorder(PixelSurface& surface, GridOrientation orientation, PixelPoint at,
                          Pixel colour) {
    UndoPicture undo = saveUndoPicture(surface, at);
    const std::vector<PixelPoint> corners = hexOutlineCorners(orientation);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const PixelPoint a = corners[i], b = corners[(i + 1) % corners.size()];
        for (const PixelPoint p : linePixels(a, b)) surface.set(at.x + p.x, at.y + p.y, colour);
    }
    return undo;
}

void revertPixels(PixelSurface& surface, const PixelUndo& undo) {
    for (auto it = undo.entries.rbegin(); it != undo.entries.rend(); ++it)
        surface.set(it->x, it->y, it->before);
}

PixelUndo drawGridOverlay(PixelSurface& surface, const Module& module, Pixel colour) {
    PixelUndo undo;
    std::vector<PixelPoint> outline;
    const std::vector<PixelPoint> corners = hexOutlineCorners(module.orientation);
    for (std::size_t i = 0; i < corners.size(); ++i)
        for (const PixelPoint p : linePixels(corners[i], corners[(i + 1) % corners.size()]))
            outline.push_back(p);
    for (int r = 1; r <= module.rows; ++r)
        for (int c = 1; c <= module.columns; ++c) {
            const PixelPoint at = hexPicturePosition(module, c, r);
            for (const PixelPoint p : outline) {
                const int x = at.x + p.x, y = at.y + p.y;
                if (!surface.mayWrite(x, y) || surface.at(x, y) == colour) continue;
                undo.entries.push_back({x, y, surface.at(x, y)});
                surface.set(x, y, colour);
            }
        }
    return undo;
}

Pixel paletteColour(Pixel p) {
    const auto level = [](int c) { return (c + 25) / 51 * 51; };
    return rgbPixel(level(red(p)), level(green(p)), level(blue(p)));
}

std::string overviewProgressText(GridOrientation orientation, int line) {
    return (orientation == GridOrientation::RowsAligned ? "Row " : "Column ") +
           std::to_string(line);
}

OwnedPicture buildOverviewTiles(const Module& module, const PixelSurface& image,
                                const std::function<void(int line)>& progress) {
    const bool rows = module.orientation == GridOrientation::RowsAligned;
    const int columns = std::max(module.columns, 0), mapRows = std::max(module.rows, 0);
    OwnedPicture tiles(kOverviewTile * columns + (rows ? 5 : 0),
                       kOverviewTile * mapRows + (rows ? 0 : 5), kOverviewGround);
    const auto tileHex = [&](int c, int r) {
        const PixelPoint pos = hexPicturePosition(module, c, r);
        const int bx = pos.x + 2, by = pos.y + 6;
        const int tx = kOverviewTile * (c - 1) + (rows && r % 2 == 1 ? 5 : 0);
        const int ty = kOverviewTile * (r - 1) + (!rows && c % 2 == 1 ? 5 : 0);
        for (int y = 0; y < kOverviewTile; ++y) {
            for (int x = 0; x < kOverviewTile; ++x) {
                int sr = 0, sg = 0, sb = 0, n = 0;
                for (int j = 0; j < 4; ++j) {
                    const int sy = by + 4 * y + j;
                    if (sy < image.writable.y || sy < 0 || sy >= image.height) continue;
                    for (int i = 0; i < 4; ++i) {
                        const int sx = bx + 4 * x + i;
                        if (sx < 0 || sx >= image.width) continue;
                        const Pixel p = image.at(sx, sy);
                        sr += red(p);
                        sg += green(p);
                        sb += blue(p);
                        ++n;
                    }
                }
                if (n > 0)
                    tiles.set(tx + x, ty + y, paletteColour(rgbPixel(sr / n, sg / n, sb / n)));
            }
        }
    };
    if (rows) {
        for (int r = 1; r <= mapRows; ++r) {
            if (progress) progress(r);
            for (int c = 1; c <= columns; ++c) tileHex(c, r);
        }
    } else {
        for (int c = 1; c <= columns; ++c) {
            if (progress) progress(c);
            for (int r = 1; r <= mapRows; ++r) tileHex(c, r);
        }
    }
    return tiles;
}

void stretchOverview(const OwnedPicture& tiles, PixelSurface& image, int width, int height) {
    width = std::min(width, image.width);
    height = std::min(height, image.height);
    if (tiles.width <= 0 || tiles.height <= 0 || width <= 0 || height <= 0) return;
    for (int y = 0; y < height; ++y) {
        const int y0 = static_cast<int>(static_cast<long long>(y) * tiles.height / height);
        const int y1 = std::max(
            y0 + 1, static_cast<int>(static_cast<long long>(y + 1) * tiles.height / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = static_cast<int>(static_cast<long long>(x) * tiles.width / width);
            const int x1 = std::max(
                x0 + 1, static_cast<int>(static_cast<long long>(x + 1) * tiles.width / width));
            long long sr = 0, sg = 0, sb = 0, n = 0;
            for (int sy = y0; sy < y1 && sy < tiles.height; ++sy)
                for (int sx = x0; sx < x1 && sx < tiles.width; ++sx) {
                    const Pixel p = tiles.at(sx, sy);
                    sr += red(p);
                    sg += green(p);
                    sb += blue(p);
                    ++n;
                }
            image.pixels[y * image.stride + x] = paletteColour(rgbPixel(
                static_cast<int>(sr / n), static_cast<int>(sg / n), static_cast<int>(sb / n)));
        }
    }
}

}  // namespace qmx
