#pragma once
// The player's main window: menus, toolbar and status bar around the board
// view. It keeps the command states (CommandStates) and applies them to its
// actions; the other windows change them by posting ControlNotification codes.
// A command runs only while its state allows it, from the toolbar, the menu
// or a key alike.

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <optional>

#include "core/session/Change.h"
#include "core/session/CommandStates.h"

class QAction;
class QActionGroup;
class QLabel;
class QTimer;
class QToolBar;

namespace qmx {

class CHelpWindow;
class CQMXDoc;
class CQMXView;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(CQMXDoc& doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CQMXDoc& document() { return m_doc; }

    // The board. Until a view is set the frame shows the map as a plain picture.
    // The frame applies every command's Change to the view; the view reports
    // what it changed itself (a command, the zoom, the terrain) back to the
    // frame, which turns it into its own notifications.
    void setBoardView(CQMXView* view);
    QWidget* boardView() const { return m_view; }
    CQMXView* board() const { return m_board; }
    // The game-controls panel, receiver of the panel's notifications.
    // The Game Controls panel; on a first start it goes beside the board.
    void setPanel(QObject* panel);
    QObject* panel() const { return m_panel; }

    // --- command states ---------------------------------------------------------
    // The states live in the session, which runs the commands.
    CommandStates& states();
    const CommandStates& states() const;
    // Pushes every state byte and button state to the actions.
    void pushStates();
    QAction* commandAction(Command c) const;
    // Any action by its object name ("actionLoad", "actionZoom100", ...).
    QAction* action(const QString& name) const;

    // What a command does. Commands of other parts of the program are hooked
    // in here; the frame calls the handler only when the command may run.
    void setHandler(const QString& actionName, std::function<void()> handler);
    // Runs a command as the menu does: nothing unless its state allows it.
    bool runCommand(const QString& actionName);

    // The current zoom factor, as the zoom menu shows it.
    float zoom() const { return m_zoom; }

    // Text shown in the About box, assembled at start-up.
    void setAboutText(const QString& text) { m_aboutText = text; }

    // Writes the window placement now instead of after the short delay.
    void flushPlacement();

    // Commands still to be built: present, greyed, and run nothing.
    static const QStringList& commandsToCome();
    // Every action that is a command of the menus or the toolbar.
    QList<QAction*> commandActions() const;
    bool hasHandler(const QString& actionName) const;
    // Shows everything a command of the session changed, board included.
    void runSession(const Change& change);
    // File > Export After-Action Report: the saved games, the folder, the page, the browser.
    void exportAfterActionReport();

public slots:
    // Shows what a command changed outside the board: the toolbar states,
    // the caption and the notifications to the other windows.
    void applyChange(const qmx::Change& change);
    void viewZoomChanged(float zoom);
    void viewTerrainChanged(bool on);

protected:
    void customEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct CommandInfo {
        std::optional<Command> state;  // the state byte that guards it
        std::function<void()> handler;
    };

    QAction* addCommand(const QString& name, const QString& text, const QString& tip,
                        std::optional<Command> state = std::nullopt);
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void setCentralView(QWidget* view);
    void placeWindow();
    void updateValueMenu();
    void checkZoom(float zoom);
    void pressButtons();
    void handleNotification(ControlCode code);
    bool commandAllowed(const QString& name) const;

    // commands of the frame itself
    void showPreferences();
    void changeFacingColour();
    void chooseZoom(float zoom);
    void showTerrain(bool on);
    void showHelp();
    void showAbout();
    void showModuleInformation();
    void turnAllTipsOn();
    void chooseValue(int value);
    // the handlers of the combat and dice commands
    void createCombatHandlers();

    CQMXDoc& m_doc;
    std::map<QString, CommandInfo> m_commands;
    std::map<Command, QAction*> m_stateActions;
    QActionGroup* m_zoomGroup = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_zoomLabel = nullptr;
    QLabel* m_modeLabel = nullptr;
    QWidget* m_view = nullptr;    // the central widget: the board view or the plain map
    CQMXView* m_board = nullptr;  // the board view, once set
    QObject* m_panel = nullptr;
    QPointer<CHelpWindow> m_help;
    QString m_aboutText;
    float m_zoom = 1.0f;

    // Window placement is written to the settings a moment after the window
    // stops moving, so that dragging does not rewrite the file for every pixel.
    bool m_firstStart = false;  // no window places were stored yet
    bool m_trackPlacement = false;
    std::optional<std::pair<int, int>> m_pendingSize;
    std::optional<std::pair<int, int>> m_pendingPos;
    QTimer* m_placementTimer = nullptr;
};

}  // namespace qmx
