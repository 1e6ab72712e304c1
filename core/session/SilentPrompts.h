#pragma once
// The person who is not there (--no-dialogs, screenshots, benchmarks): every
// message goes to standard error, every question is answered yes, every
// dialog is cancelled and no help prompt is ticked.

#include "core/session/SessionPrompts.h"

namespace qmx {

class SilentPrompts : public SessionPrompts {
public:
    void showMessage(int number) override;
    void showText(const std::string& title, const std::string& text) override;
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    std::optional<std::string> askText(const std::string&, const std::string&, int) override {
        return std::nullopt;
    }
    bool showPrompt(std::string_view) override { return false; }
    std::optional<std::string> openFileName(const std::string&, const std::string&,
                                            const std::vector<FileFilter>&) override {
        return std::nullopt;
    }
    std::vector<std::string> openFileNames(const std::string&, const std::string&,
                                           const std::vector<FileFilter>&) override {
        return {};
    }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> saveFileName(const std::string&, const std::string&,
                                            const std::string&,
                                            const std::vector<FileFilter>&) override {
        return std::nullopt;
    }
    DefinePlayersAnswer definePlayers(PlayerDefinition&) override {
        return DefinePlayersAnswer::Later;
    }
    std::optional<NewPlayerAnswer> askNewPlayer(const std::string&) override {
        return std::nullopt;
    }
    std::optional<IdentityAnswer> askIdentity(const std::vector<std::string>&) override {
        return std::nullopt;
    }
    std::optional<std::string> askNewPassword() override { return std::nullopt; }
    std::optional<CommentAnswer> askComment(bool, bool) override { return std::nullopt; }
    std::optional<std::string> askCommentPassword() override { return std::nullopt; }
    std::string clipboardText() override { return {}; }
    void setClipboardText(const std::string&) override {}
    void handToMailProgram(const TurnMail&) override {}
    std::optional<Preferences> editPreferences(const Preferences&) override { return std::nullopt; }
    void showAbout(const std::string&) override {}
    void showModuleInformation(const std::string&) override {}

    bool askOkCancel(const std::string&, const std::string&) override { return true; }
    std::optional<DealAnswer> askDeal(const std::vector<std::string>&,
                                      const std::vector<std::string>&) override {
        return std::nullopt;
    }
    void viewHand(CardHand&) override {}
    void showReadback(const std::string& text, bool largeFont) override;
    void editReportOptions(ReportOptions&) override {}
    void showFindings(const std::string& title, const std::string& heading,
                      const std::vector<std::string>& lines) override;
    DiceDefinition defineDice(DiceDefinition current) override { return current; }
    CommentAnswer showResult(const std::string&, bool) override { return {}; }
    std::optional<int> askGiveCard(const std::vector<std::string>&) override {
        return std::nullopt;
    }
    std::optional<int> askPlaceCard(const std::vector<std::string>&) override {
        return std::nullopt;
    }
    std::optional<int> chooseItem(const std::string&, const std::string&,
                                  const std::vector<std::string>&) override {
        return std::nullopt;
    }
};

}  // namespace qmx
