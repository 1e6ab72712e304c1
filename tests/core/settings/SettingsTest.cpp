#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"
#include "tests/support/TempFolder.h"

using namespace qmx;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void writeFile(const std::string& text) { std::ofstream(m_path, std::ios::binary) << text; }
    std::string readFile() const {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    const test::TempFolder m_dir{"qmx_settings"};
    const std::string m_path = (m_dir / "QMX.ini").string();
};

}  // namespace

TEST_F(SettingsTest, FirstStartGivesDefaultsAndWritesNothing) {
    Settings settings(m_path);
    settings.load();
    const Preferences& p = settings.preferences();
    EXPECT_EQ(p.replaySpeed, 20);
    EXPECT_EQ(p.replayDelay, 20);
    EXPECT_EQ(p.replayMaxSpeed, 20);
    EXPECT_EQ(p.numberOfDice, 2);
    EXPECT_EQ(p.sidesOnDice, 6);
    EXPECT_EQ(p.facingColor, 0);
    EXPECT_FALSE(p.suppressCombatDieRolls);
    EXPECT_TRUE(p.commentBeforeDice);
    EXPECT_TRUE(p.defineDiceBeforeRoll);
    EXPECT_TRUE(p.showFacingLines);
    EXPECT_FALSE(p.largeFontComments);
    const WindowPlacement& w = settings.window();
    EXPECT_EQ(w.x, 0);
    EXPECT_EQ(w.y, 0);
    EXPECT_EQ(w.width, 640);
    EXPECT_EQ(w.height, 400);
    EXPECT_EQ(w.panelX, 100);
    EXPECT_EQ(w.panelY, 0);
    for (int n = 1; n <= 15; ++n) EXPECT_TRUE(settings.promptEnabled(n)) << n;
    EXPECT_FALSE(std::filesystem::exists(m_path));
}

TEST_F(SettingsTest, PreferencesAreWrittenAsNamedKeysWithDecimalValues) {
    Settings settings(m_path);
    settings.load();
    Preferences p;
    p.replaySpeed = 35;
    p.replayDelay = 0;
    p.replayMaxSpeed = 200;
    p.numberOfDice = 3;
    p.sidesOnDice = 10;
    p.facingColor = 4;
    p.suppressCombatDieRolls = true;
    p.commentBeforeDice = false;
    p.defineDiceBeforeRoll = false;
    p.showFacingLines = false;
    p.largeFontComments = true;
    ASSERT_TRUE(settings.setPreferences(p));
    EXPECT_EQ(readFile(),
              "[PREFERENCES]\r\n"
              "Replay Speed=35\r\n"
              "Replay Delay=0\r\n"
              "Replay Max Speed=200\r\n"
              "Number of Dice=3\r\n"
              "Number of Sides on Dice=10\r\n"
              "Facing Pointer Color=4\r\n"
              "Suppress Combat Die Rolls=1\r\n"
              "Enter Comment Before Rolling Dice=0\r\n"
              "Define Dice Before Each Roll=0\r\n"
              "Show Lines for Facing=0\r\n"
              "Use Large Font in Comment=1\r\n");
    Settings again(m_path);
    again.load();
    EXPECT_EQ(again.preferences(), p);
}

TEST_F(SettingsTest, DamagedFileGivesDefaultsAndClampedValues) {
    writeFile(
        "[PREFERENCES]\n"
        "Replay Speed=900\n"      // too big: 255
        "Replay Delay=-5\n"       // too small: 0
        "Replay Max Speed=ten\n"  // text: default 20, then not below the speed: 255
        "Number of Dice=0\n"      // 1
        "Number of Sides on Dice=1000000000000000000000\n"  // 100
        "Facing Pointer Color=16\n"                         // 15
        "Suppress Combat Die Rolls=2\n"                     // only 1 is on
        "Enter Comment Before Rolling Dice=\n"              // empty: default (on)
        "Show Lines for Facing=1.0\n"                       // not a number: default (on)
        "[WINDOW]\n"
        "X Pos=99999999\n"
        "Y Pos=abc\n"
        "X Size=0\n"
        "Y Size=-400\n"
        "Game control X pos=12\n"
        "[HELP PROMPTS]\n"
        "Prompt7=\n");
    Settings settings(m_path);
    settings.load();
    const Preferences& p = settings.preferences();
    EXPECT_EQ(p.replaySpeed, 255);
    EXPECT_EQ(p.replayDelay, 0);
    EXPECT_EQ(p.replayMaxSpeed, 255);
    EXPECT_EQ(p.numberOfDice, 1);
    EXPECT_EQ(p.sidesOnDice, 100);
    EXPECT_EQ(p.facingColor, 15);
    EXPECT_FALSE(p.suppressCombatDieRolls);
    EXPECT_TRUE(p.commentBeforeDice);
    EXPECT_TRUE(p.defineDiceBeforeRoll);  // missing
    EXPECT_TRUE(p.showFacingLines);
    const WindowPlacement& w = settings.window();
    EXPECT_EQ(w.x, 32000);
    EXPECT_EQ(w.y, 0);
    EXPECT_GE(w.width, 160);
    EXPECT_GE(w.height, 120);
    EXPECT_EQ(w.panelX, 12);
    EXPECT_EQ(w.panelY, 0);
    EXPECT_TRUE(settings.promptEnabled(7));
}

