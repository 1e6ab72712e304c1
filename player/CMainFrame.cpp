#include "player/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "core/combat/CombatSession.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/UnitRules.h"
#include "core/replay/ReplayCodes.h"
#include "core/session/HelpPrompts.h"
#include "core/session/PlayerSession.h"
#include "core/session/SessionPrompts.h"
#include "core/session/ValueMenu.h"
#include "core/settings/Settings.h"
#include "graphics/AfterActionExport.h"
#include "player/CAboutDlg.h"
#include "player/CModuleInfoDlg.h"
#include "player/CPreferencesDlg.h"
#include "player/CQMXDoc.h"
#include "player/CQMXView.h"
#include "player/CgameControls.h"
#include "player/ControlNotification.h"
#include "player/ShellPrompts.h"
#include "player/ToolbarIcons.h"
#include "widgets/CHelpWindow.h"

namespace qmx {

namespace {

constexpr std::array<float, 5> kZooms{2.0f, 1.5f, 1.0f, 0.75f, 0.5f};

QString zoomName(float zoom) {
    return QStringLiteral("%1%").arg(std::lround(zoom * 100));
}
QString zoomActionName(float zoom) {
    return QStringLiteral("actionZoom%1").arg(std::lround(zoom * 100));
}

// Shows the map at 100 % while no board view is embedded.
class MapPreview : public QWidget {
public:
    MapPreview(const QImage& image, QRect source, QWidget* parent)
        : QWidget(parent), m_image(image), m_source(source) {
        setFixedSize(source.size().expandedTo(QSize(1, 1)));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::darkGray);
        if (!m_source.isEmpty())
            p.drawImage(QRect(QPoint(0, 0), m_source.size()), m_image, m_source);
    }

private:
    const QImage& m_image;
    QRect m_source;
};

}  // namespace

CMainFrame::CMainFrame(CQMXDoc& doc, QWidget* parent) : QMainWindow(parent), m_doc(doc) {
    setObjectName(QStringLiteral("mainFrame"));
    setWindowIcon(programIcon());
    m_placementTimer = new QTimer(this);
    m_placementTimer->setSingleShot(true);
    m_placementTimer->setInterval(400);
    connect(m_placementTimer, &QTimer::timeout, this, &CMainFrame::flushPlacement);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    pushStates();

    auto* area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("boardPlaceholder"));
    area->setWidget(new MapPreview(m_doc.graphics().imageSoFar(),
                                   m_doc.graphics().mapRect(m_doc.module()), area));
    setCentralView(area);

    setWindowTitle(fromBytes(m_doc.moduleTitle()));
    placeWindow();
}

CMainFrame::~CMainFrame() {
    flushPlacement();
    // The replay work file belongs to this run only.
    m_doc.replayFile().remove();
}

void CMainFrame::setBoardView(CQMXView* view) {
    if (view == nullptr) return;
    m_board = view;
    connect(view, &CQMXView::changed, this, &CMainFrame::applyChange);
    connect(view, &CQMXView::zoomChanged, this, &CMainFrame::viewZoomChanged);
    connect(view, &CQMXView::showTerrainChanged, this, &CMainFrame::viewTerrainChanged);
    setCentralView(view);
}

void CMainFrame::setCentralView(QWidget* view) {
    m_view = view;
    setCentralWidget(view);  // deletes the previous central widget
    view->setFocus();
}

void CMainFrame::viewZoomChanged(float zoom) {
    m_zoom = zoom;
    postControl(this, ControlCode::ZoomChanged);
}

void CMainFrame::viewTerrainChanged(bool on) {
    postControl(this, on ? ControlCode::ShowTerrain : ControlCode::ShowUnits);
}

// ---- actions -------------------------------------------------------------------

QAction* CMainFrame::addCommand(const QString& name, const QString& text, const QString& tip,
                                std::optional<Command> state) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    // "status text\ntool tip", as in the string table
    const qsizetype nl = tip.indexOf(QChar('\n'));
    if (nl >= 0) {
        a->setStatusTip(tip.left(nl));
        a->setToolTip(tip.mid(nl + 1));
    } else {
        a->setStatusTip(tip);
        QString plain = text;
        plain.remove(QChar('&'));
        a->setToolTip(plain.section(QChar('\t'), 0, 0).remove(QStringLiteral("...")));
    }
    m_commands[name].state = state;
    // The toolbar command owns the state byte; other entries only share its guard.
    if (state && m_stateActions.count(*state) == 0) m_stateActions[*state] = a;
    connect(a, &QAction::triggered, this, [this, name] { runCommand(name); });
    return a;
}

