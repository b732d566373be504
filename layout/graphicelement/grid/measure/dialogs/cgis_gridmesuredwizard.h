// The grid wizard's page of the kilometre grid ("创建一个方里格网"): what the
// grid draws (labels only, grid lines or marks at the crossings, each with
// the labels) and the symbol for it, the projected reference the grid is
// laid out in (a copy of a projected map's own; for a map in geographic
// coordinates the zone holding the map's centre) with its description, and
// the X and Y intervals in the reference's linear unit (by default the power
// of ten that cuts the map's extent into at most ten parts). "属性..." lets
// the user pick another projected reference through the host. The page only
// holds the values until the wizard ends.
#pragma once

#include <string>

#include "host/basilo/releaseptr.h"
#include "host/glyphor/igis_symbol.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/ui/propsheet.h"

class IGIS_MapElement;
enum {
  IDC_GIS_GMW_PICTURE = 5387,
  IDC_GIS_GMW_LABELS_ONLY = 5417,
  IDC_GIS_GMW_MARKS = 5418,
  IDC_GIS_GMW_LINES = 5419,
  IDC_GIS_GMW_STYLE = 5420,
  IDC_GIS_GMW_DESCRIPTION = 5421,
  IDC_GIS_GMW_PROPERTIES = 5422,
  IDC_GIS_GMW_X_INTERVAL = 5423,
  IDC_GIS_GMW_Y_INTERVAL = 5424,
  IDC_GIS_GMW_X_UNIT = 5425,
  IDC_GIS_GMW_Y_UNIT = 5426,
};

class CGIS_GridMesuredWizard : public CPropertyPage {
 public:
  CGIS_GridMesuredWizard();

  // The reference, its description and unit names, the default intervals
  // and symbols from the frame's map. FALSE without a frame or map, or for
  // a map reference of unknown kind (with the message
  // "未知类型的空间参考,不能建立方里网").
  BOOL OnInitDialog() override;
  // The text of the grid type; Back and Next. While the page has no
  // reference yet it takes the map's (refused without a frame or map).
  BOOL OnSetActive() override;
  // The start page.
  LRESULT OnWizardBack() override;
  // The axes-and-labels page; the start page without a frame or map.
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The grid's reference and symbols (owned by the page; NULL before the
  // page was first shown).
  IGIS_SpatialReference* GetSpatialReference() const { return m_pSpatialReference.get(); }
  IGIS_Symbol* GetLineSymbol() const { return m_pLineSymbol.get(); }
  IGIS_Symbol* GetMarkSymbol() const { return m_pMarkSymbol.get(); }

  // The frame the grid is made for (not owned), set before the wizard runs.
  IGIS_MapElement* m_pMapElement = nullptr;
  std::string m_strXUnit;
  std::string m_strYUnit;
  std::string m_strDescription;
  // In the reference's linear unit, 0 to 100000000.
  double m_dXInterval = 0.0;
  double m_dYInterval = 0.0;
  // The grid's line type: 0 labels only, 1 lines, 2 marks.
  int m_nGridlineType = 1;

 private:
  // A new reference of the factory's projected kind, a copy of the map's
  // when that is projected; NULL without the factory.
  md::basilo::ReleasePtr<IGIS_SpatialReference> NewReference(IGIS_SpatialReference* pMapReference);
  // For a map not in projected coordinates: the zone meridian of the map's
  // centre into the reference.
  void SetZone(IGIS_SpatialReference* pMapReference);
  // The description and the unit names of the reference.
  void DescribeReference();
  // The intervals for the map's extent seen in the reference.
  void SetDefaultIntervals(IGIS_SpatialReference* pMapReference);
  void OnSymbolStyle();
  void OnProperties();

  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pSpatialReference;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pLineSymbol;
  md::basilo::ReleasePtr<IGIS_Symbol> m_pMarkSymbol;
};
