#pragma once
// "Vantor Editor": start a new module or load one.

#include <QDialog>

namespace qmx {

inline constexpr const char* kStartQuestion =
    "Would you like to start a new module or load an existing one?";

class CStartDlg : public QDialog {
    Q_OBJECT

public:
    enum class Choice { None, Load, New };
    explicit CStartDlg(QWidget* parent = nullptr);
    Choice choice() const { return m_choice; }

private:
    Choice m_choice = Choice::None;
};

}  // namespace qmx
