// The north arrow page: the arrow's point symbol with a preview turned by the
// map's angle plus the calibration angle, the arrow's size (the height of its
// rectangle, the width following in proportion) and its calibration angle.
#pragma once

#include "platform/ui/controls.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_NorthArrowElement;

enum {
  IDD_NORTHARROW_PAGE = 4037,
  IDC_NORTHARROW_PREVIEW = 3051,
  IDC_NORTHARROW_SYMBOL = 4044,
  IDC_NORTHARROW_SIZE = 4110,
  IDC_NORTHARROW_SIZE_SPIN = 4111,
  IDC_NORTHARROW_CALIBRATION = 4112,
  IDC_NORTHARROW_CALIBRATION_SPIN = 4113,
  IDC_NORTHARROW_ANGLE = 4114,
};

class CGIS_NorthArrow : public CPropertyPage {
 public:
  // A page with no element: it shows its defaults and writes nothing.
  CGIS_NorthArrow() : CGIS_NorthArrow(nullptr, nullptr) {}
  CGIS_NorthArrow(IGIS_NorthArrowElement* pElement, IGIS_Display* pDisplay);

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Reads the size, the map's angle and the calibration angle.
  BOOL OnSetActive() override;
  // Writes the calibration angle and the size (width in proportion).
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  // Draws the element's symbol, turned by both angles, fitted into the
  // preview frame.
  void OnPaint() override;

  int m_nAngle = 0;             // degrees, the linked map's rotation (shown only)
  int m_nSize = 10;             // 0.01 mm, 1..1000000
  int m_nCalibrationAngle = 0;  // degrees, -360..360

  CEdit m_editCalibration;
  CEdit m_editSize;
  CStatic m_preview;

 private:
  // Writes both values; bApplying picks the rule for an element of no height.
  void WriteElement(bool bApplying);
  void OnChangeCalibrationAngle();
  RECT PreviewRect() const;

  IGIS_NorthArrowElement* m_pElement;
  IGIS_Display* m_pDisplay;
  bool m_bInitialised = false;
  int m_nLastValidCalibration = 0;
  CSpinButtonCtrl m_spinSize;
  CSpinButtonCtrl m_spinCalibration;
};
