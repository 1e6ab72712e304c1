#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "core/game/Comment.h"
#include "core/game/EncodedSave.h"
#include "core/game/GameState.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/replay/ReplayEntries.h"
#include "tests/tools/ToolTestSupport.h"

using namespace qmx;
using namespace qmx::tool;
using namespace qmx::tool::test;

namespace {

class RecordCommands : public ToolFolderTest {
protected:
    // A record with one of every kind of line.
    static Bytes sampleRecord() {
        Bytes r;
        auto add = [&r](const Bytes& b) { r.insert(r.end(), b.begin(), b.end()); };
        const int units[] = {3, 300};
        add(moveStartEntry(units, 4, 7, 5, 7));
        add(pathEntry(5, 8));
        add(commandEntry(ReplayCode::RotateRight));
        add(argumentEntry(ReplayCode::Hide, 1));
        add(pathEntry(6, 8));
        add(commandEntry(ReplayCode::Drop));
        const int combat[] = {40, 7};
        add(combatEntry(combat));
        add(resultEntry(2, 6, "Die Roll: 3, 4"));
        add(encryptedCommentEntry("the secret plan", "pw", 11));
        add(cardDealtEntry(22, 1, 0));
        add(cardGivenEntry(3, 9, 1, 0));
        add(commandEntry(ReplayCode::SaveMarker));
        add(pathEntry(1, 1));  // outside a move
        return r;
    }
};

const char* kSampleListing =
    "0  move start: units 3 300; from 4,7; first hex 5,7\n"  // 2 + 4 + 2 + 2 + 2 bytes
    "12  path 5,8\n"
    "14  rotate right\n"
    "16  hide units by slot 1\n"
    "20  path 6,8\n"
    "22  drop\n"
    "24  combat: units 40 7\n"                                 // 2 + 4 + 2
    "32  result: 2 dice of 6 sides; its text follows\n"        // 4
    "36  comment: Die Roll: 3, 4\n"                            // 2 + 14 + 2
    "54  encrypted comment: 15 characters, password needed\n"  // 2 + 1 + 9 + 15 + 2
    "83  card dealt from card location slot 2 to slot 1 by slot 0\n"
    "88  card given: card 3 9 from slot 0 to slot 1\n"
    "94  save marker\n"
    "96  (pair 1,1 outside a move, skipped)\n";

}  // namespace

TEST_F(RecordCommands, EncodeAndDecodeRoundTripThroughFiles) {
    Bytes binary;
    for (int i = 0; i < 1000; ++i) binary.push_back(static_cast<std::uint8_t>(i * 7));
    write("game.qms", binary);

    ToolRun e = run({"encode", path("game.qms")});
    ASSERT_EQ(e.status, 0) << e.err;
    // Pasted into a mail and quoted.
    const Bytes text = read("game.txt");
    EXPECT_NE(std::string(text.begin(), text.end()).find("[[[QMX SAVE FILE]]]\r\n"),
              std::string::npos);
    std::string mail = "Your move.\n";
    std::istringstream lines(std::string(text.begin(), text.end()));
    for (std::string l; std::getline(lines, l);) mail += "> " + l + "\n";
    write("mail.eml", Bytes(mail.begin(), mail.end()));
    ToolRun d = run({"decode", path("mail.eml"), "-o", path("back.qms")});
    ASSERT_EQ(d.status, 0) << d.err;
    EXPECT_EQ(read("back.qms"), binary);
    EXPECT_EQ(d.out, path("back.qms") + ": 1000 bytes\n");
}

// Mails written by Python's email package (tests/tools/data/make-mails.py):
// decode reads them with the player's mail reader, and checks the line.
TEST_F(RecordCommands, DecodeReadsMailsAsThePlayerDoesAndChecksTheLine) {
    Bytes binary;
    for (int i = 0; i < 1000; ++i) binary.push_back(static_cast<std::uint8_t>(i * 7));
    for (const char* name : {"mail-base64.eml", "mail-qp.eml", "mail-html.eml"}) {
        ToolRun d =
            run({"decode", std::string(QMX_TOOL_DATA) + "/" + name, "-o", path("back.qms")});
        ASSERT_EQ(d.status, 0) << name << ": " << d.err;
        EXPECT_EQ(read("back.qms"), binary) << name;
    }

    Bytes text = *readWholeFile(std::string(QMX_TOOL_DATA) + "/mailgame.txt");
    const std::size_t at = std::string(text.begin(), text.end()).find("]]]\r\n") + 5 + 62 + 7;
    text[at] = text[at] == 'A' ? 'B' : 'A';
    write("changed.txt", text);
    ToolRun changed = run({"decode", path("changed.txt"), "-o", path("changed.qms")});
    EXPECT_EQ(changed.status, kExitFailure);
    EXPECT_NE(changed.err.find("changed on its way"), std::string::npos) << changed.err;
    EXPECT_FALSE(std::filesystem::exists(path("changed.qms")));

    // A text save without the line decodes as it always did.
    Bytes old = encodeTextSave(binary);
    old[at - (text.size() - old.size())] = text[at];
    write("old.txt", old);
    EXPECT_EQ(run({"decode", path("old.txt"), "-o", path("old.qms")}).status, 0);
}

