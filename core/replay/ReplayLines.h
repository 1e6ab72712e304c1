#pragma once
// One line of text for a played replay entry, as the person replaying reads
// it: "move: Unit 3, Unit 4 leave 0202", "  step: 0202 -> 0302", "drop: ...",
// "comment:". Names are those the person may see at that moment of the
// replay; a hidden move is "hidden". The bytes of names are kept as they are.
// `qmxtool replay` prints these lines, the player's "Replay" list shows them.

#include <cstdint>
#include <string>

#include "core/game/GameState.h"
#include "core/module/Module.h"
#include "core/replay/ReplayEvent.h"

namespace qmx {

// The line of `event`; the state is the game as the entry left it. Empty
// for the events that are no entry (a refused or impossible start).
std::string replayEventLine(const ReplayEvent& event, const Module& module, const GameState& state);

// "step decrease", "rotate left", ... for a unit command code;
// kOtherCommandName for any other code.
inline constexpr const char* kOtherCommandName = "command";
const char* unitCommandName(std::uint8_t code);

}  // namespace qmx
