#include "core/game/PlayerDefinition.h"

#include "core/game/UserPrompts.h"

namespace qmx {

PlayerDefinition::PlayerDefinition() {
    m_kinds.fill(SlotKind::NotUsed);
    m_kinds[0] = SlotKind::Player;
    m_kinds[1] = SlotKind::Player;
}

void PlayerDefinition::choose(int position, SlotKind kind) {
    if (position < 0 || position >= kSlotCount) return;
    const auto p = static_cast<std::size_t>(position);

    if (position == 0) {
        if (kind != SlotKind::GameMaster && kind != SlotKind::Player) return;
        m_kinds[0] = kind;
        // A game master needs positions 2 and 3 as the two players.
        if (kind == SlotKind::GameMaster) m_kinds[2] = SlotKind::Player;
        return;
    }
    if (position == 1) return;  // always a Player

    // Positions 3 to 8.
    if (m_kinds[0] == SlotKind::GameMaster && position == 2) return;  // stays a Player
    const SlotKind previous = m_kinds[p - 1];
    switch (kind) {
        case SlotKind::NotUsed:
            for (std::size_t i = p; i < m_kinds.size(); ++i) m_kinds[i] = SlotKind::NotUsed;
            break;
        case SlotKind::CardLocation:
            if (previous == SlotKind::NotUsed) {
                m_kinds[p] = SlotKind::NotUsed;
                break;
            }
            m_kinds[p] = SlotKind::CardLocation;
            for (std::size_t i = p + 1; i < m_kinds.size(); ++i)
                if (m_kinds[i] == SlotKind::Player) m_kinds[i] = SlotKind::CardLocation;
            break;
        case SlotKind::Player:
            if (previous == SlotKind::Player) m_kinds[p] = SlotKind::Player;
            break;
        case SlotKind::GameMaster:
            break;
    }
}

void PlayerDefinition::store(GameState& state) const {
    for (std::size_t i = 0; i < m_kinds.size(); ++i) state.players[i].kind = m_kinds[i];
}

bool PlayerDefinition::needed(const GameState& state) {
    return state.players[0].kind == SlotKind::NotUsed &&
           state.identifyProgress != kPlayersNotNeeded;
}

void PlayerDefinition::dontAskAgain(GameState& state) {
    state.identifyProgress = kPlayersNotNeeded;
}

std::string PlayerDefinition::cardLocationPrompt(int slot) {
    return "Enter the name of Card Location #" + std::to_string(slot + 1) + ":";
}

void PlayerDefinition::nameCardLocations(GameState& state, UserPrompts& prompts) {
    for (int slot = 2; slot < kSlotCount; ++slot) {
        PlayerSlot& s = state.players[static_cast<std::size_t>(slot)];
        if (s.kind != SlotKind::CardLocation) continue;
        const auto name = prompts.askText(kCardLocationNameTitle, cardLocationPrompt(slot),
                                          static_cast<int>(kPlayerNameMax));
        s.name = name ? name->substr(0, kPlayerNameMax) : std::string();
    }
}

}  // namespace qmx
