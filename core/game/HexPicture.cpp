#include "core/game/HexPicture.h"

#include <algorithm>
#include <cmath>

#include "core/game/Visibility.h"

namespace qmx {

namespace {

bool isCandidate(const GameState& state, const UnitState& unit, bool combatHighlight) {
    if (combatHighlight) return unit.has(UnitFlags::kVisitMark);
    return visibleToMe(state, unit);
}

int floorDiv(double value, int divisor) {
    return static_cast<int>(std::floor(value / divisor));
}

}  // namespace

HexPicture hexPicture(const GameState& state, Hex hex, bool combatHighlight) {
    HexPicture picture;
    int u = state.stackHead(hex.column, hex.row);
    // A sound chain is never longer than the unit count; a damaged one stops there.
    for (int walked = 0; state.isUnit(u) && walked < state.unitCount(); ++walked) {
        const UnitState& unit = state.unit(u);
        if (isCandidate(state, unit, combatHighlight)) {
            if (picture.unit != 0) {
                picture.stackMarker = true;
                break;
            }
            picture.unit = u;
        }
        u = unit.stackLink;
    }
    return picture;
}

int shownStep(const Module& module, const GameState& state, int unit) {
    if (!state.isUnit(unit)) return 0;
    const UnitState& u = state.unit(unit);
    if (identityConcealedFromMe(state, u)) return 0;
    if (static_cast<std::size_t>(unit) >= module.units.size()) return 0;
    const UnitDefinition& def = module.units[static_cast<std::size_t>(unit)];
    int step = std::min<int>(u.step, kStepCount - 1);
    while (step > 0 && !def.stepExists(step)) --step;
    return step;
}

int shownImage(const Module& module, const GameState& state, int unit) {
    if (!state.isUnit(unit) || static_cast<std::size_t>(unit) >= module.units.size()) return 0;
    const int step = shownStep(module, state, unit);
    return module.units[static_cast<std::size_t>(unit)].stepImage[static_cast<std::size_t>(step)];
}

UnitLayout unitLayout(PixelPoint pos, float zoom, std::uint8_t facing) {
    UnitLayout layout;
    const int m0 = zoomed(2, zoom);
    const int m1 = zoomed(43, zoom);
    layout.marker = {pos.x + m0, pos.y + m0, m1 - m0, m1 - m0};
    layout.image = {pos.x, pos.y, zoomed(kUnitImageSize, zoom), zoomed(kUnitImageSize, zoom)};
    if (facing & kFacingShown) {
        if (const auto d = facingPoint(facing)) {
            layout.facingDot =
                PixelPoint{pos.x + zoomed(d->x, zoom) - 2, pos.y + zoomed(d->y, zoom) - 2};
        }
    }
    layout.centre = {pos.x + zoomed(20, zoom), pos.y + zoomed(20, zoom)};
    return layout;
}

PixelRect unitPictureArea(PixelPoint pos, float zoom) {
    const int size = zoomed(43, zoom) + 8;
    return {pos.x - 4, pos.y - 4, size, size};
}

CellBox cellBox(const HexGeometry& geometry, Hex hex, float zoom, PixelPoint scrollOrigin) {
    const PixelPoint o = geometry.cellOrigin(hex);
    const PixelPoint corner{o.x - 1, o.y - 1};
    const PixelPoint w = HexGeometry::mapToWindow(corner, zoom, scrollOrigin);
    const int size = zoomed(kHexCellSize, zoom);
    return {{corner.x, corner.y, kHexCellSize, kHexCellSize}, {w.x, w.y, size, size}};
}

int cursorPenWidth(float zoom) {
    return std::max(zoomed(2, zoom), 1);
}

PixelRect cursorArea(const HexGeometry& geometry, Hex hex, float zoom, PixelPoint scrollOrigin) {
    const auto points = geometry.outline(hex, zoom, scrollOrigin);
    int left = points[0].x, right = points[0].x, top = points[0].y, bottom = points[0].y;
    for (const PixelPoint& p : points) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const int pen = cursorPenWidth(zoom) + 1;
    return {left - pen, top - pen, right - left + 2 * pen + 1, bottom - top + 2 * pen + 1};
}

HexRange hexesTouching(const HexGeometry& geometry, PixelRect area, float zoom,
                       PixelPoint scrollOrigin) {
    HexRange range;
    if (area.width <= 0 || area.height <= 0 || zoom <= 0) return range;
    const double z = zoom;
    // The area in map pixels, widened by a pixel for truncation.
    const double left = scrollOrigin.x + area.x / z - 1;
    const double right = scrollOrigin.x + (area.x + area.width) / z + 1;
    const double top = scrollOrigin.y + area.y / z - 1;
    const double bottom = scrollOrigin.y + (area.y + area.height) / z + 1;
    // A unit picture starts at most 25 + 6 map pixels into its hex's pitch
    // and reaches 43 pixels further, plus the facing pen (at most 8 map pixels
    // at the smallest zoom); it starts at most 8 pixels before its pitch.
    constexpr int kReachBefore = 25 + 6 + 43 + 10;
    constexpr int kReachAfter = 10;
    const int px = geometry.horizontalPitch();
    const int py = geometry.verticalPitch();
    range.firstColumn = std::max(floorDiv(left - kReachBefore, px) + 1, 1);
    range.lastColumn = std::min(floorDiv(right + kReachAfter, px) + 1, geometry.columns());
    range.firstRow = std::max(floorDiv(top - kReachBefore, py) + 1, 1);
    range.lastRow = std::min(floorDiv(bottom + kReachAfter, py) + 1, geometry.rows());
    return range;
}

}  // namespace qmx
