#include "player/CasciiPrefs.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmx {

CasciiPrefs::CasciiPrefs(ReportOptions& options, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ASCII Save Preferences"));
    struct Item {
        const char* text;
        bool ReportOptions::*value;
    };
    const Item items[kBoxCount] = {
        {"Report Hidden Movement", &ReportOptions::reportHidden},
        {"Include Step Information", &ReportOptions::includeStep},
        {"Include Facing Information", &ReportOptions::includeFacing},
        {"Sort Units by Position on Map", &ReportOptions::sortByPosition},
        {"Show Hidden Units in Report", &ReportOptions::showHidden},
    };
    auto* movement = new QGroupBox(QStringLiteral("Movement/Position Report"), this);
    auto* position = new QGroupBox(QStringLiteral("Position Report"), this);
    auto* movementLayout = new QVBoxLayout(movement);
    auto* positionLayout = new QVBoxLayout(position);
    for (int i = 0; i < kBoxCount; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(items[i].text), this);
        box->setObjectName(QStringLiteral("option%1").arg(i + 1));
        bool ReportOptions::*value = items[i].value;
        box->setChecked(options.*value);
        connect(box, &QCheckBox::toggled, this,
                [&options, value](bool on) { options.*value = on; });
        (i < 3 ? movementLayout : positionLayout)->addWidget(box);
        m_boxes[i] = box;
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(movement);
    layout->addWidget(position);
    layout->addLayout(buttons);
}

}  // namespace qmx
