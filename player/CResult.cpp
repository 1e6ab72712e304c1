#include "player/CResult.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace qmx {

CResult::CResult(const QString& result, QWidget* parent) : CCommentDlg(false, parent) {
    m_result = new QPlainTextEdit(this);
    m_result->setObjectName(QStringLiteral("result"));
    m_result->setReadOnly(true);
    m_result->setPlainText(result);
    m_result->setMinimumSize(420, 110);
    commentField()->setMinimumSize(420, 110);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, m_result);
    commentField()->setFocus();
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
