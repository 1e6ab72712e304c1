#pragma once
// The programs' help (F1): the user guide, built into the program, shown in a
// browser window that stays open beside the program's own windows.

#include <QDialog>

class QTextBrowser;

namespace qmx {

class CHelpWindow : public QDialog {
    Q_OBJECT

public:
    // `chapter`: the heading the guide opens at (its anchor and its text);
    // empty for the start.
    CHelpWindow(const QString& title, const QString& chapter, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }
    // The guide as built into the program.
    static QString guideText();

private:
    // Selects the heading that ends with `chapter` and scrolls it into view.
    void openAt(const QString& chapter);

    QTextBrowser* m_browser = nullptr;
};

}  // namespace qmx
