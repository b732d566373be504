// The legend wizard: the layers, title and gaps pages in wizard mode. It
// never changes the legend; the legend takes its results over on Finish.
#pragma once

#include "layout/graphicelement/legend/dialogs/cgis_legendwizard.h"
#include "layout/graphicelement/legend/dialogs/cgis_legendwizard2.h"
#include "layout/graphicelement/legend/dialogs/cgis_legendwizard5.h"
#include "layout/graphicelement/legend/legendwizard.h"
#include "platform/ui/propsheet.h"

class CGIS_LegendPropertyWizard : public CPropertySheet {
 public:
  explicit CGIS_LegendPropertyWizard(CWnd* pParent = nullptr);

  CGIS_LegendWizard m_pageLayers;
  CGIS_LegendWizard2 m_pageTitle;
  CGIS_LegendWizard5 m_pageGaps;
};

namespace md::layout {
// The runner the wizard installs for the legend element at load.
LegendWizardRunner LegendWizard();
}  // namespace md::layout
