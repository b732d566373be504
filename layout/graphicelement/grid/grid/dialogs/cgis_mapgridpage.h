// What every page of a grid's property sheet shares: the grid it edits. The
// opener points each page at the live grid before the sheet runs; the page
// reads the grid when it becomes active and writes it back when it is left
// and on Apply, after its fields were validated.
#pragma once

#include "platform/ui/propsheet.h"

class IGIS_MapGrid;

class CGIS_MapGridPage : public CPropertyPage {
 public:
  explicit CGIS_MapGridPage(UINT nTemplateId);

  // The grid the page edits (not owned); NULL until the opener sets it.
  IGIS_MapGrid* m_pMapGrid = nullptr;

 protected:
  // Whether the page has a grid; without one a level-3 record
  // "m_pMapGrid == NULL" under szMethod.
  bool CheckGrid(const char* szMethod) const;
  // Enables or greys out the page's control nId (nothing when it is missing).
  void EnableItem(int nId, bool bEnable);
};
