#include "core/edit/NameTableFile.h"

#include <algorithm>

#include "core/edit/TableFileText.h"
#include "core/module/MessageTable.h"

namespace qmx {

namespace {
constexpr std::string_view kNameSeparators = ",\t|";
}  // namespace

std::string rowProgressText(int row) {
    return "Row " + std::to_string(row);
}

Bytes buildNameTable(const Module& module, const RowProgress& progress) {
    std::string text;
    const int columns = module.columns, rows = module.rows;
    const bool complete =
        columns > 0 && rows > 0 &&
        module.hexes.size() >= static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    if (complete) {
        text.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) * 8);
        for (int r = 1; r <= rows; ++r) {
            if (progress) progress(r);
            for (int c = 1; c <= columns; ++c) {
                text += tableTextField(module.hex(c, r).name, kNameSeparators);
                text += ',';
            }
            text += "\r\n";
        }
    }
    const std::size_t block = complete ? static_cast<std::size_t>(columns) *
                                             static_cast<std::size_t>(rows) * kNameTableBytesPerHex
                                       : 0;
    Bytes out(text.begin(), text.end());
    if (out.size() < block) out.resize(block, 0);
    return out;
}

int readNameTable(std::span<const std::uint8_t> data, Module& module, const RowProgress& progress,
                  TableReading* reading) {
    TableReading local;
    TableReading& report = reading ? *reading : local;
    const int columns = module.columns, rows = module.rows;
    if (columns <= 0 || rows <= 0 ||
        module.hexes.size() < static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows))
        return 0;
    TableLines lines(data);
    int read = 0;
    int lineNumber = 0;
    for (int r = 1; r <= rows; ++r) {
        if (progress) progress(r);
        std::string_view line;
        std::vector<std::string> fields;
        // Blank lines take no row's place; a line with control characters
        // is no row of names.
        bool found = false;
        while (!found && lines.next(line)) {
            ++lineNumber;
            if (isBlankTableLine(line)) continue;
            if (hasControlCharacter(line)) {
                report.passOver(lineNumber);
                continue;
            }
            found = true;
        }
        if (found) {
            ++read;
            fields = splitTableFields(line, kNameSeparators, static_cast<std::size_t>(columns),
                                      kNameTableFieldSize);
        }
        for (int c = 1; c <= columns; ++c) {
            const std::size_t f = static_cast<std::size_t>(c - 1);
            module.hex(c, r).name = f < fields.size() ? std::move(fields[f]) : std::string();
        }
    }
    report.records = read;
    return read;
}

int saveNameTableFile(const std::string& path, const Module& module, const RowProgress& progress) {
    return writeTableFile(path, buildNameTable(module, progress));
}

TableLoad loadNameTableFile(const std::string& path, Module& module, const RowProgress& progress) {
    const auto data = readTableFile(path);
    if (!data) return {editormsg::kCouldNotOpenFile, 0};
    return {0, readNameTable(*data, module, progress)};
}

}  // namespace qmx
