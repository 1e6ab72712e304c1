#pragma once
// Everything the player's commands ask of the person at the machine, as one
// interface of the core: the numbered messages and questions of UserPrompts,
// the help prompts' "Information" dialog, the file dialogs, the players'
// dialogs, the comment dialogs, the clipboard and the informational boxes of
// the Help menu. The shell implements it with real dialogs (ShellPrompts),
// runs without a person with SilentPrompts, and tests answer from a script.

#include <optional>
#include <string>
#include <vector>

#include "core/game/PlayerDefinition.h"
#include "core/game/UserPrompts.h"
#include "core/replay/TextReport.h"
#include "core/session/HelpPrompts.h"
#include "core/settings/Settings.h"

namespace qmx {

// One entry of a file dialog's filter list: "QMX Saved Games(*.qms)", "*.qms".
struct FileFilter {
    std::string name;
    std::string pattern;
    bool operator==(const FileFilter&) const = default;
};

enum class DefinePlayersAnswer { Ok, Later, NotNecessary };

struct NewPlayerAnswer {
    std::string name;
    std::string password;
};

struct IdentityAnswer {
    int index = 0;  // position in the list of names
    std::string password;
};

// The Deal dialog's choice: positions in its two lists (-1 when a list was
// empty).
struct DealAnswer {
    int source = 0;
    int receiver = 0;
};

// A turn handed to the desktop's mail program: the saved game attached, the
// text save in the body (or attached too when it is too long for one).
struct TurnMail {
    std::string subject;
    std::string body;
    std::vector<std::string> attachments;
    std::string gamePath;  // the saved game and its text save, for the message
    std::string textPath;  // when the mail program cannot take the turn
    std::string text;      // the text save, for the clipboard then
};

// What to say when the mail program cannot take the turn; `reason` says why.
std::string turnMailFailureText(const TurnMail& mail, const std::string& reason);

class CardHand;

struct CommentAnswer {
    std::string text;
    bool encode = false;  // "Encode" instead of "OK"
};

// The dice of the next roll, as the "Define Dice" dialog leaves them.
struct DiceDefinition {
    int count = 2;
    int sides = 6;
    bool operator==(const DiceDefinition&) const = default;
};

class SessionPrompts : public UserPrompts, public PromptDialog {
public:
    // File dialogs: the chosen path, or nothing when cancelled. The open
    // dialog accepts only existing files.
    virtual std::optional<std::string> openFileName(const std::string& title,
                                                    const std::string& folder,
                                                    const std::vector<FileFilter>& filters) = 0;
    virtual std::optional<std::string> saveFileName(const std::string& title,
                                                    const std::string& folder,
                                                    const std::string& name,
                                                    const std::vector<FileFilter>& filters) = 0;
    // A choice of several existing files (empty when cancelled), and of a folder.
    virtual std::vector<std::string> openFileNames(const std::string& title,
                                                   const std::string& folder,
                                                   const std::vector<FileFilter>& filters) = 0;
    virtual std::optional<std::string> chooseFolder(const std::string& title,
                                                    const std::string& folder) = 0;

    // "Define Players": the dialog shows `definition` and passes every click
    // through definition.choose(), which keeps the rules.
    virtual DefinePlayersAnswer definePlayers(PlayerDefinition& definition) = 0;
    // "Initialize Player" with `prompt` ("Enter the name of Player #2:"):
    // name and password, nothing on Cancel.
    virtual std::optional<NewPlayerAnswer> askNewPlayer(const std::string& prompt) = 0;
    // "Identify Player": the names under "Select your name", the first one
    // selected; the chosen position and the password, nothing on Cancel.
    virtual std::optional<IdentityAnswer> askIdentity(const std::vector<std::string>& names) = 0;
    // "Change Password": the new password, nothing on Cancel.
    virtual std::optional<std::string> askNewPassword() = 0;

    // "Enter a Comment", in the large font when `largeFont`; without a
    // Cancel button (Escape ignored) when `mayCancel` is false.
    virtual std::optional<CommentAnswer> askComment(bool largeFont, bool mayCancel) = 0;
    // "Encrypted Comment" for writing one, with the note to record the
    // password separately; nothing on Cancel.
    virtual std::optional<std::string> askCommentPassword() = 0;

    // The clipboard's text, as bytes; and putting text there.
    virtual std::string clipboardText() = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    // Hands the mail to the desktop's mail program (xdg-email); when that
    // cannot be done, puts mail.text on the clipboard and says where the
    // files are (turnMailFailureText).
    virtual void handToMailProgram(const TurnMail& mail) = 0;

    // The "Preferences" dialog: the edited values, nothing on Cancel.
    virtual std::optional<Preferences> editPreferences(const Preferences& current) = 0;
    // The About box and "About This Module".
    virtual void showAbout(const std::string& text) = 0;
    virtual void showModuleInformation(const std::string& notes) = 0;

    // --- the cards ---------------------------------------------------------------------
    // A question with OK and Cancel; true for OK.
    virtual bool askOkCancel(const std::string& title, const std::string& question) = 0;
    // "Deal a Card": the sources and the receivers, each list starting at its
    // first entry; nothing on Cancel.
    virtual std::optional<DealAnswer> askDeal(const std::vector<std::string>& sources,
                                              const std::vector<std::string>& receivers) = 0;
    // The hand dialog: shows `hand` and passes every button but Done through
    // hand.press().
    virtual void viewHand(CardHand& hand) = 0;
    // "Give a Card" and "Place a Card": the chosen position, nothing on Cancel.
    virtual std::optional<int> askGiveCard(const std::vector<std::string>& players) = 0;
    virtual std::optional<int> askPlaceCard(const std::vector<std::string>& locations) = 0;

    // --- start-up ------------------------------------------------------------------------
    // One entry of a list, the first one selected, with OK and Cancel (several
    // modules that match a saved game): the chosen position, nothing on Cancel.
    virtual std::optional<int> chooseItem(const std::string& title, const std::string& label,
                                          const std::vector<std::string>& items) = 0;

    // --- dice and results ---------------------------------------------------------------
    // "Define Dice" (OK only): the values as the dialog is closed; the up-down
    // controls and every field left have stored theirs already.
    virtual DiceDefinition defineDice(DiceDefinition current) = 0;
    // The result dialog "Enter a Comment" over `text` (read-only), in the
    // large font when `largeFont`: the comment and whether "Encode" closed it.
    virtual CommentAnswer showResult(const std::string& text, bool largeFont) = 0;

    // --- the replay and the text reports ---------------------------------------------
    // The comment display (a replayed comment or a card's text) with OK:
    // CReadback, or CReadbacklg in the large font.
    virtual void showReadback(const std::string& text, bool largeFont) = 0;
    // "ASCII Save Preferences": every check box changes `options` as it is clicked.
    virtual void editReportOptions(ReportOptions& options) = 0;

    // A list of lines under a heading, with OK (the turn check's findings).
    virtual void showFindings(const std::string& title, const std::string& heading,
                              const std::vector<std::string>& lines) = 0;
};

}  // namespace qmx
