// The demo's saved games: they load against the demo module, the units stand
// where the set-up put them, and the first move's record replays to its end.
#include <gtest/gtest.h>

#include <QImage>
#include <QXmlStreamReader>
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "core/game/HexPicture.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/map/HexGeometry.h"
#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayPlayback.h"
#include "graphics/ModuleGraphics.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tools/demo/DemoGames.h"
#include "tools/demo/DemoModule.h"
#include "tools/qmxtool/Commands.h"

using namespace qmx;
using namespace qmx::demo;
namespace fs = std::filesystem;

namespace {

// The module and both saved games written once into a scratch folder, as the
// build writes them; the folder goes when the program ends.
struct WrittenDemo {
    fs::path folder;
    ModuleLoad module;
    std::string setupPath;
    std::string turnPath;
};

const WrittenDemo& writtenDemo() {
    static const qmx::test::TempFolder scratch("qmx_demo_games");
    static const WrittenDemo d = [] {
        WrittenDemo w;
        w.folder = scratch.path();
        const std::string modules = (w.folder / "modules").string();
        const std::string games = (w.folder / "Savedgames").string();
        EXPECT_TRUE(writeDemoModule(modules));
        w.module =
            loadModuleFile((w.folder / "modules" / "Demo.qm4").string(), ModuleReader::Player);
        EXPECT_TRUE(w.module.ok);
        EXPECT_TRUE(writeDemoGames(games, w.module.module));
        w.setupPath = (w.folder / "Savedgames" / kDemoSetupName).string();
        w.turnPath = (w.folder / "Savedgames" / kDemoTurnOneName).string();
        return w;
    }();
    return d;
}

struct Loaded {
    GameState state;
    SavedGameLoad load;
    ScriptedPrompts prompts;
};

void loadGame(const std::string& path, Loaded& out) {
    const Module& m = writtenDemo().module.module;
    out.state = GameState(m);
    out.load = loadSavedGame(path, m, out.state, out.prompts);
}

// Every unit's start hex is the one the set-up put it on.
void expectSetupStartHexes(const GameState& state) {
    int placed = 0;
    for (const DemoStack& s : demoSetupStacks()) {
        placed += static_cast<int>(s.units.size());
        for (int u : s.units) {
            EXPECT_EQ(state.unit(u).startColumn, s.hex.column) << u;
            EXPECT_EQ(state.unit(u).startRow, s.hex.row) << u;
        }
    }
    EXPECT_EQ(placed, state.unitCount());
}

}  // namespace

TEST(DemoGames, SetupLoadsWithEveryUnitOnItsStartHex) {
    Loaded g;
    loadGame(writtenDemo().setupPath, g);
    ASSERT_TRUE(g.load.ok);
    EXPECT_TRUE(g.prompts.messages.empty());
    EXPECT_TRUE(g.prompts.texts.empty());
    EXPECT_FALSE(g.load.stackingError);
    EXPECT_TRUE(g.load.corrections.empty());
    EXPECT_TRUE(g.load.replay.empty());
    EXPECT_EQ(g.state.unitCount(), 60);

    // Each stack as placed, top first, on its start hex and its present hex.
    std::vector<int> seen(61, 0);
    for (const DemoStack& s : demoSetupStacks()) {
        EXPECT_LE(s.units.size(), 3u);
        EXPECT_EQ(g.state.stackAt(s.hex.column, s.hex.row), s.units)
            << s.hex.column << "," << s.hex.row;
        for (int u : s.units) {
            ++seen[static_cast<std::size_t>(u)];
            const UnitState& us = g.state.unit(u);
            EXPECT_EQ(us.startColumn, us.column) << u;
            EXPECT_EQ(us.startRow, us.row) << u;
            EXPECT_EQ(us.startStackLink, us.stackLink) << u;
            EXPECT_EQ(us.startHiddenBy(), us.hiddenBy()) << u;
            // Blue east of the river, Red within three hexes of the west edge.
            if (u <= 30) {
                EXPECT_TRUE(!vardanGap().westOfRiver(s.hex)) << u;
            } else {
                EXPECT_LE(s.hex.column, 3) << u;
            }
            EXPECT_NE(vardanGap().terrainAt(s.hex), Terrain::Lake) << u;
        }
    }
    for (int u = 1; u <= 60; ++u) EXPECT_EQ(seen[static_cast<std::size_t>(u)], 1) << u;
    EXPECT_TRUE(g.state.stackAt(1, 1).empty());

    // Hidden by their owners: the Blue division HQ and guns, the Red guns.
    for (int u : {1, 26, 27}) EXPECT_EQ(g.state.unit(u).hiddenBy(), 0) << u;
    for (int u : {57, 58}) EXPECT_EQ(g.state.unit(u).hiddenBy(), 1) << u;
    EXPECT_FALSE(g.state.unit(2).isHidden());

    // Two players whose passwords are "blue" and "red".
    EXPECT_EQ(g.state.identifyProgress, kPlayersComplete);
    EXPECT_EQ(g.state.players[0].kind, SlotKind::Player);
    EXPECT_EQ(g.state.players[0].name, "Blue");
    EXPECT_EQ(g.state.players[1].name, "Red");
    EXPECT_EQ(g.state.players[2].kind, SlotKind::NotUsed);
    EXPECT_TRUE(passwordMatches(g.state.players[0], "blue"));
    EXPECT_TRUE(passwordMatches(g.state.players[1], "red"));
    EXPECT_FALSE(passwordMatches(g.state.players[0], "red"));
}

