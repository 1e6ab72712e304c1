// Two turns by mail through the real windows: Blue identifies, moves two
// stacks, hides one, comments and saves; Red loads the file as Red, cannot
// see or take the hidden unit, moves and saves; Blue loads Red's file and
// finds Red's units where Red left them. Mouse and keys go to the board view
// as a person's would; the dialogs are answered by the scripted person.

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "core/game/EncodedSave.h"
#include "core/game/HexPicture.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/replay/ReplayFile.h"
#include "core/session/PlayerSession.h"
#include "player/CMainFrame.h"
#include "player/CQMXApp.h"
#include "player/CQMXDoc.h"
#include "player/CQMXView.h"
#include "player/MailProgram.h"
#include "player/ShellPrompts.h"
#include "tests/support/PlayerHome.h"
#include "tests/support/ScriptedPrompts.h"

using namespace qmx;

namespace {

std::string str(const QString& s) {
    return s.toStdString();
}

// Units 1, 2 on (2, 2) and 3 on (4, 4) are Blue's; 10 and 11 on (8, 8) Red's.
const std::vector<PlayerHome::Stack> kSetup{{{2, 2}, {1, 2}}, {{4, 4}, {3}}, {{8, 8}, {10, 11}}};

// The scripted person, but the turn check's findings open the real dialog;
// the lines it lists are kept, and OK closes it.
struct FindingsDialogPerson : ScriptedPrompts {
    ShellPrompts shell;
    QStringList listed;
    void showFindings(const std::string& title, const std::string& heading,
                      const std::vector<std::string>& lines) override {
        ScriptedPrompts::showFindings(title, heading, lines);
        QTimer::singleShot(0, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || dialog->objectName() != QStringLiteral("findingsDialog")) return;
            auto* list = dialog->findChild<QListWidget*>(QStringLiteral("findingsList"));
            for (int i = 0; list && i < list->count(); ++i) listed << list->item(i)->text();
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        shell.showFindings(title, heading, lines);
    }
};

}  // namespace

// A person whose turns go to whatever xdg-email is on PATH.
struct MailingPerson : ScriptedPrompts {
    void handToMailProgram(const TurnMail& mail) override {
        ScriptedPrompts::handToMailProgram(mail);
        launchMailProgram(mail, *this, qApp);
    }
};

// Stands in for the browser: the pages the player asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class PlayTurnTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PlayerHome> m_home;
    QString m_module;
    std::vector<std::unique_ptr<ScriptedPrompts>> m_people;

    QString homePath(const QString& name) const { return m_home->path(name); }

    // A player's program on the module, with a saved game and a person.
    std::unique_ptr<CQMXApp> start(const QString& game, ScriptedPrompts*& person) {
        m_people.push_back(std::make_unique<ScriptedPrompts>());
        person = m_people.back().get();
        return m_home->player(m_module, game, person);
    }
    static CQMXView* viewOf(CQMXApp& app) {
        return qobject_cast<CQMXView*>(app.frame()->boardView());
    }
    static Bytes record(CQMXApp& app) {
        return app.document()->replayFile().read().value_or(Bytes{});
    }

