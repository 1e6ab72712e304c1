#include "core/module/Module.h"

#include <cstdio>

#include "core/module/UnitImageSheet.h"

namespace qmx {

std::string defaultHexName(int column, int row) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d%02d", column, row);
    return buf;
}

void Module::allocateTables() {
    hexes.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows + 1),
                 HexRecord{});
    units.assign(static_cast<std::size_t>(unitCount) + 1, UnitDefinition{});
}

Module Module::createEmpty(int columns, int rows, GridOrientation orientation, int unitCount) {
    Module m;
    m.columns = columns;
    m.rows = rows;
    m.orientation = orientation;
    m.unitCount = unitCount < kMinUnits ? kMinUnits : unitCount;
    m.allocateTables();
    for (int r = 1; r <= rows + 1; ++r)
        for (int c = 1; c <= columns; ++c) m.hex(c, r).name = defaultHexName(c, r);
    for (int u = 1; u <= m.unitCount; ++u) m.units[u].stepImage[0] = 1;
    const PixelPoint map = blankMapSize(columns, rows, orientation);
    const SheetSize sheet = sizeSheet(0, map.x);
    m.imageRows = static_cast<std::uint8_t>(sheet.imageRows);
    m.imagesPerRow = static_cast<std::uint8_t>(sheet.imagesPerRow);
    m.mapTop = static_cast<std::uint16_t>(sheet.height + 1);
    const auto [w, h] = overviewSizeFor(columns, rows);
    m.overviewWidth = static_cast<std::uint8_t>(w);
    m.overviewHeight = static_cast<std::uint8_t>(h);
    return m;
}

TotalMode nextTotalMode(TotalMode mode) {
    switch (mode) {
        case TotalMode::Lowest:
            return TotalMode::Highest;
        case TotalMode::Highest:
            return TotalMode::Total;
        default:
            return TotalMode::Lowest;
    }
}

void Module::setTotalMode(int value, TotalMode mode) {
    const int shift = 2 * value;
    valueTotalModes = static_cast<std::uint16_t>((valueTotalModes & ~(3u << shift)) |
                                                 (static_cast<unsigned>(mode) << shift));
}

std::pair<int, int> Module::overviewSizeFor(int columns, int rows) {
    if (columns <= 0 || rows <= 0) return {0, 0};
    // columns/rows >= 144/99, compared without division
    if (columns * 99 >= rows * 144) return {144, rows * 144 / columns};
    return {columns * 99 / rows, 99};
}

}  // namespace qmx
