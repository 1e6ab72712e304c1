#pragma once
// The map area of the main dialog: a window onto the map band of the module
// image, painted straight from the image (never scaled or copied whole).

#include <QWidget>

namespace qmx {

class EditorDocument;

class CMapArea : public QWidget {
    Q_OBJECT

public:
    explicit CMapArea(EditorDocument& document, QWidget* parent = nullptr);
    // The image changed: new size, repaint.
    void imageChanged();
    QSize sizeHint() const override;

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
};

}  // namespace qmx
