#pragma once
// What one played entry of a replay asks a screen to show. The playback
// engine (ReplayPlayback) returns one event per call; the board view animates
// it and shows its boxes, the command-line tool prints it.
//
// An event never carries more than the person replaying may see: units that
// are not VisibleToMe are left out of every list, and a hidden move carries
// no hexes at all.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/replay/ReplayReader.h"

namespace qmx {

enum class ReplayEventKind {
    NothingToReplay,   // no record: message 6, the replay did not start
    Refused,           // units are carried or the mode is combat: message 16
    Started,           // units are at their start positions; nothing played yet
    MoveStart,         // a stack left its hex (or, hidden, something moved)
    PathStep,          // the carried stack passed on to the next hex
    UnitCommand,       // a step, facing, flip or hide entry changed the carried units
    Drop,              // the carried stack was put down; the move ended
    Combat,            // the units of a combat are highlighted
    Result,            // a roll's header: only the status text changes
    Comment,           // a plain comment, or an encrypted one read with its password
    EncryptedComment,  // an encrypted comment whose password was wrong (message 20 has
                       // been shown through the prompts that asked for it)
    FlipAll,           // every unit flipped face up or down
    SaveMarker,        // a save happened here
    Card,              // a card action
    End,               // the replay is over and the saved state is back
};

// A box to show: a numbered message of the player's table, or a text under a title.
struct ReplayMessage {
    int number = 0;     // message table number; 0 when `text` is given
    std::string title;  // with `text`
    std::string text;

    bool operator==(const ReplayMessage&) const = default;
};

// A comment longer than this (the comment dialogs write far less) is shown cut.
inline constexpr std::size_t kReplayDisplayLimit = 65536;

struct ReplayEvent {
    ReplayEventKind kind = ReplayEventKind::End;
    std::uint8_t code = 0;  // the entry's code; 0 for the events that are no entry

    // Moves. `shown` is false for a hidden move: then `units` is empty, the
    // hexes are none and nothing is drawn.
    bool shown = false;
    int shownUnit = 0;       // the unit the drag picture shows, 0 for a hidden move;
                             // never CarriedStack's head, which may be hidden
    std::vector<int> units;  // the carried (MoveStart, UnitCommand, Drop) or highlighted
                             // (Combat) units the person may see, in chain order
    Hex from;                // MoveStart: the origin; PathStep: the hex left
    Hex to;                  // PathStep: the new hex; Drop: where the stack was put down;
                             // Combat: the hex to centre on (none if no unit there is seen)

    // Boxes to show after the drawing, in this order: the messages, then the
    // text display (a comment, or a card's text) in CReadback.
    std::vector<ReplayMessage> messages;
    std::optional<std::string> display;
    bool displayCut = false;  // the comment was longer than kReplayDisplayLimit

    // The panel's status text, when this entry sets it.
    std::optional<std::string> status;

    // Combat highlight: switched on by a combat entry; `highlightEnds` says
    // it goes off once this event's box has been shown (the next comment).
    bool highlightOn = false;
    bool highlightEnds = false;

    // In step mode the next entry follows at once, without a key press: the
    // entry showed a box the player has already closed, or it was a step of
    // a hidden move, which must not cost a key press each (that would tell
    // the length of the hidden path).
    bool continueAtOnce = false;
};

}  // namespace qmx
