#include "tools/demo/MapPainter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>

#include "tools/demo/PixelFont.h"

namespace qmx::demo {

namespace {

// ---- colours ------------------------------------------------------------------

const QColor kClear(226, 228, 190);
const QColor kHill(222, 198, 150);
const QColor kHighHill(204, 172, 122);
const QColor kHillLine(150, 112, 70);
const QColor kWoods(152, 188, 110);
const QColor kWoodsEdge(84, 124, 62);
const QColor kTreeFill(106, 150, 80);
const QColor kTreeRim(74, 112, 56);
const QColor kTreeLight(172, 208, 130);
const QColor kMarsh(206, 222, 198);
const QColor kMarshTuft(70, 120, 104);
const QColor kWater(156, 198, 232);
const QColor kWaterDark(54, 100, 166);
const QColor kWaterLight(118, 172, 228);
const QColor kBuiltUp(220, 206, 188);
const QColor kBuiltUpEdge(160, 138, 116);
const QColor kPrimaryCasing(70, 28, 20);
const QColor kPrimary(214, 70, 48);
const QColor kSecondaryCasing(96, 70, 42);
const QColor kSecondary(242, 222, 160);
const QColor kRail(30, 30, 30);
const QColor kGrid(80, 80, 68);
const QColor kInk(36, 36, 30);
const QColor kParchment(244, 236, 212);
const QColor kFrame(92, 66, 40);

// ---- deterministic noise ------------------------------------------------------

float lattice(int ix, int iy, unsigned seed) {
    std::uint32_t h = static_cast<std::uint32_t>(ix) * 0x27d4eb2du ^
                      static_cast<std::uint32_t>(iy) * 0x165667b1u ^ seed * 0x9e3779b9u;
    h ^= h >> 15;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / 16777216.0f;
}

float valueNoise(float x, float y, unsigned seed) {
    const int ix = static_cast<int>(std::floor(x));
    const int iy = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(ix);
    float fy = y - static_cast<float>(iy);
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const float a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const float c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// Three octaves, 0..1, features of about 26 pixels down to 4.
float fractal(float x, float y, unsigned seed) {
    return 0.6f * valueNoise(x / 26.0f, y / 26.0f, seed) +
           0.3f * valueNoise(x / 11.0f, y / 11.0f, seed + 1) +
           0.1f * valueNoise(x / 4.0f, y / 4.0f, seed + 2);
}

// A small deterministic generator for scattering buildings and trees.
class Scatter {
public:
    explicit Scatter(unsigned seed) : m_state(seed * 2654435761u + 1) {}
    double next() {  // 0..1
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<double>(m_state >> 8) / 16777216.0;
    }
    double between(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    std::uint32_t m_state;
};

// ---- pixels -------------------------------------------------------------------

void blendPixel(QRgb& px, const QColor& c, float a) {
    if (a <= 0) return;
    if (a > 1) a = 1;
    const float b = 1 - a;
    px = qRgb(static_cast<int>(qRed(px) * b + c.red() * a + 0.5f),
              static_cast<int>(qGreen(px) * b + c.green() * a + 0.5f),
              static_cast<int>(qBlue(px) * b + c.blue() * a + 0.5f));
}

// Box blur along rows and columns, three passes: close to a Gaussian.
void blur(std::vector<float>& v, int w, int h, int radius) {
    if (radius < 1) return;
    std::vector<float> tmp(v.size());
    auto pass = [&](std::vector<float>& src, std::vector<float>& dst, int n, int lines, int stride,
                    int step) {
        for (int line = 0; line < lines; ++line) {
            const std::size_t base =
                static_cast<std::size_t>(line) * static_cast<std::size_t>(stride);
            auto at = [&](int i) {
                i = std::clamp(i, 0, n - 1);
                return src[base + static_cast<std::size_t>(i) * static_cast<std::size_t>(step)];
            };
            float sum = 0;
            for (int i = -radius; i <= radius; ++i) sum += at(i);
            for (int i = 0; i < n; ++i) {
                dst[base + static_cast<std::size_t>(i) * static_cast<std::size_t>(step)] =
                    sum / static_cast<float>(2 * radius + 1);
                sum += at(i + radius + 1) - at(i - radius);
            }
        }
    };
    for (int k = 0; k < 3; ++k) {
        pass(v, tmp, w, h, w, 1);  // rows
        pass(tmp, v, h, w, 1, w);  // columns
    }
}

QPainterPath smoothPath(const std::vector<QPointF>& pts, double rounding) {
    QPainterPath path;
    if (pts.empty()) return path;
    path.moveTo(pts.front());
    for (std::size_t i = 1; i + 1 < pts.size(); ++i) {
        const QPointF p = pts[i];
        path.lineTo(p + (pts[i - 1] - p) * rounding);
        path.quadTo(p, p + (pts[i + 1] - p) * rounding);
    }
    if (pts.size() > 1) path.lineTo(pts.back());
    return path;
}

QPen pen(const QColor& c, double width, Qt::PenCapStyle cap = Qt::RoundCap) {
    QPen p(c, width);
    p.setCapStyle(cap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

// A text with a light halo, centred on a point.
void haloText(QPainter& p, const QPointF& centre, const QString& text, const QFont& font,
              const QColor& ink, double angleDegrees = 0) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    p.save();
    p.translate(centre);
    p.rotate(angleDegrees);
    p.translate(-box.center());
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(QColor(250, 248, 236, 220), 3.0));
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(path);
    p.restore();
}

QFont labelFont(int pixels, bool bold, bool italic, bool serif = false) {
    QFont f(serif ? "DejaVu Serif" : "DejaVu Sans");
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

}  // namespace

// ---- terrain layers -------------------------------------------------------------

// A soft-edged area: `t` is the blurred, roughened membership of every pixel;
// a level of 0.5 follows the hex outlines with ragged, rounded edges.
struct MapPainter::Layer {
    int width = 0;
    int height = 0;
    std::vector<float> t;
    static constexpr float kSharpness = 6.0f;

    float value(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return t[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(x)];
    }
    // Coverage above a level, with an edge about two pixels soft.
    float cover(int x, int y, float level = 0.5f) const {
        return std::clamp((value(x, y) - level) * kSharpness * 4 + 0.5f, 0.0f, 1.0f);
    }
    // A line along a level, about 1.5 pixels wide.
    float line(int x, int y, float level) const {
        return std::clamp(1.0f - std::abs(value(x, y) - level) * kSharpness * 2.4f, 0.0f, 1.0f);
    }
};

MapPainter::MapPainter(const DemoScenario& scenario, const Module& module, int width, int height)
    : m_scenario(scenario),
      m_module(module),
      m_geometry(GridOrientation::RowsAligned, scenario.columns, scenario.rows),
      m_width(width),
      m_height(height) {}

bool MapPainter::onMap(Hex h) const {
    return h.column >= 1 && h.column <= m_scenario.columns && h.row >= 1 &&
           h.row <= m_scenario.rows;
}

QPointF MapPainter::centre(Hex h) const {
    const PixelPoint o = m_geometry.cellOrigin({h.column, h.row});
    return {o.x + 25.5, o.y + 28.5};
}

// The hexagon of a cell: 50 pixels wide, pointed top and bottom, sides from
// 14 to 43 pixels below the cell's top; neighbouring hexagons share sides.
QPolygonF MapPainter::hexagon(Hex h) const {
    const PixelPoint o = m_geometry.cellOrigin({h.column, h.row});
    const double x = o.x, y = o.y;
    return QPolygonF({{x + 25.5, y + 1},
                      {x + 50.5, y + 14},
                      {x + 50.5, y + 43},
                      {x + 25.5, y + 56},
                      {x + 0.5, y + 43},
                      {x + 0.5, y + 14}});
}

std::vector<Hex> MapPainter::neighbours(Hex h) const {
    // Odd rows stand half a hex to the right.
    std::vector<Hex> out;
    for (const Hex& n : qmx::neighbours(h, GridOrientation::RowsAligned))
        if (onMap(n)) out.push_back(n);
    return out;
}

std::vector<Hex> MapPainter::hexPath(const std::vector<Hex>& waypoints) const {
    // Between waypoints: diagonally towards the target's row, keeping as close
    // to its column as the grid allows, then straight along the row. Legs so
    // made bend once instead of wavering between two rows.
    std::vector<Hex> path;
    for (const Hex& target : waypoints) {
        if (path.empty()) {
            path.push_back(target);
            continue;
        }
        const double tx = centre(target).x();
        for (int guard = 0; guard < 4 * (m_scenario.columns + m_scenario.rows); ++guard) {
            const Hex cur = path.back();
            if (cur == target) break;
            Hex next = cur;
            if (cur.row == target.row) {
                next.column += target.column > cur.column ? 1 : -1;
            } else {
                double best = 1e18;
                for (const Hex& n : neighbours(cur)) {
                    if (n.row != cur.row + (target.row > cur.row ? 1 : -1)) continue;
                    const double d = std::abs(centre(n).x() - tx);
                    if (d < best) best = d, next = n;
                }
            }
            path.push_back(next);
        }
    }
    return path;
}

MapPainter::Layer MapPainter::terrainLayer(const std::vector<Terrain>& kinds, double blurRadius,
                                           double roughness, unsigned seed) const {
    QImage mask(m_width, m_height, QImage::Format_Grayscale8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        for (int r = 1; r <= m_scenario.rows; ++r)
            for (int c = 1; c <= m_scenario.columns; ++c)
                if (std::find(kinds.begin(), kinds.end(), m_scenario.terrainAt({c, r})) !=
                    kinds.end())
                    p.drawPolygon(hexagon({c, r}));
    }
    Layer layer;
    layer.width = m_width;
    layer.height = m_height;
    layer.t.resize(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        const uchar* line = mask.constScanLine(y);
        for (int x = 0; x < m_width; ++x)
            layer.t[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                    static_cast<std::size_t>(x)] = line[x] / 255.0f;
    }
    blur(layer.t, m_width, m_height, static_cast<int>(blurRadius));
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) {
            float& v = layer.t[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                               static_cast<std::size_t>(x)];
            v += static_cast<float>(roughness) *
                 (fractal(static_cast<float>(x), static_cast<float>(y), seed) - 0.5f);
        }
    return layer;
}

// ---- drawing ------------------------------------------------------------------

QImage MapPainter::paint() const {
    QImage image(m_width, m_height, QImage::Format_RGB32);
    drawBase(image);
    drawMarsh(image);
    drawHills(image);
    drawWoods(image);
    drawLake(image);
    drawTowns(image);
    drawBrook(image);
    drawRiver(image);
    drawRoads(image);
    drawGrid(image);
    drawLabels(image);
    drawCartouche(image);
    return image;
}

void MapPainter::drawBase(QImage& image) const {
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            const float n =
                fractal(static_cast<float>(x) * 0.7f, static_cast<float>(y) * 0.7f, 3) - 0.5f;
            const float grain = lattice(x, y, 5) - 0.5f;
            const int shade = static_cast<int>(n * 16 + grain * 5);
            line[x] = qRgb(std::clamp(kClear.red() + shade, 0, 255),
                           std::clamp(kClear.green() + shade, 0, 255),
                           std::clamp(kClear.blue() + shade - 2, 0, 255));
        }
    }
}

void MapPainter::drawHills(QImage& image) const {
    const Layer hills = terrainLayer({Terrain::Hills, Terrain::HighHills}, 5, 0.45, 11);
    const Layer high = terrainLayer({Terrain::HighHills}, 5, 0.45, 13);
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            blendPixel(line[x], kHill, hills.cover(x, y));
            blendPixel(line[x], kHighHill, high.cover(x, y));
            // Contour lines: the edge of each level and one between.
            blendPixel(line[x], kHillLine, hills.line(x, y, 0.5f) * 0.9f);
            blendPixel(line[x], kHillLine, hills.line(x, y, 0.82f) * 0.45f);
            blendPixel(line[x], kHillLine, high.line(x, y, 0.5f) * 0.9f);
            blendPixel(line[x], kHillLine, high.line(x, y, 0.85f) * 0.45f);
        }
    }
}

