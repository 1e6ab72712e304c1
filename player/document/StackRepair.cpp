#include "player/document/StackRepair.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace qmx {
namespace {

constexpr std::uint8_t kHead = UnitFlags::kHeadMark;

// A forest over units, parent = StackLink, that answers "is a on the chain
// from b" in logarithmic time while links change (link-cut trees over splay
// trees, without re-rooting). Only built when stack repair meets the one kind
// of damage that needs it.
class LinkCutForest {
public:
    explicit LinkCutForest(const std::vector<UnitState>& units)
        : m_left(units.size(), 0), m_right(units.size(), 0), m_up(units.size(), 0) {
        for (std::size_t u = 1; u < units.size(); ++u) m_up[u] = units[u].stackLink;
    }

    // True when `a` is `b` or lies on the chain that follows `b`.
    bool onChainFrom(int a, int b) {
        if (a == b) return true;
        if (findRoot(a) != findRoot(b)) return false;
        access(b);
        return access(a) == a;
    }

    // `x` leaves its successor.
    void cut(int x) {
        access(x);
        if (m_left[idx(x)] != 0) {
            m_up[idx(m_left[idx(x)])] = 0;
            m_left[idx(x)] = 0;
        }
    }

    // `x`, the last unit of its chain, gets `next` as successor.
    void link(int x, int next) {
        access(x);
        m_up[idx(x)] = next;
    }

private:
    static std::size_t idx(int x) { return static_cast<std::size_t>(x); }

    bool isAuxRoot(int x) const {
        const int p = m_up[idx(x)];
        return p == 0 || (m_left[idx(p)] != x && m_right[idx(p)] != x);
    }

    void rotate(int x) {
        const int p = m_up[idx(x)];
        const int g = m_up[idx(p)];
        const bool pIsRoot = isAuxRoot(p);
        if (m_left[idx(p)] == x) {
            m_left[idx(p)] = m_right[idx(x)];
            if (m_right[idx(x)] != 0) m_up[idx(m_right[idx(x)])] = p;
            m_right[idx(x)] = p;
        } else {
            m_right[idx(p)] = m_left[idx(x)];
            if (m_left[idx(x)] != 0) m_up[idx(m_left[idx(x)])] = p;
            m_left[idx(x)] = p;
        }
        m_up[idx(p)] = x;
        m_up[idx(x)] = g;
        if (!pIsRoot) {
            if (m_left[idx(g)] == p) {
                m_left[idx(g)] = x;
            } else {
                m_right[idx(g)] = x;
            }
        }
    }

    void splay(int x) {
        while (!isAuxRoot(x)) {
            const int p = m_up[idx(x)];
            if (!isAuxRoot(p)) {
                const int g = m_up[idx(p)];
                const bool sameSide = (m_left[idx(g)] == p) == (m_left[idx(p)] == x);
                rotate(sameSide ? p : x);
            }
            rotate(x);
        }
    }

    // Makes the path from the chain's end down to `x` one preferred path;
    // returns the last node reached on the way up.
    int access(int x) {
        int last = 0;
        for (int y = x; y != 0; y = m_up[idx(y)]) {
            splay(y);
            m_right[idx(y)] = last;
            last = y;
        }
        splay(x);
        return last;
    }

    int findRoot(int x) {
        access(x);
        int r = x;
        while (m_left[idx(r)] != 0) r = m_left[idx(r)];
        splay(r);
        return r;
    }

