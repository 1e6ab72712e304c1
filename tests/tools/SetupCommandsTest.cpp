#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "tests/tools/ToolTestSupport.h"

using namespace qmx;
using namespace qmx::tool;
using namespace qmx::tool::test;

namespace {

class SetupCommands : public ToolFolderTest {
protected:
    // 30 x 40 hexes named "0101".."3040", units "Unit 1".."Unit 300".
    std::string module() {
        Module m = Module::createEmpty(30, 40, GridOrientation::RowsAligned, 300);
        m.moduleId = {4, 5, 6};
        for (int u = 1; u <= 300; ++u)
            m.units[static_cast<std::size_t>(u)].name = "Unit " + std::to_string(u);
        return write("m.qm4", m);
    }
    std::string text(const std::string& name) const {
        const Bytes b = read(name);
        return {b.begin(), b.end()};
    }
};

}  // namespace

TEST_F(SetupCommands, PlacesThreeHundredUnitsFromAPythonCsvTableAsThePositionReportTells) {
    const std::string m = module();
    const std::string script = std::string(QMX_TOOL_DATA) + "/setup-table.py";
    const std::string command =
        "python3 '" + script + "' '" + path("setup.csv") + "' '" + path("expected.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    ToolRun r = run({"setup", m, path("setup.csv"), "-o", path("setup")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("300 units placed on ")) << r.out;
    EXPECT_TRUE(r.out.ends_with(" hexes.\n" + path("setup.qms") + " written\n")) << r.out;

    r = run({"report", "positions", m, path("setup.qms"), "-o", path("report.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    // "Unit 7        0712" per unit, lines ended by CR LF and a blank.
    std::map<std::string, std::string> reported, expected;
    std::istringstream report(text("report.txt"));
    for (std::string line; std::getline(report, line, '\n');) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.front() == ' ') line.erase(0, 1);
        const auto gap = line.find("        ");
        if (gap != std::string::npos) reported[line.substr(0, gap)] = line.substr(gap + 8);
    }
    std::istringstream table(text("expected.txt"));
    for (std::string line; std::getline(table, line);)
        expected[line.substr(0, line.find('\t'))] = line.substr(line.find('\t') + 1);
    EXPECT_EQ(expected.size(), 300u);
    EXPECT_EQ(reported, expected);
}

TEST_F(SetupCommands, ReportsRefusedLinesAndStrictWritesNothing) {
    const std::string m = module();
    const std::string bad = "Unit 1,0101\nUnit 999,0101\nUnit 2,9999\n";
    write("bad.csv", Bytes(bad.begin(), bad.end()));
    ToolRun r = run({"setup", m, path("bad.csv"), "-o", path("s.qms"), "--strict"});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_EQ(r.out,
              "line 2: no unit named \"Unit 999\"\n"
              "line 3: no hex named \"9999\"\n"
              "1 unit placed on 1 hex; 2 lines placed nothing; 299 units no line names stay on "
              "hex 1,1.\n");
    EXPECT_NE(r.err.find("2 lines reported; nothing written"), std::string::npos) << r.err;
    EXPECT_TRUE(read("s.qms").empty());
    r = run({"setup", m, path("bad.csv"), "-o", path("s.qms")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(read("s.qms").empty());
    EXPECT_EQ(run({"setup", m, path("bad.csv")}).status, kExitUsage);
}
