// The property sheet of a map frame: its data-frame page, the shared frame
// page on the frame's own frame property, the size-and-position page and
// the grids page on the frame's own grid list.
#pragma once

#include "host/display/igis_display.h"
#include "layout/graphicelement/dialogs/cgis_elementpropertysheet.h"
#include "layout/graphicelement/igis_mapelement.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapdataframe.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapgridspage.h"

class CLayoutFrame;
class CSizeAndPosition;

enum { IDS_GIS_MAP_SHEET = 138 };

class CGIS_MapPropertySheet : public CGIS_ElementPropertySheet {
 public:
  CGIS_MapPropertySheet(IGIS_MapElement* pElement, IGIS_Display* pDisplay);

  CGIS_MapDataframe& GetDataframePage() { return *m_pDataframe; }
  CLayoutFrame& GetFramePage() { return *m_pFramePage; }
  CGIS_MapGridsPage& GetGridsPage() { return *m_pGridsPage; }

 private:
  CGIS_MapDataframe* m_pDataframe;
  CLayoutFrame* m_pFramePage;
  CSizeAndPosition* m_pSizePage;
  CGIS_MapGridsPage* m_pGridsPage;
};
