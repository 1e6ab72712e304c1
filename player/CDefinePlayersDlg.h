#pragma once
// "Define Players": one row per position, "Player 1:" to "Player 8:". Every
// click goes through PlayerDefinition, which keeps the rules, and the rows
// are shown again as it left them.

#include <QDialog>
#include <array>

#include "core/game/PlayerDefinition.h"
#include "core/session/SessionPrompts.h"

class QComboBox;

namespace qmx {

class CDefinePlayersDlg : public QDialog {
    Q_OBJECT

public:
    explicit CDefinePlayersDlg(PlayerDefinition& definition, QWidget* parent = nullptr);

    DefinePlayersAnswer answer() const { return m_answer; }
    // The choice box of position 0..7 (none for position 2, which is fixed).
    QComboBox* choiceBox(int position) const { return m_boxes[static_cast<std::size_t>(position)]; }

private:
    void chosen(int position);
    void showDefinition();

    PlayerDefinition& m_definition;
    std::array<QComboBox*, kSlotCount> m_boxes{};
    DefinePlayersAnswer m_answer = DefinePlayersAnswer::Later;
};

}  // namespace qmx