void MapPainter::drawWoods(QImage& image) const {
    const Layer woods = terrainLayer({Terrain::Woods}, 4, 0.5, 21);
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            blendPixel(line[x], kWoods, woods.cover(x, y));
            blendPixel(line[x], kWoodsEdge, woods.line(x, y, 0.5f));
        }
    }
    // Tree crowns on a jittered grid, drawn top to bottom so they overlap
    // like a canopy seen from above.
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    constexpr int kStep = 7;
    for (int gy = 0; gy * kStep < m_height + kStep; ++gy)
        for (int gx = 0; gx * kStep < m_width + kStep; ++gx) {
            const double x = gx * kStep + (gy % 2) * 3.5 + (lattice(gx, gy, 71) - 0.5) * 4;
            const double y = gy * kStep + (lattice(gx, gy, 72) - 0.5) * 4;
            if (woods.value(static_cast<int>(x), static_cast<int>(y)) < 0.6f) continue;
            const double r = 3.0 + lattice(gx, gy, 73) * 1.2;
            p.setPen(pen(kTreeRim, 0.8));
            p.setBrush(kTreeFill);
            p.drawEllipse(QPointF(x, y), r, r);
            p.setPen(Qt::NoPen);
            p.setBrush(kTreeLight);
            p.drawEllipse(QPointF(x - r * 0.35, y - r * 0.35), r * 0.38, r * 0.38);
        }
}

