#pragma once
// One player's machine for the session tests: a game, its record file, its
// settings, its scripted person and the session over them.

#include <filesystem>
#include <string>

#include "core/game/GameState.h"
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

}  // namespace qmx
