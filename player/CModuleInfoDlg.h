#pragma once
// "About This Module": the module author's notes and the fixed note about
// modules of commercial games.

#include <QDialog>

class QPlainTextEdit;

namespace qmx {

inline constexpr const char* kModuleNote =
    "Vantor Modules which are based on commercial board Wargames are not complete games.  You "
    "MUST own the board game version for the module to be useful.";

class CModuleInfoDlg : public QDialog {
    Q_OBJECT

public:
    // `notes` as the module holds them (bytes, CR LF line ends).
    CModuleInfoDlg(const std::string& notes, QWidget* parent = nullptr);

    QString notesText() const;

private:
    QPlainTextEdit* m_notes = nullptr;
};

}  // namespace qmx
