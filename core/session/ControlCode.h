#pragma once
// The codes of the ControlNotification that the main frame, the board view and
// the game-controls panel post to each other. The numbers are the system's own;
// a few numbers mean different things to different receivers, so several names
// share a value.

namespace qmx {

enum class ControlCode : int {
    // to the game-controls panel
    ShowHexName = 1,       // name of the hex under the pointer
    ListCurrentHex = 2,    // list the stack of the current hex
    ListCarried = 20,      // list the carried stack
    RecomputeTotals = 23,  // recompute the value totals of the listed stack
    ListSelectedHex = 25,  // list the stack of the selected hex
    ListShownAgain = 26,   // list the shown stack again
    RepaintOverview = 32,  // repaint the overview map
    PendingLabel = 39,     // refresh the pending declarations label

    // to the board view
    ResolvingDeclaration = 4,
    RepaintBoard = 32,

    // to the main frame (command states, buttons, caption, zoom)
    ShowTerrain = 9,
    ShowUnits = 10,
    UnitsPickedUp = 14,
    CardsAvailable = 15,
    CardsNotYetAvailable = 16,
    CardsNotUsed = 17,
    Caption = 21,
    UnitsPutDown = 22,
    RefreshToolbar = 30,
    HidingPossible = 33,
    HidingNotUsed = 34,
    HidingNotPossible = 35,
    MovementMode = 36,  // also to the panel: refresh captions and states
    CombatMode = 37,    // also to the panel: refresh captions and states
    ZoomChanged = 40,
};

}  // namespace qmx
