#include "core/session/SaveCheck.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/game/GameState.h"
#include "core/game/SavedGame.h"
#include "core/game/UserPrompts.h"
#include "core/module/FileIo.h"

namespace qmx {

namespace fs = std::filesystem;

namespace {

std::string fileName(const std::string& path) {
    return fs::path(path).filename().string();
}

bool samePath(const std::string& a, const std::string& b) {
    std::error_code ec;
    return a == b || fs::equivalent(a, b, ec);
}

// A candidate read as a saved game of the module.
struct ReadSave {
    GameState state;
    Bytes record;
};

std::optional<ReadSave> readSave(const Module& module, const std::string& path,
                                 std::span<const std::uint8_t> skipBytes = {}) {
    const auto bytes = readWholeFile(path);
    if (!bytes) return std::nullopt;
    if (!skipBytes.empty() && std::ranges::equal(*bytes, skipBytes)) return std::nullopt;
    ReadSave save{GameState(module), {}};
    NoPrompts quiet;
    const SavedGameLoad load = readSavedGame(*bytes, module, save.state, quiet);
    if (!load.ok) return std::nullopt;
    save.record = load.replay;
    return save;
}

// Two files of the same game: the players named in the save are named so in
// the reply, and one of them at least keeps his stored password, which is
// salted anew for every game (so two games of one module by the same two
// people are told apart).
bool sameGame(const GameState& save, const GameState& reply) {
    bool named = false, kept = false;
    for (std::size_t i = 0; i < save.players.size(); ++i) {
        const PlayerSlot& a = save.players[i];
        const PlayerSlot& b = reply.players[i];
        const bool person = a.kind == SlotKind::Player || a.kind == SlotKind::GameMaster;
        if (!person || a.name.empty()) continue;
        if (b.name != a.name) return false;
        named = true;
        kept = kept || a.password == b.password;
    }
    return !named || kept;
}

}  // namespace

std::vector<std::string> saveCandidates(const std::vector<std::string>& recent,
                                        const std::vector<std::string>& folders,
                                        const std::string& loaded) {
    std::error_code ec;
    const auto loadedTime =
        loaded.empty() ? fs::file_time_type::max() : fs::last_write_time(loaded, ec);
    const auto limit = ec ? fs::file_time_type::max() : loadedTime;
    std::vector<std::string> out;
    auto take = [&](const std::string& path) {
        if (out.size() >= kMaxSaveCandidates) return;
        if (!loaded.empty() && samePath(path, loaded)) return;
        for (const std::string& p : out) {
            if (samePath(p, path)) return;
        }
        std::error_code e;
        const auto time = fs::last_write_time(path, e);
        if (e || time > limit) return;
        out.push_back(path);
    };
    for (const std::string& path : recent) take(path);

    std::vector<std::pair<fs::file_time_type, std::string>> found;
    for (const std::string& folder : folders) {
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code e;
            if (!it->is_regular_file(e) || it->path().extension() != ".qms") continue;
            found.emplace_back(it->last_write_time(e), it->path().string());
        }
        ec.clear();
    }
    std::ranges::sort(found, std::greater<>());
    for (const auto& entry : found) take(entry.second);
    return out;
}

std::optional<SaveCheck> checkAgainstSaves(const Module& module, const CheckedGame& reply,
                                           const std::vector<std::string>& candidates,
                                           std::uint8_t viewer,
                                           std::span<const std::uint8_t> loadedBytes) {
    const int needed = (reply.state.unitCount() * 9 + 9) / 10;
    std::optional<ReadSave> best;
    std::string bestPath;
    int bestScore = -1;
    for (const std::string& path : candidates) {
        auto save = readSave(module, path, loadedBytes);
        if (!save || save->state.unitCount() != reply.state.unitCount() ||
            !sameGame(save->state, reply.state))
            continue;
        const int score = startMatches({save->state, save->record}, reply);
        if (score < needed || score <= bestScore) continue;
        bestScore = score;
        bestPath = path;
        best = std::move(save);
        if (score == reply.state.unitCount()) break;
    }
    if (!best) return std::nullopt;
    return SaveCheck{bestPath, checkTurn(module, {best->state, best->record}, reply, viewer)};
}

std::optional<TurnCheck> checkAgainstSave(const Module& module, const CheckedGame& reply,
                                          const std::string& path, std::uint8_t viewer) {
    const auto save = readSave(module, path);
    if (!save) return std::nullopt;
    return checkTurn(module, {save->state, save->record}, reply, viewer);
}

std::string checkedNotice(const std::string& savePath) {
    return "Checked against your save " + fileName(savePath) + ": every change is in the replay.";
}

std::string findingsHeading(const std::string& savePath) {
    return "The game you loaded was changed outside its replay since your save " +
           fileName(savePath) + ":";
}

}  // namespace qmx
