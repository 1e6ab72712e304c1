#pragma once
// Runs the replay commands in the windows: the toolbar's Step, Continuous,
// Pause and Stop Replay, the space bar of the board, the one-shot timer of
// continuous mode, and Reset Recorder and the four ASCII Output entries.
// Every decision is ReplayControl's; this class passes each played entry to
// the board view to draw, then lets the control show its boxes, and shows
// the rest of what changed through the main frame.

#include <QObject>

#include "core/session/ReplayControl.h"

class QDockWidget;
class QListWidget;
class QListWidgetItem;
class QTimer;

namespace qmx {

class CMainFrame;
class CQMXView;
class Settings;

class ReplayDriver : public QObject {
    Q_OBJECT

public:
    ReplayDriver(ReplayControl& control, Settings& settings, CQMXView& view, CMainFrame& frame);

    // Gives the frame its handlers for the commands above and listens to the
    // board's space bar.
    void install();

    void stepReplay();
    void continuousReplay();
    void pauseReplay();
    void stopReplay();
    // The space bar: only while a replay is active.
    void space();
    // Backspace, Home, End: back one trigger, to the start, to the end.
    void timelineKey(int key);

    // The timer of continuous mode (tests fire it by hand).
    QTimer* timer() const { return m_timer; }
    void timerFired();

    // The dockable "Replay" list beside the board: a line per entry, the
    // board's place selected; a double click jumps there.
    QListWidget* list() const { return m_list; }
    void jumpToLine(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Draws the step, shows its boxes and plays on while the control says so.
    void play(ReplayStep step);
    void fillList();

    ReplayControl& m_control;
    Settings& m_settings;
    CQMXView& m_view;
    CMainFrame& m_frame;
    QTimer* m_timer = nullptr;
    QDockWidget* m_dock = nullptr;
    QListWidget* m_list = nullptr;
    bool m_playing = false;
    bool m_sizingDock = false;  // the list is being sized by the program, not the person
};

}  // namespace qmx
