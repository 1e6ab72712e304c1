#pragma once
// Picking a stack up from a hex and putting the carried units down: the
// stacking rules of the board, on the game state only. Recording the move
// and telling the windows is the session's (player/session/PlayerSession.h).
//
// A stack is the chain from the hex's head along StackLink; its first unit is
// drawn on top. Picking up splits the chain in one pass, keeping order: the
// units the person at this machine may see are carried, the others stay. A
// drop puts the whole carried chain in front of the target's chain.

#include <cstdint>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Hex.h"

namespace qmx {

// Takes the units of `hex` that are VisibleToMe into CarriedStack and
// returns the pick-up head (the head of the stack before the split), or 0
// when nothing was carried: an empty hex, or one that holds only units
// concealed from this person, stays exactly as it was. Before the split the
// stack's links are kept in the saved links for combat mode (unless the head
// already carries the link-saved mark). Nothing must be carried already.
std::uint16_t pickUpStack(GameState& state, Hex hex);

// Puts the carried chain on top of the stack of `hex` (a map hex, or a
// combat box in combat mode). In movement mode the units take the hex as
// their position and lose the pick-up bookkeeping of the stack they came
// from (`pickupHead`) and of their own chain; in combat mode they keep both.
// CarriedStack becomes 0.
void putDownStack(GameState& state, Hex hex, bool movementMode, std::uint16_t pickupHead);

// Takes `unit` off the carried chain and puts it on top of the stack at its
// own position (the combat-mode Undo, one unit at a time). Returns its hex.
Hex returnCarriedUnit(GameState& state, int unit);

// Of the first `count` units of the stack at `hex` (the units just put down),
// takes those after the first whose start hex is not `hex` out of the stack,
// keeping their order, and makes them the carried chain: the next pass of
// the movement-mode Undo. True when any was taken.
bool carryStrangers(GameState& state, Hex hex, std::size_t count);

}  // namespace qmx
