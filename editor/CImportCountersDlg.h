#pragma once
// "Import Counter Pictures": counter pictures made in a paint program, from a
// folder (one picture a counter) or from one sheet cut into cells, put into
// the unit image sheet from a chosen image number on. The whole import is one
// step of the edit history; a box says afterwards what was placed.

#include <QDialog>

#include "graphics/CounterImport.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace qmx {

class EditorDocument;

class CImportCountersDlg : public QDialog {
    Q_OBJECT

public:
    explicit CImportCountersDlg(EditorDocument& document, QWidget* parent = nullptr);

    QRadioButton* folderChoice() const { return m_folder; }
    QRadioButton* sheetChoice() const { return m_sheet; }
    QLineEdit* pathEdit() const { return m_path; }
    QSpinBox* cellWidth() const { return m_cellWidth; }
    QSpinBox* cellHeight() const { return m_cellHeight; }
    QSpinBox* firstImage() const { return m_first; }
    QLabel* preview() const { return m_preview; }

    // Imports and closes; a source that cannot be used is said in a box and
    // the dialog stays open.
    void accept() override;
    // Reads the source again and shows what an import would place.
    void updatePreview();

private:
    void browse();
    CounterImport source() const;

    EditorDocument& m_document;
    QRadioButton* m_folder = nullptr;
    QRadioButton* m_sheet = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QSpinBox* m_cellWidth = nullptr;
    QSpinBox* m_cellHeight = nullptr;
    QSpinBox* m_first = nullptr;
    QLabel* m_preview = nullptr;
};

}  // namespace qmx
