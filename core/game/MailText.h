#pragma once
// A text save inside a whole mail saved to a file.
//
// Mail programs do not always keep the text as it was pasted: they send the
// body base64 or quoted-printable, and an HTML part puts tags such as <br>
// and entities such as &nbsp; between the pairs, whose letters would be read
// as pairs too. findMailTextSave finds the text save in such a file and
// hands back its text with all of this taken out, ready for decodeTextSave.
//
// Every input is untrusted: nothing is read past the data, every buffer is
// at most as large as the bytes it comes from, and a broken mail structure
// only means that no text save is found in it.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/game/EncodedSave.h"
#include "core/module/Bytes.h"

namespace qmx {

struct MailTextSave {
    // The text save from its start marker on, ready for decodeTextSave; none
    // when no start marker was found, neither as the bytes stand nor in any
    // decoded text part of the mail.
    std::optional<Bytes> text;
    // The check line above the marker, where the writer put one.
    std::optional<TextSaveCheck> check;
    // The bytes are a MIME mail (a header block naming a MIME field), whether
    // or not a text save was found in it.
    bool mail = false;
};

// Looks for the text save:
// 1. When the start marker stands in the bytes and the encoded part after it
//    (up to the end mark or the end marker) holds no '<', the text from the
//    marker on, unchanged: a saved plain-text mail decodes exactly as before.
// 2. Otherwise, when the bytes are a MIME mail, every text part is decoded
//    (base64, quoted-printable; nested multiparts and attached mails too) and
//    the first part that holds the start marker gives the text, with HTML
//    tags and entities removed when its encoded part holds a '<'.
// 3. Otherwise the bytes as they stand with HTML tags and entities removed,
//    when they hold the start marker at all.
MailTextSave findMailTextSave(std::span<const std::uint8_t> data);

// The pieces, for tests and the fuzzer.

// True when `data` begins with a mail header block that names MIME-Version,
// Content-Type or Content-Transfer-Encoding.
bool isMimeMail(std::span<const std::uint8_t> data);

// The decoded text parts of a MIME mail in their order (text/* parts and parts
// without a type); empty when the bytes are not a MIME mail. A multipart whose
// boundaries are missing or never closed gives no parts, nor does a part whose
// base64 is damaged.
std::vector<Bytes> mimeTextParts(std::span<const std::uint8_t> data);

// Base64 with line breaks and blanks between the characters; none when any
// other character occurs or the last group of four is incomplete.
std::optional<Bytes> decodeBase64(std::span<const std::uint8_t> text);

// Quoted-printable: "=XX" becomes the byte, "=" at a line end (blanks may
// stand between) joins the lines; any other "=" stays as it is.
Bytes decodeQuotedPrintable(std::span<const std::uint8_t> text);

// The text without HTML tags, comments, style and script elements and
// entities ("&name;", "&#number;").
Bytes stripHtml(std::span<const std::uint8_t> text);

}  // namespace qmx
