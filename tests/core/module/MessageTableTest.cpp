#include <gtest/gtest.h>

#include "core/module/MessageTable.h"

using namespace qmx;

TEST(MessageTable, PlayerAndEditorNumbersAreTheirOwn) {
    EXPECT_EQ(messageText(MessageTable::Player, 6), "Nothing to Replay");
    // What a load can say, as other copies say it.
    EXPECT_EQ(messageText(MessageTable::Player, 12),
              "This file does not match your module. The number of units is different.  Load "
              "terminated.");
    EXPECT_EQ(messageText(MessageTable::Player, 13),
              "This file is from an earlier version of QMX.  Tell your opponent to upgrade!  "
              "This is for reference only and not an error.");
    EXPECT_EQ(messageText(MessageTable::Player, 14),
              "This file is from a later version of QMX.  You should upgrade! This is for "
              "reference only and not an error.");
    EXPECT_EQ(messageText(MessageTable::Player, 15),
              "This file does not match your module ID and may not be compatible.  Make sure "
              "your opponent and you are working from identical modules.");
    EXPECT_EQ(messageText(MessageTable::Player, 20), "Password Incorrect");
    EXPECT_EQ(messageText(MessageTable::Player, 30), "Could not parse file!");
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
