#pragma once
// Where the replay and the reports get a card's text. The player reads it
// from the module file each time (the texts are not kept in memory); tests
// and tools may serve them from a loaded module.
//
// A card is named as the card entries of the record name it: two bytes, the
// deck counted from 0 (0..19) and the card counted from 0 (0..249). The module
// file's card records carry each number plus one.

#include <cstddef>
#include <string>

#include "core/module/Module.h"
#include "core/module/ModuleFile.h"

namespace qmx {

class CardTextSource {
public:
    virtual ~CardTextSource() = default;
    // CannotOpen stands for message 34; NotFound gives an empty text.
    virtual CardText cardText(int deckByte, int cardByte) = 0;
};

// Reads the card records of the module file from `cardOffset` on.
class ModuleFileCardTexts : public CardTextSource {
public:
    ModuleFileCardTexts(std::string modulePath, std::size_t cardOffset)
        : m_path(std::move(modulePath)), m_offset(cardOffset) {}
    CardText cardText(int deckByte, int cardByte) override;

private:
    std::string m_path;
    std::size_t m_offset;
};

// Takes the texts from a module in memory.
class ModuleCardTexts : public CardTextSource {
public:
    explicit ModuleCardTexts(const Module& module) : m_module(module) {}
    CardText cardText(int deckByte, int cardByte) override;

private:
    const Module& m_module;
};

}  // namespace qmx
