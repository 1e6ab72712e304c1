#pragma once
// The command table of qmxtool. Commands come in groups; each group lives in
// its own file <Group>Commands.cpp and defines
//
//     void qmx::tool::register<Group>Commands(CommandTable& table);
//
// which adds its commands with table.add(). Naming the group in the list of
// tools/qmxtool/CMakeLists.txt is all it takes to have registerAllCommands()
// call it. A command reports failure by throwing ToolError (exit status 1)
// or UsageError (exit status 2); runTool() prints "qmxtool: ..." on the
// error stream for both.

#include <functional>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/game/GameState.h"
#include "core/game/NotePrompts.h"
#include "core/game/SavedGame.h"
#include "core/game/UserPrompts.h"
#include "core/module/ModuleFile.h"

namespace qmx::tool {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// A failure of the command itself: a file that cannot be read, a damaged
// module, a card that is not there.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The command line is wrong: missing or extra arguments, an unknown option,
// a number out of range.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ToolStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// An option a command accepts: "-o" or "--step", with or without a value.
// A value is given as the next argument or, for long options, as --step=2.
struct OptionSpec {
    std::string name;
    bool takesValue = false;
};

// The command line after the command name, split into positional arguments
// and options.
class Arguments {
public:
    std::vector<std::string> positional;

    bool has(const std::string& option) const;
    // The option's value, if it was given.
    std::optional<std::string> value(const std::string& option) const;
    void set(const std::string& option, std::string value);

private:
    std::vector<std::pair<std::string, std::string>> m_options;
};

using CommandFunction = std::function<int(const Arguments&, ToolStreams&)>;

struct Command {
    std::string name;
    std::string usage;    // the arguments, as shown after the name: "MODULE DECK CARD"
    std::string summary;  // one line for --help
    std::vector<OptionSpec> options;
    int minArguments = 0;  // positional arguments
    int maxArguments = 0;
    CommandFunction run;
};

class CommandTable {
public:
    // Adds a command; a second command of the same name is a programming error.
    void add(Command command);
    const Command* find(const std::string& name) const;
    const std::vector<Command>& commands() const { return m_commands; }

private:
    std::vector<Command> m_commands;
};

// Calls every group's registration function (generated from the group list).
void registerAllCommands(CommandTable& table);

// Runs the command line `args` (without the program name) and returns the
// exit status. "--help", "-h" and "help" list the commands; "COMMAND --help"
// shows one command's usage.
int runTool(const CommandTable& table, const std::vector<std::string>& args, ToolStreams streams);

// Splits a command's arguments by its option list. Throws UsageError for an
// unknown option, a missing value, or a positional count outside the
// command's range.
Arguments parseArguments(const Command& command, const std::vector<std::string>& args);

// A whole decimal number within [min, max]; otherwise UsageError naming `what`.
int parseNumber(const std::string& text, const std::string& what, int min, int max);

// Reads a module file as the player does (versions 151 to 160). A file that
// cannot be read or parsed throws ToolError with the player's message text.
ModuleLoad loadModuleForTool(const std::string& path);

// Message `number` of the player's message table; "message N" if it has none.
std::string messageOf(int number);

// What a load shows in boxes becomes notes; questions are answered no.
using NotePrompts = qmx::NotePrompts;

// A module and a saved game of it, loaded for a command.
struct LoadedGame {
    ModuleLoad module;
    GameState state;
    SavedGameLoad saved;
};

// Loads the module and the saved game named by the positional arguments
// `first` and `first + 1`. A failed load throws ToolError with the notes the
// load took; the notes of a good load go to the error stream and are
// cleared. Then the person named by --player is identified with the password
// on the first line of standard input; without --player, or with a password
// that does not match, the person sees the game as an observer.
void loadGameForTool(const Arguments& args, std::size_t first, ToolStreams& io,
                     NotePrompts& prompts, LoadedGame& game);
// The identification step of loadGameForTool() alone.
void identifyForTool(const Arguments& args, ToolStreams& io, GameState& state,
                     const std::string& savePath);

// Module texts are bytes (Latin-1). For a terminal they become UTF-8; control
// bytes are shown as \xNN. With `multiline`, CR LF (or a lone CR or LF)
// becomes a line break, otherwise " | ".
std::string displayText(std::string_view bytes, bool multiline = false);
// The number of characters displayText() output takes on screen.
std::size_t displayWidth(std::string_view utf8);

}  // namespace qmx::tool
