// What the pages of the grid wizard reach through their sheet: the map frame
// the new grid is made for. The sheet itself, with its nine pages, sits
// above the grid kinds whose pages it holds (grid/factory/dialogs/).
#pragma once

#include "platform/ui/propsheet.h"

class IGIS_MapElement;

// The wizard's caption string ("Wizard").
constexpr UINT IDS_GIS_GRID_WIZARD = 3089;

class CGIS_GridWizardSheetBase : public CPropertySheet {
 public:
  // No parent window; captioned with string 3089 and in wizard mode.
  CGIS_GridWizardSheetBase();

  // The map frame the grid is made for (not owned); NULL until the opener
  // sets it before DoModal.
  IGIS_MapElement* GetMapElement() const { return m_pMapElement; }
  // Also hands the frame to the pages that keep their own.
  virtual void SetMapElement(IGIS_MapElement* pMapElement) { m_pMapElement = pMapElement; }

 private:
  IGIS_MapElement* m_pMapElement = nullptr;
};
