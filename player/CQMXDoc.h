#pragma once
// The one document of the player: the loaded module with its image, the game
// in progress, the replay record and the names the file commands remember.
// It lives from the module load to the end of the program.

#include <memory>
#include <string>

#include "core/cards/CardSession.h"
#include "core/combat/CombatSession.h"
#include "core/game/GameState.h"
#include "core/module/Clock.h"
#include "core/module/Module.h"
#include "core/module/Random.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/session/ReplayControl.h"
#include "graphics/ModuleGraphics.h"

namespace qmx {

class SessionPrompts;
class Settings;

class CQMXDoc {
public:
    CQMXDoc(Module module, ModuleGraphics graphics, std::string modulePath, std::size_t cardOffset,
            std::string programFolder, ReplayFile replayFile, Settings& settings,
            SessionPrompts& prompts, Clock& clock);
    CQMXDoc(const CQMXDoc&) = delete;
    CQMXDoc& operator=(const CQMXDoc&) = delete;

    Module& module() { return m_module; }
    const Module& module() const { return m_module; }
    const ModuleGraphics& graphics() const { return m_graphics; }
    GameState& game() { return m_game; }
    const GameState& game() const { return m_game; }
    ReplayFile& replayFile() { return m_replayFile; }
    ReplayRecorder& recorder() { return m_recorder; }
    Settings& settings() { return m_settings; }
    SessionPrompts& prompts() { return m_prompts; }
    // The player's commands, run whole.
    PlayerSession& session() { return m_session; }
    // The panel's combat and dice commands.
    CombatSession& combat() { return m_combat; }
    // Watching the replay, Reset Recorder and the text reports.
    ReplayControl& replay() { return m_replay; }
    Clock& clock() { return m_clock; }
    Random& random() { return m_random; }

    const std::string& modulePath() const { return m_modulePath; }
    // Where the card records begin in the module file: the cards and the Move
    // report read a card's text from there.
    std::size_t cardOffset() const { return m_cardOffset; }
    // The module file's name up to its last point, at most 63 characters.
    const std::string& moduleTitle() const { return m_moduleTitle; }
    const std::string& programFolder() const { return m_programFolder; }

    // Deal Card and View Cards.
    CardSession& cards() { return m_cards; }

private:
    Module m_module;
    ModuleGraphics m_graphics;
    std::string m_modulePath;
    std::size_t m_cardOffset;
    std::string m_moduleTitle;
    std::string m_programFolder;
    ReplayFile m_replayFile;
    Settings& m_settings;
    SessionPrompts& m_prompts;
    Clock& m_clock;
    Random m_random;
    GameState m_game;
    ReplayRecorder m_recorder;
    PlayerSession m_session;
    ModuleFileCardTexts m_cardTexts;
    CardSession m_cards;
    CombatSession m_combat;
    ReplayControl m_replay;
};

}  // namespace qmx