void CMainFrame::createActions() {
    using C = Command;
    auto icon = [](QAction* a, ToolIcon i) { a->setIcon(toolbarIcon(i)); };

    // File
    QAction* a = addCommand(QStringLiteral("actionLoad"), QStringLiteral("&Load..."),
                            QStringLiteral("Loads a saved game in progress\nLoad Game"), C::Load);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    icon(a, ToolIcon::Load);
    a = addCommand(QStringLiteral("actionSave"), QStringLiteral("&Normal"),
                   QStringLiteral("Saves the Current Game in Progress as a binary file "
                                  "(recommended)\nSave Game (Ctrl+S)"),
                   C::Save);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    icon(a, ToolIcon::Save);
    addCommand(QStringLiteral("actionSaveEncoded"), QStringLiteral("&Internet Encoded"),
               QStringLiteral("Saves the current game in progress as an encoded text file"),
               C::Save);
    a = addCommand(QStringLiteral("actionSendMail"), QStringLiteral("Send Turn by &Mail..."),
                   QStringLiteral("Saves the game, the text save beside it, and hands both to "
                                  "your mail program\nSend Turn by Mail (Ctrl+M)"),
                   C::Save);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    icon(a, ToolIcon::SendMail);
    addCommand(QStringLiteral("actionExportAar"), QStringLiteral("Export &After-Action Report..."),
               QStringLiteral("Writes the saved games of this game as one web page: the board "
                              "after each turn, the moves, comments, dice and combat results"));
    addCommand(QStringLiteral("actionAsciiMove"), QStringLiteral("&Move"),
               QStringLiteral("Saves your move in readable text form for opponents who don't use "
                              "QMX."));
    addCommand(QStringLiteral("actionAsciiPositions"), QStringLiteral("&Positions"),
               QStringLiteral("Save the positions of your Units in plain text.  Units are not "
                              "sorted."));
    addCommand(QStringLiteral("actionAsciiSorted"), QStringLiteral("&Sorted Positions"),
               QStringLiteral("Save the positions of your Units in plain text.  Units are sorted "
                              "by position on the map."));
    addCommand(QStringLiteral("actionAsciiComments"), QStringLiteral("&Comments only"),
               QStringLiteral("Strips out and saves only comments and combat results from the "
                              "replay."));
    a = addCommand(QStringLiteral("actionCopyGameText"), QStringLiteral("&Copy Game as Text"),
                   QStringLiteral("Puts the game in progress on the clipboard as encoded text, "
                                  "to paste into a mail"),
                   C::Save);
    a = addCommand(QStringLiteral("actionPasteGame"), QStringLiteral("Paste Game from &Mail"),
                   QStringLiteral("Loads the game held by the text on the clipboard (a whole "
                                  "mail will do)"),
                   C::Load);
    addCommand(QStringLiteral("actionCheckTurn"), QStringLiteral("Chec&k Against My Save..."),
               QStringLiteral("Checks that the game loaded changed nothing outside its replay "
                              "since a game you saved"));
    addCommand(QStringLiteral("actionIdentify"), QStringLiteral("&Identify Player..."),
               QStringLiteral("Identifies you as one of the game's players, as after a load "
                              "(after a wrong or cancelled password)"));
    addCommand(QStringLiteral("actionChangePassword"), QStringLiteral("Change &Password"),
               QStringLiteral("Changes your player identification password"));
    addCommand(QStringLiteral("actionPreferences"), QStringLiteral("P&references..."),
               QStringLiteral("Changes the replay speed and the dice and comment preferences"));
    a = addCommand(QStringLiteral("actionExit"), QStringLiteral("E&xit"),
                   QStringLiteral("Quits the application; asks first if your move is not saved"));
    a->setMenuRole(QAction::QuitRole);

    // Interface
    for (int v = 1; v <= kValueCount; ++v) {
        addCommand(QStringLiteral("actionValue%1").arg(v), QStringLiteral("Value %1").arg(v),
                   QStringLiteral("Shows/changes the way value %1 is computed").arg(v));
    }

    // Unit Control
    a = addCommand(QStringLiteral("actionUndo"), QStringLiteral("&Undo Move"),
                   QStringLiteral("Puts the units being held back on their starting hexes"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    addCommand(QStringLiteral("actionFacingOn"), QStringLiteral("Facing &On"),
               QStringLiteral("Shows the facing indicator of the units being held"));
    addCommand(QStringLiteral("actionFacingOff"), QStringLiteral("Facing O&ff"),
               QStringLiteral("Removes the facing indicator of the units being held"));
    addCommand(QStringLiteral("actionFaceCorner"), QStringLiteral("Face &Corner"),
               QStringLiteral("Points the facing of the units being held at a hex corner"));
    addCommand(QStringLiteral("actionFaceSide"), QStringLiteral("Face &side"),
               QStringLiteral("Points the facing of the units being held at a hex side"));
    a = addCommand(QStringLiteral("actionFacingColor"), QStringLiteral("Change Facing Co&lor"),
                   QStringLiteral("Changes the colour of the facing indicators (key +)"));
    a->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)});
    addCommand(QStringLiteral("actionFlipAllUp"), QStringLiteral("Flip All Units Face-&up"),
               QStringLiteral("Turns every unit on the map face up"));
    addCommand(QStringLiteral("actionFlipAllDown"), QStringLiteral("Flip All Units Face-&down"),
               QStringLiteral("Turns every unit on the map face down"));
    addCommand(QStringLiteral("actionClearMoved"), QStringLiteral("Clear &Movement Flags"),
               QStringLiteral("Clears the moved mark of every unit"));
    addCommand(QStringLiteral("actionClearCombat"), QStringLiteral("Clear Com&bat Flags"),
               QStringLiteral("Clears the combat mark of every unit"));

    // View
    a = addCommand(QStringLiteral("actionToolbar"), QStringLiteral("&Toolbar"),
                   QStringLiteral("Shows or hides the toolbar"));
    a->setCheckable(true);
    a->setChecked(true);
    a = addCommand(QStringLiteral("actionStatusBar"), QStringLiteral("&Status Bar"),
                   QStringLiteral("Shows or hides the status bar"));
    a->setCheckable(true);
    a->setChecked(true);
    m_zoomGroup = new QActionGroup(this);
    m_zoomGroup->setExclusive(true);
    for (float z : kZooms) {
        a = addCommand(zoomActionName(z), zoomName(z),
                       QStringLiteral("Shows the board at %1 of its size").arg(zoomName(z)));
        a->setCheckable(true);
        a->setChecked(z == m_zoom);
        m_zoomGroup->addAction(a);
    }

    // Help
    a = addCommand(QStringLiteral("actionHelp"), QStringLiteral("&Help"),
                   QStringLiteral("Opens the QMX user guide\nHelp"));
    a->setShortcut(QKeySequence(Qt::Key_F1));
    icon(a, ToolIcon::Help);
    addCommand(QStringLiteral("actionAbout"), QStringLiteral("&About QMX..."),
               QStringLiteral("Displays the program's name, version and the loaded module"))
        ->setMenuRole(QAction::AboutRole);
    addCommand(QStringLiteral("actionModuleInfo"), QStringLiteral("&Module Information"),
               QStringLiteral("Displays the Author's notes about the module"));
    addCommand(QStringLiteral("actionTipsOn"), QStringLiteral("&Turn all tips on"),
               QStringLiteral("Resets all operation tips prompts to enabled."));

    // Toolbar commands
    struct Tool {
        const char* name;
        const char* text;
        const char* tip;
        std::optional<Command> state;
        ToolIcon icon;
        bool checkable;
    };
    const Tool tools[] = {
        {"actionMoveMode", "Move Mode", "Returns to movement mode\nMove Mode", std::nullopt,
         ToolIcon::MoveMode, true},
        {"actionCombatMode", "Combat Mode",
         "Enters combat mode: units may only be moved to the combat boxes\nCombat Mode",
         std::nullopt, ToolIcon::CombatMode, true},
        {"actionOneByOne", "1 by 1 Combat Resolution",
         "Resolves each combat as soon as its boxes are filled\n1 by 1 Combat Resolution",
         C::OneByOne, ToolIcon::OneByOne, true},
        {"actionPreDeclare", "Pre-declare Combat",
         "Declares combats now to resolve them later\nPre-declare Combat", C::PreDeclare,
         ToolIcon::PreDeclare, true},
        {"actionResolveDeclared", "Resolve Declared Combat",
         "Resolves the declared combats in order\nResolve Declared Combat", C::ResolveDeclared,
         ToolIcon::ResolveDeclared, true},
        {"actionThrowDice", "Throw Dice", "Throws dice for non-combat related rolls\nThrow Dice",
         C::ThrowDice, ToolIcon::ThrowDice, false},
        {"actionDefineDice", "Define Dice",
         "Select the number and type of dice to throw next.\nDefine Dice", std::nullopt,
         ToolIcon::DefineDice, false},
        {"actionComment", "Comment", "Writes a comment into the replay\nComment", C::Comment,
         ToolIcon::Comment, false},
        {"actionStepReplay", "Step Replay",
         "Begins or executes the next step of the Replay\nStep Replay", C::StepReplay,
         ToolIcon::StepReplay, false},
        {"actionContinuousReplay", "Continuous Replay",
         "Begins or resumes automatic Replay\nContinuous Replay", C::ContinuousReplay,
         ToolIcon::ContinuousReplay, false},
        {"actionPauseReplay", "Pause Replay", "Pauses the continuous Replay\nPause Replay",
         C::PauseReplay, ToolIcon::PauseReplay, false},
        {"actionStopReplay", "Stop Replay",
         "Stops the Replay and returns to normal operation\nStop Replay", C::StopReplay,
         ToolIcon::StopReplay, false},
        {"actionResetRecorder", "Reset Recorder",
         "Erases the replay and resets the Replay Recorder to zero\nReset Recorder",
         C::ResetRecorder, ToolIcon::ResetRecorder, false},
        {"actionRotateLeft", "Rotate Left",
         "Turns the facing of the units being held to the left\nRotate Left", C::RotateLeft,
         ToolIcon::RotateLeft, false},
        {"actionRotateRight", "Rotate Right",
         "Turns the facing of the units being held to the right\nRotate Right", C::RotateRight,
         ToolIcon::RotateRight, false},
        {"actionStepIncrease", "Step Increase",
         "Promotes the unit being held to the next step/side up\nStep Increase", C::StepIncrease,
         ToolIcon::StepIncrease, false},
        {"actionStepDecrease", "Step decrease",
         "Demotes the unit being held to the next step/side down\nStep decrease", C::StepDecrease,
         ToolIcon::StepDecrease, false},
        {"actionHideUnits", "Hide Units",
         "Hides any units being held (only available if Players are identified)\nHide Units",
         C::HideUnits, ToolIcon::HideUnits, false},
        {"actionHideUnitId", "Hide Unit ID",
         "Hides the identity of any units being held (only available if Players are "
         "identified)\nHide Unit ID",
         C::HideUnitId, ToolIcon::HideUnitId, false},
        {"actionUnhideUnits", "Unhide Units",
         "Shows again any units being held that you hid (only available if Players are "
         "identified)\nUnhide Units",
         C::UnhideUnits, ToolIcon::UnhideUnits, false},
        {"actionShowTerrain", "Show Terrain",
         "Removes all units from the board to show the terrain underneath\nShow Terrain",
         std::nullopt, ToolIcon::ShowTerrain, true},
        {"actionShowUnits", "Show Units", "Replaces All units on the board\nShow Units",
         std::nullopt, ToolIcon::ShowUnits, true},
        {"actionDealCard", "Deal Card", "Deal a card from any deck to another player.\nDeal Card",
         C::DealCard, ToolIcon::DealCard, false},
        {"actionViewCards", "View Cards", "Review and manipulate cards in your hand\nView Cards",
         C::ViewCards, ToolIcon::ViewCards, false},
    };
    for (const Tool& t : tools) {
        a = addCommand(QString::fromLatin1(t.name), QString::fromLatin1(t.text),
                       QString::fromLatin1(t.tip), t.state);
        icon(a, t.icon);
        a->setCheckable(t.checkable);
    }

    // What the frame does itself; the other commands get their handlers from
    // the parts of the program that own them.
    setHandler(QStringLiteral("actionPreferences"), [this] { showPreferences(); });
    setHandler(QStringLiteral("actionExit"), [this] { close(); });
    for (int v = 0; v < kValueCount; ++v) {
        setHandler(QStringLiteral("actionValue%1").arg(v + 1), [this, v] { chooseValue(v); });
    }
    setHandler(QStringLiteral("actionFacingColor"), [this] { changeFacingColour(); });
    PlayerSession& session = m_doc.session();
    setHandler(QStringLiteral("actionFlipAllUp"),
               [this, &session] { runSession(session.flipAll(true)); });
    setHandler(QStringLiteral("actionFlipAllDown"),
               [this, &session] { runSession(session.flipAll(false)); });
    setHandler(QStringLiteral("actionClearMoved"),
               [this, &session] { runSession(session.clearFlags(true)); });
    setHandler(QStringLiteral("actionClearCombat"),
               [this, &session] { runSession(session.clearFlags(false)); });
    setHandler(QStringLiteral("actionLoad"), [this, &session] { runSession(session.loadGame()); });
    setHandler(QStringLiteral("actionSave"), [this, &session] { runSession(session.saveGame()); });
    setHandler(QStringLiteral("actionSaveEncoded"),
               [this, &session] { runSession(session.saveEncoded()); });
    setHandler(QStringLiteral("actionSendMail"),
               [this, &session] { runSession(session.sendTurnByMail()); });
    setHandler(QStringLiteral("actionExportAar"), [this] { exportAfterActionReport(); });
    setHandler(QStringLiteral("actionCopyGameText"),
               [this, &session] { runSession(session.copyGameAsText()); });
    setHandler(QStringLiteral("actionPasteGame"),
               [this, &session] { runSession(session.pasteGame()); });
    setHandler(QStringLiteral("actionCheckTurn"),
               [this, &session] { runSession(session.checkAgainstSave()); });
    setHandler(QStringLiteral("actionIdentify"),
               [this, &session] { runSession(session.identifyAgain()); });
    setHandler(QStringLiteral("actionChangePassword"),
               [this, &session] { runSession(session.changePassword()); });
    setHandler(QStringLiteral("actionComment"),
               [this, &session] { runSession(session.comment()); });
    const std::pair<const char*, UnitCommand> unitCommands[] = {
        {"actionFacingOn", UnitCommand::FacingOn},
        {"actionFacingOff", UnitCommand::FacingOff},
        {"actionFaceCorner", UnitCommand::FaceCorner},
        {"actionFaceSide", UnitCommand::FaceSide},
        {"actionRotateLeft", UnitCommand::RotateLeft},
        {"actionRotateRight", UnitCommand::RotateRight},
        {"actionStepIncrease", UnitCommand::StepIncrease},
        {"actionStepDecrease", UnitCommand::StepDecrease},
        {"actionHideUnits", UnitCommand::HideUnits},
        {"actionHideUnitId", UnitCommand::HideUnitId},
        {"actionUnhideUnits", UnitCommand::UnhideUnits},
    };
    for (const auto& [name, command] : unitCommands) {
        setHandler(QString::fromLatin1(name),
                   [this, &session, c = command] { runSession(session.unitCommand(c)); });
    }
    setHandler(QStringLiteral("actionUndo"), [this] {
        if (m_board) m_board->runUndo();
    });
    setHandler(QStringLiteral("actionToolbar"), [this] {
        m_toolBar->setVisible(action(QStringLiteral("actionToolbar"))->isChecked());
    });
    setHandler(QStringLiteral("actionStatusBar"), [this] {
        statusBar()->setVisible(action(QStringLiteral("actionStatusBar"))->isChecked());
    });
    for (float z : kZooms) setHandler(zoomActionName(z), [this, z] { chooseZoom(z); });
    setHandler(QStringLiteral("actionHelp"), [this] { showHelp(); });
    setHandler(QStringLiteral("actionAbout"), [this] { showAbout(); });
    setHandler(QStringLiteral("actionModuleInfo"), [this] { showModuleInformation(); });
    setHandler(QStringLiteral("actionTipsOn"), [this] { turnAllTipsOn(); });
    setHandler(QStringLiteral("actionShowTerrain"), [this] { showTerrain(true); });
    setHandler(QStringLiteral("actionShowUnits"), [this] { showTerrain(false); });

    // The cards.
    CardSession& cards = m_doc.cards();
    setHandler(QStringLiteral("actionDealCard"), [this, &cards] { runSession(cards.dealCard()); });
    setHandler(QStringLiteral("actionViewCards"),
               [this, &cards] { runSession(cards.viewCards()); });

    createCombatHandlers();
    updateValueMenu();
}

