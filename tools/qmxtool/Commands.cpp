#include "tools/qmxtool/Commands.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <new>
#include <ostream>

#include "core/game/PlayerIdentity.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"

namespace qmx::tool {

bool Arguments::has(const std::string& option) const {
    return std::any_of(m_options.begin(), m_options.end(),
                       [&](const auto& o) { return o.first == option; });
}

std::optional<std::string> Arguments::value(const std::string& option) const {
    // The last one given wins, as with most command-line tools.
    for (auto it = m_options.rbegin(); it != m_options.rend(); ++it)
        if (it->first == option) return it->second;
    return std::nullopt;
}

void Arguments::set(const std::string& option, std::string value) {
    m_options.emplace_back(option, std::move(value));
}

void CommandTable::add(Command command) {
    if (find(command.name)) throw std::logic_error("qmxtool command added twice: " + command.name);
    m_commands.push_back(std::move(command));
}

const Command* CommandTable::find(const std::string& name) const {
    auto it = std::find_if(m_commands.begin(), m_commands.end(),
                           [&](const Command& c) { return c.name == name; });
    return it == m_commands.end() ? nullptr : &*it;
}

namespace {

std::string usageLine(const Command& c) {
    std::string line = "qmxtool " + c.name;
    if (!c.usage.empty()) line += " " + c.usage;
    return line;
}

void printHelp(const CommandTable& table, std::ostream& out) {
    out << "usage: qmxtool COMMAND [ARGUMENTS]\n"
           "Reads modules as the player does (module versions 151 to 160).\n\n"
           "Commands:\n";
    for (const Command& c : table.commands())
        out << "  " << usageLine(c) << "\n      " << c.summary << "\n";
    out << "\n\"qmxtool COMMAND --help\" shows one command.\n";
}

bool isHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

const OptionSpec* findOption(const Command& c, const std::string& name) {
    auto it = std::find_if(c.options.begin(), c.options.end(),
                           [&](const OptionSpec& o) { return o.name == name; });
    return it == c.options.end() ? nullptr : &*it;
}

}  // namespace

Arguments parseArguments(const Command& command, const std::vector<std::string>& args) {
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        const OptionSpec* option = findOption(command, name);
        if (!option) {
            // A negative number is an argument, not an option.
            if (arg[1] >= '0' && arg[1] <= '9') {
                parsed.positional.push_back(arg);
                continue;
            }
            throw UsageError("unknown option " + name);
        }
        if (!option->takesValue) {
            if (inlineValue) throw UsageError("option " + name + " takes no value");
            parsed.set(name, {});
        } else if (inlineValue) {
            parsed.set(name, *inlineValue);
        } else {
            if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
            parsed.set(name, args[++i]);
        }
    }
    const int count = static_cast<int>(parsed.positional.size());
    if (count < command.minArguments) throw UsageError("missing arguments");
    if (count > command.maxArguments) throw UsageError("too many arguments");
    return parsed;
}

int parseNumber(const std::string& text, const std::string& what, int min, int max) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        throw UsageError(what + " must be a number, not \"" + text + "\"");
    if (value < min || value > max)
        throw UsageError(what + " must be from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not " + text);
    return value;
}

int runTool(const CommandTable& table, const std::vector<std::string>& args, ToolStreams streams) {
    if (args.empty()) {
        streams.err << "qmxtool: no command given (see qmxtool --help)\n";
        return kExitUsage;
    }
    if (isHelp(args[0]) || args[0] == "help") {
        printHelp(table, streams.out);
        return 0;
    }
    const Command* command = table.find(args[0]);
    if (!command) {
        streams.err << "qmxtool: unknown command \"" << args[0] << "\" (see qmxtool --help)\n";
        return kExitUsage;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::any_of(rest.begin(), rest.end(), isHelp) && !findOption(*command, "--help")) {
        streams.out << "usage: " << usageLine(*command) << "\n" << command->summary << "\n";
        return 0;
    }
    try {
        const Arguments parsed = parseArguments(*command, rest);
        const int status = command->run(parsed, streams);
        streams.out.flush();
        if (!streams.out) {
            streams.err << "qmxtool: " << command->name << ": could not write the output\n";
            return kExitFailure;
        }
        return status;
    } catch (const UsageError& e) {
        streams.err << "qmxtool: " << command->name << ": " << e.what()
                    << " (usage: " << usageLine(*command) << ")\n";
        return kExitUsage;
    } catch (const ToolError& e) {
        streams.err << "qmxtool: " << e.what() << "\n";
        return kExitFailure;
    } catch (const std::bad_alloc&) {
        streams.err << "qmxtool: " << command->name << ": out of memory\n";
        return kExitFailure;
    }
}

ModuleLoad loadModuleForTool(const std::string& path) {
    // The player's reader: only the blocks before the card records are read.
    ModuleLoad load = loadModuleFile(path, ModuleReader::Player);
    if (load.ok) return load;
    const auto head = readFilePrefix(path, 7);
    if (!head || load.notices.empty())
        throw ToolError(path + ": " + messageOf(msg::kCouldNotOpenFile));
    std::string message = path + ":";
    for (const Notice& n : load.notices) message += " " + noticeText(MessageTable::Player, n);
    if (head->size() > 6) {
        const int version = (*head)[6];
        if (version < kPlayerMinVersion || version > kPlayerMaxVersion)
            message += " (module version " + std::to_string(version) + "; the player reads " +
                       std::to_string(kPlayerMinVersion) + " to " +
                       std::to_string(kPlayerMaxVersion) + ")";
    }
    throw ToolError(message);
}

std::string messageOf(int number) {
    return playerMessage(number);
}

void loadGameForTool(const Arguments& args, std::size_t first, ToolStreams& io,
                     NotePrompts& prompts, LoadedGame& game) {
    const std::string& savePath = args.positional[first + 1];
    game.module = loadModuleForTool(args.positional[first]);
    game.state.resetForModule(game.module.module);
    game.saved = loadSavedGame(savePath, game.module.module, game.state, prompts);
    if (!game.saved.ok) {
        std::string why;
        for (const std::string& note : prompts.notes) why += (why.empty() ? "" : " ") + note;
        throw ToolError(savePath + ": " +
                        displayText(why.empty() ? messageOf(msg::kCouldNotParse) : why));
    }
    for (const std::string& note : prompts.notes)
        io.err << "qmxtool: note: " << displayText(note) << "\n";
    prompts.notes.clear();
    identifyForTool(args, io, game.state, savePath);
}

void identifyForTool(const Arguments& args, ToolStreams& io, GameState& state,
                     const std::string& savePath) {
    const auto player = args.value("--player");
    if (!player) return;
    int slot = -1;
    for (const auto& [s, name] : identificationList(state)) {
        if (name == *player) slot = s;
    }
    if (slot < 0)
        throw ToolError(savePath + ": no player named \"" + displayText(*player) +
                        "\" in this game");
    std::string password;
    std::getline(io.in, password);
    if (!password.empty() && password.back() == '\r') password.pop_back();
    const IdentityOutcome outcome = identify(state, slot, password);
    if (state.currentSlot == kObserver)
        io.err << "qmxtool: note: " << displayText(outcome.text) << "\n";
}

std::string displayText(std::string_view bytes, bool multiline) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    const char* lineBreak = multiline ? "\n" : " | ";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            out += lineBreak;
        } else if ((c < 0x20 && c != '\t') || (c >= 0x7F && c < 0xA0)) {
            // C0 and C1 controls and DEL: never sent to the terminal as they are
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::size_t displayWidth(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace qmx::tool
