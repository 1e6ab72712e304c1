#include "core/replay/CardEntry.h"

#include "core/replay/ReplayNames.h"

namespace qmx {

namespace {

bool userTookPart(const CardEntry& e, const GameState& state) {
    // An observer (31) is never a slot of the entry.
    return state.isValidSlot(state.currentSlot) &&
           (e.slot == state.currentSlot || e.otherSlot == state.currentSlot);
}

}  // namespace

std::optional<CardEntry> readCardEntry(ReplayCode code, ReplayReader& reader) {
    CardEntry e;
    e.code = code;
    std::size_t size = 0;
    switch (code) {
        case ReplayCode::CardShownReturned:
        case ReplayCode::CardShown:
        case ReplayCode::CardDealt:
            size = 3;
            break;
        case ReplayCode::CardReturned:
        case ReplayCode::CardDiscarded:
            size = 1;
            break;
        case ReplayCode::CardPlaced:
            size = 2;
            break;
        case ReplayCode::CardGiven:
            size = 4;
            break;
        default:
            return std::nullopt;
    }
    auto b = reader.bytes(size);
    if (!b) return std::nullopt;
    const auto& v = *b;
    switch (code) {
        case ReplayCode::CardShownReturned:
        case ReplayCode::CardShown:
            e.deckByte = v[0], e.cardByte = v[1], e.slot = v[2];
            break;
        case ReplayCode::CardGiven:
            e.deckByte = v[0], e.cardByte = v[1], e.otherSlot = v[2], e.slot = v[3];
            break;
        case ReplayCode::CardPlaced:
            e.otherSlot = v[0], e.slot = v[1];
            break;
        case ReplayCode::CardDealt:
            e.source = v[0], e.otherSlot = v[1], e.slot = v[2];
            break;
        default:
            e.slot = v[0];
            break;
    }
    return e;
}

std::string cardEntryText(const CardEntry& e, const Module& module, const GameState& state) {
    const std::string name = slotName(state, e.slot);
    const std::string other = slotName(state, e.otherSlot);
    switch (e.code) {
        case ReplayCode::CardShownReturned:
            return name + " has replaced the following card from his hand back in the deck:";
        case ReplayCode::CardReturned:
            return name + " has returned a card from his hand back to the deck.";
        case ReplayCode::CardPlaced:
            return name + " has placed a card at the following location: " + other;
        case ReplayCode::CardDiscarded:
            return name + " has discarded a card from his hand.";
        case ReplayCode::CardGiven:
            if (cardEntryShowsCard(e, state))
                return name + " has given the following card from his hand to " + other;
            return name + " has given a card from his hand to " + other;
        case ReplayCode::CardShown:
            return name + " has shown but kept the following card from his hand.";
        case ReplayCode::CardDealt:
            return name + " has dealt a card from deck " + dealSourceName(module, state, e.source) +
                   " to " + other;
        default:
            return {};
    }
}

bool cardEntryShowsCard(const CardEntry& e, const GameState& state) {
    switch (e.code) {
        case ReplayCode::CardShownReturned:
        case ReplayCode::CardShown:
            return true;
        case ReplayCode::CardGiven:
            return userTookPart(e, state);
        default:
            return false;
    }
}

std::string_view cardEntryTitle(const CardEntry& e) {
    switch (e.code) {
        case ReplayCode::CardPlaced:
            return "Card Placement";
        case ReplayCode::CardGiven:
            return "Give a Card";
        case ReplayCode::CardShown:
            return "Show Card";
        case ReplayCode::CardDealt:
            return "Card Deal";
        default:
            return "Card Play";
    }
}

std::optional<std::string_view> cardEntryStatus(const CardEntry& e, const GameState& state) {
    switch (e.code) {
        case ReplayCode::CardShownReturned:
            return "Show & Return Card";
        case ReplayCode::CardShown:
            return "Show Card";
        case ReplayCode::CardGiven:
            if (cardEntryShowsCard(e, state)) return "Give Card";
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace qmx
