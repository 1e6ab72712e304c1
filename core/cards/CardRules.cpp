#include "core/cards/CardRules.h"

#include "core/game/PlayerIdentity.h"

namespace qmx {

namespace {

const PlayerSlot& slotOf(const GameState& state, int slot) {
    return state.players[static_cast<std::size_t>(slot)];
}

}  // namespace

bool mayHandleCards(const GameState& state) {
    return isIdentified(state);
}

std::vector<DealSource> dealSources(const Module& module, const GameState& state) {
    std::vector<DealSource> out;
    for (int d = 1; d <= kDeckCount; ++d) {
        if (module.decks[static_cast<std::size_t>(d)].inUse() && state.deckSize(d) > 0)
            out.push_back({d - 1, module.decks[static_cast<std::size_t>(d)].name});
    }
    for (int s = 2; s < kSlotCount; ++s) {
        if (state.locationHasCards[static_cast<std::size_t>(s)])
            out.push_back({kLocationSourceBase + s, slotOf(state, s).name});
    }
    return out;
}

std::vector<int> otherPlayers(const GameState& state) {
    std::vector<int> out;
    for (int s = 0; s < kSlotCount; ++s) {
        if (slotOf(state, s).kind == SlotKind::Player && s != state.currentSlot) out.push_back(s);
    }
    return out;
}

std::vector<int> cardLocations(const GameState& state) {
    std::vector<int> out;
    for (int s = 2; s < kSlotCount; ++s) {
        if (slotOf(state, s).kind == SlotKind::CardLocation) out.push_back(s);
    }
    return out;
}

std::vector<CardId> availableCards(const GameState& state, int source) {
    std::vector<CardId> out;
    if (source >= 0 && source < kDeckCount) {
        const int deck = source + 1;
        for (int c = 1; c <= state.deckSize(deck); ++c) {
            if (state.cardPlace(deck, c) == kInDeck) out.push_back({deck, c});
        }
        return out;
    }
    const int slot = source - kLocationSourceBase;
    if (slot < 2 || slot >= kSlotCount) return out;
    return handOf(state, slot);
}

std::vector<CardId> handOf(const GameState& state, int slot) {
    std::vector<CardId> out;
    if (!state.isValidSlot(slot)) return out;
    for (int d = 1; d <= kDeckCount; ++d) {
        for (int c = 1; c <= state.deckSize(d); ++c) {
            if (state.cardPlace(d, c) == slot) out.push_back({d, c});
        }
    }
    return out;
}

std::string handCaption(int shown, int count) {
    return "Card " + std::to_string(shown) + " of " + std::to_string(count);
}

}  // namespace qmx
