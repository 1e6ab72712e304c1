#include "core/combat/CombatSession.h"

#include <algorithm>

#include "core/combat/Dice.h"
#include "core/game/Carrying.h"
#include "core/module/Clock.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/HelpPrompts.h"
#include "core/session/PlayerSession.h"
#include "core/session/SessionPrompts.h"
#include "core/settings/Settings.h"

namespace qmx {

namespace {
constexpr const char* kLineBreak = "\r\n";
}  // namespace

CombatSession::CombatSession(const Module& module, GameState& game, ReplayRecorder& recorder,
                             SessionPrompts& prompts, Settings& settings, Random& random,
                             Clock& clock, PlayerSession& session)
    : m_module(module),
      m_game(game),
      m_recorder(recorder),
      m_prompts(prompts),
      m_settings(settings),
      m_random(random),
      m_clock(clock),
      m_session(session) {}

bool CombatSession::boxesEmpty() const {
    const int row = m_game.combatBoxRow();
    return m_game.stackHead(kAttackBoxColumn, row) == 0 &&
           m_game.stackHead(kDefendBoxColumn, row) == 0;
}

void CombatSession::modeStates(Change& c) {
    CommandStates& s = m_session.states();
    const bool combat = m_game.gameMode == GameMode::Combat;
    s.apply(combat ? ControlCode::CombatMode : ControlCode::MovementMode, commandContext(m_game));
    if (!carrying()) s.setForMode(static_cast<int>(m_game.gameMode), m_game.combatMode);
    c.states = true;
}

void CombatSession::enterCombat(Change& c) {
    m_game.gameMode = GameMode::Combat;
    c.post(Receiver::Frame, ControlCode::CombatMode);
    showHelpPrompt(m_settings, m_prompts, prompt::kCombatMode);
    prepareStacks(m_game);
    c.post(Receiver::Panel, ControlCode::CombatMode);
    modeStates(c);
}

void CombatSession::leaveCombat(Change& c) {
    m_game.gameMode = GameMode::Movement;
    c.post(Receiver::Frame, ControlCode::MovementMode);
    restoreStacks(m_game);
    c.repaint = true;
    c.post(Receiver::Frame, ControlCode::UnitsPutDown);
    c.post(Receiver::Panel, ControlCode::MovementMode);
    modeStates(c);
}

Change CombatSession::combatModeCommand() {
    Change c;
    if (m_session.replayRunning()) return c;
    c.ran = true;
    enterCombat(c);
    return c;
}

Change CombatSession::moveModeCommand() {
    Change c;
    if (carrying() || !boxesEmpty() || m_session.replayRunning()) return c;
    c.ran = true;
    const bool wasCombat = m_game.gameMode == GameMode::Combat;
    if (wasCombat) {
        leaveCombat(c);
    } else {
        modeStates(c);
    }
    return c;
}

Change CombatSession::setCombatMode(std::uint16_t mode) {
    Change c;
    if (mode < kOneByOne || mode > kResolveDeclared || carrying() || !boxesEmpty()) return c;
    c.ran = true;
    m_game.combatMode = mode;
    c.post(Receiver::Panel, ControlCode::CombatMode);
    modeStates(c);
    return c;
}

Change CombatSession::boxDoubleClick(Hex box) {
    Change c;
    if (!m_game.isCombatBox(box.column, box.row) || m_session.replayRunning()) return c;
    if (carrying() && m_game.gameMode == GameMode::Movement && !m_session.pickupHex().isNone()) {
        enterCombat(c);
    }
    c.post(Receiver::Frame, ControlCode::UnitsPutDown);
    if (m_game.gameMode == GameMode::Combat) c.merge(m_session.doubleClick(box));
    return c;
}

bool CombatSession::releasePending() const {
    return carrying() && m_game.gameMode == GameMode::Combat &&
           m_game.combatMode != kResolveDeclared && !m_session.replayRunning();
}

Hex CombatSession::releaseTarget() const {
    if (!carrying()) return {};
    const UnitState& u = m_game.unit(m_game.carriedStack);
    return {u.column, u.row};
}

Change CombatSession::releaseOne() {
    Change c;
    if (!releasePending()) return c;
    c.ran = true;
    const Hex at = returnCarriedUnit(m_game, m_game.carriedStack);
    c.redraw(at);
    c.carriedPicture = true;
    c.post(Receiver::Panel, ControlCode::ListCarried);
    if (!carrying()) {
        c.merge(m_session.applyCode(ControlCode::UnitsPutDown));
        c.post(Receiver::Panel, ControlCode::ListShownAgain);
        if (boxesEmpty()) leaveCombat(c);
    }
    return c;
}

void CombatSession::roll() {
    if (m_settings.preferences().suppressCombatDieRolls) return;
    m_result += std::string(kLineBreak) + kLineBreak +
                "Die Roll: " + rollDice(m_random, m_game.diceCount, m_game.diceSides);
}

void CombatSession::showResult(bool largeFont) {
    const CommentAnswer answer = m_prompts.showResult(m_result, largeFont);
    const std::string text = m_result + kLineBreak + kLineBreak + answer.text;
    if (answer.encode) {
        if (const auto password = m_prompts.askCommentPassword()) {
            m_recorder.recordEncryptedResult(m_game.diceCount, m_game.diceSides, text, *password,
                                             m_random);
            m_result = text;
            return;
        }
        // Without a password the roll still reaches the opponent; the
        // comment meant to be secret is left out.
        m_result += std::string(kLineBreak) + kLineBreak;
        m_recorder.recordResult(m_game.diceCount, m_game.diceSides, m_result);
        return;
    }
    m_result = text;
    m_recorder.recordResult(m_game.diceCount, m_game.diceSides, m_result);
}

Change CombatSession::combatStep() {
    Change c;
    if (carrying() || m_session.replayRunning()) return c;
    c.ran = true;
    const std::uint64_t before = m_recorder.written();
    const bool combat = m_game.gameMode == GameMode::Combat;
    const std::uint16_t mode = m_game.combatMode;
    const Preferences& prefs = m_settings.preferences();
    const int row = m_game.combatBoxRow();
    const bool filled = m_game.stackHead(kAttackBoxColumn, row) != 0 &&
                        m_game.stackHead(kDefendBoxColumn, row) != 0;
    if (combat && filled && (mode == kOneByOne || mode == kPreDeclare)) {
        bool fight = true;
        if (mode == kPreDeclare) {
            if (m_game.pendingDeclarations >= kMaxPendingDeclarations) {
                m_prompts.showMessage(msg::kTooManyDeclarations);
                fight = false;
            } else {
                ++m_game.pendingDeclarations;
            }
        }
        if (fight) {
            c.post(Receiver::Panel, ControlCode::PendingLabel);
            m_recorder.recordCombat();
            m_random.seedFrom(m_clock);
            m_result = boxCombatText(m_game, m_module, mode == kPreDeclare);
            restoreStacks(m_game);
            if (prefs.commentBeforeDice) c.merge(m_session.comment(false));
            if (mode == kOneByOne && !prefs.suppressCombatDieRolls) {
                if (prefs.defineDiceBeforeRoll) defineDice();
                roll();
            }
            m_result += kLineBreak;
            showResult(prefs.largeFontComments);
        }
        if (mode == kPreDeclare) showHelpPrompt(m_settings, m_prompts, prompt::kDeclared);
    }
    if (combat && mode == kResolveDeclared && m_game.pendingDeclarations >= 1) {
        const auto [column, rowOf] = markResolvedUnits(m_game);
        m_resolvedHex = {column, rowOf};
        c.post(Receiver::View, ControlCode::ResolvingDeclaration);
        m_recorder.recordCombat();
        m_random.seedFrom(m_clock);
        m_result = resolveOldestText(m_game, m_module);
        c.post(Receiver::Panel, ControlCode::PendingLabel);
        roll();
        m_result += kLineBreak;
        showResult(prefs.largeFontComments);
    }
    c.post(Receiver::View, ControlCode::RepaintBoard);
    c.repaint = true;
    c.post(Receiver::Panel, ControlCode::ListShownAgain);
    if (combat && (mode == kOneByOne || mode == kPreDeclare)) {
        leaveCombat(c);
    } else {
        modeStates(c);
    }
    m_session.afterPanelCommand(before);
    return c;
}

Change CombatSession::throwDice() {
    Change c;
    m_random.seedFrom(m_clock);
    if (!m_session.states().enabled(Command::ThrowDice) || carrying()) {
        m_prompts.showMessage(msg::kNotInCombatOrCarrying);
        return c;
    }
    c.ran = true;
    const Preferences& prefs = m_settings.preferences();
    if (prefs.commentBeforeDice) c.merge(m_session.comment(false));
    if (prefs.defineDiceBeforeRoll) defineDice();
    const std::uint64_t before = m_recorder.written();
    m_result = freeRollText(m_random, m_game.diceCount, m_game.diceSides);
    showResult(false);
    m_session.afterPanelCommand(before);
    return c;
}

Change CombatSession::defineDice() {
    Change c;
    c.ran = true;
    const DiceDefinition d = m_prompts.defineDice({m_game.diceCount, m_game.diceSides});
    m_game.diceCount = std::clamp(d.count, kMinDice, kMaxDice);
    m_game.diceSides = std::clamp(d.sides, kMinSides, kMaxSides);
    return c;
}

}  // namespace qmx
