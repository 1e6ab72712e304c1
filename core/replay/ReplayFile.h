#pragma once
// The work file that holds the replay record of the game in progress. It
// lives in the program folder under a name taken from the clock at start-up
// (the low 32 bits of the file time in lower-case hexadecimal, then ".tmp").
// Every entry is appended by opening the file, writing and closing, so that
// the dialogs that write their own entries keep the order of the actions.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "core/module/Bytes.h"
#include "core/module/Clock.h"

namespace qmx {

class ReplayFile {
public:
    // The file in `folder`, named from the clock.
    ReplayFile(const std::string& folder, const Clock& clock);
    // The file at exactly `path` (tests, tools).
    explicit ReplayFile(std::string path) : m_path(std::move(path)) {}

    // "1a2b3c4d.tmp": the low 32 bits of `fileTime` in lower-case hexadecimal.
    static std::string nameFor(std::uint64_t fileTime);

    const std::string& path() const { return m_path; }

    enum class AppendResult { Written, OpenFailed, ShortWrite };
    // Opens the file for appending (creating it), writes `entry`, closes it.
    // A short write takes the file back to its former length, so that a
    // half-written entry never remains in the record.
    AppendResult append(std::span<const std::uint8_t> entry);

    // The whole record; nothing when the file does not exist or cannot be read.
    std::optional<Bytes> read() const;
    // Replaces the record (a loaded game brings its own); false on failure.
    bool replace(std::span<const std::uint8_t> record);
    // Deletes the file ("Reset Recorder", program end). Missing is fine.
    void remove();
    bool exists() const;

private:
    std::string m_path;
};

// Marks a replay work file as the one of a running copy: a lock file beside
// it ("1a2b3c4d.tmp.lock") held locked for as long as this object lives, so
// that a later start can tell the work files of copies that ended in a crash.
// The lock goes with the process, however it ends.
class ReplayFileLock {
public:
    explicit ReplayFileLock(std::string replayPath);
    ~ReplayFileLock();
    ReplayFileLock(const ReplayFileLock&) = delete;
    ReplayFileLock& operator=(const ReplayFileLock&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    std::string m_lockPath;
    int m_fd = -1;
};

// Removes the replay work files in `folder` that no running copy holds (names
// of one to eight hexadecimal digits and ".tmp", with or without a lock file
// that nobody holds), and their lock files. Returns how many work files went.
int removeStaleReplayFiles(const std::string& folder);

}  // namespace qmx