void MapPainter::drawMarsh(QImage& image) const {
    const Layer marsh = terrainLayer({Terrain::Marsh}, 4, 0.5, 31);
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) blendPixel(line[x], kMarsh, marsh.cover(x, y));
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    constexpr int kStep = 10;
    for (int gy = 0; gy * kStep < m_height; ++gy)
        for (int gx = 0; gx * kStep < m_width; ++gx) {
            const double x = gx * kStep + (gy % 2) * 5 + (lattice(gx, gy, 81) - 0.5) * 4;
            const double y = gy * kStep + (lattice(gx, gy, 82) - 0.5) * 3;
            if (marsh.value(static_cast<int>(x), static_cast<int>(y)) < 0.65f) continue;
            p.setPen(pen(kWaterLight.darker(115), 1.0, Qt::FlatCap));
            p.drawLine(QPointF(x - 4, y + 1.5), QPointF(x + 4, y + 1.5));
            p.setPen(pen(kMarshTuft, 0.9));
            p.drawLine(QPointF(x, y + 1), QPointF(x - 2.2, y - 3));
            p.drawLine(QPointF(x, y + 1), QPointF(x, y - 4));
            p.drawLine(QPointF(x, y + 1), QPointF(x + 2.2, y - 3));
        }
}

void MapPainter::drawLake(QImage& image) const {
    const Layer lake = terrainLayer({Terrain::Lake}, 7, 0.3, 41);
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            blendPixel(line[x], kWater, lake.cover(x, y));
            blendPixel(line[x], kWaterLight, lake.line(x, y, 0.72f) * 0.8f);
            blendPixel(line[x], kWaterDark, lake.line(x, y, 0.5f));
        }
    }
}

