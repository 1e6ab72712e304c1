#include "core/combat/CombatRules.h"

#include <algorithm>
#include <vector>

#include "core/game/Visibility.h"

namespace qmx {

namespace {

constexpr const char* kConcealedName = "????????";

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

}  // namespace

StackTotals stackTotals(const GameState& state, const Module& module, int first) {
    StackTotals t;
    const int slot = state.currentSlot;
    const bool master = isGameMasterHere(state);
    auto sees = [&](const UnitState& u) {
        return master || u.hiddenBy() == kNotHidden || u.hiddenBy() == slot;
    };
    auto value = [&](int unit, int v) -> int {
        const UnitState& s = state.unit(unit);
        const auto step = static_cast<std::size_t>(std::min<int>(s.step, kStepCount - 1));
        const auto& def = module.units[static_cast<std::size_t>(unit)];
        // The editor stores -99..99 as signed bytes.
        return static_cast<int>(
            static_cast<std::int8_t>(def.values[step][static_cast<std::size_t>(v)]));
    };
    const std::vector<int> chain = state.chain(first);
    std::size_t i = 0;
    for (; i < chain.size(); ++i) {
        const UnitState& u = state.unit(chain[i]);
        if (sees(u)) break;
        if (u.has(UnitFlags::kIdHidden)) ++t.count;
    }
    if (i == chain.size()) return t;
    for (int v = 0; v < kValueCount; ++v) {
        if (module.totalMode(v) != TotalMode::NotComputed)
            t.totals[static_cast<std::size_t>(v)] = value(chain[i], v);
    }
    ++t.count;
    for (++i; i < chain.size(); ++i) {
        const int g = chain[i];
        const UnitState& u = state.unit(g);
        if (!sees(u)) {
            if (u.has(UnitFlags::kIdHidden)) ++t.count;
            continue;
        }
        for (int v = 0; v < kValueCount; ++v) {
            int& total = t.totals[static_cast<std::size_t>(v)];
            switch (module.totalMode(v)) {
                case TotalMode::NotComputed:
                    total = 0;
                    break;
                case TotalMode::Lowest:
                    total = std::min(total, value(g, v));
                    break;
                case TotalMode::Highest:
                    total = std::max(total, value(g, v));
                    break;
                case TotalMode::Total:
                    total += value(g, v);
                    break;
            }
        }
        ++t.count;
    }
    return t;
}

std::string unitCountText(int count) {
    return std::to_string(count) + (count == 1 ? " unit" : " units");
}

std::string pendingLabel(int pending) {
    if (pending <= 0) return {};
    return std::to_string(pending) + " Cmbt" + (pending > 1 ? "s" : "") + " pending";
}

namespace {

// Hidden and not merely its identity: the unit is not drawn at all.
bool whollyHidden(const UnitState& u) {
    return u.isHidden() && !u.has(UnitFlags::kIdHidden);
}

}  // namespace

std::string combatName(const GameState& state, const Module& module, int unit) {
    if (state.unit(unit).has(UnitFlags::kIdHidden)) return kConcealedName;
    if (static_cast<std::size_t>(unit) >= module.units.size()) return {};
    return trimmed(module.units[static_cast<std::size_t>(unit)].name);
}

std::string hexName(const Module& module, int column, int row) {
    if (column < 1 || column > module.columns || row < 1 || row > module.rows) return {};
    if (module.hexIndex(column, row) >= module.hexes.size()) return {};
    return trimmed(module.hex(column, row).name);
}

void prepareStacks(GameState& state) {
    for (int u = 1; u <= state.unitCount(); ++u) {
        UnitState& s = state.unit(u);
        s.clear(UnitFlags::kHeadMark);
        if (s.has(UnitFlags::kLinkSaved)) continue;
        s.savedLink = s.stackLink;
        s.set(UnitFlags::kLinkSaved);
    }
    for (int r = 1; r <= state.rows() + 1; ++r) {
        for (int c = 1; c <= state.columns(); ++c) {
            const int head = state.stackHead(c, r);
            if (state.isUnit(head)) state.unit(head).set(UnitFlags::kHeadMark);
        }
    }
}

void restoreStacks(GameState& state) {
    const int n = state.unitCount();
    // A unit that another unit's kept link points to is not the head of its stack.
    std::vector<char> linkedTo(static_cast<std::size_t>(n) + 1, 0);
    for (int u = 1; u <= n; ++u) {
        UnitState& s = state.unit(u);
        // A unit that kept nothing stays linked as it stands.
        if (s.has(UnitFlags::kLinkSaved)) s.stackLink = s.savedLink;
        if (!state.isUnit(s.stackLink)) s.stackLink = 0;
        if (state.isUnit(s.stackLink)) linkedTo[s.stackLink] = 1;
    }
    for (auto& h : state.hexes()) h.stackHead = 0;
    // The chains that start at a head, in unit order; a second chain on the
    // same hex (kept links that no longer agree) goes on top of the first.
    std::vector<char> placed(static_cast<std::size_t>(n) + 1, 0);
    auto place = [&](int head) {
        UnitState& s = state.unit(head);
        if (!state.isMapHex(s.column, s.row)) return;
        int tail = head;
        placed[static_cast<std::size_t>(head)] = 1;
        for (int guard = 0; guard < n; ++guard) {
            const int next = state.unit(tail).stackLink;
            if (!state.isUnit(next) || placed[static_cast<std::size_t>(next)]) {
                state.unit(tail).stackLink = 0;
                break;
            }
            placed[static_cast<std::size_t>(next)] = 1;
            tail = next;
        }
        state.unit(tail).stackLink = state.stackHead(s.column, s.row);
        state.setStackHead(s.column, s.row, static_cast<std::uint16_t>(head));
    };
    for (int u = 1; u <= n; ++u) {
        if (!linkedTo[static_cast<std::size_t>(u)]) place(u);
    }
    // Units caught in a loop of kept links, or linked from another hex.
    for (int u = 1; u <= n; ++u) {
        if (!placed[static_cast<std::size_t>(u)]) {
            state.unit(u).stackLink = 0;
            place(u);
        }
    }
    for (int u = 1; u <= n; ++u) {
        UnitState& s = state.unit(u);
        s.savedLink = 0;
        s.clear(UnitFlags::kLinkSaved | UnitFlags::kWasHead | UnitFlags::kHeadMark);
    }
}

std::string boxCombatText(GameState& state, const Module& module, bool declare) {
    std::string text = declare ? "Combat Declaration:\r\n" : "";
    const int row = state.combatBoxRow();
    int lastDefender = 0;
    for (const int column : {kAttackBoxColumn, kDefendBoxColumn}) {
        bool first = true;
        for (const int u : state.stackAt(column, row)) {
            state.unit(u).set(UnitFlags::kInCombat);
            if (whollyHidden(state.unit(u))) continue;
            if (!first) text += ", ";
            first = false;
            text += combatName(state, module, u);
            if (column == kDefendBoxColumn) lastDefender = u;
        }
        if (column == kAttackBoxColumn) text += " vs. ";
        state.setStackHead(column, row, 0);
    }
    if (lastDefender != 0) {
        const UnitState& d = state.unit(lastDefender);
        text += " at " + hexName(module, d.column, d.row);
    }
    return text;
}

std::pair<int, int> markResolvedUnits(GameState& state) {
    std::pair<int, int> hex{0, 0};
    for (int u = 1; u <= state.unitCount(); ++u) {
        UnitState& s = state.unit(u);
        s.clear(UnitFlags::kVisitMark);
        if (s.declaration == 1 || s.declaration == -1) {
            s.set(UnitFlags::kVisitMark);
            hex = {s.column, s.row};
        }
    }
    return hex;
}

std::string resolveOldestText(GameState& state, const Module& module) {
    std::string text = "Declared Combat Resolution:\r\n";
    int lastDefender = 0;
    for (const int d : {1, -1}) {
        bool first = true;
        for (int u = 1; u <= state.unitCount(); ++u) {
            UnitState& s = state.unit(u);
            if (s.declaration != d) continue;
            s.set(UnitFlags::kInCombat);
            if (whollyHidden(s)) continue;
            if (!first) text += ", ";
            first = false;
            text += combatName(state, module, u);
            if (d < 0) lastDefender = u;
        }
        if (d > 0) text += " vs. ";
    }
    if (lastDefender != 0) {
        const UnitState& s = state.unit(lastDefender);
        text += " at " + hexName(module, s.column, s.row);
    }
    for (int u = 1; u <= state.unitCount(); ++u) {
        std::int8_t& d = state.unit(u).declaration;
        if (d > 0) --d;
        if (d < 0) ++d;
    }
    if (state.pendingDeclarations > 0) --state.pendingDeclarations;
    return text;
}

ButtonCaptions buttonCaptions(GameMode mode, std::uint16_t combatMode) {
    if (mode != GameMode::Combat) return {"UNDO", ""};
    switch (combatMode) {
        case kOneByOne:
            return {"RELEASE", "RESOLVE"};
        case kPreDeclare:
            return {"RELEASE", "NEXT"};
        default:
            return {"", "NEXT"};
    }
}

}  // namespace qmx
