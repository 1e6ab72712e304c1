#include "editor/CEditCardsDlg.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/EditorDocument.h"
#include "widgets/PlainText.h"

namespace qmx {

namespace {

QToolButton* arrow(QWidget* parent, const char* name, Qt::ArrowType type) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setArrowType(type);
    return b;
}

}  // namespace

CEditCardsDlg::CEditCardsDlg(EditorDocument& document, QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_editor(document.module(), document.history(), document.prompts()) {
    setWindowTitle(QStringLiteral("Edit Cards"));
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("cardText"));
    m_text->setTabChangesFocus(true);
    m_text->installEventFilter(this);
    auto* note = new QLabel(QString::fromLatin1(kCardTabNote), this);

    m_card = new QLineEdit(this);
    m_card->setObjectName(QStringLiteral("card"));
    m_card->setReadOnly(true);
    m_deck = new QLineEdit(this);
    m_deck->setObjectName(QStringLiteral("deck"));
    m_deck->setReadOnly(true);
    m_cardUp = arrow(this, "cardUp", Qt::UpArrow);
    m_cardDown = arrow(this, "cardDown", Qt::DownArrow);
    m_deckUp = arrow(this, "deckUp", Qt::UpArrow);
    m_deckDown = arrow(this, "deckDown", Qt::DownArrow);
    m_deckName = new QLineEdit(this);
    m_deckName->setObjectName(QStringLiteral("deckName"));
    m_deckName->setMaxLength(static_cast<int>(kDeckNameSize));
    m_add = new QPushButton(QStringLiteral("Add Card to Deck"), this);
    m_add->setAutoDefault(false);
    auto* remove = new QPushButton(QStringLiteral("Delete Card"), this);
    remove->setObjectName(QStringLiteral("deleteCard"));
    remove->setAutoDefault(false);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Card:"), this), 0, 0);
    grid->addWidget(m_card, 0, 1);
    grid->addWidget(m_cardUp, 0, 2);
    grid->addWidget(m_cardDown, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Deck:"), this), 1, 0);
    grid->addWidget(m_deck, 1, 1);
    grid->addWidget(m_deckUp, 1, 2);
    grid->addWidget(m_deckDown, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Deck Name:"), this), 2, 0);
    grid->addWidget(m_deckName, 2, 1, 1, 3);
    auto* side = new QVBoxLayout;
    side->addLayout(grid);
    side->addWidget(m_add);
    side->addWidget(remove);
    side->addStretch();
    side->addWidget(ok);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Edit Card Text:"), this));
    left->addWidget(m_text, 1);
    left->addWidget(note);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(side, 1);

    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        if (m_filling) return;
        const QString now = m_text->toPlainText();
        const QString held = fromFileText(m_editor.text());
        int at = m_text->textCursor().position();
        // Too long: only what fits of the new input is kept, never the end
        // of the card lost. Refused: the card stays as it was.
        QString shown = now;
        if (toFileText(now).size() > kMaxCardEditText)
            shown = fitFileText(held, now, kMaxCardEditText, at);
        if (!m_editor.typeText(toFileText(shown))) {
            shown = held;
            at = static_cast<int>(held.size());
        }
        if (shown == now) return;
        m_filling = true;
        showTextAt(m_text, shown, at);
        m_filling = false;
    });
    connect(m_deckName, &QLineEdit::textEdited, this,
            [this](const QString& text) { m_editor.setDeckName(toBytes(text)); });
    connect(m_cardUp, &QToolButton::clicked, this, [this] {
        m_editor.cardSpin(1);
        fill();
    });
    connect(m_cardDown, &QToolButton::clicked, this, [this] {
        m_editor.cardSpin(-1);
        fill();
    });
    connect(m_deckUp, &QToolButton::clicked, this, [this] {
        m_editor.deckSpin(1);
        fill();
    });
    connect(m_deckDown, &QToolButton::clicked, this, [this] {
        m_editor.deckSpin(-1);
        fill();
    });
    connect(m_add, &QPushButton::clicked, this, [this] {
        m_editor.addCard();
        fill();
        m_text->setFocus();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        m_editor.deleteCard();
        fill();
    });
    connect(ok, &QPushButton::clicked, this, &CEditCardsDlg::accept);

    auto* undoAction = new QAction(this);
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undoAction, &QAction::triggered, this, &CEditCardsDlg::undo);
    addAction(undoAction);
    auto* redoAction = new QAction(this);
    redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(redoAction, &QAction::triggered, this, &CEditCardsDlg::redo);
    addAction(redoAction);

    resize(640, 420);
    fill();
}

void CEditCardsDlg::fill() {
    m_filling = true;
    m_card->setText(QString::number(m_editor.card()));
    m_deck->setText(QString::number(m_editor.deck()));
    const QString text = fromFileText(m_editor.text());
    if (m_text->toPlainText() != text) m_text->setPlainText(text);
    const QString name = fromBytes(m_editor.deckName());
    if (m_deckName->text() != name) m_deckName->setText(name);
    m_filling = false;
}

bool CEditCardsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers().testFlag(Qt::ControlModifier)) {
            m_text->insertPlainText(QStringLiteral("\t"));
            return true;
        }
        // Undo and Redo walk the editor's history (an Add too), not the
        // text field's own.
        if (key->matches(QKeySequence::Undo)) {
            undo();
            return true;
        }
        if (key->matches(QKeySequence::Redo)) {
            redo();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CEditCardsDlg::undo() {
    m_editor.finish();
    m_document.history().undo();
    m_editor.refresh();
    fill();
}

void CEditCardsDlg::redo() {
    m_document.history().redo();
    m_editor.refresh();
    fill();
}

void CEditCardsDlg::accept() {
    m_editor.finish();
    QDialog::accept();
}

void CEditCardsDlg::reject() {
    // Closing the window keeps what was typed, as OK does.
    m_editor.finish();
    QDialog::reject();
}

}  // namespace qmx
