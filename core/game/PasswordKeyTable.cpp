#include "core/game/PasswordKeyTable.h"

namespace qmx {

int PasswordKeyTable::scrambleRun(std::span<const std::uint8_t> in, int index, Bytes& out) {
    for (const std::uint8_t c : in) {
        out.push_back(scramble(c, key(index)));
        index = nextIndex(index);
    }
    return index;
}

int PasswordKeyTable::unscrambleRun(std::span<const std::uint8_t> in, int index, Bytes& out) {
    for (const std::uint8_t s : in) {
        out.push_back(unscramble(s, key(index)));
        index = nextIndex(index);
    }
    return index;
}

StoredPassword scramblePassword(std::string_view password, int seed) {
    seed %= PasswordKeyTable::kSize;
    if (seed < 0) seed += PasswordKeyTable::kSize;
    StoredPassword stored{};
    int k = seed;
    for (std::size_t i = 0; i < kPasswordMax; ++i) {
        const auto c =
            i < password.size() ? static_cast<std::uint8_t>(password[i]) : std::uint8_t{0};
        stored[i] = PasswordKeyTable::scramble(c, PasswordKeyTable::key(k));
        k = PasswordKeyTable::nextIndex(k);
    }
    stored[kPasswordMax] = static_cast<std::uint8_t>(seed);
    return stored;
}

std::string unscramblePassword(const StoredPassword& stored) {
    int k = stored[kPasswordMax] % PasswordKeyTable::kSize;
    std::string password;
    for (std::size_t i = 0; i < kPasswordMax; ++i) {
        const std::uint8_t c = PasswordKeyTable::unscramble(stored[i], PasswordKeyTable::key(k));
        k = PasswordKeyTable::nextIndex(k);
        if (c == 0) break;
        password.push_back(static_cast<char>(c));
    }
    return password;
}

}  // namespace qmx
