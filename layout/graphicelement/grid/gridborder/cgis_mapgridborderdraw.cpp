// The grid border's drawing and conversion. The simple, calibrated and
// alternating bands are not drawn yet: Draw draws nothing and answers TRUE,
// and ConvertToElement makes nothing.
#include "layout/graphicelement/grid/gridborder/cgis_mapgridborder.h"

bool CGIS_MapGridBorder::Draw(HDC, bool, IGIS_Display*) { return true; }

IGIS_Element* CGIS_MapGridBorder::ConvertToElement() { return nullptr; }
