#include "core/session/SilentPrompts.h"

#include <cstdio>

#include "core/module/MessageTable.h"

namespace qmx {

void SilentPrompts::showMessage(int number) {
    const auto text = messageText(MessageTable::Player, number);
    if (!text) return;
    std::fprintf(stderr, "qmx4: %.*s\n", static_cast<int>(text->size()), text->data());
}

void SilentPrompts::showText(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "qmx4: %s: %s\n", title.c_str(), text.c_str());
}

void SilentPrompts::showReadback(const std::string& text, bool) {
    std::fprintf(stderr, "qmx4: Comment: %s\n", text.c_str());
}

void SilentPrompts::showFindings(const std::string& title, const std::string& heading,
                                 const std::vector<std::string>& lines) {
    std::fprintf(stderr, "qmx4: %s: %s\n", title.c_str(), heading.c_str());
    for (const std::string& line : lines) std::fprintf(stderr, "qmx4:   %s\n", line.c_str());
}

}  // namespace qmx
