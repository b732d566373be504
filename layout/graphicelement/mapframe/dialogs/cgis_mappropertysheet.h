// The property sheet of a map frame: its data-frame page, and the shared
// pages of the library that are registered for the map frame. Apply applies
// the active page only and asks the display's view to redraw.
#pragma once

#include <memory>
#include <vector>

#include "host/display/igis_display.h"
#include "layout/graphicelement/mapframe/dialogs/cgis_mapdataframe.h"
#include "layout/graphicelement/mapframe/igis_mapelement.h"
#include "platform/ui/propsheet.h"

class CGIS_MapPropertySheet : public CPropertySheet {
 public:
  CGIS_MapPropertySheet(IGIS_MapElement* pElement, IGIS_Display* pDisplay, CWnd* pParent = nullptr);

  CGIS_MapDataframe& GetDataframePage() { return m_dataframe; }

 private:
  void OnApplyNow();

  CGIS_MapDataframe m_dataframe;
  IGIS_MapElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
