// The commands for authors who keep their modules in spreadsheets and
// scripts: unit-table and name-table export|import, and coordinates. They
// read the module as the editor does and run the editor's own table and
// naming code; a command that changes the module writes it in place, after
// keeping the previous file as MODULE.bak.

#include <ostream>

#include "core/edit/NameTableFile.h"
#include "core/edit/TableFileText.h"
#include "core/edit/UnitTableFile.h"
#include "core/map/CoordinateNaming.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/module/ModuleFile.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

std::string editorMessage(int number) {
    const auto text = messageText(MessageTable::Editor, number);
    return text ? std::string(*text) : "message " + std::to_string(number);
}

// The module as the editor reads it (every layout up to version 156, card
// texts included), so that writing it back loses nothing.
Module loadModuleForEditing(const std::string& path, ToolStreams& io) {
    ModuleLoad load = loadModuleFile(path, ModuleReader::Editor);
    std::string notes;
    for (const Notice& n : load.notices)
        notes += (notes.empty() ? "" : " ") + noticeText(MessageTable::Editor, n);
    if (!load.ok)
        throw ToolError(path + ": " + (notes.empty() ? "the module cannot be read" : notes));
    if (!notes.empty()) io.err << "qmxtool: " << path << ": " << notes << "\n";
    return std::move(load.module);
}

std::string backupPath(const std::string& modulePath) {
    return modulePath + ".bak";
}

// Keeps the file as it was in MODULE.bak, then replaces it whole.
void writeModuleInPlace(const std::string& path, const Module& module) {
    const auto old = readWholeFile(path);
    if (!old) throw ToolError(path + ": " + editorMessage(editormsg::kCouldNotOpenFile));
    if (!writeFileAtomically(backupPath(path), *old))
        throw ToolError(backupPath(path) +
                        ": the backup could not be written; the module is unchanged");
    if (!writeFileAtomically(path, serializeModule(module)))
        throw ToolError(path + ": " + editorMessage(editormsg::kDataFileWriteError) +
                        " (the module is unchanged)");
}

void checkMode(const std::string& mode) {
    if (mode != "export" && mode != "import")
        throw UsageError("the first argument is export or import, not \"" + mode + "\"");
}

void writeTable(const std::string& path, const Bytes& bytes) {
    if (const int message = writeTableFile(path, bytes); message != 0)
        throw ToolError(path + ": " + editorMessage(message));
}

Bytes readTable(const std::string& path) {
    auto data = readTableFile(path);
    if (!data) throw ToolError(path + ": " + editorMessage(editormsg::kCouldNotOpenFile));
    return std::move(*data);
}

int runUnitTable(const Arguments& args, ToolStreams& io) {
    const std::string& mode = args.positional[0];
    checkMode(mode);
    const std::string& modulePath = args.positional[1];
    const std::string& tablePath = args.positional[2];
    Module m = loadModuleForEditing(modulePath, io);
    // The step bytes live only in the editor's memory: 0 after a load.
    UnitStepBytes steps(static_cast<std::size_t>(m.unitCount) + 1, 0);
    if (mode == "export") {
        writeTable(tablePath, buildUnitTable(m, steps));
        io.out << m.unitCount << " units written to " << tablePath << "\n";
        return 0;
    }
    TableReading reading;
    const int lines = readUnitTable(readTable(tablePath), m, steps, &reading);
    writeModuleInPlace(modulePath, m);
    io.out << lines << " of " << m.unitCount << " units read from " << tablePath << "; "
           << modulePath << " written (the previous file is " << backupPath(modulePath) << ")\n";
    // What was passed over or changed, as the editor says it.
    const std::string said = tableReadingText(reading, true);
    if (const auto nl = said.find('\n'); nl != std::string::npos)
        io.out << said.substr(nl + 1) << "\n";
    return 0;
}

