#include "player/shell/CResult.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmx {

CResult::CResult(const QString& result, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter a Comment"));
    m_result = new QPlainTextEdit(this);
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setReadOnly(true);
    m_result->setPlainText(result);
    m_result->setMinimumSize(420, 110);
    m_comment = new QPlainTextEdit(this);
    m_comment->setObjectName(QStringLiteral("comment"));
    m_comment->setTabChangesFocus(true);
    m_comment->setMinimumSize(420, 110);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    auto* encode = new QPushButton(QStringLiteral("Encode"), this);
    encode->setObjectName(QStringLiteral("encode"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(encode, &QPushButton::clicked, this, [this] {
        m_encode = true;
        accept();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(encode);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_result);
    layout->addWidget(m_comment);
    layout->addLayout(buttons);
    m_comment->setFocus();
}

QString CResult::comment() const {
    QString t = m_comment->toPlainText();
    t.replace(QChar('\n'), QStringLiteral("\r\n"));
    return t;
}

CResultlg::CResultlg(const QString& result, QWidget* parent) : CResult(result, parent) {
    for (QPlainTextEdit* e : {resultField(), commentField()}) {
        QFont f = e->font();
        f.setPointSizeF(f.pointSizeF() * 1.6);
        e->setFont(f);
    }
    setMinimumSize(600, 380);
}

}  // namespace qmx
