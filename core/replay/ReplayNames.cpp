#include "core/replay/ReplayNames.h"

#include "core/game/Visibility.h"
#include "core/module/Bytes.h"

namespace qmx {

bool isMapHex(const Module& module, Hex hex) {
    return hex.column >= 1 && hex.column <= module.columns && hex.row >= 1 &&
           hex.row <= module.rows;
}

std::string hexName(const Module& module, Hex hex) {
    if (!isMapHex(module, hex)) return {};
    const std::size_t index = module.hexIndex(hex.column, hex.row);
    if (index >= module.hexes.size()) return {};
    return trimRight(module.hexes[index].name);
}

std::string unitName(const Module& module, int unit) {
    if (unit < 1 || unit > module.unitCount ||
        static_cast<std::size_t>(unit) >= module.units.size())
        return {};
    return trimRight(module.units[static_cast<std::size_t>(unit)].name);
}

std::string slotName(const GameState& state, int slot) {
    if (!state.isValidSlot(slot)) return {};
    return state.players[static_cast<std::size_t>(slot)].name;
}

std::string dealSourceName(const Module& module, const GameState& state, int source) {
    if (source >= 0 && source < kDeckCount)
        return module.decks[static_cast<std::size_t>(source + 1)].name;
    return slotName(state, source - kDeckCount);
}

std::string shownUnitName(const Module& module, const GameState& state, int unit) {
    if (!state.isUnit(unit)) return {};
    if (identityConcealedFromMe(state, state.unit(unit))) return std::string(kConcealedName);
    return unitName(module, unit);
}

}  // namespace qmx
