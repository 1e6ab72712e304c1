#pragma once
// The text form of a saved game, for mail that cannot carry attachments.
//
// Every byte b becomes a letter and a digit: the letter 'A'..'Z', 'a'..'z'
// for b mod 52, the digit '1'..'5' for b div 52 + 1. The text is the start
// marker and CR LF, the pairs 30 to a line (CR LF after each full line), the
// end mark "\^" right after the last pair, CR LF, and the end marker followed
// by one NUL byte.
//
// Decoding finds the start marker (its first 18 characters) anywhere, so a
// whole saved mail loads as it is, and ignores everything that is not a pair:
// quoting marks, blank lines, any kind of line end.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "core/module/Bytes.h"

namespace qmx {

inline constexpr std::string_view kTextSaveMarker = "[[[QMX SAVE FILE]]]";
// The part of the start marker that a reader looks for.
inline constexpr std::string_view kTextSaveMarkerMatch = kTextSaveMarker.substr(0, 18);
inline constexpr std::string_view kTextSaveEndMark = "\\^";
inline constexpr std::string_view kTextSaveEndMarker = "[[End QMX save]]";
inline constexpr int kTextSavePairsPerLine = 30;

// The two characters of one byte.
constexpr std::pair<char, char> byteLetterPair(std::uint8_t b) {
    const int q = b / 52;
    const int r = b % 52;
    const char letter = static_cast<char>(r < 26 ? 'A' + r : 'a' + (r - 26));
    return {letter, static_cast<char>('1' + q)};
}

// The whole text save of a binary saved game, end marker and NUL included.
Bytes encodeTextSave(std::span<const std::uint8_t> binary);

// A text save as this program writes it: a check line, CR LF, then
// encodeTextSave's bytes. Decoders start at the marker, so every reader
// still reads it; a reader that knows the line refuses a text save whose
// decoded bytes no longer match it.
//   QMX text save: 2158 bytes, CRC-32 1a2b3c4d
inline constexpr std::string_view kTextSaveCheckPrefix = "QMX text save: ";
Bytes encodeCheckedTextSave(std::span<const std::uint8_t> binary);

// The check line found before a marker. `readable` is false when the line's
// beginning is there but the rest was changed past reading.
struct TextSaveCheck {
    bool readable = false;
    std::uint32_t size = 0;
    std::uint32_t crc = 0;
};
// The last check line among the few hundred bytes just before the marker
// (`beforeMarker` ends where the marker begins); none when there is none.
std::optional<TextSaveCheck> findTextSaveCheck(std::span<const std::uint8_t> beforeMarker);
// True when the decoded saved game is the one the line describes, or the
// line could not be read.
bool matchesCheck(const TextSaveCheck& check, std::span<const std::uint8_t> binary);
// The standard CRC-32 (as zip and PNG compute it).
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

// Where the start marker begins, if these bytes are a text save: the first
// occurrence of its first 18 characters, with no NUL byte before it (every
// binary saved game has a NUL in its header, so a comment in a binary save's
// replay record that quotes the marker does not turn the file into text).
std::optional<std::size_t> findTextSaveMarker(std::span<const std::uint8_t> data);

// True when `data` holds a text save (see findTextSaveMarker).
bool looksLikeTextSave(std::span<const std::uint8_t> data);

// The binary saved game inside a text save; nothing if there is no marker.
// Decoding starts right after the 18 matched marker characters and stops at
// the end mark or the end marker, so that mail text after them (a signature,
// a reply) adds nothing to the game.
std::optional<Bytes> decodeTextSave(std::span<const std::uint8_t> data);

// Decodes the pairs of `text` (no marker search) up to an end mark or end marker.
Bytes decodeTextSavePairs(std::span<const std::uint8_t> text);

// The name of the text file for a chosen save name: the saved-game extension
// rule, then "txt" in place of "qms" ("turn" -> "turn.txt", "turn.qms" -> "turn.txt").
std::string textSaveName(const std::string& chosen);

}  // namespace qmx