void MapPainter::drawBrook(QImage& image) const {
    const std::vector<Hex> hexes = hexPath(m_scenario.brook);
    std::vector<QPointF> pts;
    for (std::size_t i = 0; i < hexes.size(); ++i) {
        QPointF c = centre(hexes[i]);
        if (i > 0)
            c += QPointF((lattice(hexes[i].column, hexes[i].row, 91) - 0.5) * 16,
                         (lattice(hexes[i].column, hexes[i].row, 92) - 0.5) * 14);
        pts.push_back(c);
    }
    // The brook ends where it meets the river, on the side to the west bank.
    for (const Hex& n : neighbours(hexes.back()))
        if (m_scenario.westOfRiver(n) && n.row == hexes.back().row) {
            pts.push_back((centre(n) + centre(hexes.back())) / 2);
            break;
        }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPainterPath path = smoothPath(pts, 0.5);
    p.setPen(pen(kWaterDark, 3.6));
    p.drawPath(path);
    p.setPen(pen(kWaterLight, 1.8));
    p.drawPath(path);
}

std::vector<QPointF> MapPainter::riverLine() const {
    // Every side between a hex west of the river and one east of it.
    auto key = [](QPointF p) { return std::pair{std::lround(p.x() * 2), std::lround(p.y() * 2)}; };
    std::map<std::pair<long, long>, std::vector<std::pair<long, long>>> links;
    std::map<std::pair<long, long>, QPointF> points;
    for (int r = 1; r <= m_scenario.rows; ++r)
        for (int c = 1; c <= m_scenario.columns; ++c) {
            const Hex a{c, r};
            if (!m_scenario.westOfRiver(a)) continue;
            const QPolygonF pa = hexagon(a);
            for (const Hex& b : neighbours(a)) {
                if (m_scenario.westOfRiver(b)) continue;
                const QPolygonF pb = hexagon(b);
                std::vector<QPointF> shared;
                for (const QPointF& u : pa)
                    for (const QPointF& v : pb)
                        if (std::abs(u.x() - v.x()) < 1.5 && std::abs(u.y() - v.y()) < 1.5)
                            shared.push_back(u);
                if (shared.size() != 2) continue;
                const auto k0 = key(shared[0]), k1 = key(shared[1]);
                points[k0] = shared[0];
                points[k1] = shared[1];
                links[k0].push_back(k1);
                links[k1].push_back(k0);
            }
        }
    // Walk the chain from its top end.
    std::pair<long, long> start{};
    double top = 1e18;
    for (const auto& [k, l] : links)
        if (l.size() == 1 && points[k].y() < top) top = points[k].y(), start = k;
    std::vector<QPointF> chain;
    if (top == 1e18) return chain;
    std::pair<long, long> prev{-1, -1}, cur = start;
    for (std::size_t guard = 0; guard <= links.size(); ++guard) {
        chain.push_back(points[cur]);
        const auto& l = links[cur];
        auto next = std::find_if(l.begin(), l.end(), [&](const auto& k) { return k != prev; });
        if (next == l.end()) break;
        prev = cur;
        cur = *next;
    }
    // Out to the map's edges.
    chain.insert(chain.begin(), QPointF(chain.front().x() - 4, -6));
    chain.push_back(QPointF(chain.back().x() + 4, m_height + 6));
    return chain;
}

