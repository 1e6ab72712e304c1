#pragma once
// The hand dialog: caption "Card N of M", the card's text in a read-only
// fixed-pitch field, and the buttons of the card actions. Every button but
// Done goes through the CardHand, which keeps the rules; the dialog then
// shows the hand again.

#include <QDialog>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace qmx {

class CardHand;
enum class HandButton;

class CViewHand : public QDialog {
    Q_OBJECT

public:
    explicit CViewHand(CardHand& hand, QWidget* parent = nullptr);
    QPlainTextEdit* textField() const { return m_text; }
    // The buttons by their labels ("Return to Deck", ..., "Done").
    QPushButton* button(const QString& label) const;

private:
    void press(HandButton button);
    void refresh();

    CardHand& m_hand;
    QPlainTextEdit* m_text = nullptr;
    std::vector<QPushButton*> m_cardButtons;  // every button that needs a card
};

}  // namespace qmx
