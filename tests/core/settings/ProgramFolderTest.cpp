#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "core/settings/ProgramFolder.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
namespace fs = std::filesystem;

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_root / "bin"); }
    // A test may take away the write permission; give it back so it can go.
    void TearDown() override {
        fs::permissions(m_root / "bin", fs::perms::owner_all, fs::perm_options::add);
    }
    std::string path(const char* sub) const { return (m_root / sub).string(); }
    const test::TempFolder m_root{"qmx_folder"};
};

}  // namespace

TEST_F(ProgramFolderTest, QmxHomeWinsAndIsCreatedWithItsFolders) {
    const std::string folder =
        resolveProgramFolder({path("home"), path("bin"), path("data"), path("user"), ""});
    EXPECT_EQ(folder, path("home") + "/");
    EXPECT_TRUE(fs::is_directory(m_root / "home" / "modules"));
    EXPECT_TRUE(fs::is_directory(m_root / "home" / "Savedgames"));
}

TEST_F(ProgramFolderTest, WritableExecutableFolderComesNext) {
    EXPECT_EQ(resolveProgramFolder({"", path("bin"), path("data"), path("user"), ""}),
              path("bin") + "/");
}

TEST_F(ProgramFolderTest, UnwritableExecutableFolderFallsBackToUserData) {
    // A folder that cannot be written: one that does not exist (and, for users
    // other than root, one without write permission).
    std::string bin = path("no-such-folder");
    if (::geteuid() != 0) {
        fs::permissions(m_root / "bin", fs::perms::owner_read | fs::perms::owner_exec);
        bin = path("bin");
    }
    EXPECT_FALSE(folderWritable(bin));
    EXPECT_EQ(resolveProgramFolder({"", bin, path("data"), path("user"), ""}),
              path("data") + "/qmx4/");
    EXPECT_EQ(resolveProgramFolder({"", bin, "", path("user"), ""}),
              path("user") + "/.local/share/qmx4/");
    EXPECT_TRUE(fs::is_directory(m_root / "user" / ".local" / "share" / "qmx4" / "Savedgames"));
}

TEST_F(ProgramFolderTest, InstalledProgramTakesTheUserFolderAndSeedsItOnce) {
    // <prefix>/bin beside <prefix>/share/qmx4/ with the demo.
    const fs::path share = m_root / "share" / "qmx4";
    fs::create_directories(share / "modules");
    fs::create_directories(share / "Savedgames");
    std::FILE* f = std::fopen((share / "modules" / "Demo.qm4").c_str(), "wb");
    std::fputs("module", f);
    std::fclose(f);
    f = std::fopen((share / "Savedgames" / "Demo-turn1.qms").c_str(), "wb");
    std::fputs("game", f);
    std::fclose(f);
    EXPECT_EQ(installedDataFolder(path("bin")), share.string() + "/");
    EXPECT_EQ(installedDataFolder(path("bin") + "/"), share.string() + "/");
    EXPECT_EQ(installedDataFolder(path("share")), "");  // not a bin folder

    // bin is writable here (the tests may run as root): it is still not used.
    ProgramFolderInputs in{"", path("bin"), path("data"), path("user"), share.string() + "/"};
    const std::string folder = resolveProgramFolder(in);
    EXPECT_EQ(folder, path("data") + "/qmx4/");
    EXPECT_EQ(fs::file_size(folder + "modules/Demo.qm4"), 6u);
    EXPECT_EQ(fs::file_size(folder + "Savedgames/Demo-turn1.qms"), 4u);
    EXPECT_FALSE(fs::exists(m_root / "bin" / "modules"));

    // A player's own changes survive later starts: a removed demo stays
    // removed, an edited saved game is not overwritten.
    fs::remove(folder + "modules/Demo.qm4");
    f = std::fopen((folder + "Savedgames/Demo-turn1.qms").c_str(), "wb");
    std::fputs("my own game", f);
    std::fclose(f);
    EXPECT_EQ(resolveProgramFolder(in), folder);
    EXPECT_FALSE(fs::exists(folder + "modules/Demo.qm4"));
    EXPECT_EQ(fs::file_size(folder + "Savedgames/Demo-turn1.qms"), 11u);
}

TEST(ModuleTitle, UpToTheLastPointAndAtMost63Characters) {
    EXPECT_EQ(moduleTitle("/a/b/Demo.qm4"), "Demo");
    EXPECT_EQ(moduleTitle("Battle.of.Ages.qm4"), "Battle.of.Ages");
    EXPECT_EQ(moduleTitle("/dir.with.points/NoExtension"), "NoExtension");
    EXPECT_EQ(moduleTitle(std::string(80, 'x') + ".qm4"), std::string(63, 'x'));
    EXPECT_EQ(fileTitleWithoutExtension("C:\\games\\turn3.qms"), "turn3");
    EXPECT_EQ(windowCaption("Demo", ""), "Demo");
    EXPECT_EQ(windowCaption("Demo", "turn3"), "Demo: turn3");
}
