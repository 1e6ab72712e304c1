#include "editor/CUnitEditorDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>

#include "editor/EditorDocument.h"

namespace qmx {

namespace {

constexpr int kButtonX = 532;
constexpr int kButtonWidth = 118;
constexpr int kButtonTop = 241;
constexpr int kButtonStep = 28;

// The pick cursor: a pipette whose tip, at the bottom left, is the hot spot.
const QCursor& pickCursor() {
    static const QCursor cursor = [] {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(2, 29, 18, 13);
        p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(2, 29, 18, 13);
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(23, 8), 5, 5);
        p.drawLine(14, 11, 21, 18);
        return QCursor(pixmap, 1, 30);
    }();
    return cursor;
}

// The fill cursor: a tipped bucket pouring from its lip, the hot spot.
const QCursor& fillCursor() {
    static const QCursor cursor = [] {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(17, 15);
        p.rotate(-35);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::white);
        p.drawRect(-7, -6, 14, 14);
        p.drawArc(-7, -13, 14, 12, 0, 180 * 16);
        p.resetTransform();
        QPainterPath drop;
        drop.moveTo(3, 20);
        drop.cubicTo(0, 26, 2, 30, 4, 30);
        drop.cubicTo(7, 30, 8, 26, 3, 20);
        p.setBrush(Qt::black);
        p.drawPath(drop);
        return QCursor(pixmap, 4, 30);
    }();
    return cursor;
}

}  // namespace

PainterColours& CUnitEditorDlg::colours() {
    static PainterColours colours;
    return colours;
}

CUnitEditorDlg::CUnitEditorDlg(EditorDocument& document, int current, QWidget* parent)
    : QDialog(parent),
      m_document(document),
      m_store(document),
      m_painter(m_store, document.firstShownImage, colours(), current) {
    setWindowTitle(QStringLiteral("Unit Editor"));
    setMouseTracking(true);
    build();
    changed();
}

QPushButton* CUnitEditorDlg::button(const QString& text) const {
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->text() == text) return b;
    }
    return nullptr;
}

void CUnitEditorDlg::build() {
    m_back = new QToolButton(this);
    m_back->setObjectName(QStringLiteral("stripBack"));
    m_back->setArrowType(Qt::LeftArrow);
    m_back->setGeometry(kStripArea.x, 156, 24, 22);
    m_forward = new QToolButton(this);
    m_forward->setObjectName(QStringLiteral("stripForward"));
    m_forward->setArrowType(Qt::RightArrow);
    m_forward->setGeometry(kStripArea.x + 26, 156, 24, 22);
    connect(m_back, &QToolButton::clicked, this, [this] {
        m_painter.spin(-1);
        changed();
    });
    connect(m_forward, &QToolButton::clicked, this, [this] {
        m_painter.spin(1);
        changed();
    });

    auto* numberLabel = new QLabel(QStringLiteral("Unit Number:"), this);
    numberLabel->setGeometry(kStripArea.x, 192, 90, 22);
    m_number = new QLineEdit(this);
    m_number->setObjectName(QStringLiteral("unitNumber"));
    m_number->setReadOnly(true);
    m_number->setGeometry(kStripArea.x + 92, 192, 60, 22);
    m_number->setToolTip(QStringLiteral("The number of the image being painted"));

    auto* swatchLabel = new QLabel(QStringLiteral("Click: pick colour"), this);
    swatchLabel->setGeometry(kSwatchArea.x - 10, kSwatchArea.y - 22, 110, 18);

    struct Button {
        const char* text;
        bool (UnitImagePainter::*act)();
    };
    const Button buttons[] = {
        {"FGnd <--> BGnd", &UnitImagePainter::swapForeBack},
        {"Fill", &UnitImagePainter::armFill},
        {"Border", &UnitImagePainter::border},
        {"Undo", &UnitImagePainter::undo},
        {"Copy", nullptr},
        {"Paste", &UnitImagePainter::paste},
    };
    int y = kButtonTop;
    for (const Button& b : buttons) {
        auto* push = new QPushButton(QString::fromLatin1(b.text), this);
        push->setGeometry(kButtonX, y, kButtonWidth, 26);
        push->setAutoDefault(false);
        y += kButtonStep;
        if (b.act) {
            connect(push, &QPushButton::clicked, this, [this, act = b.act] {
                (m_painter.*act)();
                changed();
            });
        } else {
            connect(push, &QPushButton::clicked, this, [this] { m_painter.copy(); });
        }
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(kButtonX, y + 6, kButtonWidth, 26);
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(kPainterWidth, kPainterHeight);
}

Qt::CursorShape CUnitEditorDlg::cursorShape() const {
    switch (m_painter.cursor()) {
        case PainterCursor::Pick:
        case PainterCursor::Fill:
            return Qt::BitmapCursor;
        default:
            return Qt::ArrowCursor;
    }
}

void CUnitEditorDlg::changed() {
    const PixelPicture s = m_painter.surface();
    m_shown = QImage(s.width(), s.height(), QImage::Format_RGB32);
    const Rgb* from = s.pixels().data();
    for (int y = 0; y < s.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_shown.scanLine(y));
        for (int x = 0; x < s.width(); ++x) line[x] = 0xFF000000u | *from++;
    }
    m_number->setText(QString::number(m_painter.currentImage()));
    switch (m_painter.cursor()) {
        case PainterCursor::Pick:
            setCursor(pickCursor());
            break;
        case PainterCursor::Fill:
            setCursor(fillCursor());
            break;
        default:
            unsetCursor();
            break;
    }
    update();
}

void CUnitEditorDlg::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, m_shown);
}

void CUnitEditorDlg::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    m_painter.press(at.x(), at.y(),
                    event->button() == Qt::LeftButton ? PainterButton::Left : PainterButton::Right);
    changed();
}

void CUnitEditorDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const PainterCursor before = m_painter.cursor();
    const bool repaint = m_painter.move(at.x(), at.y(), event->buttons().testFlag(Qt::LeftButton),
                                        event->buttons().testFlag(Qt::RightButton));
    if (repaint || m_painter.cursor() != before) changed();
}

void CUnitEditorDlg::mouseReleaseEvent(QMouseEvent*) {
    m_painter.release();
}

}  // namespace qmx