    std::vector<int> m_left, m_right, m_up;
};

// Step 4: links beyond the unit count are cut, and every loop at the link that
// leads back to its lowest-numbered unit.
void cutLoops(std::vector<UnitState>& u, int n) {
    std::vector<std::uint8_t> color(u.size(), 0);  // 0 new, 1 on the current path, 2 done
    std::vector<int> path;
    for (int i = 1; i <= n; ++i) {
        if (u[static_cast<std::size_t>(i)].stackLink > n) u[static_cast<std::size_t>(i)].stackLink = 0;
    }
    for (int start = 1; start <= n; ++start) {
        if (color[static_cast<std::size_t>(start)] != 0) continue;
        path.clear();
        int x = start;
        while (x != 0 && color[static_cast<std::size_t>(x)] == 0) {
            color[static_cast<std::size_t>(x)] = 1;
            path.push_back(x);
            x = u[static_cast<std::size_t>(x)].stackLink;
        }
        if (x != 0 && color[static_cast<std::size_t>(x)] == 1) {
            // The loop is the part of the path from x on.
            const auto from = std::find(path.begin(), path.end(), x);
            const int lowest = *std::min_element(from, path.end());
            for (auto it = from; it != path.end(); ++it) {
                if (u[static_cast<std::size_t>(*it)].stackLink == lowest) {
                    u[static_cast<std::size_t>(*it)].stackLink = 0;
                    break;
                }
            }
        }
        for (int p : path) color[static_cast<std::size_t>(p)] = 2;
    }
}

// Step 6, the membership check, without walking a chain twice.
//
// The plain procedure walks, for every unit, the chain of its hex's head until
// it reaches the unit, marking what it passes. Marks only accumulate, and a
// marked unit's link only ever changes from 0 (a chain end gets an appended
// unit), so the marked part of each head's chain stays as it was walked. Each
// hex therefore keeps the furthest unit its walks reached (`m_front`); a new
// walk goes on from there. Runs of units that walks of other hexes marked are
// jumped over through a union-find of marked units (`m_skip`). Whether a unit
// that was marked that way lies on its own hex's chain is asked of a link-cut
// forest, built the first time such a question comes up.
class MembershipPass {
public:
    MembershipPass(GameState& state, const std::vector<int>& key)
        : m_state(state),
          m_units(state.units()),
          m_key(key),
          m_n(state.unitCount()),
          m_marked(m_units.size(), 0),
          m_own(m_units.size(), 0),
          m_skip(m_units.size()),
          m_front(state.hexes().size(), 0),
          m_appended(state.hexes().size(), 0) {
        for (std::size_t i = 0; i < m_skip.size(); ++i) m_skip[i] = static_cast<int>(i);
    }

    bool run() {
        bool error = false;
        for (int i = 1; i <= m_n; ++i) {
            const int k = m_key[ux(i)];
            if (k < 0) continue;
            std::uint16_t& head = m_state.hexes()[ux(k)].stackHead;
            if (head == 0) {
                head = static_cast<std::uint16_t>(i);
                unit(i).flags |= kHead;
                continue;
            }
            const int h = head;
            if (h == i || m_own[ux(i)]) continue;
            if (m_marked[ux(i)]) {
                // Marked by another hex's walk: ask whether it lies on this chain.
                if (!m_forest) m_forest = std::make_unique<LinkCutForest>(m_units);
                if (m_forest->onChainFrom(i, h)) {
                    walkPast(k, i);
                    continue;
                }
            } else if (walk(k, i)) {
                continue;
            }
            error = true;
            appendUnmarked(k, walkToEnd(k));
        }
        return error;
    }

private:
    static std::size_t ux(int x) { return static_cast<std::size_t>(x); }
    UnitState& unit(int x) { return m_units[ux(x)]; }

    int find(int x) {
        while (m_skip[ux(x)] != x) {
            m_skip[ux(x)] = m_skip[ux(m_skip[ux(x)])];
            x = m_skip[ux(x)];
        }
        return x;
    }

    void mark(int y, int k) {
        m_marked[ux(y)] = 1;
        if (m_key[ux(y)] == k) m_own[ux(y)] = 1;
        if (unit(y).stackLink != 0) m_skip[ux(y)] = unit(y).stackLink;
    }

    // The unit where the next walk of hex k starts, 0 at the chain's end.
    int nextOf(int k) {
        const int f = m_front[ux(k)];
        return f == 0 ? m_state.hexes()[ux(k)].stackHead : unit(f).stackLink;
    }

