#include "player/CReadback.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmx {

CReadback::CReadback(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Comment"));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("comment"));
    m_text->setReadOnly(true);
    m_text->setMinimumSize(420, 160);
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar('\r'), QChar('\n'));
    m_text->setPlainText(shown);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    ok->setFocus();
}

CReadbacklg::CReadbacklg(const QString& text, QWidget* parent) : CReadback(text, parent) {
    QFont f = textView()->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    textView()->setFont(f);
    setMinimumSize(600, 320);
}

}  // namespace qmx
