#pragma once
// The editor's Coordinates command as a state machine: the author chooses a
// coordinate system, is told which hex to double-click, and the double-click
// names every hex. System 19 takes two double-clicks: first any hex of row
// A, then the origin. While a calibration is pending, the commands that
// would save or rebuild the module are refused with message 16.

#include <string>

#include "core/map/CoordinateNaming.h"
#include "core/module/Module.h"

namespace qmx {

inline constexpr std::string_view kCoordinatesTitle = "Coordinates";

// How the Coordinates command talks to the author; the editor's dialogs
// implement it, tests script it.
class CoordinatePrompts {
public:
    virtual ~CoordinatePrompts() = default;
    // Message `number` of the editor's message table (title "WARNING").
    virtual void showMessage(int number) = 0;
    // A text under a title ("Coordinates", "Error").
    virtual void showText(std::string_view title, const std::string& text) = 0;
    // The Automatic Coordinates dialog for the map's orientation, opening at
    // system 1: the chosen number (1 to 99), or 0 for Cancel.
    virtual int chooseSystem(GridOrientation orientation) = 0;
};

// What a double-click in the map area did.
enum class CalibrationClick {
    NotCalibrating,  // state 0: the editor selects the hex
    RowARecorded,    // state 2: row A noted, the command ran again
    Named,           // state 1: the hexes were named
    Ignored,         // a calibration is running but the hex is not on the map
};

class CoordinateCalibration {
public:
    enum State { Idle = 0, AwaitOrigin = 1, AwaitRowA = 2 };

    int state() const { return m_state; }
    bool pending() const { return m_pending; }
    int system() const { return m_system; }
    int rowAIndex() const { return m_rowAIndex; }

    // The "Coordinates" command on a map of `orientation`.
    void start(GridOrientation orientation, CoordinatePrompts& prompts);

    // A double-click on hex (column, row) of the map area. In state 1 the
    // names are computed into `module` (each written hex reported to
    // `written`), then the box titled "Error" reports a moved origin.
    CalibrationClick doubleClick(Module& module, int column, int row, CoordinatePrompts& prompts,
                                 const HexNameSink& written = {});

    // What the last naming did: the corrected origin and every name it
    // changed, for the editor's undo.
    const NamingResult& lastNaming() const { return m_lastNaming; }

    // For Save, Save Unit Table, Save Map Name Table, Make Overview and Edit
    // Units: true (after showing message 16) when they must not run now.
    bool refuses(CoordinatePrompts& prompts) const;

    // The text shown after a system is chosen; may set state 2 (system 19).
    std::string instruction(GridOrientation orientation);

private:
    int m_state = Idle;
    bool m_pending = false;
    int m_system = 0;
    int m_rowAIndex = 0;
    NamingResult m_lastNaming;
};

// The instruction for `system` without changing any state (system 19 gives
// the row-A text).
std::string coordinateInstruction(GridOrientation orientation, int system, int rowAIndex);

}  // namespace qmx
