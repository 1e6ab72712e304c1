#pragma once
// The one scripted person of the tests: it records every message, question
// and dialog the program shows, and answers from queues. An empty queue
// gives the cautious answer: no to a question, an unticked help prompt, and
// Cancel (nothing) for every dialog and text entry.
//
//   shown      title and text of every message, text and question, in order
//   texts      "title: text" of every showText
//   questions  "title: question" of every askYesNo
//   asked      "title|prompt|maxLength" of every askText
//   hands      what the hand dialog showed: "Card N of M|text" on opening
//              and after every button

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/cards/CardSession.h"
#include "core/module/MessageTable.h"
#include "core/session/SessionPrompts.h"

namespace qmx {

class ScriptedPrompts : public SessionPrompts {
public:
    struct Shown {
        std::string title;
        std::string text;
        bool operator==(const Shown&) const = default;
    };

    // --- what was shown --------------------------------------------------------
    std::vector<Shown> shown;   // messages, texts and questions, in order
    std::vector<int> messages;  // the numbers of the numbered messages
    std::vector<std::string> texts;
    std::vector<std::string> questions;
    std::vector<std::string> asked;
    std::vector<std::string> prompts;      // help prompt texts
    std::vector<std::string> fileDialogs;  // "open FOLDER" / "save FOLDER NAME"
    std::vector<std::vector<FileFilter>> filters;
    std::vector<std::string> newPlayerPrompts;
    std::vector<std::vector<std::string>> identityLists;
    std::vector<std::pair<bool, bool>> commentDialogs;  // large font, may cancel
    int definitions = 0;
    int abouts = 0;
    int moduleInformations = 0;
    std::vector<std::pair<std::string, bool>> readbacks;  // text, large font
    int reportOptionDialogs = 0;
    std::vector<std::pair<std::string, std::vector<std::string>>> findings;  // heading, lines

    // --- the answers --------------------------------------------------------------
    std::deque<bool> yesNo;
    std::deque<bool> loadDamaged;  // "Load anyway" (true when empty) or Cancel
    std::deque<bool> ticks;
    std::deque<std::optional<std::string>> answers;  // askText
    std::deque<std::optional<std::string>> files;
    std::deque<DefinePlayersAnswer> defineAnswers;
    // The clicks of the "Define Players" dialog, made through the definition.
    std::function<void(PlayerDefinition&)> defineClicks;
    std::deque<std::optional<NewPlayerAnswer>> newPlayers;
    std::deque<std::optional<IdentityAnswer>> identities;
    std::deque<std::optional<std::string>> newPasswords;
    std::deque<std::optional<CommentAnswer>> comments;
    std::deque<std::optional<std::string>> commentPasswords;
    std::deque<std::optional<Preferences>> preferences;
    std::string clipboard;
    std::vector<TurnMail> mails;                     // handed to the mail program
    std::deque<std::vector<std::string>> fileLists;  // openFileNames
    std::deque<std::optional<std::string>> folders;  // chooseFolder
    // The clicks of the "ASCII Save Preferences" dialog.
    std::function<void(ReportOptions&)> reportOptionClicks;

    // --- the cards --------------------------------------------------------------------
    std::deque<bool> okCancel;                        // askOkCancel (also in questions)
    std::deque<std::optional<DealAnswer>> deals;      // the Deal dialog
    std::deque<std::vector<HandButton>> handPresses;  // the buttons of each hand dialog
    std::deque<std::optional<int>> gives;             // the Give dialog
    std::deque<std::optional<int>> places;            // the Place dialog
    std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> dealLists;
    std::vector<std::vector<std::string>> giveLists;
    std::vector<std::vector<std::string>> placeLists;
    std::vector<std::string> hands;

    // True when message `number` was shown.
    bool showedMessage(int number) const {
        for (int n : messages)
            if (n == number) return true;
        return false;
    }
    bool showedText(const std::string& text) const {
        for (const Shown& s : shown)
            if (s.text == text) return true;
        return false;
    }
    void clear() {
        shown.clear();
        messages.clear();
        texts.clear();
        questions.clear();
        asked.clear();
        prompts.clear();
        fileDialogs.clear();
    }

