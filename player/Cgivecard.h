#pragma once
// "Give a Card": the players to give the card to, the first one selected.

#include <QDialog>
#include <QStringList>

class QComboBox;

namespace qmx {

class Cgivecard : public QDialog {
    Q_OBJECT

public:
    explicit Cgivecard(const QStringList& names, QWidget* parent = nullptr);
    // The chosen position; -1 for an empty list.
    int chosen() const;
    QComboBox* list() const { return m_list; }

private:
    QComboBox* m_list = nullptr;
};

}  // namespace qmx