    // Walks on towards the unmarked unit `target`; true when it is reached.
    bool walk(int k, int target) {
        for (int x = nextOf(k); x != 0; x = unit(x).stackLink) {
            const int y = find(x);
            m_front[ux(k)] = y;
            if (m_marked[ux(y)]) return false;  // a marked chain end
            mark(y, k);
            if (y == target) return true;
            x = y;
        }
        return false;
    }

    // Walks on to the chain's end; returns it.
    int walkToEnd(int k) {
        walk(k, 0);
        return m_front[ux(k)];
    }

    // `target` is marked and lies on hex k's chain: walk on up to it.
    void walkPast(int k, int target) {
        const int f = m_front[ux(k)];
        if (f != 0 && m_forest->onChainFrom(f, target)) return;  // already passed
        for (int x = nextOf(k); x != 0; x = unit(x).stackLink) {
            const int y = find(x);
            if (m_marked[ux(y)] || (y != target && m_forest->onChainFrom(y, target))) break;
            mark(y, k);
            x = y;
        }
        m_front[ux(k)] = target;
    }

    // The stacking error of hex k: every unmarked unit of the hex goes to the
    // end of the chain, in number order. After the first time no unit of the
    // hex is left unmarked by the walk, so later errors append nothing.
    void appendUnmarked(int k, int end) {
        if (m_appended[ux(k)]) return;
        m_appended[ux(k)] = 1;
        if (m_byHex.empty()) buildHexLists();
        const std::size_t from = m_byHexStart[ux(k)];
        const std::size_t to = m_byHexStart[ux(k) + 1];
        for (std::size_t p = from; p < to; ++p) {
            const int j = m_byHex[p];
            if (m_marked[ux(j)]) continue;
            if (m_forest) {
                m_forest->cut(j);
                m_forest->link(end, j);
            }
            unit(end).stackLink = static_cast<std::uint16_t>(j);
            m_skip[ux(end)] = j;  // `end` is marked
            unit(j).stackLink = 0;
            end = j;
        }
    }

    // Units grouped by hex, in number order within each hex.
    void buildHexLists() {
        const std::size_t hexCount = m_state.hexes().size();
        m_byHexStart.assign(hexCount + 1, 0);
        for (int i = 1; i <= m_n; ++i) {
            if (m_key[ux(i)] >= 0) ++m_byHexStart[ux(m_key[ux(i)]) + 1];
        }
        for (std::size_t h = 0; h < hexCount; ++h) m_byHexStart[h + 1] += m_byHexStart[h];
        std::vector<std::size_t> fill(m_byHexStart.begin(), m_byHexStart.end() - 1);
        m_byHex.assign(m_byHexStart[hexCount], 0);
        for (int i = 1; i <= m_n; ++i) {
            if (m_key[ux(i)] >= 0) m_byHex[fill[ux(m_key[ux(i)])]++] = i;
        }
    }

    GameState& m_state;
    std::vector<UnitState>& m_units;
    const std::vector<int>& m_key;
    int m_n;
    std::vector<std::uint8_t> m_marked;  // the visit marks of the plain procedure
    std::vector<std::uint8_t> m_own;     // marked by a walk of the unit's own hex
    std::vector<int> m_skip;             // marked unit -> its successor
    std::vector<int> m_front;            // per hex: furthest unit its walks reached
    std::vector<std::uint8_t> m_appended;
    std::vector<std::size_t> m_byHexStart;
    std::vector<int> m_byHex;
    std::unique_ptr<LinkCutForest> m_forest;
};

}  // namespace

int stackRepairHexIndex(const GameState& state, const UnitState& unit) {
    if (unit.column == 0 || unit.row == 0 || state.columns() < 1 || state.rows() < 1) return -1;
    const int c = std::min<int>(unit.column, state.columns());
    const int r = unit.row > state.rows() + 1 ? state.rows() : unit.row;
    return static_cast<int>(state.hexIndex(c, r));
}