void CMainFrame::createMenus() {
    auto add = [this](QMenu* menu, const char* name) {
        menu->addAction(action(QString::fromLatin1(name)));
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, "actionLoad");
    add(file, "actionPasteGame");
    add(file, "actionCheckTurn");
    QMenu* save = file->addMenu(QStringLiteral("&Save"));
    add(save, "actionSave");
    add(save, "actionSaveEncoded");
    add(file, "actionSendMail");
    add(file, "actionCopyGameText");
    add(file, "actionExportAar");
    QMenu* ascii = file->addMenu(QStringLiteral("&ASCII Output"));
    add(ascii, "actionAsciiMove");
    add(ascii, "actionAsciiPositions");
    add(ascii, "actionAsciiSorted");
    add(ascii, "actionAsciiComments");
    file->addSeparator();
    add(file, "actionIdentify");
    add(file, "actionChangePassword");
    add(file, "actionPreferences");
    file->addSeparator();
    add(file, "actionExit");

    QMenu* values = menuBar()->addMenu(QStringLiteral("&Interface"));
    for (int v = 1; v <= kValueCount; ++v)
        values->addAction(action(QStringLiteral("actionValue%1").arg(v)));

    QMenu* units = menuBar()->addMenu(QStringLiteral("&Unit Control"));
    add(units, "actionUndo");
    units->addSeparator();
    add(units, "actionFacingOn");
    add(units, "actionFacingOff");
    add(units, "actionFaceCorner");
    add(units, "actionFaceSide");
    add(units, "actionFacingColor");
    units->addSeparator();
    add(units, "actionFlipAllUp");
    add(units, "actionFlipAllDown");
    units->addSeparator();
    add(units, "actionClearMoved");
    add(units, "actionClearCombat");

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    add(view, "actionToolbar");
    add(view, "actionStatusBar");
    QMenu* zoom = view->addMenu(QStringLiteral("&Zoom"));
    zoom->setObjectName(QStringLiteral("menuZoom"));
    for (float z : kZooms) zoom->addAction(action(zoomActionName(z)));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    add(help, "actionHelp");
    add(help, "actionAbout");
    add(help, "actionModuleInfo");
    help->addSeparator();
    add(help, "actionTipsOn");
}

