#pragma once
// The editor's help: the user guide, opened at its editor chapter.

#include <QDialog>

class QTextBrowser;

namespace qmx {

class CEditHelpWindow : public QDialog {
    Q_OBJECT

public:
    explicit CEditHelpWindow(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return m_browser; }
    static QString guideText();

private:
    QTextBrowser* m_browser = nullptr;
};

}  // namespace qmx
