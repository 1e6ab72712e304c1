#include "editor/CMapTemplateDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace qmx {

CMapTemplateDlg::CMapTemplateDlg(QSize size, int mapTop, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("mapTemplateDialog"));
    setWindowTitle(QStringLiteral("Save Map Template"));
    auto* intro = new QLabel(
        QStringLiteral(
            "A picture of the map area alone, %1 x %2 pixels, with every hex of the "
            "module's grid outlined: draw the map over it in a paint program, then "
            "bring it back with Import Map Picture. In the module picture the map begins "
            "at row %3, below the unit picture band.")
            .arg(size.width())
            .arg(size.height())
            .arg(mapTop),
        this);
    intro->setWordWrap(true);
    m_names = new QCheckBox(QStringLiteral("Write each hex's &name in it"), this);
    m_names->setObjectName(QStringLiteral("names"));
    m_overMap = new QCheckBox(QStringLiteral("Draw the grid over the &current map picture"), this);
    m_overMap->setObjectName(QStringLiteral("overMap"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_names);
    layout->addWidget(m_overMap);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

bool CMapTemplateDlg::names() const {
    return m_names->isChecked();
}

bool CMapTemplateDlg::overMap() const {
    return m_overMap->isChecked();
}

}  // namespace qmx