StackRepairResult repairStacks(GameState& state) {
    StackRepairResult result;
    const int n = state.unitCount();
    std::vector<UnitState>& u = state.units();
    auto U = [&](int x) -> UnitState& { return u[static_cast<std::size_t>(x)]; };

    // 1.
    for (HexGameRecord& h : state.hexes()) h.stackHead = 0;
    std::vector<int> key(u.size(), -1);
    for (int i = 1; i <= n; ++i) key[static_cast<std::size_t>(i)] = stackRepairHexIndex(state, U(i));

    // 2. and 3.
    for (int i = 1; i <= n; ++i) {
        U(i).savedLink = 0;
        U(i).flags = static_cast<std::uint8_t>((U(i).flags | kHead) &
                                               ~(UnitFlags::kVisitMark | UnitFlags::kLinkSaved));
    }
    for (int i = 1; i <= n; ++i) {
        const int l = U(i).stackLink;
        if (l >= 1 && l <= n) U(l).clear(kHead);
    }

    // 4.
    cutLoops(u, n);

    // 5.
    for (int i = 1; i <= n; ++i) {
        const int k = key[static_cast<std::size_t>(i)];
        if (!U(i).has(kHead) || k < 0) continue;
        std::uint16_t& head = state.hexes()[static_cast<std::size_t>(k)].stackHead;
        if (head == 0) {
            head = static_cast<std::uint16_t>(i);
        } else {
            U(i).clear(kHead);
        }
    }

    // 6.
    result.stackingError = MembershipPass(state, key).run();

    // 7. and 7b.
    std::vector<std::uint8_t> visited(u.size(), 0);
    std::vector<int> tail(state.hexes().size(), 0);
    for (int i = 1; i <= n; ++i) {
        if (key[static_cast<std::size_t>(i)] < 0) U(i).stackLink = 0;
    }
    for (int i = 1; i <= n; ++i) {
        const int k = key[static_cast<std::size_t>(i)];
        if (!U(i).has(kHead) || k < 0) continue;
        visited[static_cast<std::size_t>(i)] = 1;
        int cur = i;
        for (int next = U(cur).stackLink; next != 0; next = U(cur).stackLink) {
            if (visited[static_cast<std::size_t>(next)] || key[static_cast<std::size_t>(next)] != k) {
                U(cur).stackLink = 0;
                break;
            }
            visited[static_cast<std::size_t>(next)] = 1;
            cur = next;
        }
        tail[static_cast<std::size_t>(k)] = cur;
    }
    for (int i = 1; i <= n; ++i) {
        const int k = key[static_cast<std::size_t>(i)];
        if (k < 0 || visited[static_cast<std::size_t>(i)]) continue;
        result.stackingError = true;
        int& t = tail[static_cast<std::size_t>(k)];
        U(t).stackLink = static_cast<std::uint16_t>(i);
        U(i).stackLink = 0;
        t = i;
    }

    // 8.
    for (int i = 1; i <= n; ++i) {
        if (U(i).startStackLink > n) U(i).startStackLink = 0;
        U(i).flags = static_cast<std::uint8_t>((U(i).flags | kHead) &
                                               ~(UnitFlags::kWasHead | UnitFlags::kVisitMark));
    }
    for (int i = 1; i <= n; ++i) {
        const int l = U(i).startStackLink;
        if (l != 0 && l != i) U(l).clear(kHead);
    }
    std::fill(visited.begin(), visited.end(), 0);
    auto walkStart = [&](int from) {
        visited[static_cast<std::size_t>(from)] = 1;
        int cur = from;
        for (int next = U(cur).startStackLink; next != 0; next = U(cur).startStackLink) {
            if (visited[static_cast<std::size_t>(next)] || U(next).startColumn != U(from).startColumn ||
                U(next).startRow != U(from).startRow) {
                U(cur).startStackLink = 0;
                break;
            }
            visited[static_cast<std::size_t>(next)] = 1;
            cur = next;
        }
    };
    for (int i = 1; i <= n; ++i) {
        if (U(i).has(kHead)) walkStart(i);
    }
    for (int i = 1; i <= n; ++i) {
        if (!visited[static_cast<std::size_t>(i)]) {
            U(i).set(kHead);
            walkStart(i);
        }
    }
    return result;
}

}  // namespace qmx
