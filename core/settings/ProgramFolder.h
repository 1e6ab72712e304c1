#pragma once
// The program folder: where the player keeps "modules/", "Savedgames/",
// QMX.ini and the replay work file. It is $QMX_HOME when that is set; else,
// for a program run where it was built, the folder of the executable when it
// can be written to; else the per-user data folder ($XDG_DATA_HOME/qmx4, by
// default ~/.local/share/qmx4). An installed program ("<prefix>/bin" beside
// "<prefix>/share/qmx4/") always takes the per-user folder, even when run as
// root, and fills a new one with the installed modules and saved games.

#include <string>
#include <string_view>

namespace qmx {

struct ProgramFolderInputs {
    std::string qmxHome;        // $QMX_HOME, empty if unset
    std::string executableDir;  // folder of the running program
    std::string dataHome;       // $XDG_DATA_HOME, empty if unset
    std::string home;           // $HOME
    std::string installedData;  // "<prefix>/share/qmx4/" of an installed program, else empty
};

// "<prefix>/share/qmx4/" for a program in "<prefix>/bin" when that folder
// holds "modules/"; empty otherwise.
std::string installedDataFolder(const std::string& executableDir);

// The inputs of this process: environment and the given executable folder.
ProgramFolderInputs programFolderInputs(const std::string& executableDir);

// The chosen folder, with a trailing '/'. Creates it (and its "modules/" and
// "Savedgames/" subfolders) when it does not exist yet; a folder that had no
// "modules/" yet gets copies of the installed modules and saved games (files
// already there are kept). Creation errors are left to the commands that
// later use the folders.
std::string resolveProgramFolder(const ProgramFolderInputs& inputs);

// True if files can be created in `dir`.
bool folderWritable(const std::string& dir);

inline constexpr std::string_view kModulesFolder = "modules/";
inline constexpr std::string_view kSavedGamesFolder = "Savedgames/";

// The module title: the file's name up to its last point, at most 63 characters.
std::string moduleTitle(std::string_view path);

// The file's name up to its last point (the caption's saved-game part).
std::string fileTitleWithoutExtension(std::string_view path);

// The window caption: the module title, or "title: game" once a game was
// loaded or saved.
std::string windowCaption(std::string_view moduleTitle, std::string_view gameTitle);

}  // namespace qmx
