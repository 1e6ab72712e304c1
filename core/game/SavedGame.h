#pragma once
// The saved game (.qms): the whole game state followed by the replay record
// of the move just made. The module is not in the file; the file is checked
// against the loaded module by unit count, card counts and module identity.
//
//   header        9 bytes: ModuleId (3), format version (160), unit count
//                 (base 255, high then low; 255 is 0, 255), byte 6 (kept as
//                 read), IdentifyProgress, byte 8 (written 0)
//   game block    231 bytes (format version above 119 only): reserved value
//                 (base 255), PendingDeclarations, 8 slot kinds, 8 names of
//                 15 bytes, 8 stored passwords of 10 bytes, 20 card counts
//   card places   one byte per card, deck by deck
//   hex states    rows x columns bytes, row 1 first
//   units         15 bytes per unit: StackLink, StartStackLink (base 255),
//                 start column, start row, column, row, Declaration,
//                 UnitFlags, Facing, start facing, step, start step, hidden byte
//   replay record every byte that follows
//
// Two-byte numbers: high = v / 255 and low = v mod 255, except that a value
// up to 255 is written as 0, v (256 is 1, 1; 510 is 2, 0).
//
// Loading also takes the encoded text form (EncodedSave.h) wherever its start
// marker is. A load that fails leaves the game as it was, except that a file
// with other card counts has already given the game its player table.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/module/Bytes.h"
#include "core/module/Module.h"

namespace qmx {

class UserPrompts;

constexpr int kSaveFormatVersion = 160;
constexpr int kLastVersionWithoutState = 119;
constexpr std::size_t kSaveHeaderSize = 9;
constexpr std::size_t kSaveGameBlockSize = 231;
constexpr std::size_t kSaveUnitRecordSize = 15;
// Larger saved games are refused: the game state of the largest module is
// about 1 MB, and a replay record of a move is far smaller than this.
constexpr std::size_t kMaxSavedGameSize = std::size_t(64) << 20;
// A text save takes a little over twice the bytes of the binary one.
constexpr std::size_t kMaxSaveFileSize = std::size_t(160) << 20;

// The two bytes of a number in the saved game's base 255.
std::pair<std::uint8_t, std::uint8_t> saveBase255(int value);

// The bytes of a saved game of `state` with `replay` as its replay record.
Bytes serializeSavedGame(const GameState& state, const Module& module,
                         std::span<const std::uint8_t> replay);

enum class SaveForm { Binary, Text };

// The name a chosen save name is written under: the extension becomes "qms"
// (kept when it already reads so in any case, appended when there is none);
// for the text form, "txt" in its place.
std::string savedGameName(const std::string& chosen, SaveForm form = SaveForm::Binary);

// Saves the game under savedGameName(chosen, form), through a temporary file
// and a rename, so an old file of that name survives a failed write. On
// success MoveSaved is set; a failed write shows message 4 "Could not open
// file!" and returns false.
bool saveGameFile(const std::string& chosen, GameState& state, const Module& module,
                  std::span<const std::uint8_t> replay, UserPrompts& prompts,
                  SaveForm form = SaveForm::Binary);

// A text save whose decoded bytes differ from its check line.
inline constexpr std::string_view kTextSaveChangedText =
    "The text save was changed on its way: ask for it again.";

struct SavedGameLoad {
    bool ok = false;
    bool textForm = false;  // the file was an encoded text save
    int formatVersion = 0;
    Bytes replay;  // the replay record: the new content of the ReplayFile
    bool stackingError = false;
    // What was mended in a damaged file (also shown to the person, once).
    std::vector<std::string> corrections;
};

// Loads a saved game file into `state`. Messages go to `prompts`: 30 when the
// file cannot be opened, 12 for another unit count, 15 for another module
// identity (the load goes on), 13 and 14 for older and newer versions (notes),
// 33 for other card counts; the stacking warning after the stack repair. On
// success the state is the file's, CurrentSlot is Observer, the mode is
// movement, nothing is carried and MoveSaved is set.
SavedGameLoad loadSavedGame(const std::string& path, const Module& module, GameState& state,
                            UserPrompts& prompts);

// The same from bytes already read, in either form.
SavedGameLoad readSavedGame(std::span<const std::uint8_t> data, const Module& module,
                            GameState& state, UserPrompts& prompts);

// The binary form only.
SavedGameLoad readBinarySavedGame(std::span<const std::uint8_t> data, const Module& module,
                                  GameState& state, UserPrompts& prompts);

// Text of the notice that lists the corrections made to a damaged file.
std::string damagedFileText(const std::vector<std::string>& corrections);

}  // namespace qmx
