#include "player/CChangePasswordDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace qmx {

CChangePasswordDlg::CChangePasswordDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Change Password"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setMaxLength(9);
    m_password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Enter your new Password:"), this));
    layout->addWidget(m_password);
    layout->addWidget(buttons);
}

QString CChangePasswordDlg::password() const {
    return m_password->text();
}

}  // namespace qmx