void MapPainter::drawRiver(QImage& image) const {
    const QPainterPath path = smoothPath(riverLine(), 0.32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(pen(kWaterDark, 8.5));
    p.drawPath(path);
    p.setPen(pen(kWaterLight, 5.5));
    p.drawPath(path);
}

void MapPainter::drawTowns(QImage& image) const {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int r = 1; r <= m_scenario.rows; ++r)
        for (int c = 1; c <= m_scenario.columns; ++c) {
            const Terrain t = m_scenario.terrainAt({c, r});
            if (t != Terrain::Town && t != Terrain::City) continue;
            const bool city = t == Terrain::City;
            const QPointF mid = centre({c, r});
            Scatter rnd(static_cast<unsigned>(c * 100 + r));

            // The built-up area.
            QPolygonF area;
            const double radius = city ? 26 : 17;
            for (int i = 0; i < 14; ++i) {
                const double a = 2 * std::numbers::pi * i / 14;
                const double rr = radius * rnd.between(0.82, 1.08);
                area << mid + QPointF(std::cos(a) * rr, std::sin(a) * rr * (city ? 0.95 : 0.9));
            }
            p.setPen(pen(kBuiltUpEdge, 1.0));
            p.setBrush(kBuiltUp);
            p.drawPolygon(area);

            // Buildings: blocks along a street grid in a city, a scatter in a town.
            const QColor roofs[] = {QColor(170, 76, 62), QColor(150, 98, 82), QColor(124, 116, 108),
                                    QColor(182, 96, 70)};
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(pen(QColor(70, 48, 40), 0, Qt::SquareCap));
            if (city) {
                for (int by = -20; by <= 16; by += 9)
                    for (int bx = -22; bx <= 16; bx += 9) {
                        const QPointF at = mid + QPointF(bx, by);
                        if (std::hypot(bx + 3, by + 3) > 21 || rnd.next() < 0.15) continue;
                        p.setBrush(roofs[static_cast<int>(rnd.next() * 4) % 4]);
                        p.drawRect(QRect(static_cast<int>(at.x()), static_cast<int>(at.y()),
                                         5 + static_cast<int>(rnd.next() * 2.5),
                                         5 + static_cast<int>(rnd.next() * 2)));
                    }
            } else {
                for (int i = 0; i < 12; ++i) {
                    const double a = rnd.between(0, 2 * std::numbers::pi);
                    const double d = rnd.between(2, 12);
                    const QPointF at =
                        mid + QPointF(std::cos(a) * d - 2, std::sin(a) * d * 0.85 - 2);
                    p.setBrush(roofs[static_cast<int>(rnd.next() * 4) % 4]);
                    p.drawRect(QRect(static_cast<int>(at.x()), static_cast<int>(at.y()),
                                     3 + static_cast<int>(rnd.next() * 3),
                                     3 + static_cast<int>(rnd.next() * 2)));
                }
            }
            p.setRenderHint(QPainter::Antialiasing, true);
        }
}

