#pragma once
// Dice: a number of identical dice with a number of sides. A roll is only
// the numbers; nothing is added up or read off a table.

#include <string>

namespace qmx {

class Random;

inline constexpr int kMinDice = 1;
inline constexpr int kMaxDice = 20;
inline constexpr int kMinSides = 2;
inline constexpr int kMaxSides = 100;

// The numbers of one roll, "4, 1": each die (r mod sides) + 1 of one draw,
// separated by ", ". Counts and sides outside their ranges are brought in.
std::string rollDice(Random& random, int count, int sides);

// The text of a free roll: "Die Roll: " and the numbers, wrapped onto new
// lines (CR LF) as they grow, and a closing line break.
std::string freeRollText(Random& random, int count, int sides);

// An up-down step on a Define Dice field: the step (clamped to -1..+1) is
// taken from the value, which stays within [low, high].
int stepDiceField(int value, int step, int low, int high);

}  // namespace qmx
