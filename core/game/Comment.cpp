#include "core/game/Comment.h"

#include <cctype>

#include "core/game/PasswordKeyTable.h"
#include "core/game/UserPrompts.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"

namespace qmx {
namespace {

constexpr std::uint8_t kCommand = 255;
constexpr std::uint8_t kCommentCode = 242;
constexpr std::uint8_t kEncryptedCode = 254;
constexpr std::uint8_t kEndOfList = 249;

std::span<const std::uint8_t> bytesOf(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// True when no character of `s` scrambles to 255 from key index `k` on.
bool scramblesClean(std::string_view s, int& k) {
    bool clean = true;
    for (const char c : s) {
        if (PasswordKeyTable::scramble(static_cast<std::uint8_t>(c), PasswordKeyTable::key(k)) ==
            255)
            clean = false;
        k = PasswordKeyTable::nextIndex(k);
    }
    return clean;
}

int foldCase(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

}  // namespace

std::string padCommentPassword(std::string_view typed) {
    std::string padded(typed.substr(0, kCommentPasswordMax));
    padded.resize(kCommentPasswordField, ' ');
    return padded;
}

Bytes plainCommentEntry(std::string_view text) {
    Bytes entry;
    entry.reserve(text.size() + 4);
    entry.push_back(kCommand);
    entry.push_back(kCommentCode);
    for (const char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        entry.push_back(b == kCommand ? std::uint8_t{'y'} : b);
    }
    entry.push_back(kCommand);
    entry.push_back(kEndOfList);
    return entry;
}

int encryptedCommentSeed(std::string_view paddedPassword, std::string_view text, int drawn) {
    drawn %= PasswordKeyTable::kSize;
    if (drawn < 0) drawn += PasswordKeyTable::kSize;
    int passwordOnly = -1;
    for (int i = 0; i < PasswordKeyTable::kSize; ++i) {
        const int seed = (drawn + i) % PasswordKeyTable::kSize;
        int k = seed;
        if (!scramblesClean(paddedPassword, k)) continue;
        if (scramblesClean(text, k)) return seed;
        if (passwordOnly < 0) passwordOnly = seed;
    }
    return passwordOnly >= 0 ? passwordOnly : drawn;
}

Bytes encryptedCommentEntry(std::string_view text, std::string_view password, int drawnSeed) {
    const std::string padded = padCommentPassword(password);
    const int seed = encryptedCommentSeed(padded, text, drawnSeed);
    Bytes entry;
    entry.reserve(3 + kCommentPasswordField + text.size() + 2);
    entry.push_back(kCommand);
    entry.push_back(kEncryptedCode);
    entry.push_back(static_cast<std::uint8_t>(seed));
    int k = seed;
    auto put = [&](std::string_view s) {
        for (const char c : s) {
            std::uint8_t b =
                PasswordKeyTable::scramble(static_cast<std::uint8_t>(c), PasswordKeyTable::key(k));
            if (b == kCommand) b = PasswordKeyTable::scramble('?', PasswordKeyTable::key(k));
            entry.push_back(b);
            k = PasswordKeyTable::nextIndex(k);
        }
    };
    put(padded);
    put(text);
    entry.push_back(kCommand);
    entry.push_back(kEndOfList);
    return entry;
}

Bytes encryptedCommentEntry(std::string_view text, std::string_view password, Random& random) {
    return encryptedCommentEntry(text, password, random.next() % PasswordKeyTable::kSize);
}

RecordedText readPlainComment(std::span<const std::uint8_t> record, std::size_t pos) {
    RecordedText out;
    std::size_t i = pos;
    while (i < record.size()) {
        const std::uint8_t b = record[i];
        if (b != kCommand) {
            out.text.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        if (i + 1 >= record.size()) {
            i = record.size();
            break;
        }
        const std::uint8_t code = record[i + 1];
        i += 2;
        if (code == kEndOfList) {
            out.complete = true;
            break;
        }
    }
    out.next = i;
    return out;
}

bool EncryptedComment::accepts(std::string_view typed) const {
    const std::string padded = padCommentPassword(typed);
    if (padded.size() != password.size()) return false;
    for (std::size_t i = 0; i < padded.size(); ++i)
        if (foldCase(static_cast<unsigned char>(padded[i])) !=
            foldCase(static_cast<unsigned char>(password[i])))
            return false;
    return true;
}

std::string EncryptedComment::text() const {
    Bytes plain;
    PasswordKeyTable::unscrambleRun(
        scrambled, (seed + static_cast<int>(kCommentPasswordField)) % PasswordKeyTable::kSize,
        plain);
    return std::string(plain.begin(), plain.end());
}

std::optional<EncryptedComment> readEncryptedComment(std::span<const std::uint8_t> record,
                                                     std::size_t pos) {
    if (pos > record.size() || record.size() - pos < 1 + kCommentPasswordField) return std::nullopt;
    EncryptedComment c;
    c.seed = record[pos] % PasswordKeyTable::kSize;
    Bytes password;
    PasswordKeyTable::unscrambleRun(record.subspan(pos + 1, kCommentPasswordField), c.seed,
                                    password);
    c.password.assign(password.begin(), password.end());
    const RecordedText rest = readPlainComment(record, pos + 1 + kCommentPasswordField);
    const auto raw = bytesOf(rest.text);
    c.scrambled.assign(raw.begin(), raw.end());
    c.next = rest.next;
    c.complete = rest.complete;
    return c;
}

std::optional<std::string> openEncryptedComment(const EncryptedComment& comment,
                                                UserPrompts& prompts) {
    const auto typed = prompts.askText(kEncryptedCommentTitle, kEncryptedCommentPrompt,
                                       static_cast<int>(kCommentPasswordMax));
    if (comment.accepts(typed.value_or(std::string()))) return comment.text();
    prompts.showMessage(msg::kPasswordIncorrect);
    return std::nullopt;
}

}  // namespace qmx
