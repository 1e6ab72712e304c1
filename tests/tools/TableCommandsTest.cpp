#include <gtest/gtest.h>

#include <filesystem>

#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "tests/tools/ToolTestSupport.h"

using namespace qmx;
using namespace qmx::tool;
using namespace qmx::tool::test;

namespace {

class TableCommands : public ToolFolderTest {
protected:
    static Module sample() {
        Module m = Module::createEmpty(4, 3, GridOrientation::RowsAligned, 33);
        m.moduleId = {1, 2, 3};
        m.units[1].name = "Blue 1 Inf";
        m.units[1].stepImage = {1, 2, 0, 0, 0, 0};
        m.units[1].values[0] = {7, 12, 255, 0, 0, 0};
        m.decks[1].name = "Events";
        m.decks[1].cardCount = 1;
        m.decks[1].cards[1] = {1, "Ambush!"};
        return m;
    }

    Module reload(const std::string& name) {
        ModuleLoad load = loadModuleFile(path(name), ModuleReader::Editor);
        EXPECT_TRUE(load.ok);
        return load.module;
    }
};

}  // namespace

TEST_F(TableCommands, UnitTableExportIsTheEditorsBytes) {
    write("m.qm4", sample());
    const ToolRun r = run({"unit-table", "export", path("m.qm4"), path("units.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "33 units written to " + path("units.txt") + "\n");
    const Bytes table = read("units.txt");
    ASSERT_EQ(table.size(), 33u * 184u);
    const std::string first(table.begin(), table.begin() + 184);
    const std::string line =
        "Blue 1 Inf,001,002,000,000,000,000,000,07,12,255,00,00,00,Y,00,00,00,00,00,00"
        ",N,00,00,00,00,00,00,N,00,00,00,00,00,00,N,00,00,00,00,00,00,N,00,00,00,00,00,00\r\n";
    EXPECT_EQ(first.substr(0, line.size()), line);
    EXPECT_EQ(first.substr(line.size()), std::string(184 - line.size(), '\0'));
}

TEST_F(TableCommands, UnitTableImportWritesTheModuleWithABackup) {
    write("m.qm4", sample());
    const Bytes before = read("m.qm4");
    write("units.txt", Bytes{'T', 'a', 'n', 'k', ',', '9', '\n', 'J', 'e', 'e', 'p'});
    const ToolRun r = run({"unit-table", "import", path("m.qm4"), path("units.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2 of 33 units read"), std::string::npos) << r.out;
    EXPECT_EQ(read("m.qm4.bak"), before);
    const Module m = reload("m.qm4");
    EXPECT_EQ(m.units[1].name, "Tank");
    EXPECT_EQ(m.units[1].stepImage[0], 9);
    EXPECT_EQ(m.units[1].stepImage[1], 2);  // fields the line lacks are kept
    EXPECT_EQ(m.units[2].name, "Jeep");
    EXPECT_EQ(m.moduleId, (std::array<std::uint8_t, 3>{1, 2, 3}));
    EXPECT_EQ(m.decks[1].cards[1].text, "Ambush!");  // card texts survive
}

TEST_F(TableCommands, NameTableRoundTrip) {
    write("m.qm4", sample());
    ToolRun r = run({"name-table", "export", path("m.qm4"), path("names.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "12 hex names (4 x 3) written to " + path("names.txt") + "\n");
    std::string expected =
        "0101,0201,0301,0401,\r\n0102,0202,0302,0402,\r\n"
        "0103,0203,0303,0403,\r\n";
    expected.resize(4 * 3 * 40, '\0');
    const Bytes table = read("names.txt");
    EXPECT_EQ(std::string(table.begin(), table.end()), expected);

    write("names.txt", Bytes{'a', ',', 'b', '\t', 'c', '|', 'd', '\n', 'e', ','});
    r = run({"name-table", "import", path("m.qm4"), path("names.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2 of 3 rows read"), std::string::npos) << r.out;
    const Module m = reload("m.qm4");
    EXPECT_EQ(m.hex(4, 1).name, "d");
    EXPECT_EQ(m.hex(1, 2).name, "e");
    EXPECT_EQ(m.hex(2, 2).name, "");
    EXPECT_EQ(m.hex(1, 3).name, "");
}

TEST_F(TableCommands, CoordinatesNameTheModule) {
    write("m.qm4", sample());
    ToolRun r = run({"coordinates", path("m.qm4"), "--system", "12", "--origin", "1,2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "qmxtool: Error: Hex A1 moved one hex to the right.\n");
    EXPECT_NE(r.out.find("system 12 from hex 2,2: 7 hexes named"), std::string::npos) << r.out;
    Module m = reload("m.qm4");
    EXPECT_EQ(m.hex(2, 2).name, "A1");
    EXPECT_EQ(m.hex(4, 2).name, "A3");
    EXPECT_EQ(m.hex(1, 3).name, "B1");
    EXPECT_EQ(m.hex(1, 1).name, "0101");

    r = run({"coordinates", path("m.qm4"), "--system", "19", "--origin", "4,1", "--row-a", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    m = reload("m.qm4");
    EXPECT_EQ(m.hex(4, 3).name, "A2");  // floor((3 - 1) / 2) + 1
    EXPECT_EQ(m.hex(4, 1).name, "C1");
}

TEST_F(TableCommands, BadCommandLinesAndFiles) {
    write("m.qm4", sample());
    const Bytes before = read("m.qm4");
    EXPECT_EQ(run({"unit-table", "send", path("m.qm4"), path("u.txt")}).status, kExitUsage);
    EXPECT_EQ(run({"coordinates", path("m.qm4"), "--origin", "1,1"}).status, kExitUsage);
    EXPECT_EQ(run({"coordinates", path("m.qm4"), "--system", "20", "--origin", "1,1"}).status,
              kExitUsage);
    EXPECT_EQ(run({"coordinates", path("m.qm4"), "--system", "19", "--origin", "1,1"}).status,
              kExitUsage);
    EXPECT_EQ(run({"coordinates", path("m.qm4"), "--system", "1", "--origin", "11"}).status,
              kExitUsage);
    ToolRun r = run({"coordinates", path("m.qm4"), "--system", "1", "--origin", "5,1"});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("not on the map (4 x 3)"), std::string::npos) << r.err;
    r = run({"unit-table", "import", path("m.qm4"), path("missing.txt")});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("Could not open file!"), std::string::npos) << r.err;
    r = run({"name-table", "export", path("m.qm4"), path("no/folder/n.txt")});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("Could not open file!"), std::string::npos) << r.err;
    // System 18 without row A names nothing and leaves the file alone.
    r = run({"coordinates", path("m.qm4"), "--system", "18", "--origin", "2,2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("is unchanged"), std::string::npos) << r.out;
    EXPECT_EQ(read("m.qm4"), before);
    EXPECT_FALSE(std::filesystem::exists(path("m.qm4.bak")));
}
