// The scale and units page of the scale bar sheet: division value, number of
// divisions and subdivisions, one division before zero, what resizing
// adjusts, the division unit, and the unit label's text, position, gap and
// font. It reads the bar when it becomes active and writes it when it is
// left and when the sheet applies; only Apply refreshes the bar.
#pragma once

#include <string>

#include "platform/ui/ccombobox.h"
#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

class IGIS_ScaleBar;

class CGIS_ScaleBarUnit : public CPropertyPage {
 public:
  // The bar is edited directly and not owned; pOther is kept for the sheet.
  CGIS_ScaleBarUnit(IGIS_ScaleBar* pBar = nullptr, void* pOther = nullptr);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  double m_dDivision = 0.0;
  int m_nDivisions = 0;
  int m_nSubDivisions = 0;
  int m_nBeforeZero = 0;
  int m_nResizeHint = 0;
  int m_nUnits = 0;
  int m_nUnitLabelPosition = 0;
  std::string m_strUnitLabel;
  int m_nUnitLabelGap = 0;

 private:
  // Writes the page's values into the bar.
  void WriteBar();
  // Enables the division value and divisions edits by the resize choice.
  void EnableByResizeHint();
  void OnResizeHintChanged();
  void OnUnitsChanged();
  void OnFont();
  void MarkModified();

  IGIS_ScaleBar* m_pBar;
  void* m_pOther;
  CEdit m_editDivisions, m_editSubDivisions, m_editGap, m_editDivision;
  CSpinButtonCtrl m_spinDivisions, m_spinSubDivisions, m_spinGap;
  CComboBox m_comboUnits;
};
