// The player's start-up, main frame and dialogs, driven offscreen.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolTip>
#include <QUrl>
#include <fstream>
#include <memory>

#include "core/combat/CombatRules.h"
#include "core/game/EncodedSave.h"
#include "core/game/GameState.h"
#include "core/game/SavedGame.h"
#include "core/module/Clock.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"
#include "graphics/ModuleGraphics.h"
#include "player/CInformationDlg.h"
#include "player/CMainFrame.h"
#include "player/CModuleInfoDlg.h"
#include "player/CPreferencesDlg.h"
#include "player/CQMXApp.h"
#include "player/CQMXDoc.h"
#include "player/CQMXView.h"
#include "player/CgameControls.h"
#include "player/ControlNotification.h"
#include "player/ShellPrompts.h"
#include "tests/support/PlainTextCheck.h"
#include "tests/support/PlayerHome.h"
#include "tests/support/ScriptedPrompts.h"
#include "widgets/CHelpWindow.h"

using namespace qmx;

namespace {

std::string str(const QString& s) {
    return s.toStdString();
}

// A small module: 12 x 10 hexes, 40 units, value names and notes.
Module battle(const std::string& notes = "Line one\r\nLine two") {
    Module m = Module::createEmpty(12, 10, GridOrientation::RowsAligned, 40);
    m.authorNotes = notes;
    m.valueNames = {"Att", "Def", "Mov", "V4", "V5", "V6"};
    return m;
}

void writeText(const QString& path, const std::string& text) {
    std::ofstream(str(path), std::ios::binary) << text;
}

// A saved game of the module at `modulePath` in which unit 5 has left the
// start stack on hex (1, 1) for hex (7, 4), with a one-entry replay record.
void writeSaveWithUnitFiveMoved(const QString& modulePath, const QString& savePath) {
    ModuleLoad load = loadModuleFile(str(modulePath), ModuleReader::Player);
    QVERIFY(load.ok);
    GameState state(load.module);
    state.unit(4).stackLink = state.unit(4).startStackLink = 6;
    UnitState& five = state.unit(5);
    five.column = five.startColumn = 7;
    five.row = five.startRow = 4;
    five.stackLink = five.startStackLink = 0;
    state.setStackHead(7, 4, 5);
    const std::uint8_t replay[] = {255, 248};
    const Bytes bytes = serializeSavedGame(state, load.module, replay);
    writeText(savePath, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

class ShellWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PlayerHome> m_home;
    QString m_module;
    std::vector<std::unique_ptr<ScriptedPrompts>> m_fakes;

    QString homePath(const QString& name) const { return m_home->path(name); }
    QString iniPath() const { return homePath(QStringLiteral("QMX.ini")); }

    static ScriptedPrompts& fake(CQMXApp& app) {
        return static_cast<ScriptedPrompts&>(app.prompts());
    }

    std::unique_ptr<CQMXApp> startApp(const QString& module, const QString& game = QString()) {
        m_fakes.push_back(std::make_unique<ScriptedPrompts>());
        return m_home->player(module, game, m_fakes.back().get());
    }
    std::unique_ptr<CQMXApp> started() {
        auto app = startApp(m_module);
        if (app->start() != CQMXApp::StartResult::Running) return nullptr;
        QCoreApplication::processEvents();
        return app;
    }

private slots:
    void init() {
        m_home = std::make_unique<PlayerHome>();
        QVERIFY(m_home->isValid());
        m_module = m_home->writeModule(battle(), QStringLiteral("Battle"));
        QVERIFY(!m_module.isEmpty());
    }
    void cleanup() {
        m_fakes.clear();
        m_home.reset();
    }

    // ---- start-up ------------------------------------------------------------------

    void startsWithModulePath() {
        auto app = startApp(m_module);
        QCOMPARE(app->start(), CQMXApp::StartResult::Running);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Vantor"));
        QCOMPARE(QString::fromStdString(app->programFolder()), m_home->folder() + "/");
        CMainFrame* frame = app->frame();
        QVERIFY(frame != nullptr);
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Battle"));
        QCOMPARE(app->document()->module().unitCount, 40);
        // the first tip belongs to the module dialog, which a given path skips
        QVERIFY(fake(*app).prompts.empty());
        QVERIFY(fake(*app).shown.empty());
        // a new game: movement mode, nobody identified, nothing to lose on quitting
        QCOMPARE(app->document()->game().currentSlot, 31);
        QVERIFY(app->document()->game().moveSaved);
        // the document keeps where the module's card records begin
        const ModuleLoad parsed = loadModuleFile(str(m_module), ModuleReader::Player);
        QVERIFY(parsed.ok);
        QVERIFY(parsed.cardOffset > 0);
        QCOMPARE(app->document()->cardOffset(), parsed.cardOffset);
    }

    void moduleDialogAndPromptThree() {
        // cancelled: ends quietly, after prompt 3
        auto app = startApp(QString());
        QCOMPARE(app->start(), CQMXApp::StartResult::Cancelled);
        QCOMPARE(app->exitCode(), 0);
        QCOMPARE(fake(*app).prompts.size(), std::size_t(1));
        QVERIFY(QString::fromStdString(fake(*app).prompts[0])
                    .startsWith("The first thing you have to do"));
        QVERIFY(fake(*app).shown.empty());
        QVERIFY(app->frame() == nullptr);

        // chosen: runs; ticking the box switches prompt 3 off and shows prompt 9
        auto second = startApp(QString());
        fake(*second).files.push_back(str(m_module));
        fake(*second).ticks = {true, false};
        QCOMPARE(second->start(), CQMXApp::StartResult::Running);
        QCOMPARE(fake(*second).prompts.size(), std::size_t(2));
        QVERIFY(QString::fromStdString(fake(*second).prompts[1])
                    .startsWith("You have just disabled a help prompt"));
        QCOMPARE(IniFile::load(str(iniPath())).value("HELP PROMPTS", "Prompt3"), "0");

        // the next start shows no prompt 3
        auto third = startApp(QString());
        QCOMPARE(third->start(), CQMXApp::StartResult::Cancelled);
        QVERIFY(fake(*third).prompts.empty());
    }

    void failedLoadEndsWithLoadError() {
        const QString bad = homePath(QStringLiteral("modules/Bad.qm4"));
        writeText(bad, std::string(700, '\x07'));
        auto app = startApp(bad);
        QCOMPARE(app->start(), CQMXApp::StartResult::LoadFailed);
        QVERIFY(app->exitCode() != 0);
        QVERIFY(!fake(*app).shown.empty());
        const auto& last = fake(*app).shown.back();
        QCOMPARE(last.title, std::string(" "));
        QCOMPARE(last.text, std::string("Load Error. Application Terminated"));
        QVERIFY(app->frame() == nullptr);

        // missing file
        auto missing = startApp(homePath(QStringLiteral("modules/None.qm4")));
        QCOMPARE(missing->start(), CQMXApp::StartResult::LoadFailed);
        QCOMPARE(fake(*missing).shown.back().text,
                 std::string("Load Error. Application Terminated"));
    }

    void missingImageShowsMessage37ThenLoadError() {
        QVERIFY(QFile::remove(homePath(QStringLiteral("modules/Battle.PNG"))));
        auto app = startApp(m_module);
        QCOMPARE(app->start(), CQMXApp::StartResult::LoadFailed);
        const auto& shown = fake(*app).shown;
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].title, std::string("WARNING"));
        QCOMPARE(shown[0].text, std::string("Unable to open module graphics (.qmg) file."));
        QCOMPARE(shown[1].text, std::string("Load Error. Application Terminated"));
    }

