#include "editor/CEditAboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "widgets/PlainText.h"

namespace qmx {

CEditAboutDlg::CEditAboutDlg(const QString& startupText, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About QMX Editor"));
    auto* name =
        new QLabel(QStringLiteral("<b>QMX Editor</b> version %1").arg(kEditorVersion), this);
    markupAllowed(name);
    auto* line = new QLabel(QStringLiteral("The module editor of QMX: maps, units and cards for "
                                           "wargames played by e-mail."),
                            this);
    line->setWordWrap(true);
    auto* startup = new QLabel(startupText, this);
    startup->setObjectName(QStringLiteral("startupText"));
    startup->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(line);
    layout->addWidget(startup);
    layout->addWidget(buttons);
}

}  // namespace qmx
