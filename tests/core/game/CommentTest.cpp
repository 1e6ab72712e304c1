#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/game/Comment.h"
#include "core/game/PasswordKeyTable.h"
#include "core/module/Random.h"
#include "tests/support/ScriptedPrompts.h"

using namespace qmx;

TEST(PasswordKeyTable, StoredPasswordBytesFromTheTable) {
    // Keys 0..8 are 20, 101, 14, 90, 19, 108, 83, 43, 40; the NULs after a
    // short password are scrambled too.
    EXPECT_EQ(scramblePassword("ab", 0),
              StoredPassword({117, 199, 14, 90, 19, 108, 83, 43, 40, 0}));
    // From seed 98 the key index runs 98, 99, 0, 1, ...: keys 68, 70, 20, 101, ...
    EXPECT_EQ(scramblePassword("ab", 98),
              StoredPassword({165, 168, 20, 101, 14, 90, 19, 108, 83, 98}));
    EXPECT_EQ(unscramblePassword(scramblePassword("ab", 98)), "ab");
}

TEST(PasswordKeyTable, EveryKeyAsOtherCopiesHaveIt) {
    // "A" (65) under each of the hundred keys in turn, as stored by every
    // copy of the program: a key moved or changed breaks every password and
    // sealed comment exchanged with them.
    const Bytes expected = {
        85,  166, 79,  155, 84,  173, 148, 108, 105, 104, 76,  69,  167, 143, 141, 106, 171,
        172, 134, 159, 147, 95,  67,  151, 91,  117, 121, 82,  92,  149, 96,  114, 142, 144,
        126, 128, 99,  152, 150, 101, 103, 98,  72,  78,  175, 87,  158, 176, 94,  89,  73,
        170, 136, 111, 66,  154, 113, 90,  109, 118, 162, 153, 164, 70,  165, 71,  125, 110,
        115, 97,  107, 77,  123, 86,  119, 168, 120, 75,  112, 130, 139, 160, 83,  93,  127,
        157, 102, 132, 122, 68,  146, 100, 88,  131, 116, 138, 137, 156, 133, 135,
    };
    Bytes stored;
    const std::vector<std::uint8_t> as(100, 'A');
    EXPECT_EQ(PasswordKeyTable::scrambleRun(as, 0, stored), 0);
    EXPECT_EQ(stored, expected);
}

TEST(PasswordKeyTable, EveryByteValueComesBackUnderEveryKey) {
    for (int k = 0; k < PasswordKeyTable::kSize; ++k)
        for (int c = 0; c < 256; ++c) {
            const auto key = PasswordKeyTable::key(k);
            ASSERT_EQ(PasswordKeyTable::unscramble(
                          PasswordKeyTable::scramble(static_cast<std::uint8_t>(c), key), key),
                      c)
                << "key index " << k << " character " << c;
        }
    // Byte 240 under key 20 is stored as the small byte 4: s - k is negative
    // there, and still gives back 240, not 240 - 256 + 239.
    EXPECT_EQ(PasswordKeyTable::scramble(240, 20), 4);
    EXPECT_EQ(PasswordKeyTable::unscramble(4, 20), 240);
    // Characters above 127, and nine of them, round-trip as a stored password.
    const std::string high = "\xC4\xD6\xDC\xE9\xFF\x80\x81\xA0z";
    for (int seed = 0; seed < 100; ++seed)
        ASSERT_EQ(unscramblePassword(scramblePassword(high, seed)), high);
    // Longer passwords are cut to nine characters; a damaged seed byte is taken modulo 100.
    EXPECT_EQ(unscramblePassword(scramblePassword("0123456789", 5)), "012345678");
    StoredPassword damaged = scramblePassword("abc", 7);
    damaged[9] = 207;
    EXPECT_EQ(unscramblePassword(damaged), "abc");
}

TEST(Comment, PlainEntries) {
    EXPECT_EQ(plainCommentEntry(""), Bytes({255, 242, 255, 249}));
    EXPECT_EQ(plainCommentEntry("Hi\r\n"), Bytes({255, 242, 'H', 'i', 13, 10, 255, 249}));
    // The command byte never appears inside a text.
    EXPECT_EQ(plainCommentEntry("\xFF\xF9!"), Bytes({255, 242, 'y', 249, '!', 255, 249}));
}

TEST(Comment, EncryptedEntryBytes) {
    // Seed 0: "pw" padded with seven spaces under keys 20, 101, 14, 90, 19,
    // 108, 83, 43, 40; the text "Hi" under keys 39 and 11.
    const Bytes expected = {255, 254, 0,  132, 220, 46,  122, 51,
                            140, 115, 75, 72,  111, 116, 255, 249};
    EXPECT_EQ(encryptedCommentEntry("Hi", "pw", 0), expected);
    // The password field holds at most 8 typed characters, the 9th is a space.
    EXPECT_EQ(padCommentPassword("123456789"), "12345678 ");
    EXPECT_EQ(padCommentPassword(""), "         ");
}

