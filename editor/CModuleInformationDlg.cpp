#include "editor/CModuleInformationDlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/module/Module.h"
#include "editor/EditorShellPrompts.h"

namespace qmx {

CModuleInformationDlg::CModuleInformationDlg(const std::string& notes, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter Module Information"));
    m_edit = new QPlainTextEdit(fromFileText(notes), this);
    m_edit->setObjectName(QStringLiteral("notes"));
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
