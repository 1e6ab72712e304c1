#include "player/CEncryptDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/game/Comment.h"

namespace qmx {

CEncryptDlg::CEncryptDlg(bool withNote, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(kEncryptedCommentTitle));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setMaxLength(static_cast<int>(kCommentPasswordMax));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromLatin1(kEncryptedCommentPrompt), this));
    layout->addWidget(m_password);
    if (withNote) {
        auto* note = new QLabel(QStringLiteral("Be sure to record this password separately"), this);
        note->setObjectName(QStringLiteral("note"));
        layout->addWidget(note);
    }
    layout->addWidget(buttons);
}

QString CEncryptDlg::password() const {
    return m_password->text();
}

}  // namespace qmx
