#include "core/game/Carrying.h"

#include "core/game/Visibility.h"

namespace qmx {

namespace {

// Links `units` into one chain in their order, ended by 0.
std::uint16_t linkChain(GameState& state, const std::vector<int>& units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        state.unit(units[i]).stackLink =
            i + 1 < units.size() ? static_cast<std::uint16_t>(units[i + 1]) : 0;
    }
    return units.empty() ? 0 : static_cast<std::uint16_t>(units.front());
}

void clearBookkeeping(UnitState& u) {
    u.savedLink = 0;
    u.clear(UnitFlags::kLinkSaved);
    u.clear(UnitFlags::kWasHead);
}

}  // namespace

std::uint16_t pickUpStack(GameState& state, Hex hex) {
    if (!state.hasHex(hex.column, hex.row) || state.holdingUnits()) return 0;
    const std::uint16_t head = state.stackHead(hex.column, hex.row);
    if (head == 0) return 0;
    const std::vector<int> chain = state.chain(head);
    std::vector<int> carried;
    std::vector<int> remaining;
    for (const int u : chain)
        (visibleToMe(state, state.unit(u)) ? carried : remaining).push_back(u);
    if (carried.empty()) return 0;

    // The stack as it stood, for combat mode to restore.
    if (!state.unit(head).has(UnitFlags::kLinkSaved)) {
        state.unit(head).set(UnitFlags::kWasHead);
        for (const int u : chain) {
            UnitState& s = state.unit(u);
            s.savedLink = s.stackLink;
            s.set(UnitFlags::kLinkSaved);
        }
    }
    state.setStackHead(hex.column, hex.row, linkChain(state, remaining));
    state.carriedStack = linkChain(state, carried);
    return head;
}

void putDownStack(GameState& state, Hex hex, bool movementMode, std::uint16_t pickupHead) {
    if (!state.hasHex(hex.column, hex.row)) return;
    const std::vector<int> carried = state.chain(state.carriedStack);
    if (carried.empty()) return;
    if (movementMode) {
        // The stack the units came from: walk its saved links before clearing them.
        if (state.isUnit(pickupHead) && state.unit(pickupHead).has(UnitFlags::kLinkSaved)) {
            int u = pickupHead;
            for (int guard = 0; state.isUnit(u) && guard < state.unitCount(); ++guard) {
                UnitState& s = state.unit(u);
                if (!s.has(UnitFlags::kLinkSaved)) break;
                const int next = s.savedLink;
                clearBookkeeping(s);
                u = next;
            }
        }
        for (const int u : carried) {
            UnitState& s = state.unit(u);
            clearBookkeeping(s);
            s.column = static_cast<std::uint8_t>(hex.column);
            s.row = static_cast<std::uint8_t>(hex.row);
        }
    }
    const std::uint16_t former = state.stackHead(hex.column, hex.row);
    state.unit(carried.back()).stackLink = former;
    if (state.isUnit(former)) state.unit(former).clear(UnitFlags::kHeadMark);
    state.setStackHead(hex.column, hex.row, static_cast<std::uint16_t>(carried.front()));
    state.carriedStack = 0;
}

Hex returnCarriedUnit(GameState& state, int unit) {
    std::vector<int> carried = state.chain(state.carriedStack);
    std::erase(carried, unit);
    state.carriedStack = linkChain(state, carried);
    UnitState& s = state.unit(unit);
    const Hex at{s.column, s.row};
    if (!state.hasHex(at.column, at.row)) return at;
    const std::uint16_t former = state.stackHead(at.column, at.row);
    s.stackLink = former;
    if (state.isUnit(former)) state.unit(former).clear(UnitFlags::kHeadMark);
    state.setStackHead(at.column, at.row, static_cast<std::uint16_t>(unit));
    return at;
}

bool carryStrangers(GameState& state, Hex hex, std::size_t count) {
    const std::vector<int> stack = state.stackAt(hex.column, hex.row);
    std::vector<int> stay;
    std::vector<int> strangers;
    for (std::size_t i = 0; i < stack.size(); ++i) {
        const UnitState& s = state.unit(stack[i]);
        const bool home = s.startColumn == hex.column && s.startRow == hex.row;
        (i == 0 || i >= count || home ? stay : strangers).push_back(stack[i]);
    }
    if (strangers.empty()) return false;
    state.setStackHead(hex.column, hex.row, linkChain(state, stay));
    state.carriedStack = linkChain(state, strangers);
    return true;
}

}  // namespace qmx
