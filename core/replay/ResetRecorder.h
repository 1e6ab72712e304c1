#pragma once
// "Reset Recorder" ("Erases the replay and resets the Replay Recorder to
// zero"): the record so far is deleted and the state of every unit becomes
// its start state, so that the next entry begins a new record.

#include "core/game/GameState.h"
#include "core/game/UserPrompts.h"
#include "core/replay/ReplayFile.h"

namespace qmx {

enum class ResetOutcome { Refused, Declined, Reset };

inline constexpr std::string_view kResetQuestion =
    "This will erase the playback record up to this point. Are you sure you want to do this?";

// Refused with message 22 while units are carried or the mode is combat, and
// while a replay plays (the units then stand where the replay put them, not
// where the game has them). Otherwise asks kResetQuestion ("WARNING", Yes/No);
// on Yes deletes the record and commits the start positions.
ResetOutcome resetRecorder(GameState& state, ReplayFile& file, UserPrompts& prompts,
                           bool replayActive);

}  // namespace qmx
