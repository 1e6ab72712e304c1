#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/game/EncodedSave.h"
#include "core/game/ModuleFinder.h"
#include "core/module/ModuleFile.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
namespace fs = std::filesystem;

namespace {

class ModuleFinderTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const Bytes& bytes) {
        const fs::path p = m_root / name;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    std::string writeModule(const std::string& name, std::array<std::uint8_t, 3> id, int units,
                            const std::string& notes = {}) {
        Module m = test::ModuleBuilder(4, 3, units).id(id).build();
        m.authorNotes = notes;
        return write(name, serializeModule(m));
    }
    std::string path(const std::string& sub) const { return (m_root / sub).string(); }

    const test::TempFolder m_root{"qmx_finder"};
};

// A binary saved game header of module 7,8,9 with 300 units (1, 45 in base
// 255), then a byte of game block so the file is not only a header.
const Bytes kHeader{7, 8, 9, 160, 1, 45, 0, 0, 0, 0xAB};

}  // namespace

TEST_F(ModuleFinderTest, SavedGameHeaderInEveryForm) {
    const SavedGameModule wanted{{7, 8, 9}, 300};
    EXPECT_EQ(savedGameModule(kHeader), wanted);
    // The text save of the same bytes, inside a mail with text around it.
    const Bytes text = encodeTextSave(kHeader);
    Bytes mail{'H', 'i', '\n', '\n'};
    mail.insert(mail.end(), text.begin(), text.end());
    EXPECT_EQ(savedGameModule(mail), wanted);
    // Too short, and a MIME mail that holds no saved game.
    EXPECT_EQ(savedGameModule(Bytes(kHeader.begin(), kHeader.begin() + 8)), std::nullopt);
    const std::string noSave = "MIME-Version: 1.0\nContent-Type: text/plain\n\nNo game here.\n";
    EXPECT_EQ(savedGameModule(Bytes(noSave.begin(), noSave.end())), std::nullopt);
    EXPECT_EQ(savedGameModuleOfFile(path("missing.qms")), std::nullopt);
}

TEST_F(ModuleFinderTest, StartFileKindByExtensionThenByContent) {
    EXPECT_EQ(startFileKind(writeModule("Game.QM4", {1, 2, 3}, 40)), StartFileKind::Module);
    EXPECT_EQ(startFileKind(write("turn.QMS", kHeader)), StartFileKind::SavedGame);
    EXPECT_EQ(startFileKind(path("not-there.qms")), StartFileKind::SavedGame);
    EXPECT_EQ(startFileKind(write("mail.txt", encodeTextSave(kHeader))), StartFileKind::SavedGame);
    EXPECT_EQ(startFileKind(write("notes.txt", Bytes{'h', 'i'})), StartFileKind::Module);
    EXPECT_EQ(startFileKind(path("not-there.txt")), StartFileKind::Module);
}

TEST_F(ModuleFinderTest, ModuleIdentityAsThePlayerReadsIt) {
    EXPECT_EQ(moduleIdentityOfFile(writeModule("a.qm4", {1, 2, 3}, 300)),
              (SavedGameModule{{1, 2, 3}, 300}));
    // Fewer than 33 units count as 33, as the player's module load raises them.
    EXPECT_EQ(moduleIdentityOfFile(writeModule("small.qm4", {1, 2, 3}, 10)),
              (SavedGameModule{{1, 2, 3}, 33}));
    // A version the player refuses, a short file, a missing file.
    Bytes old = serializeModule(test::ModuleBuilder(4, 3, 40).build());
    old[6] = 150;
    EXPECT_EQ(moduleIdentityOfFile(write("old.qm4", old)), std::nullopt);
    EXPECT_EQ(moduleIdentityOfFile(write("short.qm4", Bytes(559, 0))), std::nullopt);
    EXPECT_EQ(moduleIdentityOfFile(path("none.qm4")), std::nullopt);
}

TEST_F(ModuleFinderTest, FindsTheMatchingModulesOnceInSearchOrder) {
    const SavedGameModule wanted{{7, 8, 9}, 300};
    writeModule("home/modules/Other.qm4", {7, 8, 10}, 300);  // another identity
    writeModule("home/modules/Grown.qm4", {7, 8, 9}, 301);   // same module, more units
    const std::string a = writeModule("home/modules/Ardennes.qm4", {7, 8, 9}, 300);
    write("home/modules/readme.txt", Bytes{'x'});
    // Byte for byte the same module, beside the saved game: not a second choice.
    writeModule("modules/Ardennes copy.qm4", {7, 8, 9}, 300);
    // Same identity, other bytes (an author's later edition): a second choice.
    const std::string b = writeModule("games/Ardennes v2.QM4", {7, 8, 9}, 300, "edition 2");
    const std::string game = write("games/turn3.qms", kHeader);

    const ModuleSearch search = moduleSearchFor(game, path("home"), "", {});
    EXPECT_EQ(search.folders,
              (std::vector<std::string>{path("home/modules"), path("games"), path("modules")}));
    EXPECT_EQ(findModulesFor(wanted, search), (std::vector<std::string>{a, b}));

    // A module opened lately comes first; reached again through a folder (by
    // another spelling of its path) it is not listed twice. A recent module
    // that was deleted since is passed over.
    const ModuleSearch recent = moduleSearchFor(
        game, path("home") + "/", "", {path("gone.qm4"), path("games/./Ardennes v2.QM4")});
    EXPECT_EQ(findModulesFor(wanted, recent),
              (std::vector<std::string>{path("games/./Ardennes v2.QM4"), a}));

    // Nothing matches: an empty list (the caller asks for the module then).
    EXPECT_TRUE(findModulesFor({{1, 1, 1}, 300}, search).empty());
}

TEST_F(ModuleFinderTest, InstalledModulesAreSearchedLast) {
    const std::string installed = writeModule("share/qmx4/modules/Demo.qm4", {4, 5, 6}, 60);
    const std::string game = write("elsewhere/game.qms", Bytes{4, 5, 6, 160, 0, 60, 0, 0, 0});
    const ModuleSearch search = moduleSearchFor(game, path("home"), path("share/qmx4"), {});
    EXPECT_EQ(search.folders.back(), path("share/qmx4/modules"));
    EXPECT_EQ(findModulesFor({{4, 5, 6}, 60}, search), std::vector<std::string>{installed});
    // The player's seeded copy of the same module comes first and is the only choice.
    const std::string own = writeModule("home/modules/Demo.qm4", {4, 5, 6}, 60);
    EXPECT_EQ(findModulesFor({{4, 5, 6}, 60}, search), std::vector<std::string>{own});
}
