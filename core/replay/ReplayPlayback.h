#pragma once
// Playback of a replay record over the game state: "Step Replay",
// "Continuous Replay", the space bar and "Stop Replay" all come down to
// start(), step() and stop(). Each call plays one entry and returns what a
// screen must show (ReplayEvent); the drawing, its timing and the pacing of
// continuous mode are the board view's.
//
// Start saves the state of every unit (the end state), puts every unit into
// its start position and rebuilds the hex stacks. The entries then move the
// units as the other player moved them. The end (end of the record, a record
// cut inside an entry, or Stop) puts the saved state back exactly. Playback
// never writes to the record; while it runs the recorder writes nothing.
//
// The record comes from another player's file: unit numbers outside the
// module, hexes off the map, repeated units, lists broken off by another
// entry, drops outside a move and cut pairs are passed over, and nothing the
// person at this machine may not see (VisibleToMe) is ever put into an event.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/game/UserPrompts.h"
#include "core/module/Bytes.h"
#include "core/module/Module.h"
#include "core/replay/CardEntry.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayEvent.h"
#include "core/replay/ReplayReader.h"

namespace qmx {

class ReplayRecorder;

// The longest status text the game-controls panel shows.
inline constexpr std::size_t kStatusTextMax = 29;

class ReplayPlayback {
public:
    // `recorder` (may be null) is told to write nothing while the replay runs.
    ReplayPlayback(GameState& state, const Module& module, UserPrompts& prompts,
                   CardTextSource& cards, ReplayRecorder* recorder = nullptr);
    // The reader points into the record held here.
    ReplayPlayback(const ReplayPlayback&) = delete;
    ReplayPlayback& operator=(const ReplayPlayback&) = delete;

    bool active() const { return m_active; }
    bool inMove() const { return m_inMove; }
    // The replayed stack's hex while the move is shown; none for a hidden move.
    Hex position() const { return m_inMove && m_shownUnit ? m_position : Hex{}; }
    // The unit the drag picture shows; 0 when nothing or only hidden units are carried.
    int shownUnit() const { return m_inMove ? m_shownUnit : 0; }
    // Only the units marked for the replayed combat are drawn.
    bool combatHighlight() const { return m_highlight; }
    // The panel's status text ("Roll: 2 die,6 sides.", "Comment", card actions).
    const std::string& statusText() const { return m_status; }

    // Starts the replay of `record` (nothing: there is no replay file, which
    // gives message 6). Refused with message 16 while units are carried or in
    // combat mode, and does nothing while a replay is already running.
    ReplayEvent start(std::optional<Bytes> record);
    // Plays the next entry; the end of the record ends the replay (End).
    ReplayEvent step();
    // "Stop Replay": ends the replay at once, restoring the end state.
    ReplayEvent stop();
    // Plays the whole record at once and returns every unit as the record
    // leaves it, with the card entries and the offset after each; the state
    // is then put back as it was. Nothing when the replay cannot start (units
    // carried, combat mode, a replay running).
    struct PlayedRecord {
        std::vector<UnitState> units;
        std::vector<std::pair<std::size_t, CardEntry>> cards;
    };
    std::optional<PlayedRecord> playThrough(Bytes record);

private:
    // The next entry that shows something; nothing at the end of the record.
    std::optional<ReplayEvent> nextEntry();
    // Each returns nothing for an entry that is passed over.
    std::optional<ReplayEvent> playOutsideMove(ReplayPair pair);
    std::optional<ReplayEvent> playInMove(ReplayPair pair);
    std::optional<ReplayEvent> moveStart();
    std::optional<ReplayEvent> unitCommand(std::uint8_t code);
    ReplayEvent drop();
    std::optional<ReplayEvent> combat();
    ReplayEvent finish();

    void putUnitsAtStart();
    void rebuildStacks();
    void takeFromStack(int unit);
    std::vector<int> visibleCarried() const;
    void setStatus(std::string_view text);
    Hex unitHex(int unit) const;
    void endHighlightOn(ReplayEvent& event);

    GameState& m_state;
    const Module& m_module;
    UserPrompts& m_prompts;
    CardTextSource& m_cards;
    ReplayRecorder* m_recorder;

    bool m_active = false;
    bool m_inMove = false;
    bool m_highlight = false;
    Bytes m_record;
    ReplayReader m_reader{std::span<const std::uint8_t>{}};
    std::vector<std::pair<std::size_t, CardEntry>>* m_cardLog = nullptr;

    // The end-state table: every unit and every hex's stack head as they
    // stood when the replay started.
    std::vector<UnitState> m_endUnits;
    std::vector<HexGameRecord> m_endHexes;

    // The carried units of the replayed move, in chain order, and for every
    // unit the unit whose StackLink names it (0: none), so that taking a unit
    // out of its chain never walks the chain.
    std::vector<int> m_carried;
    std::vector<bool> m_isCarried;
    std::vector<std::uint16_t> m_previous;
    int m_shownUnit = 0;
    Hex m_position;
    std::string m_status;
};

}  // namespace qmx
