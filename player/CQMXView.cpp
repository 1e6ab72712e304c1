#include "player/CQMXView.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "core/module/Clock.h"
#include "core/session/PlayerSession.h"
#include "player/ControlNotification.h"

namespace qmx {

CQMXView::CQMXView(const Module& module, const ModuleGraphics& graphics, GameState& state,
                   QWidget* parent)
    : QAbstractScrollArea(parent),
      m_module(module),
      m_graphics(graphics),
      m_state(state),
      m_painter(module, graphics, state, true) {
    viewport()->setMouseTracking(true);
    // Every pixel is painted by the board itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    updateScrollSizes();
    if (m_graphics.decoding()) {
        // The map rows still arrive: a look every 40 ms repaints what came.
        m_rowsPainted = m_graphics.readyRows();
        m_pictureTimer = new QTimer(this);
        m_pictureTimer->setInterval(40);
        connect(m_pictureTimer, &QTimer::timeout, this, &CQMXView::pollPicture);
        m_pictureTimer->start();
    }
}

void CQMXView::pollPicture() {
    const bool done = !m_graphics.decoding();
    std::vector<RowSpan> rows = m_graphics.readyRows();
    if (done) {
        m_pictureTimer->stop();
        m_rowsPainted = std::move(rows);
        viewport()->update();
        if (m_graphics.decodeFailed()) emit pictureFailed();
        return;
    }
    const std::vector<RowSpan> arrived = rowsAdded(m_rowsPainted, rows);
    m_rowsPainted = std::move(rows);
    // Image rows to window rows, as the map is drawn from the window's corner.
    const double z = m_scene.zoom;
    const int mapTop = m_graphics.mapRect(m_module).top();
    QRect dirty;
    for (const RowSpan& r : arrived) {
        const int top =
            static_cast<int>(std::floor((r.begin - mapTop - m_scene.scrollOrigin.y) * z));
        const int bottom =
            static_cast<int>(std::ceil((r.end - mapTop - m_scene.scrollOrigin.y) * z)) + 1;
        dirty |= QRect(0, top, viewport()->width(), bottom - top) & viewport()->rect();
    }
    if (!dirty.isEmpty()) viewport()->update(dirty);
}

void CQMXView::preferRowsInView() {
    if (!m_graphics.decoding()) return;
    const int top = m_graphics.mapRect(m_module).top() + m_scene.scrollOrigin.y;
    m_graphics.preferRows(
        {top, top + static_cast<int>(std::ceil(viewport()->height() / m_scene.zoom)) + 1});
}

// ---- zoom and scrolling --------------------------------------------------------

bool CQMXView::setZoom(float zoom) {
    if (std::find(kZoomFactors.begin(), kZoomFactors.end(), zoom) == kZoomFactors.end())
        return false;
    m_scene.zoom = zoom;
    updateScrollSizes();
    m_wholeHexes = geometry().wholeHexes(viewport()->width(), viewport()->height(), zoom);
    viewport()->update();
    emit zoomChanged(zoom);
    return true;
}

void CQMXView::updateScrollSizes() {
    const float z = m_scene.zoom;
    const PixelPoint extent = geometry().scrollExtent(z);
    const PixelPoint page = HexGeometry::scrollPage(z);
    const PixelPoint line = HexGeometry::scrollLine(z);
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, extent.x - client.width()));
    verticalScrollBar()->setRange(0, std::max(0, extent.y - client.height()));
    horizontalScrollBar()->setPageStep(page.x);
    verticalScrollBar()->setPageStep(page.y);
    horizontalScrollBar()->setSingleStep(line.x);
    verticalScrollBar()->setSingleStep(line.y);
    readScrollOrigin();
}

void CQMXView::readScrollOrigin() {
    // The map point at the window's corner: the scroll position unzoomed, truncated.
    const double z = m_scene.zoom;
    m_scene.scrollOrigin = {static_cast<int>(std::trunc(horizontalScrollBar()->value() / z)),
                            static_cast<int>(std::trunc(verticalScrollBar()->value() / z))};
    preferRowsInView();
}

Hex CQMXView::hexAt(QPoint windowPoint) const {
    return geometry().hexAt({windowPoint.x(), windowPoint.y()}, m_scene.zoom, m_scene.scrollOrigin);
}

bool CQMXView::isOutsideWindow(Hex hex) const {
    return geometry().outsideWindow(hex, m_scene.zoom, m_scene.scrollOrigin, viewport()->width(),
                                    viewport()->height());
}

