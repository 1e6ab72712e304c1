#pragma once
// Plain and encrypted comments as the replay record holds them.
//
//   plain:      255, 242, text bytes, 255, 249
//   encrypted:  255, 254, seed, 9 scrambled password characters,
//               scrambled text bytes, 255, 249
//
// The comment password (at most 8 characters) is padded with spaces to 9 and
// compared ignoring case. One running key index starts at the seed and runs
// through the password into the text.
//
// The record uses 255 to start every command, so a comment never writes a
// 255 inside its text: a plain text writes the character 255 as 'y', and an
// encrypted comment takes the first seed, counting on from the drawn one,
// under which no character scrambles to 255 (the keys are distinct, so each
// character rules out at most one seed).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/module/Bytes.h"

namespace qmx {

class Random;
class UserPrompts;

inline constexpr const char* kEncryptedCommentTitle = "Encrypted Comment";
inline constexpr const char* kEncryptedCommentPrompt = "Enter password:";

constexpr std::size_t kCommentPasswordMax = 8;
constexpr std::size_t kCommentPasswordField = 9;

// The typed comment password cut to 8 characters and padded with spaces to 9.
std::string padCommentPassword(std::string_view typed);

// The whole plain comment entry.
Bytes plainCommentEntry(std::string_view text);

// The seed to use for an encrypted comment: `drawn` (0..99) or the first one
// after it under which neither the padded password nor the text scrambles to
// 255. If every seed fails (a text with about a hundred such characters),
// the first seed that keeps the password clean; the entry then writes the
// offending text characters as '?'.
int encryptedCommentSeed(std::string_view paddedPassword, std::string_view text, int drawn);

// The whole encrypted comment entry. `drawnSeed` is a fresh draw 0..99.
Bytes encryptedCommentEntry(std::string_view text, std::string_view password, int drawnSeed);
// The same, drawing the seed from `random`.
Bytes encryptedCommentEntry(std::string_view text, std::string_view password, Random& random);

// A comment's text read from the record.
struct RecordedText {
    std::string text;
    std::size_t next = 0;   // position after the closing 255, 249 (or the end of the record)
    bool complete = false;  // the closing pair was found
};

// Reads a plain comment's text starting at `pos` (just after 255, 242): up to
// the pair 255, 249; a 255 followed by another byte drops both.
RecordedText readPlainComment(std::span<const std::uint8_t> record, std::size_t pos);

// An encrypted comment read from the record, starting just after 255, 254.
struct EncryptedComment {
    int seed = 0;
    std::string password;  // the unscrambled 9-character password field
    Bytes scrambled;       // the text bytes, 255-pairs already dropped
    std::size_t next = 0;
    bool complete = false;

    // True when `typed`, padded to 9 with spaces, equals the password ignoring case.
    bool accepts(std::string_view typed) const;
    // The plain text (valid to call whatever the password).
    std::string text() const;
};

// Reads an encrypted comment; nothing when the record ends before the seed
// and the nine password bytes.
std::optional<EncryptedComment> readEncryptedComment(std::span<const std::uint8_t> record,
                                                     std::size_t pos);

// Replaying an encrypted comment: asks for its password in the "Encrypted
// Comment" dialog (a cancelled dialog counts as an empty answer) and returns
// the text, or shows message 20 "Password Incorrect" and returns nothing.
std::optional<std::string> openEncryptedComment(const EncryptedComment& comment,
                                                UserPrompts& prompts);

}  // namespace qmx
