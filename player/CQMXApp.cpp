#include "player/CQMXApp.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "core/game/ModuleFinder.h"
#include "core/game/SavedGame.h"
#include "core/module/ModuleFile.h"
#include "core/replay/ReplayFile.h"
#include "core/session/HelpPrompts.h"
#include "core/session/SilentPrompts.h"
#include "core/settings/ProgramFolder.h"
#include "core/settings/Settings.h"
#include "graphics/ModuleGraphics.h"
#include "player/CMainFrame.h"
#include "player/CQMXDoc.h"
#include "player/CQMXView.h"
#include "player/CgameControls.h"
#include "player/ReplayDriver.h"
#include "player/ShellPrompts.h"
#include "widgets/PlainText.h"

namespace qmx {

StartOptions parseStartOptions(const QStringList& arguments) {
    StartOptions o;
    o.noDialogs = qEnvironmentVariableIntValue("QMX_NO_DIALOGS") == 1;
    if (!arguments.isEmpty()) o.executableDir = QFileInfo(arguments.first()).absolutePath();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--no-dialogs")) {
            o.noDialogs = true;
        } else if (a == QLatin1String("--screenshot") && i + 1 < arguments.size()) {
            o.screenshotPath = arguments[++i];
        } else if (a == QLatin1String("--zoom") && i + 1 < arguments.size()) {
            bool ok = false;
            const int percent = arguments[++i].toInt(&ok);
            if (ok) o.zoom = static_cast<float>(percent) / 100.0f;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (!a.startsWith(QLatin1String("--"))) {
            // The first plain argument is the module, the second a saved game of it.
            if (o.modulePath.isEmpty()) {
                o.modulePath = a;
            } else if (o.savedGamePath.isEmpty()) {
                o.savedGamePath = a;
            }
        }
    }
    return o;
}

QString usageText() {
    return QStringLiteral(
        "Usage: qmx4 [options] [module.qm4 [game.qms]]\n"
        "       qmx4 [options] game.qms\n"
        "  module.qm4         the module to play (otherwise a file dialog asks)\n"
        "  game.qms           a saved game of that module to continue; named alone (also\n"
        "                     a text save or a mail holding one), it opens in the module\n"
        "                     it was played with\n"
        "  --no-dialogs       open no dialogs (a missing module ends the program)\n"
        "  --screenshot FILE  save a picture of the main window and quit\n"
        "  --zoom PERCENT     start at 200, 150, 100, 75 or 50 percent\n");
}

CQMXApp::CQMXApp(StartOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)) {
    keepTextPlain();
    if (m_options.prompts != nullptr) {
        m_prompts = m_options.prompts;
    } else if (m_options.noDialogs) {
        m_ownPrompts = std::make_unique<SilentPrompts>();
    } else {
        m_ownPrompts = std::make_unique<ShellPrompts>();
    }
    if (m_prompts == nullptr) m_prompts = m_ownPrompts.get();
}

CQMXApp::~CQMXApp() {
    // The frame (which deletes the replay work file) goes before the document.
    m_frame.reset();
    m_doc.reset();
}

CQMXApp::StartResult CQMXApp::start() {
    // 1. The application's title: the caption of boxes that have no title of their own.
    QCoreApplication::setApplicationName(QStringLiteral("Vantor"));

    // 2. The program folder and the name of this run's replay work file.
    const ProgramFolderInputs folders = programFolderInputs(
        toBytes(m_options.executableDir.isEmpty() ? QCoreApplication::applicationDirPath()
                                                  : m_options.executableDir));
    m_installedData = folders.installedData;
    m_programFolder = resolveProgramFolder(folders);
    // Work files left by copies that crashed go; this run's is marked as running.
    removeStaleReplayFiles(m_programFolder);
    m_replayPath = ReplayFile(m_programFolder, m_clock).path();
    m_replayLock = std::make_unique<ReplayFileLock>(m_replayPath);

    // 3. The preferences.
    m_settings = std::make_unique<Settings>(m_programFolder + std::string(ini::kFileName));
    m_settings->load();

    // 4, 5. The module: the one named on the command line, the one a saved game
    // named alone was played with, or the one chosen.
    QString path = m_options.modulePath;
    QString gamePath = m_options.savedGamePath;
    bool moduleMissing = false;
    if (!path.isEmpty() && gamePath.isEmpty() &&
        startFileKind(toBytes(path)) == StartFileKind::SavedGame) {
        gamePath = path;
        path.clear();
        const ModuleChoice choice = moduleForSavedGame(gamePath);
        if (choice.cancelled) {
            m_exitCode = 0;
            return StartResult::Cancelled;
        }
        path = choice.module;
        moduleMissing = path.isEmpty();
    }
    if (path.isEmpty()) {
        // The first tip is about choosing a module, so it comes with the dialog.
        showHelpPrompt(*m_settings, *m_prompts, prompt::kLoadModule);
        const QString folder = fromBytes(m_programFolder) + QLatin1String(kModulesFolder.data());
        const auto chosen = m_prompts->openFileName(
            "Open", toBytes(folder), {{"QMX Modules(*.qm4)", "*.qm4"}, {"All Files", "*.*"}});
        // 6. Cancelled: a file dialog of this toolkit reports no error codes.
        if (chosen) path = fromBytes(*chosen);
        if (path.isEmpty()) {
            m_exitCode = moduleMissing ? 1 : 0;
            return StartResult::Cancelled;
        }
    }

    // 7, 8. Load; a failure ends the program.
    if (!loadModule(path)) {
        m_prompts->showText(" ", kLoadErrorText);
        m_exitCode = 1;
        return StartResult::LoadFailed;
    }
    createMainWindow();
    // 9. A game that ended without being saved may be continued, whatever the
    // command line names: a double click on a mail's attachment must not cost
    // the work of the crashed run. Declined, the autosave stays until the next
    // recorded action replaces it. A saved game given with the module goes
    // through the load command's own steps (players, identification); a
    // failure has shown its messages and the new game goes on.
    PlayerSession& session = m_doc->session();
    const Change continued = session.offerAutosave();
    m_frame->runSession(continued);
    if (!gamePath.isEmpty() && !continued.ran) {
        const std::string file = toBytes(QDir::cleanPath(QFileInfo(gamePath).absoluteFilePath()));
        m_frame->runSession(session.loadGameFile(file));
    }
    if (!m_options.screenshotPath.isEmpty()) {
        QTimer::singleShot(1500, this, &CQMXApp::takeScreenshot);
    }
    return StartResult::Running;
}

