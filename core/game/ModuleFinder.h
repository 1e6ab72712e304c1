#pragma once
// Finding the module a saved game was played with. A saved game does not hold
// its module, but its header names the module's identity (ModuleId) and unit
// count; the player looks for a module file with both among the modules it
// knows: the ones opened lately and the ".qm4" files of its "modules/" folders.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qmx {

// What a saved game's header says about its module.
struct SavedGameModule {
    std::array<std::uint8_t, 3> moduleId{};
    int unitCount = 0;
    bool operator==(const SavedGameModule&) const = default;
};

// The header of saved game bytes in either form (binary, text save, a whole
// mail holding one); nothing when they hold no complete header.
std::optional<SavedGameModule> savedGameModule(std::span<const std::uint8_t> data);
std::optional<SavedGameModule> savedGameModuleOfFile(const std::string& path);

// A file named on the command line: a ".qm4" is a module and a ".qms" a saved
// game, whatever the case of the extension; any other file is a saved game
// when it holds a text save (a mail kept as ".txt" or ".eml"), else a module.
enum class StartFileKind { Module, SavedGame };
StartFileKind startFileKind(const std::string& path);

// The identity and unit count (as the player counts it: at least 33) from a
// module file's header; nothing for a file the player would not read.
std::optional<SavedGameModule> moduleIdentityOfFile(const std::string& path);

// Where to look: module files first (the ones opened lately, most recent
// first), then every ".qm4" of the folders, in the order given, names sorted.
struct ModuleSearch {
    std::vector<std::string> files;
    std::vector<std::string> folders;
};

// The folders for a saved game at `savedGamePath`: the program folder's
// "modules/", the saved game's own folder and the "modules/" beside it (a
// game kept in "Savedgames/"), and the installed modules, when known.
ModuleSearch moduleSearchFor(const std::string& savedGamePath, const std::string& programFolder,
                             const std::string& installedData,
                             const std::vector<std::string>& recentModules);

// Every module file of the search that matches, in search order. A file
// reached twice (by another name too) counts once, and so does a copy whose
// bytes equal those of a match found before it.
std::vector<std::string> findModulesFor(const SavedGameModule& wanted, const ModuleSearch& search);

}  // namespace qmx
