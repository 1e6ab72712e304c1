#pragma once
// A hex of the map: column and row, both counted from 1. (0, 0) is "no hex";
// the combat boxes are the pseudo-hexes of row rows + 1. The one hex type of
// the core, the windows and the tools.

#include <array>
#include <cstddef>
#include <functional>
#include <ostream>

#include "core/module/Module.h"

namespace qmx {

struct Hex {
    int column = 0;
    int row = 0;

    bool isNone() const { return column == 0 && row == 0; }
    bool onMap(int columns, int rows) const {
        return column >= 1 && column <= columns && row >= 1 && row <= rows;
    }
    bool onMap(const Module& module) const { return onMap(module.columns, module.rows); }
    bool operator==(const Hex&) const = default;
};

// The six hexes around `h`, on the map or not, in a fixed order: the two
// along the aligned direction, then the four of the neighbouring ranks. Odd
// rows (rows aligned) or odd columns (columns aligned) stand half a hex
// further right, respectively further down.
inline std::array<Hex, 6> neighbours(Hex h, GridOrientation orientation) {
    const int c = h.column;
    const int r = h.row;
    if (orientation == GridOrientation::RowsAligned) {
        if (r % 2 != 0)
            return {
                {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c + 1, r - 1}, {c, r + 1}, {c + 1, r + 1}}};
        return {{{c - 1, r}, {c + 1, r}, {c - 1, r - 1}, {c, r - 1}, {c - 1, r + 1}, {c, r + 1}}};
    }
    if (c % 2 != 0)
        return {{{c, r - 1}, {c, r + 1}, {c - 1, r}, {c - 1, r + 1}, {c + 1, r}, {c + 1, r + 1}}};
    return {{{c, r - 1}, {c, r + 1}, {c - 1, r - 1}, {c - 1, r}, {c + 1, r - 1}, {c + 1, r}}};
}

// Printed as "(column, row)", also in test failures.
inline std::ostream& operator<<(std::ostream& out, Hex h) {
    return out << '(' << h.column << ", " << h.row << ')';
}

}  // namespace qmx

template <>
struct std::hash<qmx::Hex> {
    std::size_t operator()(qmx::Hex h) const noexcept {
        return std::hash<int>()(h.column * 65536 + h.row);
    }
};
