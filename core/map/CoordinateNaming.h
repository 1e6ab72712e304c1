#pragma once
// Naming every hex of a map at once by one of eighteen coordinate systems,
// starting from the hex the author double-clicked (the origin). Each system
// visits rows (or columns, for a map whose hexes stand in columns) from the
// origin outwards and names the hexes along each of them, either by a letter
// and a number ("A1", "BB12") or by a four-digit label ("0101": rank, then
// position). Hexes that a system's loops do not reach keep their names.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/map/HexGeometry.h"
#include "core/module/Module.h"

namespace qmx {

constexpr int kCoordinateSystemCount = 18;
// Chosen in the dialog, the two-step variant of system 18: first a hex of
// row A is double-clicked, then the origin.
constexpr int kTwoStepCoordinateSystem = 19;

// What the Automatic Coordinates dialog shows for a system: the labels of
// its three sample hexes and the description line (empty for none).
struct CoordinateSample {
    std::string_view hex1;
    std::string_view hex2;
    std::string_view hex3;
    std::string_view description;
};

// Systems 1..18; any other number gives the sample of system 1.
const CoordinateSample& coordinateSample(int system);

// The dialog's up-down control: the step is subtracted from the number (the
// up arrow's step is -1), and the number wraps below 1 to 18 and above 18 to 1.
int coordinateSystemAfterArrow(int system, int step);

// The letter label of the `index`-th letter (0 = "A", 25 = "Z", 26 = "AA",
// 27 = "BB", 52 = "AAA") followed by `number` in decimal ("C0", "C-1" for
// numbers at or below 0).
std::string letterLabel(int index, int number);
// Rank then position, each of at least two digits: (1, 2) -> "0102".
std::string fourDigitLabel(int rank, int position);

// ⌊a ÷ b⌋ for b > 0, also for negative a.
int floorDiv(int a, int b);

struct MapShape {
    GridOrientation orientation = GridOrientation::RowsAligned;
    int columns = 0;
    int rows = 0;
};

// The hex the author double-clicked.
using CoordinateOrigin = Hex;

// Where a system's zigzag would start outside the map, the origin is moved
// one hex before naming; `text` is what the box titled "Error" says after the
// names are written (empty when the origin stays).
struct OriginCorrection {
    CoordinateOrigin origin;
    std::string text;
};
OriginCorrection correctOrigin(const MapShape& map, int system, CoordinateOrigin origin);

inline constexpr std::string_view kCorrectionTitle = "Error";

// Receives every name a system computes, in the order the system visits
// the hexes; column and row are always on the map.
using HexNameSink = std::function<void(int column, int row, const std::string& name)>;

// Runs the system's loops from `origin` (already corrected, see
// correctOrigin) and hands each name to `sink`. `rowAIndex` is the row of
// row A for system 18 on a rows-aligned map (0 = not set: system 18 then
// names nothing). Unknown systems name nothing. Returns the number of names.
int computeHexNames(const MapShape& map, int system, CoordinateOrigin origin, int rowAIndex,
                    const HexNameSink& sink);

// A hex name before and after a change, for the editor's undo.
struct HexNameChange {
    int column = 0;
    int row = 0;
    std::string before;
    std::string after;
    bool operator==(const HexNameChange&) const = default;
};

struct NamingResult {
    CoordinateOrigin origin;             // after any correction
    std::string correctionText;          // for the "Error" box; empty for none
    int named = 0;                       // names computed
    std::vector<HexNameChange> changes;  // the names that differ from before
};

// The whole computation on a module: corrects the origin, writes every
// computed name into the module's hex records (and tells `written`, if
// given, each hex written, to redraw it). An origin off the map names
// nothing.
NamingResult nameModuleHexes(Module& module, int system, CoordinateOrigin origin, int rowAIndex,
                             const HexNameSink& written = {});

}  // namespace qmx
