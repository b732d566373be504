// The grid wizard's page of ticks and labels ("坐标轴和标注"), shared by the
// graticules and the kilometre grid: the line symbols of the major and minor
// ticks along the frame, whether the grid shows them, the minor ticks per
// interval and the labels' text symbol. It names the wizard after the grid
// type. The page only holds the values until the wizard ends.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

enum {
  IDC_GIS_GL_TICKS = 3086,
  IDC_GIS_GL_SUBTICKS = 5402,
  IDC_GIS_GL_SUBTICK_COUNT_LABEL = 5403,
  IDC_GIS_GL_TICK_SYMBOL = 5404,
  IDC_GIS_GL_SUBTICK_SYMBOL = 5405,
  IDC_GIS_GL_SUBTICK_COUNT = 5406,
  IDC_GIS_GL_SUBTICK_COUNT_SPIN = 5407,
  IDC_GIS_GL_FONT = 5408,
};

class CGIS_GridWizardLabelAndAxe : public CPropertyPage {
 public:
  CGIS_GridWizardLabelAndAxe();

  // Both boxes checked, two minor ticks, a text symbol of size 8 and the
  // default line symbol (style 0xD03) for the minor ticks, a copy of it for
  // the major ones (symbols the page already holds stay). FALSE without a
  // symbol factory.
  BOOL OnInitDialog() override;
  // The texts and the sheet's title of the grid type; Back and Next.
  BOOL OnSetActive() override;
  // The kind's own page: 5148, 5158 or 3024.
  LRESULT OnWizardBack() override;
  // The finish page.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The symbols the page holds (NULL before the page was first shown).
  IGIS_Symbol* GetTextSymbol() const { return m_pTextSymbol.get(); }
  IGIS_Symbol* GetTickSymbol() const { return m_pTickSymbol.get(); }
  IGIS_Symbol* GetSubTickSymbol() const { return m_pSubTickSymbol.get(); }

  int m_nTicks = 1;
  int m_nSubTicks = 1;
  // 1 to 20.
  int m_nSubTickCount = 1;

 private:
  void OnTicks();
  void OnSubTicks();

  md::basilo::ReleasePtr<IGIS_Symbol> m_pTextSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pTickSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pSubTickSymbol;
  CEdit m_editCount;
  CSpinButtonCtrl m_spinCount;
};
