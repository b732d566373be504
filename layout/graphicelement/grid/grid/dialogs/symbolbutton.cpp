#include "layout/graphicelement/grid/grid/dialogs/symbolbutton.h"

#include <utility>

#include "layout/graphicelement/element/mapdecksymbol.h"
#include "layout/graphicelement/grid/grid/igis_mapgrid.h"
#include "platform/ui/app.h"

namespace md::layout::grid {
namespace {

using md::basilo::ReleasePtr;

// The confirmed choice of one run of the chooser, or NULL.
ReleasePtr<IGIS_Symbol> RunChooser(IGIS_Symbol* pCurrent, int nKind, int* pState) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  IGIS_SymbolChooserDlg* pChooser = GIS_GetSymbolSelectDlgObject();
  if (pChooser == nullptr || (pChooser->Run(pCurrent, nKind, pState, 0, 0) & 0xFF) != TRUE) return {};
  return ReleasePtr<IGIS_Symbol>(pChooser->GetResult());
}

}  // namespace

bool ChooseSymbol(IGIS_Symbol* pCurrent, int nKind, int* pState,
                  const std::function<void(IGIS_Symbol* pPart)>& set) {
  ReleasePtr<IGIS_Symbol> chosen = RunChooser(pCurrent, nKind, pState);
  IGIS_Symbol* pPart = GIS_SymbolPartOfKind(chosen.get(), nKind);
  if (pPart == nullptr) return false;
  set(pPart);
  return true;
}

bool ChooseHeldSymbol(ReleasePtr<IGIS_Symbol>* pHeld, int nKind, int* pState) {
  if (pHeld == nullptr) return false;
  ReleasePtr<IGIS_Symbol> chosen = RunChooser(pHeld->get(), nKind, pState);
  // A part is the symbol itself: keeping the part keeps the chosen symbol.
  if (GIS_SymbolPartOfKind(chosen.get(), nKind) == nullptr) return false;
  *pHeld = std::move(chosen);
  return true;
}

IGIS_Symbol* NewDefaultLineSymbol() {
  constexpr int kLineStyle = 0xD03;
  return NewStyledSymbol(SymbolKind::Line, kLineStyle);
}

IGIS_Symbol* NewDefaultMarkSymbol() {
  constexpr int kMarkStyle = 0xCE7;
  return NewStyledSymbol(SymbolKind::Point, kMarkStyle);
}

bool ChooseHeldGridLineSymbol(int nLineType, ReleasePtr<IGIS_Symbol>* pMark, ReleasePtr<IGIS_Symbol>* pLine,
                              int* pMarkState, int* pLineState) {
  if (nLineType == GIS_GRIDLINE_MARKS) return ChooseHeldSymbol(pMark, GIS_CHOOSE_POINT, pMarkState);
  if (nLineType == GIS_GRIDLINE_LINES) return ChooseHeldSymbol(pLine, GIS_CHOOSE_LINE, pLineState);
  return false;
}

bool ChooseGridLineSymbol(IGIS_MapGrid* pGrid, int nLineType, int* pMarkState, int* pLineState) {
  if (pGrid == nullptr) return false;
  if (nLineType == GIS_GRIDLINE_MARKS)
    return ChooseSymbol(pGrid->GetMarkSymbol(), GIS_CHOOSE_POINT, pMarkState,
                        [pGrid](IGIS_Symbol* pMark) { pGrid->SetMarkSymbol(pMark); });
  if (nLineType == GIS_GRIDLINE_LINES)
    return ChooseSymbol(pGrid->GetLineSymbol(), GIS_CHOOSE_LINE, pLineState,
                        [pGrid](IGIS_Symbol* pLine) { pGrid->SetLineSymbol(pLine); });
  return false;
}

}  // namespace md::layout::grid
