#pragma once
// The key table shared by stored passwords and encrypted comments, and the
// scrambling that uses it.
//
// A character c (taken as a signed byte) under key k is stored as c + k, less
// 239 when the sum exceeds 239, cut to its low byte. Every key of the table
// is at most 112, so the sum never exceeds 127 + 112 = 239: the "less 239"
// step never happens, and scrambling is a plain shift modulo 256.
//
// The unscrambling rule as first written, c = s - k plus 239 when that is
// negative, is not its inverse: a Latin-1 byte b of 144 or above (c = b - 256,
// at least -112) under a key k >= 256 - b gives c + k >= 0, so it is stored
// as the small byte c + k, and s - k is then negative: adding 239 would turn
// it into another character (byte 240 under key 20 is stored as 4 and would
// come back as 223). Unscrambling is therefore the exact inverse, s - k
// modulo 256, which gives back every byte value.
//
// The values are part of every saved game and comment ever written: they are
// the same in every copy and must never change.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/module/Bytes.h"

namespace qmx {

class PasswordKeyTable {
public:
    static constexpr int kSize = 100;
    static constexpr int kMaxKey = 112;

    static constexpr std::array<std::uint8_t, kSize> kKeys = {
        20, 101, 14,  90, 19,  108, 83,  43,  40, 39,  //
        11, 4,   102, 78, 76,  41,  106, 107, 69, 94,  //
        82, 30,  2,   86, 26,  52,  56,  17,  27, 84,  //
        31, 49,  77,  79, 61,  63,  34,  87,  85, 36,  //
        38, 33,  7,   13, 110, 22,  93,  111, 29, 24,  //
        8,  105, 71,  46, 1,   89,  48,  25,  44, 53,  //
        97, 88,  99,  5,  100, 6,   60,  45,  50, 32,  //
        42, 12,  58,  21, 54,  103, 55,  10,  47, 65,  //
        74, 95,  18,  28, 62,  92,  37,  67,  57, 3,   //
        81, 35,  23,  66, 51,  73,  72,  91,  68, 70,  //
    };

    // The key at `index` (taken modulo 100).
    static constexpr std::uint8_t key(int index) {
        return kKeys[static_cast<std::size_t>(index % kSize)];
    }
    // The index after `index`: after 99 comes 0.
    static constexpr int nextIndex(int index) { return index + 1 >= kSize ? 0 : index + 1; }

    static constexpr std::uint8_t scramble(std::uint8_t c, std::uint8_t key) {
        int s = static_cast<std::int8_t>(c) + key;
        if (s > 239) s -= 239;
        return static_cast<std::uint8_t>(s & 0xFF);
    }
    static constexpr std::uint8_t unscramble(std::uint8_t s, std::uint8_t key) {
        return static_cast<std::uint8_t>((s - key) & 0xFF);
    }

    // Scrambles `in` with the running key index starting at `index`; returns
    // the index after the last character.
    static int scrambleRun(std::span<const std::uint8_t> in, int index, Bytes& out);
    static int unscrambleRun(std::span<const std::uint8_t> in, int index, Bytes& out);
};

namespace detail {
constexpr bool keysAreDistinctAndSmall() {
    std::array<bool, 256> seen{};
    for (auto k : PasswordKeyTable::kKeys) {
        if (k > PasswordKeyTable::kMaxKey || seen[k]) return false;
        seen[k] = true;
    }
    return true;
}
}  // namespace detail
// Small keys keep scrambling reversible; distinct keys let a comment always
// find a seed under which no character turns into the record's command byte.
static_assert(detail::keysAreDistinctAndSmall());

// A player's password as it is kept in the player table: the nine characters
// of the password buffer (NUL after a shorter password) scrambled from key
// index `seed`, then the seed (0..99).
using StoredPassword = std::array<std::uint8_t, 10>;

constexpr std::size_t kPasswordMax = 9;

// Scrambles `password` (at most nine characters; longer ones are cut).
StoredPassword scramblePassword(std::string_view password, int seed);

// The password kept in `stored`, up to its first NUL. A seed byte above 99
// (a damaged file) is taken modulo 100.
std::string unscramblePassword(const StoredPassword& stored);

}  // namespace qmx
