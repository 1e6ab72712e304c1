// The card commands in the core: who may deal and hold cards, the Deal
// dialog's lists and the draw, every action of the hand dialog with its
// confirmation, the record bytes (written out by hand), the card texts and
// who gets to see them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/cards/CardSession.h"
#include "core/module/Clock.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"
#include "core/replay/CardEntry.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayReader.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/settings/Settings.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;

constexpr std::uint8_t kAnna = 0;
constexpr std::uint8_t kBoris = 1;
constexpr std::uint8_t kPile = 2;
constexpr std::uint8_t kUmpire = 3;
constexpr std::uint8_t kVault = 4;

// Deck 1 "Events" (5 cards), deck 2 unused, deck 3 "Supply" (3 cards).
Module cardModule() {
    Module m = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 10);
    auto fill = [&m](int d, const std::string& name, int count) {
        Deck& deck = m.decks[static_cast<std::size_t>(d)];
        deck.name = name;
        deck.cardCount = static_cast<std::uint8_t>(count);
        for (int c = 1; c <= count; ++c) {
            Card& card = deck.cards[static_cast<std::size_t>(c)];
            card.text = name + " " + std::to_string(c);
            card.storedLength = static_cast<std::uint32_t>(card.text.size() + 4);
        }
    };
    fill(1, "Events", 5);
    fill(3, "Supply", 3);
    return m;
}

struct Table {
    Table(const Module& module, const fs::path& folder, std::string recordPath)
        : game(module),
          file(std::move(recordPath)),
          settings((folder / "QMX.ini").string()),
          recorder(file, game, prompts),
          session(module, game, recorder, file, prompts, settings, random,
                  SessionFiles{folder.string() + "/", "Cards", folder.string() + "/"}),
          texts(module),
          cards(module, game, recorder, prompts, random, clock, texts, session) {
        auto slot = [this](int s, SlotKind kind, const char* name) {
            game.players[static_cast<std::size_t>(s)].kind = kind;
            game.players[static_cast<std::size_t>(s)].name = name;
        };
        slot(kAnna, SlotKind::Player, "Anna");
        slot(kBoris, SlotKind::Player, "Boris");
        slot(kPile, SlotKind::CardLocation, "Pile");
        slot(kUmpire, SlotKind::GameMaster, "Umpire");
        slot(kVault, SlotKind::CardLocation, "Vault");
        game.identifyProgress = kPlayersComplete;
        game.currentSlot = kAnna;
        session.applyCode(ControlCode::CardsAvailable);
    }
    Bytes record() const { return file.read().value_or(Bytes{}); }
    std::uint8_t place(int deck, int card) const { return game.cardPlace(deck, card); }

    GameState game;
    ReplayFile file;
    Settings settings;
    ScriptedPrompts prompts;
    Random random;
    FixedClock clock{1000000000};  // the first draw after seeding is 18686
    ReplayRecorder recorder;
    PlayerSession session;
    ModuleCardTexts texts;
    CardSession cards;
};

class CardTest : public ::testing::Test {
protected:
    void SetUp() override {
        t = std::make_unique<Table>(module, folder.path(), (folder / "record.tmp").string());
    }
    // Puts the cards into `slot`.
    void give(std::uint8_t slot, std::initializer_list<CardId> cards) {
        for (CardId c : cards) t->game.setCardPlace(c.deck, c.card, slot);
    }
    void openHand(std::vector<HandButton> presses) {
        t->prompts.handPresses.push_back(std::move(presses));
        t->cards.viewCards();
    }

    const Module module = cardModule();
    const test::TempFolder folder{"qmx-cards"};
    std::unique_ptr<Table> t;
};

// ---- who may ------------------------------------------------------------------------

TEST_F(CardTest, ObserversAndUnfinishedTablesAreRefusedWithoutADialog) {
    t->game.currentSlot = kObserver;
    t->cards.dealCard();
    t->cards.viewCards();
    t->game.currentSlot = kAnna;
    t->game.identifyProgress = 3;  // slot 3 still to initialize
    t->cards.viewCards();
    EXPECT_EQ(t->prompts.texts,
              (std::vector<std::string>{"Error: You must be an identified player to deal a card.",
                                        "Error: You must be an identified player to have cards.",
                                        "Error: You must be an identified player to have cards."}));
    EXPECT_TRUE(t->prompts.dealLists.empty());
    EXPECT_TRUE(t->prompts.hands.empty());
    EXPECT_TRUE(t->record().empty());
}