void CMainFrame::createToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setMovable(false);
    const std::initializer_list<const char*> groups[] = {
        {"actionLoad", "actionSave", "actionSendMail"},
        {"actionMoveMode", "actionCombatMode", "actionOneByOne", "actionPreDeclare",
         "actionResolveDeclared"},
        {"actionThrowDice", "actionDefineDice", "actionComment"},
        {"actionStepReplay", "actionContinuousReplay", "actionPauseReplay", "actionStopReplay",
         "actionResetRecorder"},
        {"actionRotateLeft", "actionRotateRight", "actionStepIncrease", "actionStepDecrease"},
        {"actionHideUnits", "actionHideUnitId", "actionUnhideUnits"},
        {"actionShowTerrain", "actionShowUnits"},
        {"actionDealCard", "actionViewCards"},
        {"actionHelp"},
    };
    bool first = true;
    for (const auto& group : groups) {
        if (!first) m_toolBar->addSeparator();
        first = false;
        for (const char* name : group) m_toolBar->addAction(action(QString::fromLatin1(name)));
    }
}

void CMainFrame::createStatusBar() {
    m_modeLabel = new QLabel(this);
    m_modeLabel->setObjectName(QStringLiteral("modeLabel"));
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setObjectName(QStringLiteral("zoomLabel"));
    statusBar()->addPermanentWidget(m_modeLabel);
    statusBar()->addPermanentWidget(m_zoomLabel);
    // The idle text comes back whenever a command's prompt is cleared.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) statusBar()->showMessage(QStringLiteral("Ready"));
    });
    statusBar()->showMessage(QStringLiteral("Ready"));
    m_zoomLabel->setText(zoomName(m_zoom));
}