TEST(DemoGames, TurnOneHoldsTheMoveAndItsRecord) {
    Loaded g;
    loadGame(writtenDemo().turnPath, g);
    ASSERT_TRUE(g.load.ok);
    EXPECT_TRUE(g.prompts.messages.empty());
    EXPECT_TRUE(g.load.corrections.empty());

    // The raid's move start, written by hand: 255 241, units 22 and 23, 255 247,
    // origin 14,2, first path hex 13,2, then the path on to 4,2 and the drop.
    const Bytes raid = {255, 241, 0, 22, 0, 23, 255, 247, 14, 2, 13, 2, 12, 2, 11,  2,
                        10,  2,   9, 2,  8, 2,  7,   2,   6,  2, 5,  2, 4,  2, 255, 248};
    ASSERT_GE(g.load.replay.size(), raid.size());
    EXPECT_EQ(Bytes(g.load.replay.begin(), g.load.replay.begin() + raid.size()), raid);
    const Bytes marker = {255, 253};
    EXPECT_EQ(Bytes(g.load.replay.end() - 2, g.load.replay.end()), marker);

    // The state after the move.
    EXPECT_EQ(g.state.stackAt(4, 2), (std::vector<int>{22, 23}));
    EXPECT_TRUE(g.state.stackAt(14, 2).empty());
    EXPECT_EQ(g.state.stackAt(16, 12), (std::vector<int>{29, 11, 28}));
    EXPECT_EQ(g.state.stackAt(17, 14), (std::vector<int>{13}));
    EXPECT_EQ(g.state.stackAt(19, 11), (std::vector<int>{12}));
    EXPECT_TRUE(g.state.unit(29).facing & Facing::kShown);
    EXPECT_EQ(g.state.unit(54).step, 1);  // R-12 lost a step
    EXPECT_TRUE(g.state.unit(22).has(UnitFlags::kMoved));
    EXPECT_TRUE(g.state.unit(54).has(UnitFlags::kInCombat));
    // The start positions are the set-up's.
    expectSetupStartHexes(g.state);
}

