#include "core/module/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

namespace qmx {
namespace fs = std::filesystem;

std::optional<Bytes> readWholeFile(const std::string& path, std::size_t limit) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > limit) return std::nullopt;
    in.seekg(0);
    Bytes data(static_cast<std::size_t>(size));
    if (!data.empty() && !in.read(reinterpret_cast<char*>(data.data()), size)) return std::nullopt;
    return data;
}

std::optional<Bytes> readFilePrefix(const std::string& path, std::size_t count) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    // No more than the file holds is allocated, whatever `count` asks for.
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    in.seekg(0);
    if (size >= 0 && static_cast<std::uint64_t>(size) < count)
        count = static_cast<std::size_t>(size);
    Bytes data(count);
    in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(count));
    data.resize(static_cast<std::size_t>(in.gcount()));
    return data;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::string temporarySibling(const std::string& path) {
    static std::mt19937_64 rng{std::random_device{}()};
    for (;;) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".tmp%08llx",
                      static_cast<unsigned long long>(rng() & 0xFFFFFFFFu));
        std::string candidate = path + suffix;
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> data) {
    const std::string tmp = temporarySibling(path);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    bool ok = true;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;  // a signal, not a failure
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

std::optional<std::string> findFileIgnoringCase(const std::string& path) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) return path;
    const fs::path p(path);
    const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    const std::string wanted = lower(p.filename().string());
    std::optional<std::string> found;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (lower(it->path().filename().string()) != wanted) continue;
        // Several matches: take the first in name order, so the choice is stable.
        const std::string candidate = (dir / it->path().filename()).string();
        if (!found || candidate < *found) found = candidate;
    }
    return found;
}

std::string replaceLastThree(const std::string& path, std::string_view with) {
    if (path.size() < 3) return std::string(with);
    return path.substr(0, path.size() - 3) + std::string(with);
}

}  // namespace qmx

namespace qmx {
std::string forceExtension(const std::string& name, std::string_view ext) {
    if (name.size() >= 4 && name[name.size() - 4] == '.') {
        const std::string last = name.substr(name.size() - 3);
        bool same = true;
        for (std::size_t i = 0; i < 3; ++i)
            if (std::tolower(static_cast<unsigned char>(last[i])) !=
                std::tolower(static_cast<unsigned char>(ext[i])))
                same = false;
        return same ? name : name.substr(0, name.size() - 3) + std::string(ext);
    }
    return name + "." + std::string(ext);
}
}  // namespace qmx
