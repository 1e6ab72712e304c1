#pragma once
// "About QMX": the program's name and version and a line about the loaded
// module, assembled at start-up.

#include <QDialog>

namespace qmx {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    CAboutDlg(const QString& startupText, QWidget* parent = nullptr);
};

// The version shown in the About box.
inline constexpr const char* kProgramVersion = "4.0";

}  // namespace qmx
