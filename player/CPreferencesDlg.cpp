#include "player/CPreferencesDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace qmx {

namespace {

QSpinBox* spinBox(QWidget* parent, const char* name, int lo, int hi, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(lo, hi);
    box->setSingleStep(1);
    box->setValue(std::clamp(value, lo, hi));
    // Typed text outside the range snaps to the nearest limit.
    box->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return box;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& text, bool on) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(on);
    return box;
}

}  // namespace

CPreferencesDlg::CPreferencesDlg(const Preferences& current, QWidget* parent)
    : QDialog(parent), m_values(current.clamped()) {
    setWindowTitle(QStringLiteral("Preferences"));

    m_speed = spinBox(this, "replaySpeed", 1, 255, m_values.replaySpeed);
    m_delay = spinBox(this, "replayDelay", 0, 255, m_values.replayDelay);
    m_limit = spinBox(this, "speedLimit", std::max(2, m_values.replaySpeed), 255,
                      m_values.replayMaxSpeed);
    connect(m_speed, &QSpinBox::valueChanged, this, &CPreferencesDlg::speedChanged);

    auto* replay = new QGroupBox(QStringLiteral("Replay"), this);
    auto* form = new QFormLayout(replay);
    form->addRow(QStringLiteral("Replay Speed"), m_speed);
    form->addRow(QStringLiteral("Replay Delay"), m_delay);
    form->addRow(QStringLiteral("Speed Limit"), m_limit);

    m_noDieRolls = checkBox(this, "noDieRolls", QStringLiteral("No die rolls"),
                            m_values.suppressCombatDieRolls);
    m_commentFirst =
        checkBox(this, "commentBeforeDieRolls", QStringLiteral("Comment before die rolls"),
                 m_values.commentBeforeDice);
    m_defineDice =
        checkBox(this, "defineDieBeforeRoll", QStringLiteral("Define die before each roll"),
                 m_values.defineDiceBeforeRoll);
    m_facingLines = checkBox(this, "facingLines", QStringLiteral("Show direction line in facing"),
                             m_values.showFacingLines);
    m_largeFont = checkBox(this, "largeFont", QStringLiteral("Use large font in Comments"),
                           m_values.largeFontComments);

    auto* note = new QLabel(QStringLiteral("Preferences will be saved when you press OK"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(replay);
    layout->addWidget(m_noDieRolls);
    layout->addWidget(m_commentFirst);
    layout->addWidget(m_defineDice);
    layout->addWidget(m_facingLines);
    layout->addWidget(m_largeFont);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void CPreferencesDlg::speedChanged(int speed) {
    // The speed limit runs from the current speed to 255: raising the speed
    // above the limit takes the limit along.
    m_limit->setMinimum(std::max(2, speed));
}

Preferences CPreferencesDlg::values() const {
    Preferences p = m_values;
    p.replaySpeed = m_speed->value();
    p.replayDelay = m_delay->value();
    p.replayMaxSpeed = m_limit->value();
    p.suppressCombatDieRolls = m_noDieRolls->isChecked();
    p.commentBeforeDice = m_commentFirst->isChecked();
    p.defineDiceBeforeRoll = m_defineDice->isChecked();
    p.showFacingLines = m_facingLines->isChecked();
    p.largeFontComments = m_largeFont->isChecked();
    return p.clamped();
}

}  // namespace qmx