void MapPainter::drawRoads(QImage& image) const {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    auto bridges = [&](const std::vector<Hex>& hexes, double width) {
        for (std::size_t i = 1; i < hexes.size(); ++i) {
            if (m_scenario.westOfRiver(hexes[i - 1]) == m_scenario.westOfRiver(hexes[i])) continue;
            const QPointF a = centre(hexes[i - 1]), b = centre(hexes[i]);
            const QPointF mid = (a + b) / 2;
            const double angle = std::atan2(b.y() - a.y(), b.x() - a.x()) * 180 / std::numbers::pi;
            p.save();
            p.translate(mid);
            p.rotate(angle);
            p.setPen(pen(QColor(50, 50, 50), 1.2, Qt::FlatCap));
            p.setBrush(QColor(206, 202, 192));
            p.drawRect(QRectF(-11, -width / 2, 22, width));
            // Wing walls at the four corners.
            for (double sx : {-11.0, 11.0})
                for (double sy : {-width / 2, width / 2})
                    p.drawLine(QPointF(sx, sy),
                               QPointF(sx + (sx < 0 ? -3 : 3), sy + (sy < 0 ? -3 : 3)));
            p.restore();
        }
    };
    // A road that ends in an edge hex runs on off the map.
    auto offMap = [&](Hex h, QPointF point) {
        if (h.column == 1) point.setX(-6);
        if (h.column == m_scenario.columns) point.setX(m_width + 6);
        if (h.row == 1) point.setY(-6);
        if (h.row == m_scenario.rows) point.setY(m_height + 6);
        return point;
    };
    auto route = [&](const Road& road) {
        const std::vector<Hex> hexes = hexPath(road.waypoints);
        std::vector<QPointF> pts;
        for (const Hex& h : hexes) pts.push_back(centre(h));
        if (pts.size() > 1) {
            const QPointF first = offMap(hexes.front(), pts.front());
            const QPointF last = offMap(hexes.back(), pts.back());
            if (first != pts.front()) pts.insert(pts.begin(), first);
            if (last != pts.back()) pts.push_back(last);
        }
        return smoothPath(pts, 0.5);
    };

    // Bridges first, then the roads over them: tracks, railway, main road.
    for (const Road& road : m_scenario.roads)
        bridges(hexPath(road.waypoints), road.kind == RoadKind::Primary ? 11 : 9);
    for (const Road& road : m_scenario.roads) {
        if (road.kind != RoadKind::Secondary) continue;
        const QPainterPath path = route(road);
        p.setPen(pen(kSecondaryCasing, 3.6));
        p.drawPath(path);
        p.setPen(pen(kSecondary, 1.8));
        p.drawPath(path);
    }
    for (const Road& road : m_scenario.roads) {
        if (road.kind != RoadKind::Railway) continue;
        const QPainterPath path = route(road);
        QPen ties = pen(kRail, 6.0, Qt::FlatCap);
        ties.setDashPattern({0.25, 1.1});
        p.setPen(ties);
        p.drawPath(path);
        p.setPen(pen(kRail, 1.8));
        p.drawPath(path);
    }
    for (const Road& road : m_scenario.roads) {
        if (road.kind != RoadKind::Primary) continue;
        const QPainterPath path = route(road);
        p.setPen(pen(kPrimaryCasing, 5.4));
        p.drawPath(path);
        p.setPen(pen(kPrimary, 3.4));
        p.drawPath(path);
    }
}

