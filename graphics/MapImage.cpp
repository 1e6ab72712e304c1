#include "graphics/MapImage.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <unordered_set>

#include "core/map/MapPicture.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/ModuleGraphics.h"
#include "graphics/QtText.h"

namespace qmx {

namespace {

// The outline of a hex whose cell origin is at `at`.
QPolygon hexOutline(GridOrientation orientation, QPoint at) {
    QPolygon outline;
    for (const PixelPoint p : hexOutlineCorners(orientation)) outline << at + QPoint(p.x, p.y);
    return outline;
}

QPoint cellOrigin(const Module& module, int column, int row) {
    const PixelPoint p = hexPicturePosition(module, column, row);
    return {p.x, p.y - module.mapTop};
}

}  // namespace

QImage mapTemplate(const Module& module, bool names, const QImage* over) {
    const PixelPoint size = blankMapSize(module.columns, module.rows, module.orientation);
    QImage out(size.x, size.y, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    if (over && !over->isNull() && module.mapTop < over->height())
        p.drawImage(QPoint(0, 0), *over,
                    QRect(0, module.mapTop, over->width(), over->height() - module.mapTop));
    p.setPen(QPen(QColor(64, 64, 64), 1));
    for (int r = 1; r <= module.rows; ++r)
        for (int c = 1; c <= module.columns; ++c)
            p.drawPolygon(hexOutline(module.orientation, cellOrigin(module, c, r)));
    if (names) drawHexNames(p, module, {0, 0}, out.rect(), duplicateHexNames(module));
    return out;
}

void drawHexNames(QPainter& painter, const Module& module, QPoint origin, const QRect& clip,
                  const std::vector<DuplicateHexName>& duplicates) {
    std::unordered_set<std::size_t> twice;
    for (const DuplicateHexName& d : duplicates)
        for (const Hex h : d.hexes) twice.insert(module.hexIndex(h.column, h.row));
    const bool rows = module.orientation == GridOrientation::RowsAligned;
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.save();
    painter.setFont(font);
    painter.setBrush(Qt::NoBrush);
    // Only the hexes the clip meets: the first and last column and row with
    // a margin of one for the half-hex shift.
    const int hp = rows ? 50 : 42, vp = rows ? 42 : 50;
    const QRect map = clip.translated(-origin);
    const int c0 = std::max(1, map.left() / hp - 1),
              c1 = std::min(module.columns, map.right() / hp + 2);
    const int r0 = std::max(1, map.top() / vp - 1),
              r1 = std::min(module.rows, map.bottom() / vp + 2);
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c) {
            const std::size_t index = module.hexIndex(c, r);
            if (index >= module.hexes.size()) continue;
            const QPoint at = origin + cellOrigin(module, c, r);
            const bool duplicate = twice.count(index) > 0;
            // The top of the hex: the band under the upper point (rows
            // aligned) or under the flat top.
            const QRect band = rows ? QRect(at.x() + 4, at.y() + 13, 44, 12)
                                    : QRect(at.x() + 8, at.y() + 3, 40, 12);
            if (duplicate) {
                painter.setPen(QPen(Qt::red, 2));
                painter.drawPolygon(hexOutline(module.orientation, at));
            }
            const QString name = fromBytes(module.hexes[index].name);
            if (name.trimmed().isEmpty()) continue;
            // A light halo keeps the name readable on any map.
            painter.setPen(QColor(255, 255, 255, 200));
            for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
                painter.drawText(band.translated(d), Qt::AlignCenter, name);
            painter.setPen(duplicate ? QColor(Qt::red) : QColor(Qt::black));
            painter.drawText(band, Qt::AlignCenter, name);
        }
    }
    painter.restore();
}

QImage withMapPicture(const Module& module, const QImage& current, const QImage& map, QSize gridMap,
                      QSize oldOverview, QSize overview) {
    const int top = module.mapTop;
    const int cells = kSheetLeft + kCellSize * module.imagesPerRow + 1;
    const int width = std::max({map.width(), cells, gridMap.width()});
    QImage out(width, top + std::max(map.height(), gridMap.height()), QImage::Format_RGB32);
    out.fill(QColor::fromRgb(kBlankMapColour));
    QPainter p(&out);
    p.drawImage(QPoint(0, 0), current, QRect(0, 0, std::min(current.width(), width), top));
    p.drawImage(QPoint(0, top), map);
    if (!oldOverview.isEmpty())
        p.fillRect(QRect(QPoint(0, 0), oldOverview).intersected(QRect(0, 0, 144, 100)),
                   QColor::fromRgb(kBlankMapColour));
    if (!overview.isEmpty() && !map.isNull())
        p.drawImage(QPoint(0, 0),
                    map.scaled(overview, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return out;
}

}  // namespace qmx
