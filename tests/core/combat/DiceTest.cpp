// Dice: the numbers of a roll, the free roll's wrapping and the Define Dice
// fields' up-down steps.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "core/combat/Dice.h"
#include "core/module/Clock.h"
#include "core/module/Random.h"

namespace qmx {
namespace {

TEST(Dice, EveryDieLiesWithinItsSides) {
    Random r(7);
    for (int i = 0; i < 200; ++i) {
        const int die = std::stoi(rollDice(r, 1, 6));
        EXPECT_GE(die, 1);
        EXPECT_LE(die, 6);
    }
}

TEST(Dice, TheGeneratorGivesTheNumbersOfItsSeed) {
    // Seed 1: draws 41, 18467, 6334 -> on six sides 6, 6, 5.
    Random r(1);
    EXPECT_EQ(rollDice(r, 3, 6), "6, 6, 5");
    Random same(1);
    EXPECT_EQ(freeRollText(same, 3, 6), "Die Roll: 6, 6, 5\r\n");
}

TEST(Dice, TwentyDiceOfAHundredSidesWrapByTheRunningLength) {
    Random r(99);
    const std::string text = freeRollText(r, 20, 100);
    // A break comes before a piece whose doubled length and the running
    // length reach 54 ("4, " after 48 characters); the running length then
    // starts again from nothing: the piece that opens the new line is not counted.
    EXPECT_EQ(text,
              "Die Roll: 62, 36, 20, 10, 91, 28, 87, 30, 98, 78, 79, 62, \r\n"
              "4, 36, 6, 57, 19, 75, 99, 95\r\n");
}

// Every roll is seeded from the system's random source: rolls made within
// one second differ (seeded from the clock they were all the same), and
// rolls of every die size are uniform.
TEST(Dice, RollsOfTheSameSecondAreIndependentAndUniform) {
    SystemClock clock;
    std::set<std::string> rolls;
    for (int i = 0; i < 20; ++i) {
        Random r;
        r.seedFrom(clock);
        rolls.insert(rollDice(r, 3, 6));
    }
    EXPECT_GT(rolls.size(), 1u);

    constexpr int kRolls = 100000;
    for (int sides : {2, 3, 6, 10, 20, 100}) {
        std::vector<int> seen(static_cast<std::size_t>(sides), 0);
        for (int i = 0; i < kRolls; ++i) {
            Random r;
            r.seedFrom(clock);
            ++seen[static_cast<std::size_t>(std::stoi(rollDice(r, 1, sides)) - 1)];
        }
        const double expected = static_cast<double>(kRolls) / sides;
        double chi = 0;
        for (int n : seen) chi += (n - expected) * (n - expected) / expected;
        // The chi-square bound for sides - 1 degrees of freedom that a fair
        // die passes but once in 30,000 runs (Wilson-Hilferty, z = 4).
        const double df = sides - 1;
        const double bound = df * std::pow(1 - 2 / (9 * df) + 4 * std::sqrt(2 / (9 * df)), 3);
        EXPECT_LT(chi, bound) << sides << " sides";
    }
}

TEST(Dice, OutOfRangeDefinitionsAreBroughtIn) {
    Random r(3);
    EXPECT_EQ(rollDice(r, 0, 6).find(','), std::string::npos);  // one die
    Random big(3);
    const std::string many = rollDice(big, 50, 1000);
    EXPECT_EQ(std::count(many.begin(), many.end(), ','), 19);
    for (int v : {std::stoi(many)}) EXPECT_LE(v, 100);
}

TEST(Dice, UpDownStepsAreClampedToTheirRanges) {
    EXPECT_EQ(stepDiceField(20, -1, 1, 20), 20);  // the up arrow at 20 keeps 20
    EXPECT_EQ(stepDiceField(19, -5, 1, 20), 20);  // a step of more than one is one
    EXPECT_EQ(stepDiceField(1, 1, 1, 20), 1);
    EXPECT_EQ(stepDiceField(6, 1, 2, 100), 5);
    EXPECT_EQ(stepDiceField(2, 1, 2, 100), 2);
}

}  // namespace
}  // namespace qmx