QAction* CMainFrame::action(const QString& name) const {
    return findChild<QAction*>(name);
}

QAction* CMainFrame::commandAction(Command c) const {
    const auto it = m_stateActions.find(c);
    return it == m_stateActions.end() ? nullptr : it->second;
}

void CMainFrame::setHandler(const QString& actionName, std::function<void()> handler) {
    m_commands[actionName].handler = std::move(handler);
}

bool CMainFrame::commandAllowed(const QString& name) const {
    const auto it = m_commands.find(name);
    if (it == m_commands.end()) return false;
    // The Save state byte guards both kinds of save.
    if (commandsToCome().contains(name)) return false;
    return !it->second.state || states().enabled(*it->second.state);
}

bool CMainFrame::runCommand(const QString& name) {
    const bool allowed = commandAllowed(name);
    if (allowed) {
        const auto it = m_commands.find(name);
        if (it->second.handler) {
            // A copy: the handler may replace itself.
            const auto handler = it->second.handler;
            handler();
        }
    }
    // A checkable button shows the state the frame keeps, not the click.
    pressButtons();
    return allowed;
}

// ---- command states --------------------------------------------------------------

void CMainFrame::pushStates() {
    for (const auto& [command, a] : m_stateActions) {
        const std::uint8_t s = states().state(command);
        a->setVisible(s != state::kHidden);
        a->setEnabled((s == state::kEnabled || s == state::kPressed) &&
                      !commandsToCome().contains(a->objectName()));
        if (a->isCheckable()) a->setChecked(s == state::kPressed);
    }
    // Menu entries that share a toolbar command's state byte follow it.
    for (const auto& [name, info] : m_commands) {
        if (!info.state) continue;
        QAction* a = action(name);
        if (a != nullptr && m_stateActions.at(*info.state) != a)
            a->setEnabled(states().enabled(*info.state));
    }
    // Until they are built these commands stay greyed.
    for (const QString& name : commandsToCome()) {
        if (QAction* a = action(name)) a->setEnabled(false);
    }
    pressButtons();
}

