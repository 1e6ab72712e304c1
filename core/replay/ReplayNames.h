#pragma once
// The names the replay and the reports write: hexes, units, player slots and
// decks. Every lookup is checked, so a number from a damaged record gives an
// empty name, never a read outside a table.

#include <string>

#include "core/game/GameState.h"
#include "core/module/Module.h"
#include "core/replay/ReplayReader.h"

namespace qmx {

// The name standing in for a unit whose identity is concealed.
inline constexpr std::string_view kConcealedName = "????????";

// A map hex: columns 1..columns, rows 1..rows.
bool isMapHex(const Module& module, Hex hex);
// The hex's `HexName` without trailing blanks; "" for a hex that is not on the map.
std::string hexName(const Module& module, Hex hex);
// The unit's `UnitName` without trailing blanks; "" for a number out of range.
std::string unitName(const Module& module, int unit);
// The player's or card location's name of a slot; "" for a byte that is no slot.
std::string slotName(const GameState& state, int slot);
// A deal's source: deck number 0..19 is a module deck, 20 + s the card
// location of slot s.
std::string dealSourceName(const Module& module, const GameState& state, int source);

// The name of a unit as the person at this machine sees it: "????????" for a
// unit whose identity another player hid (the game master included).
std::string shownUnitName(const Module& module, const GameState& state, int unit);

}  // namespace qmx
