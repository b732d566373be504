// A list of available entries beside a list of chosen ones, with the buttons
// that move entries across, remove and reorder them: what the legend's layer
// pages and its class selection dialog share. The owner adds entries itself
// (it knows what they stand for) and keeps data parallel to the chosen list;
// this class keeps that data in step through the two callbacks.
#pragma once

#include <functional>
#include <vector>

#include "platform/ui/clistbox.h"

class CDialog;

namespace md::layout::legend {

// Control IDs; -1 where the owner has no such control.
struct ChosenListIds {
  int source;
  int chosen;
  int add;
  int remove;
  int removeAll;
  int up;
  int down;
  int pick;  // acts on the first chosen entry
  // Whether a selection change in the chosen list also sets "remove all".
  bool selectionSetsRemoveAll;
};

class ChosenList {
 public:
  // eraseAt(i): entry i's data is dropped; moveBefore(i, j): the data of
  // entry i moves before entry j.
  ChosenList(CDialog* pOwner, const ChosenListIds& ids, std::function<void(int)> eraseAt,
             std::function<void(int, int)> moveBefore);

  // Attaches the two list boxes (from the owner's OnInitDialog).
  void Attach();
  CListBox& Source() { return m_source; }
  CListBox& Chosen() { return m_chosen; }
  void Enable(int nId, bool bEnable);

  std::vector<int> SelectedSource() const;
  // The first selected chosen entry, -1 with none.
  int FirstChosen() const;

  // After the owner appended entries: the source selection is cleared, the
  // last chosen entry selected (when there is one) and the buttons set.
  void Added();
  // The selected chosen entries are removed; a neighbour of each stays
  // selected. Nothing happens with none selected.
  void RemoveSelected();
  // Every chosen entry is removed.
  void RemoveAll();
  void MoveUp();
  void MoveDown();
  void ChosenSelectionChanged();
  void SourceSelectionChanged();

 private:
  void SetMoveButtons(int nFirst);

  CDialog* m_pOwner;
  ChosenListIds m_ids;
  std::function<void(int)> m_eraseAt;
  std::function<void(int, int)> m_moveBefore;
  CListBox m_source;
  CListBox m_chosen;
};

}  // namespace md::layout::legend
