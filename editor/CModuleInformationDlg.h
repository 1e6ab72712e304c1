#pragma once
// "Enter Module Information": the author's notes; OK keeps, Cancel discards.

#include <QDialog>
#include <string>

class QPlainTextEdit;

namespace qmx {

class CModuleInformationDlg : public QDialog {
    Q_OBJECT

public:
    // `notes` as the module holds them (CR LF line ends).
    explicit CModuleInformationDlg(const std::string& notes, QWidget* parent = nullptr);
    // The notes as bytes, at most 499.
    std::string notes() const;
    QPlainTextEdit* editor() const { return m_edit; }

private:
    QPlainTextEdit* m_edit = nullptr;
    QString m_held;  // the notes as they last stood within the limit
};

}  // namespace qmx
