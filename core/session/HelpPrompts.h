#pragma once
// The numbered help prompts: tips shown once in the "Information" dialog until
// the user ticks "Don't show this prompt again". The switches live in the
// [HELP PROMPTS] section of QMX.ini (Settings).

#include <optional>
#include <string_view>

namespace qmx {

class Settings;

namespace prompt {
constexpr int kCombatMode = 2;
constexpr int kLoadModule = 3;
constexpr int kDefinePlayers = 5;
constexpr int kMorePlayers = 6;
constexpr int kEncodedSave = 7;
constexpr int kUndo = 8;
constexpr int kPromptDisabled = 9;
constexpr int kDeclared = 11;
constexpr int kHideId = 12;
}  // namespace prompt

// The text of a prompt, or nothing for a number without one.
std::optional<std::string_view> helpPromptText(int number);

// The "Information" dialog: shows a text with "OK" and the check box
// "Don't show this prompt again" (unticked), and returns whether the box was
// ticked when OK closed it.
class PromptDialog {
public:
    virtual ~PromptDialog() = default;
    virtual bool showPrompt(std::string_view text) = 0;
};

// Shows prompt `number` if it is switched on. Ticking the box switches it off;
// then, unless it was prompt 9 itself, the follow-up prompt 9 is shown if it is
// still on, and ticking the box there switches prompt 9 off too.
// Returns true if anything was shown.
bool showHelpPrompt(Settings& settings, PromptDialog& dialog, int number);

}  // namespace qmx
