#pragma once
// The choices of the "Define Players" dialog and the rules that keep them
// sound while the user clicks: "A position may not be designated as a player
// unless all previous positions are players.  A position may not be used if
// any previous positions are not used." and "There must be at least two
// players."
//
// Position 1 is a Game Master or a Player, position 2 always a Player,
// positions 3 to 8 Not Used, Player or Card Location.

#include <array>
#include <string>

#include "core/game/GameState.h"

namespace qmx {

class UserPrompts;

class PlayerDefinition {
public:
    // As the dialog opens: positions 1 and 2 Player, 3 to 8 Not Used.
    PlayerDefinition();

    // The kind shown at position index 0..7 ("Player 1:" is index 0).
    SlotKind kind(int position) const { return m_kinds[static_cast<std::size_t>(position)]; }
    const std::array<SlotKind, kSlotCount>& kinds() const { return m_kinds; }

    // The user picks `kind` at `position`; the rules adjust the other
    // positions or undo the choice. Kinds a position does not offer are ignored.
    void choose(int position, SlotKind kind);

    // "OK": stores the kinds in the player table.
    void store(GameState& state) const;

    // True after a load when the dialog must open: slot 0 is Not Used and
    // the players have not been declared unnecessary.
    static bool needed(const GameState& state);
    // "Not necessary for this game, don't ask again.": nothing is stored and
    // the dialog never returns for this game.
    static void dontAskAgain(GameState& state);

    // The prompt of the "Initialize Card Location Name" dialog for slot 2..7:
    // "Enter the name of Card Location #3:" to "#8:".
    static std::string cardLocationPrompt(int slot);
    // After "OK": asks the name of every card location (slots 2 to 7) in turn
    // and stores it as typed (at most 14 characters); a cancelled dialog
    // leaves the name empty.
    static void nameCardLocations(GameState& state, UserPrompts& prompts);

private:
    std::array<SlotKind, kSlotCount> m_kinds;
};

inline constexpr const char* kCardLocationNameTitle = "Initialize Card Location Name";

}  // namespace qmx
