#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/map/CoordinateNaming.h"

using namespace qmx;

namespace {

constexpr GridOrientation kRows = GridOrientation::RowsAligned;
constexpr GridOrientation kColumns = GridOrientation::ColumnsAligned;

// One case of a table: the hexes a system names, written "column,row=name"
// and separated by blanks, and hexes it must leave as they were.
struct Case {
    const char* what;
    GridOrientation orientation;
    int system;
    CoordinateOrigin origin;
    int rowA;
    const char* named;
    const char* untouched;
    const char* correction = "";
};

// Every hex starts as "." so that a hex the system does not reach shows.
Module blankMap(GridOrientation o, int columns, int rows) {
    Module m = Module::createEmpty(columns, rows, o, 33);
    for (auto& h : m.hexes) h.name = ".";
    return m;
}

// "3,4=A1" -> hex (3, 4) and "A1"; "3,4" -> hex (3, 4) and ".".
std::vector<std::pair<CoordinateOrigin, std::string>> parseHexes(const char* text) {
    std::vector<std::pair<CoordinateOrigin, std::string>> out;
    std::istringstream in(text);
    for (std::string item; in >> item;) {
        CoordinateOrigin hex;
        char comma = 0;
        std::istringstream one(item);
        one >> hex.column >> comma >> hex.row;
        std::string name = ".";
        if (one.peek() == '=') {
            one.get();
            one >> name;
        }
        out.emplace_back(hex, name);
    }
    return out;
}

void check(const Case& c, int columns = 6, int rows = 6) {
    SCOPED_TRACE(c.what);
    Module m = blankMap(c.orientation, columns, rows);
    const NamingResult r = nameModuleHexes(m, c.system, c.origin, c.rowA);
    EXPECT_EQ(r.correctionText, c.correction);
    for (const char* list : {c.named, c.untouched})
        for (const auto& [hex, name] : parseHexes(list))
            EXPECT_EQ(m.hex(hex.column, hex.row).name, name)
                << "hex " << hex.column << "," << hex.row;
}

// Maps of 6 x 6 hexes whose hexes stand in rows: odd rows half a hex right.
const std::vector<Case> kRowCases = {
    // clang-format off
    {"1: leftwards, s grows after odd rows", kRows, 1, {3, 3}, 0,
     "3,3=A1 2,3=A2 1,3=A3 3,4=B2 1,4=B4 3,5=C2 3,6=D3",
     "4,3 3,2 4,6"},
    {"2: every row from 1, s shrinks after even rows, 0 in decimal", kRows, 2, {3, 3}, 0,
     "3,1=A2 1,1=A4 3,2=B2 1,2=B4 3,3=C1 2,3=C2 3,4=D1 3,5=E0 2,5=E1 3,6=F0",
     "4,1 6,6"},
    {"3: rightwards, s shrinks after odd rows", kRows, 3, {3, 3}, 0,
     "3,1=A2 4,1=A3 6,1=A5 3,2=B1 4,2=B2 3,3=C1 3,4=D0 4,4=D1 3,5=E0 3,6=F-1 4,6=F0",
     "2,1 1,6"},
    {"4: even origin row, the start zigzags left", kRows, 4, {3, 4}, 0,
     "3,4=0101 2,4=0102 1,4=0103 2,5=0201 1,5=0202 3,6=0301",
     "3,5 4,4 3,3"},
    {"4: odd origin row, every row starts below", kRows, 4, {3, 3}, 0,
     "3,3=0101 3,4=0201 1,6=0403",
     "4,3"},
    {"5: upwards and rightwards, odd rows one column left", kRows, 5, {3, 4}, 0,
     "3,4=0101 4,4=0102 6,4=0104 2,3=0201 3,3=0202 3,2=0301 2,1=0401",
     "2,4 1,3 3,5"},
    {"6: odd origin row, even rows one column right", kRows, 6, {3, 3}, 0,
     "3,3=0101 4,3=0102 4,2=0201 5,2=0202 3,1=0301",
     "2,3 3,2 3,4"},
    {"7: as 4 with letters", kRows, 7, {3, 4}, 0,
     "3,4=A1 2,4=A2 2,5=B1 1,5=B2 3,6=C1",
     "3,5"},
    {"8: s grows after odd-lettered rows", kRows, 8, {3, 3}, 0,
     "3,3=A1 4,3=A2 4,2=B2 5,2=B3 3,1=C2 4,1=C3",
     "3,2 2,3"},
    {"9: as 8, number from 1", kRows, 9, {3, 3}, 0,
     "3,3=A1 4,3=A2 4,2=B1 5,2=B2 3,1=C1",
     "3,2"},
    {"10: as 4 rightwards", kRows, 10, {3, 4}, 0,
     "3,4=0101 4,4=0102 6,4=0104 2,5=0201 3,5=0202 3,6=0301",
     "1,5 2,4"},
    {"11: odd origin row, even ranks one column right", kRows, 11, {3, 3}, 0,
     "3,3=0101 4,3=0102 4,4=0201 5,4=0202 3,5=0301 4,6=0401",
     "3,4 2,3 3,2"},
    {"12: as 10 with letters", kRows, 12, {3, 4}, 0,
     "3,4=A1 4,4=A2 2,5=B1 3,5=B2 3,6=C1",
     "1,5"},
    {"13: rightwards, s grows after even rows", kRows, 13, {3, 3}, 0,
     "3,3=A1 4,3=A2 3,4=B1 4,4=B2 3,5=C2 3,6=D2",
     "2,3"},
    {"14: odd origin row, the start zigzags right", kRows, 14, {3, 3}, 0,
     "3,3=A1 2,3=A2 1,3=A3 4,4=B1 3,4=B2 3,5=C1 4,6=D1",
     "4,3 4,5"},
    {"15: rows 1 to the origin, letters counted back", kRows, 15, {3, 3}, 0,
     "3,1=C1 4,1=C2 6,1=C4 4,2=B2 5,2=B3 3,3=A2 4,3=A3",
     "3,4 3,2 2,3"},
    {"16: as 14, four digits", kRows, 16, {3, 3}, 0,
     "3,3=0101 2,3=0102 4,4=0201 3,4=0202 3,5=0301 4,6=0401",
     "4,3"},
    {"17: even origin row, upwards zigzag", kRows, 17, {3, 4}, 0,
     "3,4=0101 2,4=0102 1,4=0103 2,3=0201 1,3=0202 3,2=0301 2,1=0401",
     "3,3 4,4"},
    {"17: odd origin row, one column left after every even rank", kRows, 17, {5, 5}, 0,
     "5,5=0101 4,5=0102 5,4=0201 4,3=0301 4,2=0401 3,1=0501 1,1=0503",
     "5,3 6,5"},
    {"18: chosen directly, without row A, names nothing", kRows, 18, {3, 3}, 0,
     "",
     "3,3 1,1 6,6"},
    {"18: row A below the origin, letters rise upwards", kRows, 18, {3, 2}, 5,
     "3,5=A2 2,5=A3 3,4=B2 3,3=C1 1,3=C3 3,2=D1 3,1=E0",
     "3,6 4,5"},
    {"18: row A above the origin, the floor of a negative half", kRows, 18, {3, 5}, 2,
     "3,2=A-1 2,2=A0 1,2=A1 3,1=B-2",
     "3,3 3,5"},
    // clang-format on
};

// Maps of 6 x 6 hexes whose hexes stand in columns: odd columns half a hex lower.
const std::vector<Case> kColumnCases = {
    // clang-format off
    {"1: odd origin column is still A1", kColumns, 1, {3, 3}, 0,
     "3,3=A1 3,4=A2 3,6=A4 4,3=B1 4,4=B2 5,3=C2 6,3=D2",
     "3,2 2,3"},
    {"1: even origin column, s grows before the odd column", kColumns, 1, {2, 3}, 0,
     "2,3=A1 3,3=B2 4,3=C2 5,3=D3",
     "1,3 2,2"},
    {"2: from the right edge, P+ with odd origin column", kColumns, 2, {3, 3}, 0,
     "6,4=D1 6,6=D3 5,3=C1 5,4=C2 4,4=B2 4,5=B3 3,3=A2 3,4=A3",
     "6,3 4,3 2,3 3,2"},
    {"3: upwards, P- with even origin column", kColumns, 3, {4, 3}, 0,
     "6,3=C1 6,2=C2 6,1=C3 5,2=B2 5,1=B3 4,3=A2 4,1=A4",
     "5,3 4,4 3,3"},
    {"4: K+ with odd origin column", kColumns, 4, {3, 3}, 0,
     "3,3=0101 3,4=0102 4,4=0201 4,6=0203 5,3=0301 6,4=0401",
     "4,3 3,2"},
    {"5: leftwards and upwards, P+", kColumns, 5, {3, 3}, 0,
     "3,3=0101 3,1=0103 2,4=0201 2,3=0202 2,1=0204 1,3=0301",
     "3,4 2,5 4,3"},
    {"6: P- with even origin column", kColumns, 6, {4, 3}, 0,
     "4,3=0101 4,1=0103 3,2=0201 3,1=0202 2,3=0301 1,2=0401",
     "3,3 4,4 5,3"},
    {"7: K+ downwards with letters", kColumns, 7, {3, 3}, 0,
     "3,3=A1 3,4=A2 4,4=B1 5,3=C1 6,4=D1",
     "4,3"},
    {"8: leftwards, t grows after odd-lettered columns", kColumns, 8, {4, 3}, 0,
     "4,3=A1 4,2=A2 3,2=B2 3,1=B3 2,3=C2 2,2=C3 1,2=D3",
     "3,3 4,4"},
    {"9: as 8, number from 1", kColumns, 9, {4, 3}, 0,
     "4,3=A1 4,2=A2 3,2=B1 2,3=C1 1,2=D1",
     "3,3"},
    {"10: K+ upwards", kColumns, 10, {3, 3}, 0,
     "3,3=0101 3,1=0103 4,4=0201 4,3=0202 4,1=0204 5,3=0301 6,4=0401",
     "3,4 2,3"},
    {"11: K- upwards", kColumns, 11, {4, 3}, 0,
     "4,3=0101 4,1=0103 5,2=0201 5,1=0202 6,3=0301",
     "5,3 4,4 3,3"},
    {"12: K+ upwards with letters", kColumns, 12, {3, 3}, 0,
     "3,3=A1 3,1=A3 4,4=B1 4,3=B2 5,3=C1 6,4=D1",
     "3,4"},
    {"13: P- upwards, t grows after odd-lettered columns", kColumns, 13, {4, 3}, 0,
     "4,3=A1 4,2=A2 5,2=B2 5,1=B3 6,3=C2",
     "5,3 3,3"},
    {"14: K- downwards with letters", kColumns, 14, {4, 3}, 0,
     "4,3=A1 4,6=A4 5,2=B1 5,3=B2 6,3=C1",
     "5,1 6,2 3,3 4,2"},
    {"15: columns 1 to the origin, letters counted back, P-", kColumns, 15, {4, 3}, 0,
     "1,2=D1 1,1=D2 2,3=C1 2,1=C3 3,2=B2 4,3=A2 4,2=A3",
     "1,3 3,3 5,3"},
    {"16: K- downwards", kColumns, 16, {4, 3}, 0,
     "4,3=0101 4,4=0102 5,2=0201 5,3=0202 6,3=0301",
     "4,2 5,1"},
    {"17: leftwards, K+ downwards", kColumns, 17, {3, 3}, 0,
     "3,3=0101 3,4=0102 2,4=0201 2,5=0202 1,3=0301",
     "2,3 3,2 4,3"},
    {"18: as 15 with P+ downwards; row A plays no part", kColumns, 18, {3, 3}, 5,
     "1,3=C1 1,4=C2 2,4=B2 2,5=B3 3,3=A2 3,4=A3",
     "2,3 3,2 4,3"},
    // clang-format on
};

// The origin corrections and their texts, and starts off the map.
const std::vector<Case> kCorrectionCases = {
    // clang-format off
    {"rows 5: even row in column 1", kRows, 5, {1, 4}, 0,
     "2,4=0101 1,3=0201",
     "1,4",
     "Hex 0101 moved one hex to the right."},
    {"rows 10: even row in column 1", kRows, 10, {1, 2}, 0,
     "2,2=0101",
     "1,2",
     "Hex 0101 moved one hex to the right."},
    {"rows 12: even row in column 1", kRows, 12, {1, 4}, 0,
     "2,4=A1 1,5=B1",
     "1,4",
     "Hex A1 moved one hex to the right."},
    {"rows 14: odd row in the last column", kRows, 14, {6, 3}, 0,
     "5,3=A1 6,4=B1",
     "6,3",
     "Hex A1 moved one hex to the left."},
    {"rows 16: odd row in the last column", kRows, 16, {6, 5}, 0,
     "5,5=0101 6,6=0201",
     "6,5",
     "Hex 0101 moved one hex to the left."},
    {"rows 5: odd row in column 1 stays", kRows, 5, {1, 3}, 0,
     "1,3=0101",
     ""},
    {"columns 5: even column in row 1", kColumns, 5, {2, 1}, 0,
     "2,2=0101 2,1=0102 1,2=0201",
     "",
     "Hex 0101 moved one hex down."},
    {"columns 16: even column in row 1", kColumns, 16, {4, 1}, 0,
     "4,2=0101 5,1=0201",
     "4,1",
     "Hex 0101 moved one hex down."},
    {"columns 14: even column in row 1", kColumns, 14, {4, 1}, 0,
     "4,2=A1 5,1=B1",
     "4,1",
     "Hex A1 moved one hex down."},
    {"columns 10: even column in the last row", kColumns, 10, {4, 6}, 0,
     "4,5=0101 4,4=0102 5,5=0201",
     "4,6",
     "Hex 0101 moved one hex up."},
    {"columns 11: even column in the last row", kColumns, 11, {4, 6}, 0,
     "4,5=0101",
     "4,6",
     "Hex 0101 moved one hex up."},
    {"columns 12: even column in the last row", kColumns, 12, {2, 6}, 0,
     "2,5=A1",
     "2,6",
     "Hex A1 moved one hex up."},
    // A start outside the map that nothing corrects counts as position 1.
    {"rows 6: the even rows would start right of the map", kRows, 6, {6, 3}, 0,
     "6,3=0101 6,1=0301",
     "6,2 5,2"},
    {"rows 4: the second rank would start left of the map", kRows, 4, {1, 4}, 0,
     "1,4=0101 1,6=0301",
     "1,5"},
    {"rows 5 from column 2: the odd rows start in column 1", kRows, 5, {2, 4}, 0,
     "2,4=0101 1,3=0201 2,3=0202",
     ""},
    {"columns 11 upwards from row 0: position 1 is off the map", kColumns, 11, {2, 1}, 0,
     "2,1=0101 4,1=0301",
     "3,1"},
    {"columns 4 downwards from below the map", kColumns, 4, {3, 6}, 0,
     "3,6=0101 5,6=0301",
     "4,6"},
    {"columns 10 upwards from below the map: position 2 at the last row", kColumns, 10, {3, 6}, 0,
     "3,6=0101 4,6=0202 4,5=0203",
     ""},
    // clang-format on
};

}  // namespace

