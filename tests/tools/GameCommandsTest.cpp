#include <gtest/gtest.h>

#include "core/game/EncodedSave.h"
#include "core/game/GameState.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/game/UnitRules.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/tools/ToolTestSupport.h"

using namespace qmx;
using namespace qmx::tool;
using namespace qmx::tool::test;

namespace {

class GameCommand : public ToolFolderTest {
protected:
    void SetUp() override {
        ToolFolderTest::SetUp();
        m_module = Module::createEmpty(4, 3, GridOrientation::RowsAligned, 33);
        m_module.moduleId = {5, 6, 7};
        m_module.units[1].name = "1st Guards";
        m_module.units[1].stepImage[1] = 2;
        m_module.units[3].name = "Spy";
        m_module.units[4].name = "Decoy";
        m_module.decks[2].name = "Orders";
        m_module.decks[2].cardCount = 3;
        m_module.hex(2, 1).name = "Mill";
        modulePath = path("game.qm4");
        ASSERT_TRUE(writeFileAtomically(modulePath, serializeModule(m_module)));

        GameState s(m_module);
        s.players[0].kind = SlotKind::Player;
        s.players[1].kind = SlotKind::Player;
        s.players[2].kind = SlotKind::CardLocation;
        s.players[2].name = "Pile";
        initializePlayer(s, "Anna", "secret", 5);
        initializePlayer(s, "Bernd", "pw2", 7);
        EXPECT_EQ(s.identifyProgress, kPlayersComplete);
        // Units 1, 3 and 4 on (2, 1) in that order; 3 hidden by Bernd, 4 with
        // its identity hidden by Bernd.
        s.unit(2).stackLink = 5;
        s.unit(1).stackLink = 3;
        s.unit(3).stackLink = 4;
        s.unit(4).stackLink = 0;
        s.setStackHead(1, 1, 2);
        s.setStackHead(2, 1, 1);
        for (int u : {1, 3, 4}) s.unit(u).column = 2;
        s.unit(1).facing = Facing::kShown | 4;
        s.unit(1).step = 1;
        s.unit(3).setHiddenBy(1);
        s.unit(4).setHiddenBy(1);
        s.unit(4).set(UnitFlags::kIdHidden);
        s.setCardPlace(2, 1, 0);
        s.setCardPlace(2, 2, 2);
        ScriptedPrompts prompts;
        ASSERT_TRUE(saveGameFile(path("turn"), s, m_module, {}, prompts));
        savePath = path("turn.qms");
    }

