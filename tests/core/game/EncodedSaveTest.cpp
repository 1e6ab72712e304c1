#include <gtest/gtest.h>

#include <string>

#include "core/game/EncodedSave.h"

using namespace qmx;

namespace {

Bytes bytesOf(std::string_view s) {
    return Bytes(s.begin(), s.end());
}
std::string textOf(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

// The pairs of a sequence of bytes, as written out by hand.
std::string pairsOf(std::initializer_list<std::string_view> pairs) {
    std::string s;
    for (auto p : pairs) s += p;
    return s;
}

}  // namespace

TEST(EncodedSave, BytesBecomeLetterDigitPairs) {
    const std::pair<int, std::string_view> cases[] = {
        {0, "A1"},   {25, "Z1"},  {26, "a1"},  {51, "z1"},  {52, "A2"},
        {103, "z2"}, {104, "A3"}, {207, "z4"}, {208, "A5"}, {255, "v5"},
    };
    for (const auto& [b, pair] : cases) {
        const auto [letter, digit] = byteLetterPair(static_cast<std::uint8_t>(b));
        EXPECT_EQ(std::string({letter, digit}), pair) << b;
    }
}

TEST(EncodedSave, EncodesMarkerPairsEndMarkAndEndMarker) {
    const Bytes binary = {0, 25, 26, 51, 52, 255};
    const std::string expected = std::string("[[[QMX SAVE FILE]]]\r\n") + "A1Z1a1z1A2v5" +
                                 "\\^\r\n" + "[[End QMX save]]" + std::string(1, '\0');
    EXPECT_EQ(textOf(encodeTextSave(binary)), expected);
}

TEST(EncodedSave, ThirtyBytesMakeOneFullLineWithTheEndMarkOnIt) {
    const Bytes binary(30, 1);  // byte 1 is "B1"
    std::string line;
    for (int i = 0; i < 30; ++i) line += "B1";
    const std::string expected =
        "[[[QMX SAVE FILE]]]\r\n" + line + "\\^\r\n[[End QMX save]]" + std::string(1, '\0');
    EXPECT_EQ(textOf(encodeTextSave(binary)), expected);

    // One byte more starts a second line.
    Bytes more(31, 1);
    more[30] = 255;
    const std::string expected2 =
        "[[[QMX SAVE FILE]]]\r\n" + line + "\r\nv5\\^\r\n[[End QMX save]]" + std::string(1, '\0');
    EXPECT_EQ(textOf(encodeTextSave(more)), expected2);

    // An empty binary still has the end mark on a line of its own.
    EXPECT_EQ(textOf(encodeTextSave({})),
              "[[[QMX SAVE FILE]]]\r\n\\^\r\n[[End QMX save]]" + std::string(1, '\0'));
}

TEST(EncodedSave, RoundTripsEveryByteValueAcrossManyLines) {
    Bytes binary;
    for (int round = 0; round < 7; ++round)
        for (int b = 0; b < 256; ++b) binary.push_back(static_cast<std::uint8_t>(b ^ round));
    const Bytes text = encodeTextSave(binary);
    ASSERT_TRUE(looksLikeTextSave(text));
    EXPECT_EQ(decodeTextSave(text), binary);
}

TEST(EncodedSave, DecodesAMailThatQuotedAndRewrappedTheText) {
    // A reply quoting the save: "> " at every line start, LF line ends, blank
    // lines, text before the marker and a signature with digits after the end.
    const std::string mail =
        "From: someone\nSubject: turn 3 (1 attachment 2 files)\n\nHere is my move.\n\n"
        "> [[[QMX SAVE FILE]]]\n"
        "> " +
        pairsOf({"A1", "Z1", "a1"}) +
        "\n"
        ">\n"
        ">   " +
        pairsOf({"z1", "A2"}) +
        "\r"
        "> " +
        pairsOf({"v5"}) +
        "\\^\n"
        "> [[End QMX save]]\n\n"
        "Call me at 555 1234, Bob 2\n";
    const Bytes expected = {0, 25, 26, 51, 52, 255};
    EXPECT_TRUE(looksLikeTextSave(bytesOf(mail)));
    EXPECT_EQ(decodeTextSave(bytesOf(mail)), expected);
}

TEST(EncodedSave, PairRulesOfTheDecoder) {
    // A letter waits for its digit across any other characters; a second
    // letter while one waits is ignored; a digit without a letter is ignored;
    // digits 0 and 6..9 are not pair digits.
    EXPECT_EQ(decodeTextSavePairs(bytesOf("A\r\n> 1")), Bytes({0}));
    EXPECT_EQ(decodeTextSavePairs(bytesOf("AB2")), Bytes({52}));
    EXPECT_EQ(decodeTextSavePairs(bytesOf("3 B1")), Bytes({1}));
    EXPECT_EQ(decodeTextSavePairs(bytesOf("C0C6C9C5")), Bytes({210}));
    // Nothing after the end mark or the end marker counts.
    EXPECT_EQ(decodeTextSavePairs(bytesOf("B1\\^C1")), Bytes({1}));
    EXPECT_EQ(decodeTextSavePairs(bytesOf("B1\r\n[[End QMX save]] C1")), Bytes({1}));
    // A lone backslash or bracket is only an ignored character.
    EXPECT_EQ(decodeTextSavePairs(bytesOf("B\\1[C1")), Bytes({1, 2}));
}

TEST(EncodedSave, MarkerIsFoundOnItsFirstEighteenCharacters) {
    // Broken after the 18th character: still a text save.
    const std::string broken = "[[[QMX SAVE FILE]]\r\nB1C1\\^";
    EXPECT_EQ(decodeTextSave(bytesOf(broken)), Bytes({1, 2}));
    // Broken before: not a text save.
    EXPECT_FALSE(looksLikeTextSave(bytesOf("[[[QMX SAVE FILE]\r\nB1")));
    EXPECT_FALSE(decodeTextSave(bytesOf("[[QMX SAVE FILE]]]B1")).has_value());
    // A partial marker right before the real one does not hide it.
    const std::string doubled = "[[[[QMX SAVE FILE]]]B1";
    EXPECT_EQ(findTextSaveMarker(bytesOf(doubled)), 1u);
    EXPECT_EQ(decodeTextSave(bytesOf(doubled)), Bytes({1}));
    const std::string restart = "[[[QMX SAVE [[[QMX SAVE FILE]]]C1";
    EXPECT_EQ(decodeTextSave(bytesOf(restart)), Bytes({2}));
}

TEST(EncodedSave, ABinarySaveQuotingTheMarkerInACommentStaysBinary) {
    // Header with its NUL bytes, then a replay comment holding the marker text.
    Bytes binary = {1, 2, 3, 160, 0, 5, 0, 30, 0};
    const std::string comment = "\xFF\xF2[[[QMX SAVE FILE]]] A1\xFF\xF9";
    binary.insert(binary.end(), comment.begin(), comment.end());
    EXPECT_FALSE(looksLikeTextSave(binary));
    EXPECT_FALSE(decodeTextSave(binary).has_value());
    // Encoded, the same bytes load back exactly.
    EXPECT_EQ(decodeTextSave(encodeTextSave(binary)), binary);
}

TEST(EncodedSave, TextNameFollowsTheSaveNameRule) {
    EXPECT_EQ(textSaveName("turn"), "turn.txt");
    EXPECT_EQ(textSaveName("turn.qms"), "turn.txt");
    EXPECT_EQ(textSaveName("turn.QMS"), "turn.txt");
    EXPECT_EQ(textSaveName("turn.txt"), "turn.txt");
    EXPECT_EQ(textSaveName("dir/turn.abc"), "dir/turn.txt");
}
