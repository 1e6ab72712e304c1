// The saved-game commands: decode and encode the text form, and list the
// replay record of a saved game entry by entry.

#include <filesystem>
#include <ostream>
#include <sstream>

#include "core/game/Comment.h"
#include "core/game/EncodedSave.h"
#include "core/game/MailText.h"
#include "core/game/SavedGame.h"
#include "core/module/FileIo.h"
#include "core/replay/ReplayCodes.h"
#include "core/replay/ReplayLines.h"
#include "core/replay/ReplayReader.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

Bytes readInput(const std::string& path) {
    auto data = readWholeFile(path, kMaxSaveFileSize);
    if (!data) throw ToolError(path + ": " + messageOf(msg::kCouldNotOpenFile));
    return std::move(*data);
}

void writeOutput(const std::string& input, const std::string& output, const Bytes& bytes) {
    std::error_code ec;
    if (std::filesystem::equivalent(input, output, ec))
        throw UsageError("the output would replace the input: " + output);
    if (!writeFileAtomically(output, bytes))
        throw ToolError(output + ": " + messageOf(msg::kCouldNotOpenFile));
}

int runDecode(const Arguments& args, ToolStreams& io) {
    const std::string& input = args.positional[0];
    const std::string output = args.value("-o").value_or(forceExtension(input, "qms"));
    const Bytes data = readInput(input);
    // The player's own mail reader: base64, quoted-printable and HTML mails
    // decode here exactly as they load in the player.
    const MailTextSave mail = findMailTextSave(data);
    const auto binary = mail.text ? decodeTextSave(*mail.text) : std::nullopt;
    if (!binary)
        throw ToolError(input + ": " + messageOf(msg::kAsciiDecodeFailed) + " (no \"" +
                        std::string(kTextSaveMarkerMatch) + "\" in it)");
    if (mail.check && !matchesCheck(*mail.check, *binary))
        throw ToolError(input + ": " + std::string(kTextSaveChangedText));
    writeOutput(input, output, *binary);
    io.out << output << ": " << binary->size() << " bytes\n";
    return 0;
}

int runEncode(const Arguments& args, ToolStreams& io) {
    const std::string& input = args.positional[0];
    const std::string output = args.value("-o").value_or(textSaveName(input));
    const Bytes binary = readInput(input);
    if (looksLikeTextSave(binary)) throw ToolError(input + ": already a text save");
    const Bytes text = encodeCheckedTextSave(binary);
    writeOutput(input, output, text);
    io.out << output << ": " << binary.size() << " bytes as text\n";
    return 0;
}

std::string hexText(Hex h) {
    return std::to_string(h.column) + "," + std::to_string(h.row);
}

std::string unitsText(const std::vector<int>& units) {
    std::string s;
    for (const int u : units) s += (s.empty() ? "" : " ") + std::to_string(u);
    return s.empty() ? "(none)" : s;
}

const char* listEndText(ListEnd end) {
    switch (end) {
        case ListEnd::Terminator:
            return "";
        case ListEnd::OtherCommand:
            return " (list cut short by the next entry)";
        case ListEnd::EndOfRecord:
            return " (the record ends in the list)";
    }
    return "";
}

// The name of a command inside a move (the replay list's name of a unit
// command, or "drop"); nothing for any other code.
const char* moveCommandName(std::uint8_t code) {
    if (static_cast<ReplayCode>(code) == ReplayCode::Drop) return "drop";
    const char* name = unitCommandName(code);
    return std::string_view(name) == kOtherCommandName ? nullptr : name;
}

