#include "player/CgameControls.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/combat/CombatRules.h"
#include "core/combat/CombatSession.h"
#include "core/game/HexPicture.h"
#include "core/game/Visibility.h"
#include "core/module/Clock.h"
#include "core/session/HelpPrompts.h"
#include "core/session/PlayerSession.h"
#include "core/settings/Settings.h"
#include "graphics/BoardPainter.h"
#include "player/CMainFrame.h"
#include "player/CQMXDoc.h"
#include "player/CQMXView.h"
#include "player/ControlNotification.h"
#include "player/ShellPrompts.h"

namespace qmx {

namespace {

constexpr int kOverviewWidth = 144;
constexpr int kOverviewHeight = 100;
int g_overviewPaints = 0;

// A slot button's name on up to two lines: broken at the last blank that
// lets the first line fit.
QString slotText(const QString& name, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(name) <= width) return name;
    for (qsizetype i = name.size() - 1; i > 0; --i) {
        if (name[i] == QChar(' ') && metrics.horizontalAdvance(name.left(i)) <= width)
            return name.left(i) + QChar('\n') + name.mid(i + 1);
    }
    return name;
}

}  // namespace

void CBoxButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit doubleClicked();
        return;
    }
    QPushButton::mouseDoubleClickEvent(event);
}

// ---- the overview ---------------------------------------------------------------------

COverviewMap::COverviewMap(CQMXDoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName(QStringLiteral("overview"));
    setFixedSize(kOverviewWidth, kOverviewHeight);
}

QRect COverviewMap::visibleFrame() const {
    const Module& m = m_doc.module();
    const int ow = std::max<int>(m.overviewWidth, 1);
    const int oh = std::max<int>(m.overviewHeight, 1);
    if (m_view == nullptr) return {};
    const QRect map = m_doc.graphics().mapRect(m);
    const int mapW = std::max(map.width(), 1);
    const int mapH = std::max(map.height(), 1);
    const double z = m_view->zoom();
    const PixelPoint origin = m_view->scrollOrigin();
    const QSize client = m_view->viewport()->size();
    const int w = std::min(ow, static_cast<int>(client.width() / z) * ow / mapW);
    const int h = std::min(oh, static_cast<int>(client.height() / z) * oh / mapH);
    int x = ow * origin.x / mapW;
    int y = oh * origin.y / mapH;
    // The frame ends at least one pixel inside the overview.
    x = std::max(0, std::min(x, ow - w - 1));
    y = std::max(0, std::min(y, oh - h - 1));
    return {x, y, std::max(w, 2), std::max(h, 2)};
}

void COverviewMap::paintEvent(QPaintEvent*) {
    ++g_overviewPaints;
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const Module& m = m_doc.module();
    if (m.overviewWidth == 0 || m.overviewHeight == 0) return;
    const QRect source(0, 0, m.overviewWidth, m.overviewHeight);
    const QRect target(0, 0, m.overviewWidth, m.overviewHeight);
    p.drawImage(target, m_doc.graphics().imageSoFar(), source);  // the sheet, decoded first
    const QRect f = visibleFrame();
    if (f.isEmpty()) return;
    p.setPen(QPen(Qt::red, 2));
    p.drawRect(f.adjusted(1, 1, -1, -1));
}

void COverviewMap::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (m_view == nullptr || at.x() >= kOverviewWidth || at.y() >= kOverviewHeight) return;
    const Module& m = m_doc.module();
    const int ow = std::max<int>(m.overviewWidth, 1);
    const int oh = std::max<int>(m.overviewHeight, 1);
    const QRect map = m_doc.graphics().mapRect(m);
    const QRect f = visibleFrame();
    int x = (at.x() - f.width() / 2) * map.width() / ow;
    int y = (at.y() - f.height() / 2) * map.height() / oh;
    // Odd positions stand between hex ranks: they are raised to the next even one.
    if (m.orientation == GridOrientation::ColumnsAligned && x % 2 != 0) ++x;
    if (m.orientation == GridOrientation::RowsAligned && y % 2 != 0) ++y;
    const double z = m_view->zoom();
    const QSize client = m_view->viewport()->size();
    x = std::max(0, std::min(x, map.width() - static_cast<int>(client.width() / z)));
    y = std::max(0, std::min(y, map.height() - static_cast<int>(client.height() / z)));
    m_view->scrollToPosition(QPoint(static_cast<int>(x * z), static_cast<int>(y * z)));
    update();
}

// ---- the panel --------------------------------------------------------------------------

