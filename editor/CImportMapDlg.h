#pragma once
// Import Map Picture: how the picture of the map alone meets the module's hex
// grid. The grid can be sized to the picture (in either orientation), or kept,
// the picture then placed as it is or, when the author asks, scaled to it.

#include <QDialog>
#include <QSize>

#include "core/module/Module.h"
#include "editor/EditorDocument.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace qmx {

class CImportMapDlg : public QDialog {
    Q_OBJECT

public:
    CImportMapDlg(const Module& module, QSize picture, QWidget* parent = nullptr);
    MapPictureChoice choice() const;

private:
    void refreshChoice();

    const Module& m_module;
    QSize m_picture;
    QRadioButton* m_sizeGrid = nullptr;
    QRadioButton* m_keepGrid = nullptr;
    QComboBox* m_orientation = nullptr;
    QLabel* m_fit = nullptr;
    QCheckBox* m_scale = nullptr;
};

}  // namespace qmx
