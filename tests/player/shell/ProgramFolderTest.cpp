#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "player/shell/ProgramFolder.h"

using namespace qmx;
namespace fs = std::filesystem;

namespace {

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = fs::temp_directory_path() /
                 (std::string("qmx_folder_") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                  std::to_string(::getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "bin");
    }
    void TearDown() override {
        fs::permissions(m_root / "bin", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_root);
    }
    std::string path(const char* sub) const { return (m_root / sub).string(); }
    fs::path m_root;
};

}  // namespace

TEST_F(ProgramFolderTest, QmxHomeWinsAndIsCreatedWithItsFolders) {
    const std::string folder =
        resolveProgramFolder({path("home"), path("bin"), path("data"), path("user")});
    EXPECT_EQ(folder, path("home") + "/");
    EXPECT_TRUE(fs::is_directory(m_root / "home" / "modules"));
    EXPECT_TRUE(fs::is_directory(m_root / "home" / "Savedgames"));
}

TEST_F(ProgramFolderTest, WritableExecutableFolderComesNext) {
    EXPECT_EQ(resolveProgramFolder({"", path("bin"), path("data"), path("user")}),
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
    EXPECT_EQ(resolveProgramFolder({"", bin, path("data"), path("user")}), path("data") + "/qmx4/");
    EXPECT_EQ(resolveProgramFolder({"", bin, "", path("user")}),
              path("user") + "/.local/share/qmx4/");
    EXPECT_TRUE(fs::is_directory(m_root / "user" / ".local" / "share" / "qmx4" / "Savedgames"));
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
