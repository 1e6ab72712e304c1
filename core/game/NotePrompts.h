#pragma once
// Prompts for work without a screen (the command-line tool, reports): what a
// load shows in boxes becomes notes, questions are answered no, and a text
// asked for (a sealed comment's password) is never given.

#include <optional>
#include <string>
#include <vector>

#include "core/game/UserPrompts.h"
#include "core/module/MessageTable.h"

namespace qmx {

// Message `number` of the player's message table; "message N" if it has none.
inline std::string playerMessage(int number) {
    const auto text = messageText(MessageTable::Player, number);
    return text ? std::string(*text) : "message " + std::to_string(number);
}

class NotePrompts : public UserPrompts {
public:
    void showMessage(int number) override { notes.push_back(playerMessage(number)); }
    void showText(const std::string&, const std::string& text) override { notes.push_back(text); }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&, int) override {
        return std::nullopt;
    }
    std::vector<std::string> notes;
};

}  // namespace qmx