TEST_F(CardTest, CommandsDoNothingWhileTheirStateIsNotEnabled) {
    for (ControlCode code : {ControlCode::CardsNotYetAvailable, ControlCode::CardsNotUsed}) {
        t->session.applyCode(code);
        EXPECT_FALSE(t->cards.dealCard().ran);
        EXPECT_FALSE(t->cards.viewCards().ran);
    }
    EXPECT_TRUE(t->prompts.shown.empty());
}

// ---- dealing ------------------------------------------------------------------------

TEST_F(CardTest, DealListsDecksWithCardsThenLocationsThatHeldCardsAndTheOtherPlayers) {
    t->game.locationHasCards[kVault] = true;
    t->cards.dealCard();
    ASSERT_EQ(t->prompts.dealLists.size(), 1u);
    EXPECT_EQ(t->prompts.dealLists[0].first,
              (std::vector<std::string>{"Events", "Supply", "Vault"}));
    // Not the dealer, not the game master, not a location.
    EXPECT_EQ(t->prompts.dealLists[0].second, (std::vector<std::string>{"Boris"}));
    // Cancel: nothing moves, nothing is written.
    EXPECT_TRUE(t->record().empty());
    EXPECT_EQ(t->place(1, 1), kInDeck);

    // The game master deals to every player.
    t->game.currentSlot = kUmpire;
    t->cards.dealCard();
    EXPECT_EQ(t->prompts.dealLists[1].second, (std::vector<std::string>{"Anna", "Boris"}));
}

TEST_F(CardTest, DealFromADeckDrawsAmongTheCardsStillInItAndRecordsAtOnce) {
    give(kAnna, {{3, 1}});
    t->prompts.deals.push_back(DealAnswer{1, 0});  // Supply to Boris
    t->random.seed(777);                           // re-seeded from the clock all the same
    t->cards.dealCard();
    // 18686 mod 2 = 0: the first card still in the deck, card 2.
    EXPECT_EQ(t->place(3, 2), kBoris);
    EXPECT_EQ(t->place(3, 3), kInDeck);
    EXPECT_EQ(t->record(), (Bytes{255, 237, 2, kBoris, kAnna}));
    EXPECT_EQ(
        t->prompts.texts,
        (std::vector<std::string>{"Card Deal: Anna has dealt a card from deck Supply to Boris"}));
    EXPECT_FALSE(t->game.moveSaved);
    EXPECT_EQ(t->session.autosaveCount(), 1);

    // 18686 mod 5 = 1: the second card of Events.
    EXPECT_TRUE(t->cards.deal(0, kBoris));
    EXPECT_EQ(t->place(1, 2), kBoris);
}

TEST_F(CardTest, DealFromALocationCountsDeckThenCardAndAnEmptiedLocationStaysListed) {
    give(kVault, {{3, 2}, {1, 4}, {1, 5}});
    t->game.locationHasCards[kVault] = true;
    // 18686 mod 3 = 2: deck order first, so (1,4), (1,5), (3,2) and the third is (3,2).
    EXPECT_TRUE(t->cards.deal(20 + kVault, kBoris));
    EXPECT_EQ(t->place(3, 2), kBoris);
    EXPECT_TRUE(t->cards.deal(20 + kVault, kBoris));
    EXPECT_TRUE(t->cards.deal(20 + kVault, kBoris));
    EXPECT_EQ(t->place(1, 4), kBoris);
    EXPECT_EQ(t->place(1, 5), kBoris);
    EXPECT_EQ(t->record(), (Bytes{255, 237, 24, 1, 0, 255, 237, 24, 1, 0, 255, 237, 24, 1, 0}));
    EXPECT_EQ(t->prompts.texts.back(), "Card Deal: Anna has dealt a card from deck Vault to Boris");

    t->prompts.clear();
    t->prompts.deals.push_back(DealAnswer{2, 0});
    t->cards.dealCard();
    EXPECT_EQ(t->prompts.dealLists.back().first,
              (std::vector<std::string>{"Events", "Supply", "Vault"}));
    EXPECT_EQ(t->prompts.texts,
              (std::vector<std::string>{"Error!: This deck has no cards left to deal!"}));
    EXPECT_EQ(t->record().size(), 15u);
}

