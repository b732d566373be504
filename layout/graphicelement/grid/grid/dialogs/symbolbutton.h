// The symbol buttons of the grid, label and tab-style pages and wizards. A
// button runs the host's symbol chooser on the edited object's symbol, for a
// chooser kind (GIS_CHOOSE_POINT, _LINE, _FILL, _TEXT, or a flagged line or
// fill), with the button's own remembered state: one process-wide integer
// per button, zero when the library loads, handed over by address on every
// press.
//
//   namespace { int g_nTickState = 0; }
//   ChooseSymbol(pGrid->GetTickLineSymbol(), GIS_CHOOSE_LINE, &g_nTickState,
//                [pGrid](IGIS_Symbol* pLine) { pGrid->SetTickLineSymbol(pLine); });
#pragma once

#include <functional>

#include "host/basilo/releaseptr.h"
#include "host/glyphorpick/igis_symbolchooserdlg.h"

class IGIS_MapGrid;

namespace md::layout::grid {

// Runs the chooser (with the library's module state). When the user
// confirmed a symbol that has the part of the kind, the part goes to set,
// the edited object's setter, which keeps its own copy; then the chooser's
// symbol is released. True when set ran; a cancel, a confirmed choice
// without a symbol or without that part changes nothing.
bool ChooseSymbol(IGIS_Symbol* pCurrent, int nKind, int* pState,
                  const std::function<void(IGIS_Symbol* pPart)>& set);

// The wizard pages' button: the page holds its own symbol until Finish. On
// a confirmed choice the held symbol is released and the page keeps the
// chosen symbol's part of the kind instead. True when the held symbol was
// replaced.
bool ChooseHeldSymbol(md::basilo::ReleasePtr<IGIS_Symbol>* pHeld, int nKind, int* pState);

// The same for a wizard page that holds a grid's line and marker symbols
// until Finish: with marks (GIS_GRIDLINE_MARKS) it replaces the held marker,
// with lines the held line symbol, each with its own state; with neither it
// does nothing. True when a held symbol was replaced.
bool ChooseHeldGridLineSymbol(int nLineType, md::basilo::ReleasePtr<IGIS_Symbol>* pMark,
                              md::basilo::ReleasePtr<IGIS_Symbol>* pLine, int* pMarkState, int* pLineState);

// The symbols a wizard page's buttons start with: the default line symbol
// (style 0xD03) and marker (style 0xCE7); NULL when the library makes none.
IGIS_Symbol* NewDefaultLineSymbol();
IGIS_Symbol* NewDefaultMarkSymbol();

// The button of the pages that choose what a grid draws along its lines:
// with marks (GIS_GRIDLINE_MARKS) it chooses the grid's marker, with lines
// its line symbol, each with its own state; with neither it does nothing.
// True when the grid's symbol was replaced.
bool ChooseGridLineSymbol(IGIS_MapGrid* pGrid, int nLineType, int* pMarkState, int* pLineState);

}  // namespace md::layout::grid