TEST_F(SettingsTest, SpeedLimitNeverBelowReplaySpeed) {
    Preferences p;
    p.replaySpeed = 50;
    p.replayMaxSpeed = 10;
    EXPECT_EQ(p.clamped().replayMaxSpeed, 50);
    p.replaySpeed = 1;
    p.replayMaxSpeed = 1;
    EXPECT_EQ(p.clamped().replayMaxSpeed, 2);

    writeFile("[PREFERENCES]\nReplay Speed=100\nReplay Max Speed=30\n");
    Settings settings(m_path);
    settings.load();
    EXPECT_EQ(settings.preferences().replayMaxSpeed, 100);
}

TEST_F(SettingsTest, FacingColourWrapsAndIsWrittenAtOnce) {
    writeFile("[PREFERENCES]\nFacing Pointer Color=14\n");
    Settings settings(m_path);
    settings.load();
    EXPECT_EQ(settings.cycleFacingColor(), 15);
    EXPECT_EQ(settings.cycleFacingColor(), 0);
    EXPECT_EQ(IniFile::load(m_path).value("PREFERENCES", "Facing Pointer Color"), "0");
    EXPECT_EQ(settings.cycleFacingColor(), 1);
    EXPECT_EQ(IniFile::load(m_path).value("PREFERENCES", "Facing Pointer Color"), "1");
}

TEST_F(SettingsTest, FacingColourTable) {
    EXPECT_EQ(facingColorRgb(0), (Rgb{0, 0, 255}));
    EXPECT_EQ(facingColorRgb(3), (Rgb{255, 255, 255}));
    EXPECT_EQ(facingColorRgb(7), (Rgb{127, 0, 0}));
    EXPECT_EQ(facingColorRgb(14), (Rgb{192, 192, 192}));
    EXPECT_EQ(facingColorRgb(15), (Rgb{0, 192, 192}));
    EXPECT_EQ(facingColorRgb(16), facingColorRgb(0));
    EXPECT_EQ(facingColorRgb(-1), facingColorRgb(15));
}

TEST_F(SettingsTest, WindowPlacementWritesKeepOtherSections) {
    writeFile("; mine\n[HELP PROMPTS]\nPrompt3=0\n");
    Settings settings(m_path);
    settings.load();
    const auto [w, h] = Settings::storedSizeForClient(800, 500);
    EXPECT_EQ(w, 808);
    EXPECT_EQ(h, 546);
    ASSERT_TRUE(settings.setWindowSize(w, h));
    ASSERT_TRUE(settings.setWindowPosition(30, 40));
    ASSERT_TRUE(settings.setPanelPosition(700, 5));
    EXPECT_EQ(readFile(),
              "; mine\r\n"
              "[HELP PROMPTS]\r\n"
              "Prompt3=0\r\n"
              "\r\n"
              "[WINDOW]\r\n"
              "X Size=808\r\n"
              "Y Size=546\r\n"
              "X Pos=30\r\n"
              "Y Pos=40\r\n"
              "Game control X pos=700\r\n"
              "Game control Y pos=5\r\n");
    Settings again(m_path);
    again.load();
    EXPECT_EQ(again.window(), (WindowPlacement{30, 40, 808, 546, 700, 5, true}));
    EXPECT_FALSE(again.promptEnabled(3));
    EXPECT_EQ(Settings::clientSizeForStored(808, 546), std::make_pair(800, 500));
}

TEST_F(SettingsTest, WritesKeepKeysAnotherCopyWroteMeanwhile) {
    Settings mine(m_path);
    mine.load();
    Settings other(m_path);
    other.load();
    other.setPromptEnabled(5, false);
    mine.setWindowPosition(1, 2);
    const IniFile ini = IniFile::load(m_path);
    EXPECT_EQ(ini.value("HELP PROMPTS", "Prompt5"), "0");
    EXPECT_EQ(ini.value("WINDOW", "X Pos"), "1");
}

TEST_F(SettingsTest, UnwritableFolderFailsQuietly) {
    Settings settings((m_dir / "missing" / "QMX.ini").string());
    settings.load();
    EXPECT_FALSE(settings.setWindowPosition(5, 5));
    EXPECT_EQ(settings.window().x, 5);  // the running program still uses the value
    EXPECT_EQ(settings.cycleFacingColor(), 1);
}

TEST_F(SettingsTest, RecentModulesLastFirstOnceAndAtMostEight) {
    Settings settings(m_path);
    settings.load();
    EXPECT_TRUE(settings.recentModules().empty());
    for (int n = 1; n <= 9; ++n) settings.noteModuleOpened("/m/" + std::to_string(n) + ".qm4");
    settings.noteModuleOpened("/m/5.qm4");  // opened again: moves to the front, once
    const std::vector<std::string> expected{"/m/5.qm4", "/m/9.qm4", "/m/8.qm4", "/m/7.qm4",
                                            "/m/6.qm4", "/m/4.qm4", "/m/3.qm4", "/m/2.qm4"};
    EXPECT_EQ(settings.recentModules(), expected);

    Settings again(m_path);
    again.load();
    EXPECT_EQ(again.recentModules(), expected);
    EXPECT_EQ(IniFile::load(m_path).value("RECENT MODULES", "Module1"), "/m/5.qm4");

    // Keys left empty or missing in a hand-edited file are skipped.
    writeFile("[RECENT MODULES]\r\nModule1=\r\nModule3=/games/a.qm4\r\n");
    again.load();
    EXPECT_EQ(again.recentModules(), std::vector<std::string>{"/games/a.qm4"});
}
