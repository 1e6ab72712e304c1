// The player's commands in any order: the bytes choose commands (moves along
// paths, unit commands, undo, combats through the boxes, declarations, dice,
// card actions, comments) and their hexes and answers, played as Red on a
// small game with hidden units and cards. After each command:
//  - every unit is in exactly one stack (a hex's, a box's or the carried
//    one), each a chain without loops, and every unit of a map hex's chain
//    stands on that hex;
//  - with nothing carried and in movement mode, the record plays from the
//    start state to exactly the game as it stands (the turn check).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/game/PasswordKeyTable.h"
#include "core/game/SavedGame.h"
#include "core/game/UnitRules.h"
#include "core/module/FileIo.h"
#include "core/replay/TurnCheck.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/RandomPlay.h"

namespace {

using namespace qmx;
namespace fs = std::filesystem;

constexpr std::uint8_t kRed = 1;

struct Fixture {
    Module module;
    fs::path folder;
    std::string setupPath;
    std::unique_ptr<test::Table> table;
    GameState start;

    Fixture() {
        test::ModuleBuilder b =
            test::ModuleBuilder::newModule(5, 4, 12).namedUnits().steps({1, 2, 3, 0, 0, 0});
        b.deck(1, 6, "Orders");
        for (int c = 1; c <= 6; ++c) b.card(1, c, "Order " + std::to_string(c));
        module = b.build();
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        folder = base / ("qmx-fuzz-session-" + std::to_string(::getpid()));
        fs::create_directories(folder);

        GameState g(module);
        for (int s : {0, 1}) {
            g.players[s].kind = SlotKind::Player;
            g.players[s].name = s == 0 ? "Blue" : "Red";
            g.players[s].password = scramblePassword(s == 0 ? "blue" : "red", 3);
        }
        g.players[2].kind = SlotKind::CardLocation;
        g.players[2].name = "Pile";
        g.identifyProgress = kPlayersComplete;
        for (auto& h : g.hexes()) h.stackHead = 0;
        const int n = g.unitCount();
        for (int u = 1; u <= n; ++u) {
            UnitState& s = g.unit(u);
            s.column = static_cast<std::uint8_t>(1 + (u - 1) / 3 % 5);
            s.row = static_cast<std::uint8_t>(1 + (u - 1) / 15 % 4);
            s.stackLink = 0;
        }
        for (int u = n; u >= 1; --u) {
            UnitState& s = g.unit(u);
            s.stackLink = g.stackHead(s.column, s.row);
            g.setStackHead(s.column, s.row, static_cast<std::uint16_t>(u));
        }
        g.unit(4).setHiddenBy(kRed);
        g.unit(5).setHiddenBy(0);
        g.unit(6).setHiddenBy(kRed);
        g.unit(6).set(UnitFlags::kIdHidden);
        commitStartPositions(g);
        g.setCardPlace(1, 1, kRed);
        g.setCardPlace(1, 2, 0);
        g.setCardPlace(1, 3, 2);
        setupPath = (folder / "setup.qms").string();
        if (!writeFileAtomically(setupPath, serializeSavedGame(g, module, {}))) std::abort();
        table = std::make_unique<test::Table>(module, folder);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void checkStacks(const GameState& g) {
    const int n = g.unitCount();
    std::vector<int> seen(static_cast<std::size_t>(n) + 1, 0);
    auto walk = [&](int head, int column, int row) {
        int steps = 0;
        for (int u = head; u != 0; u = g.unit(u).stackLink) {
            if (!g.isUnit(u) || seen[static_cast<std::size_t>(u)]++ || ++steps > n) std::abort();
            if (column >= 0 && (g.unit(u).column != column || g.unit(u).row != row)) std::abort();
        }
    };
    for (int row = 1; row <= g.rows() + 1; ++row) {
        for (int column = 0; column <= g.columns(); ++column) {
            // Units in the combat boxes keep the hex they came from.
            const bool box = row == g.combatBoxRow();
            if (g.hasHex(column, row))
                walk(g.stackHead(column, row), box ? -1 : column, box ? -1 : row);
        }
    }
    // The carried units keep the hex they were taken from.
    walk(g.carriedStack, -1, -1);
    for (int u = 1; u <= n; ++u) {
        if (seen[static_cast<std::size_t>(u)] != 1) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Fixture& f = fixture();
    Machine& m = f.table->m;
    m.prompts.clear();
    m.prompts.identities.push_back(IdentityAnswer{kRed, "red"});
    m.session.loadGameFile(f.setupPath);
    if (m.game.currentSlot != kRed) std::abort();
    const GameState start = m.game;

    std::size_t at = 0;
    const test::Pick pick = [&](int n) {
        if (n <= 1 || at >= size) return 0;
        return data[at++] % n;
    };
    for (int commands = 0; at < size && commands < 64; ++commands) {
        test::playCommand(*f.table, pick);
        checkStacks(m.game);
        if (m.game.holdingUnits() || m.game.gameMode != GameMode::Movement) continue;
        const Bytes record = m.record();
        const TurnCheck check = checkTurn(f.module, {start, {}}, {m.game, record}, kRed);
        if (!check.consistent()) {
            std::fprintf(stderr, "%s\n", check.findings.front().c_str());
            std::abort();
        }
    }
    test::finishTurn(*f.table);
    checkStacks(m.game);
    return 0;
}
