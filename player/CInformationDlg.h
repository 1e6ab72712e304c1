#pragma once
// The "Information" dialog of the help prompts: the tip, an "OK" button and
// the check box "Don't show this prompt again".

#include <QDialog>

class QCheckBox;
class QLabel;

namespace qmx {

class CInformationDlg : public QDialog {
    Q_OBJECT

public:
    explicit CInformationDlg(const QString& text, QWidget* parent = nullptr);

    bool dontShowAgain() const;
    QString text() const;

private:
    QLabel* m_text = nullptr;
    QCheckBox* m_dontShow = nullptr;
};

}  // namespace qmx
