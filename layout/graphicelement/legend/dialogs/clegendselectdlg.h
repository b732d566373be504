// The class selection dialog: which classes of a legend item's layer the
// item lists as its labels, and in which order. It edits the item it is
// given (callers pass a copy).
#pragma once

#include "layout/graphicelement/legend/dialogs/chosenlist.h"
#include "platform/ui/dialog.h"

class IGIS_LegendItem;

class CLegendSelectDlg : public CDialog {
 public:
  explicit CLegendSelectDlg(IGIS_LegendItem* pItem, CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  // Appends the given lines of the class list to the chosen list.
  void AddLines(const std::vector<int>& lines);

  IGIS_LegendItem* m_pItem;
  md::layout::legend::ChosenList m_lists;
};
