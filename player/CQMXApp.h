#pragma once
// The player's start-up: application title, program folder, replay work file,
// settings, the first help prompt, the module (chosen in a dialog or given on
// the command line), its image, and the main window. A failed load ends the
// program with "Load Error. Application Terminated"; cancelling the module
// dialog ends it quietly. A saved game given after the module is loaded
// once the main window stands; a failed load leaves the new game. A saved
// game named alone is played with the module it names by identity: found
// among the modules opened lately and in the "modules/" folders, chosen by
// the person when several match, and asked for when none does.

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "core/module/Clock.h"
#include "core/replay/ReplayFile.h"

namespace qmx {

class CMainFrame;
class CQMXDoc;
class SessionPrompts;
class Settings;

struct StartOptions {
    QString modulePath;         // a module given on the command line; empty: ask
    QString savedGamePath;      // a saved game to load after the module; empty: a new game
    bool noDialogs = false;     // no dialogs at all (scripts, screenshots)
    QString screenshotPath;     // save a picture of the main window there and quit
    std::optional<float> zoom;  // start at this zoom
    QString executableDir;      // folder of the program file
    bool help = false;          // --help: print the usage and quit
    // The person's answers come from here instead of dialogs (tests); not owned.
    SessionPrompts* prompts = nullptr;
};

// "qmx4 [--no-dialogs] [--screenshot FILE] [--zoom PERCENT] [MODULE.qm4 [SAVE.qms]]"
// or "qmx4 [options] SAVE.qms" (a text save or a mail holding one too).
// QMX_NO_DIALOGS=1 in the environment has the effect of --no-dialogs.
StartOptions parseStartOptions(const QStringList& arguments);
QString usageText();

inline constexpr const char* kLoadErrorText = "Load Error. Application Terminated";
inline constexpr const char* kModuleNotFoundTitle = "Module Not Found";

class CQMXApp : public QObject {
    Q_OBJECT

public:
    enum class StartResult { Running, Cancelled, LoadFailed };

    explicit CQMXApp(StartOptions options, QObject* parent = nullptr);
    ~CQMXApp() override;

    // Runs the start-up. Running: the main window is shown and the event loop
    // takes over; otherwise the program ends (exitCode()).
    StartResult start();
    int exitCode() const { return m_exitCode; }

    const std::string& programFolder() const { return m_programFolder; }
    Settings& settings() { return *m_settings; }
    SessionPrompts& prompts() { return *m_prompts; }
    CQMXDoc* document() { return m_doc.get(); }
    CMainFrame* frame() { return m_frame.get(); }

private:
    // The module of a saved game named alone on the command line.
    struct ModuleChoice {
        QString module;          // empty: none known (said so); the module dialog follows
        bool cancelled = false;  // the person cancelled the choice among several
    };
    ModuleChoice moduleForSavedGame(const QString& gamePath);
    bool loadModule(const QString& path);
    void createMainWindow();
    void takeScreenshot();
    QString aboutText() const;

    StartOptions m_options;
    int m_exitCode = 0;
    std::string m_programFolder;
    std::string m_installedData;  // the installed modules and saved games, if installed
    std::string m_replayPath;
    std::unique_ptr<ReplayFileLock> m_replayLock;
    SystemClock m_clock;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<SessionPrompts> m_ownPrompts;
    SessionPrompts* m_prompts = nullptr;
    std::unique_ptr<CQMXDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace qmx
