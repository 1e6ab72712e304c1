#include <gtest/gtest.h>

#include "core/settings/IniFile.h"

using namespace qmx;

TEST(IniFile, ReadsSectionsAndKeysIgnoringCaseAndBlanks) {
    const IniFile ini = IniFile::parse(
        "; a comment\r\n"
        "[Preferences]\r\n"
        "  Replay Speed = 40 \r\n"
        "replay delay=7\n"
        "Name=\"quoted value\"\n"
        "[WINDOW]\n"
        "X Pos=-12\n"
        "Y Pos=+3\n");
    EXPECT_EQ(ini.integer("PREFERENCES", "Replay Speed"), 40);
    EXPECT_EQ(ini.integer("preferences", "REPLAY DELAY"), 7);
    EXPECT_EQ(ini.value("PREFERENCES", "Name"), "quoted value");
    EXPECT_EQ(ini.integer("WINDOW", "X Pos"), -12);
    EXPECT_EQ(ini.integer("WINDOW", "Y Pos"), 3);
    EXPECT_EQ(ini.integer("WINDOW", "Replay Speed"), std::nullopt);  // other section
    EXPECT_EQ(ini.integerOr("WINDOW", "X Size", 640), 640);
}

TEST(IniFile, OnlyWholeDecimalNumbersAreNumbers) {
    EXPECT_EQ(IniFile::parseInteger("0"), 0);
    EXPECT_EQ(IniFile::parseInteger(" 255 "), 255);
    EXPECT_EQ(IniFile::parseInteger("-1"), -1);
    for (const char* bad : {"", " ", "abc", "20abc", "1.5", "0x10", "--1", "+", "1 2"}) {
        EXPECT_EQ(IniFile::parseInteger(bad), std::nullopt) << bad;
    }
    // far too many digits saturate instead of overflowing
    const auto huge = IniFile::parseInteger("99999999999999999999999999999999");
    ASSERT_TRUE(huge.has_value());
    EXPECT_GT(*huge, 1000000000000LL);
    const auto tiny = IniFile::parseInteger("-99999999999999999999999999999999");
    ASSERT_TRUE(tiny.has_value());
    EXPECT_LT(*tiny, -1000000000000LL);
}

TEST(IniFile, FirstOccurrenceWinsAndLinesWithoutEqualsAreIgnored) {
    const IniFile ini = IniFile::parse(
        "[A]\nKey=1\nKey=2\njunk line\n=orphan\n[A\nKey2=3\n[B]\n[A]\nKey=4\nKey3=5\n");
    EXPECT_EQ(ini.integer("A", "Key"), 1);
    EXPECT_EQ(ini.integer("A", "Key2"), 3);  // the unclosed "[A" is no header
    EXPECT_EQ(ini.integer("A", "Key3"), 5);  // a repeated section adds its keys
    EXPECT_EQ(ini.value("A", ""), std::nullopt);
}

TEST(IniFile, SettingKeepsEverythingElse) {
    IniFile ini =
        IniFile::parse("; top\n[WINDOW]\nx pos=5\nOther=keep\n\n[HELP PROMPTS]\nPrompt3=0\n");
    ini.set("WINDOW", "X Pos", 17);              // rewrites the existing key with its proper name
    ini.set("WINDOW", "Y Pos", 4);               // new key after the section's last key
    ini.set("PREFERENCES", "Replay Speed", 20);  // new section at the end
    EXPECT_EQ(ini.text(),
              "; top\r\n"
              "[WINDOW]\r\n"
              "X Pos=17\r\n"
              "Other=keep\r\n"
              "Y Pos=4\r\n"
              "\r\n"
              "[HELP PROMPTS]\r\n"
              "Prompt3=0\r\n"
              "\r\n"
              "[PREFERENCES]\r\n"
              "Replay Speed=20\r\n");
    const IniFile again = IniFile::parse(ini.text());
    EXPECT_EQ(again.integer("WINDOW", "X Pos"), 17);
    EXPECT_EQ(again.integer("WINDOW", "Y Pos"), 4);
    EXPECT_EQ(again.value("WINDOW", "Other"), "keep");
}

TEST(IniFile, EmptyFileGetsSectionWithoutLeadingBlankLine) {
    IniFile ini;
    ini.set("HELP PROMPTS", "Prompt9", 0);
    EXPECT_EQ(ini.text(), "[HELP PROMPTS]\r\nPrompt9=0\r\n");
}

TEST(IniFile, ValuesCannotBreakTheFileStructure) {
    IniFile ini;
    ini.set("S", "Key", "line one\r\n[Injected]\r\nEvil=1");
    ini.set("S", "Bad=Key", "x");
    const IniFile again = IniFile::parse(ini.text());
    EXPECT_EQ(again.value("Injected", "Evil"), std::nullopt);
    EXPECT_EQ(again.value("S", "Key"), "line one  [Injected]  Evil=1");
    EXPECT_EQ(again.value("S", "Bad Key"), "x");
}

TEST(IniFile, BinaryGarbageParsesWithoutHarm) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 7919) & 0xFF));
    const IniFile ini = IniFile::parse(junk);
    EXPECT_EQ(ini.integer("PREFERENCES", "Replay Speed"), std::nullopt);
    // the text survives a rewrite apart from its line ends
    IniFile copy = ini;
    copy.set("PREFERENCES", "Replay Speed", 3);
    EXPECT_EQ(IniFile::parse(copy.text()).integer("PREFERENCES", "Replay Speed"), 3);
}
