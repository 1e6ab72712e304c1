#include "core/game/StackRepair.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace qmx {
namespace {

// The repair works on compact copies of what it needs, so that the walks
// along chains, which jump about the unit table, stay in the processor's
// caches: 8 bytes per unit and per hex instead of whole records.
struct Node {
    std::uint16_t link = 0;  // StackLink
    std::uint16_t skip = 0;  // step 6: a marked unit's successor (union-find)
    std::uint32_t bits = 0;  // hex index (kHexMask; kNoHex for none) and marks
};

constexpr std::uint32_t kHexMask = 0x00FFFFFF;
constexpr std::uint32_t kNoHex = kHexMask;
constexpr std::uint32_t kHeadBit = 1u << 24;    // the head mark
constexpr std::uint32_t kMarkedBit = 1u << 25;  // step 6: visited by a walk
constexpr std::uint32_t kOwnBit = 1u << 26;     // step 6: visited by a walk of its own hex
constexpr std::uint32_t kVisitBit = 1u << 27;   // step 7: visited
constexpr std::uint32_t kPathBit = 1u << 28;    // step 4: on the path being followed
constexpr std::uint32_t kDoneBit = 1u << 29;    // step 4: done

struct HexWork {
    std::uint16_t head = 0;   // HexStackHead
    std::uint16_t front = 0;  // step 6: furthest unit the walks of this hex reached
    std::uint16_t tail = 0;   // step 7: last unit of the chain
    std::uint8_t appended = 0;
    std::uint8_t spare = 0;
};

struct StartNode {
    std::uint16_t link = 0;  // StartStackLink
    std::uint16_t hex = 0;   // start column and row
    std::uint8_t head = 0;
    std::uint8_t visited = 0;
};

std::size_t ux(int x) {
    return static_cast<std::size_t>(x);
}

// How far ahead the passes in number order fetch what they will look up by
// hex or by link: those look-ups jump about memory.
constexpr int kAhead = 16;
std::uint32_t hexOf(const Node& n) {
    return n.bits & kHexMask;
}

// A forest over units, parent = StackLink, that answers "is a on the chain
// from b" in logarithmic time while links change (link-cut trees over splay
// trees, without re-rooting). Only built when stack repair meets the one kind
// of damage that needs it.
class LinkCutForest {
public:
    explicit LinkCutForest(const std::vector<Node>& units)
        : m_left(units.size(), 0), m_right(units.size(), 0), m_up(units.size(), 0) {
        for (std::size_t u = 1; u < units.size(); ++u) m_up[u] = units[u].link;
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
void cutLoops(std::vector<Node>& w, int n) {
    std::vector<int> path;
    for (int i = 1; i <= n; ++i) {
        if (w[ux(i)].link > n) w[ux(i)].link = 0;
    }
    for (int start = 1; start <= n; ++start) {
        if (start + kAhead <= n) __builtin_prefetch(&w[w[ux(start + kAhead)].link]);
        if (w[ux(start)].bits & (kPathBit | kDoneBit)) continue;
        path.clear();
        int x = start;
        while (x != 0 && !(w[ux(x)].bits & (kPathBit | kDoneBit))) {
            w[ux(x)].bits |= kPathBit;
            path.push_back(x);
            x = w[ux(x)].link;
        }
        if (x != 0 && (w[ux(x)].bits & kPathBit)) {
            // The loop is the part of the path from x on.
            const auto from = std::find(path.begin(), path.end(), x);
            const int lowest = *std::min_element(from, path.end());
            for (auto it = from; it != path.end(); ++it) {
                if (w[ux(*it)].link == lowest) {
                    w[ux(*it)].link = 0;
                    break;
                }
            }
        }
        for (int p : path) w[ux(p)].bits = (w[ux(p)].bits & ~kPathBit) | kDoneBit;
    }
    for (int i = 1; i <= n; ++i) w[ux(i)].bits &= ~kDoneBit;
}

// Step 6, the membership check, without walking a chain twice.
//
// The plain procedure walks, for every unit, the chain of its hex's head until
// it reaches the unit, marking what it passes. Marks only accumulate, and a
// marked unit's link only ever changes from 0 (a chain end gets an appended
// unit), so the marked part of each head's chain stays as it was walked. Each
// hex therefore keeps the furthest unit its walks reached (`front`); a new
// walk goes on from there. Runs of units that walks of other hexes marked are
// jumped over through a union-find of marked units (`skip`). Whether a unit
// that was marked that way lies on its own hex's chain is asked of a link-cut
// forest, built the first time such a question comes up.
class MembershipPass {
public:
    MembershipPass(std::vector<Node>& w, std::vector<HexWork>& hexes, int n)
        : m_w(w), m_hex(hexes), m_n(n) {
        for (int i = 0; i <= n; ++i) m_w[ux(i)].skip = static_cast<std::uint16_t>(i);
    }

    bool run() {
        bool error = false;
        for (int i = 1; i <= m_n; ++i) {
            if (i + kAhead <= m_n && hexOf(m_w[ux(i + kAhead)]) != kNoHex) {
                __builtin_prefetch(&m_hex[hexOf(m_w[ux(i + kAhead)])]);
            }
            const std::uint32_t k = hexOf(m_w[ux(i)]);
            if (k == kNoHex) continue;
            HexWork& hw = m_hex[k];
            if (hw.head == 0) {
                hw.head = static_cast<std::uint16_t>(i);
                m_w[ux(i)].bits |= kHeadBit;
                continue;
            }
            const int h = hw.head;
            if (h == i || (m_w[ux(i)].bits & kOwnBit)) continue;
            if (m_w[ux(i)].bits & kMarkedBit) {
                // Marked by another hex's walk: ask whether it lies on this chain.
                if (!m_forest) m_forest = std::make_unique<LinkCutForest>(m_w);
                if (m_forest->onChainFrom(i, h)) {
                    walkPast(hw, k, i);
                    continue;
                }
            } else if (walk(hw, k, i)) {
                continue;
            }
            error = true;
            walk(hw, k, 0);
            appendUnmarked(hw, k);
        }
        return error;
    }

private:
    bool marked(int x) const { return (m_w[ux(x)].bits & kMarkedBit) != 0; }

    int find(int x) {
        while (m_w[ux(x)].skip != x) {
            m_w[ux(x)].skip = m_w[ux(m_w[ux(x)].skip)].skip;
            x = m_w[ux(x)].skip;
        }
        return x;
    }

    void mark(int y, std::uint32_t k) {
        Node& node = m_w[ux(y)];
        node.bits |= hexOf(node) == k ? (kMarkedBit | kOwnBit) : kMarkedBit;
        if (node.link != 0) node.skip = node.link;
    }

    // The unit where the next walk of a hex starts, 0 at the chain's end.
    int nextOf(const HexWork& hw) const { return hw.front == 0 ? hw.head : m_w[ux(hw.front)].link; }

    // Walks on towards the unmarked unit `target` (0: to the chain's end);
    // true when it is reached.
    bool walk(HexWork& hw, std::uint32_t k, int target) {
        for (int x = nextOf(hw); x != 0; x = m_w[ux(x)].link) {
            const int y = find(x);
            hw.front = static_cast<std::uint16_t>(y);
            if (marked(y)) return false;  // a marked chain end
            mark(y, k);
            if (y == target) return true;
            x = y;
        }
        return false;
    }

    // `target` is marked and lies on the hex's chain: walk on up to it.
    void walkPast(HexWork& hw, std::uint32_t k, int target) {
        if (hw.front != 0 && m_forest->onChainFrom(hw.front, target)) return;  // already passed
        for (int x = nextOf(hw); x != 0; x = m_w[ux(x)].link) {
            const int y = find(x);
            if (marked(y) || m_forest->onChainFrom(y, target)) break;
            mark(y, k);
            x = y;
        }
        hw.front = static_cast<std::uint16_t>(target);
    }

    // The stacking error of a hex: every unmarked unit of the hex goes to the
    // end of the chain, in number order. After the first time no unit of the
    // hex is left unmarked by the walk, so later errors append nothing.
    void appendUnmarked(HexWork& hw, std::uint32_t k) {
        if (hw.appended) return;
        hw.appended = 1;
        if (m_byHexStart.empty()) buildHexLists();
        int end = hw.front;
        for (std::size_t p = m_byHexStart[k]; p < m_byHexStart[k + 1]; ++p) {
            const int j = m_byHex[p];
            if (marked(j)) continue;
            if (m_forest) {
                m_forest->cut(j);
                m_forest->link(end, j);
            }
            m_w[ux(end)].link = static_cast<std::uint16_t>(j);
            m_w[ux(end)].skip = static_cast<std::uint16_t>(j);  // `end` is marked
            m_w[ux(j)].link = 0;
            end = j;
        }
    }

    // Units grouped by hex, in number order within each hex.
    void buildHexLists() {
        const std::size_t hexCount = m_hex.size();
        m_byHexStart.assign(hexCount + 1, 0);
        for (int i = 1; i <= m_n; ++i) {
            if (hexOf(m_w[ux(i)]) != kNoHex) ++m_byHexStart[hexOf(m_w[ux(i)]) + 1];
        }
        for (std::size_t h = 0; h < hexCount; ++h) m_byHexStart[h + 1] += m_byHexStart[h];
        std::vector<std::size_t> fill(m_byHexStart.begin(), m_byHexStart.end() - 1);
        m_byHex.assign(m_byHexStart[hexCount], 0);
        for (int i = 1; i <= m_n; ++i) {
            if (hexOf(m_w[ux(i)]) != kNoHex) m_byHex[fill[hexOf(m_w[ux(i)])]++] = i;
        }
    }

    std::vector<Node>& m_w;
    std::vector<HexWork>& m_hex;
    int m_n;
    std::vector<std::size_t> m_byHexStart;
    std::vector<int> m_byHex;
    std::unique_ptr<LinkCutForest> m_forest;
};

// Step 8 on the start chains: walks from `from`, cutting where the next unit
// was already reached or has another start hex.
void walkStart(std::vector<StartNode>& s, int from) {
    s[ux(from)].visited = 1;
    int cur = from;
    for (int next = s[ux(cur)].link; next != 0; next = s[ux(cur)].link) {
        if (s[ux(next)].visited || s[ux(next)].hex != s[ux(from)].hex) {
            s[ux(cur)].link = 0;
            return;
        }
        s[ux(next)].visited = 1;
        cur = next;
    }
}

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
    std::vector<UnitState>& units = state.units();

    // 1. and 2.: every hex without head; every unit with the head mark.
    std::vector<HexWork> hexes(state.hexes().size());
    std::vector<Node> w(units.size());
    for (int i = 1; i <= n; ++i) {
        const int k = stackRepairHexIndex(state, units[ux(i)]);
        w[ux(i)].link = units[ux(i)].stackLink;
        w[ux(i)].bits = (k < 0 ? kNoHex : static_cast<std::uint32_t>(k)) | kHeadBit;
    }
    // 3. The links still hold what the file said, any number up to 65535:
    // only one that names a unit is fetched ahead.
    for (int i = 1; i <= n; ++i) {
        if (i + kAhead <= n && w[ux(i + kAhead)].link <= n) {
            __builtin_prefetch(&w[w[ux(i + kAhead)].link]);
        }
        const int l = w[ux(i)].link;
        if (l >= 1 && l <= n) w[ux(l)].bits &= ~kHeadBit;
    }
    // 4.
    cutLoops(w, n);
    // 5.
    for (int i = 1; i <= n; ++i) {
        if (i + kAhead <= n && hexOf(w[ux(i + kAhead)]) != kNoHex)
            __builtin_prefetch(&hexes[hexOf(w[ux(i + kAhead)])]);
        const std::uint32_t k = hexOf(w[ux(i)]);
        if (!(w[ux(i)].bits & kHeadBit) || k == kNoHex) continue;
        if (hexes[k].head == 0) {
            hexes[k].head = static_cast<std::uint16_t>(i);
        } else {
            w[ux(i)].bits &= ~kHeadBit;
        }
    }
    // 6.
    result.stackingError = MembershipPass(w, hexes, n).run();

    // 7.: cut each head's chain at a visited unit or a unit of another hex;
    // a unit on no hex keeps no link.
    for (int i = 1; i <= n; ++i) {
        if (hexOf(w[ux(i)]) == kNoHex) w[ux(i)].link = 0;
    }
    for (int i = 1; i <= n; ++i) {
        if (i + kAhead <= n) __builtin_prefetch(&w[w[ux(i + kAhead)].link]);
        const std::uint32_t k = hexOf(w[ux(i)]);
        if (!(w[ux(i)].bits & kHeadBit) || k == kNoHex) continue;
        w[ux(i)].bits |= kVisitBit;
        int cur = i;
        for (int next = w[ux(cur)].link; next != 0; next = w[ux(cur)].link) {
            if ((w[ux(next)].bits & kVisitBit) || hexOf(w[ux(next)]) != k) {
                w[ux(cur)].link = 0;
                break;
            }
            w[ux(next)].bits |= kVisitBit;
            cur = next;
        }
        hexes[k].tail = static_cast<std::uint16_t>(cur);
    }
    // 7b.: a unit of a hex left in no chain goes to the end of its hex's chain.
    for (int i = 1; i <= n; ++i) {
        const std::uint32_t k = hexOf(w[ux(i)]);
        if (k == kNoHex || (w[ux(i)].bits & kVisitBit)) continue;
        result.stackingError = true;
        w[hexes[k].tail].link = static_cast<std::uint16_t>(i);
        w[ux(i)].link = 0;
        hexes[k].tail = static_cast<std::uint16_t>(i);
    }

    // 8.
    std::vector<StartNode> start(units.size());
    for (int i = 1; i <= n; ++i) {
        const UnitState& u = units[ux(i)];
        start[ux(i)].link = u.startStackLink > n ? 0 : u.startStackLink;
        start[ux(i)].hex = static_cast<std::uint16_t>(u.startColumn << 8 | u.startRow);
        start[ux(i)].head = 1;
    }
    for (int i = 1; i <= n; ++i) {
        const int l = start[ux(i)].link;
        if (l != 0 && l != i) start[ux(l)].head = 0;
    }
    for (int i = 1; i <= n; ++i) {
        if (start[ux(i)].head) walkStart(start, i);
    }
    for (int i = 1; i <= n; ++i) {
        if (!start[ux(i)].visited) {
            start[ux(i)].head = 1;
            walkStart(start, i);
        }
    }

    // The results go back into the state.
    constexpr std::uint8_t kScratch =
        UnitFlags::kVisitMark | UnitFlags::kWasHead | UnitFlags::kLinkSaved | UnitFlags::kHeadMark;
    for (int i = 1; i <= n; ++i) {
        UnitState& u = units[ux(i)];
        u.stackLink = w[ux(i)].link;
        u.startStackLink = start[ux(i)].link;
        u.savedLink = 0;
        u.flags = static_cast<std::uint8_t>((u.flags & ~kScratch) |
                                            (start[ux(i)].head ? UnitFlags::kHeadMark : 0));
    }
    std::vector<HexGameRecord>& table = state.hexes();
    for (std::size_t h = 0; h < table.size(); ++h) table[h].stackHead = hexes[h].head;
    return result;
}

}  // namespace qmx
