#pragma once
// The comment display of a replay: a replayed comment, a roll's result or a
// card's text, read-only, with "OK". CReadbacklg is the same dialog in the
// large font ("Use Large Font in Comment").

#include <QDialog>

class QPlainTextEdit;

namespace qmx {

class CReadback : public QDialog {
    Q_OBJECT

public:
    // `text` with CR LF line ends, as the record keeps it.
    explicit CReadback(const QString& text, QWidget* parent = nullptr);
    QPlainTextEdit* textView() const { return m_text; }

private:
    QPlainTextEdit* m_text = nullptr;
};

class CReadbacklg : public CReadback {
    Q_OBJECT

public:
    explicit CReadbacklg(const QString& text, QWidget* parent = nullptr);
};

}  // namespace qmx
