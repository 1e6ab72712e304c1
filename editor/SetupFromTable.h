#pragma once
// File > Make Setup Game from Table...: a setup game for the module as it is
// saved on disk, with every unit where a spreadsheet table puts it (see
// core/edit/SetupTable.h), written where the player looks for saved games.

class QWidget;

namespace qmx {

class EditorDocument;

// The whole command: the module saved first if it has changes (the author is
// asked), the table chosen, the saved game's name chosen, the game written,
// and what was placed and what the table got wrong shown. True when a setup
// game was written.
bool makeSetupGameFromTable(EditorDocument& document, QWidget* parent);

}  // namespace qmx
