// TEMPORARY STUB until the grid interfaces land (not to be committed).
#include "layout/graphicelement/grid/label/cgis_formattedgridlabel.h"
int CGIS_FormattedGridLabel::SideAlignment(md::layout::label::LabelSide) { return 0; }
bool CGIS_FormattedGridLabel::OnDraw(HDC, bool, IGIS_Display*) { return false; }
IGIS_Element* CGIS_FormattedGridLabel::ConvertToElement() { return nullptr; }
