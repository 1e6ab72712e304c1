#include "core/combat/Dice.h"

#include <algorithm>
#include <vector>

#include "core/module/Random.h"

namespace qmx {

namespace {

std::vector<std::string> dieNumbers(Random& random, int count, int sides) {
    count = std::clamp(count, kMinDice, kMaxDice);
    sides = std::clamp(sides, kMinSides, kMaxSides);
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i) out.push_back(std::to_string(random.next() % sides + 1));
    return out;
}

}  // namespace

std::string rollDice(Random& random, int count, int sides) {
    std::string text;
    const std::vector<std::string> dice = dieNumbers(random, count, sides);
    for (std::size_t i = 0; i < dice.size(); ++i) {
        text += dice[i];
        if (i + 1 < dice.size()) text += ", ";
    }
    return text;
}

std::string freeRollText(Random& random, int count, int sides) {
    std::string text = "Die Roll: ";
    const std::vector<std::string> dice = dieNumbers(random, count, sides);
    std::size_t length = 0;
    for (std::size_t i = 0; i < dice.size(); ++i) {
        const std::string piece = i + 1 < dice.size() ? dice[i] + ", " : dice[i];
        if (2 * piece.size() + length < 54) {
            length += piece.size();
        } else {
            text += "\r\n";
            length = 0;
        }
        text += piece;
    }
    return text + "\r\n";
}

int stepDiceField(int value, int step, int low, int high) {
    return std::clamp(value - std::clamp(step, -1, 1), low, high);
}

}  // namespace qmx
