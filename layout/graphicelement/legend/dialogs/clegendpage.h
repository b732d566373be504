// The legend page of the legend sheet: the title, whether and where it is
// shown, its font, and the default patch size. Its values reach the legend
// when the page is left.
#pragma once

#include <string>

#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_LegendElement;

class CLegendPage : public CPropertyPage {
 public:
  CLegendPage(IGIS_LegendElement* pElement = nullptr, IGIS_Display* pDisplay = nullptr);

  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  std::string m_strTitle;
  int m_nPatchWidth = 0;
  int m_nPatchHeight = 0;
  int m_nTitlePosition = 0;
  int m_nShowTitle = 0;

 private:
  void EnableTitleControls(bool bEnable);
  void OnShowTitle();
  void OnTitleFont();

  IGIS_LegendElement* m_pElement;
  IGIS_Display* m_pDisplay;
};
