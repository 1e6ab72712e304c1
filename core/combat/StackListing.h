#pragma once
// The game-controls panel's six unit slots over one stack: which units they
// show from a scroll position, with the name, the status and movement
// letters and whether the picture is the concealed one.

#include <array>
#include <string>

#include "core/game/GameState.h"
#include "core/module/Module.h"

namespace qmx {

inline constexpr int kSlotsShown = 6;

struct SlotEntry {
    int unit = 0;  // 0: an empty slot
    std::string name;
    std::string status;      // "H", "h", "C", "D" or empty
    std::string movement;    // "M" or empty
    bool concealed = false;  // another player hid the identity: step 0's picture
};

struct StackListing {
    std::array<SlotEntry, kSlotsShown> units{};
    int before = 0;  // the unit before slot 1 (slot 1's own unit at position 1)
    // Slot 6 is empty or shows the stack's last unit: scrolling on shows nothing new.
    bool atEnd = true;
};

// The units of the stack beginning with `first`, from 1-based position
// `scroll` in its chain, skipping units hidden from this viewer.
StackListing listStack(const GameState& state, const Module& module, int first, int scroll);

// An up-down step on the slots: the new position, or the old one with a beep
// (5500 Hz at the top, 21760 Hz past the end).
struct SlotScroll {
    int position = 1;
    int beepHz = 0;  // 0: no beep, the stack is listed again
    bool operator==(const SlotScroll&) const = default;
};
SlotScroll scrollSlots(int position, int step, bool atEnd);

}  // namespace qmx
