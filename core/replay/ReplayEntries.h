#pragma once
// The byte form of every replay record entry. Each function returns one whole
// entry, ready to be appended to the record.
//
//   command pair     255, code
//   argument pair    value, 0        (a slot or a step)
//   unit reference   u / 255, u % 255 (no byte is ever 255)
//   hex reference    column, row     (a path hex: no command pair)

#include <cstdint>
#include <span>
#include <string_view>

#include "core/module/Bytes.h"
#include "core/replay/ReplayCodes.h"

namespace qmx {

// Appends the two bytes of unit number `unit` (1..65,024).
void appendUnitReference(Bytes& out, int unit);

// 255, code: the entries without arguments (219, 220, 222, 225 to 230, 243 to
// 246, 248, 253).
Bytes commandEntry(ReplayCode code);
// 255, code, argument, 0: hide ID (221), hide (223) and set step (224).
Bytes argumentEntry(ReplayCode code, int argument);
// column, row: a hex the carried stack passes through.
Bytes pathEntry(int column, int row);

// 255, 241, the carried units in chain order, 255, 247, the origin hex, the
// first path hex.
Bytes moveStartEntry(std::span<const int> units, int originColumn, int originRow, int firstColumn,
                     int firstRow);
// 255, 239, the units of the combat, 255, 249.
Bytes combatEntry(std::span<const int> units);

// 255, 238, dice, sides: the head of a result, followed by its comment.
Bytes resultHead(int dice, int sides);
// The head and a plain comment with the result text.
Bytes resultEntry(int dice, int sides, std::string_view text);

// Card entries; the two card bytes are passed through as the card dialogs hold them.
Bytes cardShownAndReturnedEntry(std::uint8_t card0, std::uint8_t card1, int slot);
Bytes cardReturnedEntry(int slot);
Bytes cardPlacedEntry(int locationSlot, int slot);
Bytes cardDiscardedEntry(int slot);
Bytes cardGivenEntry(std::uint8_t card0, std::uint8_t card1, int receivingSlot, int givingSlot);
Bytes cardShownEntry(std::uint8_t card0, std::uint8_t card1, int slot);
// `deck` below 20 is a module deck; 20 + s the card location in slot s.
Bytes cardDealtEntry(int deck, int receivingSlot, int dealingSlot);

}  // namespace qmx