void CQMXView::centreOn(Hex hex) {
    const PixelPoint p = geometry().centredScrollPosition(hex, m_scene.zoom, m_wholeHexes);
    scrollToPosition(QPoint(p.x, p.y));
}

void CQMXView::scrollToPosition(QPoint position) {
    horizontalScrollBar()->setValue(position.x());
    verticalScrollBar()->setValue(position.y());
    readScrollOrigin();
    viewport()->update();
}

void CQMXView::scrollContentsBy(int, int) {
    readScrollOrigin();
    viewport()->update();
    emit viewChanged();
}

void CQMXView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollSizes();
    const QSize client = viewport()->size();
    if (client != m_clientSize) {
        m_clientSize = client;
        m_wholeHexes = geometry().wholeHexes(client.width(), client.height(), m_scene.zoom);
        emit viewChanged();
    }
}

// ---- what is shown ----------------------------------------------------------------

void CQMXView::setShowTerrain(bool on) {
    m_scene.showTerrain = on;
    viewport()->update();
    emit showTerrainChanged(on);
}

void CQMXView::setCursorHex(Hex hex) {
    if (!geometry().onMap(hex)) return;
    const float z = m_scene.zoom;
    if (m_scene.cursor)
        viewport()->update(m_painter.cursorArea(*m_scene.cursor, z, m_scene.scrollOrigin));
    m_scene.cursor = hex;
    viewport()->update(m_painter.cursorArea(hex, z, m_scene.scrollOrigin));
}

void CQMXView::setFacingColour(const QColor& colour) {
    m_scene.facingColour = colour;
    viewport()->update();
}

void CQMXView::setFacingLines(bool on) {
    m_scene.facingLines = on;
    viewport()->update();
}

void CQMXView::setCombatHighlight(bool on) {
    m_scene.combatHighlight = on;
    viewport()->update();
}

void CQMXView::setReplayRunning(bool running) {
    m_replayRunning = running;
    if (m_scene.cursor)
        viewport()->update(
            m_painter.cursorArea(*m_scene.cursor, m_scene.zoom, m_scene.scrollOrigin));
}

void CQMXView::showCarriedPicture(QPoint topLeft) {
    hideCarriedPicture();
    m_scene.carriedAt = topLeft;
    viewport()->update(m_painter.carriedArea(topLeft, m_scene.zoom));
}

void CQMXView::hideCarriedPicture() {
    if (!m_scene.carriedAt) return;
    viewport()->update(m_painter.carriedArea(*m_scene.carriedAt, m_scene.zoom));
    m_scene.carriedAt.reset();
}

void CQMXView::redrawHex(Hex hex) {
    if (!geometry().onMap(hex)) return;
    viewport()->update(m_painter.hexArea(hex, m_scene.zoom, m_scene.scrollOrigin));
}

void CQMXView::repaintBoard() {
    viewport()->update();
}

// ---- events --------------------------------------------------------------------------

void CQMXView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    BoardScene scene = m_scene;
    if (m_replayRunning) scene.cursor.reset();
    for (const QRect& area : event->region()) m_painter.paint(painter, area, scene);
    if (const auto line = straightEdgeLine()) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(*line);
    }
}

