// The binary saved-game reader against a small module: no crash, no read past
// the data, and whatever loads is sound: every unit on a hex is in exactly
// the chain of its hex, and saving and loading it again changes nothing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/game/GameState.h"
#include "core/game/SavedGame.h"
#include "core/game/StackRepair.h"
#include "core/game/UserPrompts.h"
#include "core/module/Module.h"

namespace {

class SilentPrompts : public qmx::UserPrompts {
public:
    void showMessage(int) override {}
    void showText(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&, int) override {
        return std::nullopt;
    }
};

// 3 x 2 map, 33 units with various steps, decks 1 and 4 of 2 and 3 cards.
const qmx::Module& fuzzModule() {
    static const qmx::Module module = [] {
        qmx::Module m;
        m.moduleId = {1, 2, 3};
        m.columns = 3;
        m.rows = 2;
        m.unitCount = 33;
        m.allocateTables();
        for (int u = 1; u <= 33; ++u) {
            for (int s = 0; s < qmx::kStepCount; ++s) {
                if ((u >> s) & 1 || s == 0)
                    m.units[static_cast<std::size_t>(u)].stepImage[static_cast<std::size_t>(s)] = 1;
            }
        }
        m.decks[1].cardCount = 2;
        m.decks[4].cardCount = 3;
        return m;
    }();
    return module;
}

void check(bool ok) {
    if (!ok) __builtin_trap();
}

void checkSound(const qmx::GameState& s) {
    const int n = s.unitCount();
    std::vector<int> seen(static_cast<std::size_t>(n) + 1, 0);
    for (int r = 0; r <= s.rows() + 1; ++r) {
        for (int c = 0; c <= s.columns(); ++c) {
            int steps = 0;
            for (int u = s.hex(c, r).stackHead; u != 0; u = s.unit(u).stackLink) {
                check(s.isUnit(u) && ++steps <= n);
                check(qmx::stackRepairHexIndex(s, s.unit(u)) == static_cast<int>(s.hexIndex(c, r)));
                check(seen[static_cast<std::size_t>(u)]++ == 0);
            }
        }
    }
    for (int u = 1; u <= n; ++u) {
        const qmx::UnitState& x = s.unit(u);
        check((seen[static_cast<std::size_t>(u)] == 1) == x.onHex());
        check(x.column <= s.columns() && x.row <= s.rows() && x.step <= 5);
        check(x.hiddenBy() < qmx::kSlotCount || x.hiddenBy() == qmx::kNotHidden);
        check(x.declaration <= s.pendingDeclarations && -x.declaration <= s.pendingDeclarations);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qmx::Module& module = fuzzModule();
    SilentPrompts prompts;
    qmx::GameState state(module);
    const auto load = qmx::readBinarySavedGame(std::span(data, size), module, state, prompts);
    if (!load.ok) return 0;
    checkSound(state);
    const qmx::Bytes saved = qmx::serializeSavedGame(state, module, load.replay);
    qmx::GameState again(module);
    const auto reload = qmx::readBinarySavedGame(saved, module, again, prompts);
    check(reload.ok && reload.corrections.empty() && !reload.stackingError);
    check(qmx::serializeSavedGame(again, module, reload.replay) == saved);
    return 0;
}
