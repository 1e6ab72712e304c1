#pragma once
// The toolbar's pictures, drawn by the program itself on a 24 x 24 grid and
// rendered separately for each pixel density, so they stay sharp at normal
// and at double density.

#include <QIcon>
#include <QPixmap>

namespace qmx {

enum class ToolIcon {
    Load,
    Save,
    SendMail,
    MoveMode,
    CombatMode,
    OneByOne,
    PreDeclare,
    ResolveDeclared,
    ThrowDice,
    DefineDice,
    Comment,
    StepReplay,
    ContinuousReplay,
    PauseReplay,
    StopReplay,
    ResetRecorder,
    RotateLeft,
    RotateRight,
    StepIncrease,
    StepDecrease,
    HideUnits,
    HideUnitId,
    UnhideUnits,
    ShowTerrain,
    ShowUnits,
    DealCard,
    ViewCards,
    Help,
};

constexpr int kToolIconGrid = 24;

// One picture at `logicalSize` pixels for the device pixel ratio `dpr`.
QPixmap renderToolIcon(ToolIcon icon, int logicalSize, qreal dpr);
// The icon with renderings at 1x and 2x for the toolbar size and for menus.
QIcon toolbarIcon(ToolIcon icon);
// The program's window icon.
QIcon programIcon();

}  // namespace qmx
