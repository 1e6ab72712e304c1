#pragma once
// Two saved games of the demo module, so that the game and replay commands
// have real files to work on: "Demo-setup.qms" (every unit on its side's
// start hexes, the players "Blue" and "Red" defined, no replay record) and
// "Demo-turn1.qms" (Blue's first move on top of it, with its replay record).

#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Bytes.h"
#include "core/module/Module.h"
#include "tools/demo/DemoScenario.h"

namespace qmx::demo {

inline constexpr const char* kDemoSetupName = "Demo-setup.qms";
inline constexpr const char* kDemoTurnOneName = "Demo-turn1.qms";

// One stack of the set-up: unit numbers top first (Blue 1..30, Red 31..60).
struct DemoStack {
    Hex hex;
    std::vector<int> units;
};

// Where the set-up puts the units: Blue along the river line and behind it,
// Red near the west edge.
const std::vector<DemoStack>& demoSetupStacks();

// The start of the game on `module`: units placed and committed as the start
// positions, a few hidden by their owner, the two players initialized.
GameState demoSetupState(const Module& module);

struct DemoTurn {
    GameState state;  // after Blue's move
    Bytes record;     // the replay record of the move, ending with the save marker
};

// Blue's first move on top of `setup`, recorded through a work file in
// `workFolder` (removed afterwards). False when the record could not be written.
bool demoTurnOne(const Module& module, const GameState& setup, const std::string& workFolder,
                 DemoTurn& out);

// Writes both saved games into `folder` (created if missing) for `module`,
// which must carry the identity of the written Demo.qm4. Problems are reported
// on standard error.
bool writeDemoGames(const std::string& folder, const Module& module);

}  // namespace qmx::demo
