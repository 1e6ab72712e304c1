#pragma once
// The rules that change units: stepping, flipping, facing, hiding, the
// game-wide flips and flag clearing, and committing the start positions.
// They act on a set of units given by number (a carried chain, or the units of
// a replayed move) and only change the state; recording them is the caller's.

#include <cstdint>
#include <span>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Module.h"

namespace qmx {

class UserPrompts;

using UnitList = std::span<const int>;

// The units held by the mouse, in chain order.
std::vector<int> carriedUnits(const GameState& state);

// Whether a unit's definition has a picture for step `step` (step 0 always).
bool unitStepExists(const Module& module, int unit, int step);

// "Step decrease": each unit to the next higher step number where that step
// exists (up to 5).
void stepDown(GameState& state, const Module& module, UnitList units);
// "Step Increase": each unit to the next lower step number (down to 0).
void stepUp(GameState& state, UnitList units);
// Keys 1..6: step `step` (0..5) where it exists, else the highest lower step
// above 0 that exists; a unit with neither keeps its step. Step 0 always exists.
void setStep(GameState& state, const Module& module, UnitList units, int step);

// Face up: step 1 -> 0, 3 -> 2, 5 -> 4.
void faceUp(GameState& state, UnitList units);
// Face down: step 0 -> 1, 2 -> 3, 4 -> 5, each only where the odd step exists.
void faceDown(GameState& state, const Module& module, UnitList units);

// "Facing On": the indicator is shown, pointing at direction 1 if it had none.
void facingOn(GameState& state, UnitList units);
// "Facing Off".
void facingOff(GameState& state, UnitList units);
// "Face Corner" / "Face side".
void faceCorner(GameState& state, UnitList units);
void faceSide(GameState& state, UnitList units);
// "Rotate Right" / "Rotate Left": units whose indicator is shown turn one
// direction (32 -> 1, respectively 1 -> 32); a unit without direction gets 1.
void rotateRight(GameState& state, UnitList units);
void rotateLeft(GameState& state, UnitList units);

// Hiding as a replayed entry does it, on every unit given (the commands of
// the person at the machine, with their rules of who may hide what, are in
// HideCommands.h).
void applyHide(GameState& state, UnitList units, std::uint8_t slot);
void applyHideId(GameState& state, UnitList units, std::uint8_t slot);
void applyUnhide(GameState& state, UnitList units);

// Game-wide commands are refused while units are held or in combat mode.
bool globalCommandAllowed(const GameState& state);
// Every unit face up / face down (the rules of faceUp / faceDown).
void flipAllFaceUp(GameState& state);
void flipAllFaceDown(GameState& state, const Module& module);
// "Flip All Units Face-up" / "Flip All Units Face-down": refused with
// message 22 when not allowed; true when the units were flipped.
bool flipAllUnitsFaceUp(GameState& state, UserPrompts& prompts);
bool flipAllUnitsFaceDown(GameState& state, const Module& module, UserPrompts& prompts);

// "Clear Movement Flags" / "Clear Combat Flags".
void clearMovementFlags(GameState& state);
void clearCombatFlags(GameState& state);

// The current state of every unit becomes its start state: hex, stack link,
// facing, step, who hides it and whether its identity is hidden.
void commitStartPositions(GameState& state);

}  // namespace qmx
