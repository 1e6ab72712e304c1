#pragma once
// The core's UserPrompts for tests: remembers everything shown and asked, and
// answers from queues. An empty queue answers no, or cancels a text entry.
//
//   texts      "title: text" of every showText
//   questions  "title: question" of every askYesNo
//   asked      "title|prompt|maxLength" of every askText

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
    bool askYesNo(const std::string& title, const std::string& question) override {
        questions.push_back(title + ": " + question);
        if (yesNo.empty()) return false;
        const bool answer = yesNo.front();
        yesNo.pop_front();
        return answer;
    }
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       int maxLength) override {
        asked.push_back(title + "|" + prompt + "|" + std::to_string(maxLength));
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<int> messages;
    std::vector<std::string> texts;
    std::vector<std::string> questions;
    std::vector<std::string> asked;
    std::deque<bool> yesNo;
    std::deque<std::optional<std::string>> answers;
};

}  // namespace qmx
