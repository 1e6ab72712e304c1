#include "core/game/ModuleFinder.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

#include "core/game/EncodedSave.h"
#include "core/game/MailText.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/module/Module.h"
#include "core/module/ModuleFile.h"

namespace qmx {

namespace fs = std::filesystem;

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return ext;
}

int base255(std::uint8_t high, std::uint8_t low) {
    return high * 255 + low;
}

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// The ".qm4" files of a folder, sorted by name; none when it cannot be read.
std::vector<std::string> modulesIn(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return out;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string path = it->path().string();
        if (lowerExtension(path) == ".qm4" && it->is_regular_file(ec)) out.push_back(path);
    }
    std::sort(out.begin(), out.end());
    return out;
}

bool sameBytes(const std::string& a, const std::string& b) {
    std::error_code ec1;
    std::error_code ec2;
    if (fs::file_size(a, ec1) != fs::file_size(b, ec2) || ec1 || ec2) return false;
    const auto x = readWholeFile(a);
    const auto y = readWholeFile(b);
    return x && y && *x == *y;
}

}  // namespace

std::optional<SavedGameModule> savedGameModule(std::span<const std::uint8_t> data) {
    const MailTextSave mail = findMailTextSave(data);
    std::optional<Bytes> decoded;
    if (mail.text) {
        decoded = decodeTextSave(*mail.text);
        if (!decoded) return std::nullopt;
        data = *decoded;
    } else if (mail.mail) {
        return std::nullopt;  // a mail without a saved game in it
    }
    if (data.size() < kSaveHeaderSize) return std::nullopt;
    return SavedGameModule{{data[0], data[1], data[2]}, base255(data[4], data[5])};
}

std::optional<SavedGameModule> savedGameModuleOfFile(const std::string& path) {
    const std::optional<Bytes> data = readWholeFile(path, kMaxSaveFileSize);
    if (!data) return std::nullopt;
    return savedGameModule(*data);
}

StartFileKind startFileKind(const std::string& path) {
    const std::string ext = lowerExtension(path);
    if (ext == ".qm4") return StartFileKind::Module;
    if (ext == ".qms") return StartFileKind::SavedGame;
    const std::optional<Bytes> data = readWholeFile(path, kMaxSaveFileSize);
    if (data && findMailTextSave(*data).text) return StartFileKind::SavedGame;
    return StartFileKind::Module;
}

std::optional<SavedGameModule> moduleIdentityOfFile(const std::string& path) {
    const std::optional<Bytes> head = readFilePrefix(path, kModuleHeaderSize);
    if (!head || head->size() < kModuleHeaderSize) return std::nullopt;
    const Bytes& h = *head;
    const int version = h[6];
    if (version < kPlayerMinVersion || version > kPlayerMaxVersion) return std::nullopt;
    const int stored = base255(h[510], h[511]);
    if (stored > kMaxUnits) return std::nullopt;
    return SavedGameModule{{h[0], h[1], h[2]}, std::max(stored, kMinUnits)};
}

ModuleSearch moduleSearchFor(const std::string& savedGamePath, const std::string& programFolder,
                             const std::string& installedData,
                             const std::vector<std::string>& recentModules) {
    ModuleSearch search;
    search.files = recentModules;
    search.folders.push_back(withSlash(programFolder) + "modules");
    const fs::path gameFolder = fs::path(savedGamePath).parent_path();
    if (!gameFolder.empty()) {
        search.folders.push_back(gameFolder.string());
        search.folders.push_back((gameFolder.parent_path() / "modules").string());
    }
    if (!installedData.empty()) search.folders.push_back(withSlash(installedData) + "modules");
    return search;
}

std::vector<std::string> findModulesFor(const SavedGameModule& wanted, const ModuleSearch& search) {
    std::vector<std::string> candidates = search.files;
    for (const std::string& folder : search.folders) {
        const std::vector<std::string> files = modulesIn(folder);
        candidates.insert(candidates.end(), files.begin(), files.end());
    }
    std::vector<std::string> found;
    std::set<std::string> seen;
    for (const std::string& path : candidates) {
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(path, ec);
        if (!seen.insert(ec ? path : canonical.string()).second) continue;
        const std::optional<SavedGameModule> identity = moduleIdentityOfFile(path);
        if (!identity || *identity != wanted) continue;
        const bool copy = std::any_of(found.begin(), found.end(),
                                      [&](const std::string& f) { return sameBytes(f, path); });
        if (!copy) found.push_back(path);
    }
    return found;
}

}  // namespace qmx