TEST_F(RecordCommands, DecodeAndEncodeRefuseTheWrongForm) {
    write("plain.txt", Bytes({'h', 'e', 'l', 'l', 'o'}));
    ToolRun d = run({"decode", path("plain.txt"), "-o", path("x.qms")});
    EXPECT_EQ(d.status, kExitFailure);
    EXPECT_NE(d.err.find("ASCII decode unsuccessful!"), std::string::npos) << d.err;
    EXPECT_FALSE(std::filesystem::exists(path("x.qms")));

    write("t.txt", encodeTextSave(Bytes({1, 2, 3})));
    ToolRun e = run({"encode", path("t.txt"), "-o", path("u.txt")});
    EXPECT_EQ(e.status, kExitFailure);
    EXPECT_NE(e.err.find("already a text save"), std::string::npos);

    ToolRun same = run({"decode", path("t.txt"), "-o", path("t.txt")});
    EXPECT_EQ(same.status, kExitUsage);
    EXPECT_EQ(read("t.txt"), encodeTextSave(Bytes({1, 2, 3})));

    ToolRun missing = run({"decode", path("none.txt")});
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_NE(missing.err.find("Could not open file!"), std::string::npos);
}

TEST_F(RecordCommands, ListsABareRecordWithoutEncryptedText) {
    write("record.tmp", sampleRecord());
    ToolRun r = run({"record", path("record.tmp"), "--raw"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kSampleListing);
    EXPECT_EQ(r.out.find("secret"), std::string::npos);
}

TEST_F(RecordCommands, ListsTheRecordOfASavedGameInEitherForm) {
    Module m = Module::createEmpty(12, 10, GridOrientation::ColumnsAligned, 400);
    write("m.qm4", serializeModule(m));
    GameState state(m);
    const Bytes save = serializeSavedGame(state, m, sampleRecord());
    write("g.qms", save);
    write("g.txt", encodeTextSave(save));

    ToolRun r = run({"record", path("g.qms"), path("m.qm4")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kSampleListing);
    ToolRun t = run({"record", path("g.txt"), path("m.qm4")});
    ASSERT_EQ(t.status, 0) << t.err;
    EXPECT_EQ(t.out, kSampleListing);

    // Without the module the record cannot be found.
    ToolRun n = run({"record", path("g.qms")});
    EXPECT_EQ(n.status, kExitUsage);
    EXPECT_NE(n.err.find("module is needed"), std::string::npos);

    // An old file without the game state needs no module.
    Bytes old = {1, 2, 3, 100, 1, 145, 0, 0, 0};
    const Bytes rec = commandEntry(ReplayCode::AllFaceUp);
    old.insert(old.end(), rec.begin(), rec.end());
    write("old.qms", old);
    ToolRun o = run({"record", path("old.qms")});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "0  all units face up\n");
}

TEST_F(RecordCommands, DamagedRecordsAreListedToTheirEnd) {
    // A move whose list is cut by another command, a move never dropped,
    // and a lone last byte.
    const Bytes cut = {255, 241, 0, 5, 255, 253, 255, 241, 0,   6, 255,
                       247, 1,   1, 2, 2,   3,   3,   255, 242, 7};
    write("cut.tmp", cut);
    ToolRun r = run({"record", path("cut.tmp"), "--raw"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "0  move start: units 5 (list cut short by the next entry)\n"
              "4  save marker\n"
              "6  move start: units 6; from 1,1; first hex 2,2\n"
              "16  path 3,3\n"
              "18  (command 242 inside a move, skipped)\n"
              "20  (a lone last byte)\n"
              "21  (the record ends inside a move)\n");
}