    Module m_module;
    std::string modulePath;
    std::string savePath;
};

TEST_F(GameCommand, ObserverSeesNeitherHiddenUnitsNorHiddenIdentities) {
    const ToolRun r = run({"game", modulePath, savePath});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Seen by: an observer"), std::string::npos);
    EXPECT_NE(r.out.find("Players (every player initialized):"), std::string::npos);
    EXPECT_NE(r.out.find("  Player 1: Player \"Anna\"\n"), std::string::npos);
    EXPECT_NE(r.out.find("  Player 3: Card Location \"Pile\"\n"), std::string::npos);
    EXPECT_NE(r.out.find("  Player 4: Not Used\n"), std::string::npos);
    EXPECT_NE(r.out.find("  Deck 2 \"Orders\": in deck 1, Player 1 (Anna) 1, Player 3 (Pile) 1\n"),
              std::string::npos);
    EXPECT_NE(
        r.out.find("  2,1 Mill:\n    #1 1st Guards, step 2, facing side 3\n    #4 ????????\n"),
        std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("Spy"), std::string::npos);
    EXPECT_NE(r.out.find("32 units shown on the map"), std::string::npos);
}

TEST_F(GameCommand, IdentifiedPlayerSeesHisHiddenUnits) {
    const ToolRun r = run({"game", modulePath, savePath, "--player", "Bernd"}, "pw2\n");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Seen by: Player 2 (Bernd)"), std::string::npos);
    EXPECT_NE(r.out.find("    #3 Spy, step 1, hidden\n    #4 Decoy, step 1, identity hidden\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("33 units shown on the map"), std::string::npos);
}

TEST_F(GameCommand, WrongPasswordWatchesAsObserver) {
    const ToolRun r = run({"game", modulePath, savePath, "--player", "Bernd"}, "nope\n");
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Seen by: an observer"), std::string::npos);
    EXPECT_NE(r.err.find("Unrecognized password."), std::string::npos);
    EXPECT_EQ(run({"game", modulePath, savePath, "--player", "Nobody"}, "x\n").status,
              kExitFailure);
}

// The listing counts the cards per place; no viewer, not even the holder,
// gets a card's text from it.
TEST_F(GameCommand, NoViewerReadsACardsText) {
    for (int c = 1; c <= 3; ++c) {
        Card& card = m_module.decks[2].cards[static_cast<std::size_t>(c)];
        card.text = "Secret order " + std::to_string(c);
        card.storedLength = static_cast<std::uint32_t>(card.text.size() + 4);
    }
    ASSERT_TRUE(writeFileAtomically(modulePath, serializeModule(m_module)));
    const ToolRun runs[] = {
        run({"game", modulePath, savePath}),
        run({"game", modulePath, savePath, "--player", "Anna"}, "secret\n"),
        run({"game", modulePath, savePath, "--player", "Bernd"}, "pw2\n"),
    };
    for (const ToolRun& r : runs) {
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find("Player 1 (Anna) 1"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Secret order"), std::string::npos) << r.out;
    }
}

TEST_F(GameCommand, SavedGameOfAnotherModuleFails) {
    Module other = Module::createEmpty(4, 3, GridOrientation::RowsAligned, 40);
    ASSERT_TRUE(writeFileAtomically(path("other.qm4"), serializeModule(other)));
    const ToolRun r = run({"game", path("other.qm4"), savePath});
    EXPECT_EQ(r.status, kExitFailure);
    EXPECT_NE(r.err.find("The number of units is different."), std::string::npos);
    EXPECT_EQ(run({"game", modulePath, path("missing.qms")}).status, kExitFailure);
}

// verify: the same game is consistent, a unit moved outside the record is
// named (unless hidden from the viewer), and a text save is read as a .qms.
TEST_F(GameCommand, VerifyNamesChangesOutsideTheRecord) {
    // The game sent: the fixture's placement with the recorder reset.
    GameState sent(m_module);
    ScriptedPrompts prompts;
    ASSERT_TRUE(loadSavedGame(savePath, m_module, sent, prompts).ok);
    commitStartPositions(sent);
    ASSERT_TRUE(saveGameFile(path("turn"), sent, m_module, {}, prompts));
    EXPECT_EQ(run({"verify", modulePath, savePath, savePath}).out, "consistent\n");

    GameState s = sent;
    s.unit(1).step = 0;
    s.unit(3).facing = Facing::kShown | 2;  // hidden by Bernd
    ASSERT_TRUE(saveGameFile(path("reply"), s, m_module, {}, prompts));
    const Bytes binary = read("reply.qms");
    const std::string text = write("reply.txt", encodeCheckedTextSave(binary));

    for (const std::string& reply : {path("reply.qms"), text}) {
        const ToolRun r = run({"verify", modulePath, savePath, reply});
        EXPECT_EQ(r.status, kExitFailure);
        EXPECT_NE(r.out.find("Unit 1 (1st Guards): step 2 after the replay, 1 in the reply"),
                  std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("a unit hidden from you changed outside the record"),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(r.out.find("Spy"), std::string::npos) << r.out;
    }
    const ToolRun bernd =
        run({"verify", modulePath, savePath, path("reply.qms"), "--player", "Bernd"}, "pw2\n");
    EXPECT_NE(bernd.out.find("Unit 3 (Spy): facing"), std::string::npos) << bernd.out;

    EXPECT_EQ(run({"verify", modulePath, savePath, path("missing.qms")}).status, 2);
    write("junk.qms", Bytes{1, 2, 3});
    EXPECT_EQ(run({"verify", modulePath, path("junk.qms"), savePath}).status, 2);
}

}  // namespace
