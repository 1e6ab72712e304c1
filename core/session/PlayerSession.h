#pragma once
// The player's commands, each run whole: it checks the command state,
// applies the rule to the game, appends the replay entry and returns what
// changed (Change.h). The board view, the main frame and the panel turn mouse,
// keys and menus into these calls and show the returned change; none of them
// writes the record, changes the game state or computes a command state.
//
// The session owns the command states of the toolbar and the board's own
// bookkeeping of a move (the pick-up hex, the face-up and face-down flags).
// Where a command needs the person (a file name, a password, a comment), it
// asks through SessionPrompts.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Bytes.h"
#include "core/module/Clock.h"
#include "core/module/Hex.h"
#include "core/module/Module.h"
#include "core/session/Change.h"
#include "core/session/CommandStates.h"

namespace qmx {

class Random;
class ReplayFile;
class ReplayRecorder;
class SessionPrompts;
struct FileFilter;
class Settings;
struct TurnCheck;

// The commands on carried units of the Unit Control menu and the toolbar.
enum class UnitCommand {
    StepIncrease,
    StepDecrease,
    RotateLeft,
    RotateRight,
    FacingOn,
    FacingOff,
    FaceCorner,
    FaceSide,
    HideUnits,
    HideUnitId,
    UnhideUnits,
};

// Where the session keeps and finds files.
struct SessionFiles {
    std::string programFolder;  // with its trailing separator
    std::string moduleTitle;    // the module file's title, the caption's first part
    std::string savedGameFolder;
    const Clock* clock = nullptr;  // the date of a proposed file name; the system's when null
};

// The name a save proposes: "Battle - Blue - 2026-12-09" (the local date),
// never the name of the file just received, so that a reply is not saved
// over the opponent's turn. Characters a file name cannot hold become '_'.
std::string proposedSaveTitle(const std::string& moduleTitle, const std::string& player,
                              std::int64_t secondsNow);

// A text save longer than this goes into the mail as an attachment rather
// than into its body (one command-line argument holds at most 128 KiB).
inline constexpr std::size_t kMailBodyLimit = 96 * 1024;

inline constexpr const char* kOverwriteQuestion =
    "This file already exists!  Do you wish to overwrite it?";
inline constexpr const char* kAutosaveName = "autosave.qms";
// Asked before a move not yet saved is left: on Exit, Load and Paste Game.
inline constexpr const char* kUnsavedMoveQuestion = "Do you want to quit without saving your move?";

// Shown once when the autosave cannot be written.
inline std::string autosaveFailedText(const std::string& path) {
    return "The autosave " + path +
           " could not be written (is the disk full?). If QMX stops now, the moves since your "
           "last save are lost: save your game.";
}

inline constexpr const char* kAutosaveQuestion =
    "QMX ended without saving the game in progress.  Do you want to continue it from where it "
    "stopped?";

class PlayerSession {
public:
    PlayerSession(const Module& module, GameState& game, ReplayRecorder& recorder,
                  ReplayFile& replayFile, SessionPrompts& prompts, Settings& settings,
                  Random& random, SessionFiles files);

    CommandStates& states() { return m_states; }
    const CommandStates& states() const { return m_states; }
    // A command-state code posted by another window (the panel, the view).
    Change applyCode(ControlCode code);

    // --- the board ----------------------------------------------------------------
    // A playing replay locks the board (the replay commands set it).
    void setReplayRunning(bool running) { m_replayRunning = running; }
    bool replayRunning() const { return m_replayRunning; }

    // Left double click on the hex under the mouse: pick up or put down.
    Change doubleClick(Hex mouseHex);
    // Left click: the clicked hex and the cursor; while carrying, the path.
    Change click(Hex hex);
    // Keys 1..6: every carried unit to step n - 1 where it has a picture.
    Change stepKey(int n);
    // Keys F and B.
    Change faceUpKey();
    Change faceDownKey();
    // A command on the carried units (nothing when nothing is carried).
    Change unitCommand(UnitCommand command);

    // Undo in movement mode while carrying: one pass per call, as long as
    // undoPending(). undoTarget() is the start hex the next pass goes to, so
    // the view can scroll it into view first and wait after the pass.
    bool undoPending() const;
    Hex undoTarget() const;
    Change undoPass();

    Hex clickedHex() const { return m_clickedHex; }
    Hex pickupHex() const { return m_pickupHex; }

    // Flip All Units Face-up / Face-down; Clear Movement / Combat Flags.
    Change flipAll(bool faceUp);
    Change clearFlags(bool movement);

    // --- files and people ------------------------------------------------------------
    // Load Game: the open dialog, the load, and the players' steps.
    // True when nothing unsaved would be lost, or the person agrees to lose it
    // (the question Exit asks).
    bool mayReplaceGame();
    Change loadGame();
    // The load of a chosen file (also the saved game on the command line).
    Change loadGameFile(const std::string& path);
    // "Paste Game from Mail": the clipboard's text through the same load.
    Change pasteGame();
    // Save Game (normal) and Internet Encoded.
    Change saveGame();
    Change saveEncoded();
    // "Copy Game as Text": the encoded save on the clipboard.
    Change copyGameAsText();
    // "Send Turn by Mail...": saved as Save does, the text save beside it,
    // then handed to the mail program.
    Change sendTurnByMail();
    // "Export After-Action Report...": the saved games of the report (sorted
    // by their time), the folder for the page and the viewer (the identified
    // player's name, empty for an observer); nothing when cancelled.
    struct AarChoice {
        std::vector<std::string> saves;
        std::string folder;
        std::string viewer;
    };
    std::optional<AarChoice> chooseAfterActionReport();
    Change changePassword();
    // File > Identify Player: an observer (a wrong or cancelled password)
    // identifies again as after a load, without loading the file again.
    Change identifyAgain();
    // "Check Against My Save...": the game as it was loaded, checked against
    // a saved game the person chooses. (After every load the same check runs
    // against his own recent saves, where one of them matches.)
    Change checkAgainstSave();
    // "Enter a Comment"; without Cancel before a roll.
    Change comment(bool mayCancel = true);

