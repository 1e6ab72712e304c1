#pragma once
// "Automatic Coordinates": the author steps through the eighteen coordinate
// systems with the arrows, each shown by three sample hexes laid out as the
// map's hexes are, and a description line.

#include <QDialog>
#include <QSpinBox>

#include "core/module/Module.h"

class QLabel;

namespace qmx {

// The number field: the arrows wrap 18 -> 1 and 1 -> 18; typed numbers may
// go up to 99 (19 is the two-step variant of system 18).
class CSystemSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
};

class CCoordinatesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CCoordinatesDlg(GridOrientation orientation, QWidget* parent = nullptr);

    int system() const;
    QSpinBox* systemField() const { return m_system; }
    // The labels of the three sample hexes and the description, as shown.
    QString sampleLabel(int hex) const;
    QString description() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showSystem();
    QRect sampleHex(int hex) const;

    GridOrientation m_orientation;
    CSystemSpinBox* m_system = nullptr;
    QLabel* m_description = nullptr;
    QString m_labels[3];
};

}  // namespace qmx
