#include "tools/demo/CounterPainter.h"

#include <QPainter>
#include <QPainterPath>

#include "tools/demo/PixelFont.h"

namespace qmx::demo {

namespace {

constexpr int kSize = 40;
// The branch symbol's frame: columns 9..30, rows 8..21.
constexpr double kBoxLeft = 9.5;
constexpr double kBoxTop = 8.5;
constexpr double kBoxRight = 30.5;
constexpr double kBoxBottom = 21.5;
constexpr int kEchelonTop = 2;
constexpr int kDesignationTop = 24;
constexpr int kValuesTop = 31;

void setPixel(QImage& image, int x, int y, QColor c) {
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height()) image.setPixel(x, y, c.rgb());
}

// A 5 x 5 cross, the sign of a brigade (two of them: a division).
void drawCross(QImage& image, int left, int top, QColor c) {
    for (int i = 0; i < 5; ++i) {
        setPixel(image, left + i, top + i, c);
        setPixel(image, left + 4 - i, top + i, c);
    }
}

}  // namespace

QImage CounterPainter::paint(const CounterSpec& unit) const {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(m_look.face);

    // The counter's edge: light at the top and left, dark at the bottom and
    // right, so that neighbouring counters stand apart on the map.
    const QColor light = m_look.face.lighter(135);
    const QColor dark = m_look.face.darker(190);
    for (int i = 0; i < kSize; ++i) {
        setPixel(image, i, 0, light);
        setPixel(image, 0, i, light);
        setPixel(image, i, kSize - 1, dark);
        setPixel(image, kSize - 1, i, dark);
    }

    if (unit.reduced) {
        // The reduced step: a band across the top, under the size sign.
        for (int y = 1; y <= 7; ++y)
            for (int x = 1; x < kSize - 1; ++x) setPixel(image, x, y, m_look.stripe);
        for (int x = 1; x < kSize - 1; ++x) setPixel(image, x, 7, m_look.stripe.darker(130));
    }

    drawEchelon(image, unit.echelon, kEchelonTop);
    drawSymbol(image, unit.branch);

    const int designationCentre = unit.branch == Branch::Headquarters ? 22 : 20;
    PixelFont::small().drawCentred(image, designationCentre, kDesignationTop, unit.designation,
                                   m_look.ink);

    const std::string values = std::to_string(unit.values[0]) + "-" +
                               std::to_string(unit.values[1]) + "-" +
                               std::to_string(unit.values[2]);
    PixelFont::bold().drawCentred(image, kSize / 2, kValuesTop, values, m_look.ink);
    return image;
}

void CounterPainter::drawEchelon(QImage& image, Echelon echelon, int top) const {
    auto bar = [&](int x) {
        for (int y = top; y < top + 5; ++y) setPixel(image, x, y, m_look.ink);
    };
    switch (echelon) {
        case Echelon::Company:
            bar(20);
            break;
        case Echelon::Battalion:
            bar(19), bar(21);
            break;
        case Echelon::Regiment:
            bar(18), bar(20), bar(22);
            break;
        case Echelon::Brigade:
            drawCross(image, 18, top, m_look.ink);
            break;
        case Echelon::Division:
            drawCross(image, 14, top, m_look.ink);
            drawCross(image, 21, top, m_look.ink);
            break;
    }
}

void CounterPainter::drawSymbol(QImage& image, Branch branch) const {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(m_look.ink, 1.0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);

    const QRectF box(QPointF(kBoxLeft, kBoxTop), QPointF(kBoxRight, kBoxBottom));
    const QPointF centre = box.center();
    auto oval = [&] { p.drawRoundedRect(QRectF(14.5, 11.5, 11, 7), 3.5, 3.5); };
    auto cross = [&] {
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.bottomLeft(), box.topRight());
    };
    auto slash = [&] { p.drawLine(box.bottomLeft(), box.topRight()); };
    auto dot = [&] {
        p.setBrush(m_look.ink);
        p.drawEllipse(centre, 2.3, 2.3);
        p.setBrush(Qt::NoBrush);
    };

    switch (branch) {
        case Branch::Infantry:
            cross();
            break;
        case Branch::Mechanized:
            cross(), oval();
            break;
        case Branch::Armour:
            oval();
            break;
        case Branch::Recon:
            slash();
            break;
        case Branch::ArmouredRecon:
            slash(), oval();
            break;
        case Branch::Artillery:
            dot();
            break;
        case Branch::SelfPropelled:
            dot(), oval();
            break;
        case Branch::Engineer: {
            const double y0 = 12.5, y1 = 17.5;
            p.drawLine(QPointF(13.5, y0), QPointF(26.5, y0));
            for (double x : {13.5, 20.0, 26.5}) p.drawLine(QPointF(x, y0), QPointF(x, y1));
            break;
        }
        case Branch::AntiTank:
            p.drawLine(box.bottomLeft(), QPointF(centre.x(), box.top()));
            p.drawLine(QPointF(centre.x(), box.top()), box.bottomRight());
            break;
        case Branch::Headquarters: {
            // The frame flies as a flag on a staff down its left side.
            QPen staff(m_look.ink, 2.0);
            staff.setCapStyle(Qt::FlatCap);
            p.setPen(staff);
            p.drawLine(QPointF(kBoxLeft, kBoxTop - 0.5), QPointF(kBoxLeft, 30.0));
            p.setPen(pen);
            p.end();
            PixelFont::small().drawCentred(image, 20, 12, "HQ", m_look.ink);
            p.begin(&image);
            p.setRenderHint(QPainter::Antialiasing, true);
            p.setPen(pen);
            break;
        }
    }
    // The frame last, so that the symbol's lines end cleanly on it.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(m_look.ink, 0));
    p.drawRect(QRect(9, 8, 21, 13));
}

}  // namespace qmx::demo
