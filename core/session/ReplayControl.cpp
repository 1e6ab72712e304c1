#include "core/session/ReplayControl.h"

#include <algorithm>

#include "core/game/GameState.h"
#include "core/module/MessageTable.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayLines.h"
#include "core/replay/ResetRecorder.h"
#include "core/session/PlayerSession.h"
#include "core/session/SessionPrompts.h"
#include "core/settings/Settings.h"

namespace qmx {

namespace {

const std::vector<FileFilter>& reportFilters() {
    static const std::vector<FileFilter> f{{"Text file(*.txt)", "*.txt"}};
    return f;
}

bool readsRecord(ReportKind kind) {
    return kind == ReportKind::Move || kind == ReportKind::CommentsOnly;
}

}  // namespace

ReplayControl::ReplayControl(PlayerSession& session, const Module& module, GameState& game,
                             ReplayRecorder& recorder, ReplayFile& file, SessionPrompts& prompts,
                             Settings& settings, CardTextSource& cards)
    : m_session(session),
      m_module(module),
      m_game(game),
      m_file(file),
      m_prompts(prompts),
      m_settings(settings),
      m_cards(cards),
      m_playbackPrompts(prompts),
      m_playback(game, module, m_playbackPrompts, cards, &recorder) {}

// ---- the four replay commands ------------------------------------------------------

ReplayStep ReplayControl::stepReplay() {
    if (!m_session.states().enabled(Command::StepReplay)) return {};
    m_continuous = false;
    return active() ? next() : begin();
}

ReplayStep ReplayControl::continuousReplay() {
    if (!m_session.states().enabled(Command::ContinuousReplay)) return {};
    m_continuous = true;
    return active() ? next() : begin();
}

void ReplayControl::pauseReplay() {
    if (m_session.states().enabled(Command::PauseReplay)) m_continuous = false;
}

ReplayStep ReplayControl::stopReplay() {
    if (!active() || !m_session.states().enabled(Command::StopReplay)) return {};
    return played(m_playback.stop());
}

ReplayStep ReplayControl::next() {
    if (!active()) return {};
    ++m_count;
    ReplayStep s = played(m_playback.step());
    if (active() && !playsOnAtOnce(s)) m_rests.push_back(m_count);
    return s;
}

ReplayStep ReplayControl::begin() {
    ReplayStep s;
    std::optional<Bytes> record = m_file.read();
    if (record) m_record = *record;
    s.event = m_playback.start(std::move(record));
    s.played = true;
    m_count = 0;
    m_rests.clear();
    m_endRest.reset();
    if (s.event.kind != ReplayEventKind::Started) {
        m_continuous = false;  // nothing runs: the box says why
        return withState(std::move(s));
    }
    readTimeline();
    lockCommands();
    m_session.setReplayRunning(true);
    s.change.ran = true;
    s.change.states = true;
    s.change.repaint = true;
    s.change.post(Receiver::Panel, ControlCode::RepaintOverview);
    return withState(std::move(s));
}

ReplayStep ReplayControl::withState(ReplayStep s) const {
    s.change.replayRunning = active();
    if (s.event.status) s.change.status = s.event.status;
    return s;
}

ReplayStep ReplayControl::played(ReplayEvent event) {
    ReplayStep s;
    s.played = true;
    s.change.ran = true;
    switch (event.kind) {
        case ReplayEventKind::MoveStart:
        case ReplayEventKind::UnitCommand:
            s.change.post(Receiver::Panel, ControlCode::ListCarried);
            break;
        case ReplayEventKind::FlipAll:
            s.change.repaint = true;
            break;
        case ReplayEventKind::End:
            unlockCommands(s.change);
            m_session.setReplayRunning(false);
            m_continuous = false;
            s.change.repaint = true;
            s.change.post(Receiver::Panel, ControlCode::RepaintOverview);
            s.change.post(Receiver::Panel, ControlCode::ListSelectedHex);
            break;
        default:
            break;
    }
    s.event = std::move(event);
    return withState(std::move(s));
}

// ---- the timeline ------------------------------------------------------------------

void ReplayControl::readTimeline() {
    m_timeline.clear();
    m_playbackPrompts.quiet = true;
    std::size_t count = 0;
    for (;;) {
        const ReplayEvent e = m_playback.step();
        if (e.kind == ReplayEventKind::End) break;
        ++count;
        const bool hiddenPart = e.continueAtOnce && !e.shown && e.messages.empty();
        if (hiddenPart) continue;
        TimelineLine line;
        line.entries = count;
        const bool hiddenDrop = e.kind == ReplayEventKind::Drop && !e.shown;
        line.text = hiddenDrop ? "move: hidden" : replayEventLine(e, m_module, m_game);
        if (e.display && e.kind != ReplayEventKind::Card) {
            // the comment's first line
            std::string first = e.display->substr(0, e.display->find_first_of("\r\n"));
            if (first.size() > 60) first = first.substr(0, 60) + "...";
            line.text += " " + first;
        }
        line.marked = e.kind == ReplayEventKind::Comment ||
                      e.kind == ReplayEventKind::EncryptedComment ||
                      e.kind == ReplayEventKind::Combat || e.kind == ReplayEventKind::Result;
        m_timeline.push_back(std::move(line));
    }
    m_endRest = count;
    m_playback.start(m_record);
    m_playbackPrompts.quiet = false;
}

int ReplayControl::timelineRow() const {
    // The lines are in the order of their entries.
    const auto after = std::upper_bound(
        m_timeline.begin(), m_timeline.end(), m_count,
        [](std::size_t count, const TimelineLine& line) { return count < line.entries; });
    return static_cast<int>(after - m_timeline.begin()) - 1;
}

ReplayStep ReplayControl::stepBack() {
    if (!active()) return {};
    if (!m_rests.empty() && m_rests.back() == m_count) m_rests.pop_back();
    return jumpTo(m_rests.empty() ? 0 : m_rests.back());
}

ReplayStep ReplayControl::jumpToStart() {
    if (!active()) return {};
    return jumpTo(0);
}

ReplayStep ReplayControl::jumpToEnd() {
    // After the last entry: the next trigger only says the replay has ended.
    if (!active() || !m_endRest) return {};
    return jumpTo(*m_endRest);
}

ReplayStep ReplayControl::jumpTo(std::size_t entries) {
    if (!active()) return {};
    m_continuous = false;
    m_playbackPrompts.quiet = true;
    m_playback.stop();
    m_playback.start(m_record);
    m_count = 0;
    m_rests.clear();
    while (m_count < entries && m_playback.active()) {
        const ReplayEvent e = m_playback.step();
        if (e.kind == ReplayEventKind::End) break;
        ++m_count;
        if (!e.continueAtOnce) m_rests.push_back(m_count);
    }
    m_playbackPrompts.quiet = false;
    ReplayStep s;
    s.played = true;
    s.change.ran = true;
    s.change.repaint = true;
    if (!m_playback.active()) {
        // Only a record that changed under the replay ends here.
        s.event = m_playback.stop();
        unlockCommands(s.change);
        m_session.setReplayRunning(false);
        return withState(std::move(s));
    }
    if (m_playback.shownUnit() != 0) {
        s.event.kind = ReplayEventKind::MoveStart;
        s.event.shown = true;
        s.event.shownUnit = m_playback.shownUnit();
        s.event.from = m_playback.position();
        s.change.post(Receiver::Panel, ControlCode::ListCarried);
    } else {
        s.event.kind = ReplayEventKind::Started;
    }
    s.change.post(Receiver::Panel, ControlCode::RepaintOverview);
    return withState(std::move(s));
}

// While a replay runs only the replay commands stay: nothing may change the
// game, whose units stand where the replay put them.
void ReplayControl::lockCommands() {
    CommandStates& states = m_session.states();
    m_statesBefore = states.bytes();
    for (int i = 0; i < kCommandCount; ++i) {
        const auto c = static_cast<Command>(i);
        const bool replay = c == Command::StepReplay || c == Command::ContinuousReplay ||
                            c == Command::PauseReplay || c == Command::StopReplay;
        if (replay) {
            states.setState(c, state::kEnabled);
        } else if (states.state(c) != state::kHidden) {
            states.setState(c, state::kDisabled);
        }
    }
}

void ReplayControl::unlockCommands(Change& change) {
    if (!m_statesBefore) return;
    CommandStates& states = m_session.states();
    for (int i = 0; i < kCommandCount; ++i)
        states.setState(static_cast<Command>(i), (*m_statesBefore)[static_cast<std::size_t>(i)]);
    m_statesBefore.reset();
    change.states = true;
    change.status = std::string();  // the replay's status text goes with it
}

// ---- what follows an entry -----------------------------------------------------------

Change ReplayControl::showBoxes(const ReplayEvent& event) {
    for (const ReplayMessage& m : event.messages) {
        if (m.number != 0) {
            m_prompts.showMessage(m.number);
        } else {
            m_prompts.showText(m.title, m.text);
        }
    }
    if (event.display)
        m_prompts.showReadback(*event.display, m_settings.preferences().largeFontComments);
    Change c;
    if (event.highlightEnds) c.repaint = true;
    c.combatHighlight = m_playback.combatHighlight();
    return c;
}

bool ReplayControl::playsOnAtOnce(const ReplayStep& step) const {
    if (!active() || !step.event.continueAtOnce) return false;
    if (!m_continuous) return true;
    // Continuous mode waits after every entry it has shown something for.
    return step.event.messages.empty() && !step.event.display;
}

std::optional<int> ReplayControl::nextDelayMs() const {
    if (!active() || !m_continuous) return std::nullopt;
    return m_settings.preferences().replayDelay * 10;
}

// ---- Reset Recorder ----------------------------------------------------------------

Change ReplayControl::resetRecorder() {
    Change c;
    if (!m_session.states().enabled(Command::ResetRecorder)) return c;
    c.ran = true;
    if (qmx::resetRecorder(m_game, m_file, m_prompts, active()) == ResetOutcome::Reset) {
        m_timeline.clear();
        c.post(Receiver::Panel, ControlCode::ListShownAgain);
    }
    return c;
}

// ---- ASCII Output ------------------------------------------------------------------

Change ReplayControl::textReport(ReportKind kind) {
    Change c;
    // The units of a running replay stand where the replay put them: no
    // report is made of them.
    if (active()) {
        m_prompts.showMessage(msg::kNotInCombatOrCarrying);
        return c;
    }
    if (!beginTextReport(kind, m_game, m_reportOptions, m_prompts)) return c;
    c.ran = true;
    m_prompts.editReportOptions(m_reportOptions);
    const auto chosen =
        m_prompts.saveFileName("Save As", m_session.savedGameFolder(), "", reportFilters());
    if (!chosen) return c;
    std::optional<Bytes> record;
    if (readsRecord(kind)) record = m_file.read();
    finishTextReport(kind, *chosen, record, m_module, m_game, m_reportOptions, m_cards, m_prompts);
    return c;
}

}  // namespace qmx
