#include "editor/CAddUnitsDlg.h"

#include <QDialogButtonBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/edit/UnitEditor.h"
#include "editor/EditorDocument.h"

namespace qmx {

CAddUnitsDlg::CAddUnitsDlg(EditorDocument& document, QWidget* parent)
    : QDialog(parent), m_document(document) {
    setWindowTitle(QStringLiteral("Add Units"));
    auto* question =
        new QLabel(QString::fromStdString(addUnitsQuestion(document.module().unitCount)), this);
    question->setObjectName(QStringLiteral("question"));
    question->setWordWrap(true);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setValidator(new QIntValidator(0, 999999, m_number));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAddUnitsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(m_number);
    layout->addWidget(buttons);
    resize(380, 140);
}

void CAddUnitsDlg::accept() {
    addUnits(m_document.module(), m_document.history(), m_document.prompts(),
             m_number->text().toInt());
    QDialog::accept();
}

}  // namespace qmx
