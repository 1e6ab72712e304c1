#pragma once
// Who may see a unit. One test decides what the board draws, what the person
// at this machine may pick up and what a replay shows: `visibleToMe`.

#include "core/game/GameState.h"

namespace qmx {

// The person at this machine is the game master: CurrentSlot is a slot of
// kind GameMaster (an observer never is).
inline bool isGameMasterHere(const GameState& state) {
    return state.isGameMaster(state.currentSlot);
}

// A unit is shown to, and may be picked up by, the person at this machine when
// nobody hides it, this person hid it, only its identity is hidden, or this
// person is the game master.
inline bool visibleToMe(const GameState& state, const UnitState& unit) {
    const std::uint8_t by = unit.hiddenBy();
    return by == kNotHidden || by == state.currentSlot || unit.has(UnitFlags::kIdHidden) ||
           isGameMasterHere(state);
}

// A unit whose identity another player hid shows the picture of its step 0,
// so that neither its identity nor its step shows; this holds for the game
// master too.
inline bool identityConcealedFromMe(const GameState& state, const UnitState& unit) {
    const std::uint8_t by = unit.hiddenBy();
    return unit.has(UnitFlags::kIdHidden) && by != kNotHidden && by != state.currentSlot;
}

}  // namespace qmx
