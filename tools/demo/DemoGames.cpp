#include "tools/demo/DemoGames.h"

#include <array>
#include <cstdio>
#include <filesystem>

#include "core/game/PlayerDefinition.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/game/UnitRules.h"
#include "core/game/UserPrompts.h"
#include "core/module/Clock.h"
#include "core/replay/ReplayEntries.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"

namespace qmx::demo {

namespace {

// The moment the work file of the record is named from.
constexpr std::int64_t kDemoGameSeconds = 1262304000;  // 2010-01-01

// Fixed password seeds: the same stored passwords on every build.
constexpr int kBlueSeed = 17;
constexpr int kRedSeed = 58;

constexpr std::uint8_t kBlueSlot = 0;
constexpr std::uint8_t kRedSlot = 1;

// Unit numbers used by the first move.
constexpr int kBlueCavalry = 22;   // Blue 1-3 Armored Cavalry Sqn
constexpr int kBlueRecon = 23;     // Blue A-3 Recon Company
constexpr int kBlueInfantry = 12;  // Blue 2-32 Infantry Bn
constexpr int kBlueAntitank = 29;  // Blue 3 Antitank Bn
constexpr int kRedRecon = 54;      // Red R-12 Recon Company

// Reports every prompt on standard error: nothing should be asked.
class ErrorPrompts : public UserPrompts {
public:
    void showMessage(int number) override { std::fprintf(stderr, "message %d\n", number); }
    void showText(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> askText(const std::string&, const std::string&, int) override {
        return std::nullopt;
    }
};

// Puts `units` on `hex` as one stack, top first.
void placeStack(GameState& state, Hex hex, const std::vector<int>& units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        UnitState& s = state.unit(units[i]);
        s.column = static_cast<std::uint8_t>(hex.column);
        s.row = static_cast<std::uint8_t>(hex.row);
        s.stackLink = static_cast<std::uint16_t>(i + 1 < units.size() ? units[i + 1] : 0);
    }
    state.setStackHead(hex.column, hex.row, static_cast<std::uint16_t>(units.front()));
}

// Takes `unit` out of the stack on its hex.
void removeFromStack(GameState& state, int unit) {
    UnitState& s = state.unit(unit);
    std::vector<int> stack = state.stackAt(s.column, s.row);
    std::erase(stack, unit);
    state.setStackHead(s.column, s.row, 0);
    if (!stack.empty()) placeStack(state, {s.column, s.row}, stack);
    s.stackLink = 0;
}

// Drops `units` (top first) on top of the stack at `hex`, as a move ends.
void dropOnto(GameState& state, Hex hex, const std::vector<int>& units) {
    for (int u : units) removeFromStack(state, u);
    std::vector<int> stack = units;
    for (int u : state.stackAt(hex.column, hex.row)) stack.push_back(u);
    placeStack(state, hex, stack);
}

// One move: the carried units (top first) leave their hex and pass through
// `path`, from the first hex entered to the hex where they are put down (a
// stack put back where it stood has its own hex as its only path hex).
struct Move {
    std::vector<int> units;
    std::vector<Hex> path;
};

// Records the move and makes it in the state; `commands` act on the carried
// units on the first path hex.
bool recordMove(ReplayRecorder& recorder, GameState& state, const Move& move,
                const std::vector<ReplayCode>& commands, const Module& module) {
    const UnitState& first = state.unit(move.units.front());
    bool ok = recorder.recordMoveStart(move.units, first.column, first.row,
                                       move.path.front().column, move.path.front().row);
    for (ReplayCode code : commands) {
        ok = ok && recorder.record(code);
        switch (code) {
            case ReplayCode::FacingOn:
                facingOn(state, move.units);
                break;
            case ReplayCode::RotateRight:
                rotateRight(state, move.units);
                break;
            case ReplayCode::RotateLeft:
                rotateLeft(state, move.units);
                break;
            case ReplayCode::StepDown:
                stepDown(state, module, move.units);
                break;
            default:
                break;
        }
    }
    for (std::size_t i = 1; i < move.path.size(); ++i)
        ok = ok && recorder.recordPath(move.path[i].column, move.path[i].row);
    ok = ok && recorder.record(ReplayCode::Drop);
    dropOnto(state, move.path.back(), move.units);
    return ok;
}

std::vector<Hex> rowPath(int fromColumn, int toColumn, int row) {
    std::vector<Hex> path;
    const int step = toColumn < fromColumn ? -1 : 1;
    for (int c = fromColumn; c != toColumn + step; c += step) path.push_back({c, row});
    return path;
}

}  // namespace

const std::vector<DemoStack>& demoSetupStacks() {
    static const std::vector<DemoStack> stacks = {
        // Blue: the recon screen at the northern ford, the river line, the
        // brigades behind it, the guns and the division HQ at Harmsdorf.
        {{14, 2}, {kBlueCavalry, kBlueRecon}},
        {{15, 4}, {9}},
        {{14, 7}, {10}},
        {{16, 9}, {5, 7, 8}},
        {{17, 11}, {kBlueInfantry}},
        {{16, 12}, {11, 28}},
        {{17, 14}, {13, kBlueAntitank}},
        {{18, 17}, {14}},
        {{19, 20}, {21}},
        {{20, 23}, {30}},
        {{21, 10}, {2, 6}},
        {{21, 13}, {3, 15, 16}},
        {{24, 16}, {4, 17, 18}},
        {{24, 19}, {19, 20}},
        {{23, 8}, {24, 25}},
        {{24, 12}, {26, 27}},
        {{26, 10}, {1}},
        // Red: within three hexes of the west edge.
        {{3, 2}, {kRedRecon}},
        {{2, 4}, {53}},
        {{3, 5}, {32, 36, 37}},
        {{3, 7}, {38, 39}},
        {{2, 9}, {33, 40, 41}},
        {{3, 11}, {42, 43}},
        {{1, 12}, {31, 59}},
        {{3, 13}, {48, 49, 50}},
        {{1, 14}, {57, 58}},
        {{2, 15}, {35, 51, 52}},
        {{3, 16}, {34, 44, 45}},
        {{3, 18}, {46, 47}},
        {{2, 20}, {55, 56}},
        {{2, 22}, {60}},
    };
    return stacks;
}

GameState demoSetupState(const Module& module) {
    GameState state(module);
    for (HexGameRecord& h : state.hexes()) h.stackHead = 0;
    for (const DemoStack& stack : demoSetupStacks()) placeStack(state, stack.hex, stack.units);

    // The Blue division HQ and guns, and the Red guns, are hidden by their owners.
    const std::array<int, 3> blueHidden = {1, 26, 27};
    const std::array<int, 2> redHidden = {57, 58};
    applyHide(state, blueHidden, kBlueSlot);
    applyHide(state, redHidden, kRedSlot);
    commitStartPositions(state);

    PlayerDefinition().store(state);  // positions 1 and 2 players, the rest not used
    initializePlayer(state, "Blue", "blue", kBlueSeed);
    initializePlayer(state, "Red", "red", kRedSeed);
    state.currentSlot = kObserver;
    return state;
}

bool demoTurnOne(const Module& module, const GameState& setup, const std::string& workFolder,
                 DemoTurn& out) {
    out.state = setup;
    GameState& state = out.state;
    const FixedClock clock(kDemoGameSeconds);
    ReplayFile file(workFolder, clock);
    file.remove();  // left over from an interrupted build
    ErrorPrompts prompts;
    ReplayRecorder recorder(file, state, prompts);

    // The recon screen crosses the northern ford and runs west to Red's line.
    const Move raid{{kBlueCavalry, kBlueRecon}, rowPath(13, 4, 2)};
    // The antitank battalion joins the bridge guard at Vardan and shows its facing.
    const Move antitank{{kBlueAntitank}, {{17, 13}, {16, 12}}};
    // An infantry battalion digs into the woods north of Vardan.
    const Move infantry{{kBlueInfantry}, {{18, 11}, {19, 11}}};

    bool ok = recordMove(recorder, state, raid, {}, module);
    ok = ok && recordMove(recorder, state, antitank, {ReplayCode::FacingOn, ReplayCode::RotateLeft},
                          module);
    ok = ok && recordMove(recorder, state, infantry, {}, module);
    for (int u : {kBlueCavalry, kBlueRecon, kBlueAntitank, kBlueInfantry})
        state.unit(u).set(UnitFlags::kMoved);

    ok = ok && recorder.recordComment(
                   "Blue 1-3 cavalry and A-3 recon cross the northern ford and strike R-12.");

    const std::array<int, 3> combat = {kBlueCavalry, kBlueRecon, kRedRecon};
    ok = ok && recorder.append(combatEntry(combat));
    for (int u : combat) state.unit(u).set(UnitFlags::kInCombat);
    ok = ok &&
         recorder.recordResult(2, 6, "Att 5 against Def 1: rolled 4 + 5 = 9, R-12 loses a step.");
    // R-12 takes its step loss where it stands.
    const Move loss{{kRedRecon}, {{3, 2}}};
    ok = ok && recordMove(recorder, state, loss, {ReplayCode::StepDown}, module);

    ok = ok && recorder.record(ReplayCode::SaveMarker);
    state.moveSaved = true;
    const std::optional<Bytes> record = file.read();
    file.remove();
    if (!ok || !record) return false;
    out.record = *record;
    return true;
}

bool writeDemoGames(const std::string& folder, const Module& module) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    ErrorPrompts prompts;
    GameState setup = demoSetupState(module);
    const std::string setupPath = (std::filesystem::path(folder) / kDemoSetupName).string();
    if (!saveGameFile(setupPath, setup, module, {}, prompts)) {
        std::fprintf(stderr, "cannot write %s\n", setupPath.c_str());
        return false;
    }
    DemoTurn turn;
    if (!demoTurnOne(module, setup, folder, turn)) {
        std::fprintf(stderr, "cannot record the first move in %s\n", folder.c_str());
        return false;
    }
    const std::string turnPath = (std::filesystem::path(folder) / kDemoTurnOneName).string();
    if (!saveGameFile(turnPath, turn.state, module, turn.record, prompts)) {
        std::fprintf(stderr, "cannot write %s\n", turnPath.c_str());
        return false;
    }
    return true;
}

}  // namespace qmx::demo