void MapPainter::drawGrid(QImage& image) const {
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(pen(kGrid, 1.0));
        p.setBrush(Qt::NoBrush);
        for (int r = 1; r <= m_scenario.rows; ++r)
            for (int c = 1; c <= m_scenario.columns; ++c) p.drawPolygon(hexagon({c, r}));
    }
    // The hex's name, at the top of each hex.
    for (int r = 1; r <= m_scenario.rows; ++r)
        for (int c = 1; c <= m_scenario.columns; ++c) {
            const PixelPoint o = m_geometry.cellOrigin({c, r});
            const std::string& name = m_module.hex(c, r).name;
            const QColor ink = m_scenario.terrainAt({c, r}) == Terrain::Lake ? kWaterDark : kInk;
            PixelFont::small().drawCentred(image, o.x + 26, o.y + 7, name, ink);
        }
}

void MapPainter::drawLabels(QImage& image) const {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const Town& town : m_scenario.towns) {
        const bool city = m_scenario.terrainAt(town.hex) == Terrain::City;
        const QPointF at = centre(town.hex) + QPointF(town.labelDx, town.labelDy);
        haloText(p, at, QString::fromStdString(town.name), labelFont(city ? 12 : 10, true, false),
                 kInk);
    }
    // Water names, in blue italics.
    haloText(p, centre({16, 7}) + QPointF(2, 19), "Vardan River", labelFont(11, false, true),
             kWaterDark);
    haloText(p, centre({29, 21}) + QPointF(0, 19), "Lake Ostra", labelFont(11, false, true),
             kWaterDark);
}

