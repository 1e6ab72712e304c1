#include "core/replay/ReplayFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/module/FileIo.h"

namespace qmx {

ReplayFile::ReplayFile(const std::string& folder, const Clock& clock) {
    const std::string name = nameFor(clock.fileTimeNow());
    m_path = folder.empty() ? name : (std::filesystem::path(folder) / name).string();
}

std::string ReplayFile::nameFor(std::uint64_t fileTime) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", static_cast<unsigned>(fileTime & 0xFFFFFFFFu));
    return std::string(buf) + ".tmp";
}

ReplayFile::AppendResult ReplayFile::append(std::span<const std::uint8_t> entry) {
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return AppendResult::OpenFailed;
    struct stat st {};
    const off_t before = ::fstat(fd, &st) == 0 ? st.st_size : -1;
    std::size_t done = 0;
    while (done < entry.size()) {
        const ssize_t n = ::write(fd, entry.data() + done, entry.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool whole = done == entry.size();
    if (!whole && before >= 0) {
        [[maybe_unused]] const int r = ::ftruncate(fd, before);
    }
    const bool closed = ::close(fd) == 0;
    return whole && closed ? AppendResult::Written : AppendResult::ShortWrite;
}

std::optional<Bytes> ReplayFile::read() const {
    return readWholeFile(m_path);
}

bool ReplayFile::replace(std::span<const std::uint8_t> record) {
    return writeFileAtomically(m_path, record);
}

void ReplayFile::remove() {
    std::error_code ec;
    std::filesystem::remove(m_path, ec);
}

bool ReplayFile::exists() const {
    std::error_code ec;
    return std::filesystem::is_regular_file(m_path, ec);
}

// ---- the lock of a running copy ------------------------------------------------

namespace {

constexpr const char* kLockSuffix = ".lock";

bool isWorkFileName(const std::string& name) {
    if (name.size() < 5 || name.size() > 12 || name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    for (std::size_t i = 0; i + 4 < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// True when a running copy holds the lock file (it exists and is locked).
bool heldByRunningCopy(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

}  // namespace

ReplayFileLock::ReplayFileLock(std::string replayPath)
    : m_lockPath(std::move(replayPath) + kLockSuffix) {
    m_fd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

ReplayFileLock::~ReplayFileLock() {
    if (m_fd < 0) return;
    std::error_code ec;
    std::filesystem::remove(m_lockPath, ec);
    ::close(m_fd);
}

int removeStaleReplayFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    int removed = 0;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!isWorkFileName(name) || !it->is_regular_file(ec)) continue;
        if (heldByRunningCopy(it->path().string() + kLockSuffix)) continue;
        stale.push_back(it->path());
    }
    for (const fs::path& p : stale) {
        std::error_code gone;
        if (fs::remove(p, gone)) ++removed;
        fs::remove(p.string() + kLockSuffix, gone);
    }
    return removed;
}

}  // namespace qmx
