// The cards through the real windows: Blue deals from a deck and from a card
// location, then shows, gives, places, returns and discards the cards of the
// hand in the real hand dialog; Red loads Blue's save, holds the cards given
// and dealt, and sees the replay's card texts, never Blue's hidden ones.
// The Deal, hand, Give and Place dialogs are the real widgets; the person's
// choices in them and the OK/Cancel answers come from the script.

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "core/cards/CardSession.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayPlayback.h"
#include "player/CDeal.h"
#include "player/CMainFrame.h"
#include "player/CQMXApp.h"
#include "player/CQMXDoc.h"
#include "player/CViewHand.h"
#include "player/Cgivecard.h"
#include "player/Cplacecard.h"
#include "tests/support/PlayerHome.h"
#include "tests/support/ScriptedPrompts.h"

using namespace qmx;

namespace {

std::string str(const QString& s) {
    return s.toStdString();
}

QStringList itemsOf(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

QString labelsOf(const QDialog& dialog) {
    QStringList out;
    for (const QLabel* l : dialog.findChildren<QLabel*>()) out << l->text();
    return out.join(QLatin1Char('|'));
}

// The real card dialogs, driven as a person would: the scripted positions
// are chosen in the drop-down lists and OK pressed; in the hand dialog the
// scripted buttons are clicked, then Done.
class CardPerson : public ScriptedPrompts {
public:
    std::deque<std::vector<QString>> handClicks;  // button labels
    QStringList seen;                             // "title: labels: list | list"
    QStringList handSeen;  // "caption|text" on opening and per click, "(greyed)" without a card
    bool fixedPitch = false;

    std::optional<DealAnswer> askDeal(const std::vector<std::string>& sources,
                                      const std::vector<std::string>& receivers) override {
        const auto answer = ScriptedPrompts::askDeal(sources, receivers);
        CDeal dialog(list(sources), list(receivers));
        seen << dialog.windowTitle() + ": " + labelsOf(dialog) + ": " +
                    itemsOf(dialog.sourceList()).join(',') + " | " +
                    itemsOf(dialog.receiverList()).join(',');
        if (dialog.sourceList()->currentIndex() != 0 ||
            dialog.receiverList()->currentIndex() != (receivers.empty() ? -1 : 0))
            seen << QStringLiteral("lists do not start at their first entry");
        if (!answer) return std::nullopt;
        dialog.sourceList()->setCurrentIndex(answer->source);
        dialog.receiverList()->setCurrentIndex(answer->receiver);
        return DealAnswer{dialog.source(), dialog.receiver()};
    }
    void viewHand(CardHand& hand) override {
        CViewHand dialog(hand);
        dialog.show();
        fixedPitch =
            dialog.textField()->font() == QFontDatabase::systemFont(QFontDatabase::FixedFont) &&
            dialog.textField()->isReadOnly();
        const auto look = [&] {
            handSeen << dialog.windowTitle() + "|" + dialog.textField()->toPlainText() +
                            (dialog.button(QStringLiteral("Discard"))->isEnabled() ? ""
                                                                                   : " (greyed)");
        };
        look();
        std::vector<QString> clicks;
        if (!handClicks.empty()) {
            clicks = handClicks.front();
            handClicks.pop_front();
        }
        for (const QString& label : clicks) {
            QPushButton* b = dialog.button(label);
            if (b == nullptr) {
                handSeen << "no button " + label;
                continue;
            }
            QTest::mouseClick(b, Qt::LeftButton);
            look();
        }
        QTest::mouseClick(dialog.button(QStringLiteral("Done")), Qt::LeftButton);
        if (dialog.isVisible()) handSeen << QStringLiteral("Done did not close");
    }
    std::optional<int> askGiveCard(const std::vector<std::string>& players) override {
        const auto answer = ScriptedPrompts::askGiveCard(players);
        Cgivecard dialog(list(players));
        return choose(dialog, dialog.list(), answer);
    }
    std::optional<int> askPlaceCard(const std::vector<std::string>& locations) override {
        const auto answer = ScriptedPrompts::askPlaceCard(locations);
        Cplacecard dialog(list(locations));
        return choose(dialog, dialog.list(), answer);
    }

private:
    static QStringList list(const std::vector<std::string>& names) {
        QStringList out;
        for (const std::string& n : names) out << QString::fromStdString(n);
        return out;
    }
    std::optional<int> choose(QDialog& dialog, QComboBox* box, std::optional<int> answer) {
        seen << dialog.windowTitle() + ": " + labelsOf(dialog) + ": " + itemsOf(box).join(',');
        if (!answer) return std::nullopt;
        box->setCurrentIndex(*answer);
        return box->currentIndex();
    }
};

// Orders: 4 cards, Weather: 3. Blue holds Orders 1, 2, 4 and Weather 1, 3;
// the card location Stash (slot 2) holds Weather 2; Orders 3 is in the deck.
void dealCards(GameState& g) {
    g.players[2].kind = SlotKind::CardLocation;
    g.players[2].name = "Stash";
    for (auto [d, c] : {std::pair{1, 1}, {1, 2}, {1, 4}, {2, 1}, {2, 3}}) g.setCardPlace(d, c, 0);
    g.setCardPlace(2, 2, 2);
}

}  // namespace

class CardDialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PlayerHome> m_home;
    QString m_module;
    std::vector<std::unique_ptr<CardPerson>> m_people;

