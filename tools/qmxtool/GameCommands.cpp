// "game": what a saved game holds, as a person at the player program sees
// it: the player table, where the cards are (counted per place), and the
// units of every hex that this person may see. "verify": the turn check of a
// reply against the game sent.

#include <array>
#include <bit>
#include <ostream>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/game/Visibility.h"
#include "core/replay/ReplayNames.h"
#include "core/replay/TurnCheck.h"
#include "tools/qmxtool/Commands.h"

namespace qmx::tool {
namespace {

const char* kindName(SlotKind kind) {
    switch (kind) {
        case SlotKind::Player:
            return "Player";
        case SlotKind::CardLocation:
            return "Card Location";
        case SlotKind::GameMaster:
            return "Game Master";
        case SlotKind::NotUsed:
            break;
    }
    return "Not Used";
}

std::string progressText(const GameState& s) {
    switch (s.identifyProgress) {
        case kPlayersUndefined:
            return s.players[0].kind == SlotKind::NotUsed ? "players not defined yet"
                                                          : "no player initialized yet";
        case kPlayersNotNeeded:
            return "players not needed for this game";
        case kPlayersComplete:
            return "every player initialized";
        default:
            return "next to initialize: Player " + std::to_string(s.identifyProgress);
    }
}

std::string placeName(const GameState& s, int place) {
    if (place == kInDeck) return "in deck";
    if (place == kDiscarded) return "discarded";
    const std::string name = s.players[static_cast<std::size_t>(place)].name;
    return "Player " + std::to_string(place + 1) +
           (name.empty() ? "" : " (" + displayText(name) + ")");
}

std::string unitLine(const Module& module, const GameState& s, int u) {
    const UnitState& x = s.unit(u);
    const std::string name = shownUnitName(module, s, u);
    std::string line = "#" + std::to_string(u) + (name.empty() ? "" : " " + displayText(name));
    if (identityConcealedFromMe(s, x)) return line;  // neither step nor facing shows
    line += ", step " + std::to_string(x.step + 1);
    if ((x.facing & Facing::kShown) && x.direction() != 0) {
        const int d = std::countr_zero(static_cast<unsigned>(x.direction())) + 1;
        line += std::string(", facing ") + ((x.facing & Facing::kCorner) ? "corner " : "side ") +
                std::to_string(d);
    }
    if (x.isHidden()) line += x.has(UnitFlags::kIdHidden) ? ", identity hidden" : ", hidden";
    if (x.has(UnitFlags::kMoved)) line += ", moved";
    if (x.has(UnitFlags::kInCombat)) line += ", in combat";
    if (x.declaration != 0) {
        line += x.declaration > 0 ? ", attacks in declaration " + std::to_string(x.declaration)
                                  : ", defends in declaration " + std::to_string(-x.declaration);
    }
    return line;
}

int runGame(const Arguments& args, ToolStreams& io) {
    NotePrompts prompts;
    LoadedGame game;
    loadGameForTool(args, 0, io, prompts, game);
    const Module& module = game.module.module;
    const GameState& state = game.state;
    const SavedGameLoad& saved = game.saved;

    std::ostream& out = io.out;
    out << "Saved game: format " << saved.formatVersion << (saved.textForm ? ", text form" : "")
        << ", " << saved.replay.size() << " bytes of replay record\n";
    out << "Seen by: "
        << (state.currentSlot == kObserver ? std::string("an observer")
                                           : placeName(state, state.currentSlot))
        << "\n\nPlayers (" << progressText(state) << "):\n";
    for (int s = 0; s < kSlotCount; ++s) {
        const PlayerSlot& p = state.players[static_cast<std::size_t>(s)];
        out << "  Player " << s + 1 << ": " << kindName(p.kind);
        if (!p.name.empty()) out << " \"" << displayText(p.name) << "\"";
        out << "\n";
    }

    out << "\nCards:\n";
    bool anyDeck = false;
    for (int d = 1; d <= kDeckCount; ++d) {
        if (state.deckSize(d) == 0) continue;
        anyDeck = true;
        std::array<int, 256> count{};
        for (const std::uint8_t place : state.deckPlaces(d)) ++count[place];
        out << "  Deck " << d;
        const std::string& name = module.decks[static_cast<std::size_t>(d)].name;
        if (!name.empty()) out << " \"" << displayText(name) << "\"";
        out << ":";
        const char* sep = " ";
        for (int place :
             {static_cast<int>(kInDeck), 0, 1, 2, 3, 4, 5, 6, 7, static_cast<int>(kDiscarded)}) {
            if (count[static_cast<std::size_t>(place)] == 0) continue;
            out << sep << placeName(state, place) << " " << count[static_cast<std::size_t>(place)];
            sep = ", ";
        }
        out << "\n";
    }
    if (!anyDeck) out << "  (no decks)\n";

    out << "\nUnits by hex:\n";
    int shown = 0;
    for (int r = 1; r <= state.rows(); ++r) {
        for (int c = 1; c <= state.columns(); ++c) {
            std::vector<int> visible;
            for (int u : state.stackAt(c, r)) {
                if (visibleToMe(state, state.unit(u))) visible.push_back(u);
            }
            if (visible.empty()) continue;
            const std::string name = hexName(module, {c, r});
            out << "  " << c << "," << r;
            if (!name.empty()) out << " " << displayText(name);
            out << ":\n";
            for (int u : visible) out << "    " << unitLine(module, state, u) << "\n";
            shown += static_cast<int>(visible.size());
        }
    }
    int offMap = 0;
    for (int u = 1; u <= state.unitCount(); ++u) {
        if (!state.unit(u).onHex() && visibleToMe(state, state.unit(u))) ++offMap;
    }
    out << "\n" << shown << " units shown on the map";
    if (offMap > 0) out << ", " << offMap << " on no hex";
    out << "\n";
    return 0;
}

// Exit status of verify for a file it cannot read; 1 means findings.
constexpr int kVerifyUnreadable = 2;

int runVerify(const Arguments& args, ToolStreams& io) {
    ModuleLoad module;
    try {
        module = loadModuleForTool(args.positional[0]);
    } catch (const ToolError& e) {
        io.err << "qmxtool: " << e.what() << "\n";
        return kVerifyUnreadable;
    }
    GameState games[2];
    Bytes records[2];
    for (int i = 0; i < 2; ++i) {
        const std::string& path = args.positional[static_cast<std::size_t>(i) + 1];
        NotePrompts prompts;
        games[i].resetForModule(module.module);
        const SavedGameLoad load = loadSavedGame(path, module.module, games[i], prompts);
        if (!load.ok) {
            std::string why;
            for (const std::string& note : prompts.notes) why += (why.empty() ? "" : " ") + note;
            io.err << "qmxtool: " << path << ": "
                   << displayText(why.empty() ? messageOf(msg::kCouldNotParse) : why) << "\n";
            return kVerifyUnreadable;
        }
        for (const std::string& note : prompts.notes)
            io.err << "qmxtool: note: " << path << ": " << displayText(note) << "\n";
        records[i] = load.replay;
    }
    identifyForTool(args, io, games[1], args.positional[2]);
    const TurnCheck check = checkTurn(module.module, {games[0], records[0]}, {games[1], records[1]},
                                      games[1].currentSlot);
    if (check.consistent()) {
        io.out << "consistent\n";
        return 0;
    }
    for (const std::string& finding : check.findings) io.out << displayText(finding) << "\n";
    return kExitFailure;
}

}  // namespace

void registerGameCommands(CommandTable& table) {
    table.add({"verify",
               "MODULE SENT REPLY [--player NAME]",
               "checks that the reply changed nothing outside its record since the game SENT: "
               "\"consistent\" (status 0) or one line per change (status 1; 2 for a file that "
               "cannot be read); units hidden from the observer or from NAME (password on "
               "standard input) are not named",
               {{"--player", true}},
               3,
               3,
               runVerify});
    table.add({"game",
               "MODULE SAVE [--player NAME]",
               "lists the players, the cards per place and the units of every hex of a saved game "
               "as the player NAME (password on standard input) or an observer sees them",
               {{"--player", true}},
               2,
               2,
               runGame});
}

}  // namespace qmx::tool
