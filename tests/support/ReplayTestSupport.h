#pragma once
// Small modules, games and records built in code for the replay tests.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Bytes.h"
#include "core/module/Module.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/ScriptedPrompts.h"

namespace qmx::test {

// A 6 x 6 map with "0101"-style hex names and `units` units named "Unit 1",
// "Unit 2", ... Unit u has images for steps 1 and 2; deck 1 "Events" has two
// cards with texts.
inline Module smallModule(int units = 40) {
    return ModuleBuilder::newModule(6, 6, units)
        .namedUnits()
        .steps({1, 2, 0, 0, 0, 0})
        .deck(1, 2, "Events")
        .card(1, 1, "Ambush!\r\nX")
        .card(1, 2, "")
        .build();
}

// Puts `units` (in this order) as the stack of hex (column, row), as the
// current and as the start position.
inline void placeStack(GameState& s, std::vector<int> units, int column, int row) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        UnitState& u = s.unit(units[i]);
        const auto next = static_cast<std::uint16_t>(i + 1 < units.size() ? units[i + 1] : 0);
        u.column = u.startColumn = static_cast<std::uint8_t>(column);
        u.row = u.startRow = static_cast<std::uint8_t>(row);
        u.stackLink = u.startStackLink = next;
    }
    s.setStackHead(column, row, static_cast<std::uint16_t>(units.empty() ? 0 : units.front()));
}

// Every unit off the map (no hex, no stack), so that a test places only the
// units it talks about.
inline void clearBoard(GameState& s) {
    for (auto& h : s.hexes()) h.stackHead = 0;
    for (int n = 1; n <= s.unitCount(); ++n) {
        UnitState& u = s.unit(n);
        u.column = u.row = u.startColumn = u.startRow = 0;
        u.stackLink = u.startStackLink = 0;
    }
}

// Two players, "Anna" in slot 0 and "Bert" in slot 1, Anna at this machine.
inline void twoPlayers(GameState& s, std::uint8_t current = 0) {
    s.players[0].kind = SlotKind::Player;
    s.players[0].name = "Anna";
    s.players[1].kind = SlotKind::Player;
    s.players[1].name = "Bert";
    s.players[2].kind = SlotKind::CardLocation;
    s.players[2].name = "Pile";
    s.identifyProgress = kPlayersComplete;
    s.currentSlot = current;
}

// Record bytes written by hand.
struct Rec {
    Bytes b;
    Rec& raw(std::initializer_list<int> v) {
        for (int x : v) b.push_back(static_cast<std::uint8_t>(x));
        return *this;
    }
    Rec& cmd(int code) { return raw({255, code}); }
    Rec& unit(int u) { return raw({u / 255, u % 255}); }
    Rec& hex(int c, int r) { return raw({c, r}); }
    Rec& text(const std::string& t) {
        for (char c : t) b.push_back(static_cast<std::uint8_t>(c));
        return *this;
    }
    // 255, 241, units, 255, 247, origin, first hex
    Rec& moveStart(std::initializer_list<int> units, int oc, int orow, int fc, int fr) {
        cmd(241);
        for (int u : units) unit(u);
        return cmd(247).hex(oc, orow).hex(fc, fr);
    }
    Rec& comment(const std::string& t) { return cmd(242).text(t).cmd(249); }
};

}  // namespace qmx::test
