#include "editor/CModuleInformationDlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "core/module/Module.h"
#include "editor/EditorShellPrompts.h"
#include "widgets/PlainText.h"

namespace qmx {

CModuleInformationDlg::CModuleInformationDlg(const std::string& notes, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter Module Information"));
    m_edit = new QPlainTextEdit(fromFileText(notes), this);
    m_edit->setObjectName(QStringLiteral("notes"));
    // At most 499 bytes as the module stores them (a line end takes two):
    // of an edit past that only what fits is kept.
    m_held = m_edit->toPlainText();
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] {
        const QString now = m_edit->toPlainText();
        if (toFileText(now).size() <= kNotesSize - 1) {
            m_held = now;
            return;
        }
        int at = 0;
        m_held = fitFileText(m_held, now, kNotesSize - 1, at);
        const QSignalBlocker quiet(m_edit);
        showTextAt(m_edit, m_held, at);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    resize(520, 360);
}

std::string CModuleInformationDlg::notes() const {
    std::string text = toFileText(m_edit->toPlainText());
    if (text.size() > kNotesSize - 1) text.resize(kNotesSize - 1);
    return text;
}

}  // namespace qmx
