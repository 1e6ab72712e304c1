#pragma once
// The text of a report as the "ASCII Output" commands write it.
//
// Every line is built in a line buffer and written followed by CR, LF and a
// space, so each line of the file after the first starts with one space. A
// blank line is CR, LF alone. Lists of names wrap: before a name is added,
// when the line plus the name plus 2 would pass 75 characters, the line is
// written and a new empty one begun; names are separated by ", " and the last
// separator is dropped before a line is written.
//
// The line buffer holds 77 characters. A few lines can be longer (a 36-byte
// unit name with its step, facing and a 32-byte hex name; a dealer, deck and
// receiver of full length): such a line is written whole rather than cut, so
// no name is lost.

#include <cstddef>
#include <string>
#include <string_view>

namespace qmx {

class ReportText {
public:
    static constexpr std::size_t kLineBuffer = 77;
    static constexpr std::size_t kWrapWidth = 75;
    static constexpr std::string_view kLineEnd = "\r\n ";
    static constexpr std::string_view kBlankLine = "\r\n";
    static constexpr std::string_view kSeparator = ", ";

    // A whole line: the text and the line terminator.
    void line(std::string_view text);
    void blankLine() { m_out += kBlankLine; }
    // Bytes as they are, without a terminator.
    void raw(std::string_view bytes) { m_out += bytes; }

    // A wrapped list whose first line starts with `start` (" " for the units
    // of a move, "Via: " for the hexes passed).
    void beginList(std::string_view start);
    void addToList(std::string_view name);
    // Writes the list's last line.
    void endList();

    const std::string& text() const { return m_out; }
    std::string take() { return std::move(m_out); }

private:
    void writeListLine();

    std::string m_out;
    std::string m_list;
    int m_listNames = 0;
};

}  // namespace qmx
