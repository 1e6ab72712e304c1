#include "core/map/HexGeometry.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace qmx {

namespace {

int truncToInt(double v) {
    return static_cast<int>(std::trunc(v));
}

// A strip number as the hit test keeps it: one unsigned byte. Values outside
// 0..255 (points far outside the map) saturate rather than wrap, so that a
// point left of the map never lands on a far column.
int stripByte(double v) {
    const double t = std::trunc(v);
    if (t <= 0) return 0;
    if (t >= 255) return 255;
    return static_cast<int>(t);
}

// Offsets of the hex cursor outline, before zooming.
constexpr std::array<PixelPoint, 7> kOutlineRows{
    {{25, 0}, {50, 13}, {50, 42}, {25, 54}, {1, 42}, {1, 13}, {25, 1}}};
constexpr std::array<PixelPoint, 7> kOutlineColumns{
    {{1, 25}, {14, 1}, {41, 1}, {54, 25}, {41, 49}, {14, 49}, {1, 25}}};

// Indicator points in the 40 x 40 unit image, by direction bit 0..5.
constexpr std::array<PixelPoint, 6> kFacingSide{
    {{35, 2}, {42, 20}, {35, 35}, {14, 36}, {4, 20}, {14, 4}}};
constexpr std::array<PixelPoint, 6> kFacingCornerPoints{
    {{22, 0}, {42, 5}, {42, 30}, {24, 40}, {4, 30}, {4, 10}}};

// The direction bit of a facing byte. A byte read from a damaged file may
// carry several; the lowest one counts.
std::uint8_t directionOf(std::uint8_t facing) {
    const std::uint8_t d = facing & kFacingDirections;
    return static_cast<std::uint8_t>(d & -d);
}

}  // namespace

int zoomed(double k, float zoom) {
    return truncToInt(k * static_cast<double>(zoom));
}

HexGeometry::HexGeometry(GridOrientation orientation, int columns, int rows)
    : m_orientation(orientation == GridOrientation::RowsAligned ? GridOrientation::RowsAligned
                                                                : GridOrientation::ColumnsAligned),
      m_columns(std::max(columns, 1)),
      m_rows(std::max(rows, 1)) {}

PixelPoint HexGeometry::cellOrigin(Hex h) const {
    if (rowsAligned()) {
        return {50 * (h.column - 1) + ((h.row & 1) ? kHalfHexShift : 0), 42 * (h.row - 1)};
    }
    return {42 * (h.column - 1), 50 * (h.row - 1) + ((h.column & 1) ? kHalfHexShift : 0)};
}

PixelPoint HexGeometry::unitImageOrigin(Hex h) const {
    const PixelPoint o = cellOrigin(h);
    return rowsAligned() ? PixelPoint{o.x + 3, o.y + 4} : PixelPoint{o.x + 6, o.y + 3};
}

PixelPoint HexGeometry::mapToWindow(PixelPoint map, float zoom, PixelPoint scrollOrigin) {
    return {zoomed(map.x - scrollOrigin.x, zoom), zoomed(map.y - scrollOrigin.y, zoom)};
}

PixelPoint HexGeometry::unitWindowPosition(Hex h, float zoom, PixelPoint scrollOrigin) const {
    return mapToWindow(unitImageOrigin(h), zoom, scrollOrigin);
}

Hex HexGeometry::hexAt(PixelPoint window, float zoom, PixelPoint scrollOrigin) const {
    const double z = zoom;
    const double x = std::trunc(scrollOrigin.x * z + window.x - 1);
    const double y = std::trunc(scrollOrigin.y * z + window.y);
    int c = 0;
    int r = 0;
    if (rowsAligned()) {
        r = stripByte((y - 3 * z) / (42 * z) + 1);
        c = stripByte((x - 25 * z * (r % 2)) / (50 * z) + 1);
    } else {
        c = stripByte((x - 3 * z) / (42 * z) + 1);
        r = stripByte((y - 25 * z * (c % 2)) / (50 * z) + 1);
    }
    c = std::clamp(c, 1, m_columns);
    r = std::clamp(r, 1, m_rows);
    return {c, r};
}

