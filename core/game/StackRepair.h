#pragma once
// Stack repair after a saved game is loaded: rebuilds every hex's stack head
// and cuts or mends the stack links of a state that may come from a damaged
// or foreign file, so that afterwards every unit on a hex is in exactly one
// chain, the chain of that hex, and the start stacks are loop-free.
//
// The outcome is that of the plain procedure, step by step:
//  1. clear every hex's stack head;
//  2. every unit: saved link 0, head mark on, visit mark and link-saved mark off;
//  3. a unit that another unit's StackLink names loses its head mark;
//  4. links beyond the unit count are cut, and every loop is cut at the link
//     that leads back to its lowest-numbered unit;
//  5. head-marked units in number order become the head of their hex if it
//     has none, and lose the mark otherwise;
//  6. every unit in number order: if its hex has no head it becomes the head;
//     otherwise the chain from the head is walked, marking each unit, until
//     the unit is reached; if the chain ends first, a stacking error has
//     occurred and every unmarked unit of the hex is appended, in number order;
//  7. each head's chain is walked and cut where it reaches a marked unit or a
//     unit of another hex; a unit on no hex keeps no link;
//  7b. a unit of a hex that is in no chain after step 7 (the plain procedure
//     loses it) is appended to its hex's chain, and counts as a stacking error;
//  8. the start stacks: links beyond the unit count are cut; units that no
//     other unit's StartStackLink names are walked, cutting where the next
//     unit was already reached or has another start hex; then every unit not
//     yet reached is walked the same way, which cuts start loops.
//
// The position of a unit for this purpose: column capped at the column count,
// row above rows + 1 taken as the last row; column or row 0 is no hex.
//
// This implementation runs in time linear in units and hexes (with a
// logarithmic factor only for a rare kind of damage: a unit reached by the
// walk of another hex's chain before its own); the plain procedure is
// quadratic in the size of a stack.

#include <string_view>

#include "core/game/GameState.h"

namespace qmx {

inline constexpr std::string_view kStackingErrorText =
    "A stacking error was detected and corrected. Your stacking order may have changed.";

struct StackRepairResult {
    // Units had to be appended to a chain: the person is told with kStackingErrorText.
    bool stackingError = false;
};

StackRepairResult repairStacks(GameState& state);

// The hex-table index under which stack repair files a unit, or -1 for no hex.
int stackRepairHexIndex(const GameState& state, const UnitState& unit);

}  // namespace qmx
