#pragma once
// What the player's widget tests share: a program folder of their own, the
// module and the saved games written into it, the player started on it, and
// the board's hexes under the mouse.
//
//   PlayerHome home;                                   // QMX_HOME names a new folder
//   const QString module = home.writeModule(m, "Battle");  // modules/Battle.qm4, blank image
//   const QString game = home.writeTwoPlayerSetup(module, "setup", {{{2, 2}, {1, 2}}});
//   auto app = home.player(module, game, &person);     // not started yet
//   doubleClickHex(view, {3, 4});                      // as a person picks a stack up

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/module/Clock.h"
#include "core/module/FileIo.h"
#include "core/module/Hex.h"
#include "core/module/ModuleFile.h"
#include "graphics/ModuleGraphics.h"
#include "player/CQMXApp.h"
#include "player/CQMXView.h"
#include "tests/support/ReplayTestSupport.h"

namespace qmx {

class PlayerHome {
public:
    PlayerHome() {
        QDir(m_dir.path()).mkpath(QStringLiteral("modules"));
        QDir(m_dir.path()).mkpath(QStringLiteral("Savedgames"));
        qputenv("QMX_HOME", m_dir.path().toLocal8Bit());
    }
    ~PlayerHome() { qunsetenv("QMX_HOME"); }
    PlayerHome(const PlayerHome&) = delete;
    PlayerHome& operator=(const PlayerHome&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString folder() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Writes `module` and a blank image as modules/NAME.qm4 (the identity comes
    // from a fixed clock, so every module written here has the same one). The
    // module's path; empty when a file could not be written.
    QString writeModule(Module module, const QString& name) const {
        const QString file = path(QStringLiteral("modules/%1.qm4").arg(name));
        const std::string bytes = file.toStdString();
        ModuleGraphics image = ModuleGraphics::createBlank(module);
        FixedClock clock;
        if (!image.save(bytes).ok() || !saveModuleFile(bytes, module, clock)) return {};
        return file;
    }

    // A stack of a saved game: its units, head first, on a hex.
    struct Stack {
        Hex hex;
        std::vector<int> units;
    };

    // A saved game of `module` as Savedgames/NAME.qms, with an empty record:
    // the units of `stacks` stand there (now and at the start of the record),
    // every other unit on (1, 1); `edit` changes the game before it is
    // written. The game's path; empty when it could not be written.
    QString writeGame(const QString& module, const QString& name, const std::vector<Stack>& stacks,
                      const std::function<void(GameState&)>& edit = {}) const {
        const ModuleLoad load = loadModuleFile(module.toStdString(), ModuleReader::Player);
        if (!load.ok) return {};
        GameState g(load.module);
        std::vector<int> rest;
        for (int u = 1; u <= g.unitCount(); ++u) {
            bool placed = false;
            for (const Stack& s : stacks)
                placed = placed || std::find(s.units.begin(), s.units.end(), u) != s.units.end();
            if (!placed) rest.push_back(u);
        }
        test::placeStack(g, rest, 1, 1);
        for (const Stack& s : stacks) test::placeStack(g, s.units, s.hex.column, s.hex.row);
        if (edit) edit(g);
        const QString file = path(QStringLiteral("Savedgames/%1.qms").arg(name));
        return writeFileAtomically(file.toStdString(), serializeSavedGame(g, load.module, {}))
                   ? file
                   : QString();
    }

    // The same with slots 0 and 1 players, initialized as Blue (password
    // "blue") and Red ("red"), and nobody identified at this machine.
    QString writeTwoPlayerSetup(const QString& module, const QString& name,
                                const std::vector<Stack>& stacks,
                                const std::function<void(GameState&)>& edit = {}) const {
        return writeGame(module, name, stacks, [&edit](GameState& g) {
            g.players[0].kind = SlotKind::Player;
            g.players[1].kind = SlotKind::Player;
            initializePlayer(g, "Blue", "blue", 17);
            initializePlayer(g, "Red", "red", 42);
            g.currentSlot = kObserver;
            if (edit) edit(g);
        });
    }

    // The player on `module` with the saved game `game` (none when empty),
    // whose person answers from `person`; start() is left to the test.
    std::unique_ptr<CQMXApp> player(const QString& module, const QString& game,
                                    SessionPrompts* person) const {
        StartOptions o;
        o.modulePath = module;
        o.savedGamePath = game;
        o.prompts = person;
        o.executableDir = m_dir.path();
        return std::make_unique<CQMXApp>(o);
    }

private:
    QTemporaryDir m_dir;
};

// The centre of a hex's unit square in the view's window.
inline QPoint hexCentre(CQMXView* view, Hex hex) {
    const PixelPoint p =
        view->geometry().unitWindowPosition(hex, view->zoom(), view->scrollOrigin());
    const int half = static_cast<int>(20 * view->zoom());
    return {p.x + half, p.y + half};
}

inline void clickHex(CQMXView* view, Hex hex) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, hexCentre(view, hex));
}

// A double click as a person makes it: a click, then the double click.
inline void doubleClickHex(CQMXView* view, Hex hex) {
    clickHex(view, hex);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, hexCentre(view, hex));
}

}  // namespace qmx
