#pragma once
// The byte codes of the replay record.
//
// The record is a flat byte stream. An entry starts with the command pair
// 255, code. A pair whose first byte is not 255 is never a command: inside a
// move it is a hex reference (column, row), inside a unit list a unit
// reference written in base 255 (u / 255, u % 255), so neither byte of a unit
// number below 65,025 is ever 255.

#include <cstdint>
#include <utility>

namespace qmx {

// The first byte of every command pair.
inline constexpr std::uint8_t kCommandByte = 255;

enum class ReplayCode : std::uint8_t {
    StepDown = 219,  // each carried unit one step down
    StepUp = 220,    // each carried unit one step up
    HideId = 221,    // + argument pair: slot; identity hidden
    Unhide = 222,    // carried units shown again
    Hide = 223,      // + argument pair: slot; units hidden
    SetStep = 224,   // + argument pair: step; once per carried unit
    RotateRight = 225,
    RotateLeft = 226,
    FaceSide = 227,
    FaceCorner = 228,
    FacingOff = 229,
    FacingOn = 230,
    CardShownReturned = 231,  // + card byte, card byte, slot
    CardReturned = 232,       // + slot
    CardPlaced = 233,         // + location slot, slot
    CardDiscarded = 234,      // + slot
    CardGiven = 235,          // + card byte, card byte, receiving slot, giving slot
    CardShown = 236,          // + card byte, card byte, slot
    CardDealt = 237,          // + deck, receiving slot, dealing slot
    Result = 238,             // + dice, sides; then a plain comment entry
    Combat = 239,             // + unit references, then 255, EndOfList
    MoveStart = 241,          // + unit references, 255, EndOfUnits, origin hex, first path hex
    Comment = 242,            // + text bytes, then 255, EndOfList
    AllFaceUp = 243,
    AllFaceDown = 244,
    FaceUp = 245,
    FaceDown = 246,
    EndOfUnits = 247,  // terminator: ends the unit list of a move start
    Drop = 248,        // ends a move
    EndOfList = 249,   // terminator: ends a combat's unit list and a comment's text
    Path = 252,        // writer-only pseudo code: a bare hex reference, no command pair
    SaveMarker = 253,
    EncryptedComment =
        254,  // + key index, 9 scrambled password bytes, scrambled text, 255, EndOfList
};

constexpr std::uint8_t codeByte(ReplayCode code) {
    return static_cast<std::uint8_t>(code);
}

// Codes 219 to 230, 245, 246 and 248: only meaningful inside a move.
constexpr bool isMoveCommand(std::uint8_t code) {
    return (code >= 219 && code <= 230) || code == 245 || code == 246 || code == 248;
}

// Unit number u (1..65,024) as the two bytes of a unit reference.
constexpr std::pair<std::uint8_t, std::uint8_t> unitReferenceBytes(int unit) {
    return {static_cast<std::uint8_t>(unit / 255), static_cast<std::uint8_t>(unit % 255)};
}

// The unit number of a unit reference.
constexpr int unitFromReference(std::uint8_t high, std::uint8_t low) {
    return high * 255 + low;
}

// The largest unit number whose reference bytes are both below 255.
inline constexpr int kMaxReferencedUnit = 254 * 255 + 254;

}  // namespace qmx
