#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/edit/NameTableFile.h"

using namespace qmx;
using namespace std::string_literals;

namespace {

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::vector<std::string> rowNames(const Module& m, int row) {
    std::vector<std::string> out;
    for (int c = 1; c <= m.columns; ++c) out.push_back(m.hex(c, row).name);
    return out;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(NameTableFile, WritesEveryRowInItsBlock) {
    Module m = Module::createEmpty(3, 2, GridOrientation::RowsAligned, 33);
    m.hex(2, 2).name = "B 2";
    m.hex(3, 1).name = "";
    std::vector<int> progress;
    const Bytes table = buildNameTable(m, [&](int row) { progress.push_back(row); });
    std::string expected = "0101,0201,,\r\n0102,B 2,0302,\r\n";
    expected.resize(3 * 2 * 40, '\0');
    EXPECT_EQ(std::string(table.begin(), table.end()), expected);
    EXPECT_EQ(progress, (std::vector<int>{1, 2}));
    EXPECT_EQ(rowProgressText(12), "Row 12");
}

TEST(NameTableFile, OwnTableLoadsBackUnshifted) {
    Module m = Module::createEmpty(5, 4, GridOrientation::ColumnsAligned, 33);
    m.hex(5, 1).name = std::string(33, 'x');  // the editor's field holds 33
    m.hex(1, 2).name = "";
    const Bytes table = buildNameTable(m);
    Module back = Module::createEmpty(5, 4, GridOrientation::ColumnsAligned, 33);
    for (auto& h : back.hexes) h.name = "?";
    std::vector<int> progress;
    EXPECT_EQ(readNameTable(table, back, [&](int row) { progress.push_back(row); }), 4);
    for (int r = 1; r <= 4; ++r) EXPECT_EQ(rowNames(back, r), rowNames(m, r)) << r;
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(back.hex(1, 5).name, "?");  // the combat boxes' row is no map row
}

TEST(NameTableFile, SpreadsheetSeparatorsAndShortLines) {
    Module m = Module::createEmpty(3, 4, GridOrientation::RowsAligned, 33);
    // Comma, tab and bar separate; LF alone ends a line; a separator before
    // the line end adds no name; missing names and rows become empty. A
    // blank line, and one with control characters, take no row's place.
    const std::string text = "A1,B1,C1\n\r\nA2\tB2|C2\r\n\x07ring,\x1b[2J\r\nA3\r\n";
    TableReading r;
    EXPECT_EQ(readNameTable(bytesOf(text), m, {}, &r), 3);
    EXPECT_EQ(r.notRecordLines, std::vector<int>{4});
    EXPECT_EQ(rowNames(m, 1), (Names{"A1", "B1", "C1"}));
    EXPECT_EQ(rowNames(m, 2), (Names{"A2", "B2", "C2"}));
    EXPECT_EQ(rowNames(m, 3), (Names{"A3", "", ""}));
    EXPECT_EQ(rowNames(m, 4), (Names{"", "", ""}));
}

TEST(NameTableFile, LongNamesExtraFieldsAndStrayBytes) {
    Module m = Module::createEmpty(2, 2, GridOrientation::RowsAligned, 33);
    const std::string text = std::string(50, 'L') + ",b,c,d,e\r\n" + "\0\0x\0y,,z\r\n"s +
                             "row 3 is not on the map\r\n" + std::string(100, '\0');
    EXPECT_EQ(readNameTable(bytesOf(text), m), 2);
    EXPECT_EQ(rowNames(m, 1), (Names{std::string(33, 'L'), "b"}));
    EXPECT_EQ(rowNames(m, 2), (Names{"xy", ""}));
    // An empty file empties every name.
    EXPECT_EQ(readNameTable({}, m), 0);
    EXPECT_EQ(rowNames(m, 1), (Names{"", ""}));
}

TEST(NameTableFile, NoLineEndAtAll) {
    Module m = Module::createEmpty(2, 2, GridOrientation::RowsAligned, 33);
    EXPECT_EQ(readNameTable(bytesOf(std::string(100000, ',')), m), 1);
    EXPECT_EQ(rowNames(m, 1), (Names{"", ""}));
    EXPECT_EQ(readNameTable(bytesOf(std::string(5000, 'q')), m), 1);
    EXPECT_EQ(rowNames(m, 1), (Names{std::string(33, 'q'), ""}));
}
