#pragma once
// One player's program with the commands of the board, the panel and the
// menus (carrying along paths, the unit commands, undo, combats through the
// boxes, declarations, dice, every card action, comments plain and sealed),
// each chosen by a stream of numbers: the random-play test draws them from a
// seeded generator, the session fuzzer from its input bytes.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/cards/CardSession.h"
#include "core/combat/CombatRules.h"
#include "core/combat/CombatSession.h"
#include "core/module/Clock.h"
#include "core/replay/CardTextSource.h"
#include "tests/support/SessionMachine.h"

namespace qmx::test {

// Numbers below n; the source decides how (a generator, the fuzzer's bytes).
using Pick = std::function<int(int n)>;

inline constexpr const char* kSealPassword = "seal";
inline constexpr const char* kSealedText = "Sealed plan";

struct Table {
    Table(const Module& module, const std::filesystem::path& folder)
        : m(module, folder),
          texts(module),
          combat(module, m.game, m.recorder, m.prompts, m.settings, m.random, clock, m.session),
          cards(module, m.game, m.recorder, m.prompts, m.random, clock, texts, m.session) {
        // No dialogs before a roll: the answers would have to be scripted.
        Preferences p = m.settings.preferences();
        p.commentBeforeDice = false;
        p.defineDiceBeforeRoll = false;
        m.settings.setPreferences(p);
    }
    Machine m;
    FixedClock clock{1700000000};
    ModuleCardTexts texts;
    CombatSession combat;
    CardSession cards;
};

// Plays one command. The units of `keepHidden` are never unhidden nor shown
// with their identity hidden, so a test can tell what must stay out of every
// other player's view.
inline void playCommand(Table& t, const Pick& pick, const std::set<int>& keepHidden = {}) {
    GameState& g = t.m.game;
    PlayerSession& s = t.m.session;
    ScriptedPrompts& p = t.m.prompts;
    auto hex = [&] { return Hex{1 + pick(g.columns()), 1 + pick(g.rows())}; };
    auto occupied = [&] {
        Hex h = hex();
        for (int tries = 0; tries < 20 && g.stackHead(h.column, h.row) == 0; ++tries) h = hex();
        return h;
    };
    auto unitCommand = [&] {
        const auto command = static_cast<UnitCommand>(pick(11));
        // Unhiding, or hiding the identity only, would show them.
        if (command == UnitCommand::UnhideUnits || command == UnitCommand::HideUnitId) {
            for (int u : g.chain(g.carriedStack))
                if (keepHidden.count(u)) return;
        }
        s.unitCommand(command);
    };
    // Answers left over from a command that asked less are not given to the next.
    p.comments.clear();
    p.commentPasswords.clear();
    p.resultAnswers.clear();
    p.deals.clear();
    p.handPresses.clear();
    p.okCancel.clear();
    p.gives.clear();
    p.places.clear();
    const Hex attack{kAttackBoxColumn, g.combatBoxRow()};
    const Hex defend{kDefendBoxColumn, g.combatBoxRow()};
    switch (pick(12)) {
        case 0:
        case 1:
        case 2: {  // a move along a path, with commands on the way
            const Hex from = occupied();
            s.click(from);
            s.doubleClick(from);
            if (!g.holdingUnits()) break;
            for (int k = pick(4); k > 0; --k) {
                s.click(hex());
                if (pick(3) == 0) unitCommand();
            }
            if (pick(8) == 0) s.stepKey(1 + pick(6));
            if (pick(8) == 0) pick(2) ? s.faceUpKey() : s.faceDownKey();
            if (pick(6) == 0) {
                while (s.undoPending()) s.undoPass();
                break;
            }
            const Hex to = hex();
            s.click(to);
            s.doubleClick(to);
            break;
        }
        case 3:
            s.flipAll(pick(2) == 0);
            break;
        case 4:
            s.clearFlags(pick(2) == 0);
            break;
        case 5: {  // a comment, sealed or not
            const bool sealed = pick(2) == 0;
            p.comments.push_back(CommentAnswer{sealed ? kSealedText : "Plain words", sealed});
            if (sealed) p.commentPasswords.push_back(kSealPassword);
            s.comment();
            break;
        }
        case 6:
        case 7: {  // a combat through the boxes, one by one or declared
            if (pick(3) == 0) t.combat.setCombatMode(static_cast<std::uint16_t>(2 + pick(3)));
            t.combat.combatModeCommand();
            for (const Hex box : {attack, defend}) {
                const Hex from = occupied();
                s.doubleClick(from);
                if (g.holdingUnits()) t.combat.boxDoubleClick(box);
            }
            if (pick(4) == 0) {
                while (t.combat.releasePending()) t.combat.releaseOne();
            } else {
                p.resultAnswers.push_back(CommentAnswer{pick(2) ? "Result noted" : "", false});
                t.combat.combatStep();
            }
            break;
        }
        case 8:
            t.combat.throwDice();
            break;
        case 9:
            p.deals.push_back(DealAnswer{pick(4), pick(4)});
            t.cards.dealCard();
            break;
        case 10: {  // the hand: every button, each confirmed
            std::vector<HandButton> presses;
            for (int k = 1 + pick(3); k > 0; --k)
                presses.push_back(static_cast<HandButton>(pick(7)));
            p.handPresses.push_back(presses);
            for (int k = 0; k < 4; ++k) {
                p.okCancel.push_back(true);
                p.gives.push_back(pick(2));
                p.places.push_back(0);
            }
            t.cards.viewCards();
            break;
        }
        default:
            if (g.holdingUnits()) unitCommand();
            break;
    }
}

// Ends the turn as a player would before saving: nothing carried, the boxes
// emptied, movement mode.
inline void finishTurn(Table& t) {
    PlayerSession& s = t.m.session;
    while (s.undoPending()) s.undoPass();
    while (t.combat.releasePending()) t.combat.releaseOne();
    if (t.m.game.gameMode != GameMode::Movement) t.combat.moveModeCommand();
}

}  // namespace qmx::test
