#pragma once
// Paints the board: the map at a zoom, the top unit of every hex with its
// stack marker and facing indicator, the hex cursor, the terrain peek and the
// carried stack's picture. Everything is copied from the one module image
// with source and target rectangles; only the part of the window asked for
// is touched. The board view paints through it, and so do the benchmarks.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <optional>
#include <vector>

#include "core/game/GameState.h"
#include "core/map/HexGeometry.h"
#include "core/module/Module.h"
#include "graphics/ModuleGraphics.h"

class QPainter;

namespace qmx {

// What the view shows besides the game state.
struct BoardScene {
    float zoom = kDefaultZoom;
    PixelPoint scrollOrigin;          // map point at the window's top-left
    bool showTerrain = false;         // the map alone, no units
    bool combatHighlight = false;     // only the units of the replayed combat
    std::optional<Hex> cursor;        // the red hex cursor
    std::optional<Hex> peek;          // the hex whose bare map cell covers its units
    std::optional<QPoint> carriedAt;  // top-left of the carried stack's picture
    int carriedUnit = 0;              // the unit that picture shows; 0: the first carried
    std::optional<Hex> replayCursor;  // the replayed stack's cursor, drawn during a replay
    QColor facingColour{0, 0, 0};
    bool facingLines = false;
};

class BoardPainter {
public:
    // A painter waits for a picture still being decoded, unless it is
    // `progressive` (the board view): that one paints the rows decoded so far
    // and the light grey of a blank map for the others.
    BoardPainter(const Module& module, const ModuleGraphics& graphics, const GameState& state,
                 bool progressive = false);

    const HexGeometry& geometry() const { return m_geometry; }

    // Paints the window rectangle `area` (painter in window coordinates; the
    // painter may be scaled for a high-density screen).
    void paint(QPainter& painter, const QRect& area, const BoardScene& scene) const;

    // The map alone, with blank where the image has no map: the floor that
    // a full repaint is compared with.
    void paintMap(QPainter& painter, const QRect& area, float zoom, PixelPoint scrollOrigin) const;

    // The carried stack's picture (its first unit, or the scene's carriedUnit)
    // with its top-left at `at`.
    void paintCarried(QPainter& painter, QPoint at, const BoardScene& scene) const;

    // Window areas to redraw when something changes.
    QRect hexArea(Hex hex, float zoom, PixelPoint scrollOrigin) const;
    QRect cursorArea(Hex hex, float zoom, PixelPoint scrollOrigin) const;
    QRect carriedArea(QPoint at, float zoom) const;

    static QColor background() { return QColor(255, 255, 255); }

    // One unit's picture at zoom 1 as the board draws it: the step it shows
    // (shownStep) with its facing indicator. Null when it has no picture. The
    // panel's slots show units through it.
    static QImage unitPicture(const Module& module, const ModuleGraphics& graphics,
                              const GameState& state, int unit, const QColor& facingColour,
                              bool facingLines);

private:
    void paintUnits(QPainter& painter, const QRect& area, const BoardScene& scene) const;
    void paintUnit(QPainter& painter, PixelPoint pos, int unit, bool marker,
                   const BoardScene& scene) const;
    void paintCursor(QPainter& painter, Hex hex, const BoardScene& scene) const;
    // Copies a part of the map (map pixels) onto a window rectangle, leaving
    // out what lies outside the map band of the image.
    void drawMapPart(QPainter& painter, const QRectF& target, const QRectF& source) const;
    const QRect* unitSource(int image) const;
    // The unit pictures and the stack marker, each scaled once to its size on
    // the screen and kept in a small image of its own, so that a repaint
    // copies them without scaling and from compact memory. Rebuilt when the
    // zoom or the screen's pixel ratio changes; only pictures in use are made.
    void prepareTiles(QPainter& painter, float zoom) const;
    const QImage* unitTile(int image) const;
    const QImage* markerTile() const;

    const Module& m_module;
    const ModuleGraphics& m_graphics;
    const GameState& m_state;
    HexGeometry m_geometry;
    QRect m_mapBand;                                  // the map's part of the image
    std::optional<QRect> m_stackMarker;               // the marker's source, if the image holds it
    std::vector<std::optional<QRect>> m_unitSources;  // by image number; 0 unused

    struct Tiles {
        bool usable = false;  // the painter copies 1:1 onto device pixels
        float zoom = 0;
        qreal ratio = 0;            // device pixels per window pixel
        std::vector<QImage> units;  // by image number; null until first used
        QImage marker;
        qint64 bytes = 0;  // held by `units`
    };
    // More than a screenful of distinct pictures at the largest zoom on a
    // high-density screen; beyond it the tiles are dropped and made anew.
    static constexpr qint64 kTileCacheLimit = 64 * 1024 * 1024;
    mutable Tiles m_tiles;
};

}  // namespace qmx
