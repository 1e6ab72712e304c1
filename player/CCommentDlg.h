#pragma once
// "Enter a Comment": the text with "OK", "Cancel" and "Encode". Before a
// roll the comment is required: the dialog then has no Cancel button and
// Escape does nothing. CCommentDlglg is the same dialog in the large font.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace qmx {

class CCommentDlg : public QDialog {
    Q_OBJECT

public:
    explicit CCommentDlg(bool mayCancel, QWidget* parent = nullptr);

    // The text with CR LF line ends, as the record keeps it.
    QString text() const;
    bool encode() const { return m_encode; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The longest comment the dialog takes.
    static constexpr int kMaxLength = 4000;

protected:
    void reject() override;

private:
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_cancel = nullptr;
    bool m_mayCancel = true;
    bool m_encode = false;
};

class CCommentDlglg : public CCommentDlg {
    Q_OBJECT

public:
    explicit CCommentDlglg(bool mayCancel, QWidget* parent = nullptr);
};

}  // namespace qmx
