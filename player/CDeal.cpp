#include "player/CDeal.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qmx {

CDeal::CDeal(const QStringList& sources, const QStringList& receivers, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Deal a Card"));
    m_sources = new QComboBox(this);
    m_sources->setObjectName(QStringLiteral("sources"));
    m_sources->addItems(sources);
    m_receivers = new QComboBox(this);
    m_receivers->setObjectName(QStringLiteral("receivers"));
    m_receivers->addItems(receivers);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select a Deck to deal a card from:"), this));
    layout->addWidget(m_sources);
    layout->addWidget(new QLabel(QStringLiteral("Select a player to deal a card to:"), this));
    layout->addWidget(m_receivers);
    layout->addWidget(buttons);
}

int CDeal::source() const {
    return m_sources->currentIndex();
}

int CDeal::receiver() const {
    return m_receivers->currentIndex();
}

}  // namespace qmx
