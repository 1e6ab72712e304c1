#pragma once
// The card entries of the replay record (codes 231 to 237) and the texts
// that the replay and the reports make of them.

#include <optional>
#include <string>
#include <string_view>

#include "core/game/GameState.h"
#include "core/module/Module.h"
#include "core/replay/ReplayReader.h"

namespace qmx {

struct CardEntry {
    ReplayCode code = ReplayCode::CardReturned;
    int deckByte = 0;   // the card, for 231, 235 and 236: deck 0..19
    int cardByte = 0;   //   and card 0..249 as the card dialogs hold them
    int slot = 0;       // who acted: shower, returner, placer, discarder, giver, dealer
    int otherSlot = 0;  // 233: the card location; 235 and 237: the receiver
    int source = 0;     // 237: deck 0..19, or 20 + the slot of a card location

    bool operator==(const CardEntry&) const = default;
};

constexpr bool isCardCode(std::uint8_t code) {
    return code >= 231 && code <= 237;
}

// Reads the bytes after the command pair of a card entry; nothing when the
// record ends first.
std::optional<CardEntry> readCardEntry(ReplayCode code, ReplayReader& reader);

// The sentence the replay shows and the reports write: "Anna has shown but
// kept the following card from his hand." Names come from the player table
// and the module.
std::string cardEntryText(const CardEntry& entry, const Module& module, const GameState& state);

// Whether the card's text follows: always for 231 and 236; for 235 only when
// the person at this machine gave or received the card.
bool cardEntryShowsCard(const CardEntry& entry, const GameState& state);

// The replay's title of the entry's box ("Card Play", "Card Placement",
// "Give a Card", "Show Card", "Card Deal").
std::string_view cardEntryTitle(const CardEntry& entry);

// The panel's status text the replay sets, if any.
std::optional<std::string_view> cardEntryStatus(const CardEntry& entry, const GameState& state);

}  // namespace qmx
