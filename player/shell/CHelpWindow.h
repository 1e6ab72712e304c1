#pragma once
// The program's help: the user guide shown in a browser window (F1).

#include <QDialog>

class QTextBrowser;

namespace qmx {

class CHelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit CHelpWindow(QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }

    // The guide as built into the program.
    static QString guideText();

private:
    QTextBrowser* m_browser = nullptr;
};

}  // namespace qmx
