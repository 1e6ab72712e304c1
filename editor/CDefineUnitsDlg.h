#pragma once
// "Define Units": every unit's name, step images and values, and the
// module's value names and total modes. Each change goes to the module at
// once through UnitEditor; the dialog only shows and forwards.

#include <QDialog>
#include <array>

#include "core/edit/UnitEditor.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QTreeView;

namespace qmx {

class CImagePicker;
class CUnitListModel;
class EditorDocument;

class CDefineUnitsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CDefineUnitsDlg(EditorDocument& document, QWidget* parent = nullptr);
    ~CDefineUnitsDlg() override;

    UnitEditor& editor() { return m_editor; }
    QLineEdit* numberField() const { return m_number; }
    QPlainTextEdit* nameEdit() const { return m_name; }
    QLineEdit* valueNameEdit(int v) const { return m_valueNames[v]; }
    QPushButton* modeButton(int v) const { return m_modes[v]; }
    QSpinBox* valueEdit(int step, int v) const { return m_values[step][v]; }
    QLineEdit* imageField(int step) const { return m_images[step]; }
    QCheckBox* usedBox(int step) const { return m_used[step]; }
    CImagePicker* picker() const { return m_picker; }
    QToolButton* pickerBack() const { return m_back; }
    QToolButton* pickerForward() const { return m_forward; }
    QLabel* preview(int step) const { return m_previews[step]; }
    QTreeView* list() const { return m_list; }
    CUnitListModel* listModel() const { return m_model; }
    QPushButton* button(const QString& text) const;

    // Undo and redo inside the dialog (Ctrl+Z, Ctrl+Shift+Z).
    void undo();
    void redo();

private:
    void build();
    // Shows the current unit in every field, the previews and the list.
    void fill();
    void showImages();
    void unitEdited();
    void selectUnit(int unit);

    EditorDocument& m_document;
    UnitEditor m_editor;
    QLineEdit* m_number = nullptr;
    QPlainTextEdit* m_name = nullptr;
    std::array<QLineEdit*, kValueCount> m_valueNames{};
    std::array<QPushButton*, kValueCount> m_modes{};
    std::array<std::array<QSpinBox*, kValueCount>, kStepCount> m_values{};
    std::array<QLineEdit*, kStepCount> m_images{};
    std::array<QCheckBox*, kStepCount> m_used{};  // [0] stays null: step 1 is always used
    std::array<QLabel*, kStepCount> m_previews{};
    CImagePicker* m_picker = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
    QTreeView* m_list = nullptr;
    CUnitListModel* m_model = nullptr;
    bool m_filling = false;
};

}  // namespace qmx