TEST(CoordinateNaming, RowsAlignedSystems) {
    for (const Case& c : kRowCases) check(c);
}

TEST(CoordinateNaming, ColumnsAlignedSystems) {
    for (const Case& c : kColumnCases) check(c);
}

TEST(CoordinateNaming, OriginCorrectionsAndStartsOffTheMap) {
    for (const Case& c : kCorrectionCases) check(c);
}

TEST(CoordinateNaming, EverySystemHasACaseInBothOrientations) {
    for (const auto* cases : {&kRowCases, &kColumnCases}) {
        std::map<int, int> seen;
        for (const Case& c : *cases) ++seen[c.system];
        for (int s = 1; s <= kCoordinateSystemCount; ++s) EXPECT_GT(seen[s], 0) << "system " << s;
    }
}

TEST(CoordinateNaming, SystemOneExampleLeavesRightAndAbove) {
    Module m = blankMap(kRows, 15, 12);
    nameModuleHexes(m, 1, {10, 5}, 0);
    EXPECT_EQ(m.hex(10, 5).name, "A1");
    EXPECT_EQ(m.hex(9, 5).name, "A2");
    for (int r = 1; r <= 12; ++r)
        for (int c = 1; c <= 15; ++c)
            if (c > 10 || r < 5) {
                EXPECT_EQ(m.hex(c, r).name, ".") << c << "," << r;
            }
    EXPECT_EQ(m.hex(15, 13).name, ".");  // the combat boxes' row is no map row
}

