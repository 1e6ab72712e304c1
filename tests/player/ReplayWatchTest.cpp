// Watching a replay through the real frame and board view: the animation's
// steps and waits counted on a test clock, centring, the drag picture of the
// shown unit, the replay cursor, a hidden move, the timer of continuous mode,
// the space bar and Stop in the middle of a move.

#include <QAction>
#include <QDockWidget>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "core/game/HexPicture.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/TextReport.h"
#include "player/CMainFrame.h"
#include "player/CQMXApp.h"
#include "player/CQMXDoc.h"
#include "player/CQMXView.h"
#include "player/CgameControls.h"
#include "player/ReplayDriver.h"
#include "tests/support/PlayerHome.h"
#include "tests/support/ScriptedPrompts.h"

using namespace qmx;

namespace {

// Keeps every wait instead of waiting.
class CountingClock : public Clock {
public:
    std::int64_t secondsNow() const override { return 1000000000; }
    std::uint32_t randomSeed() const override { return 1000000000; }
    std::uint64_t fileTimeNow() const override { return 1; }
    void sleepMs(int ms) override { waits.push_back(ms); }
    int count(int ms) const { return static_cast<int>(std::count(waits.begin(), waits.end(), ms)); }
    std::vector<int> waits;
};

// 255, 241, units, 255, 247, then the origin and the path hexes, then the drop.
Bytes moveRecord(std::initializer_list<int> units, std::vector<Hex> path) {
    Bytes b{255, 241};
    for (int u : units) {
        b.push_back(static_cast<std::uint8_t>(u / 255));
        b.push_back(static_cast<std::uint8_t>(u % 255));
    }
    b.insert(b.end(), {255, 247});
    for (Hex h : path) {
        b.push_back(static_cast<std::uint8_t>(h.column));
        b.push_back(static_cast<std::uint8_t>(h.row));
    }
    b.insert(b.end(), {255, 248});
    return b;
}

}  // namespace

class ReplayWatchTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PlayerHome> m_home;
    QString m_module;
    std::unique_ptr<ScriptedPrompts> m_person;
    std::unique_ptr<CQMXApp> m_app;
    CountingClock m_clock;

    CQMXView* view() { return qobject_cast<CQMXView*>(m_app->frame()->boardView()); }
    GameState& game() { return m_app->document()->game(); }
    CMainFrame* frame() { return m_app->frame(); }
    bool run(const char* command) { return frame()->runCommand(QString::fromLatin1(command)); }

    // Puts `units` on `hex` as one stack, now and at the start of the record.
    void place(Hex hex, std::vector<int> units) {
        test::placeStack(game(), units, hex.column, hex.row);
    }
    void startWith(const Bytes& record, float zoom = 1.0f) {
        QVERIFY(m_app->document()->replayFile().replace(record));
        QVERIFY(view()->setZoom(zoom));
        view()->scrollToPosition({0, 0});
        m_clock.waits.clear();
    }