TEST_F(CardTest, AnEmptyDeckOrNoReceiverDealsNothing) {
    for (int c = 1; c <= 3; ++c) t->game.setCardPlace(3, c, kDiscarded);
    EXPECT_FALSE(t->cards.deal(2, kBoris));
    EXPECT_TRUE(t->prompts.showedText("This deck has no cards left to deal!"));
    EXPECT_FALSE(t->cards.deal(7, kBoris));   // a deck the module does not have
    EXPECT_FALSE(t->cards.deal(20, kBoris));  // slot 0 is no card location
    EXPECT_FALSE(t->cards.deal(255, kBoris));

    // Anna and the game master alone: the reason, not a dialog with nobody in it.
    t->game.players[kBoris].kind = SlotKind::NotUsed;
    t->cards.dealCard();
    EXPECT_TRUE(t->prompts.dealLists.empty());
    EXPECT_TRUE(t->prompts.showedText(
        "There is no other player to deal a card to: a card is always dealt to another player, "
        "never to yourself."));
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(t->place(1, c), kInDeck);
    EXPECT_TRUE(t->record().empty());
}

TEST_F(CardTest, ARecordThatCannotBeOpenedLosesTheEntryButNotTheDeal) {
    Table broken(module, folder.path(), (folder / "missing" / "record.tmp").string());
    EXPECT_TRUE(broken.cards.deal(0, kBoris));
    EXPECT_EQ(broken.place(1, 2), kBoris);
    EXPECT_EQ(broken.prompts.messages, (std::vector<int>{msg::kCouldNotOpenFile}));
    // No "Card Deal" box when the record could not be opened.
    EXPECT_TRUE(broken.prompts.texts.empty());

    broken.game.setCardPlace(1, 3, kAnna);
    broken.prompts.okCancel.push_back(true);
    broken.prompts.handPresses.push_back({HandButton::Discard});
    broken.cards.viewCards();
    EXPECT_EQ(broken.place(1, 3), kDiscarded);
    EXPECT_EQ(broken.prompts.messages.size(), 2u);
}

// ---- the hand dialog --------------------------------------------------------------------

TEST_F(CardTest, TheHandRunsByDeckThenCardAndNextCardWraps) {
    give(kAnna, {{3, 1}, {1, 5}, {1, 2}});
    give(kBoris, {{1, 1}});
    openHand({HandButton::NextCard, HandButton::NextCard, HandButton::NextCard});
    EXPECT_EQ(t->prompts.hands,
              (std::vector<std::string>{"Card 1 of 3|Events 2", "Card 2 of 3|Events 5",
                                        "Card 3 of 3|Supply 1", "Card 1 of 3|Events 2"}));
    EXPECT_TRUE(t->record().empty());
}

TEST_F(CardTest, AnEmptyHandSaysSoAndEveryButtonDoesNothing) {
    openHand({HandButton::NextCard, HandButton::Discard, HandButton::GiveAway,
              HandButton::ShowToOthers});
    for (const std::string& h : t->prompts.hands)
        EXPECT_EQ(h, "Card 0 of 0|You have no cards in your hand");
    EXPECT_TRUE(t->prompts.questions.empty());
    EXPECT_TRUE(t->record().empty());
}

TEST_F(CardTest, DiscardingTheMiddleCardShowsTheFollowingOneAndCountsDown) {
    give(kAnna, {{1, 1}, {1, 2}, {1, 3}});
    t->prompts.okCancel = {true};
    openHand({HandButton::NextCard, HandButton::Discard});
    EXPECT_EQ(t->prompts.questions,
              (std::vector<std::string>{"WARNING: This card will no longer be playable."}));
    EXPECT_EQ(t->prompts.hands.back(), "Card 2 of 2|Events 3");
    EXPECT_EQ(t->place(1, 2), kDiscarded);
    EXPECT_EQ(t->record(), (Bytes{255, 234, kAnna}));
}

TEST_F(CardTest, RemovingTheLastCardWrapsToTheFirstAndTheEmptiedHandSaysSo) {
    give(kAnna, {{1, 1}, {3, 3}});
    t->prompts.okCancel = {true, true};
    openHand({HandButton::NextCard, HandButton::ReturnToDeck, HandButton::ReturnToDeck,
              HandButton::Discard});
    EXPECT_EQ(t->prompts.hands,
              (std::vector<std::string>{"Card 1 of 2|Events 1", "Card 2 of 2|Supply 3",
                                        "Card 1 of 1|Events 1",
                                        "Card 0 of 0|You have no cards in your hand",
                                        "Card 0 of 0|You have no cards in your hand"}));
    EXPECT_EQ(t->record(), (Bytes{255, 232, kAnna, 255, 232, kAnna}));
    EXPECT_EQ(t->place(1, 1), kInDeck);
    EXPECT_EQ(t->place(3, 3), kInDeck);
    EXPECT_EQ(t->prompts.questions.size(), 2u);
}

