#pragma once
// Where hexes lie: map pixels of every hex, the window position of map points
// at the five zooms, the hex under a window point, the hex outline, the
// scroll extent, the whole-hex counts, the "is this hex in the window" tests,
// centring, and the six facing directions. Every hex has the same size in
// every module; only the layout and the grid size come from the module.

#include <array>
#include <cstdint>
#include <optional>

#include "core/module/Hex.h"
#include "core/module/Module.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

// The five zoom levels, largest first, as the Zoom menu lists them.
constexpr std::array<float, 5> kZoomFactors{2.0f, 1.5f, 1.0f, 0.75f, 0.5f};
constexpr float kDefaultZoom = 1.0f;

constexpr int kHexCellSize = 60;  // the box holding one hex, in map pixels
constexpr int kHalfHexShift = 25;

// Number of whole hexes that fit in the window; the count along the shifted
// direction is even.
struct WholeHexes {
    int across = 0;
    int down = 0;
    bool operator==(const WholeHexes&) const = default;
};

// trunc(k * z): every zoomed offset and size on the board is cut this way.
int zoomed(double k, float zoom);

class HexGeometry {
public:
    HexGeometry(GridOrientation orientation, int columns, int rows);
    explicit HexGeometry(const Module& module)
        : HexGeometry(module.orientation, module.columns, module.rows) {}

    GridOrientation orientation() const { return m_orientation; }
    bool rowsAligned() const { return m_orientation == GridOrientation::RowsAligned; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }

    // Unzoomed distance between neighbouring columns and rows.
    int horizontalPitch() const { return rowsAligned() ? 50 : 42; }
    int verticalPitch() const { return rowsAligned() ? 42 : 50; }

    bool onMap(Hex h) const {
        return h.column >= 1 && h.column <= m_columns && h.row >= 1 && h.row <= m_rows;
    }

    // Top-left of the hex's 60 x 60 cell in map pixels, with the half-hex
    // shift of odd rows (rows aligned) or odd columns (columns aligned).
    PixelPoint cellOrigin(Hex h) const;
    // Where the 40 x 40 unit image of the hex sits, in map pixels.
    PixelPoint unitImageOrigin(Hex h) const;

    // A map point in the window: trunc(z * (x - sx)), trunc(z * (y - sy)).
    static PixelPoint mapToWindow(PixelPoint map, float zoom, PixelPoint scrollOrigin);
    PixelPoint unitWindowPosition(Hex h, float zoom, PixelPoint scrollOrigin) const;

    // The hex under a window point. Works in strips, not outlines; the result
    // is always a map hex (never a combat box).
    Hex hexAt(PixelPoint window, float zoom, PixelPoint scrollOrigin) const;

    // The closed outline of the hex cursor in window pixels (first and last
    // points close the path).
    std::array<PixelPoint, 7> outline(Hex h, float zoom, PixelPoint scrollOrigin) const;

    // Scrollable size of the whole map in window pixels, and the page and
    // line steps of the scroll bars.
    PixelPoint scrollExtent(float zoom) const;
    static PixelPoint scrollPage(float zoom);
    static PixelPoint scrollLine(float zoom);

    WholeHexes wholeHexes(int windowWidth, int windowHeight, float zoom) const;

    // True when a hex must be scrolled into view before a replayed or undone
    // move is shown there. The two margins keep the hex clear of the edges;
    // the last row never counts as below the window. Scroll position, window
    // size and pitches are all taken in window pixels, so the test holds at
    // every zoom; replay and undo both use it.
    bool outsideWindow(Hex h, float zoom, PixelPoint scrollOrigin, int windowWidth,
                       int windowHeight) const;

    // The scroll position, in window pixels, that puts the hex near the
    // middle of a window holding `fit` whole hexes.
    PixelPoint centredScrollPosition(Hex h, float zoom, WholeHexes fit) const;

private:
    GridOrientation m_orientation;
    int m_columns;
    int m_rows;
};

// ---- facing ----------------------------------------------------------------

constexpr std::uint8_t kFacingShown = 0x80;   // the indicator is drawn
constexpr std::uint8_t kFacingCorner = 0x40;  // points at a corner, not a side
constexpr std::uint8_t kFacingDirections = 0x3F;

// Turns 60 degrees clockwise (right) or counter-clockwise (left). Only a unit
// whose indicator is shown turns; one without a direction gets direction 1.
std::uint8_t rotateRight(std::uint8_t facing);
std::uint8_t rotateLeft(std::uint8_t facing);

// The indicator point inside the 40 x 40 unit image for a facing byte, from
// the side or corner table; none when the byte has no direction bit.
std::optional<PixelPoint> facingPoint(std::uint8_t facing);

}  // namespace qmx
