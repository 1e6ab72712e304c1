#pragma once
// "Place a Card": the card locations to put the card at, the first one selected.

#include <QDialog>
#include <QStringList>

class QComboBox;

namespace qmx {

class Cplacecard : public QDialog {
    Q_OBJECT

public:
    explicit Cplacecard(const QStringList& names, QWidget* parent = nullptr);
    // The chosen position; -1 for an empty list.
    int chosen() const;
    QComboBox* list() const { return m_list; }

private:
    QComboBox* m_list = nullptr;
};

}  // namespace qmx
