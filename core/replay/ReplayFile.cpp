#include "core/replay/ReplayFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

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

}  // namespace qmx
