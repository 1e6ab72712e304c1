#include <gtest/gtest.h>

#include "core/module/MessageTable.h"

using namespace qmx;

TEST(MessageTable, PlayerAndEditorNumbersAreTheirOwn) {
    EXPECT_EQ(messageText(MessageTable::Player, 6), "Nothing to Replay");
    EXPECT_EQ(messageText(MessageTable::Player, 33),
              "This file does not match your module. The number of cards is different.  Load "
              "terminated.");
    EXPECT_EQ(messageText(MessageTable::Editor, 33), "Error Saving Card data.");
    EXPECT_EQ(messageText(MessageTable::Player, 37), "Unable to open module graphics (.qmg) file.");
    EXPECT_TRUE(messageText(MessageTable::Player, 11).has_value());  // worded by us, but present
    EXPECT_FALSE(messageText(MessageTable::Player, 7).has_value());
    EXPECT_FALSE(messageText(MessageTable::Editor, 6).has_value());
}

TEST(MessageTable, DialogErrorsShowNothingForCancelAndUnknownCodes) {
    EXPECT_FALSE(dialogErrorText(0).has_value());
    EXPECT_FALSE(dialogErrorText(13).has_value());
    EXPECT_FALSE(dialogErrorText(0x10000).has_value());
    EXPECT_EQ(dialogErrorText(0x3003), "Filename too long.");
    EXPECT_EQ(dialogErrorText(12),
              "The RegisterWindowMessage function returned an error code when it was called by "
              "the common dialog box function.");
    // trailing blanks belong to the texts
    EXPECT_EQ(dialogErrorText(6),
              "The common dialog box function failed to find a specified resource. ");
}

TEST(MessageTable, NoticeTextUsesOwnTextForUnnumberedNotices) {
    EXPECT_EQ(noticeText(MessageTable::Player, {0, "custom"}), "custom");
    EXPECT_EQ(noticeText(MessageTable::Editor, {4, {}}), "Could not open file!");
}
