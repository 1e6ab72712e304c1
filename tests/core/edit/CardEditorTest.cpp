// The rules of Edit Cards on a module in memory.
#include <gtest/gtest.h>

#include "core/edit/CardEditor.h"
#include "core/module/MessageTable.h"
#include "tests/support/FakeEditorPrompts.h"

using namespace qmx;
using qmx::test::FakeEditorPrompts;

namespace {

class CardEditorTest : public ::testing::Test {
protected:
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 40);
    EditHistory history;
    FakeEditorPrompts prompts;
};

}  // namespace

TEST_F(CardEditorTest, TypingIntoADeckWithoutCardsIsRefused) {
    CardEditor e(m, history, prompts);
    EXPECT_EQ(e.deck(), 1);
    EXPECT_EQ(e.card(), 0);
    EXPECT_FALSE(e.typeText("Orders"));
    EXPECT_EQ(prompts.messages, std::vector<int>{editormsg::kAddCardFirst});
    EXPECT_EQ(e.text(), "");
    e.finish();
    EXPECT_EQ(m.decks[1].cardCount, 0);
    EXPECT_EQ(m.decks[1].cards[1].storedLength, 0u);
}

TEST_F(CardEditorTest, TheTextGoesIntoTheCardWhenLeavingIt) {
    CardEditor e(m, history, prompts);
    e.addCard();
    EXPECT_EQ(e.card(), 1);
    EXPECT_TRUE(e.typeText("Attack at dawn"));
    EXPECT_EQ(m.decks[1].cards[1].text, "");  // not yet
    e.addCard();
    EXPECT_EQ(m.decks[1].cards[1].text, "Attack at dawn");
    EXPECT_EQ(m.decks[1].cards[1].storedLength, 18u);
    EXPECT_EQ(e.card(), 2);
    EXPECT_EQ(e.text(), "");
    // A card left empty is kept with stored length 4.
    e.cardSpin(-1);
    EXPECT_EQ(m.decks[1].cards[2].storedLength, 4u);
    EXPECT_EQ(e.text(), "Attack at dawn");
    e.cardSpin(-1);
    EXPECT_EQ(e.card(), 1);
    e.cardSpin(5);
    EXPECT_EQ(e.card(), 2);
}

TEST_F(CardEditorTest, TextIsCutAt1064Characters) {
    CardEditor e(m, history, prompts);
    e.addCard();
    e.typeText(std::string(2000, 'x'));
    EXPECT_EQ(e.text().size(), kMaxCardEditText);
    e.finish();
    EXPECT_EQ(m.decks[1].cards[1].storedLength, 1068u);
}

TEST_F(CardEditorTest, AFullDeckKeepsItsCardsAndTheCardShown) {
    m.decks[4].cardCount = 250;
    m.decks[4].cards[250].text = "Last";
    m.decks[4].cards[250].storedLength = 8;
    CardEditor e(m, history, prompts);
    e.deckSpin(3);
    EXPECT_EQ(e.deck(), 4);
    e.cardSpin(300);
    EXPECT_EQ(e.card(), 250);
    EXPECT_EQ(e.text(), "Last");
    e.addCard();
    EXPECT_EQ(prompts.messages, std::vector<int>{editormsg::kDeckFull});
    EXPECT_EQ(m.decks[4].cardCount, 250);
    EXPECT_EQ(e.card(), 250);
    EXPECT_EQ(e.text(), "Last");
    e.finish();
    EXPECT_EQ(m.decks[4].cards[250].text, "Last");
}

TEST_F(CardEditorTest, DeckSpinStopsAtOneAndTwentyAndShowsTheFirstCard) {
    m.decks[2].cardCount = 2;
    m.decks[2].cards[1].text = "One";
    m.decks[2].name = "Allies";
    CardEditor e(m, history, prompts);
    e.deckSpin(-1);
    EXPECT_EQ(e.deck(), 1);
    e.deckSpin(1);
    EXPECT_EQ(e.deck(), 2);
    EXPECT_EQ(e.card(), 1);
    EXPECT_EQ(e.text(), "One");
    EXPECT_EQ(e.deckName(), "Allies");
    e.deckSpin(50);
    EXPECT_EQ(e.deck(), 20);
    EXPECT_EQ(e.card(), 0);
    EXPECT_EQ(e.text(), "");
}

TEST_F(CardEditorTest, DeckNamesAreCopiedAtOnceAndCut) {
    CardEditor e(m, history, prompts);
    e.setDeckName("Axis reinforcements deck");
    EXPECT_EQ(m.decks[1].name, "Axis reinforcements ");
    e.setDeckName("Axis");
    EXPECT_EQ(history.size(), 1u);  // one step for the typing
    history.undo();
    EXPECT_EQ(m.decks[1].name, "");
}

TEST_F(CardEditorTest, UndoTakesBackTheCardAndTheDialogFollows) {
    CardEditor e(m, history, prompts);
    e.addCard();
    e.typeText("Text");
    e.finish();
    history.undo();  // the text
    e.refresh();
    EXPECT_EQ(e.text(), "");
    history.undo();  // the card
    e.refresh();
    EXPECT_EQ(e.card(), 0);
    EXPECT_EQ(m.decks[1].cardCount, 0);
}

TEST_F(CardEditorTest, DeleteTakesOutTheCardShownAsOneStep) {
    CardEditor e(m, history, prompts);
    for (const char* text : {"One", "Two", "Three"}) {
        e.addCard();
        e.typeText(text);
    }
    e.cardSpin(-1);  // card 2, "Two"
    e.deleteCard();
    EXPECT_EQ(m.decks[1].cardCount, 2);
    EXPECT_EQ(m.decks[1].cards[2].text, "Three");
    EXPECT_EQ(m.decks[1].cards[3].text, "");
    EXPECT_EQ(e.card(), 2);
    EXPECT_EQ(e.text(), "Three");
    EXPECT_EQ(history.undoLabel(), "Delete Card");
    history.undo();
    e.refresh();
    EXPECT_EQ(m.decks[1].cardCount, 3);
    EXPECT_EQ(m.decks[1].cards[2].text, "Two");
    // The last card: the one before it is shown; an empty deck deletes nothing.
    e.cardSpin(5);
    e.deleteCard();
    EXPECT_EQ(e.card(), 2);
    e.deleteCard();
    e.deleteCard();
    EXPECT_EQ(e.card(), 0);
    e.deleteCard();
    EXPECT_EQ(m.decks[1].cardCount, 0);
}
