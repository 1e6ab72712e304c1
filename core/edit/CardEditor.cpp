#include "core/edit/CardEditor.h"

#include <algorithm>

#include "core/edit/ModuleEdits.h"
#include "core/module/MessageTable.h"

namespace qmx {

CardEditor::CardEditor(Module& module, EditHistory& history, EditorPrompts& prompts)
    : m_module(module), m_history(history), m_prompts(prompts) {
    show(cardCount() > 0 ? 1 : 0);
}

void CardEditor::show(int card) {
    m_card = card;
    m_text = card > 0 ? m_module.decks[m_deck].cards[card].text : std::string();
}

bool CardEditor::typeText(const std::string& text) {
    if (m_card == 0) {
        m_prompts.showMessage(editormsg::kAddCardFirst);
        return false;
    }
    m_text = text.substr(0, kMaxCardEditText);
    return true;
}

void CardEditor::storeCurrent() {
    if (cardCount() == 0 || m_card < 1 || m_card > cardCount()) return;
    Deck after = m_module.decks[m_deck];
    Card& c = after.cards[m_card];
    c.text = m_text;
    c.storedLength = static_cast<std::uint32_t>(m_text.size() + 4);
    m_history.apply(editDeck(m_module, m_deck, std::move(after), "Card Text"));
    m_history.closeStep();
}

void CardEditor::addCard() {
    storeCurrent();
    if (cardCount() >= kMaxCards) {
        m_prompts.showMessage(editormsg::kDeckFull);
        return;
    }
    Deck after = m_module.decks[m_deck];
    ++after.cardCount;
    // The new card as an empty card is stored, so that leaving it (or an
    // Undo right after) records no step of its own.
    Card& added = after.cards[after.cardCount];
    added.text.clear();
    added.storedLength = 4;
    m_history.apply(editDeck(m_module, m_deck, std::move(after), "Add Card"));
    m_history.closeStep();
    show(cardCount());
}

void CardEditor::deleteCard() {
    if (m_card < 1 || m_card > cardCount()) return;
    storeCurrent();
    Deck after = m_module.decks[m_deck];
    for (int c = m_card; c < after.cardCount; ++c) after.cards[c] = after.cards[c + 1];
    after.cards[after.cardCount] = Card{};
    --after.cardCount;
    const int shown = std::min(m_card, static_cast<int>(after.cardCount));
    m_history.apply(editDeck(m_module, m_deck, std::move(after), "Delete Card"));
    m_history.closeStep();
    show(shown);
}

void CardEditor::cardSpin(int step) {
    storeCurrent();
    if (cardCount() == 0) {
        show(0);
        return;
    }
    show(std::clamp(m_card + step, 1, cardCount()));
}

void CardEditor::deckSpin(int step) {
    storeCurrent();
    m_deck = std::clamp(m_deck + step, 1, kDeckCount);
    show(cardCount() > 0 ? 1 : 0);
}

void CardEditor::setDeckName(const std::string& name) {
    Deck after = m_module.decks[m_deck];
    after.name = name.substr(0, kDeckNameSize);
    m_history.apply(editDeck(m_module, m_deck, std::move(after), "Deck Name",
                             "deck name " + std::to_string(m_deck)));
}

void CardEditor::finish() {
    storeCurrent();
}

void CardEditor::refresh() {
    show(std::clamp(m_card, cardCount() > 0 ? 1 : 0, cardCount()));
}

}  // namespace qmx