std::array<PixelPoint, 7> HexGeometry::outline(Hex h, float zoom, PixelPoint scrollOrigin) const {
    // Cell origin without the half-hex shift; the shift is zoomed on its own.
    int x0 = 0;
    int y0 = 0;
    bool shifted = false;
    if (rowsAligned()) {
        x0 = 50 * (h.column - 1);
        y0 = 42 * (h.row - 1);
        shifted = (h.row & 1) != 0;
    } else {
        x0 = 42 * (h.column - 1);
        y0 = 50 * (h.row - 1);
        shifted = (h.column & 1) != 0;
    }
    int X = zoomed(x0 - scrollOrigin.x, zoom);
    int Y = truncToInt(static_cast<double>(zoom) * (y0 - scrollOrigin.y) + 1);
    if (shifted) (rowsAligned() ? X : Y) += zoomed(kHalfHexShift, zoom);

    const auto& offsets = rowsAligned() ? kOutlineRows : kOutlineColumns;
    std::array<PixelPoint, 7> points{};
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i] = {X + zoomed(offsets[i].x, zoom), Y + zoomed(offsets[i].y, zoom)};
    }
    return points;
}

PixelPoint HexGeometry::scrollExtent(float zoom) const {
    if (rowsAligned()) return {zoomed(50 * m_columns + 51, zoom), zoomed(42 * m_rows + 55, zoom)};
    return {zoomed(42 * m_columns + 55, zoom), zoomed(50 * m_rows + 51, zoom)};
}

PixelPoint HexGeometry::scrollPage(float zoom) {
    return {zoomed(180, zoom), zoomed(250, zoom)};
}

PixelPoint HexGeometry::scrollLine(float zoom) {
    return {zoomed(36, zoom), zoomed(25, zoom)};
}

WholeHexes HexGeometry::wholeHexes(int windowWidth, int windowHeight, float zoom) const {
    const double z = zoom;
    WholeHexes w{truncToInt(windowWidth / (horizontalPitch() * z)),
                 truncToInt(windowHeight / (verticalPitch() * z))};
    int& shifted = rowsAligned() ? w.down : w.across;
    if (shifted % 2 != 0) shifted -= 1;
    return w;
}

bool HexGeometry::outsideWindow(Hex h, float zoom, PixelPoint scrollOrigin, int windowWidth,
                                int windowHeight) const {
    // Everything in window pixels: the scroll position and the pitches zoomed.
    const int px = std::max(zoomed(horizontalPitch(), zoom), 1);
    const int py = std::max(zoomed(verticalPitch(), zoom), 1);
    const int left = std::max(zoomed(scrollOrigin.x, zoom), 0);
    const int top = std::max(zoomed(scrollOrigin.y, zoom), 0);
    if (h.column < left / px + 2) return true;
    if (h.column > (windowWidth + left) / px - 1) return true;
    if (h.row < top / py + 2) return true;
    if (h.row > (windowHeight + top) / py - 1 && h.row < m_rows) return true;
    return false;
}

PixelPoint HexGeometry::centredScrollPosition(Hex h, float zoom, WholeHexes fit) const {
    int firstColumn = std::min(h.column - fit.across / 2, m_columns - fit.across);
    firstColumn = std::max(firstColumn, 0);
    int firstRow = std::min(h.row - fit.down / 2, m_rows - fit.down);
    firstRow = std::max(firstRow, 1);
    if (firstRow % 2 != 0) firstRow -= 1;
    return {zoomed(firstColumn * horizontalPitch(), zoom),
            zoomed(firstRow * verticalPitch(), zoom)};
}

std::uint8_t rotateRight(std::uint8_t facing) {
    if (!(facing & kFacingShown)) return facing;
    const std::uint8_t d = directionOf(facing);
    const std::uint8_t next = (d == 0 || d == 32) ? 1 : static_cast<std::uint8_t>(d << 1);
    return static_cast<std::uint8_t>((facing & ~kFacingDirections) | next);
}

std::uint8_t rotateLeft(std::uint8_t facing) {
    if (!(facing & kFacingShown)) return facing;
    const std::uint8_t d = directionOf(facing);
    const std::uint8_t next = d == 0 ? 1 : (d == 1 ? 32 : static_cast<std::uint8_t>(d >> 1));
    return static_cast<std::uint8_t>((facing & ~kFacingDirections) | next);
}

std::optional<PixelPoint> facingPoint(std::uint8_t facing) {
    const std::uint8_t d = directionOf(facing);
    if (d == 0) return std::nullopt;
    const int index = std::countr_zero(static_cast<unsigned>(d));
    const auto& table = (facing & kFacingCorner) ? kFacingCornerPoints : kFacingSide;
    return table[static_cast<std::size_t>(index)];
}

}  // namespace qmx
