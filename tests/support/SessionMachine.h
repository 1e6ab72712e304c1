#pragma once
// One player's machine for the session tests: a game, its record file, its
// settings, its scripted person and the session over them.

#include <filesystem>
#include <string>

#include "core/game/GameState.h"
#include "core/game/PasswordKeyTable.h"
#include "core/game/UnitRules.h"
#include "core/module/Random.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/settings/Settings.h"
#include "tests/support/ScriptedPrompts.h"

namespace qmx {

// One machine: a game, its record, its settings and its person.
struct Machine {
    explicit Machine(const Module& module, const std::filesystem::path& folder)
        : game(module),
          file((folder / ("record" + std::to_string(counter++) + ".tmp")).string()),
          settings((folder / "QMX.ini").string()),
          recorder(file, game, prompts),
          session(module, game, recorder, file, prompts, settings, random,
                  SessionFiles{folder.string() + "/", "Battle", folder.string() + "/", &clock}) {
        random.seed(12345);
        game.moveSaved = true;  // as the program starts: nothing to lose yet
    }
    Bytes record() const { return file.read().value_or(Bytes{}); }

    static inline int counter = 0;
    FixedClock clock{1796817600};  // 2026-12-09, noon UTC
    GameState game;
    ReplayFile file;
    Settings settings;
    ScriptedPrompts prompts;
    Random random;
    ReplayRecorder recorder;
    PlayerSession session;
};

// Blue ("blue") in slot 0 and Red ("red") in slot 1, both defined; the
// units in stacks of two over six columns from the first row on, where
// they also start.
inline void twoPlayersInStacksOfTwo(GameState& g) {
    for (int s : {0, 1}) {
        g.players[static_cast<std::size_t>(s)].kind = SlotKind::Player;
        g.players[static_cast<std::size_t>(s)].name = s == 0 ? "Blue" : "Red";
        g.players[static_cast<std::size_t>(s)].password =
            scramblePassword(s == 0 ? "blue" : "red", 7);
    }
    g.identifyProgress = kPlayersComplete;
    for (auto& h : g.hexes()) h.stackHead = 0;
    for (int u = 1; u <= g.unitCount(); ++u) {
        UnitState& s = g.unit(u);
        s.column = static_cast<std::uint8_t>(1 + (u - 1) / 2 % 6);
        s.row = static_cast<std::uint8_t>(1 + (u - 1) / 12);
        s.stackLink = static_cast<std::uint16_t>(u % 2 && u < g.unitCount() ? u + 1 : 0);
        if (u % 2) g.setStackHead(s.column, s.row, static_cast<std::uint16_t>(u));
    }
    commitStartPositions(g);
}

}  // namespace qmx
