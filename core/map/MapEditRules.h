#pragma once
// The map editing rules of the editor's main dialog that need no screen:
// where a click lands on the form, the edit modes, the hex-name commands
// (Edit Names, Copy / Paste Hex Name, Clear Hex Names) and the overview
// click. Name changes come back as lists of changes so that the editor's
// undo model can take them; nothing here paints.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/map/CoordinateNaming.h"
#include "core/map/HexGeometry.h"
#include "core/module/Module.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

// The areas of the editor's form, in its client pixels.
constexpr PixelPoint kMapAreaOrigin{178, 19};
constexpr PixelRect kOverviewArea{0, 0, 144, 100};
constexpr PixelRect kColourPickArea{90, 182, 71, 34};  // x 90..160, y 182..215

enum class FormArea { Map, Overview, ColourPick, Other };
FormArea formAreaAt(int x, int y);

enum class EditMode { Terrain = 1, HexCopy = 2, EditNames = 3 };

// The name field's text for a hex name: trailing blanks removed, at most 35
// characters.
constexpr std::size_t kNameFieldLength = 35;
std::string nameFieldText(std::string_view name);

// Applies changes, or undoes them (in reverse order).
void applyNameChanges(Module& module, const std::vector<HexNameChange>& changes);
void revertNameChanges(Module& module, const std::vector<HexNameChange>& changes);

inline constexpr std::string_view kClearNamesTitle = "Clear Coordinates";
inline constexpr std::string_view kClearNamesQuestion =
    "This will delete ALL hex names.  Are you sure you want to continue?";
inline constexpr std::string_view kDefaultNamesTitle = "Select Default Names";
inline constexpr std::string_view kDefaultNamesLabel = "Primary";
inline constexpr std::string_view kDefaultNamesPreset = "Off Map";

// How Clear Hex Names asks; the editor's dialogs implement it.
class MapEditPrompts {
public:
    virtual ~MapEditPrompts() = default;
    // OK/Cancel; true for OK.
    virtual bool askOkCancel(std::string_view title, std::string_view question) = 0;
    // The "Select Default Names" dialog: one field, preset, at most maxLength
    // characters; nothing for Cancel.
    virtual std::optional<std::string> askDefaultName(std::string_view title,
                                                      std::string_view label,
                                                      std::string_view preset, int maxLength) = 0;
};

// What the hex-name commands do to the module. The state is the dialog's:
// the mode, the selected hex and the name clipboard.
class MapNameEditor {
public:
    EditMode mode() const { return m_mode; }
    void setMode(EditMode mode) { m_mode = mode; }
    Hex selected() const { return m_selected; }
    const std::string& clipboard() const { return m_clipboard; }

    // A click in the map area on hex (column, row): it becomes the selected
    // hex. In Edit Names mode the name field's text comes back.
    std::optional<std::string> clickHex(const Module& module, int column, int row);

    // The name field gained the focus: Edit Names mode, and the field shows
    // the selected hex's name.
    std::string nameFieldFocused(const Module& module);
    // The field's text changed or it lost the focus: the text becomes the
    // selected hex's name (at most 35 characters). Nothing when unchanged.
    std::vector<HexNameChange> nameFieldChanged(Module& module, std::string_view text);

    // Copy Hex Name [C] and Paste Hex Name [V].
    void copyName(const Module& module);
    std::vector<HexNameChange> pasteName(Module& module);

    // Clear Hex Names: only when no calibration is pending; after OK and the
    // default name, every hex of the map (every column and row) gets it.
    std::vector<HexNameChange> clearNames(Module& module, bool calibrationPending,
                                          MapEditPrompts& prompts);

private:
    EditMode m_mode = EditMode::Terrain;
    Hex m_selected{1, 1};
    std::string m_clipboard;
};

// The overview click, as the player's panel scrolls: the new scroll
// position of the map for a click at (x, y) of the overview. `frame` is the
// view's size scaled to the overview; odd positions become even along x when
// the hexes stand in columns and along y when they stand in rows; each is
// kept between 0 and the map size less the view size.
struct OverviewGeometry {
    GridOrientation orientation = GridOrientation::RowsAligned;
    PixelPoint overviewSize;  // OverviewSize
    PixelPoint mapSize;       // the map's scroll extent
    PixelPoint viewSize;      // the visible part of the map
    PixelPoint frameSize;     // the view's frame on the overview
};
PixelPoint overviewClickScroll(const OverviewGeometry& g, int x, int y);

}  // namespace qmx
