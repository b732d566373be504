// The grid wizard's page for a graticule of fixed rows and columns
// ("经纬网2"): what the grid draws (index labels only, grid lines or marks
// at the crossings, each with the index labels), the symbol for it, and how
// many columns and rows divide the frame. It only holds the values; the
// grids page builds the grid from them after Finish. Back leads to the start
// page (107), Next to the axes-and-labels page (5152).
#pragma once

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/grid/graticulemn/dialogs/graticulemnpages.h"
#include "platform/ui/propsheet.h"

enum {
  IDD_GIS_GRATICULEMN_WIZARD = 3024,
  IDC_GIS_MW_LABELS_ONLY = 3175,
  IDC_GIS_MW_LINES = 3176,
  IDC_GIS_MW_MARKS = 3177,
  IDC_GIS_MW_COLUMNS = 3178,
  IDC_GIS_MW_ROWS = 3179,
  IDC_GIS_MW_ROWS_SPIN = 3180,
  IDC_GIS_MW_COLUMNS_SPIN = 3181,
  IDC_GIS_MW_SYMBOL = 3182,
};

class IGIS_Symbol;

class CGIS_GridGraticuleMNWizard : public CPropertyPage {
 public:
  // Template IDs of the neighbouring pages of the grid wizard.
  static constexpr LRESULT kStartPage = 107;
  static constexpr LRESULT kAxesAndLabelsPage = 5152;

  CGIS_GridGraticuleMNWizard();

  // Index labels only, 5 columns and 5 rows, the default line symbol
  // (style 0xD03) and marker (style 0xCE7).
  BOOL OnInitDialog() override;
  // Back and Next enabled.
  BOOL OnSetActive() override;
  BOOL OnApply() override;
  LRESULT OnWizardBack() override { return kStartPage; }
  LRESULT OnWizardNext() override { return kAxesAndLabelsPage; }
  void DoDataExchange(CDataExchange* pDX) override;

  // The symbols the page holds (owned by the page; the grid's setters keep
  // copies). NULL before the page was first shown.
  IGIS_Symbol* GetLineSymbol() const { return m_pLineSymbol.get(); }
  IGIS_Symbol* GetMarkSymbol() const { return m_pMarkSymbol.get(); }
  // The grid's LatitudeCount and LongitudeCount.
  int GetColumns() const { return m_counts.m_nColumns; }
  int GetRows() const { return m_counts.m_nRows; }

  // The grid's line type: 0 index labels only, 1 lines, 2 marks.
  int m_nAppearance = 0;

 private:
  // Chooses the marker with marks, the line symbol with lines; nothing with
  // labels only.
  void OnSymbol();

  md::layout::graticulemn::CountFields m_counts;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pLineSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pMarkSymbol;
};
