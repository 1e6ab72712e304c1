#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "core/edit/TableCommands.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
namespace fs = std::filesystem;

namespace {

class Prompts : public TablePrompts {
public:
    std::optional<std::string> file;
    std::deque<bool> answers;
    std::vector<std::string> log;

    std::optional<std::string> chooseSaveFile(std::string_view filter) override {
        log.push_back("save " + std::string(filter));
        return file;
    }
    std::optional<std::string> chooseOpenFile(std::string_view filter) override {
        log.push_back("open " + std::string(filter));
        return file;
    }
    bool fileExists(const std::string& path) override { return fs::exists(path); }
    bool askYesNo(std::string_view title, std::string_view question) override {
        log.push_back(std::string(title) + ": " + std::string(question));
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return yes;
    }
    void showMessage(int number) override { log.push_back("message " + std::to_string(number)); }
    void showProgress(const std::string& text) override { log.push_back(text); }
    void showReport(const std::string& text) override { log.push_back("report " + text); }
};

class TableCommands : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    const test::TempFolder m_dir{"qmx_tablecmd"};
};

}  // namespace

TEST_F(TableCommands, SaveRefusedWhileCalibrating) {
    const Module m = Module::createEmpty(3, 2, GridOrientation::RowsAligned, 33);
    Prompts p;
    p.file = path("units");
    EXPECT_FALSE(saveTableCommand(TableKind::Units, m, {}, true, p).done);
    EXPECT_EQ(p.log, (std::vector<std::string>{"message 16"}));
    EXPECT_FALSE(fs::exists(path("units.txt")));
}

TEST_F(TableCommands, SaveForcesTxtAndAsksAboutThatName) {
    const Module m = Module::createEmpty(3, 2, GridOrientation::RowsAligned, 33);
    Prompts p;
    p.file = path("names");
    TableCommandResult r = saveTableCommand(TableKind::Names, m, {}, false, p);
    EXPECT_TRUE(r.done);
    EXPECT_EQ(r.path, path("names.txt"));
    EXPECT_EQ(p.log, (std::vector<std::string>{"save Text files(*.txt)", "Row 1", "Row 2"}));
    ASSERT_EQ(readWholeFile(path("names.txt"))->size(), 3u * 2u * 40u);

    // The same name again: the question is about names.txt, and No keeps it.
    const Bytes old = *readWholeFile(path("names.txt"));
    Module other = m;
    other.hex(1, 1).name = "X";
    p.log.clear();
    p.answers = {false};
    r = saveTableCommand(TableKind::Names, other, {}, false, p);
    EXPECT_FALSE(r.done);
    EXPECT_EQ(p.log[1], "WARNING: This file already exists!  Do you wish to overwrite it?");
    EXPECT_EQ(*readWholeFile(path("names.txt")), old);
    p.answers = {true};
    EXPECT_TRUE(saveTableCommand(TableKind::Names, other, {}, false, p).done);
    EXPECT_EQ(readWholeFile(path("names.txt"))->at(0), 'X');

    // Cancel in the dialog does nothing; a folder that is not there is message 4.
    p.file.reset();
    EXPECT_FALSE(saveTableCommand(TableKind::Units, m, {}, false, p).done);
    p.file = path("none/units.txt");
    p.log.clear();
    EXPECT_FALSE(saveTableCommand(TableKind::Units, m, {}, false, p).done);
    EXPECT_EQ(p.log.back(), "message 4");
}

TEST_F(TableCommands, LoadBothTables) {
    Module m = Module::createEmpty(3, 2, GridOrientation::RowsAligned, 33);
    m.units[1].name = "Scout";
    Prompts p;
    p.file = path("u.txt");
    ASSERT_TRUE(saveTableCommand(TableKind::Units, m, {}, false, p).done);
    Module back = Module::createEmpty(3, 2, GridOrientation::RowsAligned, 33);
    UnitStepBytes steps;
    p.log.clear();
    const TableCommandResult r = loadTableCommand(TableKind::Units, back, steps, p);
    EXPECT_TRUE(r.done);
    EXPECT_EQ(r.lines, 33);
    EXPECT_EQ(back.units[1].name, "Scout");
    EXPECT_EQ(p.log, (std::vector<std::string>{"open Text files(*.txt)",
                                               "report 33 units read from the table."}));

    ASSERT_TRUE(writeFileAtomically(path("n.txt"), Bytes{'a', ',', 'b', '\n'}));
    p.file = path("n.txt");
    p.log.clear();
    EXPECT_EQ(loadTableCommand(TableKind::Names, back, steps, p).lines, 1);
    EXPECT_EQ(back.hex(2, 1).name, "b");
    EXPECT_EQ(back.hex(1, 2).name, "");
    EXPECT_EQ(p.log, (std::vector<std::string>{"open Text files(*.txt)", "Row 1", "Row 2",
                                               "report 1 row read from the table."}));

    p.file = path("missing.txt");
    p.log.clear();
    EXPECT_FALSE(loadTableCommand(TableKind::Names, back, steps, p).done);
    EXPECT_EQ(p.log.back(), "message 4");
    EXPECT_EQ(back.hex(2, 1).name, "b");
}
