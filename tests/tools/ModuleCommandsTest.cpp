#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/ModuleGraphics.h"
#include "tests/tools/ToolTestSupport.h"

using namespace qmx;
using namespace qmx::tool;
using namespace qmx::tool::test;

namespace {

// A failure is exactly one line on the error stream, starting "qmxtool: ".
void expectOneErrorLine(const ToolRun& r, int status, const std::string& contains) {
    EXPECT_EQ(r.status, status);
    EXPECT_TRUE(r.err.starts_with("qmxtool: ")) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(contains), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

class ModuleCommands : public ToolFolderTest {
protected:
    // A module with something in every field the commands show.
    static Module sample() {
        Module m = Module::createEmpty(30, 20, GridOrientation::ColumnsAligned, 40);
        m.moduleId = {12, 0, 254};
        m.authorNotes = "Line one\r\nLine two";
        m.valueNames = {"Att", "Def", "Mov", "", "Cost", "Q\xE9"};  // 0xE9: e acute in Latin-1
        m.setTotalMode(0, TotalMode::Total);
        m.setTotalMode(1, TotalMode::Lowest);
        m.setTotalMode(2, TotalMode::Highest);
        m.setTotalMode(3, TotalMode::NotComputed);
        m.units[1].name = "1/502 Inf";
        m.units[1].stepImage = {5, 255, 300, 0, 0, 0};
        m.units[1].values[0] = {1, 2, 3, 4, 5, 6};
        m.units[1].values[1] = {10, 11, 12, 13, 14, 15};
        m.units[1].values[2][5] = 0x9D;  // -99 as the editor stores it
        m.units[2].name = "Tank";
        m.units[2].stepImage = {7, 0, 9, 0, 0, 0};  // step 3 without step 2: not in use
        m.decks[2].name = "Events";
        m.decks[2].cardCount = 2;
        m.decks[2].cards[1] = {1, "Ambush!\r\nPlay before combat."};
        m.decks[2].cards[2] = {1,
                               "bell\x07"
                               "here"};
        m.decks[7].cardCount = 1;
        m.decks[7].cards[1] = {1, "x"};
        m.decks[9].name = "Unused";  // a name but no cards: not in use
        return m;
    }
};

}  // namespace

TEST(QmxTool, HelpAndUsageErrors) {
    ToolRun help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* name : {"info MODULE", "units MODULE", "card MODULE DECK CARD",
                             "unit-image MODULE N -o FILE.png [--step S]"})
        EXPECT_NE(help.out.find(name), std::string::npos) << name;
    EXPECT_NE(help.out.find("151 to 160"), std::string::npos);
    EXPECT_EQ(run({"-h"}).out, help.out);

    ToolRun one = run({"card", "--help"});
    EXPECT_EQ(one.status, 0);
    EXPECT_TRUE(one.out.starts_with("usage: qmxtool card MODULE DECK CARD")) << one.out;

    expectOneErrorLine(run({}), kExitUsage, "no command");
    expectOneErrorLine(run({"frobnicate"}), kExitUsage, "unknown command \"frobnicate\"");
    expectOneErrorLine(run({"info"}), kExitUsage, "usage: qmxtool info MODULE");
    expectOneErrorLine(run({"info", "a", "b"}), kExitUsage, "too many arguments");
    expectOneErrorLine(run({"info", "--bogus", "a"}), kExitUsage, "unknown option --bogus");
    expectOneErrorLine(run({"card", "m.qm4", "21", "1"}), kExitUsage, "DECK must be from 1 to 20");
    expectOneErrorLine(run({"card", "m.qm4", "1", "0"}), kExitUsage, "CARD must be from 1 to 250");
    expectOneErrorLine(run({"card", "m.qm4", "1x", "1"}), kExitUsage, "DECK must be a number");
    expectOneErrorLine(run({"card", "m.qm4", "-1", "1"}), kExitUsage, "DECK must be from 1");
}

TEST(QmxTool, ArgumentParsing) {
    Command c{"x", "A [B]", "", {{"-o", true}, {"--step", true}, {"--raw", false}}, 1, 2, {}};
    Arguments a = parseArguments(c, {"-o", "out.png", "m", "--step=3", "--raw", "--", "-o"});
    EXPECT_EQ(a.positional, (std::vector<std::string>{"m", "-o"}));
    EXPECT_EQ(a.value("-o"), "out.png");
    EXPECT_EQ(a.value("--step"), "3");
    EXPECT_TRUE(a.has("--raw"));
    EXPECT_FALSE(a.value("--nothing"));
    EXPECT_EQ(parseArguments(c, {"m", "--step", "1", "--step", "2"}).value("--step"), "2");
    EXPECT_THROW(parseArguments(c, {"m", "-o"}), UsageError);
    EXPECT_THROW(parseArguments(c, {"m", "--raw=1"}), UsageError);
    EXPECT_THROW(parseArguments(c, {}), UsageError);
    EXPECT_THROW(parseArguments(c, {"a", "b", "c"}), UsageError);
    EXPECT_EQ(parseNumber("250", "N", 1, 250), 250);
    EXPECT_THROW(parseNumber("", "N", 1, 250), UsageError);
    EXPECT_THROW(parseNumber("99999999999", "N", 1, 250), UsageError);
    EXPECT_THROW(parseNumber(" 5", "N", 1, 250), UsageError);
}

