#pragma once
// A UserPrompts that records what was shown and answers from queues.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "player/document/UserPrompts.h"

namespace qmx {

class ScriptedPrompts : public UserPrompts {
public:
    void showMessage(int number) override { messages.push_back(number); }
    void showText(const std::string& title, const std::string& text) override {
        texts.push_back(title + ": " + text);
    }
    bool askYesNo(const std::string&, const std::string& question) override {
        questions.push_back(question);
        if (yesNo.empty()) return false;
        const bool a = yesNo.front();
        yesNo.pop_front();
        return a;
    }
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       int maxLength) override {
        asked.push_back(title + "|" + prompt + "|" + std::to_string(maxLength));
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<int> messages;
    std::vector<std::string> texts;
    std::vector<std::string> questions;
    std::vector<std::string> asked;
    std::deque<bool> yesNo;
    std::deque<std::optional<std::string>> answers;
};

}  // namespace qmx
