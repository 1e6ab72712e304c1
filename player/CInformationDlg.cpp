#include "player/CInformationDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace qmx {

CInformationDlg::CInformationDlg(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Information"));

    auto* icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);

    m_text = new QLabel(text, this);
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setMinimumWidth(360);
    m_text->setObjectName(QStringLiteral("promptText"));

    m_dontShow = new QCheckBox(QStringLiteral("Don't show this prompt again"), this);
    m_dontShow->setObjectName(QStringLiteral("dontShowAgain"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(m_text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_dontShow);
    layout->addWidget(buttons);
}

bool CInformationDlg::dontShowAgain() const {
    return m_dontShow->isChecked();
}

QString CInformationDlg::text() const {
    return m_text->text();
}

}  // namespace qmx
