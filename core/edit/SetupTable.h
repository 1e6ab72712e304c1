#pragma once
// A setup game from a spreadsheet table: one line per unit placed, saying
// which unit goes to which hex and, optionally, in which state.
//
// Columns, in this order unless a header line names them:
//
//   unit, hex, step, face, facing, hidden-by
//
// A first line whose fields include "unit" and "hex" (any case) is a header:
// it gives the order of the columns, and columns of other names (a note for
// the designer) are passed over. Fields are separated by tabs when the first
// line holds a tab outside double quotes, by semicolons when it holds a
// semicolon and no comma outside quotes, otherwise by commas; texts may be in
// double quotes with doubled quotes inside, as spreadsheets and Python's csv
// module write them. A UTF-8 byte order mark before the first line is passed
// over.
//
//   unit       a unit number (1 to the unit count; "#12" too), or a unit's
//              name. Where several units share a name, each line naming it
//              takes the next unit of that name not yet placed, in number
//              order. A unit already placed is reported; the first line
//              that placed it stands.
//   hex        a hex name as the module names it; failing that, "C,R"
//              (column, row). A name that several hexes carry places the
//              unit at the first of them (row by row) and is reported once.
//   step       1 to 6, a step the unit has; empty: step 1.
//   face       "up" or "down": the face of the counter (down turns step 1
//              into 2, 3 into 4, 5 into 6 where that step exists).
//   facing     1 to 6: the facing indicator shown, pointing at that side;
//              "c1" to "c6" (or "corner 1"): at that corner. Empty: none.
//   hidden-by  1 to 8: the player position hiding the unit; "3 id": its
//              identity only. Empty: not hidden.
//
// The lines of one hex form its stack in table order: the first is on top.
// A value that is out of range is reported and the unit is placed with the
// default for that column; a line that names no unit or no hex places
// nothing. Units that no line places stay on hex 1,1 under the units placed
// there, as in a new game. The players are left undefined, so the player
// program asks for them when the setup is first loaded.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Module.h"

namespace qmx {

struct SetupTableResult {
    int placed = 0;          // units placed by a line
    int hexes = 0;           // hexes that received them
    int leftOnFirstHex = 0;  // units no line placed: on hex 1,1
    int refusedLines = 0;    // lines that placed nothing
    // "line 12: no unit named "Tigre"", in line order, then the summary notes.
    std::vector<std::string> report;
};

// Places the units of `state` (which must belong to `module`) as the table
// says, with their start state the same, no players and nothing carried.
SetupTableResult placeUnitsFromTable(std::span<const std::uint8_t> table, const Module& module,
                                     GameState& state);

// "300 units placed on 120 hexes; 2 lines placed nothing; 4 units ..."
std::string setupSummary(const SetupTableResult& result);

}  // namespace qmx
