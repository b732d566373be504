// The grid wizard's page of the graticule ("创建一个经纬网"): what the grid
// draws (labels only, grid lines or marks at the crossings, each with the
// labels), the symbol for it, and the intervals of the parallels (at most
// 20°) and meridians (at most 40°) in degrees, minutes and seconds. The
// graticule of fixed rows and columns takes its spacing from these
// intervals too. The page only holds the values until the wizard ends.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "layout/graphicelement/grid/graticule/dialogs/graticulepages.h"
#include "platform/ui/propsheet.h"

enum {
  IDC_GIS_GGW_LABELS_ONLY = 5391,
  IDC_GIS_GGW_MARKS = 5392,
  IDC_GIS_GGW_LINES = 5393,
  IDC_GIS_GGW_STYLE = 5394,
  IDC_GIS_GGW_PARALLEL_DEGREES = 5395,
  IDC_GIS_GGW_PARALLEL_MINUTES = 5396,
  IDC_GIS_GGW_PARALLEL_SECONDS = 5397,
  IDC_GIS_GGW_MERIDIAN_DEGREES = 5398,
  IDC_GIS_GGW_MERIDIAN_MINUTES = 5399,
  IDC_GIS_GGW_MERIDIAN_SECONDS = 5400,
};

class CGIS_GridGraticuleWizard : public CPropertyPage {
 public:
  CGIS_GridGraticuleWizard();

  // Grid lines, intervals of 1° each, the default marker (style 0xCE7) and
  // line symbol (style 0xD03).
  BOOL OnInitDialog() override;
  // The text of the grid type; Back and Next.
  BOOL OnSetActive() override;
  // Takes the fields; refuses a parallel interval above 20° ("纬度间隔大于20!")
  // and a meridian interval above 40° ("经度间隔大于40!").
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  // The start page.
  LRESULT OnWizardBack() override;
  // The axes-and-labels page.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The symbols the page holds (NULL before the page was first shown).
  IGIS_Symbol* GetLineSymbol() const { return m_pLineSymbol.get(); }
  IGIS_Symbol* GetMarkSymbol() const { return m_pMarkSymbol.get(); }

  // The grid's line type: 0 labels only, 1 lines, 2 marks.
  int m_nAppearance = 1;
  // The intervals as typed (0 before the page was first shown).
  md::layout::graticule::DmsRow m_parallel;
  md::layout::graticule::DmsRow m_meridian;

 private:
  void OnAppearance(int nAppearance);
  // The marker with marks, the line symbol with lines; nothing otherwise.
  void OnStyle();

  md::basilo::ReleasePtr<IGIS_Symbol> m_pLineSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pMarkSymbol;
};
