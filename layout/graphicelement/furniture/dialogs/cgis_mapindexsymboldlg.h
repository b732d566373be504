// The map index's symbols page: the cell width and height and the four
// symbols (names, inner lines, border, centre fill).
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_MapIndexElement;

enum {
  IDD_MAPINDEX_SYMBOL_PAGE = 3097,
  IDC_MAPINDEX_COL_WIDTH = 3160,
  IDC_MAPINDEX_ROW_HEIGHT = 3161,
  IDC_MAPINDEX_TEXT_SYMBOL = 3162,
  IDC_MAPINDEX_FILL_SYMBOL = 3163,
  IDC_MAPINDEX_INSIDE_SYMBOL = 3164,
  IDC_MAPINDEX_BORDER_SYMBOL = 3165,
};

class CGIS_MapIndexSymbolDlg : public CPropertyPage {
 public:
  CGIS_MapIndexSymbolDlg() : CGIS_MapIndexSymbolDlg(nullptr, nullptr) {}
  CGIS_MapIndexSymbolDlg(IGIS_MapIndexElement* pElement, IGIS_Display* pDisplay);

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  // Writes both cell sizes.
  BOOL OnKillActive() override;
  // Writes both cell sizes and restores the element's geometry.
  BOOL OnApply() override;

  int m_nColWidth = 0;   // 0.01 mm, 1..1000000
  int m_nRowHeight = 0;  // 0.01 mm, 1..1000000
  CEdit m_editColWidth;
  CEdit m_editRowHeight;

 private:
  void WriteElement();

  IGIS_MapIndexElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
