// Tables as LibreOffice Calc writes them (tests/editor/units/data/README).
#include <gtest/gtest.h>

#include <string>

#include "core/edit/NameTableFile.h"
#include "core/edit/TableFileText.h"
#include "core/edit/UnitTableFile.h"

using namespace qmx;

namespace {

const std::string kData = QMX_TABLE_DATA;

void expectSampleUnits(const std::string& file) {
    SCOPED_TRACE(file);
    Module m = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
    m.units[4].name = "kept";
    UnitStepBytes steps;
    const TableLoad load = loadUnitTableFile(kData + "/" + file, m, steps);
    EXPECT_EQ(load.message, 0);
    EXPECT_EQ(load.lines, 3);
    EXPECT_EQ(m.units[1].name, "Blue 1 Inf");
    EXPECT_EQ(m.units[1].stepImage, (std::array<std::uint16_t, 6>{1, 2, 0, 0, 0, 0}));
    EXPECT_EQ(m.units[1].values[0], (std::array<std::uint8_t, 6>{7, 12, 255, 0, 0, 0}));
    EXPECT_EQ(m.units[1].values[1], (std::array<std::uint8_t, 6>{3, 6, 4, 0, 0, 0}));
    EXPECT_EQ(m.units[2].name, "Red HQ");
    EXPECT_EQ(m.units[2].stepImage, (std::array<std::uint16_t, 6>{45, 123, 1000, 0, 0, 0}));
    EXPECT_EQ(steps[2], -1);
    EXPECT_EQ(m.units[2].values[0], (std::array<std::uint8_t, 6>{251, 99, 0, 0, 0, 1}));
    EXPECT_EQ(m.units[2].values[2][5], 9);
    EXPECT_EQ(m.units[3].name, "Green Recon Coy");
    EXPECT_EQ(steps[3], 2);
    EXPECT_EQ(m.units[3].values[5][5], 7);  // the last value of the file
    EXPECT_EQ(m.units[4].name, "kept");
}

void expectSampleNames(const std::string& file) {
    SCOPED_TRACE(file);
    Module m = Module::createEmpty(4, 3, GridOrientation::RowsAligned, 33);
    const TableLoad load = loadNameTableFile(kData + "/" + file, m);
    EXPECT_EQ(load.message, 0);
    EXPECT_EQ(load.lines, 3);
    EXPECT_EQ(m.hex(1, 1).name, "A1");
    EXPECT_EQ(m.hex(4, 1).name, "D1");
    EXPECT_EQ(m.hex(1, 2).name, "A2");
    EXPECT_EQ(m.hex(4, 2).name, "D2");
    EXPECT_EQ(m.hex(1, 3).name, "River Ford");
    EXPECT_EQ(m.hex(2, 3).name, "");
    EXPECT_EQ(m.hex(3, 3).name, "C3 Town");
    EXPECT_EQ(m.hex(4, 3).name, "D3");
}

}  // namespace

TEST(SpreadsheetTable, UnitTablesFromCalcLoad) {
    for (const char* file :
         {"typed-units.csv", "calc-units.csv", "calc-units-tab.txt", "calc-units-quoted.csv"})
        expectSampleUnits(file);
}

TEST(SpreadsheetTable, NameTablesFromCalcLoad) {
    for (const char* file : {"typed-names.csv", "calc-names.csv", "calc-names-tab.txt"})
        expectSampleNames(file);
}

TEST(SpreadsheetTable, QuotedFields) {
    const auto split = [](std::string_view line) { return splitTableFields(line, ",", 10, 36); };
    using Fields = std::vector<std::string>;
    EXPECT_EQ(split(R"("Blue, 1 Inf",007)"), (Fields{"Blue, 1 Inf", "007"}));
    EXPECT_EQ(split(R"("The ""Old"" Guard",1)"), (Fields{R"(The "Old" Guard)", "1"}));
    EXPECT_EQ(split(R"("",2)"), (Fields{"", "2"}));
    // A quote that does not close a whole field is part of the text.
    EXPECT_EQ(split(R"("Ace" Bde,3)"), (Fields{R"("Ace" Bde)", "3"}));
    EXPECT_EQ(split(R"("open,4)"), (Fields{R"("open)", "4"}));
    EXPECT_EQ(split(R"(Big "Red",5)"), (Fields{R"(Big "Red")", "5"}));
}

TEST(SpreadsheetTable, NamesHoldingSeparatorsAreQuotedAndReadBackWhole) {
    EXPECT_EQ(tableTextField("Blue 1 Inf", ",\t"), "Blue 1 Inf");
    EXPECT_EQ(tableTextField("Blue, 1st", ",\t"), "\"Blue, 1st\"");
    EXPECT_EQ(tableTextField("\"Old\" Guard", ",\t"), "\"\"\"Old\"\" Guard\"");
    EXPECT_EQ(tableTextField("Big \"Red\"", ",\t"), "Big \"Red\"");
    EXPECT_EQ(tableTextField("a\r\nb", ",\t"), "a  b");

    Module m = Module::createEmpty(3, 1, GridOrientation::RowsAligned, 33);
    m.units[1].name = "Blue, 1st";
    m.units[2].name = "\"Old\" Guard\t2";
    m.hex(1, 1).name = "Ford|North";
    m.hex(2, 1).name = "\"X\"";
    m.hex(3, 1).name = "a,b";
    Module back = Module::createEmpty(3, 1, GridOrientation::RowsAligned, 33);
    UnitStepBytes steps;
    readUnitTable(buildUnitTable(m, {}), back, steps);
    readNameTable(buildNameTable(m), back);
    EXPECT_EQ(back.units[1].name, "Blue, 1st");
    EXPECT_EQ(back.units[2].name, "\"Old\" Guard\t2");
    EXPECT_EQ(back.units[1].stepImage[0], 1);
    EXPECT_EQ(back.hex(1, 1).name, "Ford|North");
    EXPECT_EQ(back.hex(2, 1).name, "\"X\"");
    EXPECT_EQ(back.hex(3, 1).name, "a,b");
}
