#pragma once
// The edit actions on the module records. Each returns an action for the
// EditHistory; nothing changes until the history applies it.

#include <memory>
#include <string>
#include <vector>

#include "core/edit/EditHistory.h"
#include "core/module/Module.h"

namespace qmx {

bool sameValue(const UnitDefinition& a, const UnitDefinition& b);
bool sameValue(const Deck& a, const Deck& b);

// Unit `unit` (1..unit count) becomes `after`.
std::unique_ptr<EditAction> editUnit(Module& module, int unit, UnitDefinition after,
                                     std::string label, std::string mergeKey = {});
// Deck `deck` (1..20) becomes `after`.
std::unique_ptr<EditAction> editDeck(Module& module, int deck, Deck after, std::string label,
                                     std::string mergeKey = {});
std::unique_ptr<EditAction> editAuthorNotes(Module& module, std::string notes);
// Value name `value` (0..5).
std::unique_ptr<EditAction> editValueName(Module& module, int value, std::string name);
std::unique_ptr<EditAction> editTotalModes(Module& module, std::uint16_t modes);

// The unit table grows or shrinks to `count` units; units beyond the old
// count become `fresh`. Undo gives back the old table whole.
std::unique_ptr<EditAction> resizeUnitTable(Module& module, int count, const UnitDefinition& fresh);

// The module's hex grid: its size and layout, the hex records and the
// overview size that follows from them.
struct MapGrid {
    int columns = 0;
    int rows = 0;
    GridOrientation orientation = GridOrientation::RowsAligned;
    std::vector<HexRecord> hexes;
    std::uint8_t overviewWidth = 0;
    std::uint8_t overviewHeight = 0;
};
MapGrid gridOf(const Module& module);
void setGrid(Module& module, const MapGrid& grid);
// The grid resized to columns x rows in `orientation`: every hex that stays
// keeps its name and state, the combat box row keeps its records, and new
// hexes get the default names.
MapGrid resizedGrid(const Module& module, int columns, int rows, GridOrientation orientation);

}  // namespace qmx