private slots:
    void init() {
        m_home = std::make_unique<PlayerHome>();
        QVERIFY(m_home->isValid());
        Module m = Module::createEmpty(12, 10, GridOrientation::RowsAligned, 40);
        for (int u = 1; u <= m.unitCount; ++u)
            m.units[static_cast<std::size_t>(u)].stepImage = {1, 2, 0, 0, 0, 0};
        m_module = m_home->writeModule(m, QStringLiteral("Battle"));
        QVERIFY(!m_module.isEmpty());
        QVERIFY(!m_home->writeTwoPlayerSetup(m_module, QStringLiteral("setup"), kSetup).isEmpty());
    }
    void cleanup() {
        m_people.clear();
        m_home.reset();
    }

    void everyCommandHasItsHandlerOrIsGreyed() {
        ScriptedPrompts* person = nullptr;
        auto app = start(QString(), person);
        QCOMPARE(app->start(), CQMXApp::StartResult::Running);
        CMainFrame* f = app->frame();
        const QList<QAction*> actions = f->commandActions();
        QVERIFY(actions.size() >= 60);
        for (QAction* a : actions) {
            const QString name = a->objectName();
            if (CMainFrame::commandsToCome().contains(name)) {
                QVERIFY2(!a->isEnabled(), qPrintable(name));
                QVERIFY2(!f->runCommand(name), qPrintable(name));
            } else {
                QVERIFY2(f->hasHandler(name), qPrintable(name + " has no handler"));
            }
        }
    }

    void twoTurnsByMail() {
        // ---- Blue's turn ----
        ScriptedPrompts* blueP = nullptr;
        auto blue = start(homePath(QStringLiteral("Savedgames/setup.qms")), blueP);
        blueP->identities = {IdentityAnswer{0, "blue"}};
        QCOMPARE(blue->start(), CQMXApp::StartResult::Running);
        CMainFrame* bf = blue->frame();
        bf->resize(1000, 800);
        QCoreApplication::processEvents();
        QVERIFY(blueP->showedText("Welcome, Blue."));
        QCOMPARE(blue->document()->game().currentSlot, 0);
        QCOMPARE(bf->windowTitle(), QStringLiteral("Battle: setup"));
        CQMXView* view = viewOf(*blue);
        QVERIFY(view != nullptr);

        // The stack of (2, 2) goes to (4, 3) by way of (3, 3).
        doubleClickHex(view, {2, 2});
        const GameState& bg = blue->document()->game();
        QCOMPARE(bg.chain(bg.carriedStack), (std::vector<int>{1, 2}));
        QVERIFY(!bf->commandAction(Command::Save)->isEnabled());
        QVERIFY(!bf->commandAction(Command::Load)->isEnabled());
        // The picture follows the pointer 12 px right and 25 px below it.
        QTest::mouseMove(view->viewport(), hexCentre(view, {3, 3}));
        clickHex(view, {3, 3});
        doubleClickHex(view, {4, 3});
        QCOMPARE(bg.stackAt(4, 3), (std::vector<int>{1, 2}));
        QVERIFY(bf->commandAction(Command::Save)->isEnabled());

        // Unit 3 goes to (5, 6), hidden on the way and stepped with key 2.
        doubleClickHex(view, {4, 4});
        bf->action("actionHideUnits")->trigger();
        QTest::keyClick(view, Qt::Key_2);
        clickHex(view, {5, 6});
        doubleClickHex(view, {5, 6});
        QCOMPARE(int(bg.unit(3).hiddenBy()), 0);
        QCOMPARE(int(bg.unit(3).step), 1);

        blueP->comments = {CommentAnswer{"Go", false}};
        bf->action("actionComment")->trigger();
        blueP->files = {str(homePath(QStringLiteral("Savedgames/turn1")))};
        bf->action("actionSave")->trigger();
        QCOMPARE(bf->windowTitle(), QStringLiteral("Battle: turn1"));
        QVERIFY(bg.moveSaved);

        const Bytes expected{
            255, 241, 0,   1,   0,   2,   255, 247, 2, 2, 3, 3,  // (2, 2) taken to (3, 3)
            4,   3,    // (4, 3): the first click of the double click
            255, 248,  // put down
            255, 241, 0,   3,   255, 247, 4,   4,   4, 4,  // unit 3, recorded by Hide Units
            255, 223, 0,   0,                              // hidden by slot 0
            255, 224, 1,   0,                              // key 2: step 1
            5,   6,   5,   6,   255, 248,                  // to (5, 6), put down
            255, 242, 'G', 'o', 255, 249,                  // the comment
            255, 253};                                     // the save
        QCOMPARE(record(*blue), expected);

        // ---- Red's turn ----
        ScriptedPrompts* redP = nullptr;
        auto red = start(homePath(QStringLiteral("Savedgames/turn1.qms")), redP);
        redP->identities = {IdentityAnswer{1, "red"}};
        QCOMPARE(red->start(), CQMXApp::StartResult::Running);
        red->frame()->resize(1000, 800);
        QCoreApplication::processEvents();
        const GameState& rg = red->document()->game();
        QCOMPARE(rg.currentSlot, 1);
        CQMXView* rview = viewOf(*red);
        // Blue's hidden unit: not drawn, and a double click takes nothing.
        QCOMPARE(hexPicture(rg, {5, 6}, false).unit, 0);
        doubleClickHex(rview, {5, 6});
        QVERIFY(!rg.holdingUnits());
        QCOMPARE(record(*red), expected);  // the record came with the game
        // Red's stack of (8, 8) to (7, 7).
        doubleClickHex(rview, {8, 8});
        clickHex(rview, {7, 7});
        doubleClickHex(rview, {7, 7});
        QCOMPARE(rg.stackAt(7, 7), (std::vector<int>{10, 11}));
        // Ctrl+S saves; the dialog proposes a name of Red's own, not Blue's file.
        redP->files = {str(homePath(QStringLiteral("Savedgames/turn2")))};
        QTest::keyClick(rview, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(homePath(QStringLiteral("Savedgames/turn2.qms"))));
        QVERIFY2(QString::fromStdString(redP->fileDialogs.back()).contains(" Battle - Red - "),
                 redP->fileDialogs.back().c_str());

        // ---- Blue loads Red's move ----
        blueP->files = {str(homePath(QStringLiteral("Savedgames/turn2.qms")))};
        // A mistyped password leaves Blue watching; Identify Player tries again.
        blueP->identities = {IdentityAnswer{0, "bleu"}, IdentityAnswer{0, "blue"}};
        bf->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(bf));
        QTest::keyClick(bf, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(bf->windowTitle(), QStringLiteral("Battle: turn2"));
        QCOMPARE(int(bg.currentSlot), int(kObserver));
        bf->action("actionIdentify")->trigger();
        QCOMPARE(bg.currentSlot, 0);
        QCOMPARE(bg.stackAt(7, 7), (std::vector<int>{10, 11}));
        QCOMPARE(bg.stackAt(8, 8), std::vector<int>{});
        // Blue still sees the unit Blue hid.
        QCOMPARE(hexPicture(bg, {5, 6}, false).unit, 3);
    }

    // A crash, a double click on an attachment, Load and Paste over an unsaved
    // move, and a damaged game: nothing is lost without being asked.
    void nothingIsLostOnTheWayToTheNextGame() {
        const QString setup = homePath(QStringLiteral("Savedgames/setup.qms"));
        // Work files of copies that crashed go at the next start; a running
        // copy's stays.
        const QString crashed = homePath(QStringLiteral("deadbeef.tmp"));
        const QString running = homePath(QStringLiteral("cafe.tmp"));
        for (const QString& f : {crashed, running}) {
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        ReplayFileLock other(str(running));
        QVERIFY(other.held());

        ScriptedPrompts* p = nullptr;
        auto first = start(setup, p);
        p->identities = {IdentityAnswer{0, "blue"}};
        QCOMPARE(first->start(), CQMXApp::StartResult::Running);
        QVERIFY(!QFile::exists(crashed));
        QVERIFY(QFile::exists(running));
        first->frame()->resize(1000, 800);
        QCoreApplication::processEvents();
        doubleClickHex(viewOf(*first), {2, 2});
        doubleClickHex(viewOf(*first), {3, 3});
        const std::string autosave = first->document()->session().autosavePath();
        QVERIFY(QFile::exists(QString::fromStdString(autosave)));
        first.reset();  // the program dies: no Exit, no question

        // Started on a saved game, the player still offers the autosave;
        // declined, it stays and the named game loads.
        auto second = start(setup, p);
        p->yesNo = {false};
        p->identities = {IdentityAnswer{0, "blue"}};
        QCOMPARE(second->start(), CQMXApp::StartResult::Running);
        QVERIFY(p->showedText(kAutosaveQuestion));
        QVERIFY(QFile::exists(QString::fromStdString(autosave)));
        const GameState& g = second->document()->game();
        QCOMPARE(g.stackAt(2, 2), (std::vector<int>{1, 2}));
        CMainFrame* f = second->frame();
        f->resize(1000, 800);
        QCoreApplication::processEvents();

        // An unsaved move: Load and Paste ask the question Exit asks.
        doubleClickHex(viewOf(*second), {8, 8});
        doubleClickHex(viewOf(*second), {7, 7});
        QVERIFY(!g.moveSaved);
        p->clear();
        p->yesNo = {false};
        p->files = {str(setup)};
        f->action("actionLoad")->trigger();
        QVERIFY(p->showedText(kUnsavedMoveQuestion));
        QCOMPARE(p->files.size(), std::size_t(1));  // no file dialog
        QCOMPARE(g.stackAt(7, 7), (std::vector<int>{10, 11}));
        second->document()->session().copyGameAsText();
        p->clear();
        p->yesNo = {false};
        f->action("actionPasteGame")->trigger();
        QVERIFY(p->showedText(kUnsavedMoveQuestion));
        QCOMPARE(g.stackAt(7, 7), (std::vector<int>{10, 11}));

        // A damaged game asks before it replaces this one; Cancel keeps it.
        // Unit 4 stands off the map, which a load must mend.
        const QString damaged =
            m_home->writeTwoPlayerSetup(m_module, QStringLiteral("damaged"), kSetup,
                                        [](GameState& s) { s.unit(4).column = 200; });
        p->clear();
        p->yesNo = {true};
        p->loadDamaged = {false};
        p->files = {str(damaged)};
        f->action("actionLoad")->trigger();
        QVERIFY(p->texts.size() == 1 &&
                p->texts[0].find("Loading it needs these corrections") != std::string::npos);
        QCOMPARE(g.stackAt(7, 7), (std::vector<int>{10, 11}));
        QCOMPARE(f->windowTitle(), QStringLiteral("Battle: setup"));
        second.reset();

        // Accepted, the autosave (Red's move now) is continued.
        auto third = start(setup, p);
        p->yesNo = {true};
        QCOMPARE(third->start(), CQMXApp::StartResult::Running);
        QCOMPARE(third->document()->game().stackAt(7, 7), (std::vector<int>{10, 11}));
    }

    // Blue's own save is found when Red's reply is loaded: an honest reply
    // gives the status line, one edited between the moves the list.
    void aReplyIsCheckedAgainstTheSaveItAnswers() {
        m_people.push_back(std::make_unique<FindingsDialogPerson>());
        auto* person = static_cast<FindingsDialogPerson*>(m_people.back().get());
        auto blue =
            m_home->player(m_module, homePath(QStringLiteral("Savedgames/setup.qms")), person);
        person->identities = {IdentityAnswer{0, "blue"}};
        QCOMPARE(blue->start(), CQMXApp::StartResult::Running);
        CMainFrame* f = blue->frame();
        f->resize(1000, 800);
        QCoreApplication::processEvents();
        doubleClickHex(viewOf(*blue), {2, 2});
        doubleClickHex(viewOf(*blue), {4, 3});
        person->files = {str(homePath(QStringLiteral("Savedgames/turn1")))};
        f->action("actionSave")->trigger();

        // Red's replies: a comment added to the record; the same with unit
        // 11 stepped outside it.
        const Module& module = blue->document()->module();
        GameState red(module);
        ScriptedPrompts quiet;
        const SavedGameLoad sent = loadSavedGame(
            str(homePath(QStringLiteral("Savedgames/turn1.qms"))), module, red, quiet);
        QVERIFY(sent.ok);
        Bytes record = sent.replay;
        record.insert(record.end(), {255, 242, 'O', 'k', 255, 249, 255, 253});
        auto write = [&](const QString& name) {
            QVERIFY(
                writeFileAtomically(str(homePath(name)), serializeSavedGame(red, module, record)));
        };
        write(QStringLiteral("honest.qms"));
        red.unit(11).step = 1;
        write(QStringLiteral("edited.qms"));

        person->identities = {IdentityAnswer{0, "blue"}};
        person->files = {str(homePath(QStringLiteral("honest.qms")))};
        f->action("actionLoad")->trigger();
        QCOMPARE(f->statusBar()->currentMessage(),
                 QStringLiteral("Checked against your save turn1.qms: every change is in the "
                                "replay."));
        QVERIFY(person->findings.empty());

        person->identities = {IdentityAnswer{0, "blue"}};
        person->files = {str(homePath(QStringLiteral("edited.qms")))};
        f->action("actionLoad")->trigger();
        QCOMPARE(person->listed,
                 QStringList{QStringLiteral("Unit 11: step 1 after the replay, 2 in the reply")});
    }

    // Send Turn by Mail with a stand-in xdg-email that writes down its
    // arguments; then with none on PATH.
    void sendTurnByMailHandsTheSavedGameToTheMailProgram() {
        const QString bin = homePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString argsFile = homePath(QStringLiteral("xdg-email-args"));
        {
            QFile script(bin + QStringLiteral("/xdg-email"));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$QMX_TEST_MAIL_ARGS\"\n");
            script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("QMX_TEST_MAIL_ARGS", argsFile.toLocal8Bit());
        qputenv("PATH", bin.toLocal8Bit() + ":" + path);

        m_people.push_back(std::make_unique<MailingPerson>());
        ScriptedPrompts* person = m_people.back().get();
        auto blue =
            m_home->player(m_module, homePath(QStringLiteral("Savedgames/setup.qms")), person);
        person->identities = {IdentityAnswer{0, "blue"}};
        QCOMPARE(blue->start(), CQMXApp::StartResult::Running);
        CMainFrame* f = blue->frame();
        QVERIFY(f->action("actionSendMail")->isEnabled());
        doubleClickHex(viewOf(*blue), {2, 2});
        doubleClickHex(viewOf(*blue), {4, 3});
        person->texts.clear();
        person->files = {str(homePath(QStringLiteral("Savedgames/turn1")))};
        QCOMPARE(f->action("actionSendMail")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
        f->action("actionSendMail")->trigger();
        QCOMPARE(person->mails.size(), std::size_t(1));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(argsFile).size() > 0, 10000);
        QTRY_VERIFY(person->mails.size() == 1 && qApp->findChildren<QProcess*>().empty());

        QFile file(argsFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> args = file.readAll().split('\0');
        const QString game = homePath(QStringLiteral("Savedgames/turn1.qms"));
        QCOMPARE(args.mid(0, 3),
                 (QList<QByteArray>{"--utf8", "--subject", "QMX: Battle, Blue's move"}));
        QCOMPARE(args.value(3), QByteArray("--body"));
        QCOMPARE(args.mid(5, 2), (QList<QByteArray>{"--attach", game.toLocal8Bit()}));
        // The body's text and the text save beside the game decode to its bytes.
        const auto bytes = readWholeFile(str(game));
        QVERIFY(bytes);
        const QByteArray body = args.value(4);
        QVERIFY(body.startsWith("Blue's move in Battle: "));
        QCOMPARE(decodeTextSave(std::span(reinterpret_cast<const std::uint8_t*>(body.constData()),
                                          static_cast<std::size_t>(body.size()))),
                 bytes);
        const auto text = readWholeFile(str(homePath(QStringLiteral("Savedgames/turn1.txt"))));
        QVERIFY(text);
        QCOMPARE(decodeTextSave(*text), bytes);
        GameState sent(blue->document()->module());
        ScriptedPrompts quiet;
        QVERIFY(loadSavedGame(str(game), blue->document()->module(), sent, quiet).ok);
        QCOMPARE(sent.stackAt(4, 3), (std::vector<int>{1, 2}));
        QVERIFY2(person->texts.empty(), person->texts.empty() ? "" : person->texts[0].c_str());

        // No mail program: where the files are, and the text on the clipboard.
        qputenv("PATH", bin.toLocal8Bit() + "/none");
        person->files = {str(homePath(QStringLiteral("Savedgames/turn1b")))};
        f->action("actionSendMail")->trigger();
        qputenv("PATH", path);
        QTRY_COMPARE(person->texts.size(), std::size_t(1));
        QVERIFY(person->texts[0].find("xdg-email is not installed") != std::string::npos);
        QVERIFY(person->texts[0].find(str(homePath(QStringLiteral("Savedgames/turn1b.txt")))) !=
                std::string::npos);
        QVERIFY(looksLikeTextSave(
            std::span(reinterpret_cast<const std::uint8_t*>(person->clipboard.data()),
                      person->clipboard.size())));
    }

    // Export After-Action Report: the saved games in the order they were
    // saved, as the identified player sees them, and the page opened.
    void exportAfterActionReportWritesThePageAndOpensIt() {
        ScriptedPrompts* person = nullptr;
        auto blue = start(homePath(QStringLiteral("Savedgames/setup.qms")), person);
        person->identities = {IdentityAnswer{0, "blue"}};
        QCOMPARE(blue->start(), CQMXApp::StartResult::Running);
        CMainFrame* f = blue->frame();
        doubleClickHex(viewOf(*blue), {2, 2});
        doubleClickHex(viewOf(*blue), {4, 3});
        person->files = {str(homePath(QStringLiteral("Savedgames/turn1")))};
        f->action("actionSave")->trigger();
        UrlCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
        const QString report = homePath(QStringLiteral("report"));
        person->fileLists = {{str(homePath(QStringLiteral("Savedgames/turn1.qms"))),
                              str(homePath(QStringLiteral("Savedgames/setup.qms")))}};
        person->folders = {str(report)};
        f->action("actionExportAar")->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(browser.urls, QList<QUrl>{QUrl::fromLocalFile(report + "/index.html")});
        const auto page = readWholeFile(str(report + "/index.html"));
        QVERIFY(page);
        const std::string text(page->begin(), page->end());
        const auto setup = text.find("1 of 2: setup.qms"), turn = text.find("2 of 2: turn1.qms");
        QVERIFY(setup != std::string::npos && turn != std::string::npos && setup < turn);
        QVERIFY(QFile::exists(report + "/turn-002.png"));
    }

    void undoFromTheMenuWaitsBetweenPasses() {
        ScriptedPrompts* person = nullptr;
        auto app = start(homePath(QStringLiteral("Savedgames/setup.qms")), person);
        QCOMPARE(app->start(), CQMXApp::StartResult::Running);
        app->frame()->resize(1000, 800);
        QCoreApplication::processEvents();
        CQMXView* view = viewOf(*app);
        const GameState& g = app->document()->game();
        doubleClickHex(view, {2, 2});
        clickHex(view, {6, 6});
        QTest::keyClick(app->frame(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(!g.holdingUnits());
        QCOMPARE(g.stackAt(2, 2), (std::vector<int>{1, 2}));
        // An ordinary move back to the start hex: the replay shows the jump.
        QCOMPARE(record(*app), (Bytes{255, 241, 0, 1, 0, 2, 255, 247, 2, 2, 6, 6, 2, 2, 255, 248}));
    }
};

QTEST_MAIN(PlayTurnTest)
#include "PlayTurnTest.moc"
