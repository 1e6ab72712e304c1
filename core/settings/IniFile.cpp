#include "core/settings/IniFile.h"

#include <algorithm>
#include <limits>

#include "core/module/FileIo.h"

namespace qmx {

namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Names and values are written on one line: line ends and a "=" in a key
// would change the file's structure, so they are replaced.
std::string oneLine(std::string_view s, bool isKey) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
        if (isKey && (c == '=' || c == '[')) c = ' ';
    }
    return std::string(trim(out));
}

}  // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile ini;
    std::string current;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

        Line line;
        line.raw = std::string(raw);
        const std::string_view body = trim(raw);
        if (!body.empty() && body.front() == '[') {
            const std::size_t close = body.find(']');
            if (close != std::string_view::npos) {
                current = std::string(trim(body.substr(1, close - 1)));
                line.header = true;
            }
        } else if (!body.empty() && body.front() != ';' && body.front() != '#') {
            const std::size_t eq = body.find('=');
            if (eq != std::string_view::npos) line.key = std::string(trim(body.substr(0, eq)));
        }
        line.section = current;
        ini.m_lines.push_back(std::move(line));
    }
    return ini;
}

IniFile IniFile::load(const std::string& path) {
    const auto bytes = readWholeFile(path, kMaxFileSize);
    if (!bytes) return {};
    return parse(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

std::size_t IniFile::find(std::string_view section, std::string_view key) const {
    // The first occurrence wins, as with the system's own ini reader.
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (!line.header && !line.key.empty() && sameName(line.section, section) &&
            sameName(line.key, key)) {
            return i;
        }
    }
    return m_lines.size();
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    const std::size_t at = find(section, key);
    if (at == m_lines.size()) return std::nullopt;
    const std::string_view raw = m_lines[at].raw;
    std::string_view v = trim(raw.substr(raw.find('=') + 1));
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::optional<long long> IniFile::parseInteger(std::string_view text) {
    text = trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    constexpr long long kLimit = std::numeric_limits<long long>::max() / 10 - 1;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (n < kLimit) n = n * 10 + (c - '0');  // beyond this, saturate
    }
    return negative ? -n : n;
}

std::optional<long long> IniFile::integer(std::string_view section, std::string_view key) const {
    const auto v = value(section, key);
    if (!v) return std::nullopt;
    return parseInteger(*v);
}

long long IniFile::integerOr(std::string_view section, std::string_view key,
                             long long fallback) const {
    return integer(section, key).value_or(fallback);
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string name = oneLine(key, true);
    const std::string sectionName = oneLine(section, true);
    const std::string text = name + "=" + oneLine(value, false);
    if (name.empty()) return;

    if (const std::size_t at = find(sectionName, name); at < m_lines.size()) {
        m_lines[at].raw = text;
        return;
    }
    // After the last key line of the first matching section, or a new section at the end.
    std::optional<std::size_t> insertAt;
    bool seen = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.header) {
            if (seen) break;
            if (sameName(line.section, sectionName)) {
                seen = true;
                insertAt = i + 1;
            }
        } else if (seen && !trim(line.raw).empty()) {
            insertAt = i + 1;
        }
    }
    Line line{text, sectionName, name, false};
    if (insertAt) {
        line.section = m_lines[*insertAt - 1].section;
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(*insertAt), std::move(line));
        return;
    }
    if (!m_lines.empty() && !trim(m_lines.back().raw).empty()) {
        m_lines.push_back({"", m_lines.back().section, "", false});
    }
    m_lines.push_back({"[" + sectionName + "]", sectionName, "", true});
    m_lines.push_back(std::move(line));
}

void IniFile::set(std::string_view section, std::string_view key, long long value) {
    set(section, key, std::to_string(value));
}

std::string IniFile::text() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const std::string& path) const {
    const std::string t = text();
    return writeFileAtomically(
        path, std::span(reinterpret_cast<const std::uint8_t*>(t.data()), t.size()));
}

}  // namespace qmx
