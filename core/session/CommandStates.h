#pragma once
// The main frame's command states: one state byte per toolbar command, with
// the toolbar's button-state values, changed by the command-state codes that
// the board view, the panel and the file commands post to the frame. A
// command runs only while its state is enabled (4) or enabled and pressed (6),
// whether it is invoked from the toolbar, the menu or a key.
//
// Beside the state bytes the frame shows four toggle buttons whose pressed
// state follows codes too: Show Terrain / Show Units and Move Mode / Combat Mode.

#include <array>
#include <cstdint>
#include <optional>

#include "core/session/ControlCode.h"

namespace qmx {

enum class Command : int {
    Load,
    Save,
    ResetRecorder,
    ThrowDice,
    Comment,
    OneByOne,
    PreDeclare,
    ResolveDeclared,
    StepIncrease,
    StepDecrease,
    RotateLeft,
    RotateRight,
    HideUnits,
    HideUnitId,
    UnhideUnits,
    DealCard,
    ViewCards,
    PauseReplay,
    StepReplay,
    ContinuousReplay,
    StopReplay,
};
constexpr int kCommandCount = 21;

namespace state {
constexpr std::uint8_t kEnabled = 4;
constexpr std::uint8_t kPressed = 6;  // enabled and pressed
constexpr std::uint8_t kHidden = 8;
constexpr std::uint8_t kDisabled = 16;
}  // namespace state

// What the codes look at in the game: the values of the game state and the
// panel's modes (GameMode 1 movement / 2 combat; CombatMode 2 one by one,
// 3 pre-declare, 4 resolve declared).
struct CommandContext {
    int identifyProgress = 0;
    int currentSlot = 31;
    int gameMode = 1;
    int combatMode = 2;
};

class GameState;
CommandContext commandContext(const GameState& game);

class CommandStates {
public:
    // The states of a new main window: the three combat modes, step and rotate,
    // the hide commands, Deal Card and View Cards greyed; all others enabled.
    // Show Units and Move Mode pressed.
    CommandStates();

    std::uint8_t state(Command c) const { return m_states[index(c)]; }
    void setState(Command c, std::uint8_t value) { m_states[index(c)] = value; }
    // True when the command may run: state 4 or 6.
    bool enabled(Command c) const;
    const std::array<std::uint8_t, kCommandCount>& bytes() const { return m_states; }

    bool showTerrainPressed() const { return m_showTerrain; }
    bool combatModePressed() const { return m_combatMode; }

    // Applies a command-state code; returns true when the code is one of the
    // frame's state codes (the frame then pushes the states to its buttons).
    // Codes without effect on the states (caption 21, zoom 40, codes of other
    // windows) return false.
    bool apply(ControlCode code, const CommandContext& context);
    bool apply(int code, const CommandContext& context) {
        return apply(static_cast<ControlCode>(code), context);
    }

    // The panel's states for a mode: the three combat commands and Save.
    void setForMode(int gameMode, int combatMode);

private:
    static std::size_t index(Command c) { return static_cast<std::size_t>(c); }
    void set(std::initializer_list<Command> commands, std::uint8_t value);
    // Sets the commands to `value` unless they are hidden (8).
    void setUnlessHidden(std::initializer_list<Command> commands, std::uint8_t value);
    void combatCommands(std::uint8_t value, int pressedMode);

    std::array<std::uint8_t, kCommandCount> m_states{};
    bool m_showTerrain = false;
    bool m_combatMode = false;
};

}  // namespace qmx
