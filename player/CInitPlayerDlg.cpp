#include "player/CInitPlayerDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace qmx {

CInitPlayerDlg::CInitPlayerDlg(const QString& prompt, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Initialize Player"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setMaxLength(14);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setMaxLength(9);
    m_password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(prompt, this));
    layout->addWidget(m_name);
    layout->addWidget(new QLabel(QStringLiteral("Enter a password"), this));
    layout->addWidget(m_password);
    layout->addWidget(buttons);
}

QString CInitPlayerDlg::name() const {
    return m_name->text();
}

QString CInitPlayerDlg::password() const {
    return m_password->text();
}

}  // namespace qmx