void CQMXView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods =
        event->modifiers() & ~Qt::KeypadModifier & ~Qt::ShiftModifier;
    if (mods != Qt::NoModifier) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    if (key == Qt::Key_Space) {
        emit spacePressed();
        event->accept();
        return;
    }
    if (key == Qt::Key_Backspace || key == Qt::Key_Home || key == Qt::Key_End) {
        emit replayKey(key);
        event->accept();
        return;
    }
    if (key == Qt::Key_T) {
        toggleShowTerrain();
        event->accept();
        return;
    }
    if (m_session != nullptr) {
        std::optional<Change> c;
        if (key >= Qt::Key_1 && key <= Qt::Key_6) {
            c = m_session->stepKey(key - Qt::Key_0);
        } else if (key == Qt::Key_F) {
            c = m_session->faceUpKey();
        } else if (key == Qt::Key_B) {
            c = m_session->faceDownKey();
        } else if (key == Qt::Key_Comma) {
            c = m_session->unitCommand(UnitCommand::RotateLeft);
        } else if (key == Qt::Key_Period) {
            c = m_session->unitCommand(UnitCommand::RotateRight);
        } else if (key == Qt::Key_H) {
            // The panel lists the carried units.
            c = Change{};
            c->post(Receiver::Panel, ControlCode::ListCarried);
        }
        if (c) {
            run(*c);
            event->accept();
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CQMXView::run(const Change& change) {
    apply(change);
    emit changed(change);
}

void CQMXView::apply(const Change& change) {
    if (change.replayRunning) setReplayRunning(*change.replayRunning);
    if (change.combatHighlight) setCombatHighlight(*change.combatHighlight);
    if (change.repaint) {
        repaintBoard();
    } else {
        for (const Hex& h : change.hexes) redrawHex(h);
    }
    if (change.cursor) setCursorHex(*change.cursor);
    if (change.carriedPicture || change.repaint) placeCarriedPicture();
}

void CQMXView::placeCarriedPicture() {
    if (m_replayRunning) return;  // the replay places its picture itself
    if (m_state.holdingUnits()) {
        showCarriedPicture(carriedPicturePosition(m_pointer));
    } else {
        hideCarriedPicture();
    }
}

void CQMXView::runUndo() {
    if (m_session == nullptr) return;
    while (m_session->undoPending()) {
        const Hex target = m_session->undoTarget();
        if (isOutsideWindow(target)) centreOn(target);
        const Change c = m_session->undoPass();
        if (!c.ran) break;
        run(c);
        // The units stand on their start hex for a moment before the next pass.
        viewport()->repaint();
        if (m_clock != nullptr) m_clock->sleepMs(400);
    }
}

// ---- watching a replay ---------------------------------------------------------------

QPoint CQMXView::replayPicturePosition(Hex hex) const {
    // The unit picture's place on the hex, zoomed, kept inside the scrollable
    // area, then seen from the scroll position.
    const PixelPoint origin = geometry().unitImageOrigin(hex);
    const PixelPoint extent = geometry().scrollExtent(m_scene.zoom);
    const int x = std::clamp(zoomed(origin.x, m_scene.zoom), 0, std::max(0, extent.x));
    const int y = std::clamp(zoomed(origin.y, m_scene.zoom), 0, std::max(0, extent.y));
    return {x - horizontalScrollBar()->value(), y - verticalScrollBar()->value()};
}

void CQMXView::replayWait(int ms) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (m_clock != nullptr) m_clock->sleepMs(ms);
}

void CQMXView::setReplayCursor(std::optional<Hex> hex) {
    const float z = m_scene.zoom;
    if (m_scene.replayCursor)
        viewport()->update(m_painter.cursorArea(*m_scene.replayCursor, z, m_scene.scrollOrigin));
    m_scene.replayCursor = hex;
    if (hex) viewport()->update(m_painter.cursorArea(*hex, z, m_scene.scrollOrigin));
}

void CQMXView::animateReplay(Hex from, Hex to, int replaySpeed) {
    const QPoint start = replayPicturePosition(from);
    const QPoint end = replayPicturePosition(to);
    const QPoint delta = end - start;
    const double distance = std::hypot(double(delta.x()), double(delta.y()));
    const double stepLength = std::max(1, replaySpeed) / 5.0;
    const int n = delta.isNull() ? 1 : static_cast<int>(distance / stepLength);
    for (int i = 1; i <= n; ++i) {
        const QPoint at(start.x() + delta.x() * i / n, start.y() + delta.y() * i / n);
        showCarriedPicture(at);
        // The cursor may lie under the picture's old place.
        if (m_scene.replayCursor)
            viewport()->update(
                m_painter.cursorArea(*m_scene.replayCursor, m_scene.zoom, m_scene.scrollOrigin));
        if (viewport()->rect().contains(at)) replayWait(20);
    }
    showCarriedPicture(end);
}

void CQMXView::showReplayEvent(const ReplayEvent& e, int replaySpeed) {
    const bool onMap = geometry().onMap(e.to);
    switch (e.kind) {
        case ReplayEventKind::Started:
            hideCarriedPicture();
            m_scene.carriedUnit = 0;
            setReplayCursor(std::nullopt);
            repaintBoard();
            break;
        case ReplayEventKind::MoveStart:
            if (!e.shown || !geometry().onMap(e.from)) break;
            if (isOutsideWindow(e.from)) {
                centreOn(e.from);
                replayWait(400);
            }
            redrawHex(e.from);  // the carried units have left it
            setReplayCursor(e.from);
            m_scene.carriedUnit = e.shownUnit;
            showCarriedPicture(replayPicturePosition(e.from));
            break;
        case ReplayEventKind::PathStep:
            if (!e.shown || !onMap) break;
            if (isOutsideWindow(e.to)) {
                centreOn(e.to);
                replayWait(400);
            }
            hideCarriedPicture();
            if (geometry().onMap(e.from)) {
                redrawHex(e.from);
                animateReplay(e.from, e.to, replaySpeed);
            } else {
                showCarriedPicture(replayPicturePosition(e.to));
            }
            break;
        case ReplayEventKind::UnitCommand:
            if (e.shown && onMap) {
                m_scene.carriedUnit = e.shownUnit;
                showCarriedPicture(replayPicturePosition(e.to));
            } else {
                // hidden on the way: from here on nothing of the move is seen
                hideCarriedPicture();
                m_scene.carriedUnit = 0;
                setReplayCursor(std::nullopt);
            }
            break;
        case ReplayEventKind::Drop:
            hideCarriedPicture();
            m_scene.carriedUnit = 0;
            if (onMap) redrawHex(e.to);
            if (e.shown && onMap) setReplayCursor(e.to);
            break;
        case ReplayEventKind::Combat:
            setCombatHighlight(true);
            if (onMap) {
                centreOn(e.to);
                replayWait(400);
            }
            break;
        case ReplayEventKind::FlipAll:
            repaintBoard();
            break;
        case ReplayEventKind::End:
            hideCarriedPicture();
            m_scene.carriedUnit = 0;
            setReplayCursor(std::nullopt);
            setCombatHighlight(false);
            repaintBoard();
            break;
        default:
            break;
    }
}

void CQMXView::mousePressEvent(QMouseEvent* event) {
    const Hex hex = hexAt(event->position().toPoint());
    m_pointer = event->position().toPoint();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        // The straight edge: the press does nothing else.
        if (m_session == nullptr || m_session->mayStartStraightEdge()) {
            m_edgeActive = true;
            m_edgeStart = m_pointer;
            m_edgeEnd.reset();
        }
        return;
    }
    if (event->button() == Qt::LeftButton) {
        // A Shift-click pins the name the panel shows until the next click.
        m_namePinned = event->modifiers() & Qt::ShiftModifier;
        if (m_namePinned) emit mouseHexChanged(hex.column, hex.row);
        if (m_session != nullptr) {
            run(m_session->click(hex));
        } else {
            setCursorHex(hex);
        }
        emit hexClicked(hex.column, hex.row, event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        // Peek at the terrain: the bare map cell covers the hex's units
        // until the button is released.
        endPeek();
        m_scene.peek = hex;
        viewport()->update(m_painter.hexArea(hex, m_scene.zoom, m_scene.scrollOrigin));
    }
}

void CQMXView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) endPeek();
}

