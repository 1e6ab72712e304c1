#pragma once
// "Change Password": "Enter your new Password:" (9 characters).

#include <QDialog>

class QLineEdit;

namespace qmx {

class CChangePasswordDlg : public QDialog {
    Q_OBJECT

public:
    explicit CChangePasswordDlg(QWidget* parent = nullptr);
    QString password() const;
    QLineEdit* passwordEdit() const { return m_password; }

private:
    QLineEdit* m_password = nullptr;
};

}  // namespace qmx
