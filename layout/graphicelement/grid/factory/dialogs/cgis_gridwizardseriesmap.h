// The grid wizard's last page for the series-scale graticule and kilometre
// grid: which of eighteen standard map sheets the grid is made for, and the
// projected reference the kilometre grid is laid out in ("空间参考"). On its
// first activation the page makes that reference from the frame's map: a
// copy of a projected map's own, or for a map in geographic coordinates the
// zone holding the map's centre (6-degree zones while the frame shows at
// most 200 cm per degree, else 3-degree zones). After Finish the grids page
// builds the sheet's preset from m_nSheetType and the reference. It sits
// beside the wizard sheet, above the kilometre grid's pages whose zone and
// reference command it shares.
#pragma once

#include "host/basilo/releaseptr.h"
#include "host/sferon/igis_spatialreference.h"
#include "platform/ui/propsheet.h"

class IGIS_MapElement;

enum {
  // The sheet buttons, one radio group in sheet-type order.
  IDC_GIS_GSM_FIRST_SHEET = 3126,
  IDC_GIS_GSM_LAST_SHEET = 3143,
  IDC_GIS_GSM_REFERENCE = 3149,
};

class CGIS_GridWizardSeriesMap : public CPropertyPage {
 public:
  CGIS_GridWizardSeriesMap();

  // Back and Finish. The first activation makes the reference; it is
  // refused without a frame or a map (a record "m_pMapElement == NULL").
  BOOL OnSetActive() override;
  // The start page.
  LRESULT OnWizardBack() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The page's reference (owned; NULL before the first activation).
  IGIS_SpatialReference* GetSpatialReference() const { return m_pSpatialReference.get(); }

  // The sheet type 0 to 17 the presets read; only the sheet buttons change it.
  int m_nSheetType = 0;
  // The selected sheet button's position in the group.
  int m_nSheetRadio = 0;
  // The frame the grid is made for (not owned), set before the wizard runs.
  IGIS_MapElement* m_pMapElement = nullptr;

 private:
  void OnSelectSheetType(int nSheetType);
  // The host's spatial-reference command; only a projected answer is taken.
  void OnSeriesmapgridSpatialreference();

  md::basilo::ReleasePtr<IGIS_SpatialReference> m_pSpatialReference;
};
