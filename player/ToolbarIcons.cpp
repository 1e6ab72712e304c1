#include "player/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>

namespace qmx {

namespace {

const QColor kInk(0x20, 0x28, 0x38);
const QColor kCounter(0xE8, 0xD8, 0xA8);  // a unit counter's face
const QColor kCounterEdge(0x6A, 0x55, 0x28);
const QColor kGreen(0x2E, 0x8B, 0x3A);
const QColor kRed(0xC8, 0x28, 0x28);
const QColor kBlue(0x2A, 0x5C, 0xB8);
const QColor kYellow(0xF2, 0xC2, 0x3A);

QPen pen(const QColor& c, qreal w = 1.5) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A square unit counter with a small symbol box, as on the board.
void counter(QPainter& p, QRectF r, const QColor& face = kCounter) {
    p.setPen(pen(kCounterEdge, 1.2));
    p.setBrush(face);
    p.drawRoundedRect(r, 1.5, 1.5);
    const QRectF box(r.x() + r.width() * 0.25, r.y() + r.height() * 0.22, r.width() * 0.5,
                     r.height() * 0.34);
    p.setPen(pen(kInk, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.bottomLeft(), box.topRight());
}

void arrowHead(QPainter& p, QPointF tip, qreal angleDeg, qreal size, const QColor& c) {
    const qreal a = angleDeg * M_PI / 180.0;
    const QPointF back(tip.x() - size * std::cos(a), tip.y() - size * std::sin(a));
    const QPointF side(-std::sin(a) * size * 0.6, std::cos(a) * size * 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(QPolygonF({tip, back + side, back - side}));
}

void straightArrow(QPainter& p, QPointF from, QPointF to, const QColor& c, qreal w = 2.0) {
    const qreal angle = std::atan2(to.y() - from.y(), to.x() - from.x()) * 180.0 / M_PI;
    const qreal len = std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF shaftEnd = to - (to - from) * (4.0 / len);
    p.setPen(pen(c, w));
    p.drawLine(from, shaftEnd);
    arrowHead(p, to, angle, 5.5, c);
}

QPolygonF hexagon(QPointF centre, qreal radius) {
    QPolygonF hex;
    for (int i = 0; i < 6; ++i) {
        const qreal a = (60.0 * i) * M_PI / 180.0;
        hex << QPointF(centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a));
    }
    return hex;
}

void die(QPainter& p, QRectF r, int pips, const QColor& face = Qt::white) {
    p.setPen(pen(kInk, 1.3));
    p.setBrush(face);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    const qreal d = r.width() / 4.0;
    auto pip = [&](qreal fx, qreal fy) {
        p.drawEllipse(QPointF(r.x() + r.width() * fx, r.y() + r.height() * fy), d * 0.42, d * 0.42);
    };
    if (pips % 2 == 1) pip(0.5, 0.5);
    if (pips >= 2) {
        pip(0.27, 0.27);
        pip(0.73, 0.73);
    }
    if (pips >= 4) {
        pip(0.73, 0.27);
        pip(0.27, 0.73);
    }
    if (pips == 6) {
        pip(0.27, 0.5);
        pip(0.73, 0.5);
    }
}

void card(QPainter& p, QRectF r, qreal angle, const QColor& back) {
    p.save();
    p.translate(r.center());
    p.rotate(angle);
    const QRectF c(-r.width() / 2, -r.height() / 2, r.width(), r.height());
    p.setPen(pen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(c, 1.8, 1.8);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(c.adjusted(2, 2, -2, -2), 1, 1);
    p.restore();
}

void eye(QPainter& p, QPointF c, qreal w, bool open) {
    QPainterPath lid;
    lid.moveTo(c.x() - w / 2, c.y());
    lid.quadTo(c.x(), c.y() - w * 0.55, c.x() + w / 2, c.y());
    lid.quadTo(c.x(), c.y() + w * 0.55, c.x() - w / 2, c.y());
    p.setPen(pen(kInk, 1.4));
    p.setBrush(Qt::white);
    p.drawPath(lid);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawEllipse(c, w * 0.17, w * 0.17);
    if (!open) {
        p.setPen(pen(kRed, 2.0));
        p.drawLine(QPointF(c.x() - w / 2, c.y() + w * 0.35),
                   QPointF(c.x() + w / 2, c.y() - w * 0.35));
    }
}

void text(QPainter& p, QRectF r, const QString& s, qreal pixelSize, const QColor& c = kInk) {
    QFont f = p.font();
    f.setPixelSize(static_cast<int>(pixelSize));
    f.setBold(true);
    f.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, Qt::AlignCenter, s);
}

// A path drawn as a line with an arrow head at its end, along its tangent.
void pathArrow(QPainter& p, const QPainterPath& path, const QColor& c, qreal width) {
    p.setPen(pen(c, width));
    p.setBrush(Qt::NoBrush);
    const qreal cut = 3.5 / path.length();
    QPainterPath shaft;
    const int steps = 24;
    for (int i = 0; i <= steps; ++i) {
        const QPointF pt = path.pointAtPercent((1.0 - cut) * i / steps);
        if (i == 0) {
            shaft.moveTo(pt);
        } else {
            shaft.lineTo(pt);
        }
    }
    p.drawPath(shaft);
    // angleAtPercent counts counter-clockwise with y up; the painter's y runs down.
    arrowHead(p, path.pointAtPercent(1.0), -path.angleAtPercent(1.0), 6.0, c);
}

void curvedArrow(QPainter& p, bool clockwise) {
    // An arc around a hex counter with the head at its end.
    p.setPen(pen(kInk, 1.2));
    p.setBrush(kCounter);
    p.drawPolygon(hexagon(QPointF(12, 12.5), 5.5));
    QPainterPath arc;
    const QRectF circle(2.5, 3, 19, 19);
    const qreal start = clockwise ? 200 : -20;
    const qreal span = clockwise ? -220 : 220;
    arc.arcMoveTo(circle, start);
    arc.arcTo(circle, start, span);
    pathArrow(p, arc, kBlue, 2.0);
}

void drawIcon(QPainter& p, ToolIcon icon) {
    switch (icon) {
        case ToolIcon::Load: {
            p.setPen(pen(QColor(0x9A, 0x72, 0x1C), 1.2));
            p.setBrush(QColor(0xE0, 0xAE, 0x3C));
            p.drawPolygon(QPolygonF({{2, 6}, {9, 6}, {11, 8}, {20, 8}, {20, 19}, {2, 19}}));
            p.setBrush(kYellow);
            p.drawPolygon(QPolygonF({{5, 11}, {23, 11}, {20, 19}, {2, 19}}));
            straightArrow(p, {15, 2}, {15, 10}, kGreen, 2.2);
            break;
        }
        case ToolIcon::Save: {
            p.setPen(pen(QColor(0x1A, 0x3A, 0x78), 1.2));
            p.setBrush(kBlue);
            p.drawPolygon(QPolygonF({{3, 3}, {18, 3}, {21, 6}, {21, 21}, {3, 21}}));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6, 3.5, 11, 6.5));
            p.setBrush(QColor(0xDD, 0xE4, 0xF0));
            p.drawRect(QRectF(6, 13, 12, 8));
            p.setPen(Qt::NoPen);
            p.setBrush(kInk);
            p.drawRect(QRectF(13, 4.5, 2.5, 4.5));
            break;
        }
        case ToolIcon::SendMail: {
            // an envelope with a small arrow going out
            p.setPen(pen(QColor(0x5A, 0x4A, 0x20), 1.2));
            p.setBrush(QColor(0xF4, 0xEC, 0xD0));
            p.drawRect(QRectF(2.5, 6.5, 16, 12));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(QPolygonF({{2.5, 6.5}, {10.5, 13}, {18.5, 6.5}}));
            straightArrow(p, {14, 4}, {23, 4}, kGreen, 2.0);
            break;
        }
        case ToolIcon::MoveMode:
            counter(p, QRectF(2, 7, 11, 11));
            straightArrow(p, {12, 12.5}, {23, 12.5}, kGreen, 2.4);
            break;
        case ToolIcon::CombatMode: {
            // two crossed swords
            for (int side = 0; side < 2; ++side) {
                p.save();
                p.translate(12, 12);
                p.rotate(side == 0 ? 45 : -45);
                p.setPen(pen(QColor(0x70, 0x78, 0x88), 1.0));
                p.setBrush(QColor(0xD8, 0xDE, 0xE8));
                p.drawPolygon(QPolygonF({{-1.6, -10}, {0, -12}, {1.6, -10}, {1.6, 4}, {-1.6, 4}}));
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0x8A, 0x5A, 0x1E));
                p.drawRect(QRectF(-4.5, 4, 9, 2));
                p.drawRect(QRectF(-1.2, 6, 2.4, 5));
                p.restore();
            }
            break;
        }
        case ToolIcon::OneByOne:
            p.setPen(pen(kRed, 1.2));
            p.setBrush(QColor(0xFB, 0xE4, 0xE4));
            p.drawRoundedRect(QRectF(1.5, 4, 21, 16), 3, 3);
            text(p, QRectF(0, 3, 24, 18), QStringLiteral("1:1"), 11, kRed);
            break;
        case ToolIcon::PreDeclare: {
            // a list with a pencil: combats written down for later
            p.setPen(pen(kInk, 1.2));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3, 3, 14, 18));
            p.setPen(pen(kInk, 1.3));
            for (int y : {8, 12, 16}) p.drawLine(QPointF(6, y), QPointF(14, y));
            p.save();
            p.translate(17, 14);
            p.rotate(40);
            p.setPen(pen(kInk, 0.9));
            p.setBrush(kYellow);
            p.drawRect(QRectF(-2, -9, 4, 12));
            p.setBrush(kCounter);
            p.drawPolygon(QPolygonF({{-2, 3}, {2, 3}, {0, 7}}));
            p.restore();
            break;
        }
        case ToolIcon::ResolveDeclared:
            p.setPen(pen(kInk, 1.2));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3, 3, 14, 18));
            p.setPen(pen(kInk, 1.3));
            for (int y : {8, 12, 16}) p.drawLine(QPointF(6, y), QPointF(14, y));
            p.setPen(pen(kGreen, 2.8));
            p.drawPolyline(QPolygonF({{11, 14}, {15, 19}, {22, 8}}));
            break;
        case ToolIcon::ThrowDice:
            die(p, QRectF(2, 8, 12, 12), 3);
            die(p, QRectF(11, 3, 11, 11), 5, QColor(0xFF, 0xEE, 0xEE));
            break;
        case ToolIcon::DefineDice:
            die(p, QRectF(2, 2, 13, 13), 6);
            p.setPen(pen(kBlue, 1.2));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(11, 11, 12, 12));
            text(p, QRectF(11, 11, 12, 12), QStringLiteral("?"), 10, kBlue);
            break;
        case ToolIcon::Comment: {
            QPainterPath bubble;
            bubble.addRoundedRect(QRectF(2, 3, 20, 13), 4, 4);
            bubble.moveTo(6, 15);
            bubble.lineTo(5, 21);
            bubble.lineTo(11, 15.5);
            p.setPen(pen(kInk, 1.3));
            p.setBrush(QColor(0xFF, 0xFB, 0xD8));
            p.drawPath(bubble.simplified());
            p.setPen(pen(kInk, 1.2));
            p.drawLine(QPointF(6, 7.5), QPointF(18, 7.5));
            p.drawLine(QPointF(6, 11.5), QPointF(15, 11.5));
            break;
        }
        case ToolIcon::StepReplay:
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF({{5, 5}, {16, 12}, {5, 19}}));
            p.drawRect(QRectF(17, 5, 3, 14));
            break;
        case ToolIcon::ContinuousReplay:
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF({{2, 5}, {12, 12}, {2, 19}}));
            p.drawPolygon(QPolygonF({{12, 5}, {22, 12}, {12, 19}}));
            break;
        case ToolIcon::PauseReplay:
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawRect(QRectF(6, 5, 4, 14));
            p.drawRect(QRectF(14, 5, 4, 14));
            break;
        case ToolIcon::StopReplay:
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawRoundedRect(QRectF(5.5, 5.5, 13, 13), 1.5, 1.5);
            break;
        case ToolIcon::ResetRecorder: {
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            p.drawEllipse(QPointF(12, 12.5), 3.8, 3.8);
            QPainterPath arc;
            const QRectF circle(3, 3.5, 18, 18);
            arc.arcMoveTo(circle, 60);
            arc.arcTo(circle, 60, 280);
            pathArrow(p, arc, kInk, 2.0);
            break;
        }
        case ToolIcon::RotateLeft:
            curvedArrow(p, false);
            break;
        case ToolIcon::RotateRight:
            curvedArrow(p, true);
            break;
        case ToolIcon::StepIncrease:
            counter(p, QRectF(2, 6, 13, 13));
            straightArrow(p, {19, 21}, {19, 3}, kGreen, 2.4);
            break;
        case ToolIcon::StepDecrease:
            counter(p, QRectF(2, 6, 13, 13));
            straightArrow(p, {19, 3}, {19, 21}, kRed, 2.4);
            break;
        case ToolIcon::HideUnits:
            counter(p, QRectF(2, 2, 14, 14), QColor(0xB0, 0xB0, 0xB0));
            eye(p, QPointF(15, 17), 14, false);
            break;
        case ToolIcon::HideUnitId:
            p.setPen(pen(kCounterEdge, 1.2));
            p.setBrush(kCounter);
            p.drawRoundedRect(QRectF(2, 2, 15, 15), 1.5, 1.5);
            text(p, QRectF(2, 2, 15, 15), QStringLiteral("?"), 13, kInk);
            eye(p, QPointF(15, 17), 14, false);
            break;
        case ToolIcon::UnhideUnits:
            counter(p, QRectF(2, 2, 14, 14));
            eye(p, QPointF(15, 17), 14, true);
            break;
        case ToolIcon::ShowTerrain: {
            p.setPen(pen(QColor(0x3C, 0x6E, 0x2E), 1.2));
            p.setBrush(QColor(0x9C, 0xCC, 0x6C));
            p.drawPolygon(hexagon(QPointF(12, 12), 10.5));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x5A, 0x8C, 0x3A));
            p.drawPolygon(QPolygonF({{4, 16}, {9, 8}, {13, 14}, {16, 10}, {21, 16}}));
            p.setBrush(QColor(0x4A, 0x90, 0xD8));
            p.drawEllipse(QRectF(8, 15, 8, 3.5));
            break;
        }
        case ToolIcon::ShowUnits:
            counter(p, QRectF(8, 2, 13, 13), QColor(0xC8, 0xDC, 0xF0));
            counter(p, QRectF(3, 9, 13, 13));
            break;
        case ToolIcon::DealCard:
            card(p, QRectF(3, 4, 11, 16), -8, kBlue);
            straightArrow(p, {12, 12}, {23, 12}, kGreen, 2.4);
            break;
        case ToolIcon::ViewCards:
            card(p, QRectF(4, 5, 11, 16), -18, kRed);
            card(p, QRectF(7, 4, 11, 16), 0, kBlue);
            card(p, QRectF(10, 5, 11, 16), 18, kGreen);
            break;
        case ToolIcon::Help:
            p.setPen(pen(kBlue, 1.5));
            p.setBrush(QColor(0xE4, 0xEE, 0xFC));
            p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
            text(p, QRectF(2.5, 2.5, 19, 19), QStringLiteral("?"), 15, kBlue);
            break;
    }
}

}  // namespace

QPixmap renderToolIcon(ToolIcon icon, int logicalSize, qreal dpr) {
    const int physical = static_cast<int>(std::lround(logicalSize * dpr));
    QPixmap pixmap(physical, physical);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(static_cast<qreal>(physical) / kToolIconGrid,
            static_cast<qreal>(physical) / kToolIconGrid);
    drawIcon(p, icon);
    p.end();
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

QIcon toolbarIcon(ToolIcon icon) {
    QIcon result;
    for (int size : {16, 24}) {
        for (qreal dpr : {1.0, 2.0}) result.addPixmap(renderToolIcon(icon, size, dpr));
    }
    return result;
}

QIcon programIcon() {
    QIcon result;
    for (int size : {16, 32, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 24.0, size / 24.0);
        p.setPen(pen(QColor(0x3C, 0x6E, 0x2E), 1.0));
        p.setBrush(QColor(0x9C, 0xCC, 0x6C));
        p.drawPolygon(hexagon(QPointF(12, 12), 11.5));
        counter(p, QRectF(6.5, 6.5, 11, 11));
        p.end();
        result.addPixmap(pixmap);
    }
    return result;
}

}  // namespace qmx
