// The replay commands: play a saved game's replay record as text, as one
// player (or an observer) would watch it, and write the four text reports
// byte for byte as the player program writes them.

#include <filesystem>
#include <istream>
#include <ostream>
#include <vector>

#include "core/module/FileIo.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayLines.h"
#include "core/replay/ReplayNames.h"
#include "core/replay/ReplayPlayback.h"
#include "core/replay/TextReport.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

// Boxes shown while a saved game loads are kept as notes (the reason of a
// failed load, or notes on the error stream); during the replay they are
// lines of the output. Passwords of encrypted comments are read from
// standard input, one line each (none left: the dialog was cancelled).
class ToolPrompts : public NotePrompts {
public:
    explicit ToolPrompts(std::istream& in) : m_in(in) {}
    void showTo(std::ostream& out, std::string prefix) {
        m_out = &out;
        m_prefix = std::move(prefix);
    }

    void showMessage(int number) override { show(messageOf(number)); }
    void showText(const std::string& title, const std::string& text) override {
        show(displayText(title) + ": " + displayText(text));
    }
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       int maxLength) override {
        std::string line;
        if (!std::getline(m_in, line)) return std::nullopt;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (maxLength >= 0 && line.size() > static_cast<std::size_t>(maxLength))
            line.resize(static_cast<std::size_t>(maxLength));
        return line;
    }

private:
    void show(const std::string& text) {
        if (m_out)
            *m_out << m_prefix << text << "\n";
        else
            notes.push_back(text);
    }

    std::istream& m_in;
    std::ostream* m_out = nullptr;
    std::string m_prefix;
};

// One line for an event, then one line for each box it shows.
void printEvent(const ReplayEvent& e, const Module& module, const GameState& state,
                std::ostream& out) {
    // The steps and commands of a hidden move print nothing: one line each
    // would tell how long the hidden path was.
    const bool insideHiddenMove =
        !e.shown && (e.kind == ReplayEventKind::PathStep || e.kind == ReplayEventKind::UnitCommand);
    const std::string line = insideHiddenMove ? std::string() : replayEventLine(e, module, state);
    if (!line.empty()) out << displayText(line) << "\n";
    for (const ReplayMessage& m : e.messages) {
        if (m.number)
            out << "  [WARNING] " << messageOf(m.number) << "\n";
        else
            out << "  [" << displayText(m.title) << "] " << displayText(m.text) << "\n";
    }
    if (e.display) {
        out << "  | " << displayText(*e.display);
        if (e.displayCut) out << " ...";
        out << "\n";
    }
}

int runReplay(const Arguments& args, ToolStreams& io) {
    ToolPrompts prompts(io.in);
    LoadedGame game;
    loadGameForTool(args, 0, io, prompts, game);
    const Module& module = game.module.module;
    ModuleFileCardTexts cards(args.positional[0], game.module.cardOffset);
    prompts.showTo(io.out, "  [WARNING] ");
    ReplayPlayback playback(game.state, module, prompts, cards);
    ReplayEvent e = playback.start(game.saved.replay);
    printEvent(e, module, game.state, io.out);
    while (playback.active()) {
        e = playback.step();
        printEvent(e, module, game.state, io.out);
    }
    return 0;
}

ReportKind reportKind(const std::string& name) {
    if (name == "move") return ReportKind::Move;
    if (name == "positions") return ReportKind::Positions;
    if (name == "sorted") return ReportKind::SortedPositions;
    if (name == "comments") return ReportKind::CommentsOnly;
    throw UsageError("the report is move, positions, sorted or comments, not \"" + name + "\"");
}

int runReport(const Arguments& args, ToolStreams& io) {
    const ReportKind kind = reportKind(args.positional[0]);
    const auto output = args.value("-o");
    if (!output) throw UsageError("the report file is given with -o FILE");
    ToolPrompts prompts(io.in);
    LoadedGame game;
    loadGameForTool(args, 1, io, prompts, game);
    prompts.showTo(io.err, "qmxtool: note: ");
    std::error_code ec;
    if (std::filesystem::equivalent(args.positional[2], *output, ec))
        throw UsageError("the output would replace the saved game: " + *output);

    ReportOptions options;
    options.reportHidden = args.has("--report-hidden");
    options.includeStep = args.has("--step");
    options.includeFacing = args.has("--facing");
    options.sortByPosition = args.has("--sort");
    options.showHidden = args.has("--show-hidden");
    if (!beginTextReport(kind, game.state, options, prompts))
        throw ToolError(messageOf(msg::kNotInCombatOrCarrying));

    ModuleFileCardTexts cards(args.positional[1], game.module.cardOffset);
    std::vector<int> messages;
    const auto text = buildTextReport(kind, game.saved.replay, game.module.module, game.state,
                                      options, cards, messages);
    for (int m : messages) io.err << "qmxtool: note: " << messageOf(m) << "\n";
    if (!text) throw ToolError(messageOf(msg::kNothingToReplay));
    const auto* data = reinterpret_cast<const std::uint8_t*>(text->data());
    if (!writeFileAtomically(*output, std::span<const std::uint8_t>(data, text->size())))
        throw ToolError(*output + ": " + messageOf(msg::kCouldNotOpenFile));
    io.out << *output << ": " << text->size() << " bytes\n";
    return 0;
}

const std::vector<OptionSpec> kPlayerOption = {{"--player", true}};

}  // namespace

void registerReplayCommands(CommandTable& table) {
    table.add({"replay", "MODULE SAVE [--player NAME]",
               "plays the replay record of a saved game as text, one event per line, as the "
               "player NAME (password on standard input) or an observer watches it",
               kPlayerOption, 2, 2, runReplay});
    table.add({"report",
               "move|positions|sorted|comments MODULE SAVE -o FILE [--player NAME] "
               "[--report-hidden] [--step] [--facing] [--sort] [--show-hidden]",
               "writes a text report of a saved game exactly as the player's \"ASCII Output\" "
               "does",
               {{"--player", true},
                {"-o", true},
                {"--report-hidden", false},
                {"--step", false},
                {"--facing", false},
                {"--sort", false},
                {"--show-hidden", false}},
               3,
               3,
               runReport});
}

}  // namespace qmx::tool
