#include "core/session/HelpPrompts.h"

#include "core/settings/Settings.h"

namespace qmx {

std::optional<std::string_view> helpPromptText(int number) {
    switch (number) {
        case 2:
            return "In Combat mode you may only move units to the combat boxes.  If you make a "
                   "mistake in picking a unit up and need to place it back on the map, press the "
                   "\"release\" button";
        case 3:
            return "The first thing you have to do is load a Game module (.qm4) file.  This "
                   "defines "
                   "the game for which you are using the program.  Check the QMX homepage for "
                   "available modules.";
        case 5:
            return "Now you need to define the players.  This is not necessary if this game does "
                   "not use cards or hidden units.  A defined gamemaster has access to all hidden "
                   "units.  There must be at least two players.  You may also designate Card Deck "
                   "locations at this time, which are places where cards may be dealt to or dealt "
                   "from without either player seeing what they are.  A position may not be "
                   "designated as a player unless all previous positions are players.  A position "
                   "may not be used if any previous positions are not used.";
        case 6:
            return "To identify additional players, you need to save the file and send it to your "
                   "opponent(s).  Each time the file is reloaded, any remaining unidentified "
                   "players will need to initialize their User names and passwords for this game.  "
                   "Card deck and hidden units functions will be disabled until all players are "
                   "identified.";
        case 7:
            return "If you and your opponent are able to attach binary files to your e-mails, you "
                   "should not use this type of save.  Internet Encoded Save is a special save "
                   "mode "
                   "which allows you to embed your file in the text area of an email message.  "
                   "This is to allow users who do not have a binary file capability in their "
                   "e-mail to transfer games back and forth.  You should copy the text from the "
                   "file you save to and paste it into your e-mail body text.  Do not attach it as "
                   "a binary file to your e-mail.  If you are able to do this, just use the \"save "
                   "as normal\" mode.";
        case 8:
            return "The undo function will place the carried units back to their starting place at "
                   "the beginning of the replay.  It will NOT retrace movement.  Stacking order "
                   "may "
                   "be affected.";
        case 9:
            return "You have just disabled a help prompt.  You may turn all help prompts back on "
                   "by "
                   "selecting the menu item \"Help->Turn All Prompts On\".  ";
        case 11:
            return "You have declared a combat action for later resolution.  To resolve this "
                   "combat, select \"Resolve\" mode in the upper right button on the window, and "
                   "then use the \"Next\" button to resolve each declared combat in sequence.  "
                   "It's "
                   "not a good idea to declare combats and then not resolve them.";
        case 12:
            return "You have chosen to hide the ID of this unit.  This may not be effective if the "
                   "module is not set up to support this capability.  Hiding ID will conceal the "
                   "units name and factor values, and show on the step 1 image on the screen.  If "
                   "the module was not created to support this, the step 1 image may not "
                   "adequately conceal your units identity.";
        default:
            return std::nullopt;
    }
}

bool showHelpPrompt(Settings& settings, PromptDialog& dialog, int number) {
    const auto text = helpPromptText(number);
    if (!text || !settings.promptEnabled(number)) return false;
    if (!dialog.showPrompt(*text)) return true;
    settings.setPromptEnabled(number, false);
    if (number != prompt::kPromptDisabled && settings.promptEnabled(prompt::kPromptDisabled)) {
        if (dialog.showPrompt(*helpPromptText(prompt::kPromptDisabled))) {
            settings.setPromptEnabled(prompt::kPromptDisabled, false);
        }
    }
    return true;
}

}  // namespace qmx
