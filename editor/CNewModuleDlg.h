#pragma once
// "New Module": the map size and orientation, the unit count and the number
// of unit images wanted, corrected by NewModuleForm as the author moves on.

#include <QDialog>

#include "core/edit/NewModuleForm.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace qmx {

class CNewModuleDlg : public QDialog {
    Q_OBJECT

public:
    explicit CNewModuleDlg(QWidget* parent = nullptr);
    const NewModuleForm& form() const { return m_form; }

    QLineEdit* columnsEdit() const { return m_columns; }
    QLineEdit* rowsEdit() const { return m_rows; }
    QLineEdit* unitsEdit() const { return m_units; }
    QLineEdit* imagesEdit() const { return m_images; }
    QRadioButton* rowsAlignedButton() const { return m_rowsAligned; }
    QRadioButton* columnsAlignedButton() const { return m_columnsAligned; }
    QLabel* capacityLabel() const { return m_capacity; }

    void accept() override;

private:
    void readFields();
    void showForm();

    NewModuleForm m_form;
    QLineEdit* m_columns = nullptr;
    QLineEdit* m_rows = nullptr;
    QLineEdit* m_units = nullptr;
    QLineEdit* m_images = nullptr;
    QRadioButton* m_rowsAligned = nullptr;
    QRadioButton* m_columnsAligned = nullptr;
    QLabel* m_capacity = nullptr;
    bool m_filling = false;
};

}  // namespace qmx
