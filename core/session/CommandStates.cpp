#include "core/session/CommandStates.h"

#include "core/game/GameState.h"

namespace qmx {

namespace {

constexpr int kIdentified = 30;
constexpr int kObserver = 31;
constexpr int kMovement = 1;
constexpr int kCombat = 2;
constexpr int kOneByOne = 2;
constexpr int kPreDeclare = 3;
constexpr int kResolveDeclared = 4;

// Hiding needs every slot initialized and a user who is not an observer.
bool mayHide(const CommandContext& c) {
    return c.identifyProgress == kIdentified && c.currentSlot != kObserver;
}

constexpr auto kHideCommands = {Command::HideUnits, Command::HideUnitId, Command::UnhideUnits};
constexpr auto kCardCommands = {Command::DealCard, Command::ViewCards};
constexpr auto kStepRotate = {Command::StepIncrease, Command::StepDecrease, Command::RotateLeft,
                              Command::RotateRight};
constexpr auto kReplayCommands = {Command::PauseReplay, Command::StepReplay,
                                  Command::ContinuousReplay, Command::StopReplay};

}  // namespace

CommandContext commandContext(const GameState& game) {
    return {game.identifyProgress, game.currentSlot, static_cast<int>(game.gameMode),
            game.combatMode};
}

CommandStates::CommandStates() {
    m_states.fill(state::kEnabled);
    set({Command::OneByOne, Command::PreDeclare, Command::ResolveDeclared}, state::kDisabled);
    set(kStepRotate, state::kDisabled);
    set(kHideCommands, state::kDisabled);
    set(kCardCommands, state::kDisabled);
}

bool CommandStates::enabled(Command c) const {
    const auto s = state(c);
    return s == state::kEnabled || s == state::kPressed;
}

void CommandStates::set(std::initializer_list<Command> commands, std::uint8_t value) {
    for (Command c : commands) setState(c, value);
}

void CommandStates::setUnlessHidden(std::initializer_list<Command> commands, std::uint8_t value) {
    for (Command c : commands) {
        if (state(c) != state::kHidden) setState(c, value);
    }
}

void CommandStates::combatCommands(std::uint8_t value, int pressedMode) {
    setState(Command::OneByOne, pressedMode == kOneByOne ? state::kPressed : value);
    setState(Command::PreDeclare, pressedMode == kPreDeclare ? state::kPressed : value);
    setState(Command::ResolveDeclared, pressedMode == kResolveDeclared ? state::kPressed : value);
}

bool CommandStates::apply(ControlCode code, const CommandContext& context) {
    switch (code) {
        case ControlCode::UnitsPickedUp:
            set({Command::Load, Command::Save, Command::ResetRecorder, Command::ThrowDice,
                 Command::Comment},
                state::kDisabled);
            combatCommands(state::kDisabled, 0);
            set(kReplayCommands, state::kDisabled);
            set(kStepRotate, state::kEnabled);
            // The board view offers hiding only to a picked-up stack in movement
            // mode; commands hidden because the game has no players stay hidden.
            if (mayHide(context) && context.gameMode == kMovement) {
                setUnlessHidden(kHideCommands, state::kEnabled);
            }
            setUnlessHidden(kCardCommands, state::kDisabled);
            return true;

        case ControlCode::UnitsPutDown: {
            set({Command::Load, Command::ThrowDice, Command::Comment}, state::kEnabled);
            set(kStepRotate, state::kDisabled);
            std::uint8_t replay = state::kEnabled;
            if (context.gameMode == kCombat) {
                set({Command::Save, Command::ResetRecorder}, state::kDisabled);
                combatCommands(state::kEnabled, context.combatMode);
                replay = state::kDisabled;
            } else {
                set({Command::Save, Command::ResetRecorder}, state::kEnabled);
                combatCommands(state::kDisabled, 0);
            }
            set(kReplayCommands, replay);
            setUnlessHidden(kCardCommands, replay);
            setUnlessHidden(kHideCommands, state::kDisabled);
            return true;
        }

        case ControlCode::CardsAvailable:
            set(kCardCommands, state::kEnabled);
            return true;
        case ControlCode::CardsNotYetAvailable:
            set(kCardCommands, state::kDisabled);
            return true;
        case ControlCode::CardsNotUsed:
            set(kCardCommands, state::kHidden);
            return true;

        case ControlCode::HidingPossible:
            if (mayHide(context)) set(kHideCommands, state::kEnabled);
            return true;
        case ControlCode::HidingNotUsed:
            set(kHideCommands, state::kHidden);
            return true;
        case ControlCode::HidingNotPossible:
            set(kHideCommands, state::kDisabled);
            return true;

        case ControlCode::RefreshToolbar:
            return true;

        case ControlCode::ShowTerrain:
            m_showTerrain = true;
            return true;
        case ControlCode::ShowUnits:
            m_showTerrain = false;
            return true;
        case ControlCode::MovementMode:
            m_combatMode = false;
            return true;
        case ControlCode::CombatMode:
            m_combatMode = true;
            return true;

        default:
            return false;
    }
}

void CommandStates::setForMode(int gameMode, int combatMode) {
    if (gameMode == kCombat) {
        combatCommands(state::kEnabled, combatMode);
        setState(Command::Save, state::kDisabled);
    } else {
        combatCommands(state::kDisabled, 0);
        setState(Command::Save, state::kEnabled);
    }
}

}  // namespace qmx
