#pragma once
// Draws the demo's map band: terrain in soft-edged areas that follow the
// hexes, the river along hex sides, the brook through hexes, roads, the
// railway and bridges, towns with their names, the hex grid with each hex's
// name from the module, and the title cartouche with the terrain key over the lake.

#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <vector>

#include "core/map/HexGeometry.h"
#include "tools/demo/DemoScenario.h"

namespace qmx::demo {

class MapPainter {
public:
    // `width` x `height` is the map band of the module (the blank map size);
    // the hex names printed on the map are those of `module`.
    MapPainter(const DemoScenario& scenario, const Module& module, int width, int height);

    QImage paint() const;

    // The centre of a hex and its outline, in map pixels.
    QPointF centre(Hex h) const;
    QPolygonF hexagon(Hex h) const;
    bool onMap(Hex h) const;
    std::vector<Hex> neighbours(Hex h) const;
    // The hexes a road or stream passes between waypoints, each next to the last.
    std::vector<Hex> hexPath(const std::vector<Hex>& waypoints) const;

private:
    struct Layer;
    Layer terrainLayer(const std::vector<Terrain>& kinds, double blur, double roughness,
                       unsigned seed) const;
    void drawBase(QImage& image) const;
    void drawHills(QImage& image) const;
    void drawWoods(QImage& image) const;
    void drawMarsh(QImage& image) const;
    void drawLake(QImage& image) const;
    void drawBrook(QImage& image) const;
    void drawRiver(QImage& image) const;
    void drawTowns(QImage& image) const;
    void drawRoads(QImage& image) const;
    void drawGrid(QImage& image) const;
    void drawLabels(QImage& image) const;
    void drawCartouche(QImage& image) const;

    std::vector<QPointF> riverLine() const;

    const DemoScenario& m_scenario;
    const Module& m_module;
    HexGeometry m_geometry;
    int m_width;
    int m_height;
};

}  // namespace qmx::demo