    void savedGameAfterModuleIsLoaded() {
        StartOptions parsed = parseStartOptions(
            {"qmx4", "--zoom", "100", "Battle.qm4", "Battle-setup.qms", "extra.qms"});
        QCOMPARE(parsed.modulePath, QStringLiteral("Battle.qm4"));
        QCOMPARE(parsed.savedGamePath, QStringLiteral("Battle-setup.qms"));
        QVERIFY(parseStartOptions({"qmx4", "Battle.qm4"}).savedGamePath.isEmpty());

        const QString save = homePath(QStringLiteral("Savedgames/Battle-setup.qms"));
        writeSaveWithUnitFiveMoved(m_module, save);
        auto app = startApp(m_module, save);
        QCOMPARE(app->start(), CQMXApp::StartResult::Running);
        QVERIFY(app->frame() != nullptr && app->frame()->isVisible());
        QVERIFY(fake(*app).shown.empty());
        const GameState& game = app->document()->game();
        QCOMPARE(int(game.unit(5).column), 7);
        QCOMPARE(int(game.unit(5).row), 4);
        QCOMPARE(int(game.stackHead(7, 4)), 5);
        QCOMPARE(game.stackAt(1, 1).size(), std::size_t(39));
        QCOMPARE(int(game.unit(4).stackLink), 6);
        // nobody is identified yet; nothing new to lose
        QCOMPARE(game.currentSlot, 31);
        QVERIFY(game.moveSaved);
        // the game's replay record replaced this run's
        const auto record = app->document()->replayFile().read();
        QVERIFY(record.has_value());
        QCOMPARE(record->size(), std::size_t(2));
        QCOMPARE(int((*record)[1]), 248);
        QCOMPARE(QString::fromStdString(app->document()->session().savedGameTitle()),
                 QStringLiteral("Battle-setup"));
    }

