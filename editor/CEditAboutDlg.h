#pragma once
// "About QMX Editor": the program, its version and a line assembled at start-up.

#include <QDialog>

namespace qmx {

inline constexpr const char* kEditorVersion = "4.0";

class CEditAboutDlg : public QDialog {
    Q_OBJECT

public:
    CEditAboutDlg(const QString& startupText, QWidget* parent = nullptr);
};

}  // namespace qmx
