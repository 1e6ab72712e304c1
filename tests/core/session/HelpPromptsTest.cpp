#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "core/session/HelpPrompts.h"
#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"
#include "tests/support/TempFolder.h"

using namespace qmx;

namespace {

// Records every text shown and answers the check box from a queue (unticked
// when the queue is empty).
class ScriptedPrompts : public PromptDialog {
public:
    bool showPrompt(std::string_view text) override {
        shown.emplace_back(text);
        if (ticks.empty()) return false;
        const bool t = ticks.front();
        ticks.pop_front();
        return t;
    }
    std::vector<std::string> shown;
    std::deque<bool> ticks;
};

class HelpPromptsTest : public ::testing::Test {
protected:
    const test::TempFolder m_dir{"qmx_prompts"};
    const std::string m_path = (m_dir / "QMX.ini").string();
};

}  // namespace

TEST_F(HelpPromptsTest, FirstStartShowsPromptAndWritesNothingWhenUnticked) {
    Settings settings(m_path);
    settings.load();
    ScriptedPrompts dialog;
    EXPECT_TRUE(showHelpPrompt(settings, dialog, 3));
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].substr(0, 46), "The first thing you have to do is load a Game ");
    EXPECT_FALSE(std::filesystem::exists(m_path));
    // and shows it again next time
    EXPECT_TRUE(showHelpPrompt(settings, dialog, 3));
    EXPECT_EQ(dialog.shown.size(), 2u);
}

TEST_F(HelpPromptsTest, TickingShowsPromptNineNextAndTickingThatSwitchesItOff) {
    Settings settings(m_path);
    settings.load();
    ScriptedPrompts dialog;
    dialog.ticks = {true, true};
    showHelpPrompt(settings, dialog, 7);
    ASSERT_EQ(dialog.shown.size(), 2u);
    EXPECT_EQ(dialog.shown[1], *helpPromptText(9));
    EXPECT_FALSE(settings.promptEnabled(7));
    EXPECT_FALSE(settings.promptEnabled(9));
    const IniFile ini = IniFile::load(m_path);
    EXPECT_EQ(ini.value("HELP PROMPTS", "Prompt7"), "0");
    EXPECT_EQ(ini.value("HELP PROMPTS", "Prompt9"), "0");

    // both stay off after a restart
    Settings again(m_path);
    again.load();
    ScriptedPrompts quiet;
    EXPECT_FALSE(showHelpPrompt(again, quiet, 7));
    EXPECT_TRUE(quiet.shown.empty());

    // a further prompt switched off now gets no follow-up
    quiet.ticks = {true};
    showHelpPrompt(again, quiet, 8);
    EXPECT_EQ(quiet.shown.size(), 1u);
    EXPECT_FALSE(again.promptEnabled(8));
}

TEST_F(HelpPromptsTest, FollowUpUntickedKeepsPromptNine) {
    Settings settings(m_path);
    settings.load();
    ScriptedPrompts dialog;
    dialog.ticks = {true, false};
    showHelpPrompt(settings, dialog, 2);
    EXPECT_EQ(dialog.shown.size(), 2u);
    EXPECT_FALSE(settings.promptEnabled(2));
    EXPECT_TRUE(settings.promptEnabled(9));
    EXPECT_EQ(IniFile::load(m_path).value("HELP PROMPTS", "Prompt9"), std::nullopt);
}

TEST_F(HelpPromptsTest, PromptNineTickedHasNoFollowUp) {
    Settings settings(m_path);
    settings.load();
    ScriptedPrompts dialog;
    dialog.ticks = {true};
    showHelpPrompt(settings, dialog, 9);
    EXPECT_EQ(dialog.shown.size(), 1u);
    EXPECT_FALSE(settings.promptEnabled(9));
}

TEST_F(HelpPromptsTest, AnyValueButOneSuppressesAndTurnAllOnRestores) {
    {
        IniFile ini;
        ini.set("HELP PROMPTS", "Prompt2", "2");
        ini.set("HELP PROMPTS", "Prompt3", "0");
        ini.set("HELP PROMPTS", "Prompt5", "1");
        ini.set("HELP PROMPTS", "Prompt6", "yes");  // not a number: as if missing
        ASSERT_TRUE(ini.save(m_path));
    }
    Settings settings(m_path);
    settings.load();
    EXPECT_FALSE(settings.promptEnabled(2));
    EXPECT_FALSE(settings.promptEnabled(3));
    EXPECT_TRUE(settings.promptEnabled(5));
    EXPECT_TRUE(settings.promptEnabled(6));
    EXPECT_TRUE(settings.promptEnabled(11));

    ScriptedPrompts dialog;
    EXPECT_FALSE(showHelpPrompt(settings, dialog, 3));
    EXPECT_FALSE(showHelpPrompt(settings, dialog, 4));  // a number without a text
    EXPECT_TRUE(dialog.shown.empty());

    ASSERT_TRUE(settings.enableAllPrompts());
    const IniFile ini = IniFile::load(m_path);
    for (int n = 1; n <= 15; ++n) {
        EXPECT_EQ(ini.value("HELP PROMPTS", "Prompt" + std::to_string(n)), "1") << n;
        EXPECT_TRUE(settings.promptEnabled(n));
    }
    EXPECT_TRUE(showHelpPrompt(settings, dialog, 3));
}

TEST(HelpPromptTexts, KnownNumbersOnly) {
    for (int n : {2, 3, 5, 6, 7, 8, 9, 11, 12}) EXPECT_TRUE(helpPromptText(n).has_value()) << n;
    for (int n : {0, 1, 4, 10, 13, 14, 15, 16}) EXPECT_FALSE(helpPromptText(n).has_value()) << n;
    EXPECT_EQ(*helpPromptText(8),
              "The undo function will place the carried units back to their starting place at the "
              "beginning of the replay.  It will NOT retrace movement.  Stacking order may be "
              "affected.");
    EXPECT_EQ(*helpPromptText(9),
              "You have just disabled a help prompt.  You may turn all help prompts back on by "
              "selecting the menu item \"Help->Turn All Prompts On\".  ");
}