TEST(CoordinateNaming, LettersAfterZ) {
    EXPECT_EQ(letterLabel(0, 1), "A1");
    EXPECT_EQ(letterLabel(25, 7), "Z7");
    EXPECT_EQ(letterLabel(26, 1), "AA1");
    EXPECT_EQ(letterLabel(27, 12), "BB12");
    EXPECT_EQ(letterLabel(51, 3), "ZZ3");
    EXPECT_EQ(letterLabel(52, 3), "AAA3");
    EXPECT_EQ(letterLabel(2, 0), "C0");
    EXPECT_EQ(letterLabel(2, -3), "C-3");
    // Rows 1, 3, ..., 25 raised s to 14 by row 26 and 27.
    Module m = blankMap(kRows, 3, 30);
    nameModuleHexes(m, 1, {1, 1}, 0);
    EXPECT_EQ(m.hex(1, 26).name, "Z14");
    EXPECT_EQ(m.hex(1, 27).name, "AA14");
    EXPECT_EQ(m.hex(1, 28).name, "BB15");
}

TEST(CoordinateNaming, FourDigitLabelsAndFloor) {
    EXPECT_EQ(fourDigitLabel(1, 1), "0101");
    EXPECT_EQ(fourDigitLabel(12, 3), "1203");
    EXPECT_EQ(fourDigitLabel(125, 7), "12507");
    EXPECT_EQ(floorDiv(3, 2), 1);
    EXPECT_EQ(floorDiv(-3, 2), -2);
    EXPECT_EQ(floorDiv(-4, 2), -2);
    EXPECT_EQ(floorDiv(0, 2), 0);
}