TEST_F(CardTest, CancelInAConfirmationLeavesEverything) {
    give(kAnna, {{1, 4}});
    openHand({HandButton::ReturnToDeck, HandButton::Discard, HandButton::ShowThenReturn,
              HandButton::ShowToOthers, HandButton::GiveAway});
    EXPECT_EQ(
        t->prompts.questions,
        (std::vector<std::string>{
            "CAUTION: Are you sure you want to put this card back in the deck?",
            "WARNING: This card will no longer be playable.",
            "CAUTION: Are you sure you want to show this card to everyone and then put it back in "
            "the deck?",
            "CAUTION: Are you sure you want to show this card to everyone?",
            "CAUTION: Are you sure you want to give this card away?"}));
    EXPECT_TRUE(t->prompts.giveLists.empty());
    for (const std::string& h : t->prompts.hands) EXPECT_EQ(h, "Card 1 of 1|Events 4");
    EXPECT_EQ(t->place(1, 4), kAnna);
    EXPECT_TRUE(t->record().empty());
}

TEST_F(CardTest, ShowingKeepsTheCountAndShowThenReturnPutsTheCardBack) {
    give(kAnna, {{1, 4}, {3, 2}});
    t->prompts.okCancel = {true, true};
    openHand({HandButton::NextCard, HandButton::ShowToOthers, HandButton::ShowThenReturn});
    EXPECT_EQ(t->prompts.hands,
              (std::vector<std::string>{"Card 1 of 2|Events 4", "Card 2 of 2|Supply 2",
                                        "Card 2 of 2|Supply 2", "Card 1 of 1|Events 4"}));
    // The card as the record holds it: deck and card counted from 0.
    EXPECT_EQ(t->record(), (Bytes{255, 236, 2, 1, kAnna, 255, 231, 2, 1, kAnna}));
    EXPECT_EQ(t->place(3, 2), kInDeck);
}

TEST_F(CardTest, GiveAwayAsksThenOffersTheOtherPlayers) {
    give(kBoris, {{1, 3}});
    t->game.currentSlot = kBoris;
    t->prompts.okCancel = {true, true};
    t->prompts.gives = {std::nullopt, 0};
    openHand({HandButton::GiveAway, HandButton::GiveAway});
    EXPECT_EQ(t->prompts.giveLists, (std::vector<std::vector<std::string>>{{"Anna"}, {"Anna"}}));
    EXPECT_EQ(t->prompts.hands.back(), "Card 0 of 0|You have no cards in your hand");
    EXPECT_EQ(t->place(1, 3), kAnna);
    EXPECT_EQ(t->record(), (Bytes{255, 235, 0, 2, kAnna, kBoris}));

    // Alone with the game master: the Give dialog's list is empty and OK gives nothing.
    give(kAnna, {{1, 1}});
    t->game.currentSlot = kAnna;
    t->game.players[kBoris].kind = SlotKind::NotUsed;
    t->prompts.okCancel = {true};
    t->prompts.gives = {-1};
    openHand({HandButton::GiveAway});
    EXPECT_TRUE(t->prompts.giveLists.back().empty());
    EXPECT_EQ(t->place(1, 1), kAnna);
    EXPECT_EQ(t->record().size(), 6u);
}

TEST_F(CardTest, PlacingSetsTheLocationsFlagAndOffersItAsADealSource) {
    give(kAnna, {{3, 3}});
    t->prompts.places = {1};
    openHand({HandButton::PlaceInLocation});
    EXPECT_EQ(t->prompts.placeLists, (std::vector<std::vector<std::string>>{{"Pile", "Vault"}}));
    EXPECT_TRUE(t->prompts.questions.empty());  // no confirmation
    EXPECT_EQ(t->place(3, 3), kVault);
    EXPECT_TRUE(t->game.locationHasCards[kVault]);
    EXPECT_FALSE(t->game.locationHasCards[kPile]);
    EXPECT_EQ(t->record(), (Bytes{255, 233, kVault, kAnna}));
    t->cards.dealCard();
    EXPECT_EQ(t->prompts.dealLists.back().first,
              (std::vector<std::string>{"Events", "Supply", "Vault"}));
}

