#include "core/game/UnitRules.h"

#include "core/game/UserPrompts.h"
#include "core/module/MessageTable.h"

namespace qmx {
namespace {

template <typename F>
void forEachUnit(GameState& state, UnitList units, F&& f) {
    for (int u : units) {
        if (state.isUnit(u)) f(u, state.unit(u));
    }
}

std::uint8_t faceUpStep(std::uint8_t step) {
    return (step % 2 == 1) ? static_cast<std::uint8_t>(step - 1) : step;
}

std::uint8_t faceDownStep(const Module& module, int unit, std::uint8_t step) {
    if (step % 2 == 0 && step < 5 && unitStepExists(module, unit, step + 1)) {
        return static_cast<std::uint8_t>(step + 1);
    }
    return step;
}

// The single direction bit of a facing (the lowest, should several be set).
std::uint8_t directionOf(std::uint8_t facing) {
    const std::uint8_t d = facing & Facing::kDirectionMask;
    return static_cast<std::uint8_t>(d & (~d + 1));
}

void setDirection(UnitState& s, std::uint8_t direction) {
    s.facing = static_cast<std::uint8_t>((s.facing & ~Facing::kDirectionMask) | direction);
}

}  // namespace

std::vector<int> carriedUnits(const GameState& state) {
    return state.chain(state.carriedStack);
}

bool unitStepExists(const Module& module, int unit, int step) {
    if (step == 0) return true;
    if (unit < 0 || static_cast<std::size_t>(unit) >= module.units.size()) return false;
    return module.units[static_cast<std::size_t>(unit)].stepExists(step);
}

void stepDown(GameState& state, const Module& module, UnitList units) {
    forEachUnit(state, units, [&](int u, UnitState& s) {
        if (s.step < 5 && unitStepExists(module, u, s.step + 1)) ++s.step;
    });
}

void stepUp(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) {
        if (s.step > 0) --s.step;
    });
}

void setStep(GameState& state, const Module& module, UnitList units, int step) {
    if (step < 0) return;
    if (step > 5) step = 5;
    forEachUnit(state, units, [&](int u, UnitState& s) {
        if (step == 0) {
            s.step = 0;
            return;
        }
        // The search for a lower step stops above step 0: a unit without any
        // image between keeps its step.
        for (int t = step; t >= 1; --t) {
            if (unitStepExists(module, u, t)) {
                s.step = static_cast<std::uint8_t>(t);
                return;
            }
        }
    });
}

void faceUp(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) { s.step = faceUpStep(s.step); });
}

void faceDown(GameState& state, const Module& module, UnitList units) {
    forEachUnit(state, units,
                [&](int u, UnitState& s) { s.step = faceDownStep(module, u, s.step); });
}

void facingOn(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) {
        s.facing |= Facing::kShown;
        if (s.direction() == 0) setDirection(s, 1);
    });
}

void facingOff(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) {
        s.facing = static_cast<std::uint8_t>(s.facing & ~Facing::kShown);
    });
}

void faceCorner(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) { s.facing |= Facing::kCorner; });
}

void faceSide(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) {
        s.facing = static_cast<std::uint8_t>(s.facing & ~Facing::kCorner);
    });
}

void rotateRight(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) {
        if (!(s.facing & Facing::kShown)) return;
        const std::uint8_t d = directionOf(s.facing);
        setDirection(s, (d == 0 || d == 32) ? 1 : static_cast<std::uint8_t>(d << 1));
    });
}

void rotateLeft(GameState& state, UnitList units) {
    forEachUnit(state, units, [](int, UnitState& s) {
        if (!(s.facing & Facing::kShown)) return;
        const std::uint8_t d = directionOf(s.facing);
        setDirection(s, d == 0 ? 1 : d == 1 ? 32 : static_cast<std::uint8_t>(d >> 1));
    });
}

void applyHide(GameState& state, UnitList units, std::uint8_t slot) {
    forEachUnit(state, units, [&](int, UnitState& s) {
        s.setHiddenBy(slot);
        s.clear(UnitFlags::kIdHidden);
    });
}

void applyHideId(GameState& state, UnitList units, std::uint8_t slot) {
    forEachUnit(state, units, [&](int, UnitState& s) {
        s.setHiddenBy(slot);
        s.set(UnitFlags::kIdHidden);
    });
}

void applyUnhide(GameState& state, UnitList units) {
    // The identity mark means nothing on a unit nobody hides; it goes too.
    forEachUnit(state, units, [](int, UnitState& s) {
        s.setHiddenBy(kNotHidden);
        s.clear(UnitFlags::kIdHidden);
    });
}

bool globalCommandAllowed(const GameState& state) {
    return !state.holdingUnits() && state.gameMode != GameMode::Combat;
}

void flipAllFaceUp(GameState& state) {
    for (int u = 1; u <= state.unitCount(); ++u)
        state.unit(u).step = faceUpStep(state.unit(u).step);
}

void flipAllFaceDown(GameState& state, const Module& module) {
    for (int u = 1; u <= state.unitCount(); ++u) {
        state.unit(u).step = faceDownStep(module, u, state.unit(u).step);
    }
}

bool flipAllUnitsFaceUp(GameState& state, UserPrompts& prompts) {
    if (!globalCommandAllowed(state)) {
        prompts.showMessage(msg::kNotAvailableNow);
        return false;
    }
    flipAllFaceUp(state);
    return true;
}

bool flipAllUnitsFaceDown(GameState& state, const Module& module, UserPrompts& prompts) {
    if (!globalCommandAllowed(state)) {
        prompts.showMessage(msg::kNotAvailableNow);
        return false;
    }
    flipAllFaceDown(state, module);
    return true;
}

void clearMovementFlags(GameState& state) {
    for (int u = 1; u <= state.unitCount(); ++u) state.unit(u).clear(UnitFlags::kMoved);
}

void clearCombatFlags(GameState& state) {
    for (int u = 1; u <= state.unitCount(); ++u) state.unit(u).clear(UnitFlags::kInCombat);
}

void commitStartPositions(GameState& state) {
    for (int u = 1; u <= state.unitCount(); ++u) {
        UnitState& s = state.unit(u);
        s.startColumn = s.column;
        s.startRow = s.row;
        s.startStackLink = s.stackLink;
        s.startFacing = s.facing;
        s.startStep = s.step;
        s.setStartHiddenBy(s.hiddenBy());
        // The start mark follows the identity mark both ways, so that a unit
        // revealed before the commit does not start the next record concealed.
        if (s.has(UnitFlags::kIdHidden)) {
            s.set(UnitFlags::kStartIdHidden);
        } else {
            s.clear(UnitFlags::kStartIdHidden);
        }
    }
}

}  // namespace qmx
