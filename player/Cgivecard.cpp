#include "player/Cgivecard.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qmx {

Cgivecard::Cgivecard(const QStringList& names, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Give a Card"));
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("players"));
    m_list->addItems(names);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select a player to give the card to:"), this));
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

int Cgivecard::chosen() const {
    return m_list->currentIndex();
}

}  // namespace qmx