CgameControls::CgameControls(CQMXDoc& doc, CMainFrame& frame, CQMXView* view)
    : QWidget(&frame, Qt::Tool), m_doc(doc), m_frame(frame), m_view(view) {
    setObjectName(QStringLiteral("gameControls"));
    setWindowTitle(QStringLiteral("Game Controls"));
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);

    m_overview = new COverviewMap(doc, this);
    m_overview->setView(view);
    layout->addWidget(m_overview, 0, Qt::AlignHCenter);
    m_hexName = new QLabel(this);
    m_hexName->setObjectName(QStringLiteral("hexName"));
    m_hexName->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_hexName);

    auto* slotsRow = new QHBoxLayout;
    auto* slotGrid = new QGridLayout;
    slotGrid->setSpacing(2);
    for (int n = 0; n < kSlotsShown; ++n) {
        Slot& s = m_slots[static_cast<std::size_t>(n)];
        s.picture = new QLabel(this);
        s.picture->setObjectName(QStringLiteral("picture%1").arg(n + 1));
        s.picture->setFixedSize(40, 40);
        s.button = new QPushButton(this);
        s.button->setObjectName(QStringLiteral("slot%1").arg(n + 1));
        s.button->setFixedSize(104, 40);
        s.button->setFocusPolicy(Qt::NoFocus);
        QFont small = s.button->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        s.button->setFont(small);
        s.status = new QLineEdit(this);
        s.movement = new QLineEdit(this);
        for (QLineEdit* e : {s.status, s.movement}) {
            e->setReadOnly(true);
            e->setFixedWidth(18);
            e->setFocusPolicy(Qt::NoFocus);
            e->setAlignment(Qt::AlignCenter);
        }
        s.status->setObjectName(QStringLiteral("status%1").arg(n + 1));
        s.movement->setObjectName(QStringLiteral("movement%1").arg(n + 1));
        slotGrid->addWidget(s.picture, n, 0);
        slotGrid->addWidget(s.button, n, 1);
        slotGrid->addWidget(s.status, n, 2);
        slotGrid->addWidget(s.movement, n, 3);
        connect(s.button, &QPushButton::clicked, this, [this, n] { slotPressed(n); });
    }
    slotsRow->addLayout(slotGrid);
    auto* updown = new QVBoxLayout;
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_up->setObjectName(QStringLiteral("slotsUp"));
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    m_down->setObjectName(QStringLiteral("slotsDown"));
    for (QToolButton* b : {m_up, m_down}) b->setFocusPolicy(Qt::NoFocus);
    connect(m_up, &QToolButton::clicked, this, [this] { scrollSlots(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { scrollSlots(-1); });
    updown->addStretch();
    updown->addWidget(m_up);
    updown->addWidget(m_down);
    updown->addStretch();
    slotsRow->addLayout(updown);
    layout->addLayout(slotsRow);

    auto* values = new QGridLayout;
    values->setSpacing(2);
    const Module& m = doc.module();
    for (int v = 0; v < kValueCount; ++v) {
        m_valueNames[static_cast<std::size_t>(v)] =
            new QLabel(fromBytes(m.valueNames[static_cast<std::size_t>(v)]), this);
        QLabel* total = new QLabel(this);
        total->setObjectName(QStringLiteral("total%1").arg(v + 1));
        total->setFrameShape(QFrame::StyledPanel);
        total->setMinimumWidth(30);
        total->setAlignment(Qt::AlignCenter);
        m_totals[static_cast<std::size_t>(v)] = total;
        values->addWidget(m_valueNames[static_cast<std::size_t>(v)], (v / 3) * 2, v % 3,
                          Qt::AlignCenter);
        values->addWidget(total, (v / 3) * 2 + 1, v % 3);
    }
    layout->addLayout(values);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("unitCount"));
    m_count->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_count);

    auto* boxes = new QHBoxLayout;
    m_attack = new CBoxButton(QStringLiteral("ATTACK"), this);
    m_attack->setObjectName(QStringLiteral("attack"));
    m_defend = new CBoxButton(QStringLiteral("DEFEND"), this);
    m_defend->setObjectName(QStringLiteral("defend"));
    for (CBoxButton* b : {m_attack, m_defend}) {
        b->setIconSize(QSize(40, 40));
        b->setMinimumHeight(52);
        b->setFocusPolicy(Qt::NoFocus);
        boxes->addWidget(b);
    }
    connect(m_attack, &QPushButton::clicked, this, [this] { boxClicked(kAttackBoxColumn); });
    connect(m_defend, &QPushButton::clicked, this, [this] { boxClicked(kDefendBoxColumn); });
    connect(m_attack, &CBoxButton::doubleClicked, this,
            [this] { boxDoubleClicked(kAttackBoxColumn); });
    connect(m_defend, &CBoxButton::doubleClicked, this,
            [this] { boxDoubleClicked(kDefendBoxColumn); });
    layout->addLayout(boxes);

    auto* actions = new QHBoxLayout;
    m_release = new QPushButton(this);
    m_release->setObjectName(QStringLiteral("undoRelease"));
    m_next = new QPushButton(this);
    m_next->setObjectName(QStringLiteral("nextResolve"));
    m_next->setDefault(true);
    for (QPushButton* b : {m_release, m_next}) {
        b->setFocusPolicy(Qt::NoFocus);
        actions->addWidget(b);
    }
    connect(m_release, &QPushButton::clicked, this, &CgameControls::releasePressed);
    connect(m_next, &QPushButton::clicked, this, &CgameControls::nextPressed);
    layout->addLayout(actions);
    m_numCbts = new QLabel(this);
    m_numCbts->setObjectName(QStringLiteral("numCbts"));
    m_numCbts->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_numCbts);
    layout->addStretch();

    if (view != nullptr) {
        connect(view, &CQMXView::viewChanged, m_overview, qOverload<>(&QWidget::update));
        connect(view, &CQMXView::mouseHexChanged, this, &CgameControls::showHexName);
    }
    // The stored position is the client area's, less 19 in y: put back the
    // client area there, whatever the frame around it.
    const WindowPlacement& w = doc.settings().window();
    adjustSize();
    setGeometry(QRect(QPoint(w.panelX, w.panelY + 19), size()));
    showListing();
    refreshCaptions();
}

