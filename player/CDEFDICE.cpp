#include "player/CDEFDICE.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/combat/Dice.h"

namespace qmx {

namespace {

QToolButton* arrow(Qt::ArrowType type, const QString& name, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setArrowType(type);
    b->setObjectName(name);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

}  // namespace

CDEFDICE::CDEFDICE(int count, int sides, QWidget* parent)
    : QDialog(parent),
      m_count(std::clamp(count, kMinDice, kMaxDice)),
      m_sides(std::clamp(sides, kMinSides, kMaxSides)) {
    setWindowTitle(QStringLiteral("Define Dice"));
    m_countField = new QLineEdit(QString::number(m_count), this);
    m_countField->setObjectName(QStringLiteral("numberOfDice"));
    m_sidesField = new QLineEdit(QString::number(m_sides), this);
    m_sidesField->setObjectName(QStringLiteral("numberOfSides"));
    for (QLineEdit* f : {m_countField, m_sidesField}) {
        f->setMaxLength(3);
        f->setFixedWidth(48);
        f->installEventFilter(this);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Number of Dice:"), this), 0, 0);
    grid->addWidget(m_countField, 0, 1);
    auto* countUp = arrow(Qt::UpArrow, QStringLiteral("diceUp"), this);
    auto* countDown = arrow(Qt::DownArrow, QStringLiteral("diceDown"), this);
    grid->addWidget(countUp, 0, 2);
    grid->addWidget(countDown, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Number of Sides:"), this), 1, 0);
    grid->addWidget(m_sidesField, 1, 1);
    auto* sidesUp = arrow(Qt::UpArrow, QStringLiteral("sidesUp"), this);
    auto* sidesDown = arrow(Qt::DownArrow, QStringLiteral("sidesDown"), this);
    grid->addWidget(sidesUp, 1, 2);
    grid->addWidget(sidesDown, 1, 3);
    // An up arrow adds one: the control's step of -1, subtracted.
    connect(countUp, &QToolButton::clicked, this, [this] { stepCount(-1); });
    connect(countDown, &QToolButton::clicked, this, [this] { stepCount(1); });
    connect(sidesUp, &QToolButton::clicked, this, [this] { stepSides(-1); });
    connect(sidesDown, &QToolButton::clicked, this, [this] { stepSides(1); });

    auto* note =
        new QLabel(QStringLiteral("This definition is used until the program ends. To make it the "
                                  "default, press OK in the Preferences dialog."),
                   this);
    note->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDEFDICE::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addWidget(ok, 0, Qt::AlignRight);
    m_countField->setFocus();
    m_countField->selectAll();
}

void CDEFDICE::stepCount(int step) {
    m_count = stepDiceField(m_count, step, kMinDice, kMaxDice);
    m_countField->setText(QString::number(m_count));
}

void CDEFDICE::stepSides(int step) {
    m_sides = stepDiceField(m_sides, step, kMinSides, kMaxSides);
    m_sidesField->setText(QString::number(m_sides));
}

bool CDEFDICE::readField(QLineEdit* field, int low, int high, int& value) {
    bool ok = false;
    const int v = field->text().trimmed().toInt(&ok);
    if (ok && v >= low && v <= high) {
        value = v;
        return true;
    }
    m_checking = true;
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("Enter an integer between %1 and %2.").arg(low).arg(high));
    m_checking = false;
    field->setFocus();
    field->selectAll();
    return false;
}

bool CDEFDICE::readCount() {
    return readField(m_countField, kMinDice, kMaxDice, m_count);
}

bool CDEFDICE::readSides() {
    return readField(m_sidesField, kMinSides, kMaxSides, m_sides);
}

bool CDEFDICE::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_checking) {
        if (watched == m_countField) readCount();
        if (watched == m_sidesField) readSides();
    }
    return QDialog::eventFilter(watched, event);
}

void CDEFDICE::accept() {
    if (!readCount() || !readSides()) return;
    QDialog::accept();
}

}  // namespace qmx
