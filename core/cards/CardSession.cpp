#include "core/cards/CardSession.h"

#include "core/module/Clock.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayEntries.h"
#include "core/replay/ReplayNames.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/session/SessionPrompts.h"

namespace qmx {

namespace {

constexpr const char* kCautionTitle = "CAUTION";
constexpr const char* kWarning = "WARNING";

std::uint8_t byteOf(int n) {
    return static_cast<std::uint8_t>(n);
}

std::vector<std::string> namesOf(const GameState& state, const std::vector<int>& slots) {
    std::vector<std::string> out;
    for (int s : slots) out.push_back(slotName(state, s));
    return out;
}

bool inRange(int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) < size;
}

}  // namespace

// ---- the hand dialog ----------------------------------------------------------------

CardHand::CardHand(CardSession& session) : m_session(session) {
    m_count = static_cast<int>(handOf(session.game(), session.user()).size());
    m_shown = m_count > 0 ? 1 : 0;
    showCard();
}

std::optional<CardId> CardHand::card() const {
    if (m_shown == 0) return std::nullopt;
    const auto hand = handOf(m_session.game(), m_session.user());
    if (!inRange(m_shown - 1, hand.size())) return std::nullopt;
    return hand[static_cast<std::size_t>(m_shown - 1)];
}

void CardHand::showCard() {
    const auto c = card();
    m_text = c ? m_session.cardText(*c) : std::string(kEmptyHand);
}

void CardHand::next() {
    const int size = static_cast<int>(handOf(m_session.game(), m_session.user()).size());
    if (size == 0) {
        // The last card has left: the dialog says so instead of showing a card.
        m_shown = 0;
    } else {
        ++m_shown;
        if (m_shown > size) m_shown = 1;
    }
    showCard();
}

void CardHand::removed() {
    --m_shown;
    if (m_count > 0) --m_count;
    next();
}

void CardHand::press(HandButton button) {
    if (button == HandButton::NextCard) {
        if (m_shown != 0) next();
        return;
    }
    const auto c = card();
    if (!c) return;
    bool gone = false;
    switch (button) {
        case HandButton::ReturnToDeck:
            gone = m_session.returnToDeck(*c);
            break;
        case HandButton::Discard:
            gone = m_session.discard(*c);
            break;
        case HandButton::ShowThenReturn:
            gone = m_session.showThenReturn(*c);
            break;
        case HandButton::ShowToOthers:
            m_session.showToOthers(*c);
            break;
        case HandButton::GiveAway:
            gone = m_session.giveAway(*c);
            break;
        case HandButton::PlaceInLocation:
            gone = m_session.placeInLocation(*c);
            break;
        case HandButton::NextCard:
            break;
    }
    if (gone) removed();
}

// ---- the commands -----------------------------------------------------------------------

CardSession::CardSession(const Module& module, GameState& game, ReplayRecorder& recorder,
                         SessionPrompts& prompts, Random& random, const Clock& clock,
                         CardTextSource& texts, PlayerSession& session)
    : m_module(module),
      m_game(game),
      m_recorder(recorder),
      m_prompts(prompts),
      m_random(random),
      m_clock(clock),
      m_texts(texts),
      m_session(session) {}

Change CardSession::dealCard() {
    Change c;
    if (!m_session.states().enabled(Command::DealCard)) return c;
    c.ran = true;
    if (!mayHandleCards(m_game)) {
        m_prompts.showText(kErrorTitle, kDealRefused);
        return c;
    }
    const std::vector<DealSource> sources = dealSources(m_module, m_game);
    const std::vector<int> receivers = otherPlayers(m_game);
    if (receivers.empty() || sources.empty()) {
        m_prompts.showText(kErrorTitle, receivers.empty() ? kNoOneToDealTo : kNothingToDealFrom);
        return c;
    }
    std::vector<std::string> sourceNames;
    for (const DealSource& s : sources) sourceNames.push_back(s.name);
    const auto answer = m_prompts.askDeal(sourceNames, namesOf(m_game, receivers));
    if (!answer || !inRange(answer->source, sources.size()) ||
        !inRange(answer->receiver, receivers.size()))
        return c;
    deal(sources[static_cast<std::size_t>(answer->source)].code,
         receivers[static_cast<std::size_t>(answer->receiver)]);
    return c;
}

