#include "core/edit/UnitTableFile.h"

#include <algorithm>

#include "core/edit/TableFileText.h"
#include "core/edit/UnitEditor.h"
#include "core/module/MessageTable.h"

namespace qmx {

namespace {

constexpr std::string_view kUnitSeparators = ",\t";

// At least `digits` digits after the sign: 7 -> "007", -1 -> "-001".
void appendNumber(std::string& out, int value, int digits) {
    char buf[16];
    int n = 0;
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        buf[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    while (n < digits) buf[n++] = '0';
    if (value < 0) out.push_back('-');
    while (n > 0) out.push_back(buf[--n]);
}

}  // namespace

std::string unitTableLine(const UnitDefinition& unit, std::int8_t stepByte) {
    std::string line = tableTextField(unit.name, kUnitSeparators);
    line.reserve(line.size() + 192);
    for (int s = 0; s < kStepCount; ++s) {
        line += ',';
        appendNumber(line, unit.stepImage[s], 3);
    }
    line += ',';
    appendNumber(line, stepByte, 3);
    for (int s = 0; s < kStepCount; ++s) {
        if (s > 0) line += unit.stepImage[s] != 0 ? ",Y" : ",N";
        for (int v = 0; v < kValueCount; ++v) {
            line += ',';
            appendNumber(line, unit.values[s][v], 2);
        }
    }
    return line;
}

Bytes buildUnitTable(const Module& module, const UnitStepBytes& steps) {
    Bytes out;
    const int count = std::min(module.unitCount, static_cast<int>(module.units.size()) - 1);
    out.reserve(static_cast<std::size_t>(count > 0 ? count : 0) * kUnitTableSlotSize);
    for (int u = 1; u <= count; ++u) {
        const std::int8_t step = static_cast<std::size_t>(u) < steps.size() ? steps[u] : 0;
        const std::string line = unitTableLine(module.units[u], step) + "\r\n";
        out.insert(out.end(), line.begin(), line.end());
        if (line.size() < kUnitTableSlotSize)
            out.resize(out.size() + kUnitTableSlotSize - line.size(), 0);
    }
    return out;
}

namespace {

std::string_view trimmedField(std::string_view f) {
    const std::size_t a = f.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return f.substr(a, f.find_last_not_of(' ') - a + 1);
}

// Blanks, an optional sign, digits, blanks.
bool isNumberField(std::string_view f) {
    f = trimmedField(f);
    if (!f.empty() && (f.front() == '-' || f.front() == '+')) f.remove_prefix(1);
    return !f.empty() &&
           std::all_of(f.begin(), f.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Field f of a record is the Y/N mark of a step (steps 2 to 6).
bool isStepMark(std::size_t f) {
    constexpr std::size_t first = 1 + kStepCount + 1 + kValueCount;
    return f >= first && (f - first) % (1 + kValueCount) == 0;
}

// A record: a name without control characters and every field after it
// that is there of its kind (a spreadsheet may leave off the fields at the
// end: those keep what they held).
bool isUnitRecord(const std::vector<std::string>& fields, std::string_view line) {
    if (hasControlCharacter(line) || fields.empty()) return false;
    for (std::size_t f = 1; f < fields.size(); ++f) {
        const std::string_view v = trimmedField(fields[f]);
        const bool fits = isStepMark(f) ? v.empty() || v == "Y" || v == "N" || v == "y" || v == "n"
                                        : isNumberField(v);
        if (!fits) return false;
    }
    return true;
}

// The step byte: -128..127, and 128..255 as the bytes of -128..-1; beyond,
// the nearest end. Counts a value it had to change.
int stepByte(long long n, int& clamped) {
    if (n >= -128 && n <= 255) return static_cast<std::int8_t>(static_cast<std::uint8_t>(n & 0xFF));
    ++clamped;
    return n < 0 ? -128 : 127;
}

// A unit value of the table. Values are -99..99; other copies write a
// negative one as its byte (157..255 for -99..-1), so only 100..156 and
// numbers beyond those ends are out of range: they go to the nearest end.
int unitValue(long long n, int& clamped) {
    if (n >= 157 && n <= 255) return static_cast<int>(n) - 256;
    const long long in = std::clamp<long long>(n, kMinUnitValue, kMaxUnitValue);
    if (in != n) ++clamped;
    return static_cast<int>(in);
}

}  // namespace

int readUnitTable(std::span<const std::uint8_t> data, Module& module, UnitStepBytes& steps,
                  TableReading* reading) {
    TableReading local;
    TableReading& r = reading ? *reading : local;
    const int count = std::min(module.unitCount, static_cast<int>(module.units.size()) - 1);
    if (count <= 0) return 0;
    if (steps.size() < static_cast<std::size_t>(count) + 1)
        steps.resize(static_cast<std::size_t>(count) + 1, 0);
    const char separator = tableSeparator(data);
    const std::string_view separators(&separator, 1);
    TableLines lines(data);
    std::string_view line;
    int u = 1;
    for (int lineNumber = 1; u <= count && lines.next(line); ++lineNumber) {
        if (isBlankTableLine(line)) continue;
        const std::vector<std::string> fields =
            splitTableFields(line, separators, kUnitTableFieldCount, 4096);
        if (!isUnitRecord(fields, line)) {
            r.passOver(lineNumber);
            continue;
        }
        UnitDefinition& unit = module.units[static_cast<std::size_t>(u)];
        unit.name =
            std::string(trimRightView(std::string_view(fields[0]).substr(0, kUnitNameSize)));
        for (std::size_t f = 1; f < fields.size(); ++f) {
            const long long n = tableNumber(fields[f]);
            if (f <= kStepCount) {
                if (n < 0 || n > kMaxBase255) {
                    ++r.refusedImages;
                } else {
                    unit.stepImage[f - 1] = static_cast<std::uint16_t>(n);
                }
            } else if (f == kStepCount + 1) {
                steps[static_cast<std::size_t>(u)] =
                    static_cast<std::int8_t>(stepByte(n, r.clamped));
            } else if (!isStepMark(f)) {
                const std::size_t k = f - (kStepCount + 2);  // from step 1's first value
                const std::size_t step =
                    k < kValueCount ? 0 : 1 + (k - kValueCount) / (1 + kValueCount);
                const std::size_t value =
                    k < kValueCount ? k : (k - kValueCount) % (1 + kValueCount) - 1;
                unit.values[step][value] =
                    static_cast<std::uint8_t>(unitValue(n, r.clamped) & 0xFF);
            }
        }
        ++u;
    }
    r.records = u - 1;
    return u - 1;
}

int saveUnitTableFile(const std::string& path, const Module& module, const UnitStepBytes& steps) {
    return writeTableFile(path, buildUnitTable(module, steps));
}

TableLoad loadUnitTableFile(const std::string& path, Module& module, UnitStepBytes& steps) {
    const auto data = readTableFile(path);
    if (!data) return {editormsg::kCouldNotOpenFile, 0};
    return {0, readUnitTable(*data, module, steps)};
}

}  // namespace qmx
