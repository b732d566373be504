#include "layout/graphicelement/grid/factory/dialogs/cgis_gridwizardsheet.h"

#include <initializer_list>

namespace {

SGIS_DMSValue DmsValue(const md::layout::graticule::DmsRow& row) {
  return {row.nDegrees, row.nMinutes, row.dSeconds};
}

}  // namespace

CGIS_GridWizardSheet::CGIS_GridWizardSheet() {
  for (CPropertyPage* pPage :
       std::initializer_list<CPropertyPage*>{&m_start, &m_index1, &m_index2, &m_graticule, &m_fixedCount,
                                             &m_measured, &m_axes, &m_finish, &m_series})
    AddPage(pPage);
}

void CGIS_GridWizardSheet::SetMapElement(IGIS_MapElement* pMapElement) {
  CGIS_GridWizardSheetBase::SetMapElement(pMapElement);
  m_measured.m_pMapElement = pMapElement;
  m_series.m_pMapElement = pMapElement;
}

SGIS_MapGridValues CGIS_GridWizardSheet::GetValues() const {
  SGIS_MapGridValues v;
  v.nType = m_start.m_nGridType;
  v.szName = m_start.m_strGridName.c_str();
  v.graticule.lines = {m_graticule.m_nAppearance, m_graticule.GetLineSymbol(), m_graticule.GetMarkSymbol()};
  v.graticule.parallel = DmsValue(m_graticule.m_parallel);
  v.graticule.meridian = DmsValue(m_graticule.m_meridian);
  v.fixedCount.lines = {m_fixedCount.m_nAppearance, m_fixedCount.GetLineSymbol(),
                        m_fixedCount.GetMarkSymbol()};
  v.fixedCount.nColumns = m_fixedCount.GetColumns();
  v.fixedCount.nRows = m_fixedCount.GetRows();
  v.measured.lines = {m_measured.m_nGridlineType, m_measured.GetLineSymbol(), m_measured.GetMarkSymbol()};
  v.measured.pReference = m_measured.GetSpatialReference();
  v.measured.dXInterval = m_measured.m_dXInterval;
  v.measured.dYInterval = m_measured.m_dYInterval;
  v.axes.pTextSymbol = m_axes.GetTextSymbol();
  v.axes.pTickSymbol = m_axes.GetTickSymbol();
  v.axes.pSubTickSymbol = m_axes.GetSubTickSymbol();
  v.axes.nSubTickCount = m_axes.m_nSubTickCount;
  v.axes.bTicks = m_axes.m_nTicks;
  v.axes.bSubTicks = m_axes.m_nSubTicks;
  v.index.lines = {m_index1.m_nAppearance, m_index1.m_pLineSymbol.get(), m_index1.m_pMarkSymbol.get()};
  v.index.nColumns = m_index1.m_nColumnCount;
  v.index.nRows = m_index1.m_nRowCount;
  v.index.nTabStyle = m_index2.m_nTabStyle;
  v.index.pTabBackground = m_index2.m_pSymbolPolygon.get();
  v.index.pTabText = m_index2.m_pTextSymbol.get();
  v.index.nLettering = m_index2.m_nLettering;
  v.finish.bBorder = m_finish.m_nBorder;
  v.finish.pBorderSymbol = m_finish.GetBorderSymbol();
  return v;
}