TEST(DemoGames, TurnOneReplaysToTheEndFromTheSetup) {
    Loaded setup;
    loadGame(writtenDemo().setupPath, setup);
    Loaded g;
    loadGame(writtenDemo().turnPath, g);
    ASSERT_TRUE(setup.load.ok);
    ASSERT_TRUE(g.load.ok);
    const std::vector<UnitState> endUnits = g.state.units();

    const Module& m = writtenDemo().module.module;
    ModuleCardTexts cards(m);
    ScriptedPrompts prompts;
    ReplayPlayback playback(g.state, m, prompts, cards);
    ReplayEvent e = playback.start(g.load.replay);
    ASSERT_EQ(e.kind, ReplayEventKind::Started);
    // The start of the replay is the set-up.
    for (int u = 1; u <= 60; ++u) {
        EXPECT_EQ(g.state.unit(u).column, setup.state.unit(u).column) << u;
        EXPECT_EQ(g.state.unit(u).row, setup.state.unit(u).row) << u;
        EXPECT_EQ(g.state.unit(u).step, setup.state.unit(u).step) << u;
    }

    std::vector<ReplayEventKind> kinds;
    bool markerReached = false;
    for (int i = 0; i < 200 && playback.active(); ++i) {
        e = playback.step();
        kinds.push_back(e.kind);
        if (e.kind == ReplayEventKind::SaveMarker) {
            // The replayed moves have led to the saved state (before the end
            // puts the saved state back).
            markerReached = true;
            for (int u = 1; u <= 60; ++u) {
                const UnitState& want = endUnits[static_cast<std::size_t>(u)];
                EXPECT_EQ(g.state.unit(u).column, want.column) << u;
                EXPECT_EQ(g.state.unit(u).row, want.row) << u;
                EXPECT_EQ(g.state.unit(u).step, want.step) << u;
                EXPECT_EQ(g.state.unit(u).facing, want.facing) << u;
            }
            EXPECT_EQ(g.state.stackAt(16, 12), (std::vector<int>{29, 11, 28}));
        }
        if (e.kind == ReplayEventKind::Drop && e.units == std::vector<int>{22, 23}) {
            EXPECT_EQ(e.to.column, 4);
            EXPECT_EQ(e.to.row, 2);
        }
    }
    ASSERT_FALSE(playback.active());
    EXPECT_TRUE(markerReached);
    EXPECT_EQ(kinds.back(), ReplayEventKind::End);
    EXPECT_TRUE(prompts.messages.empty());
    auto count = [&](ReplayEventKind k) { return std::count(kinds.begin(), kinds.end(), k); };
    EXPECT_EQ(count(ReplayEventKind::MoveStart), 4);
    EXPECT_EQ(count(ReplayEventKind::Drop), 4);
    EXPECT_EQ(count(ReplayEventKind::Combat), 1);
    EXPECT_EQ(count(ReplayEventKind::Result), 1);
    EXPECT_EQ(count(ReplayEventKind::Comment), 2);
    EXPECT_EQ(count(ReplayEventKind::SaveMarker), 1);
    EXPECT_EQ(count(ReplayEventKind::UnitCommand), 3);

    // The end restores the saved state.
    EXPECT_EQ(g.state.stackAt(4, 2), (std::vector<int>{22, 23}));
}

TEST(DemoGames, EveryBuildWritesTheSameBytes) {
    const WrittenDemo& w = writtenDemo();
    const fs::path again = w.folder / "again";
    ASSERT_TRUE(writeDemoGames(again.string(), w.module.module));
    for (const char* name : {kDemoSetupName, kDemoTurnOneName}) {
        const auto a = readWholeFile((w.folder / "Savedgames" / name).string());
        const auto b = readWholeFile((again / name).string());
        ASSERT_TRUE(a && b) << name;
        EXPECT_EQ(*a, *b) << name;
    }
    // The work file of the record is gone.
    for (const auto& entry : fs::directory_iterator(again))
        EXPECT_EQ(entry.path().extension(), ".qms") << entry.path();
}

// qmxtool render draws the demo turn as the board does: the top unit's own
// picture where the person may see it, the bare map where a unit hidden from
// the person stands.
TEST(DemoGames, RenderShowsEachPersonTheBoardTheyMaySee) {
    const WrittenDemo& d = writtenDemo();
    const std::string modulePath = (d.folder / "modules" / "Demo.qm4").string();
    auto render = [&](const std::string& name, std::vector<std::string> extra,
                      const std::string& input) {
        std::vector<std::string> args{"render", modulePath, d.turnPath, "-o",
                                      (d.folder / name).string()};
        args.insert(args.end(), extra.begin(), extra.end());
        qmx::tool::CommandTable table;
        qmx::tool::registerAllCommands(table);
        std::istringstream in(input);
        std::ostringstream out, err;
        EXPECT_EQ(qmx::tool::runTool(table, args, {in, out, err}), 0) << err.str();
        return QImage(QString::fromStdString((d.folder / name).string()));
    };
    const QImage observer = render("observer.png", {}, "");
    const QImage red = render("red.png", {"--player", "Red"}, "red\n");
    ASSERT_FALSE(observer.isNull());
    ASSERT_FALSE(red.isNull());

    const Module& m = d.module.module;
    ModuleGraphics graphics;
    ASSERT_TRUE(graphics.load(modulePath).ok());
    Loaded g;
    loadGame(d.turnPath, g);
    ASSERT_TRUE(g.load.ok);
    const HexGeometry geometry(m);
    const QRect map = graphics.mapRect(m);
    // Red's hidden guns stand together: Red sees the top one, an observer the map.
    const UnitState& gun = g.state.unit(57);
    const Hex hex{gun.column, gun.row};
    ASSERT_EQ(g.state.stackAt(hex.column, hex.row), (std::vector<int>{57, 58}));
    ASSERT_EQ(g.state.unit(58).hiddenBy(), 1);
    const PixelPoint at = geometry.unitImageOrigin(hex);
    const QPoint centre(at.x + 20, at.y + 20);
    g.state.currentSlot = 1;
    ASSERT_EQ(hexPicture(g.state, hex, false).unit, 57);
    const QImage picture = graphics.unitImage(m, shownImage(m, g.state, 57));
    EXPECT_EQ(red.pixel(centre), picture.pixel(20, 20));
    EXPECT_EQ(observer.pixel(centre), graphics.image().pixel(map.topLeft() + centre));
    EXPECT_NE(observer.pixel(centre), red.pixel(centre));

    // --zoom and --hexes: hexes 0101 to 0303 at 200 %.
    const QImage part = render("part.png", {"--zoom", "200", "--hexes", "1,1-3,3"}, "");
    EXPECT_LT(part.width(), 400);
    EXPECT_GT(part.width(), 250);
}

