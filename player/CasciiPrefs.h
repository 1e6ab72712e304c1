#pragma once
// "ASCII Save Preferences": the options of the text reports in two groups,
// "Movement/Position Report" and "Position Report", with only "OK". Each
// check box changes the options the moment it is clicked.

#include <QDialog>

#include "core/replay/TextReport.h"

class QCheckBox;

namespace qmx {

class CasciiPrefs : public QDialog {
    Q_OBJECT

public:
    CasciiPrefs(ReportOptions& options, QWidget* parent = nullptr);

    // In the order the dialog shows them.
    QCheckBox* box(int index) const { return m_boxes[index]; }
    static constexpr int kBoxCount = 5;

protected:
    // Closing the window keeps what was clicked, like OK.
    void reject() override { accept(); }

private:
    QCheckBox* m_boxes[kBoxCount] = {};
};

}  // namespace qmx