CQMXApp::ModuleChoice CQMXApp::moduleForSavedGame(const QString& gamePath) {
    const std::string game = toBytes(QDir::cleanPath(QFileInfo(gamePath).absoluteFilePath()));
    const std::string name = toBytes(QFileInfo(gamePath).fileName());
    const std::optional<SavedGameModule> wanted = savedGameModuleOfFile(game);
    if (!wanted) {
        m_prompts->showText(kModuleNotFoundTitle,
                            "The saved game \"" + name +
                                "\" could not be read, so its module is not known. Choose the "
                                "module in the next dialog.");
        return {};
    }
    const std::vector<std::string> found = findModulesFor(
        *wanted,
        moduleSearchFor(game, m_programFolder, m_installedData, m_settings->recentModules()));
    if (found.empty()) {
        m_prompts->showText(kModuleNotFoundTitle,
                            "The module of the saved game \"" + name +
                                "\" was not found among the modules this program knows. Choose "
                                "it in the next dialog.");
        return {};
    }
    if (found.size() == 1) return {fromBytes(found.front()), false};
    const std::optional<int> chosen = m_prompts->chooseItem(
        "Choose a Module",
        "Several modules match the saved game \"" + name + "\". Choose the one to play it with:",
        found);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= found.size())
        return {{}, true};
    return {fromBytes(found[static_cast<std::size_t>(*chosen)]), false};
}

bool CQMXApp::loadModule(const QString& path) {
    const std::string file = toBytes(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    ModuleLoad load = loadModuleFile(file, ModuleReader::Player);
    for (const Notice& n : load.notices) {
        if (n.number != 0) {
            m_prompts->showMessage(n.number);
        } else {
            m_prompts->showText("WARNING", n.text);
        }
    }
    if (!load.ok) return false;

    // The sheet is decoded before the board shows; the map rows arrive as it paints.
    ModuleGraphics graphics;
    const GraphicsResult g = graphics.loadInBackground(file, load.module.mapTop);
    if (!g.ok()) {
        const Notice n = g.notice(MessageTable::Player);
        if (n.number != 0) {
            m_prompts->showMessage(n.number);
        } else if (!n.text.empty()) {
            m_prompts->showText("WARNING", n.text);
        }
        return false;
    }
    m_settings->noteModuleOpened(file);
    m_doc = std::make_unique<CQMXDoc>(std::move(load.module), std::move(graphics), file,
                                      load.cardOffset, m_programFolder, ReplayFile(m_replayPath),
                                      *m_settings, *m_prompts, m_clock);
    return true;
}

void CQMXApp::createMainWindow() {
    m_frame = std::make_unique<CMainFrame>(*m_doc);
    m_frame->setAboutText(aboutText());

    // The board view, drawn with the preferred facing colour and lines.
    auto* view = new CQMXView(m_doc->module(), m_doc->graphics(), m_doc->game());
    view->setObjectName(QStringLiteral("boardView"));
    const Preferences& prefs = m_settings->preferences();
    const Rgb c = facingColorRgb(prefs.facingColor);
    view->setFacingColour(QColor(c.red, c.green, c.blue));
    view->setFacingLines(prefs.showFacingLines);
    view->setSession(&m_doc->session(), &m_clock);
    connect(view, &CQMXView::pictureFailed, this,
            [this] { m_prompts->showMessage(msg::kNoModuleGraphics); });
    m_frame->setBoardView(view);
    // The game-controls panel beside the board, for as long as the program runs.
    auto* panel = new CgameControls(*m_doc, *m_frame, view);
    m_frame->setPanel(panel);

    // Watching the replay, Reset Recorder and the text reports.
    (new ReplayDriver(m_doc->replay(), *m_settings, *view, *m_frame))->install();

    if (m_options.zoom)
        m_frame->runCommand(QStringLiteral("actionZoom%1").arg(qRound(*m_options.zoom * 100)));
    if (auto* dialogs = dynamic_cast<ShellPrompts*>(m_prompts)) dialogs->setParent(m_frame.get());
    m_frame->show();
    panel->show();
}

QString CQMXApp::aboutText() const {
    const Module& m = m_doc->module();
    return QStringLiteral("Module: %1 (%2 x %3 hexes, %4 units)\nProgram folder: %5")
        .arg(fromBytes(m_doc->moduleTitle()))
        .arg(m.columns)
        .arg(m.rows)
        .arg(m.unitCount)
        .arg(fromBytes(m_programFolder));
}

void CQMXApp::takeScreenshot() {
    if (m_frame) m_frame->grab().save(m_options.screenshotPath);
    QCoreApplication::exit(0);
}

}  // namespace qmx
