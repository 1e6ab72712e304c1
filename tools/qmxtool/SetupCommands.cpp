// "setup": a setup game from a spreadsheet table of units and hexes, for
// designers who lay out the start of a game in a spreadsheet or a script.
// The module is read as the player reads it, so the game written is the one
// the player opens with that module.

#include <filesystem>
#include <ostream>

#include "core/edit/SetupTable.h"
#include "core/edit/TableFileText.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

int runSetup(const Arguments& args, ToolStreams& io) {
    const std::string& modulePath = args.positional[0];
    const std::string& tablePath = args.positional[1];
    const auto output = args.value("-o");
    if (!output) throw UsageError("the setup game is given with -o SETUP.qms");
    const std::string savePath = savedGameName(*output);
    if (sameFile(savePath, modulePath) || sameFile(savePath, tablePath))
        throw UsageError("the setup game would replace its module or table: " + savePath);

    const ModuleLoad module = loadModuleForTool(modulePath);
    const auto table = readTableFile(tablePath);
    if (!table) throw ToolError(tablePath + ": " + messageOf(msg::kCouldNotOpenFile));

    GameState state;
    const SetupTableResult result = placeUnitsFromTable(*table, module.module, state);
    for (const std::string& line : result.report) io.out << displayText(line) << "\n";
    io.out << setupSummary(result) << "\n";
    if (result.placed == 0) throw ToolError(tablePath + ": no line places a unit; nothing written");
    if (args.has("--strict") && !result.report.empty())
        throw ToolError(tablePath + ": " + std::to_string(result.report.size()) +
                        " lines reported; nothing written (--strict)");

    NotePrompts prompts;
    if (!saveGameFile(savePath, state, module.module, {}, prompts))
        throw ToolError(savePath + ": " + messageOf(msg::kCouldNotOpenFile));
    io.out << savePath << " written\n";
    return 0;
}

}  // namespace

void registerSetupCommands(CommandTable& table) {
    table.add({"setup",
               "MODULE TABLE -o SETUP.qms [--strict]",
               "writes a setup game with every unit at the hex its line of TABLE names (columns "
               "unit, hex, step, face, facing, hidden-by), the players left to define; lists the "
               "lines that place nothing or a value not taken (--strict: any such line writes "
               "nothing, status 1)",
               {{"-o", true}, {"--strict", false}},
               2,
               2,
               runSetup});
}

}  // namespace qmx::tool
