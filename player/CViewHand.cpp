#include "player/CViewHand.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/cards/CardSession.h"
#include "player/ShellPrompts.h"

namespace qmx {

CViewHand::CViewHand(CardHand& hand, QWidget* parent) : QDialog(parent), m_hand(hand) {
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("cardText"));
    m_text->setReadOnly(true);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Room for a card of the editor's longest text without scrolling much.
    m_text->setMinimumSize(m_text->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 52,
                           m_text->fontMetrics().lineSpacing() * 16);

    const std::pair<const char*, HandButton> actions[] = {
        {"Return to Deck", HandButton::ReturnToDeck},
        {"Discard", HandButton::Discard},
        {"Show then Return", HandButton::ShowThenReturn},
        {"Show to Others", HandButton::ShowToOthers},
        {"Give Away", HandButton::GiveAway},
        {"Place in Location", HandButton::PlaceInLocation},
    };
    auto* actionGrid = new QGridLayout;
    int i = 0;
    for (const auto& [label, b] : actions) {
        auto* push = new QPushButton(QString::fromLatin1(label), this);
        push->setAutoDefault(false);
        m_cardButtons.push_back(push);
        connect(push, &QPushButton::clicked, this, [this, b = b] { press(b); });
        actionGrid->addWidget(push, i / 2, i % 2);
        ++i;
    }
    auto* nextCard = new QPushButton(QStringLiteral("Next Card"), this);
    m_cardButtons.push_back(nextCard);
    nextCard->setDefault(true);
    connect(nextCard, &QPushButton::clicked, this, [this] { press(HandButton::NextCard); });
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(nextCard);
    bottom->addWidget(done);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(actionGrid);
    layout->addLayout(bottom);
    refresh();
}

QPushButton* CViewHand::button(const QString& label) const {
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->text() == label) return b;
    }
    return nullptr;
}

void CViewHand::press(HandButton button) {
    m_hand.press(button);
    refresh();
}

void CViewHand::refresh() {
    setWindowTitle(fromBytes(m_hand.caption()));
    m_text->setPlainText(fromFileText(m_hand.text()));
    // An empty hand has nothing to act on: only Done stays.
    for (QPushButton* b : m_cardButtons) b->setEnabled(m_hand.card().has_value());
}

}  // namespace qmx