    void savedGameAloneOpensInItsModule() {
        const QString save = homePath(QStringLiteral("Savedgames/Battle-setup.qms"));
        writeSaveWithUnitFiveMoved(m_module, save);
        QCOMPARE(parseStartOptions({"qmx4", save}).modulePath, save);

        // One module matches: no dialog, the game is loaded into it.
        auto app = startApp(save);
        QCOMPARE(app->start(), CQMXApp::StartResult::Running);
        QCOMPARE(app->frame()->windowTitle(), QStringLiteral("Battle: Battle-setup"));
        QCOMPARE(int(app->document()->game().unit(5).column), 7);
        QVERIFY(fake(*app).fileDialogs.empty());
        QVERIFY(fake(*app).shown.empty());
        QCOMPARE(app->settings().recentModules(), std::vector<std::string>{str(m_module)});
        app.reset();

        // Two editions of the module (same identity, other notes): the person chooses.
        const QString second =
            m_home->writeModule(battle("Second edition"), QStringLiteral("Battle 2"));
        auto choose = startApp(save);
        fake(*choose).choices.push_back(1);
        QCOMPARE(choose->start(), CQMXApp::StartResult::Running);
        QCOMPARE(fake(*choose).choiceLists.size(), std::size_t(1));
        QCOMPARE(fake(*choose).choiceLists[0],
                 (std::vector<std::string>{str(m_module), str(second)}));
        QCOMPARE(fake(*choose).shown[0].title, std::string("Choose a Module"));
        QVERIFY(fake(*choose).shown[0].text.find("\"Battle-setup.qms\"") != std::string::npos);
        QCOMPARE(choose->document()->moduleTitle(), std::string("Battle 2"));
        choose.reset();
        // The one opened last now comes first; cancelling ends the program quietly.
        auto cancel = startApp(save);
        QCOMPARE(cancel->start(), CQMXApp::StartResult::Cancelled);
        QCOMPARE(cancel->exitCode(), 0);
        QCOMPARE(fake(*cancel).choiceLists[0][0], str(second));
        QVERIFY(cancel->frame() == nullptr);
    }

    void savedGameOfAnUnknownModuleSaysSoAndAsks() {
        // A saved game of another module identity, as a text save kept from a mail.
        const QString binary = homePath(QStringLiteral("game.qms"));
        writeSaveWithUnitFiveMoved(m_module, binary);
        const auto bytes = readFilePrefix(str(binary), 1 << 20);
        QVERIFY(bytes.has_value());
        Bytes foreign = *bytes;
        foreign[0] = static_cast<std::uint8_t>((foreign[0] + 1) % 255);
        const Bytes text = encodeTextSave(foreign);
        const QString mail = homePath(QStringLiteral("Re turn 3.txt"));
        writeText(mail, "Your move.\n\n" + std::string(text.begin(), text.end()));

        auto cancel = startApp(mail);
        QCOMPARE(cancel->start(), CQMXApp::StartResult::Cancelled);
        QCOMPARE(cancel->exitCode(), 1);
        QCOMPARE(fake(*cancel).shown.size(), std::size_t(1));
        QCOMPARE(fake(*cancel).shown[0].title, std::string("Module Not Found"));
        QCOMPARE(fake(*cancel).shown[0].text,
                 std::string("The module of the saved game \"Re turn 3.txt\" was not found "
                             "among the modules this program knows. Choose it in the next "
                             "dialog."));
        QCOMPARE(fake(*cancel).fileDialogs.size(), std::size_t(1));

        // The module chosen in the dialog: the game loads after message 15.
        auto chosen = startApp(mail);
        fake(*chosen).files.push_back(str(m_module));
        QCOMPARE(chosen->start(), CQMXApp::StartResult::Running);
        QCOMPARE(fake(*chosen).messages, std::vector<int>{15});
        QCOMPARE(int(chosen->document()->game().unit(5).column), 7);

        // A saved game that cannot be read says that instead.
        auto broken = startApp(homePath(QStringLiteral("missing.qms")));
        QCOMPARE(broken->start(), CQMXApp::StartResult::Cancelled);
        QVERIFY(fake(*broken).shown[0].text.find("\"missing.qms\" could not be read") !=
                std::string::npos);
    }

    void failedSavedGameLeavesTheNewGame() {
        // another unit count: message 12, the start-up game goes on
        const QString other = m_home->writeModule(
            Module::createEmpty(12, 10, GridOrientation::RowsAligned, 25), QStringLiteral("Other"));
        const QString save = homePath(QStringLiteral("Other.qms"));
        writeSaveWithUnitFiveMoved(other, save);

        for (const QString& path : {save, homePath(QStringLiteral("None.qms"))}) {
            auto app = startApp(m_module, path);
            QCOMPARE(app->start(), CQMXApp::StartResult::Running);
            QVERIFY(app->frame() != nullptr && app->frame()->isVisible());
            QVERIFY(!fake(*app).shown.empty());
            const GameState& game = app->document()->game();
            QCOMPARE(int(game.unit(5).column), 1);
            QCOMPARE(game.stackAt(1, 1).size(), std::size_t(40));
            QCOMPARE(game.currentSlot, 31);
            QVERIFY(game.moveSaved);
            QVERIFY(app->document()->session().savedGameTitle().empty());
        }
    }

