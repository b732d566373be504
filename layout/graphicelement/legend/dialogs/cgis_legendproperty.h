// The legend property sheet: the legend, format and items pages, the frame
// page and the size-and-position page, on one legend element.
#pragma once

#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"

class CGIS_LegendFormatDlg;
class CLayoutFrame;
class CLegendItemPage;
class CLegendPage;
class CSizeAndPosition;
class IGIS_LegendElement;

class CGIS_LegendProperty : public CGIS_ElementPropertySheet {
 public:
  // Neither the element nor the display is owned; no parent window.
  CGIS_LegendProperty(IGIS_LegendElement* pElement, IGIS_Display* pDisplay);

  CLegendPage* m_pLegendPage;
  CGIS_LegendFormatDlg* m_pFormatPage;
  CLegendItemPage* m_pItemPage;
  CLayoutFrame* m_pFramePage;
  CSizeAndPosition* m_pSizePage;
};
