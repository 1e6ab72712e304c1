#pragma once
// Who sits at this machine: initializing the players one per load as the
// saved game travels round, identifying with name and password on every
// later load, and changing one's password.
//
// A stored password is the nine characters of the password buffer scrambled
// with the key table from a seed 0..99 (PasswordKeyTable.h). Passwords are
// compared exactly, with case, up to nine characters.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/game/GameState.h"

namespace qmx {

class Random;

inline constexpr const char* kInitializePlayerTitle = "Initialize Player";
inline constexpr const char* kIdentifyTitle = "Identification";
inline constexpr const char* kWelcome = "Welcome, ";
inline constexpr const char* kUnrecognized =
    "Unrecognized password.  You only have observer privileges.  If you think this is incorrect, "
    "try to reload the saved game again.";
inline constexpr const char* kUnrecognizedCancel =
    "Unrecognized password.  You only have observer privileges.";
inline constexpr const char* kChangePasswordTitle = "Error";
inline constexpr const char* kMustBeIdentified =
    "You must be an identified player to change your password.";

// Help prompts the flows ask the shell to show.
inline constexpr int kDefinePlayersHelp = 5;
inline constexpr int kTravelOnHelp = 6;

// A seed 0..99 for a stored password or a comment.
int drawSeed(Random& random);

// What a step of the flows asks the windows to show.
struct IdentityOutcome {
    bool accepted = false;  // the dialog closes (false: it stays open)
    int message = 0;        // a numbered message (3: "You must enter a password!")
    int helpPrompt = 0;     // a help prompt to show
    std::string title;      // a text message with its title
    std::string text;
};

// True after a load when the next player must be initialized: the kinds are
// defined and `IdentifyProgress` is 0 or 2..8 (8 at most, so the slot is
// always one of the table; any other value from a damaged file asks nothing).
bool needsInitialization(const GameState& state);
// The slot that initialization fills: 0 for progress 0, n - 1 for n.
int slotToInitialize(const GameState& state);
// "Enter the name of Player #1:" for progress 0, "#2:" to "#8:" for 2..8.
std::string initializePrompt(const GameState& state);

// "OK" of the "Initialize Player" dialog. An empty password is refused with
// message 3 and the dialog stays open. Otherwise the name and the password
// (scrambled from `seed`) go into the slot, `IdentifyProgress` moves on, and
// the person is identified as that slot when every player is initialized, or
// stays an observer with help prompt 6 (the file must travel on).
IdentityOutcome initializePlayer(GameState& state, std::string_view name, std::string_view password,
                                 int seed);
// "Cancel": nothing is stored; help prompt 6.
IdentityOutcome cancelInitialization(GameState& state);

// True after a load when identification is asked for (`IdentifyProgress` 30).
bool needsIdentification(const GameState& state);
// The list under "Select your name": the slots of kind Player or Game
// Master in slot order, with their names.
std::vector<std::pair<int, std::string>> identificationList(const GameState& state);
// "OK" of the "Identify Player" dialog with the chosen slot.
IdentityOutcome identify(GameState& state, int slot, std::string_view password);
// "Cancel": an observer.
IdentityOutcome cancelIdentification(GameState& state);

// True when the slot's stored password is `password`.
bool passwordMatches(const PlayerSlot& slot, std::string_view password);

// The person at this machine is an identified player (or game master): the
// hide commands and "Change Password" need it.
bool isIdentified(const GameState& state);

// "Change Password": refused (title "Error") unless identified; when the
// refusal comes, the dialog does not open.
IdentityOutcome checkChangePassword(const GameState& state);
// "OK" of the "Change Password" dialog: an empty entry gives message 3 and
// keeps the dialog open; otherwise the password is scrambled with `seed`
// into the current slot.
IdentityOutcome changePassword(GameState& state, std::string_view password, int seed);

}  // namespace qmx