TEST(Comment, ASeedUnderWhichACharacterWouldBecome255IsPassedOver) {
    // 0xD8 under key 39 (index 9, the first text character from seed 0) is 255.
    EXPECT_EQ(PasswordKeyTable::scramble(0xD8, 39), 255);
    EXPECT_EQ(encryptedCommentSeed("         ", "\xD8", 0), 1);
    const Bytes expected = {255, 254, 1, 133, 46, 122, 51, 140, 115, 75, 72, 71, 227, 255, 249};
    EXPECT_EQ(encryptedCommentEntry("\xD8", "", 0), expected);

    // A Latin-1 text comes back whole from every drawn seed.
    const std::string latin = "Gr\xFC\xDF\x65, caf\xE9 \xD8 \xFF \xE0 la \xA3";
    for (int seed = 0; seed < 100; ++seed) {
        const Bytes e = encryptedCommentEntry(latin, "\xE9t\xE9", seed);
        for (std::size_t i = 2; i + 2 < e.size(); ++i) ASSERT_NE(e[i], 255) << seed << " " << i;
        const auto back = readEncryptedComment(e, 2);
        ASSERT_TRUE(back && back->complete && back->accepts("\xE9T\xE9"));
        ASSERT_EQ(back->text(), latin);
    }

    // 0xEB scrambles to 255 under one of the keys, and a hundred of them meet
    // every key: no seed is clean. The stored text still holds no 255, and
    // only the characters that would have been 255 read back as '?'.
    const std::string dense(100, '\xEB');
    for (int seed = 0; seed < 100; seed += 11) {
        const Bytes e = encryptedCommentEntry(dense, "\xE9t\xE9", seed);
        for (std::size_t i = 2; i + 2 < e.size(); ++i) ASSERT_NE(e[i], 255) << seed << " " << i;
        const auto back = readEncryptedComment(e, 2);
        ASSERT_TRUE(back && back->complete && back->accepts("\xE9T\xE9"));
        const std::string text = back->text();
        ASSERT_EQ(text.size(), dense.size());
        EXPECT_EQ(std::count(text.begin(), text.end(), '?'), 1) << seed;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\xEB'), 99) << seed;
    }
}

TEST(Comment, ReadingAnEncryptedCommentBack) {
    Bytes record = encryptedCommentEntry("Attack at dawn", "Sealed", 42);
    record.push_back(255);
    record.push_back(253);  // the next entry
    const auto c = readEncryptedComment(record, 2);
    ASSERT_TRUE(c.has_value());
    EXPECT_TRUE(c->complete);
    EXPECT_EQ(c->next, record.size() - 2);
    EXPECT_EQ(c->password, "Sealed   ");
    EXPECT_TRUE(c->accepts("SEALED"));
    EXPECT_TRUE(c->accepts("sealed"));
    EXPECT_FALSE(c->accepts("sealed2"));
    EXPECT_FALSE(c->accepts(""));
    EXPECT_EQ(c->text(), "Attack at dawn");

    // An empty password is nine spaces and opens with an empty answer.
    const Bytes open = encryptedCommentEntry("x", "", 3);
    EXPECT_TRUE(readEncryptedComment(open, 2)->accepts(""));

    // Cut records: too short for the password, or without the end pair.
    EXPECT_FALSE(readEncryptedComment(Bytes({255, 254, 5, 1, 2}), 2).has_value());
    EXPECT_FALSE(readEncryptedComment(Bytes({255, 254}), 3).has_value());
    const Bytes cut(record.begin(), record.begin() + 16);
    const auto partial = readEncryptedComment(cut, 2);
    ASSERT_TRUE(partial.has_value());
    EXPECT_FALSE(partial->complete);
    EXPECT_EQ(partial->next, cut.size());
}

TEST(Comment, TheSameCommentTwiceDiffersByItsSeed) {
    Random random(1234);
    const Bytes a = encryptedCommentEntry("same", "pw", random);
    const Bytes b = encryptedCommentEntry("same", "pw", random);
    EXPECT_NE(a, b);
    EXPECT_EQ(readEncryptedComment(a, 2)->text(), readEncryptedComment(b, 2)->text());
}

TEST(Comment, PlainTextReadingDropsStrayCommandPairs) {
    const Bytes record = {'a', 255, 1, 'b', 255, 249, 255, 248};
    const RecordedText t = readPlainComment(record, 0);
    EXPECT_EQ(t.text, "ab");
    EXPECT_TRUE(t.complete);
    EXPECT_EQ(t.next, 6u);
    const RecordedText open = readPlainComment(Bytes({'a', 'b', 255}), 0);
    EXPECT_EQ(open.text, "ab");
    EXPECT_FALSE(open.complete);
    EXPECT_EQ(open.next, 3u);
}

TEST(Comment, ReplayAsksForThePasswordOrReportsMessage20) {
    const auto c = readEncryptedComment(encryptedCommentEntry("secret plan", "Key", 9), 2);
    ScriptedPrompts prompts;
    prompts.answers = {std::string("key"), std::string("nope"), std::nullopt};
    EXPECT_EQ(openEncryptedComment(*c, prompts), "secret plan");
    EXPECT_FALSE(openEncryptedComment(*c, prompts).has_value());
    EXPECT_FALSE(openEncryptedComment(*c, prompts).has_value());
    EXPECT_EQ(prompts.messages, std::vector<int>({20, 20}));
    EXPECT_EQ(prompts.asked.front(), "Encrypted Comment|Enter password:|8");
}
