#pragma once
// Reading the text tables that authors exchange with spreadsheets, line by
// line. A line ends at CR LF, a lone CR or a lone LF; NUL bytes (the padding
// of the editor's fixed slots) are never part of a field, and a line of
// nothing but NULs is padding, not a line. Fields end at a separator or at
// the line end; a separator right before the line end adds no field.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/module/Bytes.h"

namespace qmx {

class TableLines {
public:
    explicit TableLines(std::span<const std::uint8_t> data) : m_data(data) {}

    // The next line without its line end; false at the end of the data.
    bool next(std::string_view& line);

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

// The fields of one line, NUL bytes removed, each cut to `maxField`
// characters. At most `maxFields` fields are returned; the rest of the line
// is not looked at.
std::vector<std::string> splitTableFields(std::string_view line, std::string_view separators,
                                          std::size_t maxFields, std::size_t maxField);

// A text as a field of a line: as it stands, unless it holds one of the
// separators or begins with a double quote; then it is written in double
// quotes with each quote doubled, as spreadsheets do, so that it reads back
// whole. Control characters other than a tab (CR and LF would end the
// line) become blanks.
std::string tableTextField(std::string_view text, std::string_view separators);

// A field read as a decimal integer: leading blanks, an optional sign and
// the digits that follow; anything else ends the number. No digits read as
// 0; numbers beyond the range of int stop growing at its limits.
long long tableNumber(std::string_view field);

// True when the line holds nothing but blanks and NUL bytes: a blank line
// of a spreadsheet is no record and takes no unit's or row's place.
bool isBlankTableLine(std::string_view line);
// True when the line holds a control character other than a tab: the line
// of a damaged or foreign file, never a record.
bool hasControlCharacter(std::string_view line);
// The one separator of a file made by a spreadsheet: a tab when its first
// line that is not blank holds one outside double quotes, otherwise a comma
// (so that a comma in a name of a tab-separated table stays in the name).
char tableSeparator(std::span<const std::uint8_t> data);

// What a table load found besides its records.
struct TableReading {
    int records = 0;                  // lines read into units or rows
    int notRecords = 0;               // lines passed over
    std::vector<int> notRecordLines;  // their line numbers, the first ten
    int clamped = 0;                  // values brought into the editor's range
    int refusedImages = 0;            // image numbers outside 0..65,024, not taken
    void passOver(int lineNumber) {
        ++notRecords;
        if (notRecordLines.size() < 10) notRecordLines.push_back(lineNumber);
    }
};
// The one message after a load: "45 units read from the table." and what was
// passed over or changed; `units` false for a name table ("rows").
std::string tableReadingText(const TableReading& reading, bool units);

// The file dialogs' filter of both tables.
inline constexpr std::string_view kTableFileFilter = "Text files(*.txt)";

// The name a table is saved under: the chosen name with ".txt" forced (the
// fourth character from the end a point: the last three become "txt";
// otherwise ".txt" is appended). The overwrite question is asked about this
// name, so that the file replaced is the one the author was asked about.
std::string tableSaveName(const std::string& chosen);

// Saving a table: where the bytes go and what the editor shows when they
// cannot. Returns 0 for success or the editor's message number: 4 "Could not
// open file!" when the file cannot be created, 8 "Data File Write Error!"
// when writing it fails. An existing file is replaced only by a complete new one.
int writeTableFile(const std::string& path, std::span<const std::uint8_t> bytes);

// Reading a table file whole; nothing when it cannot be opened (message 4).
// Larger files than any table of the largest module are refused too.
std::optional<Bytes> readTableFile(const std::string& path);

}  // namespace qmx
