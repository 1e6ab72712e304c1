#include "core/map/CoordinateNaming.h"

#include <array>
#include <cstdio>

namespace qmx {

namespace {

constexpr std::string_view kDiagonal = "Numbers will be computed diagonally.";
constexpr std::string_view kDiagonalAll =
    "Numbers will be computed diagonally.  All hexes will be affected.";
constexpr std::string_view kRank = "Coordinates will be computed by vertical rank.";
constexpr std::string_view kDiagonalCorner =
    "Numbers will be computed diagonally from the upper left corner.";

constexpr std::array<CoordinateSample, kCoordinateSystemCount> kSamples{{
    {"A2", "A1", "B2", kDiagonal},
    {"A2", "A1", "B1", kDiagonalAll},
    {"A1", "A2", "B1", kDiagonalAll},
    {"0102", "0101", "0201", ""},
    {"0201", "0202", "0101", ""},
    {"0201", "0202", "0102", ""},
    {"A2", "A1", "B1", kRank},
    {"B1", "B2", "A1", kDiagonal},
    {"B1", "B2", "A2", kRank},
    {"0101", "0102", "0202", kRank},
    {"0101", "0102", "0201", kRank},
    {"A1", "A2", "B2", kRank},
    {"A1", "A2", "B2", kDiagonal},
    {"A2", "A1", "B2", kRank},
    {"B1", "B2", "A2", kDiagonalAll},
    {"0102", "0101", "0202", kDiagonalCorner},
    {"0202", "0201", "0102", kRank},
    {"B2", "B1", "A2", kDiagonal},
}};

bool isOdd(int n) {
    return (n & 1) != 0;
}

// How the hexes of one line (a row, or a column of a columns-aligned map)
// are labelled: by the line's letter and a running number, or by the
// line's rank and the position along it.
struct LineLabel {
    bool letters = true;
    int letter = 0;  // letter index: 0 = "A"
    int rank = 1;
    int first = 1;  // number (or position) of the starting hex
};

// Walks one line from `start` in `step` direction (+1 or -1) to the edge
// 1..`last`, labelling the hexes from label.first upwards. A start just off
// the map counts as the first position and gets no name.
class LineWalker {
public:
    LineWalker(const MapShape& map, const HexNameSink& sink) : m_map(map), m_sink(sink) {}

    // A row of a rows-aligned map.
    void row(int row, int startColumn, int step, const LineLabel& label) {
        walk(startColumn, step, m_map.columns, label, [&](int c) { return std::pair{c, row}; });
    }
    // A column of a columns-aligned map.
    void column(int column, int startRow, int step, const LineLabel& label) {
        walk(startRow, step, m_map.rows, label, [&](int r) { return std::pair{column, r}; });
    }
    int named() const { return m_named; }

private:
    template <class Place>
    void walk(int start, int step, int last, const LineLabel& label, Place place) {
        int n = label.first;
        for (int i = start; step > 0 ? i <= last : i >= 1; i += step, ++n) {
            if (i < 1 || i > last) continue;
            const auto [c, r] = place(i);
            m_sink(c, r,
                   label.letters ? letterLabel(label.letter, n) : fourDigitLabel(label.rank, n));
            ++m_named;
        }
    }

