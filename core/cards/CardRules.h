#pragma once
// Where the cards of a game are and who may handle them: the deal sources,
// the receivers, a player's hand and the card locations. Pure functions over
// the game state and the module; CardSession applies them.
//
// Cards are counted as the game state counts them: deck 1..20, card
// 1..deckSize(deck). The record and the card text reader take both numbers
// counted from 0.

#include <cstddef>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Module.h"

namespace qmx {

struct CardId {
    int deck = 0;
    int card = 0;
    bool operator==(const CardId&) const = default;
};

// A source of the Deal dialog: deck 0..19 (counted from 0, as the record
// writes it), or 20 + s for the card location in slot s.
struct DealSource {
    int code = 0;
    std::string name;
    bool operator==(const DealSource&) const = default;
};

constexpr int kLocationSourceBase = 20;
// The card editor takes at most this many characters; the hand shows no more.
constexpr std::size_t kCardTextLimit = 1064;

inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kDealRefused = "You must be an identified player to deal a card.";
// Said instead of a Deal Card dialog with nothing to choose.
inline constexpr const char* kNoOneToDealTo =
    "There is no other player to deal a card to: a card is always dealt to another player, "
    "never to yourself.";
inline constexpr const char* kNothingToDealFrom = "No deck or location holds a card to deal.";
inline constexpr const char* kHandRefused = "You must be an identified player to have cards.";
inline constexpr const char* kNoCardsLeft = "This deck has no cards left to deal!";
inline constexpr const char* kNoCardsLeftTitle = "Error!";
inline constexpr const char* kDealTitle = "Card Deal";
inline constexpr const char* kEmptyHand = "You have no cards in your hand";
inline constexpr const char* kNoLocations = "This game has no card locations defined.";

// Every slot initialized and the user one of them (not an observer).
bool mayHandleCards(const GameState& state);

// The decks with at least one card, in deck order, then the slots 2..7 whose
// location has held cards, in slot order.
std::vector<DealSource> dealSources(const Module& module, const GameState& state);
// Every slot of kind player except the user's own.
std::vector<int> otherPlayers(const GameState& state);
// Every slot 2..7 of kind card location.
std::vector<int> cardLocations(const GameState& state);

// The cards a deal from `source` draws from: for a deck its cards in the
// deck, in card order; for a location the cards there, by deck then card.
// An unknown source has none.
std::vector<CardId> availableCards(const GameState& state, int source);
// The cards whose place is `slot`, by deck then card.
std::vector<CardId> handOf(const GameState& state, int slot);

// "Card 2 of 3".
std::string handCaption(int shown, int count);

}  // namespace qmx
