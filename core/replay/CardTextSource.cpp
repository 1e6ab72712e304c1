#include "core/replay/CardTextSource.h"

namespace qmx {

CardText ModuleFileCardTexts::cardText(int deckByte, int cardByte) {
    return readCardText(m_path, m_offset, deckByte + 1, cardByte + 1);
}

CardText ModuleCardTexts::cardText(int deckByte, int cardByte) {
    const int deck = deckByte + 1;
    const int card = cardByte + 1;
    if (deck < 1 || deck > kDeckCount || card < 1 || card > kMaxCards) return {};
    const Card& c =
        m_module.decks[static_cast<std::size_t>(deck)].cards[static_cast<std::size_t>(card)];
    if (c.storedLength == 0) return {};
    return {CardLookup::Found, c.text};
}

}  // namespace qmx
