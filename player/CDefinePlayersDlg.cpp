#include "player/CDefinePlayersDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace qmx {

CDefinePlayersDlg::CDefinePlayersDlg(PlayerDefinition& definition, QWidget* parent)
    : QDialog(parent), m_definition(definition) {
    setWindowTitle(QStringLiteral("Define Players"));
    auto* form = new QFormLayout;
    for (int p = 0; p < kSlotCount; ++p) {
        const QString label = QStringLiteral("Player %1:").arg(p + 1);
        if (p == 1) {
            form->addRow(label, new QLabel(QStringLiteral("Player 2 can only be a Player"), this));
            continue;
        }
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("position%1").arg(p + 1));
        if (p == 0) {
            box->addItem(QStringLiteral("Game Master"), int(SlotKind::GameMaster));
            box->addItem(QStringLiteral("Player"), int(SlotKind::Player));
        } else {
            box->addItem(QStringLiteral("Not Used"), int(SlotKind::NotUsed));
            box->addItem(QStringLiteral("Player"), int(SlotKind::Player));
            box->addItem(QStringLiteral("Card Location"), int(SlotKind::CardLocation));
        }
        connect(box, &QComboBox::activated, this, [this, p] { chosen(p); });
        m_boxes[static_cast<std::size_t>(p)] = box;
        form->addRow(label, box);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* later = new QPushButton(QStringLiteral("Do This Later"), this);
    later->setObjectName(QStringLiteral("later"));
    auto* never =
        new QPushButton(QStringLiteral("Not necessary for this game, don't ask again."), this);
    never->setObjectName(QStringLiteral("notNecessary"));
    connect(ok, &QPushButton::clicked, this, [this] {
        m_answer = DefinePlayersAnswer::Ok;
        accept();
    });
    connect(later, &QPushButton::clicked, this, [this] {
        m_answer = DefinePlayersAnswer::Later;
        reject();
    });
    connect(never, &QPushButton::clicked, this, [this] {
        m_answer = DefinePlayersAnswer::NotNecessary;
        accept();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(later);
    buttons->addWidget(never);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    showDefinition();
}

void CDefinePlayersDlg::chosen(int position) {
    QComboBox* box = m_boxes[static_cast<std::size_t>(position)];
    m_definition.choose(position, static_cast<SlotKind>(box->currentData().toInt()));
    showDefinition();
}

void CDefinePlayersDlg::showDefinition() {
    for (int p = 0; p < kSlotCount; ++p) {
        QComboBox* box = m_boxes[static_cast<std::size_t>(p)];
        if (box == nullptr) continue;
        const QSignalBlocker block(box);
        box->setCurrentIndex(box->findData(int(m_definition.kind(p))));
    }
}

}  // namespace qmx
