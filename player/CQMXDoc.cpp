#include "player/CQMXDoc.h"

#include "core/session/SessionPrompts.h"
#include "core/settings/ProgramFolder.h"
#include "core/settings/Settings.h"

namespace qmx {

CQMXDoc::CQMXDoc(Module module, ModuleGraphics graphics, std::string modulePath,
                 std::size_t cardOffset, std::string programFolder, ReplayFile replayFile,
                 Settings& settings, SessionPrompts& prompts, Clock& clock)
    : m_module(std::move(module)),
      m_graphics(std::move(graphics)),
      m_modulePath(std::move(modulePath)),
      m_cardOffset(cardOffset),
      m_moduleTitle(qmx::moduleTitle(m_modulePath)),
      m_programFolder(std::move(programFolder)),
      m_replayFile(std::move(replayFile)),
      m_settings(settings),
      m_prompts(prompts),
      m_clock(clock),
      m_game(m_module),
      m_recorder(m_replayFile, m_game, m_prompts),
      m_session(m_module, m_game, m_recorder, m_replayFile, m_prompts, m_settings, m_random,
                SessionFiles{m_programFolder, m_moduleTitle,
                             m_programFolder + std::string(kSavedGamesFolder)}),
      m_cardTexts(m_modulePath, m_cardOffset),
      m_cards(m_module, m_game, m_recorder, m_prompts, m_random, m_clock, m_cardTexts, m_session),
      m_combat(m_module, m_game, m_recorder, m_prompts, m_settings, m_random, m_clock, m_session),
      m_replay(m_session, m_module, m_game, m_recorder, m_replayFile, m_prompts, m_settings,
               m_cardTexts) {
    m_random.seedFrom(m_clock);
    // The dice of the next roll start as the preferred dice.
    m_game.diceCount = m_settings.preferences().numberOfDice;
    m_game.diceSides = m_settings.preferences().sidesOnDice;
    // A new game has recorded nothing, so there is no move to lose yet.
    m_game.moveSaved = true;
}

}  // namespace qmx