    // The caption: the module title, then ": " and the game's file title.
    std::string caption() const;
    const std::string& savedGameFolder() const { return m_files.savedGameFolder; }
    const std::string& savedGameTitle() const { return m_savedGameTitle; }

    // --- the autosave ------------------------------------------------------------------
    // After every recorded action (nothing carried) the game is written to
    // the autosave in the program folder; a normal save, or ending the
    // program on purpose, removes it.
    std::string autosavePath() const;
    // At start-up: an autosave of this module is there; asks whether to
    // continue it and loads it if so.
    Change offerAutosave();
    void removeAutosave();
    // How many autosaves were written (tests, benchmarks).
    int autosaveCount() const { return m_autosaves; }

    // --- commands kept elsewhere (the cards) ------------------------------------------
    // Another command appended to the record: the autosave follows as it does
    // for the session's own commands. `entriesBefore` is the recorder's count
    // before the command.
    void recorded(std::uint64_t entriesBefore) { afterRecorded(entriesBefore); }

    // --- the game-controls panel -----------------------------------------------------
    // A slot button: one unit taken out of the stack of `hex`. With nothing
    // carried it becomes the carried stack, picked up from `hex`; with units
    // carried from `hex` it joins them at the end; otherwise nothing.
    Change pickOne(Hex hex, int unit);
    // Ctrl + left press: the straight edge may start unless units are held
    // (message 5).
    bool mayStartStraightEdge();
    // After a panel command that may have written entries (a combat, a roll):
    // the autosave, as after the session's own commands.
    void afterPanelCommand(std::uint64_t entriesBefore) { afterRecorded(entriesBefore); }

private:
    bool carrying() const { return m_game.holdingUnits(); }
    bool movementMode() const { return m_game.gameMode == GameMode::Movement; }
    // The step, facing and hide commands change carried units only where the
    // record can say so: inside a recorded move. Units carried to the combat
    // boxes are in no move (a change to them would replay as nothing), and
    // during a replay the carried units are the replay's.
    bool mayChangeCarried() const { return carrying() && movementMode() && !m_replayRunning; }
    Change pickUp(Hex hex);
    Change putDown(Hex hex);
    // Writes the move start if the pick-up has not been recorded yet.
    void recordPendingPickup(Hex firstPathHex);
    void applyState(Change& change, ControlCode code);
    void afterRecorded(std::uint64_t entriesBefore);
    Change loadFile(const std::string& path, bool check);
    Change finishLoad(const Bytes& replay, const std::string& title, const std::string& path,
                      bool check);
    void checkLoadedGame(Change& change);
    void showCheck(Change& change, const std::string& savePath, const TurnCheck& check);
    void identifyAfterLoad(Change& change);
    bool askOverwrite(const std::string& path);
    // Save's work once the file is chosen: the save marker, the file, the
    // caption; the replay written, nothing when the write failed.
    std::optional<Bytes> saveChosenGame(const std::string& chosen, Change& c);
    // The game with `replay` as the text save a mail or the clipboard holds.
    std::string textSaveOf(const Bytes& replay) const;
    // The save dialog, from a new name in the saved games folder; "No" to
    // overwriting an existing file goes back to the dialog. `target` turns
    // the chosen name into the file written. Nothing when cancelled.
    std::optional<std::string> chooseSaveFile(
        const std::vector<FileFilter>& filters,
        const std::function<std::string(const std::string&)>& target);
    void writeAutosave();

    const Module& m_module;
    GameState& m_game;
    ReplayRecorder& m_recorder;
    ReplayFile& m_replayFile;
    SessionPrompts& m_prompts;
    Settings& m_settings;
    Random& m_random;
    SessionFiles m_files;
    std::string m_savedGameTitle;
    CommandStates m_states;

    bool m_replayRunning = false;
    bool m_fileDialogOpen = false;
    Hex m_clickedHex;
    Hex m_pickupHex;  // set at pick-up until the move start is recorded
    std::uint16_t m_pickupHead = 0;
    std::vector<int> m_pickupOrder;  // the pick-up hex's stack before the pick-up
    bool m_faceUp = false;
    bool m_faceDown = false;
    bool m_undoContinues = false;  // an Undo pass left units to carry on
    int m_autosaves = 0;
    bool m_autosaveWarned = false;

    // The game as the last load left it, before identification: what the
    // turn check looks at, whatever was played since.
    struct LoadedGame {
        GameState state;
        Bytes record;
        std::string path;  // empty for a pasted game
    };
    std::optional<LoadedGame> m_loaded;
};

}  // namespace qmx
