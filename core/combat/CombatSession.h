#pragma once
// The commands of the game-controls panel and of the combat and dice
// toolbar buttons, each run whole as the player session runs its own: the
// mode commands, the combat boxes, RELEASE, the combat step with its texts,
// dice and result entries, and the free roll. Each returns the Change for
// the windows to show; the mode captions are read from here.

#include <cstdint>
#include <string>

#include "core/combat/CombatRules.h"
#include "core/game/GameState.h"
#include "core/module/Hex.h"
#include "core/module/Module.h"
#include "core/session/Change.h"

namespace qmx {

class Clock;
class PlayerSession;
class Random;
class ReplayRecorder;
class SessionPrompts;
class Settings;

class CombatSession {
public:
    CombatSession(const Module& module, GameState& game, ReplayRecorder& recorder,
                  SessionPrompts& prompts, Settings& settings, Random& random, Clock& clock,
                  PlayerSession& session);

    // Toolbar "Combat Mode": always; "Move Mode": only with nothing carried
    // and both boxes empty.
    Change combatModeCommand();
    Change moveModeCommand();
    // "1 by 1", "Pre-declare", "Resolve Declared" (2, 3, 4): only with nothing
    // carried and both boxes empty; silent otherwise.
    Change setCombatMode(std::uint16_t mode);

    // The double click on ATTACK or DEFEND (`box` is its hex): a stack just
    // picked up in movement mode takes the game into combat first; then the
    // carried units are dropped into the box.
    Change boxDoubleClick(Hex box);

    // RELEASE in combat mode: one carried unit back on top of its own hex
    // (returnTarget() tells where, to scroll there first); after the last,
    // with both boxes empty, back to movement mode.
    bool releasePending() const;
    Hex releaseTarget() const;
    Change releaseOne();

    // NEXT/RESOLVE.
    Change combatStep();

    // "Throw Dice" and "Define Dice".
    Change throwDice();
    Change defineDice();

    // The captions of the panel's two buttons for the mode as it stands.
    ButtonCaptions captions() const { return buttonCaptions(m_game.gameMode, m_game.combatMode); }
    std::string pendingText() const { return pendingLabel(m_game.pendingDeclarations); }
    // The text of the last roll or combat.
    const std::string& resultText() const { return m_result; }
    // The hex a resolution made current (the last unit of declaration 1).
    Hex resolvedHex() const { return m_resolvedHex; }

    bool boxesEmpty() const;

private:
    bool carrying() const { return m_game.holdingUnits(); }
    void enterCombat(Change& c);
    void leaveCombat(Change& c);
    void modeStates(Change& c);
    // The result dialog and its entry.
    void showResult(bool largeFont);
    void roll();

    const Module& m_module;
    GameState& m_game;
    ReplayRecorder& m_recorder;
    SessionPrompts& m_prompts;
    Settings& m_settings;
    Random& m_random;
    Clock& m_clock;
    PlayerSession& m_session;
    std::string m_result;
    Hex m_resolvedHex;
};

}  // namespace qmx