int CgameControls::overviewPaints() const {
    return g_overviewPaints;
}

QString CgameControls::totalText(int value) const {
    return m_totals[static_cast<std::size_t>(value)]->text();
}
QString CgameControls::countText() const {
    return m_count->text();
}
QString CgameControls::pendingText() const {
    return m_numCbts->text();
}
QString CgameControls::hexNameText() const {
    return m_hexName->text();
}

void CgameControls::showHexName(int column, int row) {
    m_currentHex = {column, row};
    m_hexName->setText(fromBytes(hexName(m_doc.module(), column, row)));
}

void CgameControls::refreshCaptions() {
    const ButtonCaptions c = m_doc.combat().captions();
    m_release->setText(fromBytes(c.release));
    m_next->setText(fromBytes(c.next));
    m_numCbts->setText(fromBytes(m_doc.combat().pendingText()));
}

void CgameControls::customEvent(QEvent* event) {
    if (const ControlNotification* n = ControlNotification::from(event)) {
        handle(n->code());
        return;
    }
    QWidget::customEvent(event);
}

void CgameControls::handle(ControlCode code) {
    switch (code) {
        case ControlCode::ShowHexName:
            showHexName(m_currentHex.column, m_currentHex.row);
            break;
        case ControlCode::ListCurrentHex:
            m_slotScroll = 1;
            listHex(m_currentHex);
            break;
        case ControlCode::ListCarried:
            listCarried();
            break;
        case ControlCode::RecomputeTotals:
            showListing();
            break;
        case ControlCode::ListSelectedHex:
            m_slotScroll = 1;
            listHex(m_doc.session().clickedHex());
            break;
        case ControlCode::ListShownAgain:
            if (m_showingCarried) {
                listCarried();
            } else {
                listHex(m_shownHex);
            }
            break;
        case ControlCode::RepaintOverview:
            m_overview->update();
            break;
        case ControlCode::MovementMode:
        case ControlCode::CombatMode:
        case ControlCode::PendingLabel:
            refreshCaptions();
            break;
        default:
            break;
    }
}

void CgameControls::listHex(Hex hex) {
    m_shownHex = hex;
    m_showingCarried = false;
    listStack(m_doc.game().stackHead(hex.column, hex.row));
}

void CgameControls::listCarried() {
    if (!m_showingCarried) m_slotScroll = 1;
    m_showingCarried = true;
    listStack(m_doc.game().carriedStack);
}

void CgameControls::listStack(int first) {
    m_shownStack = first;
    showListing();
}

void CgameControls::showStatusText(const QString& text) {
    m_hexName->setText(text.left(29));
}

QPixmap CgameControls::unitPicture(int unit) const {
    const Preferences& prefs = m_doc.settings().preferences();
    const Rgb c = facingColorRgb(prefs.facingColor);
    return QPixmap::fromImage(
        BoardPainter::unitPicture(m_doc.module(), m_doc.graphics(), m_doc.game(), unit,
                                  QColor(c.red, c.green, c.blue), prefs.showFacingLines));
}

