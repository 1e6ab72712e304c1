#include "core/map/MapTools.h"

namespace qmx {

void MapTools::setColours(Pixel foreground, Pixel background) {
    m_foreground = foreground;
    m_background = background;
}

MapToolResult MapTools::setMode(EditMode mode) {
    MapToolResult r;
    m_names.setMode(mode);
    if (mode == EditMode::Terrain) {
        m_source = selected();
        r.reloadTerrain = true;
    } else if (mode == EditMode::HexCopy) {
        m_source = selected();
    }
    return r;
}

MapToolResult MapTools::clickMap(Hex hex) {
    MapToolResult r;
    if (hex.column < 1 || hex.column > m_module.columns || hex.row < 1 || hex.row > m_module.rows)
        return r;
    r.nameField = m_names.clickHex(m_module, hex.column, hex.row);
    r.moduleChanged = true;
    switch (mode()) {
        case EditMode::Terrain:
            m_source = hex;
            r.reloadTerrain = true;
            break;
        case EditMode::HexCopy:
            m_undo =
                copyHexPicture(m_map, m_module.orientation, positionOf(m_source), positionOf(hex));
            m_undoHex = hex;
            r.pictureBefore = m_undo;
            r.redraw.push_back(hex);
            break;
        case EditMode::EditNames:
            break;
    }
    return r;
}

MapToolResult MapTools::swapColours() {
    MapToolResult r;
    if (mode() != EditMode::Terrain) return r;
    r.pictureBefore = saveUndoPicture(m_map, positionOf(m_source));
    swapHexColours(m_map, m_module.orientation, positionOf(m_source), m_foreground, m_background);
    r.redraw.push_back(m_source);
    r.reloadTerrain = true;
    r.moduleChanged = true;
    return r;
}

void MapTools::armFill() {
    if (mode() == EditMode::Terrain) m_fillArmed = true;
}

MapToolResult MapTools::clickTerrainEditor(int x, int y) {
    MapToolResult r;
    if (!m_fillArmed || mode() != EditMode::Terrain) return r;
    m_fillArmed = false;
    const PictureSize block = terrainBlockSize(m_module.orientation);
    if (x < 0 || y < 0 || x >= block.width * kTerrainMagnification ||
        y >= block.height * kTerrainMagnification)
        return r;
    r.pictureBefore = saveUndoPicture(m_map, positionOf(m_source));
    fillHexArea(m_map, m_module.orientation, positionOf(m_source), terrainPoint(x, y),
                m_foreground);
    r.redraw.push_back(m_source);
    r.reloadTerrain = true;
    r.moduleChanged = true;
    return r;
}

MapToolResult MapTools::border() {
    MapToolResult r;
    if (mode() != EditMode::Terrain) return r;
    m_undo = drawHexBorder(m_map, m_module.orientation, positionOf(m_source), m_foreground);
    m_undoHex = m_source;
    r.pictureBefore = m_undo;
    r.redraw.push_back(m_source);
    r.reloadTerrain = true;
    r.moduleChanged = true;
    return r;
}

MapToolResult MapTools::undo() {
    MapToolResult r;
    if (mode() != EditMode::Terrain) return r;
    if (m_fillArmed || m_pickArmed) {
        m_fillArmed = m_pickArmed = false;
        return r;
    }
    if (!m_undo.available) return r;
    r.pictureBefore = saveUndoPicture(m_map, m_undo.at);
    restoreUndoPicture(m_map, m_undo);
    r.redraw.push_back(m_undoHex);
    r.reloadTerrain = true;
    r.moduleChanged = true;
    return r;
}

void MapTools::armColourPick() {
    m_pickArmed = true;
}

void MapTools::pickColour(Pixel underPointer) {
    if (!m_pickArmed) return;
    m_pickArmed = false;
    m_foreground = underPointer;
}

MapToolResult MapTools::gridOverlay() {
    MapToolResult r;
    r.overlayBefore = drawGridOverlay(m_map, m_module, m_foreground);
    r.redrawAll = true;
    r.moduleChanged = true;
    return r;
}

PixelPoint MapTools::terrainPoint(int x, int y) const {
    const PixelPoint at = positionOf(m_source);
    return {at.x + x / kTerrainMagnification, at.y + y / kTerrainMagnification};
}

}  // namespace qmx
