#pragma once
// "Edit Cards": the card decks' texts and names, through CardEditor.

#include <QDialog>

#include "core/edit/CardEditor.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace qmx {

class EditorDocument;

class CEditCardsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CEditCardsDlg(EditorDocument& document, QWidget* parent = nullptr);

    CardEditor& editor() { return m_editor; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QLineEdit* cardField() const { return m_card; }
    QLineEdit* deckField() const { return m_deck; }
    QLineEdit* deckNameEdit() const { return m_deckName; }
    QToolButton* cardUp() const { return m_cardUp; }
    QToolButton* cardDown() const { return m_cardDown; }
    QToolButton* deckUp() const { return m_deckUp; }
    QToolButton* deckDown() const { return m_deckDown; }
    QPushButton* addButton() const { return m_add; }

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void undo();
    void redo();

    EditorDocument& m_document;
    CardEditor m_editor;
    QPlainTextEdit* m_text = nullptr;
    QLineEdit* m_card = nullptr;
    QLineEdit* m_deck = nullptr;
    QLineEdit* m_deckName = nullptr;
    QToolButton* m_cardUp = nullptr;
    QToolButton* m_cardDown = nullptr;
    QToolButton* m_deckUp = nullptr;
    QToolButton* m_deckDown = nullptr;
    QPushButton* m_add = nullptr;
    bool m_filling = false;
};

}  // namespace qmx
