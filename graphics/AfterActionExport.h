#pragma once
// Writing an after-action report: the saved games of one game, each loaded,
// seen by one viewer, its board drawn and its move, comments, dice and combat
// results gathered into one page (index.html) with the pictures beside it.
// Used by `qmxtool aar` and the player's Export After-Action Report.

#include <functional>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/ModuleFile.h"
#include "graphics/ModuleGraphics.h"

namespace qmx {

struct AarRequest {
    std::string modulePath;
    const Module* module = nullptr;
    std::size_t cardOffset = 0;  // where the card texts start in the module file
    const ModuleGraphics* graphics = nullptr;
    std::vector<std::string> saves;  // in turn order
    std::string folder;              // made when missing
    float zoom = 1.0f;
    // Makes the viewer the person of each loaded game (an observer when it
    // leaves the game alone); returns a note for the report's user, or "".
    std::function<std::string(GameState&, const std::string& save)> identifyViewer;
    // After each saved game: how many are done; false stops the export.
    std::function<bool(std::size_t done, std::size_t total)> progress;
};

struct AarResult {
    bool ok = false;
    std::string error;               // why it failed (names the file)
    std::vector<std::string> notes;  // for the user, in order
    std::string index;               // the page written
    std::size_t turns = 0;
};

AarResult writeAfterActionReport(const AarRequest& request);

}  // namespace qmx
