#pragma once
// The rules of "Edit Cards": the current deck and card, the text being typed,
// adding cards, moving between cards and decks, and the deck names. The text
// typed goes into the card when the author leaves it (another card, another
// deck, a new card, OK), as one step of the edit history.

#include <string>

#include "core/edit/EditHistory.h"
#include "core/edit/EditorPrompts.h"
#include "core/module/Module.h"

namespace qmx {

constexpr std::size_t kMaxCardEditText = 1064;
inline constexpr const char* kCardTabNote = "Use Ctrl-Tab to tab within the card text.";

class CardEditor {
public:
    // Opens on deck 1, card 1 (0 when deck 1 has no cards).
    CardEditor(Module& module, EditHistory& history, EditorPrompts& prompts);

    int deck() const { return m_deck; }
    int card() const { return m_card; }
    int cardCount() const { return m_module.decks[m_deck].cardCount; }
    const std::string& text() const { return m_text; }
    const std::string& deckName() const { return m_module.decks[m_deck].name; }

    // The author typed: the text becomes `text` (at most 1,064 characters).
    // Without a card the text stays as stored, message 34 is shown and false
    // is returned.
    bool typeText(const std::string& text);
    // Stores the current card, then adds one and makes it current with an
    // empty text. A full deck (250 cards) shows message 1 and keeps its cards
    // and the card shown as they are.
    void addCard();
    // Takes the card shown out of its deck, the cards after it moving up one
    // place: one step of the history. The card after it (or the new last
    // one) is shown. Nothing without a card.
    void deleteCard();
    void cardSpin(int step);
    void deckSpin(int step);
    void setDeckName(const std::string& name);
    // OK: stores the current card.
    void finish();
    // After undo or redo: the card and text shown come from the module again.
    void refresh();

private:
    void storeCurrent();
    void show(int card);
    Module& m_module;
    EditHistory& m_history;
    EditorPrompts& m_prompts;
    int m_deck = 1;
    int m_card = 0;
    std::string m_text;
};

}  // namespace qmx
