#pragma once
// The card commands of the player, run whole: Deal Card with its dialog, and
// View Cards with the hand dialog and its actions (return, discard, show,
// give, place). Each action moves the card in the game state and appends its
// entry to the replay record at the moment it happens; a record that cannot
// be written is reported (messages 4 and 8) and the card's move stands.
//
// The dialogs are thin: the Deal, Give and Place dialogs return the chosen
// positions in the lists they were given; the hand dialog shows a CardHand
// and passes every button through CardHand::press().

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/cards/CardRules.h"
#include "core/game/GameState.h"
#include "core/module/Module.h"
#include "core/session/Change.h"

namespace qmx {

class CardTextSource;
class Clock;
class PlayerSession;
class Random;
class ReplayRecorder;
class SessionPrompts;

enum class HandButton {
    ReturnToDeck,
    Discard,
    ShowThenReturn,
    ShowToOthers,
    GiveAway,
    PlaceInLocation,
    NextCard,
};

class CardSession;

// What the hand dialog shows: the card number N (0 with no card), the hand's
// size M counted when the dialog opened and lowered by every card that
// leaves, and the shown card's text.
class CardHand {
public:
    explicit CardHand(CardSession& session);

    std::string caption() const { return handCaption(m_shown, m_count); }
    const std::string& text() const { return m_text; }
    int shown() const { return m_shown; }
    int count() const { return m_count; }
    // The card shown, if any.
    std::optional<CardId> card() const;

    void press(HandButton button);

private:
    void showCard();
    void next();
    void removed();

    CardSession& m_session;
    int m_shown = 0;
    int m_count = 0;
    std::string m_text;
};

class CardSession {
public:
    // `afterRecorded` is told the recorder's count of entries before each
    // action (the session's autosave runs from there).
    CardSession(const Module& module, GameState& game, ReplayRecorder& recorder,
                SessionPrompts& prompts, Random& random, const Clock& clock, CardTextSource& texts,
                PlayerSession& session);

    // Deal Card and View Cards (refused for observers and before every slot
    // is initialized; nothing while the command state is not enabled).
    Change dealCard();
    Change viewCards();

    // The rules behind the dialogs, also used directly by tests and tools.
    // Deals from `source` (DealSource::code) to `receiver`; false when no
    // card was there to deal.
    bool deal(int source, int receiver);
    // The text the hand shows for `card`: cut to the editor's limit, empty
    // with message 34 when the module file cannot be read.
    std::string cardText(CardId card);

    const GameState& game() const { return m_game; }
    int user() const { return m_game.currentSlot; }

private:
    friend class CardHand;
    bool returnToDeck(CardId card);
    bool discard(CardId card);
    bool showThenReturn(CardId card);
    void showToOthers(CardId card);
    bool giveAway(CardId card);
    bool placeInLocation(CardId card);
    bool ask(const char* title, const char* question);
    void record(const std::vector<std::uint8_t>& entry);

    const Module& m_module;
    GameState& m_game;
    ReplayRecorder& m_recorder;
    SessionPrompts& m_prompts;
    Random& m_random;
    const Clock& m_clock;
    CardTextSource& m_texts;
    PlayerSession& m_session;
};

}  // namespace qmx
