#pragma once
// The map area of the main dialog: a window onto the map band of the module
// image, painted straight from the image (never scaled or copied whole).

#include <QWidget>
#include <vector>

#include "core/edit/EditorFiles.h"

namespace qmx {

class EditorDocument;

class CMapArea : public QWidget {
    Q_OBJECT

public:
    explicit CMapArea(EditorDocument& document, QWidget* parent = nullptr);
    // The image changed: new size, repaint.
    void imageChanged();
    QSize sizeHint() const override;
    // Every hex's name written on the map, duplicated names in red.
    void setShowHexNames(bool show);
    bool showsHexNames() const { return m_showNames; }

signals:
    // Points in map pixels (the map band of the image, from its top left).
    void clicked(QPoint map);
    void doubleClicked(QPoint map);
    void hovered(QPoint map);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    EditorDocument& m_document;
    bool m_showNames = false;
    std::vector<DuplicateHexName> m_duplicates;  // found again on every change
};

}  // namespace qmx
