#include "player/board/CQMXView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "module/Clock.h"
#include "player/board/ControlNotification.h"
#include "player/session/PlayerSession.h"

namespace qmx {

CQMXView::CQMXView(const Module& module, const ModuleGraphics& graphics, GameState& state,
                   QWidget* parent)
    : QAbstractScrollArea(parent),
      m_module(module),
      m_graphics(graphics),
      m_state(state),
      m_painter(module, graphics, state) {
    viewport()->setMouseTracking(true);
    // Every pixel is painted by the board itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    updateScrollSizes();
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
    if (change.repaint) {
        repaintBoard();
    } else {
        for (const Hex& h : change.hexes) redrawHex(h);
    }
    if (change.cursor) setCursorHex(*change.cursor);
    if (change.carriedPicture || change.repaint) placeCarriedPicture();
}

void CQMXView::placeCarriedPicture() {
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
    if (m_state.holdingUnits()) showCarriedPicture(carriedPicturePosition(m_pointer));
    const Hex hex = hexAt(m_pointer);
    if (m_mouseHex && *m_mouseHex == hex) return;
    m_mouseHex = hex;
    emit mouseHexChanged(hex.column, hex.row);
}

void CQMXView::customEvent(QEvent* event) {
    if (const ControlNotification* n = ControlNotification::from(event)) {
        if (n->code() == ControlCode::RepaintBoard) repaintBoard();
        return;
    }
    QAbstractScrollArea::customEvent(event);
}

}  // namespace qmx
