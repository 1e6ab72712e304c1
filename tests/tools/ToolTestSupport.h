#pragma once
// What the qmxtool tests share: running a command line with string streams,
// and a fixture that gives each test an empty folder of its own.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool::test {

// The exit status and both output streams of one command line.
struct ToolRun {
    int status = 0;
    std::string out;
    std::string err;
};

// Runs `args` (without the program name) with every command group;
// `input` is standard input.
inline ToolRun run(std::vector<std::string> args, const std::string& input = "") {
    CommandTable table;
    registerAllCommands(table);
    std::istringstream in(input);
    std::ostringstream out, err;
    ToolRun r;
    r.status = runTool(table, args, {in, out, err});
    r.out = out.str();
    r.err = err.str();
    return r;
}

// Each test gets the folder m_dir, named after the process and the test, and
// removed when the test ends.
class ToolFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::filesystem::temp_directory_path() /
                ("qmxtool_" + std::to_string(::getpid()) + "_" + test->test_suite_name() + "_" +
                 test->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    std::string write(const std::string& name, const Bytes& bytes) {
        EXPECT_TRUE(writeFileAtomically(path(name), bytes));
        return path(name);
    }
    std::string write(const std::string& name, const Module& module) {
        return write(name, serializeModule(module));
    }
    Bytes read(const std::string& name) const {
        return readWholeFile(path(name)).value_or(Bytes{});
    }

    std::filesystem::path m_dir;
};

}  // namespace qmx::tool::test
