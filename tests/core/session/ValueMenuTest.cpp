#include <gtest/gtest.h>

#include "core/session/ValueMenu.h"

using namespace qmx;

TEST(ValueMenu, CyclesTotalLowestHighestAndStartsUncomputedAtLowest) {
    EXPECT_EQ(nextTotalMode(TotalMode::Total), TotalMode::Lowest);
    EXPECT_EQ(nextTotalMode(TotalMode::Lowest), TotalMode::Highest);
    EXPECT_EQ(nextTotalMode(TotalMode::Highest), TotalMode::Total);
    EXPECT_EQ(nextTotalMode(TotalMode::NotComputed), TotalMode::Lowest);
}

TEST(ValueMenu, ItemTextsFollowTheModeBits) {
    Module m;
    m.valueNames = {"Att", "Def", "Mov", "", "V5", "V6"};
    // value 1 NotComputed (00), 2 Lowest (01), 3 Highest (10), 4 Total (11)
    m.valueTotalModes = 0b11'10'01'00;
    EXPECT_EQ(valueMenuText(m, 0), "Att\tTotal");
    EXPECT_EQ(valueMenuText(m, 1), "Def\tLowest");
    EXPECT_EQ(valueMenuText(m, 2), "Mov\tHighest");
    EXPECT_EQ(valueMenuText(m, 3), "\tTotal");
    EXPECT_EQ(valueMenuText(m, 6), "");

    cycleTotalMode(m, 0);
    EXPECT_EQ(m.valueTotalModes & 0b11, 0b01);
    cycleTotalMode(m, 3);
    EXPECT_EQ((m.valueTotalModes >> 6) & 0b11, 0b01);
    EXPECT_EQ((m.valueTotalModes >> 2) & 0b1111, 0b1001);  // the others untouched
    // Values outside 0..5 have no bits: nothing changes.
    const std::uint16_t before = m.valueTotalModes;
    cycleTotalMode(m, -1);
    cycleTotalMode(m, 6);
    EXPECT_EQ(m.valueTotalModes, before);
}
