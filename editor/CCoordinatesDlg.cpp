#include "editor/CCoordinatesDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "core/map/CoordinateNaming.h"

namespace qmx {

void CSystemSpinBox::stepBy(int steps) {
    // The up arrow counts up: its step is subtracted as -1.
    setValue(coordinateSystemAfterArrow(value(), -steps));
}

namespace {
constexpr int kSampleTop = 70;
constexpr int kHexWidth = 60;
constexpr int kHexHeight = 52;
}  // namespace

CCoordinatesDlg::CCoordinatesDlg(GridOrientation orientation, QWidget* parent)
    : QDialog(parent), m_orientation(orientation) {
    setWindowTitle(QStringLiteral("Automatic Coordinates"));
    setObjectName(QStringLiteral("AutomaticCoordinates"));
    auto* instruction = new QLabel(
        QStringLiteral("Use the arrow buttons to choose the coordinate system to use on your "
                       "map.  Press OK when you have the system you want."),
        this);
    instruction->setWordWrap(true);
    instruction->setGeometry(10, 10, 330, 50);

    m_description = new QLabel(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setWordWrap(true);
    m_description->setGeometry(10, 200, 330, 36);

    m_system = new CSystemSpinBox(this);
    m_system->setObjectName(QStringLiteral("system"));
    m_system->setRange(1, 99);
    m_system->setWrapping(false);
    m_system->setValue(1);
    m_system->setGeometry(250, 100, 70, 26);
    connect(m_system, &QSpinBox::valueChanged, this, [this] { showSystem(); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setGeometry(10, 244, 330, 32);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setFixedSize(350, 286);
    showSystem();
}

int CCoordinatesDlg::system() const {
    return m_system->value();
}

QString CCoordinatesDlg::sampleLabel(int hex) const {
    return hex >= 1 && hex <= 3 ? m_labels[hex - 1] : QString();
}

QString CCoordinatesDlg::description() const {
    return m_description->text();
}

void CCoordinatesDlg::showSystem() {
    const CoordinateSample& s = coordinateSample(m_system->value());
    m_labels[0] = QString::fromLatin1(s.hex1.data(), static_cast<int>(s.hex1.size()));
    m_labels[1] = QString::fromLatin1(s.hex2.data(), static_cast<int>(s.hex2.size()));
    m_labels[2] = QString::fromLatin1(s.hex3.data(), static_cast<int>(s.hex3.size()));
    m_description->setText(
        QString::fromLatin1(s.description.data(), static_cast<int>(s.description.size())));
    update();
}

QRect CCoordinatesDlg::sampleHex(int hex) const {
    // Rows aligned: HEX1 and HEX2 side by side, HEX3 below between them.
    // Columns aligned: HEX2 above HEX1, HEX3 in the next column between them.
    const int x0 = 40;
    const int y0 = kSampleTop;
    if (m_orientation == GridOrientation::RowsAligned) {
        switch (hex) {
            case 1:
                return {x0, y0, kHexWidth, kHexHeight};
            case 2:
                return {x0 + kHexWidth, y0, kHexWidth, kHexHeight};
            default:
                return {x0 + kHexWidth / 2, y0 + kHexHeight * 3 / 4, kHexWidth, kHexHeight};
        }
    }
    switch (hex) {
        case 1:
            return {x0, y0 + kHexWidth, kHexHeight, kHexWidth};
        case 2:
            return {x0, y0, kHexHeight, kHexWidth};
        default:
            return {x0 + kHexHeight * 3 / 4, y0 + kHexWidth / 2, kHexHeight, kHexWidth};
    }
}

void CCoordinatesDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    for (int hex = 1; hex <= 3; ++hex) {
        const QRectF r = sampleHex(hex);
        QPolygonF shape;
        if (m_orientation == GridOrientation::RowsAligned) {
            // Pointed top and bottom.
            shape << QPointF(r.center().x(), r.top())
                  << QPointF(r.right(), r.top() + r.height() / 4)
                  << QPointF(r.right(), r.bottom() - r.height() / 4)
                  << QPointF(r.center().x(), r.bottom())
                  << QPointF(r.left(), r.bottom() - r.height() / 4)
                  << QPointF(r.left(), r.top() + r.height() / 4);
        } else {
            shape << QPointF(r.left(), r.center().y()) << QPointF(r.left() + r.width() / 4, r.top())
                  << QPointF(r.right() - r.width() / 4, r.top())
                  << QPointF(r.right(), r.center().y())
                  << QPointF(r.right() - r.width() / 4, r.bottom())
                  << QPointF(r.left() + r.width() / 4, r.bottom());
        }
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(236, 226, 190));
        p.drawPolygon(shape);
        p.drawText(r, Qt::AlignCenter, m_labels[hex - 1]);
    }
}

}  // namespace qmx
