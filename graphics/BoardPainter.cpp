#include "graphics/BoardPainter.h"

#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QTransform>
#include <cmath>

#include "core/game/HexPicture.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

namespace {

// The facing dot (a 3-pixel pen from (px, py) to (px + 1, py): a small blob)
// and, when asked, the line from it to the unit's centre.
void paintFacing(QPainter& painter, const UnitLayout& layout, const QColor& colour, bool lines) {
    if (!layout.facingDot) return;
    const PixelPoint d = *layout.facingDot;
    painter.fillRect(QRect(d.x - 1, d.y - 1, 3 + 1, 3), colour);
    if (lines) {
        painter.setPen(QPen(colour, 1, Qt::SolidLine));
        painter.drawLine(QPoint(d.x, d.y), QPoint(layout.centre.x, layout.centre.y));
    }
}

QRect toQRect(const PixelRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

}  // namespace

BoardPainter::BoardPainter(const Module& module, const ModuleGraphics& graphics,
                           const GameState& state, bool progressive)
    : m_module(module), m_graphics(graphics), m_state(state), m_geometry(module) {
    if (!progressive) graphics.waitComplete();
    m_mapBand = graphics.mapRect(module);
    const QRect marker = toQRect(kStackMarker);
    const int sheetBottom = std::min<int>(module.mapTop, graphics.size().height());
    if (!graphics.isNull() && QRect(0, 0, graphics.size().width(), sheetBottom).contains(marker))
        m_stackMarker = marker;
    // Where every unit image lies, checked once against the image.
    m_unitSources.resize(static_cast<std::size_t>(module.imageCapacity()) + 1);
    for (int k = 1; k <= module.imageCapacity(); ++k)
        m_unitSources[static_cast<std::size_t>(k)] = graphics.unitImageSource(module, k);
}

const QRect* BoardPainter::unitSource(int image) const {
    if (image < 1 || static_cast<std::size_t>(image) >= m_unitSources.size()) return nullptr;
    const auto& source = m_unitSources[static_cast<std::size_t>(image)];
    return source ? &*source : nullptr;
}

void BoardPainter::prepareTiles(QPainter& painter, float zoom) const {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const QTransform t = painter.deviceTransform();
    // Tiles serve a painter that only scales by the pixel ratio and moves.
    m_tiles.usable = t.type() <= QTransform::TxScale && qFuzzyCompare(t.m11(), ratio) &&
                     qFuzzyCompare(t.m22(), ratio);
    if (m_tiles.zoom == zoom && m_tiles.ratio == ratio) return;
    m_tiles.zoom = zoom;
    m_tiles.ratio = ratio;
    m_tiles.units.assign(m_unitSources.size(), QImage());
    m_tiles.marker = QImage();
    m_tiles.bytes = 0;
}

namespace {

// `source` of the module image scaled to `size` window pixels square, at the
// screen's pixel ratio; null while its rows are still being decoded.
QImage makeTile(const ModuleGraphics& graphics, const QRect& source, int size, qreal ratio) {
    const int device = static_cast<int>(std::lround(size * ratio));
    if (device <= 0 || !graphics.rowsReady({source.top(), source.bottom() + 1})) return QImage();
    QImage tile = graphics.imageSoFar().copy(source).scaled(device, device, Qt::IgnoreAspectRatio,
                                                            Qt::FastTransformation);
    tile.setDevicePixelRatio(ratio);
    return tile;
}

}  // namespace

const QImage* BoardPainter::unitTile(int image) const {
    const QRect* source = unitSource(image);
    if (!source) return nullptr;
    QImage& tile = m_tiles.units[static_cast<std::size_t>(image)];
    if (tile.isNull()) {
        QImage made =
            makeTile(m_graphics, *source, zoomed(kUnitImageSize, m_tiles.zoom), m_tiles.ratio);
        if (made.isNull()) return nullptr;
        if (m_tiles.bytes + made.sizeInBytes() > kTileCacheLimit) {
            for (QImage& t : m_tiles.units) t = QImage();
            m_tiles.bytes = 0;
        }
        m_tiles.bytes += made.sizeInBytes();
        tile = std::move(made);
    }
    return &tile;
}

const QImage* BoardPainter::markerTile() const {
    if (!m_stackMarker) return nullptr;
    if (m_tiles.marker.isNull())
        m_tiles.marker =
            makeTile(m_graphics, *m_stackMarker, zoomed(43, m_tiles.zoom) - zoomed(2, m_tiles.zoom),
                     m_tiles.ratio);
    return m_tiles.marker.isNull() ? nullptr : &m_tiles.marker;
}

void BoardPainter::drawMapPart(QPainter& painter, const QRectF& target,
                               const QRectF& source) const {
    if (m_mapBand.isEmpty() || source.isEmpty() || target.isEmpty()) return;
    const QRectF band(0, 0, m_mapBand.width(), m_mapBand.height());
    const QRectF inside = source.intersected(band);
    if (inside.isEmpty()) return;
    // Keep the scale of the whole copy for the part that exists.
    const double sx = target.width() / source.width();
    const double sy = target.height() / source.height();
    const QRectF t(target.x() + (inside.x() - source.x()) * sx,
                   target.y() + (inside.y() - source.y()) * sy, inside.width() * sx,
                   inside.height() * sy);
    const QRectF from = inside.translated(0, m_mapBand.y());
    const QImage& image = m_graphics.imageSoFar();
    if (!m_graphics.decoding()) {
        painter.drawImage(t, image, from);
        return;
    }
    // While the map is decoded: the light grey of a blank map, and over it
    // each run of decoded rows, drawn from an image of those rows alone so
    // that no row still being written is read.
    painter.fillRect(t, QColor::fromRgb(kBlankMapColour));
    for (const RowSpan& run : m_graphics.readyRows()) {
        const double top = std::max<double>(from.top(), run.begin);
        const double bottom = std::min<double>(from.bottom(), run.end);
        if (bottom <= top) continue;
        const QImage rows(image.constScanLine(run.begin), image.width(), run.end - run.begin,
                          image.bytesPerLine(), image.format());
        painter.drawImage(
            QRectF(t.x(), t.y() + (top - from.y()) * sy, t.width(), (bottom - top) * sy), rows,
            QRectF(from.x(), top - run.begin, from.width(), bottom - top));
    }
}

void BoardPainter::paintMap(QPainter& painter, const QRect& area, float zoom,
                            PixelPoint scrollOrigin) const {
    const double z = zoom;
    // The map is stretched over the scroll extent from the window's corner;
    // what the image does not hold stays blank.
    const PixelPoint extent = m_geometry.scrollExtent(zoom);
    QRect covered(0, 0, extent.x, extent.y);
    if (!m_mapBand.isEmpty()) {
        const double w = (m_mapBand.width() - scrollOrigin.x) * z;
        const double h = (m_mapBand.height() - scrollOrigin.y) * z;
        covered &= QRect(0, 0, std::max(0, static_cast<int>(std::ceil(w))),
                         std::max(0, static_cast<int>(std::ceil(h))));
    } else {
        covered = QRect();
    }
    const QRect target = covered & area;
    if (!target.isEmpty()) {
        const QRectF source(scrollOrigin.x + target.x() / z, scrollOrigin.y + target.y() / z,
                            target.width() / z, target.height() / z);
        drawMapPart(painter, QRectF(target), source);
    }
    const QRegion blank = QRegion(area) - QRegion(target);
    for (const QRect& r : blank) painter.fillRect(r, background());
}

void BoardPainter::paint(QPainter& painter, const QRect& area, const BoardScene& scene) const {
    painter.save();
    painter.setClipRect(area);
    prepareTiles(painter, scene.zoom);
    paintMap(painter, area, scene.zoom, scene.scrollOrigin);
    if (!scene.showTerrain) paintUnits(painter, area, scene);
    if (scene.peek && m_geometry.onMap(*scene.peek)) {
        const CellBox box = cellBox(m_geometry, *scene.peek, scene.zoom, scene.scrollOrigin);
        const QRect t = toQRect(box.target);
        if (t.intersects(area)) {
            // a part of the cell beyond the map band stays blank
            painter.fillRect(t, background());
            drawMapPart(painter, QRectF(t), QRectF(toQRect(box.source)));
        }
    }
    if (scene.cursor && m_geometry.onMap(*scene.cursor)) paintCursor(painter, *scene.cursor, scene);
    if (scene.replayCursor && m_geometry.onMap(*scene.replayCursor))
        paintCursor(painter, *scene.replayCursor, scene);
    if (scene.carriedAt) paintCarried(painter, *scene.carriedAt, scene);
    painter.restore();
}

void BoardPainter::paintUnits(QPainter& painter, const QRect& area, const BoardScene& scene) const {
    const PixelRect a{area.x(), area.y(), area.width(), area.height()};
    const HexRange range = hexesTouching(m_geometry, a, scene.zoom, scene.scrollOrigin);
    if (range.empty()) return;
    auto drawHex = [&](int c, int r) {
        const PixelPoint pos =
            m_geometry.unitWindowPosition({c, r}, scene.zoom, scene.scrollOrigin);
        if (!toQRect(unitPictureArea(pos, scene.zoom)).intersects(area)) return;
        const HexPicture picture = hexPicture(m_state, {c, r}, scene.combatHighlight);
        if (picture.unit != 0) paintUnit(painter, pos, picture.unit, picture.stackMarker, scene);
    };
    // Later hexes overlap earlier ones: row by row when rows are aligned,
    // column by column when columns are.
    if (m_geometry.rowsAligned()) {
        for (int r = range.firstRow; r <= range.lastRow; ++r)
            for (int c = range.firstColumn; c <= range.lastColumn; ++c) drawHex(c, r);
    } else {
        for (int c = range.firstColumn; c <= range.lastColumn; ++c)
            for (int r = range.firstRow; r <= range.lastRow; ++r) drawHex(c, r);
    }
}

void BoardPainter::paintUnit(QPainter& painter, PixelPoint pos, int unit, bool marker,
                             const BoardScene& scene) const {
    // The sheet is decoded before the board shows.
    const QImage& image = m_graphics.imageSoFar();
    const UnitLayout layout = unitLayout(pos, scene.zoom, m_state.unit(unit).facing);
    const int k = shownImage(m_module, m_state, unit);
    if (m_tiles.usable && m_tiles.zoom == scene.zoom) {
        if (marker) {
            if (const QImage* tile = markerTile())
                painter.drawImage(QPoint(layout.marker.x, layout.marker.y), *tile);
        }
        if (const QImage* tile = unitTile(k)) painter.drawImage(QPoint(pos.x, pos.y), *tile);
    } else {
        if (marker && m_stackMarker)
            painter.drawImage(toQRect(layout.marker), image, *m_stackMarker);
        const QRect* source = unitSource(k);
        if (source && m_graphics.rowsReady({source->top(), source->bottom() + 1}))
            painter.drawImage(toQRect(layout.image), image, *source);
    }
    paintFacing(painter, layout, scene.facingColour, scene.facingLines);
}

QImage BoardPainter::unitPicture(const Module& module, const ModuleGraphics& graphics,
                                 const GameState& state, int unit, const QColor& facingColour,
                                 bool facingLines) {
    if (!state.isUnit(unit)) return {};
    QImage picture = graphics.unitImage(module, shownImage(module, state, unit));
    if (picture.isNull()) return {};
    const UnitLayout layout = unitLayout({0, 0}, 1.0f, state.unit(unit).facing);
    if (layout.facingDot) {
        picture = picture.convertToFormat(QImage::Format_RGB32);
        QPainter p(&picture);
        paintFacing(p, layout, facingColour, facingLines);
    }
    return picture;
}

void BoardPainter::paintCursor(QPainter& painter, Hex hex, const BoardScene& scene) const {
    const auto points = m_geometry.outline(hex, scene.zoom, scene.scrollOrigin);
    QPoint path[7];
    for (std::size_t i = 0; i < points.size(); ++i) path[i] = QPoint(points[i].x, points[i].y);
    QPen pen(QColor(255, 0, 0), cursorPenWidth(scene.zoom), Qt::SolidLine, Qt::SquareCap,
             Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(path, 7);
}

void BoardPainter::paintCarried(QPainter& painter, QPoint at, const BoardScene& scene) const {
    const int unit = scene.carriedUnit != 0 ? scene.carriedUnit : m_state.carriedStack;
    if (!m_state.isUnit(unit)) return;
    prepareTiles(painter, scene.zoom);
    paintUnit(painter, PixelPoint{at.x(), at.y()}, unit, false, scene);
}

QRect BoardPainter::hexArea(Hex hex, float zoom, PixelPoint scrollOrigin) const {
    const PixelPoint pos = m_geometry.unitWindowPosition(hex, zoom, scrollOrigin);
    const CellBox box = cellBox(m_geometry, hex, zoom, scrollOrigin);
    return toQRect(unitPictureArea(pos, zoom)) | toQRect(box.target);
}

QRect BoardPainter::cursorArea(Hex hex, float zoom, PixelPoint scrollOrigin) const {
    return toQRect(qmx::cursorArea(m_geometry, hex, zoom, scrollOrigin));
}

QRect BoardPainter::carriedArea(QPoint at, float zoom) const {
    return toQRect(unitPictureArea({at.x(), at.y()}, zoom));
}

}  // namespace qmx
