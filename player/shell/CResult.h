#pragma once
// The result of a roll or a combat, "Enter a Comment": the result text
// (read-only) above a field for a comment, with "OK" and "Encode" and no
// Cancel. CResultlg is the same dialog in the large font, for combats.

#include <QDialog>

class QPlainTextEdit;

namespace qmx {

class CResult : public QDialog {
    Q_OBJECT

public:
    explicit CResult(const QString& result, QWidget* parent = nullptr);

    // The comment with CR LF line ends, as the record keeps it.
    QString comment() const;
    bool encode() const { return m_encode; }
    QPlainTextEdit* resultField() const { return m_result; }
    QPlainTextEdit* commentField() const { return m_comment; }

protected:
    // A result is always recorded: Escape closes nothing.
    void reject() override {}

private:
    QPlainTextEdit* m_result = nullptr;
    QPlainTextEdit* m_comment = nullptr;
    bool m_encode = false;
};

class CResultlg : public CResult {
    Q_OBJECT

public:
    explicit CResultlg(const QString& result, QWidget* parent = nullptr);
};

}  // namespace qmx