    const MapShape& m_map;
    const HexNameSink& m_sink;
    int m_named = 0;
};

LineLabel letters(int letter, int first) {
    return {true, letter, 1, first};
}
LineLabel ranked(int rank) {
    return {false, 0, rank, 1};
}

// Rows-aligned maps: odd rows stand half a hex to the right.
void nameRows(const MapShape& map, int system, CoordinateOrigin o, int rowA, LineWalker& w) {
    const int c0 = o.column, r0 = o.row, R = map.rows;
    constexpr int kLeft = -1, kRight = 1;
    // The start of systems 4, 7, 10, 12 zigzags by e; it moves before each
    // rank is named, so the first rank starts at the origin.
    const auto zigzagDownLeft = [&](auto label) {
        const int e = isOdd(r0) ? 0 : 1;
        int start = c0 - e, rank = 1;
        for (int r = r0; r <= R; ++r, ++rank) {
            start += isOdd(rank) ? e : -e;
            label(r, start, rank);
        }
    };
    // Systems 14 and 16: the mirror image, starting right of the origin.
    const auto zigzagDownRight = [&](auto label) {
        const int e = isOdd(r0) ? 1 : 0;
        int start = c0 + e, rank = 1;
        for (int r = r0; r <= R; ++r, ++rank) {
            start += isOdd(rank) ? -e : e;
            label(r, start, rank);
        }
    };
    // Systems 6, 8, 9, 15: one column further right on even rows when the
    // origin's row is odd.
    const auto startAsSix = [&](int r) { return (!isOdd(r) && isOdd(r0)) ? c0 + 1 : c0; };

    switch (system) {
        case 1: {
            int s = 1, letter = 0;
            for (int r = r0; r <= R; ++r, ++letter) {
                w.row(r, c0, kLeft, letters(letter, s));
                if (isOdd(r)) ++s;
            }
            break;
        }
        case 2:
        case 3: {
            int s = floorDiv(r0, 2) + 1;
            for (int r = 1; r <= R; ++r) {
                w.row(r, c0, system == 2 ? kLeft : kRight, letters(r - 1, s));
                if (isOdd(r) == (system == 3)) --s;
            }
            break;
        }
        case 4:
        case 7:
        case 10:
        case 12:
            zigzagDownLeft([&](int r, int start, int rank) {
                const int step = (system == 4 || system == 7) ? kLeft : kRight;
                const bool four = system == 4 || system == 10;
                w.row(r, start, step, four ? ranked(rank) : letters(rank - 1, 1));
            });
            break;
        case 5: {
            int rank = 1;
            for (int r = r0; r >= 1; --r, ++rank) {
                const int start = (!isOdd(r) || isOdd(r0)) ? c0 : c0 - 1;
                w.row(r, start, kRight, ranked(rank));
            }
            break;
        }
        case 6:
        case 8:
        case 9: {
            int rank = 1, s = 1;
            for (int r = r0; r >= 1; --r, ++rank) {
                if (system == 6) {
                    w.row(r, startAsSix(r), kRight, ranked(rank));
                } else {
                    w.row(r, startAsSix(r), kRight, letters(rank - 1, system == 8 ? s : 1));
                    if (isOdd(rank)) ++s;
                }
            }
            break;
        }
        case 11: {
            const int e = isOdd(r0) ? 1 : 0;
            int rank = 1;
            for (int r = r0; r <= R; ++r, ++rank)
                w.row(r, isOdd(rank) ? c0 : c0 + e, kRight, ranked(rank));
            break;
        }
        case 13: {
            int s = 1, letter = 0;
            for (int r = r0; r <= R; ++r, ++letter) {
                w.row(r, c0, kRight, letters(letter, s));
                if (!isOdd(r)) ++s;
            }
            break;
        }
        case 14:
        case 16:
            zigzagDownRight([&](int r, int start, int rank) {
                w.row(r, start, kLeft, system == 16 ? ranked(rank) : letters(rank - 1, 1));
            });
            break;
        case 15: {
            // Letters counted back from the origin's row: row 1 has the
            // r0-th letter.
            int t = 1;
            for (int r = 1; r <= r0; ++r) {
                const int letter = r0 - r;
                w.row(r, startAsSix(r), kRight, letters(letter, t));
                if (isOdd(letter + 1)) ++t;
            }
            break;
        }
        case 17: {
            int rank = 1;
            for (int r = r0; r >= 1; --r, ++rank) {
                int start;
                if (!isOdd(r0))
                    start = isOdd(rank) ? c0 : c0 - 1;
                else
                    start = c0 - (rank - 1) / 2;  // c0, c0, c0 - 1, c0 - 1, ...
                w.row(r, start, kLeft, ranked(rank));
            }
            break;
        }
        case 18: {
            // Row A is the row the author marked first; the letters rise
            // upwards from it.
            int s = floorDiv(rowA - r0, 2) + 1, letter = 0;
            for (int r = rowA; r >= 1; --r, ++letter) {
                w.row(r, c0, kLeft, letters(letter, s));
                if (!isOdd(r)) --s;
            }
            break;
        }
        default:
            break;
    }
}

// Columns-aligned maps: odd columns stand half a hex lower.
void nameColumns(const MapShape& map, int system, CoordinateOrigin o, LineWalker& w) {
    const int c0 = o.column, r0 = o.row, C = map.columns;
    constexpr int kUp = -1, kDown = 1;
    // The four rules for the starting row of a column; `rank` counts the
    // columns visited from 1.
    const auto pPlus = [&](int c) { return (isOdd(c0) && !isOdd(c)) ? r0 + 1 : r0; };
    const auto pMinus = [&](int c) { return (!isOdd(c0) && isOdd(c)) ? r0 - 1 : r0; };
    const auto kPlus = [&](int rank) { return (isOdd(c0) && !isOdd(rank)) ? r0 + 1 : r0; };
    const auto kMinus = [&](int rank) { return (!isOdd(c0) && !isOdd(rank)) ? r0 - 1 : r0; };

    switch (system) {
        case 1: {
            int s = 1;
            for (int c = c0; c <= C; ++c) {
                // The origin's own column is A1 even when it is odd.
                if (c > c0 && isOdd(c)) ++s;
                w.column(c, r0, kDown, letters(c - c0, s));
            }
            break;
        }
        case 2:
        case 3: {
            // Lettered from the origin's column rightwards, numbered from
            // the right edge.
            int t = 1;
            for (int c = C; c >= c0; --c) {
                const int letter = c - c0;
                if (system == 2)
                    w.column(c, pPlus(c), kDown, letters(letter, t));
                else
                    w.column(c, pMinus(c), kUp, letters(letter, t));
                if (isOdd(letter + 1)) ++t;
            }
            break;
        }
        case 4:
        case 7:
        case 10:
        case 12: {
            int rank = 1;
            for (int c = c0; c <= C; ++c, ++rank) {
                const int step = (system == 4 || system == 7) ? kDown : kUp;
                const bool four = system == 4 || system == 10;
                w.column(c, kPlus(rank), step, four ? ranked(rank) : letters(rank - 1, 1));
            }
            break;
        }
        case 5:
        case 6: {
            int rank = 1;
            for (int c = c0; c >= 1; --c, ++rank)
                w.column(c, system == 5 ? pPlus(c) : pMinus(c), kUp, ranked(rank));
            break;
        }
        case 8:
        case 9: {
            int rank = 1, t = 1;
            for (int c = c0; c >= 1; --c, ++rank) {
                w.column(c, pMinus(c), kUp, letters(rank - 1, system == 8 ? t : 1));
                if (isOdd(rank)) ++t;
            }
            break;
        }
        case 11:
        case 14:
        case 16: {
            int rank = 1;
            for (int c = c0; c <= C; ++c, ++rank) {
                const int step = system == 11 ? kUp : kDown;
                const bool four = system != 14;
                w.column(c, kMinus(rank), step, four ? ranked(rank) : letters(rank - 1, 1));
            }
            break;
        }
        case 13: {
            int rank = 1, t = 1;
            for (int c = c0; c <= C; ++c, ++rank) {
                w.column(c, pMinus(c), kUp, letters(rank - 1, t));
                if (isOdd(rank)) ++t;
            }
            break;
        }
        case 15:
        case 18: {
            // Letters counted back from the origin's column: column 1 has
            // the c0-th letter.
            int t = 1;
            for (int c = 1; c <= c0; ++c) {
                const int letter = c0 - c;
                if (system == 15)
                    w.column(c, pMinus(c), kUp, letters(letter, t));
                else
                    w.column(c, pPlus(c), kDown, letters(letter, t));
                if (isOdd(letter + 1)) ++t;
            }
            break;
        }
        case 17: {
            int rank = 1;
            for (int c = c0; c >= 1; --c, ++rank) w.column(c, kPlus(rank), kDown, ranked(rank));
            break;
        }
        default:
            break;
    }
}

}  // namespace

const CoordinateSample& coordinateSample(int system) {
    if (system < 1 || system > kCoordinateSystemCount) system = 1;
    return kSamples[static_cast<std::size_t>(system - 1)];
}

int coordinateSystemAfterArrow(int system, int step) {
    const int next = system - step;
    if (next < 1) return kCoordinateSystemCount;
    if (next > kCoordinateSystemCount) return 1;
    return next;
}

std::string letterLabel(int index, int number) {
    if (index < 0) index = 0;
    std::string label(static_cast<std::size_t>(index / 26 + 1),
                      static_cast<char>('A' + index % 26));
    return label + std::to_string(number);
}

std::string fourDigitLabel(int rank, int position) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d", rank, position);
    return buf;
}

