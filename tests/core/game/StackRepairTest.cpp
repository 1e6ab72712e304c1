// Stack repair: the fast repair against the plain, step-by-step procedure on
// many random states (sound, slightly damaged and wildly corrupt), plus the
// cases a player meets.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/game/GameState.h"
#include "core/game/StackRepair.h"
#include "core/module/Random.h"
#include "tests/support/ModuleBuilder.h"

namespace qmx {
namespace {

constexpr std::uint8_t kHead = UnitFlags::kHeadMark;
constexpr std::uint8_t kVisit = UnitFlags::kVisitMark;

Module smallModule(int columns, int rows, int units) {
    return test::ModuleBuilder(columns, rows, units).build();
}

// The plain procedure, written as directly as possible. Quadratic in the size
// of a stack; the reference for repairStacks.
bool plainRepair(GameState& s) {
    const int n = s.unitCount();
    const int cols = s.columns();
    const int rows = s.rows();
    auto U = [&](int x) -> UnitState& { return s.unit(x); };
    auto key = [&](int x) -> int {
        const UnitState& u = U(x);
        if (u.column == 0 || u.row == 0) return -1;
        const int c = std::min<int>(u.column, cols);
        const int r = u.row > rows + 1 ? rows : u.row;
        return static_cast<int>(s.hexIndex(c, r));
    };
    auto head = [&](int k) -> std::uint16_t& {
        return s.hexes()[static_cast<std::size_t>(k)].stackHead;
    };
    auto link = [&](int x) -> std::uint16_t& { return U(x).stackLink; };

    for (auto& h : s.hexes()) h.stackHead = 0;  // 1
    for (int i = 1; i <= n; ++i) {              // 2
        U(i).savedLink = 0;
        U(i).set(kHead);
        U(i).clear(kVisit | UnitFlags::kLinkSaved);
    }
    for (int i = 1; i <= n; ++i) {  // 3
        if (link(i) >= 1 && link(i) <= n) U(link(i)).clear(kHead);
    }
    for (int i = 1; i <= n; ++i) {  // 4
        if (link(i) == 0) continue;
        std::vector<bool> seen(static_cast<std::size_t>(n) + 1, false);
        seen[static_cast<std::size_t>(i)] = true;
        for (int cur = i;;) {
            const int next = link(cur);
            if (next == 0) break;
            if (next == i || next > n) {
                link(cur) = 0;
                break;
            }
            if (seen[static_cast<std::size_t>(next)]) break;  // a loop that does not hold i
            seen[static_cast<std::size_t>(next)] = true;
            cur = next;
        }
    }
    for (int i = 1; i <= n; ++i) {  // 5
        if (!U(i).has(kHead) || key(i) < 0) continue;
        if (head(key(i)) == 0) {
            head(key(i)) = static_cast<std::uint16_t>(i);
        } else {
            U(i).clear(kHead);
        }
    }
    bool error = false;
    for (int i = 1; i <= n; ++i) {  // 6
        const int k = key(i);
        if (k < 0) continue;
        const int h = head(k);
        if (h == 0) {
            head(k) = static_cast<std::uint16_t>(i);
            U(i).set(kHead);
            continue;
        }
        if (h == i) continue;
        int cur = h;
        int last = 0;
        int steps = 0;
        while (cur != 0 && cur != i) {
            U(cur).set(kVisit);
            last = cur;
            cur = link(cur);
            if (++steps > n + 1) ADD_FAILURE() << "loop in step 6";
            if (steps > n + 1) return false;
        }
        if (cur != 0) continue;
        error = true;
        int end = last;
        for (int j = 1; j <= n; ++j) {
            if (key(j) != k || U(j).has(kVisit)) continue;
            link(end) = static_cast<std::uint16_t>(j);
            link(j) = 0;
            end = j;
        }
    }
    for (int i = 1; i <= n; ++i) U(i).clear(kVisit);
    for (int i = 1; i <= n; ++i) {  // 7: units on no hex keep no link
        if (key(i) < 0) link(i) = 0;
    }
    for (int i = 1; i <= n; ++i) {
        if (!U(i).has(kHead) || key(i) < 0) continue;
        U(i).set(kVisit);
        for (int cur = i;;) {
            const int next = link(cur);
            if (next == 0) break;
            if (U(next).has(kVisit) || key(next) != key(i)) {
                link(cur) = 0;
                break;
            }
            U(next).set(kVisit);
            cur = next;
        }
    }
    for (int i = 1; i <= n; ++i) {  // 7b: units left in no chain
        if (key(i) < 0 || U(i).has(kVisit)) continue;
        error = true;
        int end = head(key(i));
        while (link(end) != 0) end = link(end);
        link(end) = static_cast<std::uint16_t>(i);
        link(i) = 0;
        U(i).set(kVisit);
    }
    for (int i = 1; i <= n; ++i) U(i).clear(kVisit);
    for (int i = 1; i <= n; ++i) {  // 8
        if (U(i).startStackLink > n) U(i).startStackLink = 0;
        U(i).set(kHead);
        U(i).clear(UnitFlags::kWasHead);
    }
    for (int i = 1; i <= n; ++i) {
        const int l = U(i).startStackLink;
        if (l != 0 && l != i) U(l).clear(kHead);
    }
    auto walkStart = [&](int from) {
        U(from).set(kVisit);
        for (int cur = from;;) {
            const int next = U(cur).startStackLink;
            if (next == 0) break;
            if (U(next).has(kVisit) || U(next).startColumn != U(from).startColumn ||
                U(next).startRow != U(from).startRow) {
                U(cur).startStackLink = 0;
                break;
            }
            U(next).set(kVisit);
            cur = next;
        }
    };
    for (int i = 1; i <= n; ++i) {
        if (U(i).has(kHead)) walkStart(i);
    }
    for (int i = 1; i <= n; ++i) {
        if (!U(i).has(kVisit)) {
            U(i).set(kHead);
            walkStart(i);
        }
    }
    for (int i = 1; i <= n; ++i) U(i).clear(kVisit);
    return error;
}

// What every repaired state holds.
void expectSound(const GameState& s) {
    const int n = s.unitCount();
    std::vector<int> chainOf(static_cast<std::size_t>(n) + 1, -1);
    for (int r = 0; r <= s.rows() + 1; ++r) {
        for (int c = 0; c <= s.columns(); ++c) {
            const int k = static_cast<int>(s.hexIndex(c, r));
            int steps = 0;
            for (int u = s.hex(c, r).stackHead; u != 0; u = s.unit(u).stackLink) {
                ASSERT_TRUE(s.isUnit(u));
                ASSERT_EQ(chainOf[static_cast<std::size_t>(u)], -1)
                    << "unit " << u << " in two chains";
                chainOf[static_cast<std::size_t>(u)] = k;
                ASSERT_EQ(stackRepairHexIndex(s, s.unit(u)), k)
                    << "unit " << u << " on another hex";
                ASSERT_LE(++steps, n);
            }
        }
    }
    for (int u = 1; u <= n; ++u) {
        const int k = stackRepairHexIndex(s, s.unit(u));
        EXPECT_EQ(chainOf[static_cast<std::size_t>(u)], k) << "unit " << u;
        if (k < 0) {
            EXPECT_EQ(s.unit(u).stackLink, 0);
        }
        EXPECT_EQ(s.unit(u).savedLink, 0);
        EXPECT_FALSE(s.unit(u).has(kVisit));
    }
    // Start chains: no loops, no shared units, one start hex each.
    std::vector<int> named(static_cast<std::size_t>(n) + 1, 0);
    for (int u = 1; u <= n; ++u) {
        const int l = s.unit(u).startStackLink;
        ASSERT_LE(l, n);
        if (l != 0) {
            EXPECT_EQ(named[static_cast<std::size_t>(l)]++, 0) << "unit " << l << " named twice";
            EXPECT_NE(l, u);
            EXPECT_EQ(s.unit(l).startColumn, s.unit(u).startColumn);
            EXPECT_EQ(s.unit(l).startRow, s.unit(u).startRow);
        }
    }
    std::vector<bool> reached(static_cast<std::size_t>(n) + 1, false);
    for (int u = 1; u <= n; ++u) {
        if (named[static_cast<std::size_t>(u)] != 0) continue;
        for (int x = u; x != 0; x = s.unit(x).startStackLink)
            reached[static_cast<std::size_t>(x)] = true;
    }
    for (int u = 1; u <= n; ++u)
        EXPECT_TRUE(reached[static_cast<std::size_t>(u)]) << "start loop at " << u;
}

// A number from lo to hi, from the program's own generator, so that a seed
// makes the same state with every compiler and library.
int pick(Random& rng, int lo, int hi) {
    const int wide = rng.next() * 32768 + rng.next();
    return lo + wide % (hi - lo + 1);
}

void shuffle(std::vector<int>& v, Random& rng) {
    for (int i = static_cast<int>(v.size()) - 1; i > 0; --i)
        std::swap(v[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(pick(rng, 0, i))]);
}

// Random states of several kinds.
GameState randomState(Random& rng, int n, int cols, int rows, int kind) {
    GameState s(smallModule(cols, rows, n));
    auto pick = [&](int lo, int hi) { return qmx::pick(rng, lo, hi); };
    for (int u = 1; u <= n; ++u) {
        UnitState& x = s.unit(u);
        x.flags = static_cast<std::uint8_t>(pick(0, 255));
        x.savedLink = static_cast<std::uint16_t>(pick(0, n));
        x.column = static_cast<std::uint8_t>(pick(1, cols));
        x.row = static_cast<std::uint8_t>(pick(1, rows));
        x.startColumn = static_cast<std::uint8_t>(pick(1, cols));
        x.startRow = static_cast<std::uint8_t>(pick(1, rows));
        if (kind >= 2 && pick(0, 9) == 0)
            x.column = static_cast<std::uint8_t>(pick(0, 1) ? 0 : pick(cols, 255));
        if (kind >= 2 && pick(0, 9) == 0)
            x.row = static_cast<std::uint8_t>(pick(0, 1) ? 0 : pick(rows, 255));
        x.stackLink = 0;
        x.startStackLink = 0;
    }
    // Sound stacks: shuffle the units and chain those of a hex.
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i + 1;
    shuffle(order, rng);
    auto chainByHex = [&](bool start) {
        std::vector<int> last(s.hexes().size() + 1, 0);
        for (int u : order) {
            const UnitState& x = s.unit(u);
            const int k = start ? static_cast<int>(s.hexIndex(x.startColumn, x.startRow))
                                : stackRepairHexIndex(s, x);
            if (k < 0) continue;
            int& l = last[static_cast<std::size_t>(k)];
            if (l != 0)
                (start ? s.unit(l).startStackLink : s.unit(l).stackLink) =
                    static_cast<std::uint16_t>(u);
            l = u;
        }
    };
    chainByHex(false);
    shuffle(order, rng);
    chainByHex(true);
    if (kind == 0) return s;
    // Damage: a few links changed (kind 1), or every link random (kind 3).
    const int changes = kind == 3 ? n * 2 : pick(1, std::max(1, n / 8));
    for (int c = 0; c < changes; ++c) {
        const int u = pick(1, n);
        const int what = pick(0, 9);
        const auto target = static_cast<std::uint16_t>(what == 0 ? pick(n + 1, 65000) : pick(0, n));
        if (pick(0, 1)) {
            s.unit(u).stackLink = target;
        } else {
            s.unit(u).startStackLink = target;
        }
        if (kind >= 2 && pick(0, 3) == 0)
            s.unit(u).column = static_cast<std::uint8_t>(pick(0, cols + 2));
    }
    // Stale heads are cleared by the repair.
    for (auto& h : s.hexes())
        h.stackHead = static_cast<std::uint16_t>(pick(0, 3) == 0 ? pick(0, n) : 0);
    return s;
}

void expectSameState(const GameState& a, const GameState& b, int seed) {
    for (int u = 1; u <= a.unitCount(); ++u) {
        const UnitState& x = a.unit(u);
        const UnitState& y = b.unit(u);
        ASSERT_EQ(x.stackLink, y.stackLink) << "seed " << seed << " unit " << u;
        ASSERT_EQ(x.startStackLink, y.startStackLink) << "seed " << seed << " unit " << u;
        ASSERT_EQ(x.flags, y.flags) << "seed " << seed << " unit " << u;
        ASSERT_EQ(x.savedLink, y.savedLink) << "seed " << seed << " unit " << u;
    }
    for (std::size_t h = 0; h < a.hexes().size(); ++h) {
        ASSERT_EQ(a.hexes()[h].stackHead, b.hexes()[h].stackHead)
            << "seed " << seed << " hex " << h;
    }
}

void compareOnRandomStates(int seeds, int minUnits, int maxUnits, int maxCols, int maxRows) {
    for (int seed = 0; seed < seeds; ++seed) {
        Random rng(static_cast<std::uint32_t>(seed) * 7919u + static_cast<std::uint32_t>(maxUnits));
        const int n = pick(rng, minUnits, maxUnits);
        const int cols = pick(rng, 1, maxCols);
        const int rows = pick(rng, 1, maxRows);
        const int kind = seed % 4;
        GameState fast = randomState(rng, n, cols, rows, kind);
        GameState plain = fast;
        const bool plainError = plainRepair(plain);
        const bool fastError = repairStacks(fast).stackingError;
        ASSERT_EQ(fastError, plainError) << "seed " << seed << " kind " << kind;
        expectSameState(fast, plain, seed);
        expectSound(fast);
        if (::testing::Test::HasFatalFailure()) return;
        if (kind == 0) {
            ASSERT_FALSE(fastError) << "seed " << seed;
        }
    }
}

TEST(StackRepair, MatchesThePlainProcedureOnSmallStates) {
    compareOnRandomStates(400, 1, 12, 3, 2);
}

TEST(StackRepair, MatchesThePlainProcedureOnMediumStates) {
    compareOnRandomStates(120, 20, 300, 6, 5);
}

TEST(StackRepair, MatchesThePlainProcedureOnFewHexesManyUnits) {
    compareOnRandomStates(30, 200, 900, 2, 1);
}

// Every unit of a hex chained into every other hex's chain: walks of one hex
// pass units of another, the case the fast repair answers with its forest.
TEST(StackRepair, MatchesThePlainProcedureOnInterleavedChains) {
    for (int seed = 0; seed < 150; ++seed) {
        Random rng(static_cast<std::uint32_t>(seed));
        const int n = pick(rng, 4, 60);
        GameState s(smallModule(3, 1, n));
        for (int u = 1; u <= n; ++u) {
            s.unit(u).column = static_cast<std::uint8_t>(pick(rng, 1, 3));
            s.unit(u).row = 1;
            const int l = pick(rng, 0, n);
            s.unit(u).stackLink = static_cast<std::uint16_t>(l == u ? 0 : l);
        }
        GameState plain = s;
        const bool plainError = plainRepair(plain);
        ASSERT_EQ(repairStacks(s).stackingError, plainError) << "seed " << seed;
        expectSameState(s, plain, seed);
        expectSound(s);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(StackRepair, LoopIsCutWithoutWarning) {
    GameState s(smallModule(3, 3, 33));
    for (int u = 1; u <= 33; ++u) {
        s.unit(u).column = 2;
        s.unit(u).row = 2;
    }
    s.unit(33).stackLink = 1;  // the module load chained 1..33; close the loop
    const auto r = repairStacks(s);
    EXPECT_FALSE(r.stackingError);
    EXPECT_EQ(s.stackHead(2, 2), 1);
    EXPECT_EQ(s.unit(33).stackLink, 0);
    EXPECT_EQ(s.stackAt(2, 2).size(), 33u);
    EXPECT_EQ(s.stackHead(1, 1), 0);
}

TEST(StackRepair, TwoHeadsOnOneHexEndInOneChainWithWarning) {
    GameState s(smallModule(3, 3, 33));
    for (int u = 1; u <= 33; ++u) {
        s.unit(u).stackLink = 0;
        s.unit(u).column = 3;
        s.unit(u).row = 1;
    }
    // 5 -> 2 and 7 -> 4 on hex (2, 2); everything else on (3, 1), unlinked.
    for (int u : {2, 4, 5, 7}) s.unit(u).column = s.unit(u).row = 2;
    s.unit(5).stackLink = 2;
    s.unit(7).stackLink = 4;
    const auto r = repairStacks(s);
    EXPECT_TRUE(r.stackingError);
    // 4 is not reached from 5: the unmarked units of the hex are appended in
    // number order, so 7's chain is broken up.
    EXPECT_EQ(s.stackAt(2, 2), (std::vector<int>{5, 2, 4, 7}));
    // The unlinked units of (3, 1) were appended in number order behind unit 1.
    std::vector<int> rest = s.stackAt(3, 1);
    EXPECT_EQ(rest.size(), 29u);
    EXPECT_TRUE(std::is_sorted(rest.begin(), rest.end()));
}

TEST(StackRepair, SoundStacksAreKeptAsTheyAre) {
    GameState s(smallModule(4, 4, 40));
    // The module load's single stack, then split: 1..20 on (1, 1), 21..40 on (4, 4) in reverse.
    s.unit(20).stackLink = 0;
    for (int u = 21; u <= 40; ++u) {
        s.unit(u).column = 4;
        s.unit(u).row = 4;
        s.unit(u).stackLink = static_cast<std::uint16_t>(u == 21 ? 0 : u - 1);
    }
    EXPECT_FALSE(repairStacks(s).stackingError);
    std::vector<int> first(20), second(20);
    for (int i = 0; i < 20; ++i) {
        first[static_cast<std::size_t>(i)] = i + 1;
        second[static_cast<std::size_t>(i)] = 40 - i;
    }
    EXPECT_EQ(s.stackAt(1, 1), first);
    EXPECT_EQ(s.stackAt(4, 4), second);
}

TEST(StackRepair, UnitsOnNoHexBelongToNoChain) {
    GameState s(smallModule(3, 3, 33));
    s.unit(3).column = 0;
    s.unit(4).row = 0;
    s.unit(4).stackLink = 5;
    const auto r = repairStacks(s);
    // Step 7 cuts the chain of (1, 1) at unit 3; the units behind it would be
    // in no chain at all, so they are appended again, with the warning.
    EXPECT_TRUE(r.stackingError);
    std::vector<int> expected{1, 2};
    for (int u = 5; u <= 33; ++u) expected.push_back(u);
    EXPECT_EQ(s.stackAt(1, 1), expected);
    EXPECT_EQ(s.unit(3).stackLink, 0);
    EXPECT_EQ(s.unit(4).stackLink, 0);
}

TEST(StackRepair, UnitOffTheMapAtTheEndOfAChainIsNoError) {
    GameState s(smallModule(3, 3, 33));
    s.unit(33).column = 0;
    EXPECT_FALSE(repairStacks(s).stackingError);
    EXPECT_EQ(s.stackAt(1, 1).size(), 32u);
    EXPECT_EQ(s.unit(32).stackLink, 0);
}

TEST(StackRepair, PositionsBeyondTheMapFileUnderTheEdge) {
    GameState s(smallModule(3, 3, 33));
    for (int u = 1; u <= 33; ++u) s.unit(u).stackLink = 0;
    s.unit(1).column = 200;  // column capped at 3
    s.unit(2).row = 200;     // row above rows + 1 becomes the last row
    s.unit(2).column = 3;
    s.unit(1).row = 3;
    repairStacks(s);
    EXPECT_EQ(s.stackAt(3, 3), (std::vector<int>{1, 2}));
}

TEST(StackRepair, StaleCombatBoxHeadsAreCleared) {
    GameState s(smallModule(3, 3, 33));
    s.setStackHead(kAttackBoxColumn, s.combatBoxRow(), 7);
    s.setStackHead(kDefendBoxColumn, s.combatBoxRow(), 8);
    repairStacks(s);
    EXPECT_EQ(s.stackHead(kAttackBoxColumn, s.combatBoxRow()), 0);
    EXPECT_EQ(s.stackHead(kDefendBoxColumn, s.combatBoxRow()), 0);
    EXPECT_EQ(s.stackAt(1, 1).size(), 33u);
}

TEST(StackRepair, StartLoopIsCut) {
    GameState s(smallModule(3, 3, 33));
    s.unit(33).startStackLink = 1;  // every unit in one start loop
    repairStacks(s);
    EXPECT_EQ(s.unit(33).startStackLink, 0);
    EXPECT_EQ(s.unit(32).startStackLink, 33);
    expectSound(s);
}

TEST(StackRepair, CrossHexAndOutOfRangeLinksAreCut) {
    GameState s(smallModule(3, 3, 33));
    s.unit(10).startColumn = 2;  // 9 -> 10 -> 11 crosses hexes
    s.unit(20).startStackLink = 60000;
    s.unit(33).stackLink = 34;  // one past the last unit
    repairStacks(s);
    EXPECT_EQ(s.unit(33).stackLink, 0);
    EXPECT_EQ(s.unit(8).startStackLink, 9);
    EXPECT_EQ(s.unit(9).startStackLink, 0);
    EXPECT_EQ(s.unit(10).startStackLink, 0);
    EXPECT_EQ(s.unit(11).startStackLink, 12);
    EXPECT_EQ(s.unit(20).startStackLink, 0);
    expectSound(s);
}

}  // namespace
}  // namespace qmx
