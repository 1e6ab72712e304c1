// The map name table reader on arbitrary bytes: it names only the hexes of
// the map, each with at most 33 characters, leaves the combat boxes' row
// alone, and what it read, written out again, reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/edit/NameTableFile.h"

using namespace qmx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Module blank = [] {
        Module m = Module::createEmpty(5, 4, GridOrientation::ColumnsAligned, 33);
        for (int c = 1; c <= 5; ++c) m.hex(c, 5).name = "box";
        return m;
    }();
    Module m = blank;
    int rowsSeen = 0;
    const int lines = readNameTable(std::span(data, size), m, [&](int row) {
        if (row != ++rowsSeen) std::abort();
    });
    if (lines < 0 || lines > m.rows || rowsSeen != m.rows) std::abort();
    if (m.hexes.size() != blank.hexes.size()) std::abort();
    for (int c = 1; c <= m.columns; ++c)
        if (m.hex(c, m.rows + 1).name != "box") std::abort();
    for (const HexRecord& h : m.hexes)
        if (h.name.size() > kNameTableFieldSize) std::abort();

    Module again = blank;
    const Bytes table = buildNameTable(m);
    if (table.size() < static_cast<std::size_t>(m.columns * m.rows) * kNameTableBytesPerHex)
        std::abort();
    if (readNameTable(table, again) != m.rows) std::abort();
    for (std::size_t i = 0; i < m.hexes.size(); ++i)
        if (m.hexes[i].name != again.hexes[i].name) std::abort();
    return 0;
}
