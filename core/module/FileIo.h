#pragma once
// Whole-file reads and safe writes. A write goes to a temporary file in the
// same folder and is renamed over the target only when every byte is on disk,
// so an old file is never lost to a failed write.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/module/Bytes.h"

namespace qmx {

// The whole file, or nothing if it cannot be opened or read. Files larger
// than `limit` bytes are refused too.
std::optional<Bytes> readWholeFile(const std::string& path, std::size_t limit = std::size_t(1)
                                                                                << 31);

// At most `count` bytes from the start of the file; nothing if it cannot be opened.
std::optional<Bytes> readFilePrefix(const std::string& path, std::size_t count);

// Writes `data` as the new content of `path` through a temporary file and a rename.
bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> data);

// True when something exists at `path` (false also when it cannot be told).
bool fileExists(const std::string& path);

// A temporary name in the folder of `path` that does not exist yet.
std::string temporarySibling(const std::string& path);

// `path` itself if it exists; otherwise a file of the same folder whose name
// matches case-insensitively; otherwise nothing.
std::optional<std::string> findFileIgnoringCase(const std::string& path);

// Replaces the last three characters of a file name ("turn.qm4" -> "turn.PNG").
// Shorter names are replaced whole.
std::string replaceLastThree(const std::string& path, std::string_view with);

}  // namespace qmx

namespace qmx {
// The file dialogs' extension rule: when the fourth character from the end is
// a point, the last three characters become `ext` unless they already read so
// (ignoring case); otherwise "." and `ext` are appended. `ext` has three characters.
std::string forceExtension(const std::string& name, std::string_view ext);
}  // namespace qmx