    // --- SessionPrompts ------------------------------------------------------------
    void showMessage(int number) override {
        messages.push_back(number);
        const auto text = messageText(MessageTable::Player, number);
        shown.push_back({std::string(kWarningTitle), text ? std::string(*text) : std::string()});
    }
    void showText(const std::string& title, const std::string& text) override {
        shown.push_back({title, text});
        texts.push_back(title + ": " + text);
    }
    bool askYesNo(const std::string& title, const std::string& question) override {
        shown.push_back({title, question});
        questions.push_back(title + ": " + question);
        return next(yesNo, false);
    }
    bool askLoadDamaged(const std::string& title, const std::string& text) override {
        shown.push_back({title, text});
        texts.push_back(title + ": " + text);
        return next(loadDamaged, true);
    }
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       int maxLength) override {
        shown.push_back({title, prompt});
        asked.push_back(title + "|" + prompt + "|" + std::to_string(maxLength));
        auto answer = next(answers, std::optional<std::string>());
        if (answer && static_cast<int>(answer->size()) > maxLength)
            answer->resize(static_cast<std::size_t>(maxLength));
        return answer;
    }
    bool showPrompt(std::string_view text) override {
        prompts.emplace_back(text);
        return next(ticks, false);
    }
    std::optional<std::string> openFileName(const std::string&, const std::string& folder,
                                            const std::vector<FileFilter>& f) override {
        fileDialogs.push_back("open " + folder);
        filters.push_back(f);
        return next(files, std::optional<std::string>());
    }
    std::vector<std::string> openFileNames(const std::string&, const std::string& folder,
                                           const std::vector<FileFilter>&) override {
        fileDialogs.push_back("open several " + folder);
        return next(fileLists, std::vector<std::string>());
    }
    std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
        return next(folders, std::optional<std::string>());
    }
    std::optional<std::string> saveFileName(const std::string&, const std::string& folder,
                                            const std::string& name,
                                            const std::vector<FileFilter>& f) override {
        fileDialogs.push_back("save " + folder + " " + name);
        filters.push_back(f);
        return next(files, std::optional<std::string>());
    }
    DefinePlayersAnswer definePlayers(PlayerDefinition& definition) override {
        ++definitions;
        if (defineClicks) defineClicks(definition);
        return next(defineAnswers, DefinePlayersAnswer::Later);
    }
    std::optional<NewPlayerAnswer> askNewPlayer(const std::string& prompt) override {
        newPlayerPrompts.push_back(prompt);
        return next(newPlayers, std::optional<NewPlayerAnswer>());
    }
    std::optional<IdentityAnswer> askIdentity(const std::vector<std::string>& names) override {
        identityLists.push_back(names);
        return next(identities, std::optional<IdentityAnswer>());
    }
    std::optional<std::string> askNewPassword() override {
        return next(newPasswords, std::optional<std::string>());
    }
    std::optional<CommentAnswer> askComment(bool largeFont, bool mayCancel) override {
        commentDialogs.emplace_back(largeFont, mayCancel);
        return next(comments, std::optional<CommentAnswer>());
    }
    std::optional<std::string> askCommentPassword() override {
        return next(commentPasswords, std::optional<std::string>());
    }
    std::string clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    void handToMailProgram(const TurnMail& mail) override { mails.push_back(mail); }
    std::optional<Preferences> editPreferences(const Preferences&) override {
        return next(preferences, std::optional<Preferences>());
    }
    void showAbout(const std::string&) override { ++abouts; }
    void showModuleInformation(const std::string&) override { ++moduleInformations; }
    void showReadback(const std::string& text, bool largeFont) override {
        readbacks.emplace_back(text, largeFont);
    }
    void showFindings(const std::string&, const std::string& heading,
                      const std::vector<std::string>& lines) override {
        findings.emplace_back(heading, lines);
    }
    void editReportOptions(ReportOptions& options) override {
        ++reportOptionDialogs;
        if (reportOptionClicks) reportOptionClicks(options);
    }

    bool askOkCancel(const std::string& title, const std::string& question) override {
        shown.push_back({title, question});
        questions.push_back(title + ": " + question);
        return next(okCancel, false);
    }
    std::optional<DealAnswer> askDeal(const std::vector<std::string>& sources,
                                      const std::vector<std::string>& receivers) override {
        dealLists.emplace_back(sources, receivers);
        return next(deals, std::optional<DealAnswer>());
    }
    void viewHand(CardHand& hand) override {
        const auto seen = [&] { hands.push_back(hand.caption() + "|" + hand.text()); };
        seen();
        for (HandButton b : next(handPresses, std::vector<HandButton>())) {
            hand.press(b);
            seen();
        }
    }
    std::optional<int> askGiveCard(const std::vector<std::string>& players) override {
        giveLists.push_back(players);
        return next(gives, std::optional<int>());
    }
    std::optional<int> askPlaceCard(const std::vector<std::string>& locations) override {
        placeLists.push_back(locations);
        return next(places, std::optional<int>());
    }
    // --- start-up -----------------------------------------------------------------------
    std::deque<std::optional<int>> choices;  // chooseItem; empty: Cancel
    std::vector<std::vector<std::string>>
        choiceLists;  // the items of each (title and label in shown)
    std::optional<int> chooseItem(const std::string& title, const std::string& label,
                                  const std::vector<std::string>& items) override {
        shown.push_back({title, label});
        choiceLists.push_back(items);
        return next(choices, std::optional<int>());
    }
    // --- dice and results -----------------------------------------------------------
    std::vector<DiceDefinition> diceDialogs;            // what each Define Dice dialog opened with
    std::deque<DiceDefinition> diceAnswers;             // empty: closed unchanged
    std::vector<std::pair<std::string, bool>> results;  // text and large font of each result
    std::deque<CommentAnswer> resultAnswers;            // empty: OK without a comment
    DiceDefinition defineDice(DiceDefinition current) override {
        diceDialogs.push_back(current);
        return next(diceAnswers, current);
    }
    CommentAnswer showResult(const std::string& text, bool largeFont) override {
        results.emplace_back(text, largeFont);
        return next(resultAnswers, CommentAnswer{});
    }

private:
    template <typename T>
    static T next(std::deque<T>& queue, T neutral) {
        if (queue.empty()) return neutral;
        T answer = std::move(queue.front());
        queue.pop_front();
        return answer;
    }
};

}  // namespace qmx
