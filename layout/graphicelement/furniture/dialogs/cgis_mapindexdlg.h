// The map index's names page: the eight neighbour names in the cells in
// which the element draws them, around a read-only, empty centre cell.
#pragma once

#include <string>

#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_MapIndexElement;

enum {
  IDD_MAPINDEX_NAMES_PAGE = 133,
  IDC_MAPINDEX_NORTHEAST = 101,
  IDC_MAPINDEX_NORTH = 102,
  IDC_MAPINDEX_NORTHWEST = 103,
  IDC_MAPINDEX_EAST = 104,
  IDC_MAPINDEX_CENTRE = 105,
  IDC_MAPINDEX_WEST = 106,
  IDC_MAPINDEX_SOUTHEAST = 107,
  IDC_MAPINDEX_SOUTH = 108,
  IDC_MAPINDEX_SOUTHWEST = 109,
};

class CGIS_MapIndexDlg : public CPropertyPage {
 public:
  // A page with no element does not become active and writes nothing.
  CGIS_MapIndexDlg() : CGIS_MapIndexDlg(nullptr, nullptr) {}
  CGIS_MapIndexDlg(IGIS_MapIndexElement* pElement, IGIS_Display* pDisplay);

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnSetActive() override;
  // Writes the eight names.
  BOOL OnKillActive() override;
  // Writes the eight names and restores the element's geometry.
  BOOL OnApply() override;

  std::string m_strCentre, m_strEast, m_strNorthEast, m_strNorthWest, m_strSouthEast, m_strNorth,
      m_strSouthWest, m_strSouth, m_strWest;

 private:
  void WriteElement();

  IGIS_MapIndexElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
