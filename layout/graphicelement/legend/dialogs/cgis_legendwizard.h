// The layers page of the legend wizard: which vector layers of the legend's
// map the new legend shows, in which order, and with which classes. The page
// makes and owns the items it lists.
#pragma once

#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/legend/dialogs/chosenlist.h"
#include "platform/ui/cspinbuttonctrl.h"
#include "platform/ui/propsheet.h"

class IGIS_LegendElement;
class IGIS_LegendItem;
class IGIS_Map;

class CGIS_LegendWizard : public CPropertyPage {
 public:
  CGIS_LegendWizard();
  ~CGIS_LegendWizard() override;

  void SetLegend(IGIS_LegendElement* pLegend) { m_pLegend = pLegend; }
  int GetItemCount() const { return static_cast<int>(m_items.size()); }
  IGIS_LegendItem* GetItem(int nIndex) const;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  void DoDataExchange(CDataExchange* pDX) override;

  int m_nColumns = 1;

 private:
  // Adds an item for each given line of the map-layers list.
  void AddLines(const std::vector<int>& lines, const char* szMethod);
  void OnAddall();
  void OnChooseClasses();

  IGIS_LegendElement* m_pLegend = nullptr;
  IGIS_Map* m_pMap = nullptr;
  std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>> m_items;
  md::layout::legend::ChosenList m_lists;
  CSpinButtonCtrl m_spinColumns;
};