    // The settings file places the window and sets the dice: a first start
    // (most of the screen, the panel beside the board), a damaged file (a
    // window off every screen opens at the origin), a placement as stored;
    // the window's changes are written back.
    void settingsPlaceTheWindowAndSetTheDice_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QRect>("window");
        QTest::addColumn<int>("sides");
        QTest::addColumn<QPoint>("panel");  // the panel's client area
        QTest::newRow("first start") << QByteArray() << QRect() << 6 << QPoint();
        QTest::newRow("damaged") << QByteArray(
                                        "garbage\x01\x02\n[PREFERENCES\n[PREFERENCES]\n"
                                        "Number of Sides on Dice=9999\n[WINDOW]\n"
                                        "X Pos=999999\nY Pos=12\nX Size=708\nY Size=abc\n")
                                 << QRect(0, 0, 700, 354) << 100 << QPoint(100, 19);
        QTest::newRow("stored") << QByteArray(
                                       "[WINDOW]\nX Pos=30\nY Pos=20\nX Size=808\nY Size=546\n"
                                       "Game control X pos=840\nGame control Y pos=30\n")
                                << QRect(30, 20, 800, 500) << 6 << QPoint(840, 49);
    }
    void settingsPlaceTheWindowAndSetTheDice() {
        QFETCH(QByteArray, ini);
        QFETCH(QRect, window);
        QFETCH(int, sides);
        QFETCH(QPoint, panel);
        if (!ini.isEmpty()) writeText(iniPath(), ini.toStdString());
        auto app = started();
        QVERIFY(app);
        CMainFrame* frame = app->frame();
        if (window.isNull()) {
            const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
            const QRect controls = qobject_cast<QWidget*>(frame->panel())->frameGeometry();
            QVERIFY(frame->width() > screen.width() / 2 &&
                    frame->height() > screen.height() * 3 / 4);
            QVERIFY(!frame->frameGeometry().intersects(controls));
            QVERIFY(screen.contains(controls));
        } else {
            QCOMPARE(QRect(frame->pos(), frame->size()), window);
            // The stored panel place is its client area less 19 in y, put back as it was.
            QCOMPARE(qobject_cast<QWidget*>(frame->panel())->geometry().topLeft(), panel);
        }
        QCOMPARE(app->document()->game().diceSides, sides);
        frame->resize(700, 450);
        frame->move(50, 60);
        QCoreApplication::processEvents();
        frame->flushPlacement();
        const IniFile written = IniFile::load(str(iniPath()));
        QCOMPARE(written.integer("WINDOW", "X Size"), 708);
        QCOMPARE(written.integer("WINDOW", "Y Size"), 496);
        QCOMPARE(written.integer("WINDOW", "X Pos"), 50);
        QCOMPARE(written.integer("WINDOW", "Y Pos"), 60);
    }

    // The panel names the hex under the pointer; a Shift-click pins it until
    // the next plain click. The totals stay blank until a hex is shown.
    void aShiftClickPinsTheHexName() {
        auto app = started();
        QVERIFY(app);
        auto* view = qobject_cast<CQMXView*>(app->frame()->boardView());
        auto* panel = qobject_cast<CgameControls*>(app->frame()->panel());
        QVERIFY(view && panel);
        QCOMPARE(panel->countText(), QString());  // blank until a hex is shown
        const auto hover = [&](Hex h) {
            QTest::mouseMove(view->viewport(), hexCentre(view, h));
            return panel->hexNameText();
        };
        const QString first = hover({3, 3});
        QVERIFY(!first.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          hexCentre(view, {3, 3}));
        QCOMPARE(hover({5, 4}), first);
        clickHex(view, {5, 4});
        QCOMPARE(hover({6, 4}), QString::fromStdString(hexName(app->document()->module(), 6, 4)));
    }

    // ---- command states and notifications --------------------------------------------

    void initialCommandStates() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        QVERIFY(f->commandAction(Command::Load)->isEnabled());
        QVERIFY(f->commandAction(Command::Save)->isEnabled());
        QVERIFY(f->states().enabled(Command::StepReplay));
        QVERIFY(!f->states().enabled(Command::OneByOne));
        QVERIFY(!f->commandAction(Command::RotateLeft)->isEnabled());
        QVERIFY(!f->commandAction(Command::HideUnits)->isEnabled());
        QVERIFY(!f->states().enabled(Command::DealCard));
        QVERIFY(f->action("actionMoveMode")->isChecked());
        QVERIFY(!f->action("actionCombatMode")->isChecked());
        QVERIFY(f->action("actionShowUnits")->isChecked());
        QVERIFY(!f->action("actionShowTerrain")->isChecked());
        QVERIFY(f->action("actionZoom100")->isChecked());
        // every state-byte command has its button
        QToolBar* bar = f->findChild<QToolBar*>("toolBar");
        QVERIFY(bar != nullptr);
        for (int c = 0; c < kCommandCount; ++c) {
            QVERIFY(bar->actions().contains(f->commandAction(static_cast<Command>(c))));
        }
    }

    void postedCodesActInPostingOrder() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        postControl(f, ControlCode::UnitsPickedUp);
        // nothing happens before the queue reaches the notification
        QVERIFY(f->commandAction(Command::Load)->isEnabled());
        QCoreApplication::processEvents();
        QVERIFY(!f->commandAction(Command::Load)->isEnabled());
        QVERIFY(!f->commandAction(Command::Save)->isEnabled());
        QVERIFY(!f->action("actionSaveEncoded")->isEnabled());
        QVERIFY(!f->states().enabled(Command::ContinuousReplay));
        QVERIFY(f->commandAction(Command::StepIncrease)->isEnabled());
        QVERIFY(f->commandAction(Command::RotateRight)->isEnabled());

        postControl(f, ControlCode::UnitsPutDown);
        postControl(f, ControlCode::UnitsPickedUp);
        QCoreApplication::processEvents();
        QVERIFY(!f->commandAction(Command::Load)->isEnabled());  // the last posted wins

        postControl(f, ControlCode::UnitsPickedUp);
        postControl(f, ControlCode::UnitsPutDown);
        QCoreApplication::processEvents();
        QVERIFY(f->commandAction(Command::Load)->isEnabled());
        QVERIFY(!f->commandAction(Command::StepIncrease)->isEnabled());

        postControl(f, ControlCode::CardsNotUsed);
        postControl(f, ControlCode::HidingNotUsed);
        QCoreApplication::processEvents();
        QVERIFY(!f->commandAction(Command::DealCard)->isVisible());
        QVERIFY(!f->commandAction(Command::ViewCards)->isVisible());
        QVERIFY(!f->commandAction(Command::HideUnitId)->isVisible());
        postControl(f, ControlCode::CardsAvailable);
        QCoreApplication::processEvents();
        QVERIFY(f->commandAction(Command::DealCard)->isVisible());
        QVERIFY(f->states().enabled(Command::DealCard));

        postControl(f, ControlCode::ShowTerrain);
        postControl(f, ControlCode::CombatMode);
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionShowTerrain")->isChecked());
        QVERIFY(!f->action("actionShowUnits")->isChecked());
        QVERIFY(f->action("actionCombatMode")->isChecked());
        QVERIFY(!f->action("actionMoveMode")->isChecked());
        postControl(f, ControlCode::ShowUnits);
        postControl(f, ControlCode::MovementMode);
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionShowUnits")->isChecked());
        QVERIFY(f->action("actionMoveMode")->isChecked());
    }

    void combatPutDownPressesTheCombatMode() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        GameState& game = app->document()->game();
        game.gameMode = GameMode::Combat;
        game.combatMode = 3;
        postControl(f, ControlCode::UnitsPickedUp);
        postControl(f, ControlCode::UnitsPutDown);
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionPreDeclare")->isChecked());
        QVERIFY(!f->action("actionOneByOne")->isChecked());
        QVERIFY(f->states().enabled(Command::OneByOne));
        QVERIFY(!f->commandAction(Command::Save)->isEnabled());
        QVERIFY(!f->states().enabled(Command::StepReplay));
    }

    void disabledCommandDoesNothingFromMenuEither() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        int loads = 0;
        int saves = 0;
        f->setHandler("actionLoad", [&] { ++loads; });
        f->setHandler("actionSaveEncoded", [&] { ++saves; });
        QVERIFY(f->runCommand("actionLoad"));
        QCOMPARE(loads, 1);

        postControl(f, ControlCode::UnitsPickedUp);
        QCoreApplication::processEvents();
        f->action("actionLoad")->trigger();
        QVERIFY(!f->runCommand("actionLoad"));
        QVERIFY(!f->runCommand("actionSaveEncoded"));
        // even if something re-enables the action behind the frame's back
        f->action("actionLoad")->setEnabled(true);
        f->action("actionLoad")->trigger();
        QCOMPARE(loads, 1);
        QCOMPARE(saves, 0);

        // Ctrl+L is the menu's shortcut: refused too
        QTest::keyClick(f, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(loads, 1);

        postControl(f, ControlCode::UnitsPutDown);
        QCoreApplication::processEvents();
        f->action("actionLoad")->trigger();
        QCOMPARE(loads, 2);
    }

    void captionCode() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        // Code 21 shows the session's caption: the module, and the game once
        // one has been loaded or saved.
        f->setWindowTitle(QStringLiteral("something else"));
        postControl(f, ControlCode::Caption);
        QCoreApplication::processEvents();
        QCOMPARE(f->windowTitle(), QStringLiteral("Battle"));
    }

    void zoomMenuChecksTheChosenZoom() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        f->action("actionZoom50")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionZoom50")->isChecked());
        QVERIFY(!f->action("actionZoom100")->isChecked());
        QCOMPARE(f->zoom(), 0.5f);
        QCOMPARE(f->findChild<QLabel*>("zoomLabel")->text(), QStringLiteral("50%"));
        f->action("actionZoom200")->trigger();
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionZoom200")->isChecked());
        QCOMPARE(f->zoom(), 2.0f);
    }

    void boardViewFollowsTheFrameAndTellsIt() {
        writeText(iniPath(), "[PREFERENCES]\nFacing Pointer Color=4\nShow Lines for Facing=0\n");
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        auto* view = qobject_cast<CQMXView*>(f->centralWidget());
        QVERIFY(view != nullptr);
        QCOMPARE(view->facingColour(), QColor(255, 0, 0));
        QVERIFY(!view->facingLines());

        f->action("actionZoom75")->trigger();
        QCOMPARE(view->zoom(), 0.75f);
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionZoom75")->isChecked());

        // the toolbar's Show Terrain goes to the view, whose change presses the button
        f->action("actionShowTerrain")->trigger();
        QVERIFY(view->showTerrain());
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionShowTerrain")->isChecked());
        QVERIFY(!f->action("actionShowUnits")->isChecked());
        // the view's own key T is reported back the same way
        view->setFocus();
        QTest::keyClick(view, Qt::Key_T);
        QVERIFY(!view->showTerrain());
        QCoreApplication::processEvents();
        QVERIFY(f->action("actionShowUnits")->isChecked());

        f->action("actionFacingColor")->trigger();
        QCOMPARE(view->facingColour(), QColor(0, 255, 0));
        QTest::keyClick(view, Qt::Key_Plus);
        QCOMPARE(view->facingColour(), QColor(255, 255, 0));
    }

    // ---- quitting ----------------------------------------------------------------------

    void quitPromptFollowsMoveSaved() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        ScriptedPrompts& prompts = fake(*app);
        GameState& game = app->document()->game();

        game.moveSaved = false;
        prompts.yesNo = {false};
        QVERIFY(!f->close());
        QVERIFY(f->isVisible());
        QCOMPARE(prompts.shown.back().title, std::string("WARNING"));
        QCOMPARE(prompts.shown.back().text,
                 std::string("Do you want to quit without saving your move?"));

        prompts.yesNo = {true};
        QVERIFY(f->close());

        auto again = started();
        fake(*again).shown.clear();
        QVERIFY(again->frame()->close());  // saved or loaded: no question
        QVERIFY(fake(*again).shown.empty());
    }

    void replayFileGoesWithTheFrame() {
        auto app = started();
        QVERIFY(app);
        ReplayFile& file = app->document()->replayFile();
        const std::uint8_t entry[] = {255, 248};
        QCOMPARE(file.append(entry), ReplayFile::AppendResult::Written);
        const QString path = QString::fromStdString(file.path());
        QVERIFY(QFile::exists(path));
        QVERIFY(path.startsWith(m_home->folder()));
        QVERIFY(path.endsWith(".tmp"));
        app.reset();
        QVERIFY(!QFile::exists(path));
    }

    void flipAllIsRecordedAndRefusedWhileHolding() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        CQMXDoc* doc = app->document();
        f->action("actionFlipAllDown")->trigger();
        f->action("actionFlipAllUp")->trigger();
        const auto record = doc->replayFile().read();
        QVERIFY(record.has_value());
        QCOMPARE(*record, (Bytes{255, 244, 255, 243}));
        QVERIFY(!doc->game().moveSaved);  // a recorded action: quitting asks now

        // units held: refused with message 22, nothing recorded
        doc->game().carriedStack = 1;
        f->action("actionFlipAllUp")->trigger();
        doc->game().carriedStack = 0;
        QCOMPARE(doc->replayFile().read()->size(), std::size_t(4));
        QCOMPARE(fake(*app).shown.back().text,
                 std::string("This function is not available in combat mode or if there are "
                             "units being held"));

        // clearing flags is never refused and records nothing
        doc->game().unit(1).set(UnitFlags::kMoved);
        doc->game().unit(2).set(UnitFlags::kInCombat);
        f->action("actionClearMoved")->trigger();
        QVERIFY(!doc->game().unit(1).has(UnitFlags::kMoved));
        QVERIFY(doc->game().unit(2).has(UnitFlags::kInCombat));
        f->action("actionClearCombat")->trigger();
        QVERIFY(!doc->game().unit(2).has(UnitFlags::kInCombat));
        QCOMPARE(doc->replayFile().read()->size(), std::size_t(4));
    }

    // ---- preferences, tips, facing colour -------------------------------------------------

    void preferencesDialogSpinLimits() {
        Preferences p;
        p.replaySpeed = 10;
        p.replayMaxSpeed = 40;
        CPreferencesDlg dialog(p);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Preferences"));
        QCOMPARE(dialog.speedBox()->minimum(), 1);
        QCOMPARE(dialog.speedBox()->maximum(), 255);
        QCOMPARE(dialog.delayBox()->minimum(), 0);
        QCOMPARE(dialog.delayBox()->maximum(), 255);
        QCOMPARE(dialog.limitBox()->minimum(), 10);
        QCOMPARE(dialog.limitBox()->maximum(), 255);
        // stepping below the limits stays at the limits
        dialog.delayBox()->setValue(0);
        dialog.delayBox()->stepDown();
        QCOMPARE(dialog.delayBox()->value(), 0);
        // a speed above the limit takes the limit along; the limit never goes below the speed
        dialog.speedBox()->setValue(60);
        QCOMPARE(dialog.limitBox()->value(), 60);
        dialog.limitBox()->stepDown();
        QCOMPARE(dialog.limitBox()->value(), 60);
        dialog.speedBox()->setValue(30);
        dialog.limitBox()->setValue(31);
        dialog.limitBox()->stepDown();
        dialog.limitBox()->stepDown();
        QCOMPARE(dialog.limitBox()->value(), 30);
        const Preferences v = dialog.values();
        QCOMPARE(v.replaySpeed, 30);
        QCOMPARE(v.replayMaxSpeed, 30);
        // a speed of 1 still leaves the limit at 2 or more
        dialog.speedBox()->setValue(1);
        QCOMPARE(dialog.limitBox()->minimum(), 2);
        dialog.speedBox()->stepDown();
        QCOMPARE(dialog.speedBox()->value(), 1);
        dialog.speedBox()->setValue(255);
        dialog.speedBox()->stepUp();
        QCOMPARE(dialog.speedBox()->value(), 255);
        QCOMPARE(dialog.limitBox()->value(), 255);
        QVERIFY(dialog.findChild<QCheckBox*>("noDieRolls") != nullptr);
        QCOMPARE(dialog.findChild<QCheckBox*>("largeFont")->text(),
                 QStringLiteral("Use large font in Comments"));
    }

    void preferencesOkWritesEveryKeyWithTheCurrentDice() {
        auto app = started();
        QVERIFY(app);
        {
            Preferences edited = app->settings().preferences();
            edited.replaySpeed = 77;
            edited.replayMaxSpeed = 77;
            edited.largeFontComments = true;
            fake(*app).preferences = {edited};
        }
        app->document()->game().diceCount = 3;
        app->document()->game().diceSides = 10;
        app->frame()->action("actionPreferences")->trigger();
        const IniFile ini = IniFile::load(str(iniPath()));
        QCOMPARE(ini.value("PREFERENCES", "Replay Speed"), "77");
        QCOMPARE(ini.value("PREFERENCES", "Replay Max Speed"), "77");
        QCOMPARE(ini.value("PREFERENCES", "Replay Delay"), "20");
        QCOMPARE(ini.value("PREFERENCES", "Number of Dice"), "3");
        QCOMPARE(ini.value("PREFERENCES", "Number of Sides on Dice"), "10");
        QCOMPARE(ini.value("PREFERENCES", "Facing Pointer Color"), "0");
        QCOMPARE(ini.value("PREFERENCES", "Use Large Font in Comment"), "1");
        QCOMPARE(ini.value("PREFERENCES", "Show Lines for Facing"), "1");
        QCOMPARE(app->settings().preferences().replaySpeed, 77);

        // Cancel keeps everything
        fake(*app).preferences = {std::nullopt};
        app->frame()->action("actionPreferences")->trigger();
        QCOMPARE(app->settings().preferences().replaySpeed, 77);
        QCOMPARE(IniFile::load(str(iniPath())).value("PREFERENCES", "Replay Speed"), "77");
    }

    void turnAllTipsOnWritesOneToFifteenKeys() {
        writeText(iniPath(), "[HELP PROMPTS]\nPrompt2=0\nPrompt9=0\n");
        auto app = started();
        QVERIFY(app);
        QVERIFY(!app->settings().promptEnabled(2));
        app->frame()->action("actionTipsOn")->trigger();
        const IniFile ini = IniFile::load(str(iniPath()));
        for (int n = 1; n <= 15; ++n) {
            QCOMPARE(ini.value("HELP PROMPTS", "Prompt" + std::to_string(n)), "1");
        }
        QVERIFY(app->settings().promptEnabled(2));
    }

    void facingColourCyclesFromMenuAndPlusKey() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        f->action("actionFacingColor")->trigger();
        QCOMPARE(app->settings().preferences().facingColor, 1);
        f->activateWindow();
        QTest::keyClick(f, Qt::Key_Plus);
        QCOMPARE(app->settings().preferences().facingColor, 2);
        QTest::keyClick(f, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(app->settings().preferences().facingColor, 3);
        QCOMPARE(IniFile::load(str(iniPath())).value("PREFERENCES", "Facing Pointer Color"), "3");
    }

    void informationDialog() {
        CInformationDlg dialog(QStringLiteral("A tip."));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Information"));
        QCOMPARE(dialog.text(), QStringLiteral("A tip."));
        auto* box = dialog.findChild<QCheckBox*>("dontShowAgain");
        QVERIFY(box != nullptr);
        QCOMPARE(box->text(), QStringLiteral("Don't show this prompt again"));
        QVERIFY(!box->isChecked());
        QVERIFY(!dialog.dontShowAgain());
        box->setChecked(true);
        QVERIFY(dialog.dontShowAgain());
    }

    // ---- menus, help and module information ----------------------------------------------

    void menusHoldTheCommands() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        QStringList menus;
        for (QAction* a : f->menuBar()->actions()) menus << a->text().remove('&');
        QCOMPARE(menus, (QStringList{"File", "Interface", "Unit Control", "View", "Help"}));
        for (const char* name :
             {"actionLoad",          "actionSave",           "actionSaveEncoded",
              "actionAsciiMove",     "actionAsciiPositions", "actionAsciiSorted",
              "actionAsciiComments", "actionChangePassword", "actionPreferences",
              "actionExit",          "actionFacingOn",       "actionFacingOff",
              "actionFaceCorner",    "actionFaceSide",       "actionFacingColor",
              "actionFlipAllUp",     "actionFlipAllDown",    "actionClearMoved",
              "actionClearCombat",   "actionToolbar",        "actionStatusBar",
              "actionHelp",          "actionAbout",          "actionModuleInfo",
              "actionTipsOn",        "actionMoveMode",       "actionCombatMode",
              "actionDefineDice",    "actionShowTerrain",    "actionShowUnits"}) {
            QVERIFY2(f->action(name) != nullptr, name);
            QVERIFY2(!f->action(name)->statusTip().isEmpty(), name);
        }
        QCOMPARE(
            f->action("actionSave")->statusTip(),
            QStringLiteral("Saves the Current Game in Progress as a binary file (recommended)"));
        QCOMPARE(f->action("actionHideUnits")->statusTip(),
                 QStringLiteral(
                     "Hides any units being held (only available if Players are identified)"));
        QCOMPARE(f->action("actionHideUnits")->toolTip(), QStringLiteral("Hide Units"));
        QCOMPARE(f->action("actionTipsOn")->statusTip(),
                 QStringLiteral("Resets all operation tips prompts to enabled."));
        QCOMPARE(f->action("actionHelp")->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(f->action("actionLoad")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
        // Toolbar and Status Bar switch the bars
        f->action("actionStatusBar")->trigger();
        QVERIFY(!f->statusBar()->isVisible());
        f->action("actionStatusBar")->trigger();
        QVERIFY(f->statusBar()->isVisible());
    }

    void valueMenuCycles() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        QCOMPARE(f->action("actionValue1")->text(), QStringLiteral("Att\tLowest"));
        f->action("actionValue1")->trigger();
        QCOMPARE(f->action("actionValue1")->text(), QStringLiteral("Att\tHighest"));
        f->action("actionValue1")->trigger();
        QCOMPARE(f->action("actionValue1")->text(), QStringLiteral("Att\tTotal"));
        f->action("actionValue1")->trigger();
        QCOMPARE(f->action("actionValue1")->text(), QStringLiteral("Att\tLowest"));
        QCOMPARE(f->action("actionValue2")->text(), QStringLiteral("Def\tLowest"));
    }

    void helpShowsTheUserGuide() {
        auto app = started();
        QVERIFY(app);
        CMainFrame* f = app->frame();
        QTest::keyClick(f, Qt::Key_F1);
        auto* help = f->findChild<CHelpWindow*>();
        QVERIFY(help != nullptr);
        QVERIFY(help->isVisible());
        const QString text = help->browser()->toPlainText();
        QVERIFY(text.contains("Saving and sending your move"));
        QVERIFY(text.contains("Internet Encoded"));
        QVERIFY(text.contains("Step Replay"));
        // The guide's pictures travel with it.
        for (const char* picture :
             {"game-controls.png", "editor-define-units.png", "unit-painter.png"}) {
            const QVariant v = help->browser()->loadResource(QTextDocument::ImageResource,
                                                             QUrl(QString::fromLatin1(picture)));
            QVERIFY2(!v.isNull() && !v.toByteArray().isEmpty(), picture);
        }
        // a second F1 reuses the window
        QTest::keyClick(f, Qt::Key_F1);
        QCOMPARE(f->findChildren<CHelpWindow*>().size(), 1);
    }

    // Names, notes, comments and findings that look like markup are shown
    // as they are: in the panel, the message boxes, the dialogs, a tool tip.
    void textFromFilesIsNeverMarkup() {
        const std::string markup = test::kMarkupText;
        const QString needle = QStringLiteral("<b>x");  // value names hold four bytes
        {
            ModuleLoad load = loadModuleFile(str(m_module), ModuleReader::Editor);
            QVERIFY(load.ok);
            load.module.valueNames[0] = "<b>x";
            load.module.units[1].name = markup;
            FixedClock clock;
            QVERIFY(saveModuleFile(str(m_module), load.module, clock));
        }
        auto app = started();
        QVERIFY(app);
        QCOMPARE(test::markupLabels(needle), QStringList());
        ShellPrompts shell;
        shell.setParent(app->frame());
        QCOMPARE(test::markupInModal(needle, [&] { shell.showText("T", markup); }), QStringList());
        QCOMPARE(test::markupInModal(needle, [&] { shell.askYesNo("T", markup); }), QStringList());
        QCOMPARE(test::markupInModal(needle, [&] { shell.showReadback(markup, false); }),
                 QStringList());
        QCOMPARE(test::markupInModal(needle, [&] { shell.showModuleInformation(markup); }),
                 QStringList());
        QCOMPARE(test::markupInModal(needle, [&] { shell.showFindings("T", markup, {markup}); }),
                 QStringList());
        QToolTip::showText(QPoint(10, 10), QString::fromStdString(markup), app->frame());
        QCoreApplication::processEvents();
        QCOMPARE(test::markupLabels(needle), QStringList());
        QToolTip::hideText();
    }

    void moduleInformationShowsNotesAndFixedNote() {
        CModuleInfoDlg dialog("Line one\r\nLine two \xE9");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About This Module"));
        QCOMPARE(dialog.notesText(), QString::fromLatin1("Line one\nLine two \xE9"));
        auto* note = dialog.findChild<QLabel*>("fixedNote");
        QVERIFY(note != nullptr);
        QCOMPARE(
            note->text(),
            QStringLiteral("Vantor Modules which are based on commercial board Wargames are not "
                           "complete games.  You MUST own the board game version for the module "
                           "to be useful."));
        QVERIFY(dialog.findChild<QPlainTextEdit*>("moduleNotes")->isReadOnly());
    }
};

QTEST_MAIN(ShellWidgetTest)
#include "ShellWidgetTest.moc"