    QString homePath(const QString& name) const { return m_home->path(name); }
    std::unique_ptr<CQMXApp> start(const QString& game, CardPerson*& person) {
        m_people.push_back(std::make_unique<CardPerson>());
        person = m_people.back().get();
        return m_home->player(m_module, game, person);
    }
    static Bytes record(CQMXApp& app) {
        return app.document()->replayFile().read().value_or(Bytes{});
    }

private slots:
    void init() {
        m_home = std::make_unique<PlayerHome>();
        QVERIFY(m_home->isValid());
        Module m = Module::createEmpty(8, 6, GridOrientation::RowsAligned, 10);
        auto deck = [&m](int d, const char* name, std::vector<std::string> texts) {
            Deck& k = m.decks[static_cast<std::size_t>(d)];
            k.name = name;
            k.cardCount = static_cast<std::uint8_t>(texts.size());
            for (std::size_t c = 0; c < texts.size(); ++c) {
                Card& card = k.cards[c + 1];
                card.text = texts[c];
                card.storedLength = static_cast<std::uint32_t>(card.text.size() + 4);
            }
        };
        deck(1, "Orders", {"Attack at dawn.\r\nAll units.", "Hold the line", "Retreat", "Dig in"});
        deck(2, "Weather", {"Rain", "Snow", "Fog"});
        m_module = m_home->writeModule(m, QStringLiteral("Cards"));
        QVERIFY(!m_module.isEmpty());
        QVERIFY(!m_home->writeTwoPlayerSetup(m_module, QStringLiteral("cards"), {}, dealCards)
                     .isEmpty());
    }
    void cleanup() {
        m_people.clear();
        m_home.reset();
    }

    void anObserverIsRefusedBothCommands() {
        CardPerson* person = nullptr;
        auto app = start(homePath(QStringLiteral("Savedgames/cards.qms")), person);
        QCOMPARE(app->start(), CQMXApp::StartResult::Running);  // identification cancelled
        CMainFrame* f = app->frame();
        QCOMPARE(int(app->document()->game().currentSlot), int(kObserver));
        // Whatever the toolbar shows, the session refuses an observer.
        app->document()->session().applyCode(ControlCode::CardsAvailable);
        f->runCommand(QStringLiteral("actionViewCards"));
        f->runCommand(QStringLiteral("actionDealCard"));
        QVERIFY(person->showedText("You must be an identified player to have cards."));
        QVERIFY(person->showedText("You must be an identified player to deal a card."));
        QVERIFY(person->handSeen.isEmpty());
        QVERIFY(person->dealLists.empty());
    }