bool CardSession::deal(int source, int receiver) {
    m_random.seedFrom(m_clock);
    const std::vector<CardId> cards = availableCards(m_game, source);
    if (cards.empty()) {
        m_prompts.showText(kNoCardsLeftTitle, kNoCardsLeft);
        return false;
    }
    const auto k = static_cast<std::size_t>(m_random.next()) % cards.size();
    const CardId card = cards[k];
    m_game.setCardPlace(card.deck, card.card, byteOf(receiver));
    const std::uint64_t before = m_recorder.written();
    m_recorder.append(cardDealtEntry(source, receiver, m_game.currentSlot));
    if (!m_recorder.lastOpenFailed()) {
        m_prompts.showText(kDealTitle, slotName(m_game, m_game.currentSlot) +
                                           " has dealt a card from deck " +
                                           dealSourceName(m_module, m_game, source) + " to " +
                                           slotName(m_game, receiver));
    }
    m_session.recorded(before);
    return true;
}

Change CardSession::viewCards() {
    Change c;
    if (!m_session.states().enabled(Command::ViewCards)) return c;
    c.ran = true;
    if (!mayHandleCards(m_game)) {
        m_prompts.showText(kErrorTitle, kHandRefused);
        return c;
    }
    CardHand hand(*this);
    m_prompts.viewHand(hand);
    return c;
}

std::string CardSession::cardText(CardId card) {
    CardText t = m_texts.cardText(card.deck - 1, card.card - 1);
    if (t.status == CardLookup::CannotOpen) {
        m_prompts.showMessage(msg::kNoCardData);
        return {};
    }
    if (t.text.size() > kCardTextLimit) t.text.resize(kCardTextLimit);
    return std::move(t.text);
}

bool CardSession::ask(const char* title, const char* question) {
    return m_prompts.askOkCancel(title, question);
}

void CardSession::record(const std::vector<std::uint8_t>& entry) {
    const std::uint64_t before = m_recorder.written();
    m_recorder.append(entry);
    m_session.recorded(before);
}

bool CardSession::returnToDeck(CardId card) {
    if (!ask(kCautionTitle, "Are you sure you want to put this card back in the deck?"))
        return false;
    m_game.setCardPlace(card.deck, card.card, kInDeck);
    record(cardReturnedEntry(m_game.currentSlot));
    return true;
}

bool CardSession::discard(CardId card) {
    if (!ask(kWarning, "This card will no longer be playable.")) return false;
    m_game.setCardPlace(card.deck, card.card, kDiscarded);
    record(cardDiscardedEntry(m_game.currentSlot));
    return true;
}

bool CardSession::showThenReturn(CardId card) {
    if (!ask(kCautionTitle,
             "Are you sure you want to show this card to everyone and then put it back in the "
             "deck?"))
        return false;
    m_game.setCardPlace(card.deck, card.card, kInDeck);
    record(cardShownAndReturnedEntry(byteOf(card.deck - 1), byteOf(card.card - 1),
                                     m_game.currentSlot));
    return true;
}

void CardSession::showToOthers(CardId card) {
    if (!ask(kCautionTitle, "Are you sure you want to show this card to everyone?")) return;
    record(cardShownEntry(byteOf(card.deck - 1), byteOf(card.card - 1), m_game.currentSlot));
}

bool CardSession::giveAway(CardId card) {
    if (!ask(kCautionTitle, "Are you sure you want to give this card away?")) return false;
    const std::vector<int> receivers = otherPlayers(m_game);
    const auto chosen = m_prompts.askGiveCard(namesOf(m_game, receivers));
    if (!chosen || !inRange(*chosen, receivers.size())) return false;
    const int receiver = receivers[static_cast<std::size_t>(*chosen)];
    m_game.setCardPlace(card.deck, card.card, byteOf(receiver));
    record(
        cardGivenEntry(byteOf(card.deck - 1), byteOf(card.card - 1), receiver, m_game.currentSlot));
    return true;
}

bool CardSession::placeInLocation(CardId card) {
    const std::vector<int> locations = cardLocations(m_game);
    if (locations.empty()) {
        m_prompts.showText(kErrorTitle, kNoLocations);
        return false;
    }
    const auto chosen = m_prompts.askPlaceCard(namesOf(m_game, locations));
    if (!chosen || !inRange(*chosen, locations.size())) return false;
    const int location = locations[static_cast<std::size_t>(*chosen)];
    m_game.setCardPlace(card.deck, card.card, byteOf(location));
    m_game.locationHasCards[static_cast<std::size_t>(location)] = true;
    record(cardPlacedEntry(location, m_game.currentSlot));
    return true;
}

}  // namespace qmx
