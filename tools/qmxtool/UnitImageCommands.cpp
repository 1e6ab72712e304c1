// The unit image commands: unit-images import, which brings counter pictures
// (a folder of them, or one sheet cut into cells) into the unit image sheet of
// the module image, as the editor's Import Counter Pictures does. The module
// image is written in place; the previous one is kept as the backup beside
// the module, as every save of the editor keeps it.

#include <ostream>

#include "graphics/CounterImport.h"
#include "graphics/ModuleGraphics.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

// "40x40" -> 40, 40.
std::pair<int, int> parseCell(const std::string& text) {
    const auto x = text.find_first_of("xX");
    if (x == std::string::npos) throw UsageError("--cell is WxH (width x height), not " + text);
    return {parseNumber(text.substr(0, x), "the cell width", 1, kMaxGraphicsSide),
            parseNumber(text.substr(x + 1), "the cell height", 1, kMaxGraphicsSide)};
}

int runUnitImages(const Arguments& args, ToolStreams& io) {
    const std::string& mode = args.positional[0];
    if (mode != "import") throw UsageError("the first argument is import, not \"" + mode + "\"");
    const std::string& modulePath = args.positional[1];
    const std::string& from = args.positional[2];

    const ModuleLoad load = loadModuleForTool(modulePath);
    const Module& m = load.module;
    const int capacity = m.imageCapacity();
    if (capacity < 1) throw ToolError(modulePath + ": the module has no unit image sheet");
    int first = defaultFirstImage(m);
    if (const auto k = args.value("--first")) first = parseNumber(*k, "--first", 1, capacity);

    CounterImport source;
    if (const auto cell = args.value("--cell")) {
        const auto [width, height] = parseCell(*cell);
        source = CounterImport::fromSheet(from, width, height);
    } else {
        source = CounterImport::fromFolder(from);
    }
    if (!source.ok())
        throw ToolError(source.error() +
                        (args.has("--cell") ? "" : " (a sheet of counters needs --cell WxH)"));
    if (source.count() == 0) throw ToolError(from + ": no pictures found");

    ModuleGraphics graphics;
    const GraphicsResult loaded = graphics.load(modulePath);
    if (!loaded.ok())
        throw ToolError(loaded.path + ": " +
                        noticeText(MessageTable::Player, loaded.notice(MessageTable::Player)));
    const CounterImportResult result = source.place(m, graphics, first);
    if (result.placed > 0) {
        const GraphicsResult saved = graphics.save(modulePath);
        if (!saved.ok())
            throw ToolError(noticeText(MessageTable::Editor, saved.notice(MessageTable::Editor)) +
                            " The module image is unchanged.");
    }
    io.out << result.text() << "\n";
    if (result.placed > 0)
        io.out << ModuleGraphics::graphicsName(modulePath) << " written (the previous one is "
               << ModuleGraphics::backupName(modulePath) << ")\n";
    return result.placed > 0 ? 0 : kExitFailure;
}

}  // namespace

void registerUnitImageCommands(CommandTable& table) {
    table.add({"unit-images",
               "import MODULE FOLDER|SHEET [--cell WxH] [--first K]",
               "put counter pictures (a folder, or a sheet cut into cells) into the unit images",
               {{"--cell", true}, {"--first", true}},
               3,
               3,
               runUnitImages});
}

}  // namespace qmx::tool