TEST(CoordinateNaming, TheLargestMapStaysInsideItsTable) {
    for (auto o : {kRows, kColumns})
        for (int s = 1; s <= kCoordinateSystemCount; ++s)
            for (CoordinateOrigin at : {CoordinateOrigin{1, 1}, CoordinateOrigin{250, 249},
                                        CoordinateOrigin{1, 249}, CoordinateOrigin{250, 1}}) {
                const MapShape map{o, kMaxColumns, kMaxRows};
                int named = 0;
                computeHexNames(map, s, correctOrigin(map, s, at).origin, 249,
                                [&](int c, int r, const std::string& name) {
                                    ASSERT_TRUE(c >= 1 && c <= 250 && r >= 1 && r <= 249);
                                    ASSERT_LE(name.size(), kHexNameSize);
                                    ++named;
                                });
                EXPECT_LE(named, 250 * 249);
            }
}

TEST(CoordinateNaming, OffMapOriginAndOneHexMaps) {
    Module m = blankMap(kRows, 6, 6);
    EXPECT_EQ(nameModuleHexes(m, 1, {0, 3}, 0).named, 0);
    EXPECT_EQ(nameModuleHexes(m, 1, {3, 7}, 0).named, 0);
    // On a map one hex wide the corrections have nowhere to go.
    Module narrow = blankMap(kRows, 1, 4);
    const NamingResult r = nameModuleHexes(narrow, 14, {1, 1}, 0);
    EXPECT_EQ(r.correctionText, "");
    EXPECT_EQ(narrow.hex(1, 1).name, "A1");
    Module flat = blankMap(kColumns, 4, 1);
    EXPECT_EQ(nameModuleHexes(flat, 16, {2, 1}, 0).correctionText, "");
    EXPECT_EQ(flat.hex(2, 1).name, "0101");
}

