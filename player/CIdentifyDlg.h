#pragma once
// "Identify Player": the players' names under "Select your name" (the first
// selected) and "Enter your Password:" (9 characters).

#include <QDialog>
#include <QStringList>

class QLineEdit;
class QListWidget;

namespace qmx {

class CIdentifyDlg : public QDialog {
    Q_OBJECT

public:
    explicit CIdentifyDlg(const QStringList& names, QWidget* parent = nullptr);
    int chosen() const;
    QString password() const;
    QListWidget* nameList() const { return m_names; }
    QLineEdit* passwordEdit() const { return m_password; }

private:
    QListWidget* m_names = nullptr;
    QLineEdit* m_password = nullptr;
};

}  // namespace qmx
