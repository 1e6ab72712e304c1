#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/game/GameState.h"
#include "core/game/PasswordKeyTable.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/replay/TextReport.h"
#include "tests/tools/ToolTestSupport.h"

using namespace qmx;
using namespace qmx::tool;
using namespace qmx::tool::test;

namespace {

// A 4 x 4 module of 33 units and a saved game in which Bert (slot 1) moved
// his hidden unit 2 and the open unit 1, wrote a comment and saved.
class ReplayCommands : public ToolFolderTest {
protected:
    void SetUp() override {
        ToolFolderTest::SetUp();

        m_module = Module::createEmpty(4, 4, GridOrientation::RowsAligned, 33);
        for (int u = 3; u <= 33; ++u)
            m_module.units[static_cast<std::size_t>(u)].name = "Unit " + std::to_string(u);
        m_module.units[1].name = "Guards";
        m_module.units[2].name = "Scouts";
        m_modulePath = (m_dir / "game.qm4").string();
        ASSERT_TRUE(writeFileAtomically(m_modulePath, serializeModule(m_module)));

        GameState s(m_module);
        // Every unit starts on 0101 in number order; unit 1 ends on 0203,
        // Bert's hidden unit 2 on 0404.
        s.players[0] = {SlotKind::Player, "Anna", {}};
        s.players[1] = {SlotKind::Player, "Bert", {}};
        ASSERT_TRUE(initializePlayer(s, "Anna", "apple", 3).accepted);
        s.identifyProgress = 2;
        ASSERT_TRUE(initializePlayer(s, "Bert", "berry", 5).accepted);
        s.unit(2).hidden = 0x11;
        s.unit(1).column = 2;
        s.unit(1).row = 3;
        s.unit(2).column = s.unit(2).row = 4;
        s.unit(1).stackLink = 0;
        s.unit(2).stackLink = 0;
        s.setStackHead(1, 1, 3);
        const Bytes record = {255, 241, 0,   2,   255, 247, 1,   1,   4,   4,  255, 248,  // hidden
                              255, 241, 0,   1,   255, 247, 1,   1,   1,   2,  2,   3,
                              255, 248,  // Guards
                              255, 242, 'H', 'o', 'l', 'd', 255, 249, 255, 253};
        m_savePath = (m_dir / "turn.qms").string();
        ASSERT_TRUE(writeFileAtomically(m_savePath, serializeSavedGame(s, m_module, record)));
    }
    std::string fileText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    Module m_module;
    std::string m_modulePath;
    std::string m_savePath;
};

}  // namespace

TEST_F(ReplayCommands, ReplayAsAnObserverAndAsTheHider) {
    ToolRun r = run({"replay", m_modulePath, m_savePath});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "start: every unit at its start position\n"
              "move: hidden\n"  // its path does not show, not even its length
              "drop: hidden\n"
              "  [Replay] Hidden units have just moved.\n"
              "move: Guards leave 0101\n"
              "  step: 0101 -> 0102\n"
              "  step: 0102 -> 0203\n"
              "drop: Guards at 0203\n"
              "comment:\n"
              "  | Hold\n"
              "save marker\n"
              "  [REPLAY] A Save Game occurred at this point.\n"
              "end\n"
              "  [REPLAY] End of Replay\n");
    EXPECT_EQ(r.out.find("Scouts"), std::string::npos);

    r = run({"replay", m_modulePath, m_savePath, "--player", "Bert"}, "berry\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("move: Scouts leave 0101\n  step: 0101 -> 0404\ndrop: Scouts at 0404\n"),
              std::string::npos)
        << r.out;

    // A wrong password: an observer, with a note.
    r = run({"replay", m_modulePath, m_savePath, "--player", "Bert"}, "apple\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("observer"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("move: hidden"), std::string::npos);

    r = run({"replay", m_modulePath, m_savePath, "--player", "Carl"});
    EXPECT_EQ(r.status, kExitFailure);
}

TEST_F(ReplayCommands, ReportsAreTheBytesThePlayerWrites) {
    const std::string out = (m_dir / "move.txt").string();
    ToolRun r = run({"report", "move", m_modulePath, m_savePath, "-o", out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fileText(out),
              "A hidden stack moved.\r\n "
              " Guards\r\n From: 0101\r\n   To: 0203\r\n Via: 0102\r\n \r\n"
              "Hold\r\n\r\n"
              "A Save Game occurred at this point.\r\n \r\n");

    r = run({"report", "comments", m_modulePath, m_savePath, "-o", out});
    EXPECT_EQ(fileText(out), "Hold\r\n\r\n");

    // Bert with "Report Hidden Movement" sees his own unit named.
    r = run({"report", "move", m_modulePath, m_savePath, "-o", out, "--player", "Bert",
             "--report-hidden"},
            "berry\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fileText(out).starts_with(" Scouts\r\n From: 0101\r\n   To: 0404\r\n \r\n"));

    // "sorted" switches sorting on; the options are flags.
    r = run({"report", "sorted", m_modulePath, m_savePath, "-o", out, "--step"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string sorted = fileText(out);
    EXPECT_TRUE(sorted.starts_with("Unit 3 (Step: 0)0101\r\n Unit 4 (Step: 0)0101\r\n")) << sorted;
    EXPECT_NE(sorted.find(" Guards (Step: 0)0203\r\n "), std::string::npos);
    EXPECT_EQ(sorted.find("Scouts"), std::string::npos);

    r = run({"report", "everything", m_modulePath, m_savePath, "-o", out});
    EXPECT_EQ(r.status, kExitUsage);
    r = run({"report", "move", m_modulePath, m_savePath});
    EXPECT_EQ(r.status, kExitUsage);
}
