// The numbers and marks page of the scale bar sheet: which places get
// numbers and where they stand, their gap and font, and the division and
// subdivision marks' frequency, position, heights and symbols, and the
// numbers' format.
#pragma once

#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_ScaleBar;

class CGIS_ScaleNumberMark : public CPropertyPage {
 public:
  CGIS_ScaleNumberMark(IGIS_ScaleBar* pBar = nullptr, IGIS_Display* pDisplay = nullptr);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nLabelFrequency = -1;
  int m_nLabelPosition = -1;
  int m_nLabelGap = 0;
  int m_nSubdivisionHeight = 0;
  int m_nMarkPosition = -1;
  int m_nMarkFrequency = -1;
  int m_nDivisionHeight = 0;

 private:
  void WriteBar();
  void OnMarkFrequencyChanged();
  // Edits the bar's numeric format in the number-format dialog; after OK the
  // page shows its values again and is marked modified.
  void OnNumberFormat();
  void MarkModified();

  IGIS_ScaleBar* m_pBar;
  IGIS_Display* m_pDisplay;
  CEdit m_editGap, m_editDivision, m_editSubdivision;
  CSpinButtonCtrl m_spinGap, m_spinDivision, m_spinSubdivision;
};
