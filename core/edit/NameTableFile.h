#pragma once
// The map name table: the names of all hexes as comma-separated text, one
// line per hex row 1..rows, each name followed by a comma, each line ended by
// CR LF. The text fills the start of a block of columns x rows x 40 bytes;
// the rest of the block is NUL bytes.
//
// A table reads back line by line: line r holds the names of row r, columns
// 1..columns. A name ends at a comma, a tab, a vertical bar or the line end;
// at most 33 characters are kept. Names missing at the end of a line, and
// rows after the last line, become empty.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "core/edit/UnitTableFile.h"
#include "core/module/Bytes.h"
#include "core/module/Module.h"

namespace qmx {

constexpr std::size_t kNameTableBytesPerHex = 40;
constexpr std::size_t kNameTableFieldSize = 33;

// Called with each row number as the row is built or read; the editor shows
// "Row " and the number in its hex-name field.
using RowProgress = std::function<void(int row)>;

// "Row 12": the progress text of a row.
std::string rowProgressText(int row);

Bytes buildNameTable(const Module& module, const RowProgress& progress = {});

// Reads a table into the names of rows 1..rows, columns 1..columns; every
// name of those rows is set, empty where the table has none. Returns the
// number of rows that had a line.
int readNameTable(std::span<const std::uint8_t> data, Module& module,
                  const RowProgress& progress = {}, TableReading* reading = nullptr);

// As for the unit table: 0 or the editor's message number.
int saveNameTableFile(const std::string& path, const Module& module,
                      const RowProgress& progress = {});
TableLoad loadNameTableFile(const std::string& path, Module& module,
                            const RowProgress& progress = {});

}  // namespace qmx
