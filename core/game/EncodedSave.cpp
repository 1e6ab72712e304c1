#include "core/game/EncodedSave.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/module/FileIo.h"

namespace qmx {
namespace {

// For every character: the value of a letter (0..51), of a digit '1'..'5'
// (0..4, tagged), or "other".
enum : std::uint8_t { kOther = 0xFF, kDigitTag = 0x80 };

constexpr std::array<std::uint8_t, 256> makeClassTable() {
    std::array<std::uint8_t, 256> t{};
    for (auto& v : t) v = kOther;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<std::uint8_t>(c - 'A');
    for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<std::uint8_t>(26 + c - 'a');
    for (int c = '1'; c <= '5'; ++c) t[c] = static_cast<std::uint8_t>(kDigitTag | (c - '1'));
    return t;
}
constexpr std::array<std::uint8_t, 256> kClass = makeClassTable();

constexpr std::array<std::array<char, 2>, 256> makePairTable() {
    std::array<std::array<char, 2>, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const auto p = byteLetterPair(static_cast<std::uint8_t>(b));
        t[b] = {p.first, p.second};
    }
    return t;
}
constexpr std::array<std::array<char, 2>, 256> kPairs = makePairTable();

bool startsWith(std::span<const std::uint8_t> data, std::size_t pos, std::string_view s) {
    return data.size() - pos >= s.size() && std::memcmp(data.data() + pos, s.data(), s.size()) == 0;
}

}  // namespace

Bytes encodeTextSave(std::span<const std::uint8_t> binary) {
    const std::size_t n = binary.size();
    const std::size_t lineBreaks = n == 0 ? 0 : (n - 1) / kTextSavePairsPerLine;
    Bytes out(kTextSaveMarker.size() + 2 + n * 2 + lineBreaks * 2 + kTextSaveEndMark.size() + 2 +
              kTextSaveEndMarker.size() + 1);
    std::uint8_t* p = out.data();
    auto put = [&p](std::string_view s) {
        for (const char c : s) *p++ = static_cast<std::uint8_t>(c);
    };
    put(kTextSaveMarker);
    put("\r\n");
    int inLine = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (inLine == kTextSavePairsPerLine) {
            *p++ = '\r';
            *p++ = '\n';
            inLine = 0;
        }
        const auto& pair = kPairs[binary[i]];
        *p++ = static_cast<std::uint8_t>(pair[0]);
        *p++ = static_cast<std::uint8_t>(pair[1]);
        ++inLine;
    }
    // The end mark follows the last pair on its line, even a full one.
    put(kTextSaveEndMark);
    put("\r\n");
    put(kTextSaveEndMarker);
    *p++ = 0;
    return out;
}

std::optional<std::size_t> findTextSaveMarker(std::span<const std::uint8_t> data) {
    const auto* first = data.data();
    const auto* last = first + data.size();
    const auto* hit =
        std::search(first, last, kTextSaveMarkerMatch.begin(), kTextSaveMarkerMatch.end(),
                    [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    if (hit == last) return std::nullopt;
    if (std::find(first, hit, std::uint8_t{0}) != hit) return std::nullopt;
    return static_cast<std::size_t>(hit - first);
}

bool looksLikeTextSave(std::span<const std::uint8_t> data) {
    return findTextSaveMarker(data).has_value();
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

Bytes encodeCheckedTextSave(std::span<const std::uint8_t> binary) {
    char line[80];
    std::snprintf(line, sizeof line, "%.*s%zu bytes, CRC-32 %08x\r\n",
                  static_cast<int>(kTextSaveCheckPrefix.size()), kTextSaveCheckPrefix.data(),
                  binary.size(), static_cast<unsigned>(crc32(binary)));
    Bytes out(line, line + std::strlen(line));
    const Bytes text = encodeTextSave(binary);
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

std::optional<TextSaveCheck> findTextSaveCheck(std::span<const std::uint8_t> beforeMarker) {
    // Only the lines just above the marker: a check line quoted from an
    // earlier turn further up the mail is not this save's.
    constexpr std::size_t kSearched = 300;
    const std::size_t from = beforeMarker.size() > kSearched ? beforeMarker.size() - kSearched : 0;
    const std::string_view text(reinterpret_cast<const char*>(beforeMarker.data()) + from,
                                beforeMarker.size() - from);
    const std::size_t at = text.rfind(kTextSaveCheckPrefix);
    if (at == std::string_view::npos) return std::nullopt;
    // "<digits> bytes, CRC-32 <8 hex digits>", read past what a mail program
    // may put into a line: a re-wrap with quote marks, soft line breaks.
    std::string rest;
    const std::string_view after = text.substr(at + kTextSaveCheckPrefix.size());
    for (std::size_t i = 0; i < after.size() && rest.size() < 40; ++i) {
        const char c = after[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>') continue;
        if (c == '=' && i + 1 < after.size() && (after[i + 1] == '\r' || after[i + 1] == '\n'))
            continue;
        rest += c;
    }
    TextSaveCheck check;
    std::uint64_t size = 0;
    std::size_t i = 0;
    while (i < rest.size() && i < 10 && rest[i] >= '0' && rest[i] <= '9')
        size = size * 10 + static_cast<std::uint64_t>(rest[i++] - '0');
    constexpr std::string_view kMiddle = "bytes,CRC-32";
    if (i == 0 || size > 0xFFFFFFFFu || rest.compare(i, kMiddle.size(), kMiddle) != 0) return check;
    i += kMiddle.size();
    std::uint32_t crc = 0;
    for (std::size_t k = 0; k < 8; ++k, ++i) {
        if (i >= rest.size()) return check;
        const char c = rest[i];
        int v = -1;
        if (c >= '0' && c <= '9') v = c - '0';
        if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        if (v < 0) return check;
        crc = (crc << 4) | static_cast<std::uint32_t>(v);
    }
    check.readable = true;
    check.size = static_cast<std::uint32_t>(size);
    check.crc = crc;
    return check;
}

bool matchesCheck(const TextSaveCheck& check, std::span<const std::uint8_t> binary) {
    // A line changed past reading says nothing: the save loads as one without it.
    if (!check.readable) return true;
    return check.size == binary.size() && check.crc == crc32(binary);
}

Bytes decodeTextSavePairs(std::span<const std::uint8_t> text) {
    Bytes out;
    out.reserve(text.size() / 2);
    int pending = -1;  // the value of the pending letter, -1 when none
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t c = text[i];
        const std::uint8_t k = kClass[c];
        if (k < 52) {
            if (pending < 0) pending = k;
        } else if (k != kOther) {
            if (pending >= 0) {
                out.push_back(static_cast<std::uint8_t>((k & 0x7F) * 52 + pending));
                pending = -1;
            }
        } else if (c == '\\') {
            if (i + 1 < n && text[i + 1] == '^') break;
        } else if (c == '[') {
            if (startsWith(text, i, kTextSaveEndMarker.substr(0, 14))) break;
        }
    }
    return out;
}

std::optional<Bytes> decodeTextSave(std::span<const std::uint8_t> data) {
    const auto marker = findTextSaveMarker(data);
    if (!marker) return std::nullopt;
    return decodeTextSavePairs(data.subspan(*marker + kTextSaveMarkerMatch.size()));
}

std::string textSaveName(const std::string& chosen) {
    return replaceLastThree(forceExtension(chosen, "qms"), "txt");
}

}  // namespace qmx
