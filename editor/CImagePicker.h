#pragma once
// The image picker of "Define Units": 21 unit images in 7 columns of 3,
// painted from the module image. A click is handed on in the dialog's
// coordinates with its button and Shift and Ctrl.

#include <QWidget>

namespace qmx {

class EditorDocument;
class UnitEditor;

class CImagePicker : public QWidget {
    Q_OBJECT

public:
    CImagePicker(const EditorDocument& document, const UnitEditor& editor,
                 QWidget* parent = nullptr);

signals:
    void picked(int dialogX, int dialogY, bool rightButton, bool shift, bool ctrl);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const EditorDocument& m_document;
    const UnitEditor& m_editor;
};

}  // namespace qmx
