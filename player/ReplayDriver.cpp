#include "player/ReplayDriver.h"

#include <QDockWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QTimer>
#include <algorithm>

#include "core/settings/Settings.h"
#include "player/CMainFrame.h"
#include "player/CQMXView.h"
#include "player/ShellPrompts.h"

namespace qmx {

ReplayDriver::ReplayDriver(ReplayControl& control, Settings& settings, CQMXView& view,
                           CMainFrame& frame)
    : QObject(&frame), m_control(control), m_settings(settings), m_view(view), m_frame(frame) {
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &ReplayDriver::timerFired);
}

void ReplayDriver::install() {
    m_frame.setHandler(QStringLiteral("actionStepReplay"), [this] { stepReplay(); });
    m_frame.setHandler(QStringLiteral("actionContinuousReplay"), [this] { continuousReplay(); });
    m_frame.setHandler(QStringLiteral("actionPauseReplay"), [this] { pauseReplay(); });
    m_frame.setHandler(QStringLiteral("actionStopReplay"), [this] { stopReplay(); });
    m_frame.setHandler(QStringLiteral("actionResetRecorder"), [this] {
        m_frame.runSession(m_control.resetRecorder());
        // The erased record's lines go with it.
        if (m_control.timeline().empty()) m_list->clear();
    });
    const std::pair<const char*, ReportKind> reports[] = {
        {"actionAsciiMove", ReportKind::Move},
        {"actionAsciiPositions", ReportKind::Positions},
        {"actionAsciiSorted", ReportKind::SortedPositions},
        {"actionAsciiComments", ReportKind::CommentsOnly},
    };
    for (const auto& [name, kind] : reports) {
        m_frame.setHandler(QString::fromLatin1(name),
                           [this, k = kind] { m_frame.runSession(m_control.textReport(k)); });
    }
    connect(&m_view, &CQMXView::spacePressed, this, &ReplayDriver::space);
    connect(&m_view, &CQMXView::replayKey, this, &ReplayDriver::timelineKey);

    m_dock = new QDockWidget(QStringLiteral("Replay"), &m_frame);
    m_dock->setObjectName(QStringLiteral("replayDock"));
    m_list = new QListWidget(m_dock);
    m_list->setObjectName(QStringLiteral("replayList"));
    m_list->setMinimumWidth(160);
    // A line longer than the list is wide wraps instead of being cut.
    m_list->setWordWrap(true);
    m_list->setTextElideMode(Qt::ElideNone);
    m_dock->setWidget(m_list);
    m_dock->installEventFilter(this);
    m_frame.addDockWidget(Qt::RightDockWidgetArea, m_dock);
    m_dock->hide();
    connect(m_list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { jumpToLine(m_list->row(item)); });
}

void ReplayDriver::stepReplay() {
    if (m_playing) return;
    play(m_control.stepReplay());
}

void ReplayDriver::continuousReplay() {
    if (m_playing) return;
    play(m_control.continuousReplay());
}

void ReplayDriver::pauseReplay() {
    // A timer already set still plays its entry; no further one is set.
    m_control.pauseReplay();
}

void ReplayDriver::stopReplay() {
    if (m_playing) return;
    m_timer->stop();
    play(m_control.stopReplay());
}

void ReplayDriver::space() {
    if (m_playing || !m_control.active()) return;
    play(m_control.next());
}

void ReplayDriver::timelineKey(int key) {
    if (m_playing || !m_control.active()) return;
    m_timer->stop();
    if (key == Qt::Key_Backspace) {
        play(m_control.stepBack());
    } else if (key == Qt::Key_Home) {
        play(m_control.jumpToStart());
    } else if (key == Qt::Key_End) {
        play(m_control.jumpToEnd());
    }
}

void ReplayDriver::jumpToLine(int row) {
    const auto& lines = m_control.timeline();
    if (m_playing || !m_control.active() || row < 0 || row >= static_cast<int>(lines.size()))
        return;
    m_timer->stop();
    play(m_control.jumpTo(lines[static_cast<std::size_t>(row)].entries));
    m_view.setFocus();
}

void ReplayDriver::fillList() {
    m_list->clear();
    for (const ReplayControl::TimelineLine& line : m_control.timeline()) {
        auto* item = new QListWidgetItem(fromBytes(line.text), m_list);
        if (line.marked) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
        }
    }
    // As wide as its longest line (up to a third of the window), or as the
    // person left it.
    int width = m_settings.window().replayListWidth;
    if (width <= 0) {
        width = 160;
        for (int i = 0; i < m_list->count(); ++i)
            width =
                std::max(width, m_list->fontMetrics().horizontalAdvance(m_list->item(i)->text()) +
                                    2 * m_list->frameWidth() + 32);
        width = std::min(width, std::max(160, m_frame.width() / 3));
    }
    m_sizingDock = true;
    m_dock->show();
    m_frame.resizeDocks({m_dock}, {width}, Qt::Horizontal);
    m_sizingDock = false;
}

bool ReplayDriver::eventFilter(QObject* watched, QEvent* event) {
    // A width the person gives the list by dragging its edge is kept.
    if (watched == m_dock && event->type() == QEvent::Resize && !m_sizingDock &&
        m_dock->isVisible() && QGuiApplication::mouseButtons() != Qt::NoButton)
        m_settings.setReplayListWidth(m_dock->width());
    return QObject::eventFilter(watched, event);
}

void ReplayDriver::timerFired() {
    m_timer->stop();
    if (m_playing || !m_control.active()) return;
    play(m_control.next());
}

void ReplayDriver::play(ReplayStep step) {
    if (!step.played) return;
    m_playing = true;
    if (step.event.kind == ReplayEventKind::Started && m_control.active() &&
        m_control.played() == 0 && step.change.states)
        fillList();
    for (;;) {
        m_view.showReplayEvent(step.event, m_settings.preferences().replaySpeed);
        m_frame.runSession(step.change);
        m_frame.runSession(m_control.showBoxes(step.event));
        if (!m_control.playsOnAtOnce(step)) break;
        step = m_control.next();
        if (!step.played) break;
    }
    if (m_control.active()) {
        const int row = m_control.timelineRow();
        m_list->setCurrentRow(row);
        if (row >= 0) m_list->scrollToItem(m_list->item(row));
    } else {
        m_list->clearSelection();
    }
    if (const auto ms = m_control.nextDelayMs()) {
        m_timer->start(*ms);
    } else {
        m_timer->stop();
    }
    m_playing = false;
}

}  // namespace qmx
