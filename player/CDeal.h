#pragma once
// "Deal a Card": the decks and card locations to deal from, and the players
// to deal to, each list starting at its first entry.

#include <QDialog>
#include <QStringList>

class QComboBox;

namespace qmx {

class CDeal : public QDialog {
    Q_OBJECT

public:
    CDeal(const QStringList& sources, const QStringList& receivers, QWidget* parent = nullptr);
    // Positions in the two lists; -1 for an empty list.
    int source() const;
    int receiver() const;
    QComboBox* sourceList() const { return m_sources; }
    QComboBox* receiverList() const { return m_receivers; }

private:
    QComboBox* m_sources = nullptr;
    QComboBox* m_receivers = nullptr;
};

}  // namespace qmx
