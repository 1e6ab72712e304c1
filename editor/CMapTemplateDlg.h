#pragma once
// Save Map Template: what the template of the map area shows besides the hex
// grid.

#include <QDialog>

class QCheckBox;

namespace qmx {

class CMapTemplateDlg : public QDialog {
    Q_OBJECT

public:
    // `size` is the map area of the grid; `mapTop` the row of the module
    // picture at which the map begins, below the unit picture band.
    CMapTemplateDlg(QSize size, int mapTop, QWidget* parent = nullptr);
    bool names() const;
    bool overMap() const;

private:
    QCheckBox* m_names = nullptr;
    QCheckBox* m_overMap = nullptr;
};

}  // namespace qmx
