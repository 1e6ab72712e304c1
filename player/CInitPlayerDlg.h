#pragma once
// "Initialize Player": the next player's name (14 characters) and password
// (9 characters) under the prompt "Enter the name of Player #n:".

#include <QDialog>

class QLineEdit;

namespace qmx {

class CInitPlayerDlg : public QDialog {
    Q_OBJECT

public:
    explicit CInitPlayerDlg(const QString& prompt, QWidget* parent = nullptr);
    QString name() const;
    QString password() const;
    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* passwordEdit() const { return m_password; }

private:
    QLineEdit* m_name = nullptr;
    QLineEdit* m_password = nullptr;
};

}  // namespace qmx
