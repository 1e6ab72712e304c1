#include "core/game/HideCommands.h"

#include "core/game/PlayerIdentity.h"

namespace qmx {

bool hideCommandsAvailable(const GameState& state) {
    return isIdentified(state) && state.holdingUnits();
}

bool hideUnits(GameState& state) {
    if (!hideCommandsAvailable(state)) return false;
    const std::uint8_t me = state.currentSlot;
    for (const int u : state.chain(state.carriedStack)) {
        UnitState& s = state.unit(u);
        const std::uint8_t by = s.hiddenBy();
        if (by == kNotHidden || by == me || !s.has(UnitFlags::kIdHidden)) {
            s.setHiddenBy(me);
            s.clear(UnitFlags::kIdHidden);
        }
    }
    return true;
}

bool hideUnitIds(GameState& state) {
    if (!hideCommandsAvailable(state)) return false;
    const std::uint8_t me = state.currentSlot;
    bool changed = false;
    for (const int u : state.chain(state.carriedStack)) {
        UnitState& s = state.unit(u);
        const std::uint8_t by = s.hiddenBy();
        if (by != kNotHidden && by != me) continue;
        if (by != me || !s.has(UnitFlags::kIdHidden)) changed = true;
        s.setHiddenBy(me);
        s.set(UnitFlags::kIdHidden);
    }
    return changed;
}

bool unhideUnits(GameState& state) {
    if (!hideCommandsAvailable(state)) return false;
    const std::uint8_t me = state.currentSlot;
    bool changed = false;
    for (const int u : state.chain(state.carriedStack)) {
        UnitState& s = state.unit(u);
        if (s.hiddenBy() != me) continue;
        s.setHiddenBy(kNotHidden);
        s.clear(UnitFlags::kIdHidden);
        changed = true;
    }
    return changed;
}

}  // namespace qmx
