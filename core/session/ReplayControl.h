#pragma once
// Watching a replay from the player's windows: "Step Replay", "Continuous
// Replay", "Pause Replay", "Stop Replay" and the space bar, "Reset Recorder"
// and the four "ASCII Output" reports. It owns the playback engine and the
// report options, keeps the command states of a running replay and tells the
// session that the board is locked.
//
// One trigger plays one entry: the board view draws the returned event,
// then showBoxes() shows its messages and the comment display. playsOnAtOnce()
// says whether the next entry follows without a trigger, nextDelayMs() whether
// a timer of continuous mode must be set. The drawing and the timer are the
// windows'; every decision is made here.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/replay/ReplayEvent.h"
#include "core/replay/ReplayPlayback.h"
#include "core/replay/TextReport.h"
#include "core/session/Change.h"
#include "core/session/CommandStates.h"

namespace qmx {

class CardTextSource;
class GameState;
struct Module;
class PlayerSession;
class ReplayFile;
class ReplayRecorder;
class SessionPrompts;
class Settings;

// What one trigger played: the entry's event for the board and the boxes,
// and what changed beside the board (states, the panel, the status text).
struct ReplayStep {
    ReplayEvent event;
    Change change;
    bool played = false;  // the command ran: the replay started, played on or ended
};

class ReplayControl {
public:
    ReplayControl(PlayerSession& session, const Module& module, GameState& game,
                  ReplayRecorder& recorder, ReplayFile& file, SessionPrompts& prompts,
                  Settings& settings, CardTextSource& cards);
    ReplayControl(const ReplayControl&) = delete;
    ReplayControl& operator=(const ReplayControl&) = delete;

    bool active() const { return m_playback.active(); }
    bool continuous() const { return m_continuous; }
    const ReplayPlayback& playback() const { return m_playback; }

    // "Step Replay": step mode; starts the replay, or plays the next entry.
    ReplayStep stepReplay();
    // "Continuous Replay": continuous mode; starts the replay or goes on.
    ReplayStep continuousReplay();
    // "Pause Replay": step mode. A timer already set still plays its entry.
    void pauseReplay();
    // "Stop Replay": only while active; restores the saved state.
    ReplayStep stopReplay();
    // The space bar, and a timer of continuous mode: the next entry, the
    // mode unchanged; nothing unless a replay is active.
    ReplayStep next();

    // The timeline of a running replay, beyond the toolbar's commands: back
    // to where the board stood before the last trigger, to the start, and to
    // the end (after the last entry: the next trigger ends the replay). A jump replays the record
    // silently from its start: no box, no question, no password, nothing written. The event
    // returned puts the board right (a repaint, and the carried stack's picture when the jump ends
    // inside a seen move). Step mode follows. Stepping back goes by triggers, not entries, so a
    // hidden move costs one step back as it cost one step forward.
    ReplayStep stepBack();
    ReplayStep jumpToStart();
    ReplayStep jumpToEnd();
    // To just after entry `entries` (fewer if the record is shorter).
    ReplayStep jumpTo(std::size_t entries);
    // The "Replay" list: one line per entry as the person reads it, made by
    // a silent pass when the replay starts. The steps of a hidden move make
    // one line ("move: hidden"), so the list never tells how far it went.
    struct TimelineLine {
        std::size_t entries = 0;  // jumpTo(entries) shows the board after it
        std::string text;
        bool marked = false;  // a comment, a roll or a combat
    };
    const std::vector<TimelineLine>& timeline() const { return m_timeline; }
    // The line of where the board stands now; -1 before the first.
    int timelineRow() const;
    // How many entries have been played since the start.
    std::size_t played() const { return m_count; }

    // After the board has drawn `event`: its messages in order, then the
    // comment display. The change repaints the board when the combat
    // highlight ends with this box.
    Change showBoxes(const ReplayEvent& event);
    // The next entry follows at once: in step mode after an entry whose box
    // has been seen, and in both modes after a step of a hidden move (the
    // time it took would tell how long the hidden path was).
    bool playsOnAtOnce(const ReplayStep& step) const;
    // Continuous mode: the wait before the next entry ("Replay Delay" x 10 ms).
    std::optional<int> nextDelayMs() const;

    // "Reset Recorder" (refusal, question, the record deleted, start
    // positions committed).
    Change resetRecorder();

    // The four "ASCII Output" commands.
    Change textReport(ReportKind kind);
    ReportOptions& reportOptions() { return m_reportOptions; }

private:
    // The person's prompts, or nothing at all while a jump replays silently.
    class QuietPrompts : public UserPrompts {
    public:
        explicit QuietPrompts(UserPrompts& to) : m_to(to) {}
        bool quiet = false;
        void showMessage(int number) override {
            if (!quiet) m_to.showMessage(number);
        }
        void showText(const std::string& title, const std::string& text) override {
            if (!quiet) m_to.showText(title, text);
        }
        bool askYesNo(const std::string& title, const std::string& question) override {
            return !quiet && m_to.askYesNo(title, question);
        }
        std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                           int maxLength) override {
            if (quiet) return std::nullopt;
            return m_to.askText(title, prompt, maxLength);
        }

    private:
        UserPrompts& m_to;
    };

    ReplayStep begin();
    void readTimeline();
    ReplayStep played(ReplayEvent event);
    // The step with the replay's state for the windows: running, status text.
    ReplayStep withState(ReplayStep s) const;
    void lockCommands();
    void unlockCommands(Change& change);

    PlayerSession& m_session;
    const Module& m_module;
    GameState& m_game;
    ReplayFile& m_file;
    SessionPrompts& m_prompts;
    Settings& m_settings;
    CardTextSource& m_cards;
    QuietPrompts m_playbackPrompts;
    ReplayPlayback m_playback;
    Bytes m_record;                        // the record being played, for the jumps
    std::size_t m_count = 0;               // entries played since the start
    std::vector<std::size_t> m_rests;      // entry counts where a trigger ended
    std::optional<std::size_t> m_endRest;  // the record's entry count
    std::vector<TimelineLine> m_timeline;
    bool m_continuous = false;
    // The command states as they stood when the replay began.
    std::optional<std::array<std::uint8_t, kCommandCount>> m_statesBefore;
    ReportOptions m_reportOptions;
};

}  // namespace qmx
