// The three-north page: the grid north and magnetic angles, the text offset,
// the axis length and the diagram's five symbols.
#pragma once

#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_ThreeNorthElement;

enum {
  IDD_THREENORTH_PAGE = 3036,
  IDC_THREENORTH_ANGLE_FONT = 3071,
  IDC_THREENORTH_ANGLE_LINE = 3072,
  IDC_THREENORTH_AXIS_FONT = 3078,
  IDC_THREENORTH_AXIS_LINE = 3079,
  IDC_THREENORTH_COORDINATE = 3081,
  IDC_THREENORTH_MAGNET = 3082,
  IDC_THREENORTH_OFFSET = 3083,
  IDC_THREENORTH_LENGTH = 3085,
  IDC_THREENORTH_FILL = 3114,
};

class CGIS_ThreeNorth : public CPropertyPage {
 public:
  CGIS_ThreeNorth() : CGIS_ThreeNorth(nullptr, nullptr) {}
  CGIS_ThreeNorth(IGIS_ThreeNorthElement* pElement, IGIS_Display* pDisplay);

  void DoDataExchange(CDataExchange* pDX) override;
  // Lays the diagram out again, then reads the four values.
  BOOL OnSetActive() override;
  // Writes the four values and lays the diagram out again.
  BOOL OnKillActive() override;
  BOOL OnApply() override;

  double m_dMagnetAngle = 0.0;      // degrees, -90..90
  double m_dCoordinateAngle = 0.0;  // degrees, -90..90
  int m_nTxtOffset = 0;             // 0.01 mm, 0..10000
  int m_nAxisLength = 0;            // 0.01 mm, 1000..50000

 private:
  void ReadElement();
  bool WriteElement();

  IGIS_ThreeNorthElement* m_pElement;
  IGIS_Display* m_pDisplay;
  CEdit m_editMagnet, m_editCoordinate, m_editOffset, m_editLength;
  // What the angle edits showed when the page was filled: an angle whose
  // edit still shows it keeps the element's own value (the edit shows it to
  // 15 digits).
  std::string m_strMagnetShown, m_strCoordinateShown;
};