// Writes the record's entries one per line, as playback reads them.
void listRecord(std::span<const std::uint8_t> record, std::ostream& out) {
    ReplayReader r(record);
    bool inMove = false;
    auto line = [&out](std::size_t at, const std::string& text) {
        out << at << "  " << text << "\n";
    };
    while (!r.atEnd()) {
        const std::size_t at = r.pos();
        const auto p = r.pair();
        if (!p) {
            line(at, "(a lone last byte)");
            break;
        }
        if (!p->isCommand()) {
            if (inMove)
                line(at, "path " + hexText({p->first, p->second}));
            else
                line(at, "(pair " + std::to_string(p->first) + "," + std::to_string(p->second) +
                             " outside a move, skipped)");
            continue;
        }
        const std::uint8_t code = p->second;
        if (isMoveCommand(code)) {
            std::string text = moveCommandName(code);
            const auto c = static_cast<ReplayCode>(code);
            if (c == ReplayCode::HideId || c == ReplayCode::Hide || c == ReplayCode::SetStep) {
                if (!inMove) {
                    line(at, text + " (outside a move, skipped)");
                    continue;
                }
                const auto arg = r.pair();
                if (!arg) {
                    line(at, text + " (the record ends)");
                    break;
                }
                text += (c == ReplayCode::SetStep ? " " : " by slot ") + std::to_string(arg->first);
            }
            if (!inMove) text += " (outside a move, skipped)";
            if (c == ReplayCode::Drop) inMove = false;
            line(at, text);
            continue;
        }
        if (inMove) {
            line(at, "(command " + std::to_string(code) + " inside a move, skipped)");
            continue;
        }
        switch (static_cast<ReplayCode>(code)) {
            case ReplayCode::MoveStart: {
                const UnitListRead units = r.unitList(ReplayCode::EndOfUnits);
                std::string text =
                    "move start: units " + unitsText(units.units) + listEndText(units.end);
                if (units.end == ListEnd::Terminator) {
                    const auto origin = r.hex();
                    const auto first = r.hex();
                    if (origin) text += "; from " + hexText(*origin);
                    if (first) text += "; first hex " + hexText(*first);
                    if (!first) text += " (the record ends)";
                    inMove = true;
                }
                line(at, text);
                break;
            }
            case ReplayCode::Combat: {
                const UnitListRead units = r.unitList(ReplayCode::EndOfList);
                line(at, "combat: units " + unitsText(units.units) + listEndText(units.end));
                break;
            }
            case ReplayCode::Comment: {
                const RecordedText t = readPlainComment(record, r.pos());
                r.moveTo(t.next);
                line(at, "comment: " + displayText(t.text) +
                             (t.complete ? "" : " (the record ends in the text)"));
                break;
            }
            case ReplayCode::EncryptedComment: {
                const auto c = readEncryptedComment(record, r.pos());
                if (!c) {
                    r.moveTo(record.size());
                    line(at, "encrypted comment (the record ends)");
                    break;
                }
                r.moveTo(c->next);
                line(at, "encrypted comment: " + std::to_string(c->scrambled.size()) +
                             " characters, password needed" +
                             (c->complete ? "" : " (the record ends in the text)"));
                break;
            }
            case ReplayCode::Result: {
                const auto b = r.bytes(2);
                if (!b) {
                    line(at, "result (the record ends)");
                    break;
                }
                line(at, "result: " + std::to_string((*b)[0]) + " dice of " +
                             std::to_string((*b)[1]) + " sides; its text follows");
                break;
            }
            case ReplayCode::AllFaceUp:
                line(at, "all units face up");
                break;
            case ReplayCode::AllFaceDown:
                line(at, "all units face down");
                break;
            case ReplayCode::SaveMarker:
                line(at, "save marker");
                break;
            case ReplayCode::CardShownReturned:
            case ReplayCode::CardShown:
            case ReplayCode::CardGiven:
            case ReplayCode::CardReturned:
            case ReplayCode::CardDiscarded:
            case ReplayCode::CardPlaced:
            case ReplayCode::CardDealt: {
                const auto c = static_cast<ReplayCode>(code);
                const std::size_t n =
                    c == ReplayCode::CardGiven                                          ? 4
                    : (c == ReplayCode::CardReturned || c == ReplayCode::CardDiscarded) ? 1
                    : c == ReplayCode::CardPlaced                                       ? 2
                                                                                        : 3;
                const auto b = r.bytes(n);
                if (!b) {
                    line(at, "card entry " + std::to_string(code) + " (the record ends)");
                    break;
                }
                const auto v = [&b](std::size_t i) { return std::to_string((*b)[i]); };
                std::string text;
                switch (c) {
                    case ReplayCode::CardShownReturned:
                        text = "card shown and returned: card " + v(0) + " " + v(1) + " by slot " +
                               v(2);
                        break;
                    case ReplayCode::CardShown:
                        text = "card shown: card " + v(0) + " " + v(1) + " by slot " + v(2);
                        break;
                    case ReplayCode::CardGiven:
                        text = "card given: card " + v(0) + " " + v(1) + " from slot " + v(3) +
                               " to slot " + v(2);
                        break;
                    case ReplayCode::CardReturned:
                        text = "card returned by slot " + v(0);
                        break;
                    case ReplayCode::CardDiscarded:
                        text = "card discarded by slot " + v(0);
                        break;
                    case ReplayCode::CardPlaced:
                        text = "card placed by slot " + v(1) + " at location slot " + v(0);
                        break;
                    default: {
                        const int deck = (*b)[0];
                        text = "card dealt from " +
                               (deck < 20 ? "deck " + std::to_string(deck)
                                          : "card location slot " + std::to_string(deck - 20)) +
                               " to slot " + v(1) + " by slot " + v(2);
                        break;
                    }
                }
                line(at, text);
                break;
            }
            default:
                line(at, "(command " + std::to_string(code) + ", skipped)");
                break;
        }
    }
    if (inMove) out << record.size() << "  (the record ends inside a move)\n";
}