TEST(CoordinateNaming, DialogSamplesAndArrows) {
    EXPECT_EQ(coordinateSample(1).hex1, "A2");
    EXPECT_EQ(coordinateSample(1).hex3, "B2");
    EXPECT_EQ(coordinateSample(1).description, "Numbers will be computed diagonally.");
    EXPECT_EQ(coordinateSample(2).description,
              "Numbers will be computed diagonally.  All hexes will be affected.");
    EXPECT_EQ(coordinateSample(4).hex2, "0101");
    EXPECT_EQ(coordinateSample(4).description, "");
    EXPECT_EQ(coordinateSample(16).description,
              "Numbers will be computed diagonally from the upper left corner.");
    EXPECT_EQ(coordinateSample(17).hex1, "0202");
    EXPECT_EQ(coordinateSample(18).hex1, "B2");
    EXPECT_EQ(coordinateSample(12).description, "Coordinates will be computed by vertical rank.");
    // Up (step -1) from 18 wraps to 1, down (step +1) from 1 to 18.
    EXPECT_EQ(coordinateSystemAfterArrow(18, -1), 1);
    EXPECT_EQ(coordinateSystemAfterArrow(1, 1), 18);
    EXPECT_EQ(coordinateSystemAfterArrow(5, -1), 6);
    EXPECT_EQ(coordinateSystemAfterArrow(5, 1), 4);
    EXPECT_EQ(coordinateSystemAfterArrow(40, -1), 1);  // a typed number above 18
}
