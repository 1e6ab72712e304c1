#pragma once
// "Encrypted Comment": the comment's own password (8 characters). Writing a
// comment shows the note to record the password separately; reading one
// during a replay asks without it.

#include <QDialog>

class QLineEdit;

namespace qmx {

class CEncryptDlg : public QDialog {
    Q_OBJECT

public:
    explicit CEncryptDlg(bool withNote, QWidget* parent = nullptr);
    QString password() const;
    QLineEdit* passwordEdit() const { return m_password; }

private:
    QLineEdit* m_password = nullptr;
};

}  // namespace qmx