void CgameControls::showListing() {
    const GameState& g = m_doc.game();
    const Module& m = m_doc.module();
    if (m_showingCarried)
        m_shownStack = g.carriedStack;
    else
        m_shownStack = g.stackHead(m_shownHex.column, m_shownHex.row);
    m_listing = qmx::listStack(g, m, m_shownStack, m_slotScroll);
    for (std::size_t n = 0; n < m_slots.size(); ++n) {
        const SlotEntry& e = m_listing.units[n];
        Slot& s = m_slots[n];
        s.button->setText(
            slotText(fromBytes(e.name), s.button->fontMetrics(), s.button->width() - 8));
        s.status->setText(fromBytes(e.status));
        s.movement->setText(fromBytes(e.movement));
        s.picture->setPixmap(e.unit != 0 ? unitPicture(e.unit) : QPixmap());
    }
    // Until a hex (or the carried stack) has been shown there is nothing to total.
    const bool shown = m_showingCarried || m_shownHex.column != 0;
    const StackTotals t = stackTotals(g, m, m_shownStack);
    for (int v = 0; v < kValueCount; ++v)
        m_totals[static_cast<std::size_t>(v)]->setText(
            shown ? QString::number(t.totals[static_cast<std::size_t>(v)]) : QString());
    m_count->setText(shown ? fromBytes(unitCountText(t.count)) : QString());
    const int row = g.combatBoxRow();
    for (auto [button, column] :
         {std::pair{m_attack, kAttackBoxColumn}, std::pair{m_defend, kDefendBoxColumn}}) {
        const int head = g.stackHead(column, row);
        button->setIcon(head != 0 ? QIcon(unitPicture(head)) : QIcon());
    }
}

void CgameControls::scrollSlots(int step) {
    const SlotScroll s = qmx::scrollSlots(m_slotScroll, step, m_listing.atEnd);
    m_slotScroll = s.position;
    if (s.beepHz != 0) {
        QApplication::beep();
        return;
    }
    showListing();
}

void CgameControls::run(const Change& change) {
    m_frame.runSession(change);
}

void CgameControls::boxClicked(int column) {
    const Hex selected = m_doc.session().clickedHex();
    if (selected.onMap(m_doc.module()) && m_view != nullptr) m_view->redrawHex(selected);
    m_shownHex = {column, m_doc.game().combatBoxRow()};
    m_currentHex = m_shownHex;
    m_showingCarried = false;
    m_slotScroll = 1;
    if (column == kDefendBoxColumn) m_hexName->clear();
    showListing();
}

void CgameControls::boxDoubleClicked(int column) {
    run(m_doc.combat().boxDoubleClick({column, m_doc.game().combatBoxRow()}));
    showListing();
}

void CgameControls::releasePressed() {
    CombatSession& combat = m_doc.combat();
    if (m_doc.game().gameMode == GameMode::Movement) {
        showHelpPrompt(m_doc.settings(), m_doc.prompts(), prompt::kUndo);
        m_frame.runCommand(QStringLiteral("actionUndo"));
        return;
    }
    while (combat.releasePending()) {
        const Hex target = combat.releaseTarget();
        if (m_view != nullptr && m_view->isOutsideWindow(target)) m_view->centreOn(target);
        run(combat.releaseOne());
    }
    showListing();
}

void CgameControls::nextPressed() {
    run(m_doc.combat().combatStep());
    showListing();
}

void CgameControls::slotPressed(int n) {
    const SlotEntry& e = m_listing.units[static_cast<std::size_t>(n)];
    if (e.unit == 0 || m_showingCarried) return;
    const Change c = m_doc.session().pickOne(m_shownHex, e.unit);
    if (!c.ran) return;
    if (n == kSlotsShown - 1 && m_slotScroll > 1) --m_slotScroll;
    run(c);
    showListing();
}

void CgameControls::keyPressEvent(QKeyEvent* event) {
    if (m_view == nullptr) return;
    // The board's keys work while the panel has the focus; Escape closes nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
    QApplication::sendEvent(m_view, &copy);
    event->accept();
}

void CgameControls::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isVisible()) storePlace();
}

void CgameControls::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Where the window manager put the panel once it stands on the screen.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) storePlace();
    });
}

void CgameControls::storePlace() {
    // The stored position is the client origin's x and the y less 19.
    m_doc.settings().setPanelPosition(geometry().x(), geometry().y() - 19);
}

}  // namespace qmx
