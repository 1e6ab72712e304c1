#pragma once
// The turn check: was the game that came back changed anywhere its record
// does not show?
//
// The game I sent holds the state I left. The reply holds its own start
// state (start column, row, link, facing, step and the start hide marks),
// its record and its end state. When the reply's player reset the recorder,
// his start state is the state I sent; when he did not, it is my start state
// and his record goes on from mine, byte for byte. Replaying his record from
// his start state must give his end state. Cards have no start state: the
// card places I sent, moved as the card entries of his part of the record
// say, must give his hands, decks and discards (by count where an entry does
// not name the card).
//
// The check finds changes; it cannot find what leaves no trace in the files
// (a die rolled again, a turn played twice and sent once).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Module.h"

namespace qmx {

// One saved game as the check reads it.
struct CheckedGame {
    const GameState& state;
    std::span<const std::uint8_t> record;
};

struct TurnCheck {
    bool continued = false;  // the reply's record goes on from the sent one
    std::vector<std::string> findings;
    bool consistent() const { return findings.empty(); }
};

inline constexpr std::string_view kHiddenUnitFinding =
    "a unit hidden from you changed outside the record";
inline constexpr std::string_view kRecordPrefixFinding =
    "the reply's record does not begin with the record you sent, yet its units start where "
    "yours started";

// Checks `reply` against `sent` for the person of slot `viewer` (kObserver:
// nobody): a unit hidden from him, or whose identity is, is reported without
// its number, name or hexes.
TurnCheck checkTurn(const Module& module, const CheckedGame& sent, const CheckedGame& reply,
                    std::uint8_t viewer);

// How many units of `reply` start as `sent` left them (or as it started, where
// the reply's record goes on from the sent one): tells which of several
// saves a reply answers.
int startMatches(const CheckedGame& sent, const CheckedGame& reply);

}  // namespace qmx
