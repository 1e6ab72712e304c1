#pragma once
// The map tools' changes as steps of the editor's edit history: hex names
// written by a command, a block of the map picture retouched, the pixels the
// grid overlay drew, and a whole table (units, hexes) read from a file. The
// change is already made when the step is built; the history's first redo
// writes the same state again.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/edit/EditHistory.h"
#include "core/map/CoordinateNaming.h"
#include "core/map/MapPicture.h"
#include "core/module/Module.h"

namespace qmx {

// The map picture's pixels as they are now (the image may have been
// replaced since the step was taken).
using SurfaceSource = std::function<PixelSurface()>;

// Names changed by Coordinates, Clear Hex Names, Paste or the name field.
// Steps with the same non-empty merge key and the same hexes merge (typing
// a name letter by letter).
std::unique_ptr<EditAction> hexNamesEdit(Module& module, std::vector<HexNameChange> changes,
                                         std::string label, std::string mergeKey = {});

// A block of the picture: `before` as saved before the change; the block as
// it is now becomes the redo state.
std::unique_ptr<EditAction> pictureBlockEdit(SurfaceSource surface, UndoPicture before,
                                             std::string label);

// The pixels a larger drawing (the grid overlay) changed; their present
// colours become the redo state.
std::unique_ptr<EditAction> pixelsEdit(SurfaceSource surface, PixelUndo before, std::string label);

// A rectangle of the image outside the map picture too (the overview in the
// sheet band): `before` is the rectangle's copy taken by copyRect before the
// change.
OwnedPicture copyRect(const PixelSurface& surface, PixelRect rect);
std::unique_ptr<EditAction> rectEdit(SurfaceSource surface, PixelRect rect, OwnedPicture before,
                                     std::string label);

// A whole table of the module replaced: `before` is what it held before the
// change, the present contents become the redo state.
std::unique_ptr<EditAction> unitTableEdit(Module& module, std::vector<UnitDefinition> before,
                                          std::string label);
std::unique_ptr<EditAction> hexTableEdit(Module& module, std::vector<HexRecord> before,
                                         std::string label);

}  // namespace qmx
