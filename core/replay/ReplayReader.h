#pragma once
// Reading a replay record. The record comes from another player's file, so
// nothing in it is trusted: every read is checked against the end of the
// data, a read that comes up short sets the end flag and yields nothing, and
// no list or text grows beyond the bytes the record really holds.
//
// The reader knows the units of the record (pairs, unit references, hex
// references, raw bytes); comment texts are read by Comment.h. What a pair means depends on
// where the reader stands (inside a move a plain pair is a path hex, inside a
// unit list a unit reference), which the playback and the reports decide.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/module/Hex.h"
#include "core/replay/ReplayCodes.h"

namespace qmx {

// Two bytes of the record. A pair whose first byte is 255 is a command pair.
struct ReplayPair {
    std::uint8_t first = 0;
    std::uint8_t second = 0;

    bool isCommand() const { return first == kCommandByte; }
    bool is(ReplayCode code) const { return isCommand() && second == codeByte(code); }
    bool operator==(const ReplayPair&) const = default;
};

// How a list or text of the record ended.
enum class ListEnd {
    Terminator,    // at its terminator pair, which has been read
    OtherCommand,  // at another command pair, which has been left unread
    EndOfRecord,   // the record ended first
};

struct UnitListRead {
    std::vector<int> units;  // unit numbers as written: neither checked nor deduplicated
    ListEnd end = ListEnd::EndOfRecord;
};

class ReplayReader {
public:
    explicit ReplayReader(std::span<const std::uint8_t> record) : m_data(record) {}

    std::size_t pos() const { return m_pos; }
    std::size_t size() const { return m_data.size(); }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    // Set once a read hit the end of the record (a pair cut in half included).
    bool endHit() const { return m_endHit; }

    // The next two bytes; nothing (and the end flag) when fewer than two remain.
    std::optional<ReplayPair> pair();
    // The next pair without reading it.
    std::optional<ReplayPair> peekPair() const;
    std::optional<std::uint8_t> byte();
    // `n` bytes (n small: card and dice entries); nothing if the record ends first.
    std::optional<std::vector<std::uint8_t>> bytes(std::size_t n);
    std::optional<Hex> hex();

    // Unit references up to the command pair 255, `terminator`. Another
    // command pair ends the list too and is left for the caller, so a damaged
    // list never swallows the entries after it.
    UnitListRead unitList(ReplayCode terminator);

    // The record itself and a jump inside it (after a comment, which
    // Comment.h reads from a position). A position past the end is the end.
    std::span<const std::uint8_t> data() const { return m_data; }
    void moveTo(std::size_t pos) { m_pos = pos < m_data.size() ? pos : m_data.size(); }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_endHit = false;
};

}  // namespace qmx
