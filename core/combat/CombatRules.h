#pragma once
// The rules of combat on the game state: the value totals of a stack, the
// names a combat text shows, keeping and restoring the stacks around combat
// mode, the texts of a one-by-one combat, a declaration and the resolution of
// the oldest declaration, and the captions that follow the modes.

#include <array>
#include <cstdint>
#include <string>

#include "core/game/GameState.h"
#include "core/module/Module.h"

namespace qmx {

// CombatMode values.
inline constexpr std::uint16_t kOneByOne = 2;
inline constexpr std::uint16_t kPreDeclare = 3;
inline constexpr std::uint16_t kResolveDeclared = 4;

// The six totals of a stack and the number of units the viewer counts.
struct StackTotals {
    std::array<int, kValueCount> totals{};
    int count = 0;
};

// Totals of the stack beginning with `first` for the person at this machine
// (CurrentSlot): units the viewer sees are totalled by each value's total
// mode; another player's units of which only the identity is hidden are
// counted but not totalled; wholly hidden units add nothing.
StackTotals stackTotals(const GameState& state, const Module& module, int first);

// "0 units", "1 unit", "7 units".
std::string unitCountText(int count);

// The pending declarations label: empty for 0, else "3 Cmbts pending".
std::string pendingLabel(int pending);

// The name a combat text shows for a unit: its name without trailing blanks,
// or "????????" when its identity is hidden. The text goes into the record,
// where every other player reads it, so it is concealed from the writer too
// (he knows his own units), and the texts below leave wholly hidden units out.
std::string combatName(const GameState& state, const Module& module, int unit);

// The name of a hex without trailing blanks ("" outside the map).
std::string hexName(const Module& module, int column, int row);

// Entering combat mode: every stack keeps its links, so that leaving combat
// puts each unit back into the stack of its own hex as it was. Stacks kept
// already (a stack picked up just before) keep what they kept.
void prepareStacks(GameState& state);
// Leaving combat mode, and after each one-by-one combat or declaration: the
// stacks of every map hex are rebuilt from the kept links and the combat
// boxes are emptied; running it twice changes nothing more.
void restoreStacks(GameState& state);

// A one-by-one combat or a declaration (`declare`): the names of the ATTACK
// box, " vs. ", the names of the DEFEND box and " at " the hex of the last
// defender; every named unit is marked InCombat and both boxes are emptied.
// A declaration starts with "Combat Declaration:" and a line break.
std::string boxCombatText(GameState& state, const Module& module, bool declare);

// The resolution of declaration 1: the heading, its attackers " vs. " its
// defenders (in unit-number order) and " at " the hex of the last defender;
// marks them InCombat, moves every later declaration one place forward and
// lowers PendingDeclarations.
std::string resolveOldestText(GameState& state, const Module& module);

// Marks (bit 3) exactly the units of declaration 1; returns the hex of the
// last one found, or (0, 0) when none.
std::pair<int, int> markResolvedUnits(GameState& state);

// The captions of the UNDO/RELEASE and NEXT/RESOLVE buttons in a mode.
struct ButtonCaptions {
    std::string release;
    std::string next;
    bool operator==(const ButtonCaptions&) const = default;
};
ButtonCaptions buttonCaptions(GameMode mode, std::uint16_t combatMode);

}  // namespace qmx
