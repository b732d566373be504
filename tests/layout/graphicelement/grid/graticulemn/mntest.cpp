#include "tests/layout/graphicelement/grid/graticulemn/mntest.h"

#include "host/basilo/releaseptr.h"

namespace md::test {

CGIS_GraticuleMNGrid* NewMNGrid(IGIS_MapElement* frame, double widthMm) {
  auto* grid = new CGIS_GraticuleMNGrid();
  grid->SetMapElement(frame);
  // The measured grid's test symbols.
  md::basilo::ReleasePtr<IGIS_MeasureGrid> symbols(NewMeasureGrid(frame, widthMm));
  grid->SetLineSymbol(symbols->GetLineSymbol());
  grid->SetTickLineSymbol(symbols->GetTickLineSymbol());
  grid->SetSubTickLineSymbol(symbols->GetSubTickLineSymbol());
  grid->SetMarkSymbol(symbols->GetMarkSymbol());
  grid->SetBorder(nullptr);
  // The grid's own figure: its label writes nothing here (the labels' tests
  // draw it on this grid).
  grid->SetLabelVisible(false, false, false, false);
  return grid;
}

CGIS_MapElement* MNPage::WholeSheetFrame() {
  auto* f = new CGIS_MapElement(set_, nullptr);
  frames_.push_back(f);
  f->SetRect(SGIS_Rect(5000, 25000, 30000, 5000));
  f->SetMapName(sheet_->GetName());
  return f;
}

}  // namespace md::test
