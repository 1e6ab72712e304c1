#include "core/game/GameState.h"

namespace qmx {

void GameState::resetForModule(const Module& module) {
    m_unitCount = module.unitCount;
    m_columns = module.columns;
    m_rows = module.rows;

    // Every unit starts on hex (1, 1), all in one stack in number order.
    m_units.assign(static_cast<std::size_t>(m_unitCount) + 1, UnitState{});
    for (int i = 1; i <= m_unitCount; ++i) {
        const auto next = static_cast<std::uint16_t>(i < m_unitCount ? i + 1 : 0);
        m_units[static_cast<std::size_t>(i)].stackLink = next;
        m_units[static_cast<std::size_t>(i)].startStackLink = next;
    }
    setSentinel();

    m_hexes.assign(static_cast<std::size_t>(m_columns + 1) * static_cast<std::size_t>(m_rows + 2),
                   HexGameRecord{});
    for (int r = 1; r <= m_rows + 1; ++r) {
        for (int c = 1; c <= m_columns; ++c) {
            if (module.hexInRange(c, r) && module.hexIndex(c, r) < module.hexes.size()) {
                hex(c, r).state = static_cast<std::uint8_t>(module.hex(c, r).state & 0xFF);
            }
        }
    }
    if (m_unitCount >= 1 && hasHex(1, 1)) hex(1, 1).stackHead = 1;

    for (int d = 1; d <= kDeckCount; ++d) {
        m_cardPlaces[static_cast<std::size_t>(d)].assign(
            module.decks[static_cast<std::size_t>(d)].cardCount, kInDeck);
    }

    carriedStack = 0;
    players = PlayerTable{};
    identifyProgress = kPlayersUndefined;
    currentSlot = kObserver;
    locationHasCards = {};
    pendingDeclarations = 0;
    reservedValue = 0;
    headerByte6 = 0;
    gameMode = GameMode::Movement;
    moveSaved = false;
}

void GameState::setSentinel() {
    if (m_units.empty()) return;
    UnitState& s = m_units[0];
    s.stackLink = 1;
    s.startStackLink = 1;
    s.column = 1;
    s.row = 1;
    s.startColumn = 1;
    s.startRow = 1;
}

void GameState::updateLocationFlags() {
    locationHasCards = {};
    for (int d = 1; d <= kDeckCount; ++d) {
        for (const std::uint8_t place : m_cardPlaces[static_cast<std::size_t>(d)]) {
            if (place >= 2 && place < kSlotCount && players[place].kind == SlotKind::CardLocation) {
                locationHasCards[place] = true;
            }
        }
    }
}

std::vector<int> GameState::chain(int first) const {
    std::vector<int> out;
    // A sound chain never holds more units than there are; stop a loop there.
    for (int u = first; isUnit(u) && static_cast<int>(out.size()) < m_unitCount;
         u = unit(u).stackLink) {
        out.push_back(u);
    }
    return out;
}

}  // namespace qmx
