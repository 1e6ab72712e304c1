#include "graphics/AfterActionExport.h"

#include <QImage>
#include <QPainter>
#include <filesystem>

#include "core/game/NotePrompts.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/replay/AfterActionReport.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayLines.h"
#include "core/replay/ReplayPlayback.h"
#include "core/replay/TextReport.h"
#include "graphics/BoardPainter.h"
#include "graphics/PngEncoder.h"

namespace qmx {

namespace {

namespace fs = std::filesystem;

bool writeBoard(const Module& module, const ModuleGraphics& graphics, const GameState& state,
                float zoom, const std::string& path) {
    const BoardPainter painter(module, graphics, state);
    BoardScene scene;
    scene.zoom = zoom;
    const PixelPoint extent = painter.geometry().scrollExtent(zoom);
    if (extent.x <= 0 || extent.y <= 0) return false;
    QImage picture(extent.x, extent.y, QImage::Format_RGB32);
    picture.fill(BoardPainter::background());
    {
        QPainter p(&picture);
        painter.paint(p, QRect(0, 0, extent.x, extent.y), scene);
    }
    const QByteArray png = encodePng(picture);
    return !png.isEmpty() &&
           writeFileAtomically(path,
                               std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                         static_cast<std::size_t>(png.size())));
}

}  // namespace

AarResult writeAfterActionReport(const AarRequest& request) {
    AarResult result;
    const Module& module = *request.module;
    std::error_code ec;
    fs::create_directories(request.folder, ec);
    if (!fs::is_directory(request.folder, ec)) {
        result.error = request.folder + ": " + playerMessage(msg::kCouldNotOpenFile);
        return result;
    }
    std::vector<AarTurn> turns;
    for (std::size_t i = 0; i < request.saves.size(); ++i) {
        const std::string& path = request.saves[i];
        GameState state;
        state.resetForModule(module);
        NotePrompts prompts;
        const SavedGameLoad saved = loadSavedGame(path, module, state, prompts);
        if (!saved.ok) {
            result.error = path + ": " +
                           (prompts.notes.empty() ? playerMessage(msg::kCouldNotParse)
                                                  : prompts.notes.front());
            return result;
        }
        if (request.identifyViewer) {
            const std::string note = request.identifyViewer(state, path);
            if (!note.empty()) result.notes.push_back(note);
        }
        AarTurn turn;
        turn.file = fs::path(path).filename().string();
        std::string number = std::to_string(i + 1);
        number.insert(0, number.size() < 3 ? 3 - number.size() : 0, '0');
        turn.picture = "turn-" + number + ".png";
        if (!writeBoard(module, *request.graphics, state, request.zoom,
                        (fs::path(request.folder) / turn.picture).string())) {
            result.error = (fs::path(request.folder) / turn.picture).string() + ": " +
                           playerMessage(msg::kCouldNotOpenFile);
            return result;
        }

        ModuleFileCardTexts cards(request.modulePath, request.cardOffset);
        ReportOptions options;
        std::vector<int> messages;
        if (const auto report = buildTextReport(ReportKind::Move, saved.replay, module, state,
                                                options, cards, messages))
            turn.moveReport = *report;

        GameState watched = state;
        NotePrompts sealed;
        ReplayPlayback playback(watched, module, sealed, cards);
        for (ReplayEvent e = playback.start(saved.replay);; e = playback.step()) {
            if (e.kind == ReplayEventKind::Comment && e.display) {
                turn.comments.push_back(*e.display);
            } else if (e.kind == ReplayEventKind::EncryptedComment) {
                turn.comments.push_back("(a sealed comment)");
            } else if (e.kind == ReplayEventKind::Combat || e.kind == ReplayEventKind::Result) {
                std::string line = replayEventLine(e, module, watched);
                for (const ReplayMessage& m : e.messages)
                    line +=
                        (line.empty() ? "" : ": ") + (m.number ? playerMessage(m.number) : m.text);
                if (!line.empty()) turn.events.push_back(line);
            }
            if (!playback.active()) break;
        }
        turns.push_back(std::move(turn));
        if (request.progress && !request.progress(i + 1, request.saves.size())) {
            result.error = "the export was cancelled";
            return result;
        }
    }
    const std::string title =
        fs::path(request.modulePath).stem().string() + ": after-action report";
    const std::string page = afterActionPage(title, turns);
    result.index = (fs::path(request.folder) / "index.html").string();
    if (!writeFileAtomically(
            result.index,
            std::span(reinterpret_cast<const std::uint8_t*>(page.data()), page.size()))) {
        result.error = result.index + ": " + playerMessage(msg::kCouldNotOpenFile);
        return result;
    }
    result.ok = true;
    result.turns = turns.size();
    return result;
}

}  // namespace qmx