TEST(QmxTool, DisplayTextIsSafeForATerminal) {
    EXPECT_EQ(displayText("a\r\nb\nc\rd", true), "a\nb\nc\nd");
    EXPECT_EQ(displayText("a\r\nb", false), "a | b");
    EXPECT_EQ(displayText("\x1B[2J\x7F\x92\tx"), "\\x1B[2J\\x7F\\x92\tx");
    EXPECT_EQ(displayText("caf\xE9 \xFF"), "caf\xC3\xA9 \xC3\xBF");
    EXPECT_EQ(displayWidth(displayText("caf\xE9")), 4u);
}

TEST_F(ModuleCommands, InfoShowsEveryModuleWideValue) {
    const std::string path = write("Sample.qm4", sample());
    ToolRun r = run({"info", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Module m = sample();
    const std::string expected =
        "Module:       " + path +
        "\n"
        "Identity:     12 0 254\n"
        "Version:      156\n"
        "Size:         30 x 20 hexes (columns x rows)\n"
        "Orientation:  Hexes in line with side edge\n"
        "Units:        40\n"
        "Values:\n"
        "  1  Att       Total\n"
        "  2  Def       Lowest\n"
        "  3  Mov       Highest\n"
        "  4  (no name) Not computed\n"
        "  5  Cost      Lowest\n"
        "  6  Q\xC3\xA9        Lowest\n"
        "Image sheet:  " +
        std::to_string(m.imageRows) + " rows x " + std::to_string(m.imagesPerRow) +
        " per row = " + std::to_string(m.imageCapacity()) + " images; MapTop " +
        std::to_string(m.mapTop) + "; overview " + std::to_string(m.overviewWidth) + " x " +
        std::to_string(m.overviewHeight) +
        "\n"
        "Decks:        2 in use\n"
        "   2  Events                2 cards\n"
        "   7  (no name)             1 card\n"
        "Notes:\n"
        "  Line one\n"
        "  Line two\n";
    EXPECT_EQ(r.out, expected);

    Module bare = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33);
    ToolRun b = run({"info", write("Bare.qm4", bare)});
    ASSERT_EQ(b.status, 0);
    EXPECT_NE(b.out.find("Identity:     none (0 0 0)\n"), std::string::npos);
    EXPECT_NE(b.out.find("Orientation:  Hexes in line with top edge\n"), std::string::npos);
    EXPECT_NE(b.out.find("Decks:        none in use\n"), std::string::npos);
    EXPECT_TRUE(b.out.ends_with("Notes:        (none)\n"));
}

TEST_F(ModuleCommands, ModulesThePlayerCannotReadAreRefusedWithItsMessages) {
    Bytes good = serializeModule(sample());
    Bytes old = good;
    old[6] = 150;
    expectOneErrorLine(run({"info", write("Old.qm4", old)}), kExitFailure,
                       "older QMX module format, which the player cannot read");
    expectOneErrorLine(run({"units", write("Old.qm4", old)}), kExitFailure,
                       "(module version 150; the player reads 151 to 160)");
    Bytes newer = good;
    newer[6] = 161;
    expectOneErrorLine(run({"card", write("New.qm4", newer), "2", "1"}), kExitFailure,
                       "Sorry, this module is from a newer version of QMX.");
    Bytes v151 = good;  // no reserved block: cut it out
    v151[6] = 151;
    v151.erase(v151.begin() + 580, v151.begin() + 580 + 429);
    EXPECT_EQ(run({"info", write("V151.qm4", v151)}).status, 0);

    const std::string missing = (m_dir / "Missing.qm4").string();
    expectOneErrorLine(run({"info", missing}), kExitFailure, missing + ": Could not open file!");
    expectOneErrorLine(run({"units", m_dir.path().string()}), kExitFailure, "Could not open file!");
    Bytes cut(good.begin(), good.begin() + 3000);
    expectOneErrorLine(run({"info", write("Cut.qm4", cut)}), kExitFailure, "damaged");
    Bytes empty;
    expectOneErrorLine(run({"info", write("Empty.qm4", empty)}), kExitFailure, "damaged");
}

TEST_F(ModuleCommands, UnitsListStepsInUseWithImagesAndValues) {
    ToolRun r = run({"units", write("Sample.qm4", sample())});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[0],
              " 1  1/502 Inf  step 1 image 5 values 1 2 3 4 5 6"
              " | step 2 image 255 values 10 11 12 13 14 15"
              " | step 3 image 300 values 0 0 0 0 0 -99");
    EXPECT_EQ(lines[1], " 2  Tank       step 1 image 7 values 0 0 0 0 0 0");
    EXPECT_EQ(lines[39], "40  (no name)  step 1 image 1 values 0 0 0 0 0 0");

    // A count below 33 is raised: the added units have no name and no image.
    Bytes few = serializeModule(Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33));
    few[511] = 3;
    few.resize(few.size() - 30 * 84 - 400);
    few.insert(few.end(), 400, 0);
    ToolRun f = run({"units", write("Few.qm4", few)});
    ASSERT_EQ(f.status, 0) << f.err;
    EXPECT_NE(f.out.find(" 3  (no name)  step 1 image 1 values"), std::string::npos);
    EXPECT_NE(f.out.find("33  (no name)  step 1 image 0 values"), std::string::npos);
}

