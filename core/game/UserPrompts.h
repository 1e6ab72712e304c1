#pragma once
// How a core operation talks to the person at the machine in the middle of
// its work: numbered messages, free texts, yes/no questions and text entry.
// The player's windows implement it with message boxes and dialogs; tests
// implement it with a scripted fake.

#include <optional>
#include <string>

namespace qmx {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // Message `number` of the player's message table, titled "WARNING".
    virtual void showMessage(int number) = 0;
    // A text of the operation's own under a title.
    virtual void showText(const std::string& title, const std::string& text) = 0;
    // A yes/no question; true for yes.
    virtual bool askYesNo(const std::string& title, const std::string& question) = 0;
    // A saved game that loads only with corrections (`text` names them):
    // true to load it anyway. The windows ask with "Load anyway" and Cancel;
    // a prompt without a person shows the text and loads.
    virtual bool askLoadDamaged(const std::string& title, const std::string& text) {
        showText(title, text);
        return true;
    }
    // A line of text, at most `maxLength` characters; nothing when cancelled.
    virtual std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                               int maxLength) = 0;
};

// Where nobody is asked (a check, a search through files): nothing is shown,
// every question is answered no, a damaged file is not loaded.
class NoPrompts : public UserPrompts {
public:
    void showMessage(int) override {}
    void showText(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    bool askLoadDamaged(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&, int) override {
        return std::nullopt;
    }
};

}  // namespace qmx
