#pragma once
// How the editor's core asks the author something in the middle of a
// command: a numbered message of the editor's table (titled "WARNING"), a
// text of its own under a title, a yes/no question. The editor's windows
// answer with message boxes; tests answer from a script.

#include <string>

namespace qmx {

class EditorPrompts {
public:
    virtual ~EditorPrompts() = default;
    // Message `number` of the editor's message table, titled "WARNING".
    virtual void showMessage(int number) = 0;
    virtual void showText(const std::string& title, const std::string& text) = 0;
    // True for Yes.
    virtual bool askYesNo(const std::string& title, const std::string& question) = 0;
};

}  // namespace qmx
