#include "core/replay/ResetRecorder.h"

#include "core/game/UnitRules.h"
#include "core/module/MessageTable.h"

namespace qmx {

ResetOutcome resetRecorder(GameState& state, ReplayFile& file, UserPrompts& prompts,
                           bool replayActive) {
    if (replayActive || state.holdingUnits() || state.gameMode == GameMode::Combat) {
        prompts.showMessage(msg::kNotAvailableNow);
        return ResetOutcome::Refused;
    }
    if (!prompts.askYesNo(std::string(kWarningTitle), std::string(kResetQuestion)))
        return ResetOutcome::Declined;
    file.remove();
    commitStartPositions(state);
    return ResetOutcome::Reset;
}

}  // namespace qmx