TEST_F(CardTest, PlacingWithoutCardLocationsSaysSo) {
    give(kAnna, {{3, 3}});
    t->game.players[kPile].kind = SlotKind::Player;
    t->game.players[kVault].kind = SlotKind::NotUsed;
    openHand({HandButton::PlaceInLocation});
    EXPECT_EQ(t->prompts.texts,
              (std::vector<std::string>{"Error: This game has no card locations defined."}));
    EXPECT_TRUE(t->prompts.placeLists.empty());
    EXPECT_EQ(t->place(3, 3), kAnna);
}

// ---- card texts ----------------------------------------------------------------------

// A module file's card block written by hand: the card block starts at 3.
void writeCardFile(const fs::path& path, const Bytes& records) {
    Bytes bytes{'x', 'y', 'z'};
    bytes.insert(bytes.end(), records.begin(), records.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST_F(CardTest, TextsComeFromTheModuleFileAndAMissingFileGivesMessage34) {
    const fs::path path = folder / "cards.qm4";
    // Events 1 "Go!", then Events 2 with a length running past the end of the file.
    writeCardFile(path, {1, 1, 0, 7, 'G', 'o', '!', 1, 2, 0x10, 0x00, 'a', 'b'});
    ModuleFileCardTexts fromFile(path.string(), 3);
    CardSession cards(module, t->game, t->recorder, t->prompts, t->random, t->clock, fromFile,
                      t->session);
    EXPECT_EQ(cards.cardText({1, 1}), "Go!");
    EXPECT_EQ(cards.cardText({1, 2}), "");
    EXPECT_TRUE(t->prompts.messages.empty());

    ModuleFileCardTexts missing((folder / "gone.qm4").string(), 3);
    CardSession lost(module, t->game, t->recorder, t->prompts, t->random, t->clock, missing,
                     t->session);
    give(kAnna, {{1, 1}});
    t->prompts.handPresses.push_back({});
    lost.viewCards();
    EXPECT_EQ(t->prompts.hands, (std::vector<std::string>{"Card 1 of 1|"}));
    EXPECT_EQ(t->prompts.messages, (std::vector<int>{msg::kNoCardData}));
}

TEST_F(CardTest, ATextLongerThanTheEditorAllowsIsCut) {
    const fs::path path = folder / "long.qm4";
    // 1,996 characters of text: length 2,000 = 0x07D0.
    Bytes records(2000, 'w');
    records[0] = 1;
    records[1] = 1;
    records[2] = 0x07;
    records[3] = 0xD0;
    writeCardFile(path, records);
    ModuleFileCardTexts fromFile(path.string(), 3);
    CardSession cards(module, t->game, t->recorder, t->prompts, t->random, t->clock, fromFile,
                      t->session);
    EXPECT_EQ(cards.cardText({1, 1}), std::string(1064, 'w'));
}

// ---- secrecy ------------------------------------------------------------------------

// Each viewer against each place: the hand dialog shows a card's text only to
// the slot holding it; the replay shows a given card only to giver and receiver.
TEST_F(CardTest, OnlyTheHolderSeesACardsText) {
    const std::uint8_t viewers[] = {kAnna, kBoris, kUmpire, kObserver};
    const std::uint8_t places[] = {kInDeck, kAnna, kBoris, kUmpire, kPile, kDiscarded};
    for (std::uint8_t viewer : viewers) {
        for (std::uint8_t place : places) {
            SCOPED_TRACE(std::to_string(viewer) + " looking at a card in " + std::to_string(place));
            t->prompts = ScriptedPrompts{};
            t->game.setCardPlace(1, 1, place);
            t->game.currentSlot = viewer;
            t->prompts.handPresses.push_back({HandButton::NextCard});
            t->cards.viewCards();
            bool sawText = false;
            for (const std::string& h : t->prompts.hands)
                sawText = sawText || h.find("Events 1") != std::string::npos;
            EXPECT_EQ(sawText, viewer == place);
        }
    }
    // The give entry of Anna to Boris, replayed on each machine.
    const Bytes given{255, 235, 0, 0, kBoris, kAnna};
    for (std::uint8_t viewer : viewers) {
        t->game.currentSlot = viewer;
        ReplayReader reader(given);
        reader.bytes(2);
        const auto e = readCardEntry(ReplayCode::CardGiven, reader);
        ASSERT_TRUE(e);
        EXPECT_EQ(cardEntryShowsCard(*e, t->game), viewer == kAnna || viewer == kBoris) << +viewer;
        EXPECT_EQ(cardEntryText(*e, module, t->game),
                  viewer == kAnna || viewer == kBoris
                      ? "Anna has given the following card from his hand to Boris"
                      : "Anna has given a card from his hand to Boris");
    }
}

}  // namespace
}  // namespace qmx
