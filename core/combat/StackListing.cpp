#include "core/combat/StackListing.h"

#include <algorithm>
#include <vector>

#include "core/game/Visibility.h"

namespace qmx {

StackListing listStack(const GameState& state, const Module& module, int first, int scroll) {
    StackListing out;
    const std::vector<int> chain = state.chain(first);
    auto listed = [&](const UnitState& u) {
        return u.hiddenBy() == kNotHidden || u.hiddenBy() == state.currentSlot ||
               u.has(UnitFlags::kIdHidden) || isGameMasterHere(state);
    };
    std::size_t i = static_cast<std::size_t>(std::max(scroll, 1) - 1);
    if (i >= chain.size()) return out;
    out.before = i == 0 ? chain[0] : chain[i - 1];
    std::size_t filled = 0;
    std::size_t lastShown = 0;
    for (; i < chain.size() && filled < out.units.size(); ++i) {
        const int n = chain[i];
        const UnitState& u = state.unit(n);
        if (!listed(u)) continue;
        SlotEntry& e = out.units[filled++];
        lastShown = i;
        e.unit = n;
        e.concealed = identityConcealedFromMe(state, u);
        e.name = e.concealed ? "????????"
                 : static_cast<std::size_t>(n) < module.units.size()
                     ? module.units[static_cast<std::size_t>(n)].name
                     : std::string();
        if (u.isHidden()) {
            e.status = u.has(UnitFlags::kIdHidden) ? "h" : "H";
        } else if (u.declaration != 0) {
            e.status = "D";
        } else if (u.has(UnitFlags::kInCombat)) {
            e.status = "C";
        }
        if (u.has(UnitFlags::kMoved)) e.movement = "M";
    }
    out.atEnd = filled < out.units.size() || lastShown + 1 == chain.size();
    return out;
}

SlotScroll scrollSlots(int position, int step, bool atEnd) {
    const int next = position - std::clamp(step, -1, 1);
    if (next < 1) return {1, 5500};
    if (atEnd && next > position) return {position, 21760};
    return {next, 0};
}

}  // namespace qmx
