// Replay records come inside other players' saved games: any bytes must play
// and report without harm. The first byte chooses who is watching and the
// report options; the rest is the record. Checked besides memory safety:
//  - every event names only units the watcher may see, and a hidden move
//    carries no hex;
//  - the end of the replay gives back exactly the state it started from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "core/game/GameState.h"
#include "core/game/UserPrompts.h"
#include "core/game/Visibility.h"
#include "core/module/Module.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayPlayback.h"
#include "core/replay/TextReport.h"

namespace {

using namespace qmx;

class QuietPrompts : public UserPrompts {
public:
    void showMessage(int) override {}
    void showText(const std::string&, const std::string&) override {}
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    std::optional<std::string> askText(const std::string&, const std::string&, int) override {
        return std::string("KEY");
    }
};

// A 5 x 4 map, 40 units ("U1".."U40") in stacks of four, some hidden by
// slot 1, some identity-hidden, one card deck. Slots 0 and 1 play (slot 0
// may be the game master), slot 2 is a card location.
struct Game {
    Module module = Module::createEmpty(5, 4, GridOrientation::RowsAligned, 40);
    GameState state;

    Game() {
        for (int u = 1; u <= 40; ++u) {
            module.units[static_cast<std::size_t>(u)].name = "U" + std::to_string(u);
            module.units[static_cast<std::size_t>(u)].stepImage = {1, 2, 3, 0, 5, 0};
        }
        module.decks[1].name = "Deck";
        module.decks[1].cardCount = 2;
        module.decks[1].cards[1] = {8, "text"};
        state.resetForModule(module);
        for (auto& h : state.hexes()) h.stackHead = 0;
        for (int u = 1; u <= 40; ++u) {
            UnitState& s = state.unit(u);
            const int place = (u - 1) / 4;  // ten stacks
            s.column = s.startColumn = static_cast<std::uint8_t>(1 + place % 5);
            s.row = s.startRow = static_cast<std::uint8_t>(1 + place / 5);
            const bool last = u % 4 == 0;
            s.stackLink = s.startStackLink = static_cast<std::uint16_t>(last ? 0 : u + 1);
            if (u % 4 == 1) state.setStackHead(s.column, s.row, static_cast<std::uint16_t>(u));
            if (u % 3 == 0) s.hidden = 0x11;
            if (u % 7 == 0) s.flags = UnitFlags::kIdHidden | UnitFlags::kStartIdHidden;
        }
        state.players[0] = {SlotKind::Player, "Anna", {}};
        state.players[1] = {SlotKind::Player, "Bert", {}};
        state.players[2] = {SlotKind::CardLocation, "Pile", {}};
        state.identifyProgress = kPlayersComplete;
    }
};

bool sameUnits(const GameState& a, const GameState& b) {
    for (int u = 0; u <= a.unitCount(); ++u) {
        const UnitState& x = a.units()[static_cast<std::size_t>(u)];
        const UnitState& y = b.units()[static_cast<std::size_t>(u)];
        if (x.step != y.step || x.facing != y.facing || x.hidden != y.hidden ||
            x.flags != y.flags || x.column != y.column || x.row != y.row ||
            x.stackLink != y.stackLink)
            return false;
    }
    for (std::size_t i = 0; i < a.hexes().size(); ++i)
        if (a.hexes()[i].stackHead != b.hexes()[i].stackHead) return false;
    return a.carriedStack == b.carriedStack;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static Game game;
    GameState& state = game.state;
    const std::uint8_t choice = data[0];
    state.currentSlot = (choice & 3) == 3 ? kObserver : static_cast<std::uint8_t>(choice & 1);
    game.state.players[0].kind = (choice & 4) ? SlotKind::GameMaster : SlotKind::Player;
    const Bytes record(data + 1, data + size);
    const GameState before = state;

    QuietPrompts prompts;
    ModuleCardTexts cards(game.module);
    ReplayPlayback playback(state, game.module, prompts, cards);
    if (playback.start(record).kind != ReplayEventKind::Started) std::abort();
    // The end comes within one event per pair of the record.
    for (std::size_t n = 0; n <= record.size() + 2; ++n) {
        const ReplayEvent e = playback.step();
        for (int u : e.units)
            if (!state.isUnit(u) || !visibleToMe(state, state.unit(u))) std::abort();
        if (e.shownUnit && !visibleToMe(state, state.unit(e.shownUnit))) std::abort();
        if (!e.shown && (e.shownUnit || !e.from.isNone() || !e.to.isNone())) std::abort();
        if (e.kind == ReplayEventKind::End) break;
    }
    if (playback.active()) std::abort();
    if (!sameUnits(state, before)) std::abort();

    ReportOptions options;
    options.reportHidden = choice & 8;
    options.includeStep = choice & 16;
    options.includeFacing = choice & 32;
    options.showHidden = choice & 64;
    (void)moveReport(record, game.module, state, options, cards);
    (void)commentsReport(record, game.module, state, cards);
    (void)positionsReport(game.module, state, options, choice & 128);
    return 0;
}