void CMainFrame::pressButtons() {
    const bool terrain = states().showTerrainPressed();
    action(QStringLiteral("actionShowTerrain"))->setChecked(terrain);
    action(QStringLiteral("actionShowUnits"))->setChecked(!terrain);
    const bool combat = states().combatModePressed();
    action(QStringLiteral("actionMoveMode"))->setChecked(!combat);
    action(QStringLiteral("actionCombatMode"))->setChecked(combat);
    for (Command c : {Command::OneByOne, Command::PreDeclare, Command::ResolveDeclared}) {
        commandAction(c)->setChecked(states().state(c) == state::kPressed);
    }
    if (m_modeLabel != nullptr) {
        m_modeLabel->setText(combat ? QStringLiteral("Combat") : QStringLiteral("Movement"));
    }
}

void CMainFrame::customEvent(QEvent* event) {
    if (const ControlNotification* n = ControlNotification::from(event)) {
        handleNotification(n->code());
        return;
    }
    QMainWindow::customEvent(event);
}

void CMainFrame::handleNotification(ControlCode code) {
    switch (code) {
        case ControlCode::Caption:
            setWindowTitle(fromBytes(m_doc.session().caption()));
            return;
        case ControlCode::ZoomChanged:
            checkZoom(m_zoom);
            return;
        default:
            break;
    }
    applyChange(m_doc.session().applyCode(code));
}

// ---- the frame's own commands ---------------------------------------------------------

