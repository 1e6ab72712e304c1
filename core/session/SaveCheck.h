#pragma once
// The turn check in the player: which of this player's own saves a loaded
// game answers, and what checking it against that save found. The saves
// looked at are the ones he saved lately (QMX.ini), then the saved games of
// the folders given, newest first.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/module/Module.h"
#include "core/replay/TurnCheck.h"

namespace qmx {

// At most this many files are read in search of the save a reply answers.
inline constexpr std::size_t kMaxSaveCandidates = 20;

inline constexpr const char* kTurnCheckTitle = "Turn Check";

struct SaveCheck {
    std::string savePath;  // the save the game was checked against
    TurnCheck check;
};

// The candidates in the order they are tried: `recent` first, then the .qms
// files of `folders`, newest first; each once, never `loaded` itself nor a
// file written after it; at most kMaxSaveCandidates. `loaded` may be empty (a
// pasted game).
std::vector<std::string> saveCandidates(const std::vector<std::string>& recent,
                                        const std::vector<std::string>& folders,
                                        const std::string& loaded);

// Reads the candidates (quietly; one that does not load is passed over, as is
// one whose bytes are `loadedBytes`) and checks `reply` against the one whose
// units start as the reply's do, for at least nine in ten of them; the best
// such match, the earlier candidate on a tie. Nothing when none matches.
std::optional<SaveCheck> checkAgainstSaves(const Module& module, const CheckedGame& reply,
                                           const std::vector<std::string>& candidates,
                                           std::uint8_t viewer,
                                           std::span<const std::uint8_t> loadedBytes = {});

// The check against one file the person chose, however well it matches;
// nothing when the file cannot be read as a saved game of `module`.
std::optional<TurnCheck> checkAgainstSave(const Module& module, const CheckedGame& reply,
                                          const std::string& path, std::uint8_t viewer);

// The status line of a clean check, and the heading of the findings' list.
std::string checkedNotice(const std::string& savePath);
std::string findingsHeading(const std::string& savePath);

}  // namespace qmx
