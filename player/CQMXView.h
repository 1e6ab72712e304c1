#pragma once
// The board view: a scrolling window over the map that shows, on every hex,
// the top unit the person at this machine may see, with the stack marker,
// the facing indicator and the red hex cursor, at one of five zooms. It paints
// only in paintEvent and asks for repaints of just the areas that changed.
//
// The view reads the module, its image and the game state; it keeps its own
// zoom, scroll origin and display flags. It tells the other windows what
// happened through signals, which the main frame turns into its notifications.

#include <QAbstractScrollArea>
#include <QColor>
#include <QLine>
#include <QSize>
#include <optional>
#include <vector>

#include "core/game/GameState.h"
#include "core/game/HexPicture.h"
#include "core/map/HexGeometry.h"
#include "core/module/Module.h"
#include "core/replay/ReplayEvent.h"
#include "core/session/Change.h"
#include "graphics/BoardPainter.h"
#include "graphics/ModuleGraphics.h"

class QTimer;

namespace qmx {

class Clock;
class PlayerSession;

class CQMXView : public QAbstractScrollArea {
    Q_OBJECT

public:
    CQMXView(const Module& module, const ModuleGraphics& graphics, GameState& state,
             QWidget* parent = nullptr);

    // The commands that mouse and keys run; without a session the board only
    // shows (a test of the painting, a screenshot).
    void setSession(PlayerSession* session, Clock* clock) {
        m_session = session;
        m_clock = clock;
    }
    // Shows what a command changed on the board: hexes, the cursor, the
    // carried stack's picture, a full repaint.
    void apply(const Change& change);
    // Undo in movement mode: one pass per start hex, each scrolled into view
    // if needed and followed by a pause of 400 ms.
    void runUndo();

    const HexGeometry& geometry() const { return m_painter.geometry(); }
    const BoardPainter& painter() const { return m_painter; }

    // --- zoom and scrolling ---------------------------------------------------
    float zoom() const { return m_scene.zoom; }
    // One of the five zoom factors; anything else is refused (false).
    bool setZoom(float zoom);
    PixelPoint scrollOrigin() const { return m_scene.scrollOrigin; }
    // Whole hexes that fit in the window at the current zoom.
    WholeHexes wholeHexes() const { return m_wholeHexes; }
    // The hex under a point of the window.
    Hex hexAt(QPoint windowPoint) const;
    // True when a replayed or undone move on the hex must first be scrolled into view.
    bool isOutsideWindow(Hex hex) const;
    // Scrolls so that the hex stands near the middle, and repaints.
    void centreOn(Hex hex);
    // Scrolls to a position in window pixels (as the scroll bars count them).
    void scrollToPosition(QPoint position);

    // --- what is shown ----------------------------------------------------------
    bool showTerrain() const { return m_scene.showTerrain; }
    void setShowTerrain(bool on);
    void toggleShowTerrain() { setShowTerrain(!m_scene.showTerrain); }

    std::optional<Hex> cursorHex() const { return m_scene.cursor; }
    // Moves the red hex cursor; only the old and new outlines are redrawn.
    void setCursorHex(Hex hex);

    QColor facingColour() const { return m_scene.facingColour; }
    void setFacingColour(const QColor& colour);
    bool facingLines() const { return m_scene.facingLines; }
    void setFacingLines(bool on);

    // While a replayed combat entry is shown only its units are drawn.
    void setCombatHighlight(bool on);
    bool combatHighlight() const { return m_scene.combatHighlight; }
    // During a replay the hex cursor is not drawn.
    void setReplayRunning(bool running);
    bool replayRunning() const { return m_replayRunning; }

    // The straight edge's line, while one is drawn.
    bool straightEdgeActive() const { return m_edgeActive; }
    std::optional<QLine> straightEdgeLine() const {
        if (!m_edgeActive || !m_edgeEnd) return std::nullopt;
        return QLine(m_edgeStart, *m_edgeEnd);
    }

    // The carried stack's picture: its top-left in the window, or hidden.
    void showCarriedPicture(QPoint topLeft);
    void hideCarriedPicture();
    // Where the picture goes for a pointer position.
    static QPoint carriedPicturePosition(QPoint pointer) {
        return pointer + QPoint(kCarriedPictureOffset.x, kCarriedPictureOffset.y);
    }

    // --- watching a replay ---------------------------------------------------------
    // Draws one played entry: a hex outside the window is centred first with
    // a wait of 400 ms; the shown unit's picture goes along the path in steps
    // of `replaySpeed` / 5 pixels, 20 ms each while it is inside the window;
    // the replay cursor marks where the stack started and where it was put
    // down. A hidden move draws nothing. Every wait goes through the clock.
    void showReplayEvent(const ReplayEvent& event, int replaySpeed);
    std::optional<Hex> replayCursor() const { return m_scene.replayCursor; }
    std::optional<QPoint> carriedPictureAt() const { return m_scene.carriedAt; }
    // The unit the carried picture shows.
    int carriedPictureUnit() const {
        return m_scene.carriedUnit != 0 ? m_scene.carriedUnit : m_state.carriedStack;
    }
    // Where the replayed stack's picture stands on a hex, in window pixels.
    QPoint replayPicturePosition(Hex hex) const;

    // --- redrawing after changes of the game --------------------------------------
    // The units of one hex changed: redraw that hex and what overlaps it.
    void redrawHex(Hex hex);
    // Many units changed: repaint everything.
    void repaintBoard();

signals:
    void zoomChanged(float zoom);
    void showTerrainChanged(bool on);
    // The scroll position or the window size changed (the panel's overview follows).
    void viewChanged();
    void hexClicked(int column, int row, Qt::KeyboardModifiers modifiers);
    void hexDoubleClicked(int column, int row);
    void mouseHexChanged(int column, int row);
    // A command of the session ran from the board; the frame shows the rest
    // of what it changed (states, caption, notifications).
    void changed(const qmx::Change& change);
    // The space bar: the next entry of a running replay.
    void spacePressed();
    // Backspace, Home and End: the replay timeline (back, start, end).
    void replayKey(int key);
    // The module picture turned out damaged while its map rows were decoded
    // (those not reached stay blank).
    void pictureFailed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void updateScrollSizes();
    void readScrollOrigin();
    void endPeek();
    void run(const Change& change);
    void placeCarriedPicture();
    void animateReplay(Hex from, Hex to, int replaySpeed);
    void setReplayCursor(std::optional<Hex> hex);
    // A wait of the replay: what is pending is painted, then the clock waits.
    void replayWait(int ms);
    // While the map rows are decoded: repaints the part of the window whose
    // rows arrived since the last look, and asks for the rows in view first.
    void pollPicture();
    void preferRowsInView();

    // The straight edge: from the Ctrl + left press to the first move with
    // the button up.
    bool m_edgeActive = false;
    QPoint m_edgeStart;
    std::optional<QPoint> m_edgeEnd;

    const Module& m_module;
    const ModuleGraphics& m_graphics;
    GameState& m_state;
    BoardPainter m_painter;
    BoardScene m_scene;
    bool m_replayRunning = false;
    WholeHexes m_wholeHexes;
    QSize m_clientSize;
    std::optional<Hex> m_mouseHex;
    bool m_namePinned = false;  // Shift held at the last click: the panel keeps its hex
    QPoint m_pointer;           // the last pointer position in the window
    PlayerSession* m_session = nullptr;
    Clock* m_clock = nullptr;
    QTimer* m_pictureTimer = nullptr;    // runs while the map rows are decoded
    std::vector<RowSpan> m_rowsPainted;  // the rows there at the last look
};

}  // namespace qmx