    void blueDealsAndPlaysRedHoldsAndReplays() {
        // ---- Blue ----
        CardPerson* blueP = nullptr;
        auto blue = start(homePath(QStringLiteral("Savedgames/cards.qms")), blueP);
        blueP->identities = {IdentityAnswer{0, "blue"}};
        QCOMPARE(blue->start(), CQMXApp::StartResult::Running);
        CMainFrame* bf = blue->frame();
        const GameState& bg = blue->document()->game();
        QCOMPARE(int(bg.currentSlot), 0);
        QVERIFY(bf->commandAction(Command::DealCard)->isEnabled());
        QVERIFY(bf->commandAction(Command::ViewCards)->isEnabled());
        QVERIFY(bg.locationHasCards[2]);  // set by the load

        // From the Stash (its only card), then from Orders (only card 3 is left there).
        blueP->deals = {DealAnswer{2, 0}, DealAnswer{0, 0}};
        bf->action(QStringLiteral("actionDealCard"))->trigger();
        bf->action(QStringLiteral("actionDealCard"))->trigger();
        const QString dealDialog = QStringLiteral(
            "Deal a Card: Select a Deck to deal a card from:|Select a player to deal a card to:: "
            "Orders,Weather,Stash | Red");
        QCOMPARE(blueP->seen, (QStringList{dealDialog, dealDialog}));
        QCOMPARE(int(bg.cardPlace(2, 2)), 1);
        QCOMPARE(int(bg.cardPlace(1, 3)), 1);
        // After the identification's greeting.
        QVERIFY(blueP->texts.size() >= 2);
        QCOMPARE(
            std::vector<std::string>(blueP->texts.end() - 2, blueP->texts.end()),
            (std::vector<std::string>{"Card Deal: Blue has dealt a card from deck Stash to Red",
                                      "Card Deal: Blue has dealt a card from deck Orders to Red"}));

        // The hand: Orders 1, 2, 4, Weather 1, 3.
        blueP->okCancel = {true, true, true, true, true};
        blueP->gives = {0};
        blueP->places = {0};
        blueP->handClicks = {{"Show to Others", "Next Card", "Give Away", "Place in Location",
                              "Return to Deck", "Show then Return", "Discard"}};
        bf->action(QStringLiteral("actionViewCards"))->trigger();
        QVERIFY(blueP->fixedPitch);
        QCOMPARE(blueP->handSeen,
                 (QStringList{"Card 1 of 5|Attack at dawn.\nAll units.",
                              "Card 1 of 5|Attack at dawn.\nAll units.",
                              "Card 2 of 5|Hold the line", "Card 2 of 4|Dig in", "Card 2 of 3|Rain",
                              "Card 2 of 2|Fog", "Card 1 of 1|Attack at dawn.\nAll units.",
                              "Card 0 of 0|You have no cards in your hand (greyed)"}));
        QCOMPARE(blueP->seen.mid(2),
                 (QStringList{"Give a Card: Select a player to give the card to:: Red",
                              "Place a Card: Select the location where the card will go:: Stash"}));
        QCOMPARE(blueP->questions,
                 (std::vector<std::string>{
                     "CAUTION: Are you sure you want to show this card to everyone?",
                     "CAUTION: Are you sure you want to give this card away?",
                     "CAUTION: Are you sure you want to put this card back in the deck?",
                     "CAUTION: Are you sure you want to show this card to everyone and then put it "
                     "back in the deck?",
                     "WARNING: This card will no longer be playable."}));
        const Bytes cards{255, 237, 22, 1, 0,  // dealt from the Stash (20 + slot 2) to Red by Blue
                          255, 237, 0,  1, 0,  // dealt from Orders
                          255, 236, 0,  0, 0,  // Orders 1 shown
                          255, 235, 0,  1, 1, 0,  // Orders 2 given to Red
                          255, 233, 2,  0,        // Orders 4 placed at the Stash
                          255, 232, 0,            // Weather 1 back to the deck
                          255, 231, 1,  2, 0,     // Weather 3 shown, then back to the deck
                          255, 234, 0};           // Orders 1 discarded
        QCOMPARE(record(*blue), cards);
        QCOMPARE(int(bg.cardPlace(1, 1)), int(kDiscarded));
        QCOMPARE(int(bg.cardPlace(1, 2)), 1);
        QCOMPARE(int(bg.cardPlace(1, 4)), 2);
        QCOMPARE(int(bg.cardPlace(2, 1)), int(kInDeck));
        QCOMPARE(int(bg.cardPlace(2, 3)), int(kInDeck));

        blueP->files = {str(homePath(QStringLiteral("Savedgames/turn1")))};
        bf->action(QStringLiteral("actionSave"))->trigger();
        QVERIFY(QFile::exists(homePath(QStringLiteral("Savedgames/turn1.qms"))));

        // ---- Red ----
        CardPerson* redP = nullptr;
        auto red = start(homePath(QStringLiteral("Savedgames/turn1.qms")), redP);
        redP->identities = {IdentityAnswer{1, "red"}};
        QCOMPARE(red->start(), CQMXApp::StartResult::Running);
        CQMXDoc& rd = *red->document();
        QCOMPARE(int(rd.game().currentSlot), 1);
        red->frame()->action(QStringLiteral("actionViewCards"))->trigger();
        redP->handClicks = {{"Next Card", "Next Card", "Next Card"}};
        red->frame()->action(QStringLiteral("actionViewCards"))->trigger();
        QCOMPARE(redP->handSeen, (QStringList{"Card 1 of 3|Hold the line",
                                              "Card 1 of 3|Hold the line", "Card 2 of 3|Retreat",
                                              "Card 3 of 3|Snow", "Card 1 of 3|Hold the line"}));

        // The replay Red watches: the texts of the shown cards and of the card
        // given to Red; nothing of the card placed, returned or discarded.
        ModuleFileCardTexts texts(rd.modulePath(), rd.cardOffset());
        ReplayPlayback playback(rd.game(), rd.module(), *redP, texts, &rd.recorder());
        QStringList replay;
        ReplayEvent e = playback.start(record(*red));
        for (int guard = 0; guard < 40 && e.kind != ReplayEventKind::End; ++guard) {
            e = playback.step();
            if (e.kind != ReplayEventKind::Card) continue;
            for (const ReplayMessage& m : e.messages)
                replay << QString::fromStdString(m.title + ": " + m.text);
            if (e.display) replay << "  " + QString::fromStdString(*e.display);
        }
        QCOMPARE(replay,
                 (QStringList{
                     "Card Deal: Blue has dealt a card from deck Stash to Red",
                     "Card Deal: Blue has dealt a card from deck Orders to Red",
                     "Show Card: Blue has shown but kept the following card from his hand.",
                     "  Attack at dawn.\r\nAll units.",
                     "Give a Card: Blue has given the following card from his hand to Red",
                     "  Hold the line",
                     "Card Placement: Blue has placed a card at the following location: Stash",
                     "Card Play: Blue has returned a card from his hand back to the deck.",
                     "Card Play: Blue has replaced the following card from his hand back in the "
                     "deck:",
                     "  Fog", "Card Play: Blue has discarded a card from his hand."}));
    }
};

QTEST_MAIN(CardDialogsTest)
#include "CardDialogsTest.moc"
