#include "editor/CImagePicker.h"

#include <QMouseEvent>
#include <QPainter>

#include "core/edit/UnitEditor.h"
#include "editor/EditorDocument.h"

namespace qmx {

CImagePicker::CImagePicker(const EditorDocument& document, const UnitEditor& editor,
                           QWidget* parent)
    : QWidget(parent), m_document(document), m_editor(editor) {
    setObjectName(QStringLiteral("picker"));
    setGeometry(kPickerRect.x, kPickerRect.y, kPickerRect.width, kPickerRect.height);
}

void CImagePicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const Module& module = m_document.module();
    const ModuleGraphics& graphics = m_document.graphics();
    const int shown = m_editor.shownCount();
    for (int i = 0; i < shown; ++i) {
        const PixelPoint corner = pickerCellCorner(i);
        const QPoint at(corner.x - kPickerRect.x, corner.y - kPickerRect.y);
        const int image = m_editor.firstShownImage() + i;
        if (auto source = graphics.unitImageSource(module, image)) {
            p.drawImage(QRect(at, QSize(kUnitImageSize, kUnitImageSize)), graphics.image(),
                        *source);
        }
        if (image == m_editor.pickedImage()) {
            p.setPen(palette().highlight().color());
            p.drawRect(QRect(at - QPoint(1, 1), QSize(kUnitImageSize + 1, kUnitImageSize + 1)));
        }
    }
}

void CImagePicker::mousePressEvent(QMouseEvent* event) {
    const QPoint at = mapToParent(event->position().toPoint());
    const Qt::KeyboardModifiers mods = event->modifiers();
    emit picked(at.x(), at.y(), event->button() == Qt::RightButton,
                mods.testFlag(Qt::ShiftModifier), mods.testFlag(Qt::ControlModifier));
}

}  // namespace qmx