void MapPainter::drawCartouche(QImage& image) const {
    const QRectF box(1312, 902, 316, 134);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(box.translated(3, 3));
    p.setBrush(kParchment);
    p.setPen(pen(kFrame, 2.0, Qt::SquareCap));
    p.drawRect(box);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(kFrame, 0.8, Qt::SquareCap));
    p.drawRect(box.adjusted(4, 4, -4, -4));

    p.setPen(kInk);
    p.setFont(labelFont(24, true, false, true));
    p.drawText(QRectF(box.left(), box.top() + 8, box.width(), 28), Qt::AlignCenter,
               QString::fromStdString(m_scenario.title));
    p.setFont(labelFont(10, false, true));
    p.drawText(QRectF(box.left(), box.top() + 36, box.width(), 14), Qt::AlignCenter,
               "A QMX demonstration module");
    p.setPen(pen(kFrame, 0.8, Qt::FlatCap));
    p.drawLine(QPointF(box.left() + 16, box.top() + 54), QPointF(box.right() - 16, box.top() + 54));

    // The terrain key: three columns of three.
    const QFont keyFont = labelFont(10, false, false);
    auto entry = [&](int col, int row, const char* label, auto&& swatch) {
        const QRectF s(box.left() + 14 + col * 100, box.top() + 62 + row * 18, 24, 12);
        p.save();
        p.setClipRect(s.adjusted(-2, -2, 2, 2));
        swatch(s);
        p.restore();
        p.setPen(kInk);
        p.setFont(keyFont);
        p.drawText(QPointF(s.right() + 6, s.bottom() - 1), label);
    };
    auto filled = [&](const QColor& fill, const QColor& edge) {
        return [&, fill, edge](const QRectF& s) {
            p.setPen(pen(edge, 1.0, Qt::SquareCap));
            p.setBrush(fill);
            p.drawRect(s);
        };
    };
    entry(0, 0, "Clear", filled(kClear, kGrid));
    entry(0, 1, "Woods", [&](const QRectF& s) {
        filled(kWoods, kWoodsEdge)(s);
        for (double x : {5.0, 12.0, 19.0}) {
            p.setPen(pen(kTreeRim, 0.8));
            p.setBrush(kTreeFill);
            p.drawEllipse(QPointF(s.left() + x, s.center().y() + (x == 12.0 ? -1 : 1)), 3.4, 3.4);
        }
    });
    entry(0, 2, "Hills", [&](const QRectF& s) {
        filled(kHill, kHillLine)(s);
        p.setBrush(kHighHill);
        p.setPen(pen(kHillLine, 0.9));
        p.drawEllipse(s.center(), 7, 3.5);
    });
    entry(1, 0, "Marsh", [&](const QRectF& s) {
        filled(kMarsh, kGrid)(s);
        p.setPen(pen(kMarshTuft, 0.9));
        for (double x : {7.0, 17.0}) {
            const QPointF b(s.left() + x, s.bottom() - 3);
            p.drawLine(b, b + QPointF(-2, -5));
            p.drawLine(b, b + QPointF(0, -6));
            p.drawLine(b, b + QPointF(2, -5));
        }
    });
    entry(1, 1, "Lake", filled(kWater, kWaterDark));
    entry(1, 2, "Town", [&](const QRectF& s) {
        filled(kBuiltUp, kBuiltUpEdge)(s);
        p.setPen(pen(QColor(70, 48, 40), 0.8, Qt::SquareCap));
        p.setBrush(QColor(170, 76, 62));
        p.drawRect(QRectF(s.left() + 5, s.top() + 3, 5, 5));
        p.drawRect(QRectF(s.left() + 14, s.top() + 5, 5, 4));
    });
    auto lineSwatch = [&](std::initializer_list<std::pair<QColor, double>> pens) {
        return [&, pens](const QRectF& s) {
            for (const auto& [colour, width] : pens) {
                p.setPen(pen(colour, width, Qt::FlatCap));
                p.drawLine(QPointF(s.left(), s.center().y()), QPointF(s.right(), s.center().y()));
            }
        };
    };
    entry(2, 0, "River", lineSwatch({{kWaterDark, 8.0}, {kWaterLight, 5.0}}));
    entry(2, 1, "Road / track", [&](const QRectF& s) {
        p.setPen(pen(kPrimaryCasing, 5.0, Qt::FlatCap));
        p.drawLine(QPointF(s.left(), s.top() + 3), QPointF(s.right(), s.top() + 3));
        p.setPen(pen(kPrimary, 3.0, Qt::FlatCap));
        p.drawLine(QPointF(s.left(), s.top() + 3), QPointF(s.right(), s.top() + 3));
        p.setPen(pen(kSecondaryCasing, 3.4, Qt::FlatCap));
        p.drawLine(QPointF(s.left(), s.bottom() - 2), QPointF(s.right(), s.bottom() - 2));
        p.setPen(pen(kSecondary, 1.6, Qt::FlatCap));
        p.drawLine(QPointF(s.left(), s.bottom() - 2), QPointF(s.right(), s.bottom() - 2));
    });
    entry(2, 2, "Railway", [&](const QRectF& s) {
        QPen ties = pen(kRail, 6.0, Qt::FlatCap);
        ties.setDashPattern({0.25, 1.1});
        p.setPen(ties);
        p.drawLine(QPointF(s.left(), s.center().y()), QPointF(s.right(), s.center().y()));
        p.setPen(pen(kRail, 1.8, Qt::FlatCap));
        p.drawLine(QPointF(s.left(), s.center().y()), QPointF(s.right(), s.center().y()));
    });

    // Scale: one hex is two kilometres.
    const double left = box.left() + 18, y = box.bottom() - 16;
    p.setFont(labelFont(9, false, false));
    for (int i = 0; i < 4; ++i) {
        p.setPen(pen(kInk, 0.8, Qt::SquareCap));
        p.setBrush(i % 2 ? kParchment : kInk);
        p.drawRect(QRectF(left + i * 25, y, 25, 4));
        p.drawText(QPointF(left + i * 25 - 2, y + 13), QString::number(i * 2));
    }
    p.drawText(QPointF(left + 100 - 2, y + 13), "8 km");
    p.setFont(labelFont(10, false, false));
    p.drawText(QRectF(left + 130, y - 4, box.right() - left - 144, 16),
               Qt::AlignRight | Qt::AlignVCenter, "One hex = 2 km");
}

}  // namespace qmx::demo
