// Every writer on a full disk (a file size limit below the file's size):
// the earlier file stays byte for byte and the person is told, never a
// success. Saved games in both forms, the autosave, the text reports, the
// module, the tables and QMX.ini.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/edit/TableFileText.h"
#include "core/game/SavedGame.h"
#include "core/module/Clock.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/module/ModuleFile.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/TextReport.h"
#include "core/settings/IniFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/SessionMachine.h"
#include "tests/support/TempFolder.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;

constexpr rlim_t kLimit = 64;

class FullDisk : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (m_folder / name).string(); }
    // An earlier file of `name`, whose bytes the failed write must keep.
    Bytes earlier(const std::string& name) {
        const Bytes old{'o', 'l', 'd'};
        EXPECT_TRUE(writeFileAtomically(path(name), old));
        return old;
    }
    Bytes bytesOf(const std::string& name) const {
        return readWholeFile(path(name)).value_or(Bytes{});
    }
    // Nothing but the files the test named is left (no temporary file).
    std::size_t files() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_folder.path()), fs::directory_iterator()));
    }

    const Module module = test::ModuleBuilder::newModule(6, 5, 12).namedUnits().build();
    const test::TempFolder m_folder{"qmx-fulldisk"};
};

TEST_F(FullDisk, EveryWriterKeepsTheOldFileAndSaysSo) {
    GameState game(module);
    ScriptedPrompts prompts;
    const Bytes game1 = earlier("game.qms");
    const Bytes text1 = earlier("game.txt");
    const Bytes report1 = earlier("report.txt");
    const Bytes module1 = earlier("module.qm4");
    const Bytes table1 = earlier("table.txt");
    const Bytes ini1 = earlier("QMX.ini");
    {
        test::FileSizeLimit limit(kLimit);
        EXPECT_FALSE(saveGameFile(path("game"), game, module, {}, prompts));
        EXPECT_FALSE(saveGameFile(path("game"), game, module, {}, prompts, SaveForm::Text));
        EXPECT_EQ(prompts.messages,
                  (std::vector<int>{msg::kCouldNotOpenFile, msg::kCouldNotOpenFile}));

        ModuleCardTexts cards(module);
        prompts.yesNo.push_back(true);  // overwrite
        EXPECT_EQ(finishTextReport(ReportKind::Positions, path("report.txt"), Bytes{}, module, game,
                                   ReportOptions{}, cards, prompts),
                  ReportOutcome::CouldNotWrite);

        Module copy = module;
        FixedClock clock;
        EXPECT_FALSE(saveModuleFile(path("module.qm4"), copy, clock));
        EXPECT_NE(writeTableFile(path("table.txt"), Bytes(1000, 'x')), 0);
        IniFile ini;
        ini.set("PREFERENCES", "Replay Speed", std::string(200, '9'));
        EXPECT_FALSE(ini.save(path("QMX.ini")));
    }
    EXPECT_EQ(bytesOf("game.qms"), game1);
    EXPECT_EQ(bytesOf("game.txt"), text1);
    EXPECT_EQ(bytesOf("report.txt"), report1);
    EXPECT_EQ(bytesOf("module.qm4"), module1);
    EXPECT_EQ(bytesOf("table.txt"), table1);
    EXPECT_EQ(bytesOf("QMX.ini"), ini1);
    EXPECT_EQ(files(), 6u);
}

// The autosave keeps the last one written and warns once, not after every
// action; a write that succeeds again re-arms the warning.
TEST_F(FullDisk, TheAutosaveWarnsOnceAndKeepsTheLastGood) {
    Machine m(module, m_folder.path());
    auto move = [&](Hex from, Hex to) {
        m.session.click(from);
        m.session.doubleClick(from);
        m.session.click(to);
        m.session.doubleClick(to);
    };
    move({1, 1}, {2, 2});
    const Bytes good = readWholeFile(m.session.autosavePath()).value_or(Bytes{});
    ASSERT_FALSE(good.empty());
    {
        // Room for the record, not for the game.
        test::FileSizeLimit limit(300);
        move({2, 2}, {3, 3});
        move({3, 3}, {4, 4});
    }
    EXPECT_EQ(readWholeFile(m.session.autosavePath()).value_or(Bytes{}), good);
    const std::string warning =
        std::string(kWarningTitle) + ": " + autosaveFailedText(m.session.autosavePath());
    EXPECT_EQ(std::count(m.prompts.texts.begin(), m.prompts.texts.end(), warning), 1);
    EXPECT_TRUE(m.prompts.messages.empty());
}

}  // namespace
}  // namespace qmx
