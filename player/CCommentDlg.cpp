#include "player/CCommentDlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace qmx {

CCommentDlg::CCommentDlg(bool mayCancel, QWidget* parent)
    : QDialog(parent), m_mayCancel(mayCancel) {
    setWindowTitle(QStringLiteral("Enter a Comment"));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("comment"));
    m_text->setTabChangesFocus(true);
    m_text->setMinimumSize(420, 160);
    // The field's own limit: longer text is cut as it is typed or pasted.
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        const QString t = m_text->toPlainText();
        if (t.size() > kMaxLength) {
            m_text->setPlainText(t.left(kMaxLength));
            m_text->moveCursor(QTextCursor::End);
        }
    });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    auto* encode = new QPushButton(QStringLiteral("Encode"), this);
    encode->setObjectName(QStringLiteral("encode"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(encode, &QPushButton::clicked, this, [this] {
        m_encode = true;
        accept();
    });
    // OK keeps its place at the right in every variant; Ctrl+Return presses
    // it from the text (Return itself starts a new line), Escape cancels.
    ok->setDefault(true);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        connect(new QShortcut(key, this), &QShortcut::activated, ok, &QPushButton::click);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(encode);
    buttons->addStretch();
    if (mayCancel) {
        m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
        m_cancel->setObjectName(QStringLiteral("cancel"));
        connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addWidget(m_cancel);
    }
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    m_text->setFocus();
}

QString CCommentDlg::text() const {
    QString t = m_text->toPlainText();
    t.replace(QChar('\n'), QStringLiteral("\r\n"));
    return t;
}

void CCommentDlg::reject() {
    // A comment required before a roll cannot be escaped.
    if (m_mayCancel) QDialog::reject();
}

CCommentDlglg::CCommentDlglg(bool mayCancel, QWidget* parent) : CCommentDlg(mayCancel, parent) {
    QFont f = textEdit()->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    textEdit()->setFont(f);
    setMinimumSize(600, 320);
}

}  // namespace qmx
