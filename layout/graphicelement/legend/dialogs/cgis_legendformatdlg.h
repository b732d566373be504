// The format page of the legend sheet: the gaps between the legend's parts,
// whether layer names and labels are shown, and their fonts. Its values reach
// the legend's format when the page is left or applied.
#pragma once

#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_LegendElement;
class IGIS_LegendFormat;

class CGIS_LegendFormatDlg : public CPropertyPage {
 public:
  CGIS_LegendFormatDlg(IGIS_LegendElement* pElement = nullptr, IGIS_Display* pDisplay = nullptr);

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnApply() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nLabelPosition = 0;
  int m_nVerticalItemGap = 0;
  int m_nHeadingGap = 0;
  int m_nItemGap = 0;
  int m_nLayerNameGap = 0;
  int m_nPatchAndLabelsGap = 0;
  int m_nHorizontalItemGap = 0;
  int m_nTitleGap = 0;
  int m_nShowHeading = 0;
  int m_nShowLabel = 0;
  int m_nShowLayerName = 0;

 private:
  IGIS_LegendFormat* Format() const;
  // Takes the controls back and writes the format; FALSE when a value is
  // refused.
  bool WriteFormat();
  void OnFlag(int* pValue, int nButton);
  void EnableFontButtons();

  IGIS_LegendElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
