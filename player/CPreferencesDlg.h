#pragma once
// The "Preferences" dialog: the replay numbers with their spin limits and the
// five switches. It edits a copy; the caller takes values() on OK.

#include <QDialog>

#include "core/settings/Settings.h"

class QCheckBox;
class QSpinBox;

namespace qmx {

class CPreferencesDlg : public QDialog {
    Q_OBJECT

public:
    explicit CPreferencesDlg(const Preferences& current, QWidget* parent = nullptr);

    // The values as the dialog shows them, within their ranges.
    Preferences values() const;

    QSpinBox* speedBox() const { return m_speed; }
    QSpinBox* delayBox() const { return m_delay; }
    QSpinBox* limitBox() const { return m_limit; }

private:
    void speedChanged(int speed);

    Preferences m_values;
    QSpinBox* m_speed = nullptr;
    QSpinBox* m_delay = nullptr;
    QSpinBox* m_limit = nullptr;
    QCheckBox* m_noDieRolls = nullptr;
    QCheckBox* m_commentFirst = nullptr;
    QCheckBox* m_defineDice = nullptr;
    QCheckBox* m_facingLines = nullptr;
    QCheckBox* m_largeFont = nullptr;
};

}  // namespace qmx