void CMainFrame::showPreferences() {
    Settings& settings = m_doc.settings();
    const auto edited = m_doc.prompts().editPreferences(settings.preferences());
    if (!edited) return;
    Preferences result = *edited;
    // The dice written are the current dice definition, and the facing colour
    // is the one chosen with its own command.
    result.numberOfDice = m_doc.game().diceCount;
    result.sidesOnDice = m_doc.game().diceSides;
    result.facingColor = settings.preferences().facingColor;
    settings.setPreferences(result);
    if (m_board) m_board->setFacingLines(settings.preferences().showFacingLines);
}

void CMainFrame::changeFacingColour() {
    const Rgb c = facingColorRgb(m_doc.settings().cycleFacingColor());
    if (m_board) m_board->setFacingColour(QColor(c.red, c.green, c.blue));
}

void CMainFrame::chooseZoom(float zoom) {
    // The view reports the change through viewZoomChanged.
    if (m_board && m_board->setZoom(zoom)) return;
    m_zoom = zoom;
    postControl(this, ControlCode::ZoomChanged);
}

void CMainFrame::checkZoom(float zoom) {
    m_zoom = zoom;
    if (QAction* a = action(zoomActionName(zoom))) a->setChecked(true);
    m_zoomLabel->setText(zoomName(zoom));
}

void CMainFrame::showTerrain(bool on) {
    if (m_board) {
        m_board->setShowTerrain(on);  // the view reports the change through viewTerrainChanged
        return;
    }
    postControl(this, on ? ControlCode::ShowTerrain : ControlCode::ShowUnits);
}

void CMainFrame::showHelp() {
    if (m_help.isNull()) m_help = new CHelpWindow(QStringLiteral("QMX Help"), QString(), this);
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void CMainFrame::showAbout() {
    m_doc.prompts().showAbout(toBytes(m_aboutText));
}

void CMainFrame::showModuleInformation() {
    m_doc.prompts().showModuleInformation(m_doc.module().authorNotes);
}

void CMainFrame::turnAllTipsOn() {
    m_doc.settings().enableAllPrompts();
}

void CMainFrame::chooseValue(int value) {
    cycleTotalMode(m_doc.module(), value);
    updateValueMenu();
    postControl(m_panel, ControlCode::RecomputeTotals);
}

CommandStates& CMainFrame::states() {
    return m_doc.session().states();
}

const CommandStates& CMainFrame::states() const {
    return m_doc.session().states();
}

const QStringList& CMainFrame::commandsToCome() {
    static const QStringList names{};
    return names;
}

QList<QAction*> CMainFrame::commandActions() const {
    QList<QAction*> out;
    for (const auto& entry : m_commands) {
        if (QAction* a = action(entry.first)) out << a;
    }
    return out;
}

bool CMainFrame::hasHandler(const QString& actionName) const {
    const auto it = m_commands.find(actionName);
    return it != m_commands.end() && static_cast<bool>(it->second.handler);
}

void CMainFrame::exportAfterActionReport() {
    PlayerSession& session = m_doc.session();
    const auto choice = session.chooseAfterActionReport();
    if (!choice) return;
    AarRequest request;
    request.modulePath = m_doc.modulePath();
    request.module = &m_doc.module();
    request.cardOffset = m_doc.cardOffset();
    request.graphics = &m_doc.graphics();
    request.saves = choice->saves;
    request.folder = choice->folder;
    // The identified player sees each turn as that player; anyone else as an observer.
    request.identifyViewer = [viewer = choice->viewer](GameState& state, const std::string&) {
        state.currentSlot = kObserver;
        for (const auto& [slot, name] : identificationList(state))
            if (!viewer.empty() && name == viewer) state.currentSlot = slot;
        return std::string();
    };
    QProgressDialog progress(QStringLiteral("Writing the after-action report..."),
                             QStringLiteral("Cancel"), 0, static_cast<int>(choice->saves.size()),
                             this);
    progress.setWindowTitle(QStringLiteral("Export After-Action Report"));
    progress.setMinimumDuration(500);
    request.progress = [&progress](std::size_t done, std::size_t) {
        progress.setValue(static_cast<int>(done));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    const AarResult result = writeAfterActionReport(request);
    progress.reset();
    if (!result.ok) {
        m_doc.prompts().showText("Export After-Action Report",
                                 "The report could not be written: " + result.error + ".");
        return;
    }
    statusBar()->showMessage(QStringLiteral("After-action report of %1 turns written to %2")
                                 .arg(result.turns)
                                 .arg(QString::fromStdString(result.index)));
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(result.index)));
}

void CMainFrame::runSession(const Change& change) {
    if (m_board) m_board->apply(change);
    applyChange(change);
}

