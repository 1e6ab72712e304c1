#pragma once
// The writer of the replay record. Every action that changes the game
// appends its entry here at the moment it happens, in the order of the
// actions. Nothing is written while a replay plays. Every entry written
// clears MoveSaved. A file that cannot be opened loses the entry with
// message 4; a short write loses it with message 8 (the record is taken
// back to its former length); the action itself always stands.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/module/Bytes.h"
#include "core/replay/ReplayCodes.h"

namespace qmx {

class GameState;
class Random;
class ReplayFile;
class UserPrompts;

class ReplayRecorder {
public:
    ReplayRecorder(ReplayFile& file, GameState& state, UserPrompts& prompts)
        : m_file(file), m_state(state), m_prompts(prompts) {}

    // Set by playback while it runs.
    void setPlaying(bool playing) { m_playing = playing; }
    bool playing() const { return m_playing; }
    // How many appends have reached the file so far.
    std::uint64_t written() const { return m_written; }
    // Whether the last append found the file impossible to open (message 4).
    bool lastOpenFailed() const { return m_lastOpenFailed; }

    // Appends one or more whole entries. False when nothing was written
    // (playing, or a failure already reported).
    bool append(std::span<const std::uint8_t> entries);

    // 255, code (219, 220, 222, 225 to 230, 243 to 246, 248, 253).
    bool record(ReplayCode code);
    // Hide ID (221) and hide (223) with the slot.
    bool recordHide(ReplayCode code, int slot);
    // Set step (224): written once for every carried unit.
    bool recordSetStep(int step);
    // A path hex (a click inside a move).
    bool recordPath(int column, int row);
    // The move start of the carried units: their numbers in chain order, the
    // first carried unit's hex as the origin, then the first path hex.
    bool recordMoveStart(int firstColumn, int firstRow);
    bool recordMoveStart(std::span<const int> units, int originColumn, int originRow,
                         int firstColumn, int firstRow);
    // The combat entry from the combat boxes or the pending declarations; in
    // the pre-declare sub-mode it also numbers the units with the newest
    // declaration (PendingDeclarations already counts it).
    bool recordCombat();

    bool recordComment(std::string_view text);
    bool recordEncryptedComment(std::string_view text, std::string_view password, Random& random);
    // A roll or combat result with its text as a plain or encrypted comment.
    bool recordResult(int dice, int sides, std::string_view text);
    bool recordEncryptedResult(int dice, int sides, std::string_view text,
                               std::string_view password, Random& random);
    // Card entries are built by ReplayEntries.h and written with append().

    // The units the combat entry lists, in the state as it stands.
    static std::vector<int> combatUnits(const GameState& state);

private:
    ReplayFile& m_file;
    GameState& m_state;
    UserPrompts& m_prompts;
    bool m_playing = false;
    std::uint64_t m_written = 0;
    bool m_lastOpenFailed = false;
};

}  // namespace qmx
