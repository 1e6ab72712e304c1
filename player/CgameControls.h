#pragma once
// "Game Controls": the modeless tool window beside the board. It shows the
// overview of the map with the frame of the visible board, the name of the
// hex under the pointer, one stack in six unit slots with its value totals,
// the ATTACK and DEFEND boxes, UNDO/RELEASE, NEXT/RESOLVE and the number of
// pending declarations. Its buttons run the combat session's commands; what
// it lists is decided by the core (StackListing, CombatRules).

#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "core/combat/StackListing.h"
#include "core/module/Hex.h"
#include "core/session/Change.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace qmx {

class CQMXDoc;
class CQMXView;
class CMainFrame;

// A button that also reports double clicks (the combat boxes).
class CBoxButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class COverviewMap : public QWidget {
    Q_OBJECT

public:
    COverviewMap(CQMXDoc& doc, QWidget* parent);
    void setView(CQMXView* view) { m_view = view; }
    QRect visibleFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CQMXDoc& m_doc;
    CQMXView* m_view = nullptr;
};

class CgameControls : public QWidget {
    Q_OBJECT

public:
    CgameControls(CQMXDoc& doc, CMainFrame& frame, CQMXView* view);

    // What the slots show, for tests and the frame.
    const StackListing& listing() const { return m_listing; }
    Hex shownHex() const { return m_shownHex; }
    int slotScroll() const { return m_slotScroll; }
    QString totalText(int value) const;
    QString countText() const;
    QString pendingText() const;
    QString hexNameText() const;
    // The replay's status text ("Roll: 2 die,6 sides.", "Comment", a card
    // action), at most 29 characters, in the hex-name field.
    void showStatusText(const QString& text);
    QPushButton* releaseButton() const { return m_release; }
    QPushButton* nextButton() const { return m_next; }
    CBoxButton* attackButton() const { return m_attack; }
    CBoxButton* defendButton() const { return m_defend; }
    QPushButton* slotButton(int n) const { return m_slots[static_cast<std::size_t>(n)].button; }
    COverviewMap* overview() const { return m_overview; }

    // The pointer moved onto another hex of the board.
    void showHexName(int column, int row);
    // An up-down step on the slots (+1 is the up arrow).
    void scrollSlots(int step);
    // How often the overview and a slot picture were painted (measurements).
    int overviewPaints() const;

public slots:
    void refreshCaptions();

protected:
    void customEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void storePlace();

private:
    struct Slot {
        QLabel* picture = nullptr;
        QPushButton* button = nullptr;
        QLineEdit* status = nullptr;
        QLineEdit* movement = nullptr;
    };
    void handle(ControlCode code);
    void listHex(Hex hex);
    void listCarried();
    void listStack(int first);
    void showListing();
    void boxClicked(int column);
    void boxDoubleClicked(int column);
    void releasePressed();
    void nextPressed();
    void slotPressed(int n);
    void run(const Change& change);
    // A slot's picture, as the board draws the unit.
    QPixmap unitPicture(int unit) const;

    CQMXDoc& m_doc;
    CMainFrame& m_frame;
    CQMXView* m_view;
    COverviewMap* m_overview = nullptr;
    QLabel* m_hexName = nullptr;
    QLabel* m_numCbts = nullptr;
    QLabel* m_count = nullptr;
    std::array<QLabel*, 6> m_valueNames{};
    std::array<QLabel*, 6> m_totals{};
    std::array<Slot, kSlotsShown> m_slots{};
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    QPushButton* m_release = nullptr;
    QPushButton* m_next = nullptr;
    CBoxButton* m_attack = nullptr;
    CBoxButton* m_defend = nullptr;

    Hex m_shownHex;
    Hex m_currentHex;
    bool m_showingCarried = false;
    int m_shownStack = 0;
    int m_slotScroll = 1;
    StackListing m_listing;
};

}  // namespace qmx
