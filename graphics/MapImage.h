#pragma once
// The map picture on its own, for the designer's paint program and back: the
// template of the module's hex grid, the hex names drawn over a map, and a
// picture of the map alone put under the module's unit picture band.

#include <QImage>
#include <QRect>
#include <vector>

#include "core/edit/EditorFiles.h"
#include "core/module/Module.h"

class QPainter;

namespace qmx {

// The map area of the module's grid (its blank map size) with every hex
// outlined; over white, or over the module's own map picture when `over` is
// given (the image holding the sheet and the map). With `names`, each hex's
// name is written in it, duplicated names in red.
QImage mapTemplate(const Module& module, bool names, const QImage* over = nullptr);

// Writes each hex's name near the top of its hex. `origin` is where map
// point (0, 0) lands on the painter; only hexes meeting `clip` (in the
// painter's coordinates) are drawn. Hexes whose name is duplicated are
// ringed and named in red.
void drawHexNames(QPainter& painter, const Module& module, QPoint origin, const QRect& clip,
                  const std::vector<DuplicateHexName>& duplicates);

// The module image with `map` as its map picture: the unit picture band
// (rows 0 .. MapTop - 1) is kept whole and the map starts at row MapTop. The
// map area is at least `gridMap` (the grid's blank map) and the image at
// least as wide as the band's cells need; the rest is the blank grey. The overview at the band's
// top left is drawn again at `overview`'s size from the new map, over the old one.
QImage withMapPicture(const Module& module, const QImage& current, const QImage& map, QSize gridMap,
                      QSize oldOverview, QSize overview);

}  // namespace qmx
