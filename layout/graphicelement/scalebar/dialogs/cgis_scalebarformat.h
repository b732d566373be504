// The format page of the scale bar sheet: the labels' font, the bar body's
// symbols and the bar height.
#pragma once

#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_ScaleBar;

class CGIS_ScalebarFormat : public CPropertyPage {
 public:
  CGIS_ScalebarFormat(IGIS_ScaleBar* pBar = nullptr, IGIS_Display* pDisplay = nullptr);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nBarHeight = 0;  // 0.01 mm

 private:
  // The one-line kinds have a line symbol and no second fill.
  bool IsLineKind() const;
  bool HasSecondFill() const;
  void OnFont();
  void OnSymbol1();
  void OnSymbol2();

  IGIS_ScaleBar* m_pBar;
  IGIS_Display* m_pDisplay;
  CEdit m_editHeight;
  CSpinButtonCtrl m_spinHeight;
};