void CQMXView::endPeek() {
    if (!m_scene.peek) return;
    viewport()->update(m_painter.hexArea(*m_scene.peek, m_scene.zoom, m_scene.scrollOrigin));
    m_scene.peek.reset();
}

void CQMXView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pointer = event->position().toPoint();
    const Hex hex = hexAt(m_pointer);
    if (m_session != nullptr) run(m_session->doubleClick(hex));
    emit hexDoubleClicked(hex.column, hex.row);
}

void CQMXView::mouseMoveEvent(QMouseEvent* event) {
    m_pointer = event->position().toPoint();
    if (m_edgeActive) {
        if (!(event->buttons() & Qt::LeftButton)) {
            m_edgeActive = false;
            m_edgeEnd.reset();
            viewport()->update();
        } else if (m_pointer.x() > 0 && m_pointer.y() > 0) {
            m_edgeEnd = m_pointer;
            viewport()->update();
        }
    }
    // The carried stack's picture follows the pointer: only its old and new
    // areas are repainted.
    if (m_state.holdingUnits() && !m_replayRunning)
        showCarriedPicture(carriedPicturePosition(m_pointer));
    const Hex hex = hexAt(m_pointer);
    if (m_mouseHex && *m_mouseHex == hex) return;
    m_mouseHex = hex;
    if (!m_namePinned) emit mouseHexChanged(hex.column, hex.row);
}

void CQMXView::customEvent(QEvent* event) {
    if (const ControlNotification* n = ControlNotification::from(event)) {
        if (n->code() == ControlCode::RepaintBoard) repaintBoard();
        return;
    }
    QAbstractScrollArea::customEvent(event);
}

}  // namespace qmx