void CMainFrame::applyChange(const Change& change) {
    if (change.states) pushStates();
    if (change.caption) setWindowTitle(fromBytes(*change.caption));
    if (change.status) {
        // The panel shows the replay's status text; without one, the status bar does.
        const QString status = fromBytes(*change.status);
        if (auto* controls = qobject_cast<CgameControls*>(m_panel)) {
            controls->showStatusText(status);
        } else {
            statusBar()->showMessage(status);
        }
    }
    if (change.notice) statusBar()->showMessage(fromBytes(*change.notice));
    for (const Posting& p : change.postings) {
        switch (p.to) {
            case Receiver::Frame:
                postControl(this, p.code);
                break;
            case Receiver::View:
                postControl(m_view, p.code);
                break;
            case Receiver::Panel:
                postControl(m_panel, p.code);
                break;
        }
    }
}

void CMainFrame::updateValueMenu() {
    for (int v = 0; v < kValueCount; ++v) {
        if (QAction* a = action(QStringLiteral("actionValue%1").arg(v + 1))) {
            a->setText(fromBytes(valueMenuText(m_doc.module(), v)));
        }
    }
}

// ---- window -------------------------------------------------------------------

void CMainFrame::setPanel(QObject* panel) {
    m_panel = panel;
    auto* widget = qobject_cast<QWidget*>(panel);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!m_firstStart || widget == nullptr || screen == nullptr) return;
    const QRect a = screen->availableGeometry();
    widget->adjustSize();
    const WindowPlacement w =
        firstStartPlacement({a.x(), a.y(), a.width(), a.height()}, widget->width());
    resize(w.width, w.height);
    move(w.x, w.y);
    widget->move(w.panelX, w.panelY);  // its frame, as the main window's
    // Kept at once: the next start finds the places, moved or not (the panel
    // keeps its own once it is shown).
    Settings& settings = m_doc.settings();
    const auto [storedWidth, storedHeight] = Settings::storedSizeForClient(w.width, w.height);
    settings.setWindowSize(storedWidth, storedHeight);
    settings.setWindowPosition(w.x, w.y);
}

void CMainFrame::placeWindow() {
    const WindowPlacement& w = m_doc.settings().window();
    // A first start takes most of the screen once the panel's width is known.
    m_firstStart = !w.stored;
    const auto [width, height] = Settings::clientSizeForStored(w.width, w.height);
    resize(std::max(width, 200), std::max(height, 150));
    QPoint pos(w.x, w.y);
    // A window that would lie on no screen (another monitor then, a damaged
    // file now) opens at the origin instead.
    const QRect wanted(pos, size());
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(
                wanted.adjusted(0, 0, -wanted.width() / 2, -20))) {
            visible = true;
        }
    }
    if (!visible && !QGuiApplication::screens().isEmpty()) pos = QPoint(0, 0);
    move(pos);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Placement changes count once the window stands on the screen.
    QTimer::singleShot(0, this, [this] { m_trackPlacement = true; });
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!m_trackPlacement || isMinimized() || isMaximized() || isFullScreen()) return;
    m_pendingSize = Settings::storedSizeForClient(width(), height());
    m_placementTimer->start();
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!m_trackPlacement || isMinimized() || isMaximized() || isFullScreen()) return;
    m_pendingPos = std::make_pair(pos().x(), pos().y());
    m_placementTimer->start();
}

void CMainFrame::flushPlacement() {
    m_placementTimer->stop();
    if (m_pendingSize) m_doc.settings().setWindowSize(m_pendingSize->first, m_pendingSize->second);
    if (m_pendingPos) m_doc.settings().setWindowPosition(m_pendingPos->first, m_pendingPos->second);
    m_pendingSize.reset();
    m_pendingPos.reset();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_doc.session().mayReplaceGame()) {
        event->ignore();
        return;
    }
    flushPlacement();
    if (!m_help.isNull()) m_help->close();
    // Ending on purpose: nothing is left to continue at the next start.
    m_doc.session().removeAutosave();
    event->accept();
}

// ---- combat and dice ----------------------------------------------------------------

void CMainFrame::createCombatHandlers() {
    CombatSession& combat = m_doc.combat();
    setHandler(QStringLiteral("actionCombatMode"),
               [this, &combat] { runSession(combat.combatModeCommand()); });
    setHandler(QStringLiteral("actionMoveMode"),
               [this, &combat] { runSession(combat.moveModeCommand()); });
    const std::pair<const char*, std::uint16_t> modes[] = {
        {"actionOneByOne", kOneByOne},
        {"actionPreDeclare", kPreDeclare},
        {"actionResolveDeclared", kResolveDeclared},
    };
    for (const auto& [name, mode] : modes) {
        setHandler(QString::fromLatin1(name),
                   [this, &combat, m = mode] { runSession(combat.setCombatMode(m)); });
    }
    setHandler(QStringLiteral("actionThrowDice"),
               [this, &combat] { runSession(combat.throwDice()); });
    setHandler(QStringLiteral("actionDefineDice"),
               [this, &combat] { runSession(combat.defineDice()); });
}

}  // namespace qmx
