#pragma once
// What the board shows on a hex and where each piece of it goes: which unit
// of the stack is drawn, whether the stack marker is due, which unit image it
// shows, and the window rectangles of marker, image and facing indicator.
// The board view only paints what these functions decide.

#include <cstdint>
#include <optional>

#include "core/game/GameState.h"
#include "core/map/HexGeometry.h"
#include "core/module/Module.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

// The carried stack's picture stands this far right of and below the pointer.
constexpr PixelPoint kCarriedPictureOffset{12, 25};

struct HexPicture {
    int unit = 0;              // the unit drawn on the hex, 0 = bare map
    bool stackMarker = false;  // a second unit of the stack may be seen too

    bool operator==(const HexPicture&) const = default;
};

// Walks the stack from its head in chain order. The first unit the person at
// this machine may see is drawn; a second one brings the stack marker. While
// a replayed combat is shown (`combatHighlight`), the units marked as taking
// part in it (bit 3 of UnitFlags) are the ones drawn instead.
HexPicture hexPicture(const GameState& state, Hex hex, bool combatHighlight);

// The step whose picture a unit shows: its own step, or the highest existing
// step below it when the module has no picture for it, or step 0 when another
// player hid its identity.
int shownStep(const Module& module, const GameState& state, int unit);
// The unit image number (1-based) of that step; 0 when the unit has none.
int shownImage(const Module& module, const GameState& state, int unit);

// Window rectangles of one unit drawn with its image's top-left at `pos`.
struct UnitLayout {
    PixelRect marker;                     // the stack marker, 2 pixels behind and 3 beyond
    PixelRect image;                      // the 40 x 40 unit image, zoomed
    std::optional<PixelPoint> facingDot;  // where the facing dot goes, if shown
    PixelPoint centre;                    // the other end of the facing line
};
UnitLayout unitLayout(PixelPoint pos, float zoom, std::uint8_t facing);

// Everything a hex's unit picture may touch (marker, image, facing dot with
// its pen), for redrawing just that hex.
PixelRect unitPictureArea(PixelPoint pos, float zoom);

// The 60 x 60 map cell of a hex, starting one pixel above and left of its
// cell origin: `source` in map pixels, `target` in the window.
struct CellBox {
    PixelRect source;
    PixelRect target;
};
CellBox cellBox(const HexGeometry& geometry, Hex hex, float zoom, PixelPoint scrollOrigin);

// Bounds of the hex cursor outline including its pen of trunc(2z) pixels.
PixelRect cursorArea(const HexGeometry& geometry, Hex hex, float zoom, PixelPoint scrollOrigin);
int cursorPenWidth(float zoom);

// The map hexes whose unit pictures may reach into the window rectangle
// `area`, as inclusive column and row ranges; empty when first > last.
struct HexRange {
    int firstColumn = 1;
    int lastColumn = 0;
    int firstRow = 1;
    int lastRow = 0;
    bool empty() const { return firstColumn > lastColumn || firstRow > lastRow; }
};
HexRange hexesTouching(const HexGeometry& geometry, PixelRect area, float zoom,
                       PixelPoint scrollOrigin);

}  // namespace qmx
