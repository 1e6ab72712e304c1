// Fighting through the real windows: the game-controls panel beside the
// board, the stacks carried into ATTACK and DEFEND with double clicks, a
// one-by-one combat, two declarations and their resolution in order; the
// record's bytes are written out by hand around the texts the result dialog
// showed.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include "core/game/HexPicture.h"
#include "core/replay/ReplayFile.h"
#include "player/CCommentDlg.h"
#include "player/CDEFDICE.h"
#include "player/CMainFrame.h"
#include "player/CQMXApp.h"
#include "player/CQMXDoc.h"
#include "player/CQMXView.h"
#include "player/CResult.h"
#include "player/CgameControls.h"
#include "tests/support/PlayerHome.h"
#include "tests/support/ScriptedPrompts.h"

using namespace qmx;

namespace {

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

}  // namespace

class CombatPanelTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PlayerHome> m_home;
    QString m_module;
    std::unique_ptr<ScriptedPrompts> m_person;

    QString homePath(const QString& name) const { return m_home->path(name); }
    // A stack carried from the board into a box: a click and a double click on it.
    static void intoBox(CQMXView* view, Hex hex, QPushButton* box) {
        doubleClickHex(view, hex);
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseDClick(box, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // A toolbar command, and the notifications it posted.
    static void command(CMainFrame* f, const QString& name) {
        f->runCommand(name);
        QCoreApplication::processEvents();
    }
    static Bytes resultEntry(const std::string& text) {
        Bytes b{255, 238, 2, 6, 255, 242};
        const Bytes t = bytesOf(text + "\r\n\r\n");
        b.insert(b.end(), t.begin(), t.end());
        b.insert(b.end(), {255, 249});
        return b;
    }

private slots:
    void init() {
        m_home = std::make_unique<PlayerHome>();
        QVERIFY(m_home->isValid());
        Module m = Module::createEmpty(12, 10, GridOrientation::RowsAligned, 40);
        for (int u = 1; u <= m.unitCount; ++u) {
            auto& d = m.units[static_cast<std::size_t>(u)];
            d.name = std::string(1, static_cast<char>('A' + (u - 1) % 26));
            d.stepImage = {1, 2, 0, 0, 0, 0};
            d.values[0][0] = static_cast<std::uint8_t>(u);
        }
        m.valueNames[0] = "Att";
        m.setTotalMode(0, TotalMode::Total);
        m_module = m_home->writeModule(m, QStringLiteral("Battle"));
        QVERIFY(!m_module.isEmpty());
        // A and B (1, 2) on (2, 2), C (3) on (4, 4), D (4) on (6, 6), E (5) on (8, 8).
        QVERIFY(!m_home
                     ->writeGame(m_module, QStringLiteral("setup"),
                                 {{{2, 2}, {1, 2}}, {{4, 4}, {3}}, {{6, 6}, {4}}, {{8, 8}, {5}}},
                                 [](GameState& g) { g.identifyProgress = kPlayersNotNeeded; })
                     .isEmpty());
    }
    void cleanup() {
        m_person.reset();
        m_home.reset();
    }

    void fightsThroughThePanel() {
        m_person = std::make_unique<ScriptedPrompts>();
        const auto player = m_home->player(
            m_module, homePath(QStringLiteral("Savedgames/setup.qms")), m_person.get());
        CQMXApp& app = *player;
        QCOMPARE(app.start(), CQMXApp::StartResult::Running);
        CMainFrame* f = app.frame();
        f->resize(1000, 800);
        auto* panel = qobject_cast<CgameControls*>(f->panel());
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->windowTitle(), QStringLiteral("Game Controls"));
        auto* view = qobject_cast<CQMXView*>(f->boardView());
        Preferences p = app.document()->settings().preferences();
        p.commentBeforeDice = false;
        p.defineDiceBeforeRoll = false;
        app.document()->settings().setPreferences(p);
        const GameState& g = app.document()->game();
        QCOMPARE(panel->releaseButton()->text(), QStringLiteral("UNDO"));
        QCOMPARE(panel->nextButton()->text(), QString());

        // Listing a stack: the totals and the count.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, hexCentre(view, {2, 2}));
        QCoreApplication::processEvents();
        // The slot picture carries the facing stroke of the board, in its colour.
        {
            app.document()->game().unit(1).facing = Facing::kShown | 1;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, hexCentre(view, {2, 2}));
            QCoreApplication::processEvents();
            const auto* picture = panel->findChild<QLabel*>(QStringLiteral("picture1"));
            QVERIFY(picture != nullptr);
            const QImage shown = picture->pixmap().toImage();
            const UnitLayout layout = unitLayout({0, 0}, 1.0f, Facing::kShown | 1);
            QVERIFY(layout.facingDot.has_value());
            const Rgb c = facingColorRgb(app.document()->settings().preferences().facingColor);
            QCOMPARE(shown.pixelColor(layout.facingDot->x, layout.facingDot->y),
                     QColor(c.red, c.green, c.blue));
            app.document()->game().unit(1).facing = 0;
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, hexCentre(view, {2, 2}));
            QCoreApplication::processEvents();
        }
        QCOMPARE(panel->totalText(0), QStringLiteral("3"));
        QCOMPARE(panel->countText(), QStringLiteral("2 units"));
        QCOMPARE(panel->slotButton(1)->text(), QStringLiteral("B"));

        // ---- one by one: A, B attack C ----
        // The double click on a box with a fresh stack enters combat mode.
        intoBox(view, {2, 2}, panel->attackButton());
        QCOMPARE(g.gameMode, GameMode::Combat);
        QCOMPARE(panel->releaseButton()->text(), QStringLiteral("RELEASE"));
        QCOMPARE(panel->nextButton()->text(), QStringLiteral("RESOLVE"));
        QVERIFY(!f->commandAction(Command::Save)->isEnabled());
        QCOMPARE(g.stackAt(0, g.combatBoxRow()), (std::vector<int>{1, 2}));
        intoBox(view, {4, 4}, panel->defendButton());
        QCOMPARE(g.stackAt(1, g.combatBoxRow()), (std::vector<int>{3}));
        // Keys reach the board while the panel has the focus: H lists the
        // carried units (none now), Escape closes nothing.
        QTest::keyClick(panel, Qt::Key_Escape);
        QTest::mouseClick(panel->nextButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(g.gameMode, GameMode::Movement);
        QCOMPARE(panel->releaseButton()->text(), QStringLiteral("UNDO"));
        QCOMPARE(panel->nextButton()->text(), QString());
        QVERIFY(!f->commandAction(Command::OneByOne)->isEnabled());
        QCOMPARE(g.stackAt(2, 2), (std::vector<int>{1, 2}));
        QCOMPARE(m_person->results.size(), std::size_t(1));
        const std::string first = m_person->results[0].first;
        QVERIFY(first.rfind("A, B vs. C at 0404\r\n\r\nDie Roll: ", 0) == 0);

        // ---- two declarations ----
        command(f, QStringLiteral("actionCombatMode"));
        command(f, QStringLiteral("actionPreDeclare"));
        QCOMPARE(g.combatMode, std::uint16_t(3));
        QCOMPARE(panel->nextButton()->text(), QStringLiteral("NEXT"));
        intoBox(view, {2, 2}, panel->attackButton());
        intoBox(view, {6, 6}, panel->defendButton());
        QTest::mouseClick(panel->nextButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(panel->pendingText(), QStringLiteral("1 Cmbt pending"));
        command(f, QStringLiteral("actionCombatMode"));
        intoBox(view, {4, 4}, panel->attackButton());
        intoBox(view, {8, 8}, panel->defendButton());
        QTest::mouseClick(panel->nextButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(panel->pendingText(), QStringLiteral("2 Cmbts pending"));
        // Declared units show "D" in the slots.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, hexCentre(view, {6, 6}));
        QCoreApplication::processEvents();
        QCOMPARE(panel->findChild<QLineEdit*>(QStringLiteral("status1"))->text(),
                 QStringLiteral("D"));

        // ---- their resolution, oldest first ----
        command(f, QStringLiteral("actionCombatMode"));
        command(f, QStringLiteral("actionResolveDeclared"));
        QCOMPARE(panel->releaseButton()->text(), QString());
        QTest::mouseClick(panel->nextButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(panel->pendingText(), QStringLiteral("1 Cmbt pending"));
        QTest::mouseClick(panel->nextButton(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(panel->pendingText(), QString());
        QCOMPARE(g.gameMode, GameMode::Combat);
        command(f, QStringLiteral("actionMoveMode"));
        QCOMPARE(g.gameMode, GameMode::Movement);

        QCOMPARE(m_person->results.size(), std::size_t(5));
        const auto& r = m_person->results;
        QCOMPARE(r[1].first, std::string("Combat Declaration:\r\nA, B vs. D at 0606\r\n"));
        QCOMPARE(r[2].first, std::string("Combat Declaration:\r\nC vs. E at 0808\r\n"));
        QVERIFY(r[3].first.rfind("Declared Combat Resolution:\r\nA, B vs. D at 0606\r\n\r\n"
                                 "Die Roll: ",
                                 0) == 0);
        QVERIFY(r[4].first.rfind("Declared Combat Resolution:\r\nC vs. E at 0808\r\n\r\n"
                                 "Die Roll: ",
                                 0) == 0);
        Bytes expected;
        auto add = [&expected](const Bytes& b) {
            expected.insert(expected.end(), b.begin(), b.end());
        };
        add({255, 239, 0, 1, 0, 2, 0, 3, 255, 249});
        add(resultEntry(r[0].first));
        add({255, 239, 0, 1, 0, 2, 0, 4, 255, 249});
        add(resultEntry(r[1].first));
        add({255, 239, 0, 3, 0, 5, 255, 249});
        add(resultEntry(r[2].first));
        add({255, 239, 0, 1, 0, 2, 0, 4, 255, 249});
        add(resultEntry(r[3].first));
        add({255, 239, 0, 3, 0, 5, 255, 249});
        add(resultEntry(r[4].first));
        QCOMPARE(app.document()->replayFile().read().value_or(Bytes{}), expected);

        // The replay of this record on the board highlights each combat's
        // units and shows each result's text.
        m_person->readbacks.clear();
        QVERIFY(f->runCommand(QStringLiteral("actionStepReplay")));
        QVERIFY(app.document()->session().replayRunning());
        int highlightedSteps = 0;
        for (int i = 0; i < 100 && app.document()->session().replayRunning(); ++i) {
            f->runCommand(QStringLiteral("actionStepReplay"));
            QCoreApplication::processEvents();
            if (view->combatHighlight()) ++highlightedSteps;
        }
        QVERIFY(!app.document()->session().replayRunning());
        QVERIFY(highlightedSteps >= 5);
        QVERIFY(!view->combatHighlight());
        QCOMPARE(m_person->readbacks.size(), std::size_t(5));
        // Each shows the result's text, then the comment written with it (none here).
        for (std::size_t i = 0; i < 5; ++i)
            QVERIFY(m_person->readbacks[i].first.rfind(r[i].first, 0) == 0);
    }

    void slotsKeysAndTheStraightEdge() {
        m_person = std::make_unique<ScriptedPrompts>();
        const auto player = m_home->player(
            m_module, homePath(QStringLiteral("Savedgames/setup.qms")), m_person.get());
        CQMXApp& app = *player;
        QCOMPARE(app.start(), CQMXApp::StartResult::Running);
        CMainFrame* f = app.frame();
        f->resize(1000, 800);
        auto* panel = qobject_cast<CgameControls*>(f->panel());
        auto* view = qobject_cast<CQMXView*>(f->boardView());
        const GameState& g = app.document()->game();

        // A slot button takes that one unit out of the listed stack.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, hexCentre(view, {2, 2}));
        QCoreApplication::processEvents();
        QTest::mouseClick(panel->slotButton(1), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(g.chain(g.carriedStack), (std::vector<int>{2}));
        QCOMPARE(g.stackAt(2, 2), (std::vector<int>{1}));
        // Key H in the panel reaches the board, which has the panel list the
        // carried units; step keys act on them too.
        QTest::keyClick(panel, Qt::Key_H);
        QCoreApplication::processEvents();
        QCOMPARE(panel->slotButton(0)->text(), QStringLiteral("B"));
        QCOMPARE(panel->countText(), QStringLiteral("1 unit"));
        QTest::keyClick(panel, Qt::Key_2);
        QCoreApplication::processEvents();
        QCOMPARE(int(g.unit(2).step), 1);

        // No straight edge while units are held.
        QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
        QVERIFY(m_person->showedMessage(5));
        QVERIFY(!view->straightEdgeActive());
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
        doubleClickHex(view, {2, 2});
        QVERIFY(!g.holdingUnits());

        auto move = [view](QPoint at, Qt::MouseButtons buttons) {
            QMouseEvent e(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton,
                          buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(view->viewport(), &e);
        };
        const Hex cursor = *view->cursorHex();
        QTest::mousePress(view->viewport(), Qt::LeftButton, Qt::ControlModifier, QPoint(40, 60));
        QVERIFY(view->straightEdgeActive());
        QCOMPARE(*view->cursorHex(), cursor);  // the press moves no cursor
        move(QPoint(300, 200), Qt::LeftButton);
        QCOMPARE(*view->straightEdgeLine(), QLine(QPoint(40, 60), QPoint(300, 200)));
        // At the window's edge the last line stays.
        move(QPoint(0, 150), Qt::LeftButton);
        QCOMPARE(*view->straightEdgeLine(), QLine(QPoint(40, 60), QPoint(300, 200)));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(0, 150));
        move(QPoint(120, 150), Qt::NoButton);
        QVERIFY(!view->straightEdgeActive());
        QVERIFY(!view->straightEdgeLine());
    }

    void defineDiceKeepsItsRanges() {
        CDEFDICE dialog(20, 6);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Define Dice"));
        QCOMPARE(dialog.countField()->text(), QStringLiteral("20"));
        // Typing 0 and leaving the field: the range message, the old value kept.
        dialog.countField()->setText(QStringLiteral("0"));
        QString shown;
        QTimer::singleShot(0, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        QVERIFY(!dialog.readCount());
        QCOMPARE(shown, QStringLiteral("Enter an integer between 1 and 20."));
        QCOMPARE(dialog.count(), 20);
        dialog.sidesField()->setText(QStringLiteral("100"));
        QVERIFY(dialog.readSides());
        QCOMPARE(dialog.sides(), 100);
    }

    void theResultDialogTakesACommentAndHasNoCancel() {
        CResult dialog(QStringLiteral("Die Roll: 4, 1"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter a Comment"));
        QVERIFY(dialog.resultField()->isReadOnly());
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("encode")) != nullptr);
        QVERIFY(dialog.findChild<QPushButton*>(QStringLiteral("cancel")) == nullptr);
        dialog.commentField()->setPlainText(QStringLiteral("one\ntwo"));
        QCOMPARE(dialog.comment(), QStringLiteral("one\r\ntwo"));
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());  // Escape closes nothing
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("encode")), Qt::LeftButton);
        QVERIFY(dialog.encode());
        QVERIFY(!dialog.isVisible());

        // Ctrl+Return presses OK from the text; OK keeps its place at the right
        // with or without Cancel; Escape cancels where there is a Cancel.
        CResult result(QStringLiteral("Die Roll: 2"));
        CCommentDlg comment(true);
        const auto okMargin = [](QDialog& d) {
            d.show();
            QCoreApplication::processEvents();
            const auto* ok = d.findChild<QPushButton*>(QStringLiteral("ok"));
            return d.width() - ok->geometry().right();
        };
        QCOMPARE(okMargin(result), okMargin(comment));
        QTest::keyClick(result.commentField(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(result.result(), int(QDialog::Accepted));
        QVERIFY(!result.encode());
        QTest::keyClick(comment.textEdit(), Qt::Key_Escape);
        QCOMPARE(comment.result(), int(QDialog::Rejected));
        QVERIFY(!comment.isVisible());
    }
};

QTEST_MAIN(CombatPanelTest)
#include "CombatPanelTest.moc"
