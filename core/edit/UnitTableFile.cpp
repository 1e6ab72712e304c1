#include "core/edit/UnitTableFile.h"

#include <algorithm>

#include "core/edit/TableFileText.h"
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

int readUnitTable(std::span<const std::uint8_t> data, Module& module, UnitStepBytes& steps) {
    const int count = std::min(module.unitCount, static_cast<int>(module.units.size()) - 1);
    if (count <= 0) return 0;
    if (steps.size() < static_cast<std::size_t>(count) + 1)
        steps.resize(static_cast<std::size_t>(count) + 1, 0);
    TableLines lines(data);
    std::string_view line;
    int u = 1;
    for (; u <= count && lines.next(line); ++u) {
        const std::vector<std::string> fields =
            splitTableFields(line, kUnitSeparators, kUnitTableFieldCount, 4096);
        UnitDefinition& unit = module.units[static_cast<std::size_t>(u)];
        for (std::size_t f = 0; f < fields.size(); ++f) {
            if (f == 0) {
                unit.name = std::string(
                    trimRightView(std::string_view(fields[0]).substr(0, kUnitNameSize)));
                continue;
            }
            // The number as the field's width stores it (two's complement).
            const long long n = tableNumber(fields[f]);
            if (f <= kStepCount) {
                unit.stepImage[f - 1] = static_cast<std::uint16_t>(n);
            } else if (f == kStepCount + 1) {
                steps[static_cast<std::size_t>(u)] = static_cast<std::int8_t>(n);
            } else {
                const std::size_t k = f - (kStepCount + 2);  // from step 1's first value
                std::size_t step, value;
                if (k < kValueCount) {
                    step = 0;
                    value = k;
                } else {
                    step = 1 + (k - kValueCount) / (1 + kValueCount);
                    const std::size_t at = (k - kValueCount) % (1 + kValueCount);
                    if (at == 0) continue;  // Y or N
                    value = at - 1;
                }
                unit.values[step][value] = static_cast<std::uint8_t>(n);
            }
        }
    }
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