int floorDiv(int a, int b) {
    const int q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

OriginCorrection correctOrigin(const MapShape& map, int system, CoordinateOrigin origin) {
    OriginCorrection out{origin, {}};
    const int c0 = origin.column, r0 = origin.row;
    // The label the instruction asked the author to click.
    const char* hex = (system == 12 || system == 14) ? "Hex A1" : "Hex 0101";
    if (map.orientation == GridOrientation::RowsAligned) {
        const bool right = (system == 5 || system == 10 || system == 12) && !isOdd(r0) && c0 == 1;
        const bool left = (system == 14 || system == 16) && isOdd(r0) && c0 == map.columns;
        // A move that would leave the map (a map one hex wide) is not made.
        if (right && map.columns >= 2) {
            out.origin.column = 2;
            out.text = std::string(hex) + " moved one hex to the right.";
        } else if (left && map.columns >= 2) {
            out.origin.column = c0 - 1;
            out.text = std::string(hex) + " moved one hex to the left.";
        }
    } else {
        const bool down = (system == 5 || system == 14 || system == 16) && !isOdd(c0) && r0 == 1;
        const bool up =
            (system == 10 || system == 11 || system == 12) && !isOdd(c0) && r0 == map.rows;
        if (down && map.rows >= 2) {
            out.origin.row = 2;
            out.text = std::string(hex) + " moved one hex down.";
        } else if (up && map.rows >= 2) {
            out.origin.row = r0 - 1;
            out.text = std::string(hex) + " moved one hex up.";
        }
    }
    return out;
}

int computeHexNames(const MapShape& map, int system, CoordinateOrigin origin, int rowAIndex,
                    const HexNameSink& sink) {
    if (origin.column < 1 || origin.column > map.columns || origin.row < 1 || origin.row > map.rows)
        return 0;
    if (rowAIndex > map.rows) rowAIndex = map.rows;
    LineWalker walker(map, sink);
    if (map.orientation == GridOrientation::RowsAligned)
        nameRows(map, system, origin, rowAIndex, walker);
    else
        nameColumns(map, system, origin, walker);
    return walker.named();
}

NamingResult nameModuleHexes(Module& module, int system, CoordinateOrigin origin, int rowAIndex,
                             const HexNameSink& written) {
    const MapShape map{module.orientation, module.columns, module.rows};
    NamingResult result;
    const OriginCorrection corrected = correctOrigin(map, system, origin);
    result.origin = corrected.origin;
    result.correctionText = corrected.text;
    result.named = computeHexNames(
        map, system, corrected.origin, rowAIndex, [&](int c, int r, const std::string& name) {
            if (!module.hexInRange(c, r) || module.hexIndex(c, r) >= module.hexes.size()) return;
            std::string& current = module.hex(c, r).name;
            if (current != name) {
                result.changes.push_back({c, r, current, name});
                current = name;
            }
            if (written) written(c, r, name);
        });
    return result;
}

}  // namespace qmx
