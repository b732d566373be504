// The grid border's drawing and conversion, around its grid's map frame.
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"
#include "layout/graphicelement/grid/gridborder/gridborderdraw.h"

bool CGIS_MapGridBorder::Draw(HDC hdc, bool bPrint, IGIS_Display* pDisplay) {
  return md::layout::grid::DrawMapGridBorder(this, hdc, bPrint, pDisplay);
}

IGIS_Element* CGIS_MapGridBorder::ConvertToElement() { return md::layout::grid::ConvertMapGridBorder(this); }
