#include "player/Cplacecard.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qmx {

Cplacecard::Cplacecard(const QStringList& names, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Place a Card"));
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("locations"));
    m_list->addItems(names);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Select the location where the card will go:"), this));
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

int Cplacecard::chosen() const {
    return m_list->currentIndex();
}

}  // namespace qmx
