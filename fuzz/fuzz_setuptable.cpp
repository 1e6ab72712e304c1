// The setup table reader on arbitrary bytes: whatever the table says, the
// units it places form stacks that need no repair, and its counts stay within
// the module.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/edit/SetupTable.h"
#include "core/game/StackRepair.h"

using namespace qmx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Module module = [] {
        Module m = Module::createEmpty(6, 5, GridOrientation::RowsAligned, 40);
        m.units[1].name = "Guards";
        m.units[2].name = "Guards";
        m.units[3].stepImage = {1, 2, 3, 0, 0, 0};
        m.hex(2, 2).name = "Town";
        m.hex(4, 3).name = "Town";
        return m;
    }();
    GameState state(module);
    const SetupTableResult r = placeUnitsFromTable(std::span(data, size), module, state);
    if (r.placed < 0 || r.placed > module.unitCount ||
        r.placed + r.leftOnFirstHex > module.unitCount)
        std::abort();
    if (r.hexes > r.placed) std::abort();
    GameState repaired = state;
    if (repairStacks(repaired).stackingError) std::abort();
    return 0;
}
