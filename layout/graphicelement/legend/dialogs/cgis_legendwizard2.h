// The title page of the legend wizard: the legend's title, its text symbol
// and the alignment of the title with the rest of the legend.
#pragma once

#include <string>

#include "host/basilo/releaseptr.h"
#include "platform/ui/propsheet.h"

class IGIS_Symbol;

class CGIS_LegendWizard2 : public CPropertyPage {
 public:
  CGIS_LegendWizard2();

  void SetTitleText(const char* szTitle) { m_strTitle = szTitle != nullptr ? szTitle : ""; }
  const std::string& GetTitleText() const { return m_strTitle; }
  IGIS_Symbol* GetTitleSymbol() const { return m_pTitleSymbol.get(); }

  BOOL OnSetActive() override;
  LRESULT OnWizardNext() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nAlign = 0;  // 0 left, 1 centre, 2 right
  std::string m_strTitle;

 private:
  void OnFont();

  md::basilo::ReleasePtr<IGIS_Symbol> m_pTitleSymbol;
};
