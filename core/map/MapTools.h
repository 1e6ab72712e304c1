#pragma once
// The editor's map tools as one state machine over the module and its map
// picture: the edit modes (Terrain, Hex Copy, Edit Names), clicks in the map
// area, the terrain editor's buttons (F<>B, Fill, Border, Undo), the colour
// pick and the grid overlay. The main dialog turns mouse and buttons into
// these calls and repaints what the result names; the result also carries
// what the editor's undo model needs to take the step back.

#include <optional>
#include <string>
#include <vector>

#include "core/map/MapEditRules.h"
#include "core/map/MapPicture.h"
#include "core/module/Module.h"

namespace qmx {

struct MapToolResult {
    std::vector<Hex> redraw;                   // hexes whose picture changed
    bool redrawAll = false;                    // the whole map changed
    bool reloadTerrain = false;                // the terrain editor shows the source anew
    bool moduleChanged = false;                // mark the module changed
    std::optional<std::string> nameField;      // new text for the name field
    std::optional<UndoPicture> pictureBefore;  // the block a picture change overwrote
    std::vector<HexNameChange> nameChanges;    // names a command changed
    std::optional<PixelUndo> overlayBefore;    // pixels the grid overlay overwrote
};

class MapTools {
public:
    // `map` is the module image with its map picture as the writable part.
    MapTools(Module& module, PixelSurface map) : m_module(module), m_map(map) {}

    // The image's pixels moved (a new image, or a copy made writable).
    void setSurface(PixelSurface map) { m_map = map; }

    EditMode mode() const { return m_names.mode(); }
    Hex selected() const { return m_names.selected(); }
    Hex source() const { return m_source; }
    Pixel foreground() const { return m_foreground; }
    Pixel background() const { return m_background; }
    void setColours(Pixel foreground, Pixel background);
    bool fillArmed() const { return m_fillArmed; }
    bool pickArmed() const { return m_pickArmed; }
    bool undoAvailable() const { return m_undo.available; }
    MapNameEditor& names() { return m_names; }

    // The radio buttons. Terrain loads the selected hex into the terrain
    // editor; Hex Copy makes it the source of copies.
    MapToolResult setMode(EditMode mode);

    // A click on hex `hex` in the map area (a pending colour pick takes the
    // click instead: see pickColour).
    MapToolResult clickMap(Hex hex);

    // Terrain editor buttons; they act only in Terrain mode.
    MapToolResult swapColours();  // F<>B
    void armFill();               // Fill: the next click in the terrain editor fills
    MapToolResult border();       // Border
    MapToolResult undo();         // Undo: an armed Fill or pick is cancelled first

    // A click in the terrain editor at (x, y) of its magnified picture: with
    // Fill armed, the touched area of the source hex becomes the foreground.
    MapToolResult clickTerrainEditor(int x, int y);

    // A click in the colour area arms the pick; the next click anywhere
    // hands the colour under the pointer here, as the new foreground.
    void armColourPick();
    void pickColour(Pixel underPointer);

    // Draw hex grid Overlay: every hex's Border in the foreground colour.
    MapToolResult gridOverlay();

    // The pixel of the source hex that the terrain editor's point (x, y)
    // shows (three screen pixels a map pixel).
    PixelPoint terrainPoint(int x, int y) const;

private:
    PixelPoint positionOf(Hex h) const { return hexPicturePosition(m_module, h.column, h.row); }

    Module& m_module;
    PixelSurface m_map;
    MapNameEditor m_names;
    Hex m_source{1, 1};
    Pixel m_foreground = rgbPixel(0, 0, 0);
    Pixel m_background = rgbPixel(255, 255, 255);
    bool m_fillArmed = false;
    bool m_pickArmed = false;
    UndoPicture m_undo;  // the Undo button's picture
    Hex m_undoHex{1, 1};
};

}  // namespace qmx