int runNameTable(const Arguments& args, ToolStreams& io) {
    const std::string& mode = args.positional[0];
    checkMode(mode);
    const std::string& modulePath = args.positional[1];
    const std::string& tablePath = args.positional[2];
    Module m = loadModuleForEditing(modulePath, io);
    if (mode == "export") {
        writeTable(tablePath, buildNameTable(m));
        io.out << m.columns * m.rows << " hex names (" << m.columns << " x " << m.rows
               << ") written to " << tablePath << "\n";
        return 0;
    }
    const int lines = readNameTable(readTable(tablePath), m);
    writeModuleInPlace(modulePath, m);
    io.out << lines << " of " << m.rows << " rows read from " << tablePath << "; " << modulePath
           << " written (the previous file is " << backupPath(modulePath) << ")\n";
    return 0;
}

// "C,R" -> hex (C, R).
CoordinateOrigin parseOrigin(const std::string& text) {
    const auto comma = text.find(',');
    if (comma == std::string::npos) throw UsageError("--origin is C,R (column, row), not " + text);
    return {parseNumber(text.substr(0, comma), "the origin's column", 1, kMaxColumns),
            parseNumber(text.substr(comma + 1), "the origin's row", 1, kMaxRows)};
}

int runCoordinates(const Arguments& args, ToolStreams& io) {
    const std::string& modulePath = args.positional[0];
    const auto systemText = args.value("--system");
    const auto originText = args.value("--origin");
    if (!systemText) throw UsageError("--system N is required");
    if (!originText) throw UsageError("--origin C,R is required");
    int system = parseNumber(*systemText, "--system", 1, kTwoStepCoordinateSystem);
    const CoordinateOrigin origin = parseOrigin(*originText);
    int rowA = 0;
    if (const auto r = args.value("--row-a")) rowA = parseNumber(*r, "--row-a", 1, kMaxRows);
    if (system == kTwoStepCoordinateSystem) {
        if (rowA == 0) throw UsageError("system 19 needs --row-a R, the row of row A");
        system = kCoordinateSystemCount;  // what the second double-click runs
    }

    Module m = loadModuleForEditing(modulePath, io);
    if (origin.column > m.columns || origin.row > m.rows)
        throw ToolError(modulePath + ": hex " + std::to_string(origin.column) + "," +
                        std::to_string(origin.row) + " is not on the map (" +
                        std::to_string(m.columns) + " x " + std::to_string(m.rows) + ")");
    if (rowA > m.rows)
        throw ToolError(modulePath + ": row " + std::to_string(rowA) + " is not on the map (" +
                        std::to_string(m.rows) + " rows)");
    if (m.orientation != GridOrientation::RowsAligned) rowA = 0;  // plays no part there

    const NamingResult result = nameModuleHexes(m, system, origin, rowA);
    if (!result.correctionText.empty())
        io.err << "qmxtool: " << kCorrectionTitle << ": " << result.correctionText << "\n";
    if (result.named == 0) {
        io.out << "system " << system << " names no hex from " << result.origin.column << ","
               << result.origin.row << "; " << modulePath << " is unchanged\n";
        return 0;
    }
    writeModuleInPlace(modulePath, m);
    io.out << "system " << system << " from hex " << result.origin.column << ","
           << result.origin.row << ": " << result.named << " hexes named; " << modulePath
           << " written (the previous file is " << backupPath(modulePath) << ")\n";
    return 0;
}

}  // namespace

void registerTableCommands(CommandTable& table) {
    table.add({"unit-table",
               "export|import MODULE TABLE.txt",
               "write the module's units as the editor's unit table, or read one into the module "
               "(in place, the previous file kept as MODULE.bak)",
               {},
               3,
               3,
               runUnitTable});
    table.add({"name-table",
               "export|import MODULE TABLE.txt",
               "write the module's hex names as the editor's map name table, or read one into the "
               "module (in place, with MODULE.bak)",
               {},
               3,
               3,
               runNameTable});
    table.add({"coordinates",
               "MODULE --system N --origin C,R [--row-a R]",
               "name every hex by coordinate system N (1-19) from the origin hex, as the "
               "editor's Coordinates command does (in place, with MODULE.bak)",
               {{"--system", true}, {"--origin", true}, {"--row-a", true}},
               1,
               1,
               runCoordinates});
}

}  // namespace qmx::tool
