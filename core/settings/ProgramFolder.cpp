#include "core/settings/ProgramFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qmx {

namespace fs = std::filesystem;

namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

std::string withSlash(std::string dir) {
    if (dir.empty()) dir = ".";
    if (dir.back() != '/') dir += '/';
    return dir;
}

// Copies the regular files of `from` into `to`, keeping files already there.
void seedFolder(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code copyError;
        if (it->is_regular_file(copyError))
            fs::copy_file(it->path(), to / it->path().filename(), fs::copy_options::skip_existing,
                          copyError);
    }
}

}  // namespace

std::string installedDataFolder(const std::string& executableDir) {
    if (executableDir.empty()) return {};
    const fs::path bin = fs::path(executableDir).lexically_normal();
    const fs::path dir = bin.filename().empty() ? bin.parent_path() : bin;
    if (dir.filename() != "bin") return {};
    const fs::path data = dir.parent_path() / "share" / "qmx4";
    std::error_code ec;
    if (!fs::is_directory(data / "modules", ec)) return {};
    return withSlash(data.string());
}

ProgramFolderInputs programFolderInputs(const std::string& executableDir) {
    return {env("QMX_HOME"), executableDir, env("XDG_DATA_HOME"), env("HOME"),
            installedDataFolder(executableDir)};
}

bool folderWritable(const std::string& dir) {
    std::error_code ec;
    if (dir.empty() || !fs::is_directory(dir, ec)) return false;
    return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string resolveProgramFolder(const ProgramFolderInputs& inputs) {
    std::string folder;
    if (!inputs.qmxHome.empty()) {
        folder = inputs.qmxHome;
    } else if (inputs.installedData.empty() && folderWritable(inputs.executableDir)) {
        folder = inputs.executableDir;
    } else if (!inputs.dataHome.empty()) {
        folder = inputs.dataHome + "/qmx4";
    } else {
        folder = (inputs.home.empty() ? std::string(".") : inputs.home) + "/.local/share/qmx4";
    }
    folder = withSlash(folder);
    std::error_code ec;
    const bool fresh = !fs::is_directory(folder + std::string(kModulesFolder), ec);
    fs::create_directories(folder, ec);
    fs::create_directories(folder + std::string(kModulesFolder), ec);
    fs::create_directories(folder + std::string(kSavedGamesFolder), ec);
    if (fresh && !inputs.installedData.empty()) {
        for (const std::string_view sub : {kModulesFolder, kSavedGamesFolder})
            seedFolder(inputs.installedData + std::string(sub), folder + std::string(sub));
    }
    return folder;
}

std::string fileTitleWithoutExtension(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

std::string moduleTitle(std::string_view path) {
    std::string title = fileTitleWithoutExtension(path);
    if (title.size() > 63) title.resize(63);
    return title;
}

std::string windowCaption(std::string_view moduleTitle, std::string_view gameTitle) {
    std::string caption(moduleTitle);
    if (!gameTitle.empty()) {
        caption += ": ";
        caption += gameTitle;
    }
    return caption;
}

}  // namespace qmx