TEST_F(ModuleCommands, CardTextsComeFromTheModuleFile) {
    const std::string path = write("Sample.qm4", sample());
    ToolRun r = run({"card", path, "2", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Ambush!\nPlay before combat.\n");
    ToolRun raw = run({"card", path, "2", "1", "--raw"});
    EXPECT_EQ(raw.out, "Ambush!\r\nPlay before combat.");
    EXPECT_EQ(run({"card", path, "2", "2"}).out, "bell\\x07here\n");
    EXPECT_EQ(run({"card", path, "7", "1"}).out, "x\n");

    expectOneErrorLine(run({"card", path, "2", "3"}), kExitFailure,
                       "deck 2 (Events) has 2 cards, so no card 3");
    expectOneErrorLine(run({"card", path, "9", "1"}), kExitFailure, "deck 9 (Unused) has 0 cards");

    // In use but never stored, and an empty card.
    Module m = sample();
    m.decks[2].cards[2] = {};
    m.decks[7].cards[1] = {4, ""};
    const std::string other = write("Other.qm4", m);
    expectOneErrorLine(run({"card", other, "2", "2"}), kExitFailure,
                       "card 2 of deck 2 has no text in the module");
    ToolRun empty = run({"card", other, "7", "1"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "");
}

TEST_F(ModuleCommands, UnitImageCutsTheStepsPictureFromTheModuleImage) {
    Module m = sample();
    m.units[1].stepImage = {5, 30, 900, 0, 0, 0};  // 900 lies beyond the sheet
    m.units[3].stepImage = {0, 0, 0, 0, 0, 0};
    ModuleGraphics graphics = ModuleGraphics::createBlank(m);
    ASSERT_GT(m.imageCapacity(), 30);
    ASSERT_LT(m.imageCapacity(), 900);
    const auto paint = [&](int k, QRgb colour, QRgb corner) {
        const PixelRect r = unitImageRect(m, k);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x) graphics.image().setPixel(r.x + x, r.y + y, colour);
        graphics.image().setPixel(r.x, r.y, corner);
    };
    paint(5, qRgb(200, 0, 0), qRgb(0, 0, 200));
    paint(30, qRgb(0, 200, 0), qRgb(0, 0, 200));
    const std::string path = write("Sample.qm4", m);
    ASSERT_TRUE(graphics.save(path).ok());

    const std::string out = (m_dir / "unit.png").string();
    ToolRun r = run({"unit-image", path, "1", "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "unit 1 step 1: image 5 (40 x 40) written to " + out + "\n");
    QImage picture(QString::fromStdString(out));
    ASSERT_EQ(picture.size(), QSize(40, 40));
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 200));
    EXPECT_EQ(picture.pixel(39, 39), qRgb(200, 0, 0));

    ASSERT_EQ(run({"unit-image", "--step", "2", path, "1", "-o", out}).status, 0);
    EXPECT_EQ(QImage(QString::fromStdString(out)).pixel(39, 0), qRgb(0, 200, 0));

    expectOneErrorLine(run({"unit-image", path, "1", "--step=3", "-o", out}), kExitFailure,
                       "unit image 900 is not in the image");
    expectOneErrorLine(run({"unit-image", path, "2", "--step", "3", "-o", out}), kExitFailure,
                       "unit 2 has no step 3 (its last step is 1)");
    expectOneErrorLine(run({"unit-image", path, "3", "-o", out}), kExitFailure,
                       "unit 3 has no image for step 1");
    expectOneErrorLine(run({"unit-image", path, "41", "-o", out}), kExitFailure,
                       "there is no unit 41 (the module has 40 units)");
    expectOneErrorLine(run({"unit-image", path, "1"}), kExitUsage, "-o FILE.png is required");
    expectOneErrorLine(run({"unit-image", path, "1", "-o", out, "--step", "7"}), kExitUsage,
                       "--step must be from 1 to 6");

    // Without its image beside it the module has no pictures: the player's message.
    const std::string bare = write("Bare.qm4", m);
    expectOneErrorLine(run({"unit-image", bare, "1", "-o", out}), kExitFailure,
                       "Unable to open module graphics (.qmg) file.");
    // A file that cannot be written leaves nothing behind and says so.
    expectOneErrorLine(run({"unit-image", path, "1", "-o", (m_dir / "no/such/dir.png").string()}),
                       kExitFailure, "Could not open file!");
}
