#pragma once
// The module file (.qm4): reader and writer, byte for byte.
//
//   block 1  header, 560 bytes
//   block 2  card counts, 20 bytes
//   block 3  reserved, 429 bytes (version 152 and later)
//   block 4  hexes, 34 bytes each, rows 1..rows, columns 1..columns
//   block 5  units, 84 bytes each
//   block 6  deck names, 20 x 20 bytes
//   block 7  card records up to the end of the file
//
// The editor also reads layout 150 and the old 120-byte-block layout; the
// player reads versions 151 to 160 only.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/module/Bytes.h"
#include "core/module/Clock.h"
#include "core/module/MessageTable.h"
#include "core/module/Module.h"

namespace qmx {

constexpr int kModuleWriteVersion = 156;
constexpr int kEditorMaxVersion = 156;
constexpr int kPlayerMinVersion = 151;
constexpr int kPlayerMaxVersion = 160;
constexpr std::size_t kModuleHeaderSize = 560;
constexpr std::size_t kHexRecordSize = 34;
constexpr std::size_t kUnitRecordSize = 84;
constexpr std::size_t kDeckNamesSize = kDeckCount * kDeckNameSize;

enum class ModuleReader { Editor, Player };

struct ModuleLoad {
    bool ok = false;
    Module module;
    // What the reader wants shown, in the order it arose, numbered in the
    // reader's own message table (player or editor).
    std::vector<Notice> notices;
    // Player: the file offset at which the card records begin.
    std::size_t cardOffset = 0;
};

// Parses module bytes as the given program reads them.
ModuleLoad parseModule(std::span<const std::uint8_t> data, ModuleReader reader);

// Reads and parses a module file, reading only the bytes blocks 1 to 6 take
// by its header (and, for the editor, the card records one by one). A file
// that cannot be opened fails with the editor's message 4, "Could not open
// file!"; for the player with no notice: its start-up reports the failure.
ModuleLoad loadModuleFile(const std::string& path, ModuleReader reader);

// The bytes of a module in the current layout (version 156).
Bytes serializeModule(const Module& module);

// Gives a module without identity its ModuleId: three draws modulo 255 from
// the generator seeded with the clock's seconds.
void assignModuleId(Module& module, const Clock& clock);

// Assigns the identity if needed and writes the module file safely. False if
// the file could not be written (the old file is then untouched).
bool saveModuleFile(const std::string& path, Module& module, const Clock& clock);

// Looking up one card's text in the card records from `offset` on.
enum class CardLookup { Found, NotFound, CannotOpen };
struct CardText {
    CardLookup status = CardLookup::NotFound;
    std::string text;
};
CardText findCardText(std::span<const std::uint8_t> data, std::size_t offset, int deck, int card);
// The same from the module file; CannotOpen stands for message 34.
CardText readCardText(const std::string& modulePath, std::size_t offset, int deck, int card);

}  // namespace qmx
