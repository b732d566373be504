// The axes page's editor of a calibrated grid border. The calibrated-border
// dialog edits the map borders' calibrated bands too and lives with their
// dialogs, above the grid's pages; it installs itself here when the library
// loads, so that the grid's pages name none of the border dialogs.
#pragma once

class IGIS_MapGridBorder;

namespace md::layout::grid {

// Runs the editor modally on the border (edited in place); true only when
// the user pressed OK.
using GridBorderEditor = bool (*)(IGIS_MapGridBorder* pBorder);

// Installs the editor (NULL removes it) and answers the one it replaces.
GridBorderEditor SetGridBorderEditor(GridBorderEditor editor);

// Runs the installed editor; false (not confirmed, the border untouched)
// without a border or while none is installed.
bool EditGridBorder(IGIS_MapGridBorder* pBorder);

}  // namespace md::layout::grid
