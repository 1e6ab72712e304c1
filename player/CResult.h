#pragma once
// The result of a roll or a combat, "Enter a Comment": the comment dialog
// without Cancel (a result is always recorded, Escape closes nothing) with the
// result text, read-only, above the comment field. CResultlg is the same
// dialog in the large font, for combats.

#include "player/CCommentDlg.h"

namespace qmx {

class CResult : public CCommentDlg {
    Q_OBJECT

public:
    explicit CResult(const QString& result, QWidget* parent = nullptr);

    // The comment with CR LF line ends, as the record keeps it.
    QString comment() const { return text(); }
    QPlainTextEdit* resultField() const { return m_result; }
    QPlainTextEdit* commentField() const { return textEdit(); }

private:
    QPlainTextEdit* m_result = nullptr;
};

class CResultlg : public CResult {
    Q_OBJECT

public:
    explicit CResultlg(const QString& result, QWidget* parent = nullptr);
};

}  // namespace qmx
