#include "editor/CMapArea.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "editor/EditorDocument.h"
#include "graphics/MapImage.h"

namespace qmx {

CMapArea::CMapArea(EditorDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document) {
    setObjectName(QStringLiteral("mapArea"));
    setMouseTracking(true);
    imageChanged();
}

QSize CMapArea::sizeHint() const {
    return m_document.graphics().mapRect(m_document.module()).size();
}

void CMapArea::imageChanged() {
    resize(sizeHint());
    if (m_showNames) m_duplicates = duplicateHexNames(m_document.module());
    update();
}

void CMapArea::setShowHexNames(bool show) {
    m_showNames = show;
    imageChanged();
}

void CMapArea::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect map = m_document.graphics().mapRect(m_document.module());
    const QRect target = event->rect();
    p.fillRect(target, palette().window());
    if (map.isEmpty()) return;
    const QRect source = target.translated(map.topLeft()).intersected(map);
    p.drawImage(source.topLeft() - map.topLeft(), m_document.graphics().image(), source);
    if (m_showNames) drawHexNames(p, m_document.module(), {0, 0}, target, m_duplicates);
}

void CMapArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked(event->position().toPoint());
}

void CMapArea::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked(event->position().toPoint());
}

void CMapArea::mouseMoveEvent(QMouseEvent* event) {
    emit hovered(event->position().toPoint());
}

}  // namespace qmx
