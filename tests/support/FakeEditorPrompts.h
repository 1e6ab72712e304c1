#pragma once
// Scripted prompts for the editor's core tests: records every box and
// answers questions from a queue (yes when it is empty).

#include <deque>
#include <string>
#include <vector>

#include "core/edit/EditorPrompts.h"

namespace qmx::test {

class FakeEditorPrompts : public EditorPrompts {
public:
    void showMessage(int number) override { messages.push_back(number); }
    void showText(const std::string& title, const std::string& text) override {
        texts.push_back(title + ": " + text);
    }
    bool askYesNo(const std::string& title, const std::string& question) override {
        questions.push_back(title + ": " + question);
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }

    std::vector<int> messages;
    std::vector<std::string> texts;
    std::vector<std::string> questions;
    std::deque<bool> answers;
};

}  // namespace qmx::test
