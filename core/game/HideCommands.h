#pragma once
// "Hide Units", "Hide Unit ID" and "Unhide Units": they act on the carried
// units and only for an identified player (the commands are greyed
// otherwise). Each returns whether its replay entry is to be written; the
// caller writes any pending pick-up entry first and then the hide entry with
// the current slot.
//
// Who may hide what:
//  - "Hide Units" takes a unit that nobody hides, that the current player
//    hid, or whose identity is not hidden (a game master may take over a
//    unit another player hid whole). A unit whose identity another player
//    hid stays as it is. The units become hidden by the current player, whole.
//  - "Hide Unit ID" takes a unit that nobody hides or that the current player
//    hid, and hides its identity only.
//  - "Unhide Units" reveals the units that the current player hid.

#include "core/game/GameState.h"

namespace qmx {

// Help prompt shown by "Hide Unit ID": identity hiding only conceals well
// when the module was built for it.
inline constexpr int kHideIdHelp = 12;

// True when the hide commands act: an identified player holding units.
bool hideCommandsAvailable(const GameState& state);

// Recorded with the slot whenever the command acts.
bool hideUnits(GameState& state);
// Recorded with the slot only if some unit changed.
bool hideUnitIds(GameState& state);
// Recorded only if some unit changed.
bool unhideUnits(GameState& state);

}  // namespace qmx
