#pragma once
// A folder of the test's own under the system's temporary folder, with a name
// no other run can hold (the normal and the sanitizer build may run at once),
// removed with everything in it when the test ends, passed or failed.

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace qmx::test {

class TempFolder {
public:
    explicit TempFolder(const std::string& tag = "qmx")
        : TempFolder(tag, std::filesystem::temp_directory_path()) {}
    // The same under `base`, for a test that wants its files on another disk.
    TempFolder(const std::string& tag, const std::filesystem::path& base) {
        std::string pattern = (base / (tag + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // The folder's name ending in '/', as the program folders are given.
    std::string slashed() const { return m_path.string() + "/"; }

private:
    std::filesystem::path m_path;
};

}  // namespace qmx::test
