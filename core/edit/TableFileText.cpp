#include "core/edit/TableFileText.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <limits>

#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"

namespace qmx {

bool TableLines::next(std::string_view& line) {
    const char* text = reinterpret_cast<const char*>(m_data.data());
    while (m_pos < m_data.size()) {
        const std::size_t start = m_pos;
        std::size_t end = start;
        bool onlyNul = true;
        while (end < m_data.size() && text[end] != '\r' && text[end] != '\n') {
            if (text[end] != '\0') onlyNul = false;
            ++end;
        }
        m_pos = end;
        if (m_pos < m_data.size()) {
            if (text[m_pos] == '\r' && m_pos + 1 < m_data.size() && text[m_pos + 1] == '\n')
                m_pos += 2;
            else
                m_pos += 1;
        }
        // Padding between or after the slots is no line; an empty line
        // between two line ends is.
        if (end > start && onlyNul) continue;
        line = std::string_view(text + start, end - start);
        return true;
    }
    return false;
}

namespace {

// A field in double quotes, as spreadsheets write texts that hold a
// separator (or every text, if asked): "" stands for one quote. Only a
// quoted text that closes right before a separator or the line end counts;
// anything else is read as it stands. Returns the position after the
// closing quote, or npos.
std::size_t quotedField(std::string_view line, std::size_t at, std::string_view separators,
                        std::string& text) {
    text.clear();
    for (std::size_t i = at + 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            if (line[i] != '\0') text.push_back(line[i]);
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == '"') {
            text.push_back('"');
            ++i;
            continue;
        }
        const bool ends =
            i + 1 == line.size() || separators.find(line[i + 1]) != std::string_view::npos;
        return ends ? i + 1 : std::string_view::npos;
    }
    return std::string_view::npos;
}

}  // namespace

std::vector<std::string> splitTableFields(std::string_view line, std::string_view separators,
                                          std::size_t maxFields, std::size_t maxField) {
    std::vector<std::string> fields;
    std::string field, quoted;
    bool open = false;  // a field has begun and is not yet ended
    for (std::size_t i = 0; i < line.size() && fields.size() < maxFields; ++i) {
        const char ch = line[i];
        if (separators.find(ch) != std::string_view::npos) {
            fields.push_back(std::move(field));
            field.clear();
            open = false;
            continue;
        }
        if (ch == '"' && field.empty()) {
            if (const std::size_t end = quotedField(line, i, separators, quoted);
                end != std::string_view::npos) {
                field = quoted.substr(0, maxField);
                open = true;
                i = end - 1;
                continue;
            }
        }
        open = true;
        if (ch != '\0' && field.size() < maxField) field.push_back(ch);
    }
    if (open && fields.size() < maxFields) fields.push_back(std::move(field));
    return fields;
}

std::string tableTextField(std::string_view text, std::string_view separators) {
    // A line end would end the record, even inside quotes, and a line with a
    // control character is no record: each becomes a blank.
    std::string flat(text);
    for (char& ch : flat)
        if ((static_cast<unsigned char>(ch) < 32 && ch != '\t') || ch == 127) ch = ' ';
    const bool plain = (flat.empty() || flat.front() != '"') &&
                       flat.find_first_of(separators) == std::string::npos;
    if (plain) return flat;
    std::string out = "\"";
    for (const char ch : flat) {
        out.push_back(ch);
        if (ch == '"') out.push_back('"');
    }
    out.push_back('"');
    return out;
}

long long tableNumber(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || field[i] == '\t')) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
    constexpr long long kLimit = std::numeric_limits<int>::max();
    long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        if (value < kLimit) value = std::min(kLimit, value * 10 + (field[i] - '0'));
    return negative ? -value : value;
}

bool isBlankTableLine(std::string_view line) {
    return line.find_first_not_of(std::string_view(" \t\0", 3)) == std::string_view::npos;
}

bool hasControlCharacter(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 32 && b != '\t' && b != 0) || b == 127;
    });
}

char tableSeparator(std::span<const std::uint8_t> data) {
    TableLines lines(data);
    std::string_view line;
    while (lines.next(line)) {
        if (isBlankTableLine(line)) continue;
        // A tab inside a quoted name (as this program writes one) is no separator.
        bool quoted = false;
        for (const char c : line) {
            if (c == '"') quoted = !quoted;
            if (c == '\t' && !quoted) return '\t';
        }
        return ',';
    }
    return ',';
}

std::string tableReadingText(const TableReading& r, bool units) {
    const char* what =
        units ? (r.records == 1 ? " unit" : " units") : (r.records == 1 ? " row" : " rows");
    std::string text = std::to_string(r.records) + what + " read from the table.";
    if (r.notRecords > 0) {
        text += "\n" + std::to_string(r.notRecords) +
                (r.notRecords == 1 ? " line was" : " lines were") +
                " not a record and passed over (nothing moved up in its place): line";
        text += r.notRecordLines.size() == 1 ? " " : "s ";
        for (std::size_t i = 0; i < r.notRecordLines.size(); ++i)
            text += (i > 0 ? ", " : "") + std::to_string(r.notRecordLines[i]);
        if (r.notRecords > static_cast<int>(r.notRecordLines.size())) text += ", ...";
        text += ".";
    }
    if (r.clamped > 0)
        text += "\n" + std::to_string(r.clamped) +
                (r.clamped == 1 ? " value was" : " values were") +
                " outside -99 to 99 (a step byte outside -128 to 127) and brought into range.";
    if (r.refusedImages > 0)
        text += "\n" + std::to_string(r.refusedImages) +
                (r.refusedImages == 1 ? " image number was" : " image numbers were") +
                " outside 0 to 65,024 and not taken: those steps keep their pictures.";
    return text;
}

std::string tableSaveName(const std::string& chosen) {
    return forceExtension(chosen, "txt");
}

int writeTableFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    namespace fs = std::filesystem;
    if (writeFileAtomically(path, bytes)) return 0;
    std::error_code ec;
    const fs::path p(path);
    const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
    if (!fs::is_directory(dir, ec) || fs::is_directory(p, ec) || ::access(dir.c_str(), W_OK) != 0)
        return editormsg::kCouldNotOpenFile;
    return editormsg::kDataFileWriteError;
}

std::optional<Bytes> readTableFile(const std::string& path) {
    // The largest unit table is 65,000 slots of 184 bytes or a little more;
    // the largest name table 250 x 249 hexes of 40 bytes.
    constexpr std::size_t kLimit = std::size_t(256) << 20;
    return readWholeFile(path, kLimit);
}

}  // namespace qmx
