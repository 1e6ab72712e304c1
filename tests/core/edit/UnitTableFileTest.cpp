#include <gtest/gtest.h>

#include <string>

#include "core/edit/TableFileText.h"
#include "core/edit/UnitTableFile.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
using namespace std::string_literals;

namespace {

Bytes bytesOf(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A text line in its 184-byte slot.
std::string slot(const std::string& line) {
    std::string s = line + "\r\n";
    if (s.size() < kUnitTableSlotSize) s.resize(kUnitTableSlotSize, '\0');
    return s;
}

const std::string kSixZeros = "00,00,00,00,00,00";
const std::string kUnusedStep = ",N," + kSixZeros;

// Unit 1: two steps; unit 2: three steps, negative values; the rest blank.
Module sampleModule() {
    Module m = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    UnitDefinition& a = m.units[1];
    a.name = "Blue 1 Inf";
    a.stepImage = {1, 2, 0, 0, 0, 0};
    a.values[0] = {7, 12, 255, 0, 0, 0};
    a.values[1] = {3, 6, 4, 0, 0, 0};
    UnitDefinition& b = m.units[2];
    b.name = "Red HQ";
    b.stepImage = {45, 123, 1000, 0, 0, 0};
    b.values[0] = {static_cast<std::uint8_t>(-5), 99, 0, 0, 0, 1};
    b.values[2] = {0, 0, 0, 0, 0, 9};
    return m;
}

const std::string kLine1 =
    "Blue 1 Inf,001,002,000,000,000,000,000,07,12,255,00,00,00,Y,03,06,04,00,00,00" + kUnusedStep +
    kUnusedStep + kUnusedStep + kUnusedStep;
const std::string kLine2 = "Red HQ,045,123,1000,000,000,000,-001,251,99,00,00,00,01,Y," +
                           kSixZeros + ",Y,00,00,00,00,00,09" + kUnusedStep + kUnusedStep +
                           kUnusedStep;
const std::string kBlankLine = ",001,000,000,000,000,000,000," + kSixZeros + kUnusedStep +
                               kUnusedStep + kUnusedStep + kUnusedStep + kUnusedStep;

}  // namespace

TEST(UnitTableFile, WritesSlotsOf184Bytes) {
    Module m = sampleModule();
    UnitStepBytes steps(34, 0);
    steps[2] = -1;
    const Bytes table = buildUnitTable(m, steps);
    ASSERT_EQ(table.size(), 33u * 184u);
    std::string expected = slot(kLine1) + slot(kLine2);
    for (int u = 3; u <= 33; ++u) expected += slot(kBlankLine);
    EXPECT_EQ(std::string(table.begin(), table.end()), expected);
}

TEST(UnitTableFile, StepByteKeepsThreeDigitsAfterItsSign) {
    UnitDefinition u;
    const auto stepField = [&](std::int8_t step) {
        const std::string line = unitTableLine(u, step);
        return line.substr(25, line.find(',', 25) - 25);  // after the name and six images
    };
    EXPECT_EQ(stepField(0), "000");
    EXPECT_EQ(stepField(5), "005");
    EXPECT_EQ(stepField(127), "127");
    EXPECT_EQ(stepField(-1), "-001");
    EXPECT_EQ(stepField(-45), "-045");
    EXPECT_EQ(stepField(-128), "-128");
}

TEST(UnitTableFile, ALongLineIsWrittenWholeAndReadsBack) {
    Module m = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    UnitDefinition& u = m.units[1];
    u.name = std::string(36, 'W');
    u.stepImage = {100, 101, 102, 103, 104, 105};
    for (auto& step : u.values) step = {255, 254, 253, 200, 199, 198};
    std::string line =
        std::string(36, 'W') + ",100,101,102,103,104,105,000" + ",255,254,253,200,199,198";
    for (int s = 2; s <= 6; ++s) line += ",Y,255,254,253,200,199,198";
    ASSERT_GT(line.size() + 2, kUnitTableSlotSize);
    const Bytes table = buildUnitTable(m, {});
    const std::string text(table.begin(), table.end());
    EXPECT_EQ(text.substr(0, line.size() + 2), line + "\r\n");
    EXPECT_EQ(text.substr(line.size() + 2, 4), ",001");  // the next unit follows at once
    EXPECT_EQ(table.size(), line.size() + 2 + 32u * 184u);

    Module back = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    UnitStepBytes steps;
    EXPECT_EQ(readUnitTable(table, back, steps), 33);
    EXPECT_EQ(back.units[1].name, u.name);
    EXPECT_EQ(back.units[1].stepImage, u.stepImage);
    EXPECT_EQ(back.units[1].values, u.values);
    EXPECT_EQ(back.units[2].stepImage[0], 1);
}

TEST(UnitTableFile, RoundTripKeepsNamesImagesStepBytesAndValues) {
    Module m = sampleModule();
    UnitStepBytes steps(34, 0);
    steps[1] = 3;
    steps[2] = -1;
    steps[33] = -128;
    const Bytes table = buildUnitTable(m, steps);

    Module back = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    UnitStepBytes backSteps;
    EXPECT_EQ(readUnitTable(table, back, backSteps), 33);
    ASSERT_EQ(backSteps.size(), 34u);
    for (int u = 1; u <= 33; ++u) {
        EXPECT_EQ(back.units[u].name, m.units[u].name) << u;
        EXPECT_EQ(back.units[u].stepImage, m.units[u].stepImage) << u;
        EXPECT_EQ(back.units[u].values, m.units[u].values) << u;
        EXPECT_EQ(backSteps[u], steps[u]) << u;
    }
}

TEST(UnitTableFile, SpreadsheetTablesLoadTheSameWay) {
    // Tabs and LF, no padding, numbers without leading zeros, a negative
    // value: each line's last value stays with its unit.
    const std::string tabs =
        "Blue 1 Inf\t1\t2\t0\t0\t0\t0\t0\t7\t12\t255\t0\t0\t0\tY\t3\t6\t4\t0\t0\t0\tN\t0\t0\t0\t0"
        "\t0\t0\tN\t0\t0\t0\t0\t0\t0\tN\t0\t0\t0\t0\t0\t0\tN\t0\t0\t0\t0\t0\t0\n"
        "Red HQ\t45\t123\t1000\t0\t0\t0\t-1\t-5\t99\t0\t0\t0\t1\tY\t0\t0\t0\t0\t0\t0\tY\t0\t0\t0"
        "\t0\t0\t9\tN\t0\t0\t0\t0\t0\t0\tN\t0\t0\t0\t0\t0\t0\tN\t0\t0\t0\t0\t0\t7\n";
    Module m = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    m.units[3].name = "kept";
    UnitStepBytes steps;
    EXPECT_EQ(readUnitTable(bytesOf(tabs), m, steps), 2);
    const Module want = sampleModule();
    for (int u : {1, 2}) {
        EXPECT_EQ(m.units[u].name, want.units[u].name);
        EXPECT_EQ(m.units[u].stepImage, want.units[u].stepImage);
    }
    EXPECT_EQ(m.units[1].values, want.units[1].values);
    EXPECT_EQ(m.units[2].values[0], want.units[2].values[0]);
    EXPECT_EQ(m.units[2].values[5][5], 7);  // values of an unused step still load
    EXPECT_EQ(steps[2], -1);
    EXPECT_EQ(m.units[3].name, "kept");

    // Comma-separated with CR LF and a final line without its line end.
    const std::string csv =
        "A,5,0,0,0,0,0,2,1,2,3,4,5,6\r\n"
        "B,6,7,0,0,0,0,-2,9,9,9,9,9,9,Y,8,8,8,8,8,8,\r\n"
        "C,8";
    EXPECT_EQ(readUnitTable(bytesOf(csv), m, steps), 3);
    EXPECT_EQ(m.units[1].name, "A");
    EXPECT_EQ(m.units[1].values[0], (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(m.units[2].name, "B");  // not "9B" nor "8B"
    EXPECT_EQ(m.units[2].stepImage[1], 7);
    EXPECT_EQ(m.units[2].values[1], (std::array<std::uint8_t, 6>{8, 8, 8, 8, 8, 8}));
    EXPECT_EQ(steps[2], -2);
    EXPECT_EQ(m.units[3].name, "C");
    EXPECT_EQ(m.units[3].stepImage[0], 8);
}

TEST(UnitTableFile, ShortTablesChangeOnlyWhatTheyHold) {
    Module m = sampleModule();
    UnitStepBytes steps(34, 4);
    // One unit, and of it only the name and the first two images.
    EXPECT_EQ(readUnitTable(bytesOf("Green,009,010\r\n"), m, steps), 1);
    EXPECT_EQ(m.units[1].name, "Green");
    EXPECT_EQ(m.units[1].stepImage, (std::array<std::uint16_t, 6>{9, 10, 0, 0, 0, 0}));
    EXPECT_EQ(m.units[1].values[0][0], 7);
    EXPECT_EQ(steps[1], 4);
    EXPECT_EQ(m.units[2].name, "Red HQ");
    EXPECT_EQ(steps[2], 4);
    // An empty file changes nothing at all.
    EXPECT_EQ(readUnitTable({}, m, steps), 0);
    EXPECT_EQ(m.units[1].name, "Green");
}

TEST(UnitTableFile, NamesAreCutAt36AndExtraRecordsIgnored) {
    Module m = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    const std::string name(40, 'N');
    std::string text;
    for (int u = 1; u <= 40; ++u) text += slot(name + ",002");
    UnitStepBytes steps;
    EXPECT_EQ(readUnitTable(bytesOf(text), m, steps), 33);
    EXPECT_EQ(m.units[1].name, std::string(36, 'N'));
    EXPECT_EQ(m.units[33].stepImage[0], 2);
    EXPECT_EQ(m.units[0].name, "");  // the spare unit is never written
    EXPECT_EQ(m.units.size(), 34u);
    // Trailing blanks are not part of a name.
    readUnitTable(bytesOf("Tank   ,1\n"), m, steps);
    EXPECT_EQ(m.units[1].name, "Tank");
}

// A spreadsheet's table with blank lines, damaged lines, values out of
// range and a comma in a name: every good record lands on its own unit, and
// one message says what was passed over.
TEST(UnitTableFile, BlankAndDamagedLinesTakeNoUnitsPlace) {
    Module m = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    const auto before = m.units[2].stepImage;
    UnitStepBytes steps;
    const std::string text =
        "1st Bn, 5th Regt\t5\t0\t0\t0\t0\t0\t-200\t150\t-3\t300\t244\r\n"
        "\r\n"
        "\x01\x02X\tgarbage\r\n"
        "Guards\t7\tlots\r\n"
        " \0 \n"
        "Tanks\t70000\t-1\t3\r\n"s;
    TableReading r;
    EXPECT_EQ(readUnitTable(bytesOf(text), m, steps, &r), 2);
    EXPECT_EQ(m.units[1].name, "1st Bn, 5th Regt");
    EXPECT_EQ(m.units[1].stepImage[0], 5);
    EXPECT_EQ(steps[1], -128);
    EXPECT_EQ(m.units[1].values[0], (std::array<std::uint8_t, 6>{99, 253, 99, 244, 0, 0}));
    EXPECT_EQ(m.units[2].name, "Tanks");
    EXPECT_EQ(m.units[2].stepImage[0], before[0]);  // 70000 and -1 are no picture numbers
    EXPECT_EQ(m.units[2].stepImage[1], before[1]);
    EXPECT_EQ(m.units[2].stepImage[2], 3);
    EXPECT_EQ(m.units[3].name, "");
    EXPECT_EQ(tableReadingText(r, true),
              "2 units read from the table.\n"
              "2 lines were not a record and passed over (nothing moved up in its place): "
              "lines 3, 4.\n"
              "3 values were outside -99 to 99 (a step byte outside -128 to 127) and brought "
              "into range.\n"
              "2 image numbers were outside 0 to 65,024 and not taken: those steps keep their "
              "pictures.");
}

TEST(UnitTableFile, FileMessages) {
    const test::TempFolder folder("qmx_unittable");
    const std::string dir = folder.path().string();
    Module m = sampleModule();
    const std::string path = dir + "/units.txt";
    ASSERT_EQ(saveUnitTableFile(path, m, {}), 0);
    ASSERT_EQ(saveUnitTableFile(path, m, {}), 0);  // replaces the file
    Module back = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    UnitStepBytes steps;
    const TableLoad load = loadUnitTableFile(path, back, steps);
    EXPECT_EQ(load.message, 0);
    EXPECT_EQ(load.lines, 33);
    EXPECT_EQ(back.units[2].name, "Red HQ");
    EXPECT_EQ(loadUnitTableFile(dir + "/missing.txt", back, steps).message,
              editormsg::kCouldNotOpenFile);
    EXPECT_EQ(saveUnitTableFile(dir + "/no/such/folder/units.txt", m, {}),
              editormsg::kCouldNotOpenFile);
    EXPECT_EQ(saveUnitTableFile(dir, m, {}), editormsg::kCouldNotOpenFile);
}

TEST(TableFileText, TheSeparatorIsTheFirstLinesOwn) {
    EXPECT_EQ(tableSeparator(bytesOf("\r\n \nA\t1,2\n")), '\t');
    EXPECT_EQ(tableSeparator(bytesOf("A,1\tB\n")), '\t');
    // A tab inside a quoted name, as this program writes it, is part of the name.
    EXPECT_EQ(tableSeparator(bytesOf("\"Old\tGuard\",1,2\nB\t3\n")), ',');
    EXPECT_EQ(tableSeparator({}), ',');
}

TEST(TableFileText, SaveNames) {
    EXPECT_EQ(tableSaveName("units"), "units.txt");
    EXPECT_EQ(tableSaveName("units.csv"), "units.txt");
    EXPECT_EQ(tableSaveName("units.TXT"), "units.TXT");
    EXPECT_EQ(tableSaveName("my.units"), "my.units.txt");
}

TEST(TableFileText, LinesAndFields) {
    const std::string text = "a,b,\r\nc\rd\n\ne,,f\0\0\0"s;
    const Bytes data = bytesOf(text);
    TableLines lines(data);
    std::vector<std::string> seen;
    for (std::string_view line; lines.next(line);) seen.emplace_back(line);
    EXPECT_EQ(seen, (std::vector<std::string>{"a,b,", "c", "d", "", "e,,f\0\0\0"s}));
    EXPECT_EQ(splitTableFields("a,b,", ",", 10, 10), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(splitTableFields("a,,b", ",", 10, 10), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(splitTableFields("a,,", ",", 10, 10), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(splitTableFields(",", ",", 10, 10), (std::vector<std::string>{""}));
    EXPECT_EQ(splitTableFields("", ",", 10, 10), (std::vector<std::string>{}));
    EXPECT_EQ(splitTableFields("abcdef|g", "|", 10, 3), (std::vector<std::string>{"abc", "g"}));
    EXPECT_EQ(splitTableFields("a,b,c", ",", 2, 10), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(tableNumber(" 42x"), 42);
    EXPECT_EQ(tableNumber("-007"), -7);
    EXPECT_EQ(tableNumber(""), 0);
    EXPECT_EQ(tableNumber("Y"), 0);
}