private slots:
    void init() {
        m_home = std::make_unique<PlayerHome>();
        QVERIFY(m_home->isValid());
        Module m = Module::createEmpty(30, 20, GridOrientation::RowsAligned, 40);
        for (int u = 1; u <= m.unitCount; ++u) {
            m.units[static_cast<std::size_t>(u)].stepImage = {1, 2, 0, 0, 0, 0};
            m.units[static_cast<std::size_t>(u)].name = "Unit " + std::to_string(u);
        }
        m_module = m_home->writeModule(m, QStringLiteral("Battle"));
        QVERIFY(!m_module.isEmpty());

        m_person = std::make_unique<ScriptedPrompts>();
        m_app = m_home->player(m_module, {}, m_person.get());
        QCOMPARE(m_app->start(), CQMXApp::StartResult::Running);
        frame()->resize(1000, 800);
        QCoreApplication::processEvents();
        view()->setSession(&m_app->document()->session(), &m_clock);
    }
    void cleanup() {
        m_app.reset();
        m_person.reset();
        m_home.reset();
    }

    void oneHexAtTwiceTheSizeIsTwentyFiveStepsOfTwentyMs() {
        place({3, 3}, {1});
        startWith(moveRecord({1}, {{3, 3}, {4, 3}}), 2.0f);
        QVERIFY(run("actionStepReplay"));  // start
        QVERIFY(m_app->document()->replay().active());
        QVERIFY(!frame()->commandAction(Command::Save)->isEnabled());
        QVERIFY(frame()->commandAction(Command::StopReplay)->isEnabled());
        run("actionStepReplay");  // the move start: picture and cursor on (3, 3)
        QCOMPARE(view()->replayCursor(), std::optional<Hex>(Hex{3, 3}));
        QCOMPARE(view()->carriedPictureAt(),
                 std::optional<QPoint>(view()->replayPicturePosition({3, 3})));
        QVERIFY(m_clock.waits.empty());
        run("actionStepReplay");  // (3, 3) to (4, 3): 100 px in steps of 20 / 5
        QCOMPARE(m_clock.waits, std::vector<int>(25, 20));
        QCOMPARE(view()->carriedPictureAt(),
                 std::optional<QPoint>(view()->replayPicturePosition({4, 3})));
        run("actionStepReplay");  // the drop
        QVERIFY(!view()->carriedPictureAt());
        QCOMPARE(view()->replayCursor(), std::optional<Hex>(Hex{4, 3}));
        run("actionStepReplay");  // the end
        QVERIFY(m_person->showedText("End of Replay"));
        QVERIFY(!view()->replayCursor());
        QVERIFY(!m_app->document()->replay().active());
        QVERIFY(frame()->commandAction(Command::Save)->isEnabled());
        QCOMPARE(game().stackAt(3, 3), (std::vector<int>{1}));
    }

    void aHexOutsideTheWindowIsCentredFirstAndTheSpeedSetsTheSteps() {
        Preferences p = m_app->settings().preferences();
        p.replaySpeed = 40;  // steps of 8 px
        m_app->settings().setPreferences(p);
        place({2, 2}, {1});
        startWith(moveRecord({1}, {{2, 2}, {3, 2}, {28, 18}}));
        run("actionStepReplay");
        run("actionStepReplay");
        m_clock.waits.clear();
        run("actionStepReplay");  // 50 px: 6 steps of 8 px
        QCOMPARE(m_clock.waits, std::vector<int>(6, 20));
        m_clock.waits.clear();
        QVERIFY(view()->isOutsideWindow({28, 18}));
        run("actionStepReplay");
        QCOMPARE(m_clock.waits.front(), 400);
        QVERIFY(!view()->isOutsideWindow({28, 18}));
        // After the centring (3, 2) lies far outside: only the steps inside wait.
        QVERIFY(m_clock.count(20) > 0);
        QVERIFY(m_clock.count(20) < 1300 / 8);
    }

    void theDragPictureShowsTheFirstUnitThePersonMaySee() {
        GameState& g = game();
        g.players[0].kind = SlotKind::Player;
        g.players[1].kind = SlotKind::Player;
        g.identifyProgress = 30;
        g.currentSlot = 0;
        place({3, 3}, {5, 6});
        g.unit(5).setHiddenBy(1);  // the other player's hidden unit on top
        g.unit(5).setStartHiddenBy(1);
        startWith(moveRecord({5, 6}, {{3, 3}, {4, 3}}));
        run("actionStepReplay");
        run("actionStepReplay");
        QCOMPARE(g.carriedStack, std::uint16_t(5));
        QCOMPARE(view()->carriedPictureUnit(), 6);
        run("actionStepReplay");  // on to (4, 3)
        QCOMPARE(view()->carriedPictureUnit(), 6);
        QVERIFY(view()->carriedPictureAt());
    }

    void aHiddenMoveDrawsNothingAndEndsWithItsMessage() {
        GameState& g = game();
        g.players[0].kind = SlotKind::Player;
        g.players[1].kind = SlotKind::Player;
        g.identifyProgress = 30;
        g.currentSlot = 0;
        place({3, 3}, {5});
        g.unit(5).setHiddenBy(1);
        g.unit(5).setStartHiddenBy(1);
        startWith(moveRecord({5}, {{3, 3}, {4, 3}, {5, 3}, {28, 18}}));
        run("actionStepReplay");
        run("actionStepReplay");  // the whole move at once
        QVERIFY(m_clock.waits.empty());
        QVERIFY(!view()->carriedPictureAt());
        QVERIFY(!view()->replayCursor());
        QVERIFY(view()->isOutsideWindow({28, 18}));  // not scrolled there either
        QCOMPARE(m_person->texts.back(), std::string("Replay: Hidden units have just moved."));
    }

    void continuousModeGoesOnByTimerAndPauseSetsNoFurtherOne() {
        place({3, 3}, {1});
        Bytes record = moveRecord({1}, {{3, 3}, {4, 3}});
        record.insert(record.end(), {255, 242, 'H', 'i', 255, 249});
        startWith(record);
        auto* driver = frame()->findChild<ReplayDriver*>();
        QVERIFY(driver != nullptr);
        run("actionContinuousReplay");
        QVERIFY(driver->timer()->isActive());
        QCOMPARE(driver->timer()->interval(), 200);  // "Replay Delay" 20 x 10 ms
        driver->timerFired();                        // the move start
        QCOMPARE(view()->replayCursor(), std::optional<Hex>(Hex{3, 3}));
        // The space bar plays the next entry; the mode stays continuous.
        QTest::keyClick(view(), Qt::Key_Space);
        QVERIFY(driver->timer()->isActive());
        run("actionPauseReplay");
        QVERIFY(driver->timer()->isActive());  // the timer set still plays its entry
        driver->timerFired();
        QVERIFY(!driver->timer()->isActive());   // and no further one is set
        QTest::keyClick(view(), Qt::Key_Space);  // the drop
        QTest::keyClick(view(), Qt::Key_Space);  // the comment
        QCOMPARE(m_person->readbacks.back().first, std::string("Hi"));
        auto* panel = qobject_cast<CgameControls*>(frame()->panel());
        QVERIFY(panel != nullptr);
        // The comment was the last entry: the replay ended, and its status text went.
        QVERIFY(!m_app->document()->replay().active());
        QCOMPARE(panel->hexNameText(), QString());
        QTest::keyClick(view(), Qt::Key_Space);  // nothing runs: nothing happens
        QVERIFY(!m_app->document()->replay().active());
    }

    void backspaceHomeAndEndMoveAlongTheTimeline() {
        place({3, 3}, {1});
        startWith(moveRecord({1}, {{3, 3}, {4, 3}, {5, 3}}));
        run("actionStepReplay");
        run("actionStepReplay");
        run("actionStepReplay");
        run("actionStepReplay");  // on (5, 3)
        m_clock.waits.clear();
        QTest::keyClick(view(), Qt::Key_Backspace);
        QVERIFY(m_clock.waits.empty());  // a jump draws no way
        QCOMPARE(view()->carriedPictureAt(),
                 std::optional<QPoint>(view()->replayPicturePosition({4, 3})));
        QCOMPARE(view()->carriedPictureUnit(), 1);
        QTest::keyClick(view(), Qt::Key_End);  // after the drop
        QVERIFY(!view()->carriedPictureAt());
        QCOMPARE(game().stackAt(5, 3), (std::vector<int>{1}));
        QTest::keyClick(view(), Qt::Key_Home);
        QCOMPARE(game().stackAt(3, 3), (std::vector<int>{1}));
        QVERIFY(m_app->document()->replay().active());
        QVERIFY(m_person->shown.empty());
    }

    void theReplayListFollowsTheBoardAndJumpsOnADoubleClick() {
        place({3, 3}, {1});
        startWith(moveRecord({1}, {{3, 3}, {4, 3}, {5, 3}}));
        auto* driver = frame()->findChild<ReplayDriver*>();
        QListWidget* list = driver->list();
        QVERIFY(!list->isVisibleTo(frame()));
        run("actionStepReplay");
        QVERIFY(list->isVisibleTo(frame()));
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(0)->text(), QStringLiteral("move: Unit 1 leave 0303"));
        QCOMPARE(list->currentRow(), -1);
        // Wide enough for its lines, which wrap rather than being cut; a
        // width the person gave it comes back with the next replay.
        QVERIFY(list->wordWrap());
        QVERIFY(list->width() >= list->fontMetrics().horizontalAdvance(list->item(0)->text()));
        m_app->document()->settings().setReplayListWidth(340);
        run("actionStopReplay");
        run("actionStepReplay");
        QCoreApplication::processEvents();
        QCOMPARE(frame()->findChild<QDockWidget*>(QStringLiteral("replayDock"))->width(), 340);
        run("actionStepReplay");
        run("actionStepReplay");
        QCOMPARE(list->currentRow(), 1);
        m_clock.waits.clear();
        driver->jumpToLine(3);  // after the drop
        QCOMPARE(list->currentRow(), 3);
        QCOMPARE(game().stackAt(5, 3), (std::vector<int>{1}));
        QVERIFY(m_clock.waits.empty());
        QVERIFY(m_app->document()->replay().active());
    }

    void blueMovesAndRedWatchesTheWholeTurnWithoutSeeingTheHiddenUnit() {
        // The set-up: Blue's units 1, 2 on (2, 2) and 3 on (4, 4); both players
        // initialized ("blue", "red").
        const QString setupPath = m_home->writeTwoPlayerSetup(m_module, QStringLiteral("setup"),
                                                              {{{2, 2}, {1, 2}}, {{4, 4}, {3}}});
        QVERIFY(!setupPath.isEmpty());

        auto startAs = [&](const QString& game, IdentityAnswer who, ScriptedPrompts& person) {
            person.identities = {who};
            auto app = m_home->player(m_module, game, &person);
            app->start();
            app->frame()->resize(1000, 800);
            QCoreApplication::processEvents();
            return app;
        };

        // Blue: the stack of (2, 2) to (4, 3) by way of (3, 3); unit 3 hidden
        // on (4, 4) and taken to (5, 6); a comment; the save.
        ScriptedPrompts blueP;
        auto blue = startAs(setupPath, {0, "blue"}, blueP);
        auto* bview = qobject_cast<CQMXView*>(blue->frame()->boardView());
        doubleClickHex(bview, {2, 2});
        clickHex(bview, {3, 3});
        doubleClickHex(bview, {4, 3});
        doubleClickHex(bview, {4, 4});
        blue->frame()->action("actionHideUnits")->trigger();
        clickHex(bview, {5, 5});
        doubleClickHex(bview, {5, 6});
        blueP.comments = {CommentAnswer{"Go", false}};
        blue->frame()->action("actionComment")->trigger();
        blueP.files = {m_home->path(QStringLiteral("Savedgames/turn1")).toStdString()};
        blue->frame()->action("actionSave")->trigger();
        QVERIFY(blue->document()->game().moveSaved);

        // Red watches it to the end, one Step at a time.
        ScriptedPrompts redP;
        auto red = startAs(m_home->path(QStringLiteral("Savedgames/turn1.qms")), {1, "red"}, redP);
        QCOMPARE(red->document()->game().currentSlot, 1);
        auto* rview = qobject_cast<CQMXView*>(red->frame()->boardView());
        CountingClock clock;
        rview->setSession(&red->document()->session(), &clock);
        const GameState& rg = red->document()->game();
        int triggers = 0;
        red->frame()->runCommand(QStringLiteral("actionStepReplay"));
        while (red->document()->replay().active() && triggers < 50) {
            red->frame()->runCommand(QStringLiteral("actionStepReplay"));
            ++triggers;
            // Unit 3 was open when it was picked up; once hidden, nothing of
            // its way is drawn.
            if (redP.showedText("These units have been hidden")) {
                QVERIFY(!rview->carriedPictureAt() || rview->carriedPictureUnit() != 3);
                QVERIFY(!rview->replayCursor() || *rview->replayCursor() != (Hex{5, 6}));
            }
        }
        QVERIFY(!red->document()->replay().active());
        // Move start, (3, 3), (4, 3), the drop; unit 3's start, its first hex
        // (4, 4), then the hide with the rest of its move and the drop at
        // once; the comment; the save marker with the end.
        QCOMPARE(triggers, 9);
        QVERIFY(redP.showedText("These units have been hidden"));
        QVERIFY(redP.showedText("Hidden units have just moved."));
        QCOMPARE(redP.readbacks.back().first, std::string("Go"));
        QVERIFY(redP.showedText("A Save Game occurred at this point."));
        QVERIFY(redP.showedText("End of Replay"));
        QCOMPARE(rg.stackAt(4, 3), (std::vector<int>{1, 2}));
        QCOMPARE(rg.stackAt(5, 6), (std::vector<int>{3}));
        QVERIFY(!rg.holdingUnits());
    }

    // Ten turns by mail. Blue and Red alternate through files with the real
    // frame: each loads, identifies, replays the other's whole turn (step
    // mode and continuous mode by turns), moves with a comment and saves. Every other turn travels
    // as a text save that a mail client has quoted and re-wrapped with soft line breaks.
    void tenTurnsByMail() {
        ModuleLoad load = loadModuleFile(m_module.toStdString(), ModuleReader::Player);
        QVERIFY(load.ok);
        // No pause between the entries of a continuous replay.
        std::ofstream(m_home->path(QStringLiteral("QMX.ini")).toStdString())
            << "[PREFERENCES]\nReplay Delay=0\n";
        QString game =
            m_home->writeTwoPlayerSetup(m_module, QStringLiteral("setup"),
                                        {{{2, 4}, {1, 2}}, {{3, 8}, {3}}, {{25, 6}, {10, 11}}});
        QVERIFY(!game.isEmpty());

        // What a mail client does to a pasted text: "> " before every line,
        // lines re-wrapped at 25 characters with "=" soft breaks, no NUL.
        auto throughMail = [](const Bytes& text) {
            std::string out = "Here is my move.\r\n\r\n";
            std::string line;
            auto flush = [&](bool soft) {
                out += "> " + line + (soft ? "=\r\n" : "\r\n");
                line.clear();
            };
            for (std::size_t i = 0; i < text.size(); ++i) {
                const char c = static_cast<char>(text[i]);
                if (c == '\0') continue;
                if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                    flush(false);
                    ++i;
                    continue;
                }
                line += c;
                if (line.size() == 25 && line.find("[[") == std::string::npos) flush(true);
            }
            if (!line.empty()) flush(false);
            return out + "\r\nRegards\r\n";
        };

        Hex blueAt{2, 4};
        Hex redAt{25, 6};
        for (int turn = 1; turn <= 10; ++turn) {
            const bool blueTurn = turn % 2 == 1;
            ScriptedPrompts person;
            person.identities = {blueTurn ? IdentityAnswer{0, "blue"} : IdentityAnswer{1, "red"}};
            const auto player = m_home->player(m_module, game, &person);
            CQMXApp& app = *player;
            QCOMPARE(app.start(), CQMXApp::StartResult::Running);
            app.frame()->resize(1300, 800);
            QCoreApplication::processEvents();
            CMainFrame* f = app.frame();
            auto* v = qobject_cast<CQMXView*>(f->boardView());
            CountingClock clock;
            v->setSession(&app.document()->session(), &clock);
            const GameState& g = app.document()->game();
            QCOMPARE(int(g.currentSlot), blueTurn ? 0 : 1);

            if (turn > 1) {
                // The other side's stack stands where its move ended.
                const Hex theirs = blueTurn ? redAt : blueAt;
                const std::vector<int> theirUnits =
                    blueTurn ? std::vector<int>{10, 11} : std::vector<int>{1, 2};
                QCOMPARE(g.stackAt(theirs.column, theirs.row), theirUnits);
                ReplayControl& replay = app.document()->replay();
                if (turn % 3 == 0) {
                    QVERIFY(f->runCommand(QStringLiteral("actionContinuousReplay")));
                    QTRY_VERIFY_WITH_TIMEOUT(!replay.active(), 10000);
                } else {
                    QVERIFY(f->runCommand(QStringLiteral("actionStepReplay")));
                    for (int i = 0; i < 100 && replay.active(); ++i)
                        f->runCommand(QStringLiteral("actionStepReplay"));
                }
                QVERIFY(!replay.active());
                QVERIFY(person.showedText("End of Replay"));
                const std::string said = "Turn " + std::to_string(turn - 1);
                QVERIFY(!person.readbacks.empty());
                QCOMPARE(person.readbacks.back().first, said);
                QCOMPARE(g.stackAt(theirs.column, theirs.row), theirUnits);
                // Blue's hidden move of unit 3 names it nowhere in Red's replay
                // list, and Red never sees the unit.
                if (turn == 4) {
                    QCOMPARE(g.stackAt(4, 9), (std::vector<int>{3}));
                    QCOMPARE(hexPicture(g, {4, 9}, false).unit, 0);
                    auto* list = f->findChild<QListWidget*>(QStringLiteral("replayList"));
                    QVERIFY(list != nullptr);
                    for (int i = 0; i < list->count(); ++i)
                        QVERIFY(!list->item(i)->text().contains(QStringLiteral("Unit 3")));
                }
            }

            // Watched: the record starts afresh for this side's move.
            if (turn > 1) {
                person.yesNo = {true};
                QVERIFY(f->runCommand(QStringLiteral("actionResetRecorder")));
                QVERIFY(!app.document()->replayFile().exists() ||
                        app.document()->replayFile().read().value_or(Bytes{}).empty());
                // The list no longer shows the erased move.
                QCOMPARE(f->findChild<QListWidget*>(QStringLiteral("replayList"))->count(), 0);
            }
            // The move: the own stack one hex on, by way of a click.
            Hex& at = blueTurn ? blueAt : redAt;
            const Hex to{at.column + (blueTurn ? 1 : -1), at.row};
            doubleClickHex(v, at);
            clickHex(v, to);
            doubleClickHex(v, to);
            QCOMPARE(g.stackAt(to.column, to.row),
                     blueTurn ? (std::vector<int>{1, 2}) : (std::vector<int>{10, 11}));
            at = to;
            if (turn == 1) {
                // Blue hides unit 3 where it stands: Red sees that it was hidden.
                doubleClickHex(v, {3, 8});
                f->action(QStringLiteral("actionHideUnits"))->trigger();
                doubleClickHex(v, {3, 8});
            } else if (turn == 3) {
                // ... and moves it, hidden, two turns later.
                doubleClickHex(v, {3, 8});
                clickHex(v, {4, 8});
                doubleClickHex(v, {4, 9});
                QCOMPARE(g.stackAt(4, 9), (std::vector<int>{3}));
            }
            person.comments = {CommentAnswer{"Turn " + std::to_string(turn), false}};
            f->action(QStringLiteral("actionComment"))->trigger();
            const std::string name =
                m_home->path(QStringLiteral("Savedgames/turn%1").arg(turn)).toStdString();
            person.files = {name};
            if (turn % 2 == 0) {
                f->action(QStringLiteral("actionSaveEncoded"))->trigger();
                const auto text = readWholeFile(name + ".txt");
                QVERIFY(text.has_value());
                const std::string mail = throughMail(*text);
                game = QString::fromStdString(name + "-mail.txt");
                std::ofstream(game.toStdString(), std::ios::binary) << mail;
            } else {
                f->action(QStringLiteral("actionSave"))->trigger();
                game = QString::fromStdString(name + ".qms");
            }
            QVERIFY(g.moveSaved);
        }

        // After turn ten Blue loads Red's last move, replays it and writes the
        // three reports; each equals the report built from the file itself.
        ScriptedPrompts person;
        person.identities = {IdentityAnswer{0, "blue"}};
        const auto player = m_home->player(m_module, game, &person);
        CQMXApp& app = *player;
        QCOMPARE(app.start(), CQMXApp::StartResult::Running);
        CMainFrame* f = app.frame();
        QVERIFY(f->runCommand(QStringLiteral("actionStepReplay")));
        for (int i = 0; i < 100 && app.document()->replay().active(); ++i)
            f->runCommand(QStringLiteral("actionStepReplay"));
        QCOMPARE(app.document()->game().stackAt(blueAt.column, blueAt.row),
                 (std::vector<int>{1, 2}));
        QCOMPARE(app.document()->game().stackAt(redAt.column, redAt.row),
                 (std::vector<int>{10, 11}));

        GameState fileState(load.module);
        ScriptedPrompts quiet;
        const auto bytes = readWholeFile(game.toStdString());
        QVERIFY(bytes.has_value());
        const SavedGameLoad fromFile = readSavedGame(*bytes, load.module, fileState, quiet);
        QVERIFY(fromFile.ok);
        fileState.currentSlot = 0;
        ModuleFileCardTexts cards(m_module.toStdString(), load.cardOffset);
        const std::pair<const char*, ReportKind> reports[] = {
            {"actionAsciiMove", ReportKind::Move},
            {"actionAsciiPositions", ReportKind::Positions},
            {"actionAsciiSorted", ReportKind::SortedPositions},
        };
        for (const auto& [command, kind] : reports) {
            const std::string out = m_home->path(QString::fromLatin1(command)).toStdString();
            person.files = {out};
            QVERIFY(f->runCommand(QString::fromLatin1(command)));
            const auto written = readWholeFile(out + ".txt");
            QVERIFY2(written.has_value(), command);
            ReportOptions options;
            if (kind == ReportKind::SortedPositions) options.sortByPosition = true;
            std::vector<int> messages;
            const auto expected = buildTextReport(kind, fromFile.replay, load.module, fileState,
                                                  options, cards, messages);
            QVERIFY(expected.has_value());
            QCOMPARE(std::string(written->begin(), written->end()), *expected);
        }
        const auto move = readWholeFile(m_home->path("actionAsciiMove").toStdString() + ".txt");
        QVERIFY(std::string(move->begin(), move->end()).find("Turn 10") != std::string::npos);
    }

    // Stop reaches the replay and the view: the board as the file has it,
    // no picture carried, the commands back.
    void stopInTheMiddleOfAMovePutsEverythingBack() {
        place({3, 3}, {1, 2});
        // The saved game has the stack on (5, 3) already.
        GameState& g = game();
        g.setStackHead(3, 3, 0);
        g.unit(1).column = g.unit(2).column = 5;
        g.setStackHead(5, 3, 1);
        startWith(moveRecord({1, 2}, {{3, 3}, {4, 3}, {5, 3}}));
        for (int i = 0; i < 3; ++i) run("actionStepReplay");
        QVERIFY(view()->carriedPictureAt());
        QVERIFY(run("actionStopReplay"));
        QCOMPARE(g.stackAt(5, 3), (std::vector<int>{1, 2}));
        QVERIFY(!view()->carriedPictureAt());
        QVERIFY(!view()->replayRunning());
        QVERIFY(frame()->commandAction(Command::Load)->isEnabled());
    }
};

QTEST_MAIN(ReplayWatchTest)
#include "ReplayWatchTest.moc"
