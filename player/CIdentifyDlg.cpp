#include "player/CIdentifyDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace qmx {

CIdentifyDlg::CIdentifyDlg(const QStringList& names, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Identify Player"));
    m_names = new QListWidget(this);
    m_names->setObjectName(QStringLiteral("names"));
    m_names->addItems(names);
    if (!names.isEmpty()) m_names->setCurrentRow(0);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setMaxLength(9);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setFocus();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_names, &QListWidget::itemDoubleClicked, m_password,
            [this] { m_password->setFocus(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select your name"), this));
    layout->addWidget(m_names);
    layout->addWidget(new QLabel(QStringLiteral("Enter your Password:"), this));
    layout->addWidget(m_password);
    layout->addWidget(buttons);
}

int CIdentifyDlg::chosen() const {
    return m_names->currentRow();
}

QString CIdentifyDlg::password() const {
    return m_password->text();
}

}  // namespace qmx
