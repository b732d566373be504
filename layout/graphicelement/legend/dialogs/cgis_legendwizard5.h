// The gaps page of the legend wizard: the gaps between the legend's parts and
// the default patch size, written into the page's own legend format on
// Finish.
#pragma once

#include "host/basilo/releaseptr.h"
#include "platform/ui/propsheet.h"

class IGIS_LegendFormat;

class CGIS_LegendWizard5 : public CPropertyPage {
 public:
  CGIS_LegendWizard5();

  // Takes the eight values from the format; TRUE.
  BOOL SetLegendFormat(IGIS_LegendFormat* pFormat);
  IGIS_LegendFormat* GetLegendFormat() const { return m_pFormat.get(); }

  BOOL OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnWizardFinish() override;
  void DoDataExchange(CDataExchange* pDX) override;

  double m_dTitleGap = 0;
  double m_dRowSpacing = 0;
  double m_dColumnSpacing = 0;
  double m_dPatchLabelGap = 0;
  int m_nPatchWidth = 0;
  int m_nPatchHeight = 0;
  double m_dLayerNameGap = 0;
  double m_dHeadingGap = 0;

 private:
  md::basilo::ReleasePtr<IGIS_LegendFormat> m_pFormat;
};
