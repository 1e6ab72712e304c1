#pragma once
// The usual ini format: "[Section]" lines and "Key=Value" lines. Section and
// key names match without regard to case, blanks around names and values are
// ignored, and everything else in the file (comments, unknown sections and
// keys, their order) survives a rewrite. Keys are written exactly as named and
// numbers as decimal text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmx {

class IniFile {
public:
    // The largest file the reader looks at; a bigger one is treated as empty.
    static constexpr std::size_t kMaxFileSize = 1 << 20;

    IniFile() = default;
    // Parses text of any content; never fails.
    static IniFile parse(std::string_view text);
    // Reads a file; a missing, unreadable or oversized file gives an empty one.
    static IniFile load(const std::string& path);

    // The value of a key, trimmed, or nothing when the key is missing. A value
    // in double quotes loses them.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // A decimal integer value ("-12", " 40 "); nothing when the key is missing or
    // its value is not a whole decimal number. Huge numbers saturate.
    std::optional<long long> integer(std::string_view section, std::string_view key) const;
    // `fallback` when the key is missing or not a number.
    long long integerOr(std::string_view section, std::string_view key, long long fallback) const;

    // Sets a key, adding the section and the key at the end when they are missing.
    void set(std::string_view section, std::string_view key, std::string_view value);
    void set(std::string_view section, std::string_view key, long long value);

    // The whole file, lines ending in CR LF.
    std::string text() const;
    // Writes the file through a temporary file and a rename.
    bool save(const std::string& path) const;

    // Parses a whole decimal integer; nothing for anything else.
    static std::optional<long long> parseInteger(std::string_view text);

private:
    struct Line {
        std::string raw;      // the line as read, without its line end
        std::string section;  // for a section header: its name; else the section it is in
        std::string key;      // for a key line: its name; empty otherwise
        bool header = false;
    };

    // Index of the first line holding the key, or the number of lines.
    std::size_t find(std::string_view section, std::string_view key) const;

    std::vector<Line> m_lines;
};

}  // namespace qmx
