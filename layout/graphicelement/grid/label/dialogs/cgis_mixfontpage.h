// The page "混合字体标注", the one page of the mixed-font label's dialog:
// how many trailing digits the secondary font writes and that font, on
// which labels the leading part is shown, the number format, and the zone
// number with its font. It edits the label in place: the fonts and the
// number format at once, the rest when the page is left and on Apply.
#pragma once

#include "platform/ui/cedit.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

class IGIS_MixedFontGridLabel;

enum {
  IDD_GIS_MIXFONT_PAGE = 32516,
  IDC_GIS_MF_DIGITS = 5298,
  IDC_GIS_MF_DIGITS_SPIN = 5299,
  IDC_GIS_MF_SECONDARY_FONT = 5305,
  IDC_GIS_MF_POSITION = 3150,
  IDC_GIS_MF_NUMBER_FORMAT = 5306,
  IDC_GIS_MF_SHOW_ZONE = 3076,
  IDC_GIS_MF_ZONE_FONT = 3114,
};

class CGIS_MixFontPage : public CPropertyPage {
 public:
  CGIS_MixFontPage();

  // The digits' up-down (0 to 20) and the four positions.
  BOOL OnInitDialog() override;
  // Reads the label; refused (with a level-3 record) without one.
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // The label the page edits (not owned); NULL until its dialog sets it.
  IGIS_MixedFontGridLabel* m_pMixedFontGridLabel = nullptr;

  // The label's grouped-digits flag as read, written back unchanged.
  int m_nGroupedDigitsType = 0;
  // 0 to 10 while the flag is on; while it is off the field is disabled and
  // the label's count goes back as it was.
  int m_nDigitCount = 0;
  int m_nShowZone = 0;

 private:
  // Validates and writes the label; false (nothing written) when a field is
  // refused.
  bool WriteLabel();
  void OnSecondaryFont();
  void OnZoneFont();
  void OnNumberFormat();

  CEdit m_editDigits;
  CSpinButtonCtrl m_spinDigits;
};
