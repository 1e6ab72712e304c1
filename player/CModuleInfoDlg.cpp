#include "player/CModuleInfoDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "player/ShellPrompts.h"

namespace qmx {

CModuleInfoDlg::CModuleInfoDlg(const std::string& notes, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About This Module"));

    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("moduleNotes"));
    m_notes->setReadOnly(true);
    m_notes->setPlainText(fromFileText(notes));
    m_notes->setMinimumSize(420, 200);

    auto* note = new QLabel(QString::fromLatin1(kModuleNote), this);
    note->setObjectName(QStringLiteral("fixedNote"));
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_notes, 1);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

QString CModuleInfoDlg::notesText() const {
    return m_notes->toPlainText();
}

}  // namespace qmx
