#pragma once
// What the qmxtool tests share: running a command line with string streams,
// and a fixture that gives each test an empty folder of its own.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "tests/support/TempFolder.h"
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

// Each test gets the empty folder m_dir of its own, removed when the test ends.
class ToolFolderTest : public ::testing::Test {
protected:
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

    qmx::test::TempFolder m_dir{"qmxtool"};
};

}  // namespace qmx::tool::test
