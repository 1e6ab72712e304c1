#pragma once
// The player's dialogs behind the core's SessionPrompts: message boxes, the
// help prompts' "Information" dialog, the file dialogs, the players' and the
// comment dialogs, the clipboard and the Help menu's boxes.
//
// Without a person (--no-dialogs, screenshots) the program uses SilentPrompts
// of the core instead.

#include <QString>

#include "core/session/SessionPrompts.h"
#include "graphics/QtText.h"

class QWidget;

namespace qmx {

class ShellPrompts : public SessionPrompts {
public:
    // Dialogs open over `parent` once it is set (the main window).
    void setParent(QWidget* parent) { m_parent = parent; }

    void showMessage(int number) override;
    void showText(const std::string& title, const std::string& text) override;
    bool askYesNo(const std::string& title, const std::string& question) override;
    bool askLoadDamaged(const std::string& title, const std::string& text) override;
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       int maxLength) override;
    bool showPrompt(std::string_view text) override;

    std::optional<std::string> openFileName(const std::string& title, const std::string& folder,
                                            const std::vector<FileFilter>& filters) override;
    std::optional<std::string> saveFileName(const std::string& title, const std::string& folder,
                                            const std::string& name,
                                            const std::vector<FileFilter>& filters) override;
    DefinePlayersAnswer definePlayers(PlayerDefinition& definition) override;
    std::optional<NewPlayerAnswer> askNewPlayer(const std::string& prompt) override;
    std::optional<IdentityAnswer> askIdentity(const std::vector<std::string>& names) override;
    std::optional<std::string> askNewPassword() override;
    std::optional<CommentAnswer> askComment(bool largeFont, bool mayCancel) override;
    std::optional<std::string> askCommentPassword() override;
    std::string clipboardText() override;
    void setClipboardText(const std::string& text) override;
    void handToMailProgram(const TurnMail& mail) override;
    std::vector<std::string> openFileNames(const std::string& title, const std::string& folder,
                                           const std::vector<FileFilter>& filters) override;
    std::optional<std::string> chooseFolder(const std::string& title,
                                            const std::string& folder) override;
    std::optional<Preferences> editPreferences(const Preferences& current) override;
    void showAbout(const std::string& text) override;
    void showModuleInformation(const std::string& notes) override;
    void showReadback(const std::string& text, bool largeFont) override;
    void editReportOptions(ReportOptions& options) override;
    void showFindings(const std::string& title, const std::string& heading,
                      const std::vector<std::string>& lines) override;

    bool askOkCancel(const std::string& title, const std::string& question) override;
    std::optional<DealAnswer> askDeal(const std::vector<std::string>& sources,
                                      const std::vector<std::string>& receivers) override;
    void viewHand(CardHand& hand) override;
    std::optional<int> askGiveCard(const std::vector<std::string>& players) override;
    std::optional<int> askPlaceCard(const std::vector<std::string>& locations) override;
    std::optional<int> chooseItem(const std::string& title, const std::string& label,
                                  const std::vector<std::string>& items) override;

    DiceDefinition defineDice(DiceDefinition current) override;
    CommentAnswer showResult(const std::string& text, bool largeFont) override;

private:
    // Over the open modal dialog (the hand), otherwise over the main window.
    QWidget* dialogParent() const;
    QWidget* m_parent = nullptr;
};

// The filter list of a file dialog: "QMX Saved Games(*.qms) (*.qms);;All Files (*)".
QString fileDialogFilter(const std::vector<FileFilter>& filters);

}  // namespace qmx