// qmxtool aar over the set-up and the first turn: a page with both boards and
// moves, every text escaped, nothing of a unit hidden from the observer.
TEST(DemoGames, AfterActionReportIsOneEscapedPage) {
    const WrittenDemo& d = writtenDemo();
    const qmx::test::TempFolder folder("qmx_aar");
    Module m = d.module.module;
    int moved = 0;  // a unit of the first move gets the name to escape
    for (int u = 1; u <= m.unitCount; ++u)
        if (m.units[u].name.find("1-3 Armored Cavalry") != std::string::npos) moved = u;
    ASSERT_GT(moved, 0);
    m.units[moved].name = "Guards <Rgt> & \"Co\"";
    const std::string modulePath = (folder / "Guards.qm4").string();
    ASSERT_TRUE(writeFileAtomically(modulePath, serializeModule(m)));
    fs::copy_file(d.folder / "modules" / "Demo.PNG", folder / "Guards.PNG");
    Loaded turn;
    loadGame(d.turnPath, turn);
    ASSERT_TRUE(turn.load.ok);
    Bytes record = turn.load.replay;
    const std::string comment = "<script>alert(1)</script>";
    record.insert(record.end(), {255, 242});
    record.insert(record.end(), comment.begin(), comment.end());
    record.insert(record.end(), {255, 249, 255, 253});
    const std::string turnPath = (folder / "turn1.qms").string();
    ASSERT_TRUE(writeFileAtomically(turnPath, serializeSavedGame(turn.state, m, record)));

    qmx::tool::CommandTable table;
    qmx::tool::registerAllCommands(table);
    std::istringstream in;
    std::ostringstream out, err;
    const std::string report = (folder / "report").string();
    ASSERT_EQ(qmx::tool::runTool(table, {"aar", modulePath, d.setupPath, turnPath, "-o", report},
                                 {in, out, err}),
              0)
        << err.str();
    const auto bytes = readWholeFile(report + "/index.html");
    ASSERT_TRUE(bytes);
    const std::string page(bytes->begin(), bytes->end());
    EXPECT_FALSE(QImage(QString::fromStdString(report + "/turn-001.png")).isNull());
    EXPECT_FALSE(QImage(QString::fromStdString(report + "/turn-002.png")).isNull());
    EXPECT_NE(page.find("1 of 2: " + std::string(kDemoSetupName)), std::string::npos);
    EXPECT_NE(page.find("2 of 2: turn1.qms"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    EXPECT_EQ(page.find("<script"), std::string::npos);
    EXPECT_NE(page.find("Guards &lt;Rgt&gt; &amp; &quot;Co&quot;"), std::string::npos);
    EXPECT_EQ(page.find(m.units[moved].name), std::string::npos);
    // Red's guns stand hidden from an observer: their names are nowhere.
    for (int hidden : {57, 58}) EXPECT_EQ(page.find(m.units[hidden].name), std::string::npos);

    // Well formed: an XML reader reads the whole page.
    QXmlStreamReader xml(QByteArray::fromStdString(page));
    int images = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("img"))
            ++images;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(images, 2);
}
