#pragma once
// The rules of the "New Module" dialog: the map size, the orientation, the
// unit count and the number of unit images wanted, with the corrections the
// dialog makes when the author moves on, and the module it creates.

#include <string>

#include "core/module/Module.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

constexpr int kNewModuleMinSize = 20;
constexpr int kMinImagesWanted = 84;
constexpr int kMaxImagesWanted = 1000;
// The largest even row count the module holds.
constexpr int kMaxEvenRows = kMaxRows - kMaxRows % 2;

inline constexpr const char* kColumnsQuestion =
    "One row of hexes is parallel to the map edge.  How many hexes are in this row?";
inline constexpr const char* kRowsQuestion =
    "How many rows of hexes are there along the other edge? ";
inline constexpr const char* kUnitsQuestion = "How many unit counters are in this module? ";
inline constexpr const char* kRowsAlignedChoice = "Hexes in line with top edge";
inline constexpr const char* kColumnsAlignedChoice = "Hexes in line with side edge";
inline constexpr const char* kExtraHexesTip =
    "Be sure to give yourself a few extra hexes to play with in all directions.  This could save "
    "a lot of time and effort if you discover you need more room.  ";
inline constexpr const char* kExtraUnitsTip =
    "Also give yourself a few dozen extra units.  The cardboard games are limited by budget to "
    "the number of units, but extra counters can usually find employment.";

// "There are currently N unit images available.  If you think ..."
std::string imageCapacityText(int capacity);

// Sheet sizing that respects the one-byte fields: at most 255 images per row
// and 255 cell rows.
SheetSize sizeSheetForModule(int wanted, int imageWidth);

class NewModuleForm {
public:
    // The dialog as it opens: 20 x 20 hexes, 33 units, a sheet of 4 cell
    // rows and as many images wanted as it holds (at most 1,000).
    NewModuleForm();

    int columns = kNewModuleMinSize;
    int rows = kNewModuleMinSize;
    GridOrientation orientation = GridOrientation::RowsAligned;
    int units = kMinUnits;
    int imagesWanted = 0;

    // Choosing an orientation and leaving the images field correct the map
    // size and, when at least the current capacity is wanted, size the sheet.
    void chooseOrientation(GridOrientation o);
    void leaveImagesWanted();
    // Every change of the images field sizes the sheet for the number typed.
    void typeImagesWanted(int n);
    // OK: every correction, the images wanted clamped to 84..1,000.
    void confirm();

    const SheetSize& sheet() const { return m_sheet; }
    int capacity() const { return m_sheet.capacity(); }
    std::string capacityText() const { return imageCapacityText(capacity()); }
    int mapWidth() const;

    // The empty module of the confirmed form (its image is made by the graphics).
    Module createModule() const;

private:
    void correctSize();
    void resize(int wanted);
    SheetSize m_sheet;
};

}  // namespace qmx
