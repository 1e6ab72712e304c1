#pragma once
// "Unit Editor": the unit image painter. The dialog paints the painter's
// surface, hands mouse and buttons to UnitImagePainter and shows its
// cursor; every change goes into the module image through SheetImageStore.

#include <QDialog>
#include <QImage>

#include "core/edit/UnitImagePainter.h"
#include "editor/SheetImageStore.h"

class QLineEdit;
class QPushButton;
class QToolButton;

namespace qmx {

class EditorDocument;

class CUnitEditorDlg : public QDialog {
    Q_OBJECT

public:
    // Opens on image `current` (the first shown image when 0).
    explicit CUnitEditorDlg(EditorDocument& document, int current = 0, QWidget* parent = nullptr);

    UnitImagePainter& painter() { return m_painter; }
    QPushButton* button(const QString& text) const;
    QToolButton* stripBack() const { return m_back; }
    QToolButton* stripForward() const { return m_forward; }
    QLineEdit* numberField() const { return m_number; }
    // The cursor the painter asks for at the moment.
    Qt::CursorShape cursorShape() const;

    // The foreground and background colours, kept for the next opening.
    static PainterColours& colours();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void build();
    void changed();

    EditorDocument& m_document;
    SheetImageStore m_store;
    UnitImagePainter m_painter;
    QImage m_shown;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QLineEdit* m_number = nullptr;
};

}  // namespace qmx
