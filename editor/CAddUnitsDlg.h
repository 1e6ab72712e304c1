#pragma once
// "Add Units": how many units to add to the module.

#include <QDialog>

class QLineEdit;

namespace qmx {

class EditorDocument;

class CAddUnitsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAddUnitsDlg(EditorDocument& document, QWidget* parent = nullptr);
    QLineEdit* numberEdit() const { return m_number; }
    void accept() override;

private:
    EditorDocument& m_document;
    QLineEdit* m_number = nullptr;
};

}  // namespace qmx
