#pragma once
// The unit table: every unit of a module as one comma-separated text line,
// for an author's spreadsheet. Each line, ended by CR LF, sits in a slot of
// 184 bytes padded with NUL bytes; a longer line (a 36-character name with
// three-digit values) takes the room it needs and is never cut.
//
//   name, 6 x image number (001), step byte (000, -001),
//   the 6 values of step 1 (07, 255),
//   then for steps 2 to 6: Y when the step has an image, else N, and its 6 values
//
// A table reads back line by line: a line is one unit, in unit order. Fields
// end at the file's separator (a tab in a file whose first line has one,
// else a comma); the Y/N fields are read and ignored (a step is used when it
// has an image). Fields missing at the end of a line, and units after the
// last line, keep what they held.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/edit/TableFileText.h"
#include "core/module/Bytes.h"
#include "core/module/Module.h"

namespace qmx {

constexpr std::size_t kUnitTableSlotSize = 184;
constexpr std::size_t kUnitTableFieldCount =
    1 + kStepCount + 1 + kValueCount + (kStepCount - 1) * (1 + kValueCount);

// The editor's signed step byte of every unit, by unit number (entry 0
// unused). It is not part of the module file, so it is 0 after a module load
// and travels only between a table and the editor.
using UnitStepBytes = std::vector<std::int8_t>;

// One unit's line, without its line end.
std::string unitTableLine(const UnitDefinition& unit, std::int8_t stepByte);

// The whole table of units 1..unitCount. `steps` may be shorter than the
// unit count: missing step bytes are 0.
Bytes buildUnitTable(const Module& module, const UnitStepBytes& steps);

// Reads a table into units 1..unitCount of `module` and their step bytes
// (`steps` grows to unitCount + 1 if needed). Returns the number of units
// that had a line. Never touches unit 0 or anything past the unit table.
// Blank lines are passed over; so are lines that are not a unit's record
// (control characters, a field that is not a number), which `reading`
// lists. Values are brought into -99..99 (157..255 being the bytes of
// -99..-1), a step byte into -128..127; image numbers outside 0..65,024 are
// not taken.
int readUnitTable(std::span<const std::uint8_t> data, Module& module, UnitStepBytes& steps,
                  TableReading* reading = nullptr);

// Saving and loading the file: 0 for success, otherwise the editor's message
// number (4 "Could not open file!", 8 "Data File Write Error!").
int saveUnitTableFile(const std::string& path, const Module& module, const UnitStepBytes& steps);
struct TableLoad {
    int message = 0;  // 0 when the file was read
    int lines = 0;    // units or hex rows that had a line
};
TableLoad loadUnitTableFile(const std::string& path, Module& module, UnitStepBytes& steps);

}  // namespace qmx