int runRecord(const Arguments& args, ToolStreams& io) {
    const std::string& path = args.positional[0];
    const Bytes data = readInput(path);
    if (args.has("--raw")) {
        listRecord(data, io.out);
        return 0;
    }
    const Bytes binary = looksLikeTextSave(data) ? *decodeTextSave(data) : data;
    if (binary.size() < kSaveHeaderSize)
        throw ToolError(path + ": " + messageOf(msg::kCouldNotParse));
    if (binary[3] <= kLastVersionWithoutState) {
        // An old file: the header and the record.
        listRecord(std::span(binary).subspan(kSaveHeaderSize), io.out);
        return 0;
    }
    if (args.positional.size() < 2)
        throw UsageError(path + ": the module is needed to find the record of this saved game");
    const ModuleLoad load = loadModuleForTool(args.positional[1]);
    GameState state(load.module);
    NotePrompts prompts;
    const SavedGameLoad saved = readSavedGame(data, load.module, state, prompts);
    if (!saved.ok) {
        const std::string why =
            prompts.notes.empty() ? messageOf(msg::kCouldNotParse) : prompts.notes.back();
        throw ToolError(path + ": " + why);
    }
    for (const std::string& note : prompts.notes) io.err << "qmxtool: note: " << note << "\n";
    listRecord(saved.replay, io.out);
    return 0;
}

}  // namespace

void registerRecordCommands(CommandTable& table) {
    table.add({"decode",
               "SAVE.txt [-o SAVE.qms]",
               "turns a text save (a whole mail will do) back into the saved game file",
               {{"-o", true}},
               1,
               1,
               runDecode});
    table.add({"encode",
               "SAVE.qms [-o SAVE.txt]",
               "writes a saved game as a text save for mail",
               {{"-o", true}},
               1,
               1,
               runEncode});
    table.add({"record",
               "SAVE [MODULE] [--raw]",
               "the replay record of a saved game, one entry per line with its offset (--raw: "
               "SAVE is a bare record file)",
               {{"--raw", false}},
               1,
               2,
               runRecord});
}

}  // namespace qmx::tool
