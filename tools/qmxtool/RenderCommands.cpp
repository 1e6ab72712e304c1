// "render": a picture of the board as the player's view draws it for one
// person (or an observer), for after-action reports and for opponents who do
// not run QMX. The view's own painter draws it.

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <cmath>
#include <istream>

#include "core/game/PlayerIdentity.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "graphics/AfterActionExport.h"
#include "graphics/BoardPainter.h"
#include "graphics/ModuleGraphics.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

// "C1,R1-C2,R2": the corners of the hexes to draw.
std::pair<Hex, Hex> parseHexes(const std::string& text, const HexGeometry& g) {
    const auto dash = text.find('-');
    auto one = [&](const std::string& part) {
        const auto comma = part.find(',');
        if (comma == std::string::npos)
            throw UsageError("--hexes is C1,R1-C2,R2, not \"" + text + "\"");
        return Hex{parseNumber(part.substr(0, comma), "the column", 1, g.columns()),
                   parseNumber(part.substr(comma + 1), "the row", 1, g.rows())};
    };
    if (dash == std::string::npos) throw UsageError("--hexes is C1,R1-C2,R2, not \"" + text + "\"");
    Hex a = one(text.substr(0, dash));
    Hex b = one(text.substr(dash + 1));
    if (b.column < a.column) std::swap(a.column, b.column);
    if (b.row < a.row) std::swap(a.row, b.row);
    return {a, b};
}

float zoomOf(const Arguments& args) {
    float zoom = 1.0f;
    if (const auto z = args.value("--zoom")) {
        const int percent = parseNumber(*z, "the zoom", 50, 200);
        zoom = static_cast<float>(percent) / 100.0f;
        if (std::find(kZoomFactors.begin(), kZoomFactors.end(), zoom) == kZoomFactors.end())
            throw UsageError("the zoom is 200, 150, 100, 75 or 50, not " + *z);
    }
    return zoom;
}

ModuleGraphics loadGraphics(const std::string& modulePath) {
    ModuleGraphics graphics;
    const GraphicsResult loaded = graphics.load(modulePath);
    if (!loaded.ok())
        throw ToolError(loaded.path + ": " +
                        noticeText(MessageTable::Player, loaded.notice(MessageTable::Player)));
    return graphics;
}

void writePng(const QImage& picture, const std::string& target) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        throw ToolError(target + ": the picture could not be encoded as PNG");
    if (!writeFileAtomically(target,
                             std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                       static_cast<std::size_t>(png.size()))))
        throw ToolError(target + ": " + messageOf(msg::kCouldNotOpenFile));
}

QImage drawBoard(const BoardPainter& painter, const BoardScene& scene, const QRect& area) {
    if (area.isEmpty()) throw ToolError("the board has no pixels to draw");
    QImage picture(area.size(), QImage::Format_RGB32);
    picture.fill(BoardPainter::background());
    QPainter p(&picture);
    painter.paint(p, area, scene);
    return picture;
}

int runRender(const Arguments& args, ToolStreams& io) {
    const auto target = args.value("-o");
    if (!target) throw UsageError("the picture is given with -o FILE");
    const float zoom = zoomOf(args);
    NotePrompts prompts;
    LoadedGame game;
    loadGameForTool(args, 0, io, prompts, game);
    const Module& module = game.module.module;
    const ModuleGraphics graphics = loadGraphics(args.positional[0]);

    const BoardPainter painter(module, graphics, game.state);
    const HexGeometry& g = painter.geometry();
    BoardScene scene;
    scene.zoom = zoom;
    const PixelPoint extent = g.scrollExtent(zoom);
    QRect area(0, 0, extent.x, extent.y);
    if (const auto hexes = args.value("--hexes")) {
        const auto [first, last] = parseHexes(*hexes, g);
        // From the first hex's cell to the end of the last hex's cell, both
        // corners taken over every column and row of the range.
        int left = extent.x, top = extent.y, right = 0, bottom = 0;
        for (int c = first.column; c <= last.column; ++c) {
            for (int r = first.row; r <= last.row; ++r) {
                const PixelPoint o = g.cellOrigin({c, r});
                left = std::min(left, o.x);
                top = std::min(top, o.y);
                right = std::max(right, o.x + kHexCellSize);
                bottom = std::max(bottom, o.y + kHexCellSize);
            }
        }
        scene.scrollOrigin = {std::max(0, left), std::max(0, top)};
        area = QRect(0, 0, zoomed(right - scene.scrollOrigin.x, zoom),
                     zoomed(bottom - scene.scrollOrigin.y, zoom));
    }
    const QImage picture = drawBoard(painter, scene, area);
    writePng(picture, *target);
    io.out << "board (" << picture.width() << " x " << picture.height() << ") written to "
           << *target << "\n";
    return 0;
}

// "aar": the saved games of one game as one page; the viewer's password is
// read once.
int runAar(const Arguments& args, ToolStreams& io) {
    const auto folder = args.value("-o");
    if (!folder) throw UsageError("the report's folder is given with -o DIR");
    AarRequest request;
    request.zoom = zoomOf(args);
    request.modulePath = args.positional[0];
    const ModuleLoad module = loadModuleForTool(args.positional[0]);
    const ModuleGraphics graphics = loadGraphics(args.positional[0]);
    request.module = &module.module;
    request.cardOffset = module.cardOffset;
    request.graphics = &graphics;
    request.saves.assign(args.positional.begin() + 1, args.positional.end());
    request.folder = *folder;
    const auto player = args.value("--player");
    std::string password;
    if (player) {
        std::getline(io.in, password);
        if (!password.empty() && password.back() == '\r') password.pop_back();
    }
    request.identifyViewer = [&](GameState& state, const std::string& save) -> std::string {
        if (!player) return {};
        int slot = -1;
        for (const auto& [s, name] : identificationList(state))
            if (name == *player) slot = s;
        if (slot < 0)
            throw ToolError(save + ": no player named \"" + displayText(*player) +
                            "\" in this game");
        identify(state, slot, password);
        if (state.currentSlot == kObserver)
            return save + ": the password does not match; shown as an observer sees it";
        return {};
    };
    const AarResult result = writeAfterActionReport(request);
    for (const std::string& note : result.notes)
        io.err << "qmxtool: note: " << displayText(note) << "\n";
    if (!result.ok) throw ToolError(displayText(result.error));
    io.out << result.index << ": " << result.turns << " turns\n";
    return 0;
}

}  // namespace

void registerRenderCommands(CommandTable& table) {
    table.add({"aar",
               "MODULE SAVE... -o DIR [--player NAME] [--zoom Z]",
               "writes an after-action report of the saved games of one game, in turn order: "
               "DIR/index.html with the board after each turn, its move, comments, dice and "
               "combat results, as the player NAME (password on standard input) or an observer "
               "sees them",
               {{"-o", true}, {"--player", true}, {"--zoom", true}},
               2,
               100000,
               runAar});
    table.add({"render",
               "MODULE SAVE -o FILE.png [--player NAME] [--zoom Z] [--hexes C1,R1-C2,R2]",
               "draws the board of a saved game as the player's view draws it for the player "
               "NAME (password on standard input) or an observer",
               {{"-o", true}, {"--player", true}, {"--zoom", true}, {"--hexes", true}},
               2,
               2,
               runRender});
}

}  // namespace qmx::tool
