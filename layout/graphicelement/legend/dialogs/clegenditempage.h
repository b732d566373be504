// The items page of the legend sheet: which vector layers of the legend's map
// the legend shows, in which order and with which classes. The page edits a
// working list of its own and rebuilds the legend's items from it when it is
// left.
#pragma once

#include <vector>

#include "host/basilo/releaseptr.h"
#include "layout/graphicelement/legend/dialogs/chosenlist.h"
#include "platform/ui/propsheet.h"

class IGIS_Display;
class IGIS_LegendElement;
class IGIS_LegendItem;
class IGIS_Map;

class CLegendItemPage : public CPropertyPage {
 public:
  CLegendItemPage(IGIS_LegendElement* pElement = nullptr, IGIS_Display* pDisplay = nullptr);
  ~CLegendItemPage() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnKillActive() override;

 private:
  // The legend's map; NULL (with a record under szMethod) when the legend has
  // no frame or the frame no map.
  IGIS_Map* MapOf(const char* szMethod, const char* szNoMap);
  void AddLines(const std::vector<int>& lines, const char* szMethod, const char* szMissing);
  void OnAdd();
  void OnAddall();
  void OnChooseClasses();

  IGIS_LegendElement* m_pElement;
  IGIS_Display* m_pDisplay;
  std::vector<md::basilo::ReleasePtr<IGIS_LegendItem>> m_items;
  md::layout::legend::ChosenList m_lists;
};
