// The paired lists of the legend's layer pages and class selection dialog.
#include "layout/graphicelement/legend/dialogs/chosenlist.h"

#include <string>
#include <utility>

#include "platform/ui/dialog.h"

namespace md::layout::legend {

ChosenList::ChosenList(CDialog* pOwner, const ChosenListIds& ids, std::function<void(int)> eraseAt,
                       std::function<void(int, int)> moveBefore)
    : m_pOwner(pOwner), m_ids(ids), m_eraseAt(std::move(eraseAt)), m_moveBefore(std::move(moveBefore)) {
  m_pOwner->MapClicked(ids.remove, [this] { RemoveSelected(); });
  m_pOwner->MapCommand(LBN_DBLCLK, ids.chosen, [this] { RemoveSelected(); });
  if (ids.removeAll >= 0) m_pOwner->MapClicked(ids.removeAll, [this] { RemoveAll(); });
  m_pOwner->MapClicked(ids.up, [this] { MoveUp(); });
  m_pOwner->MapClicked(ids.down, [this] { MoveDown(); });
  m_pOwner->MapCommand(LBN_SELCHANGE, ids.chosen, [this] { ChosenSelectionChanged(); });
  m_pOwner->MapCommand(LBN_SELCHANGE, ids.source, [this] { SourceSelectionChanged(); });
}

void ChosenList::Attach() {
  m_source.SubclassDlgItem(m_ids.source, m_pOwner);
  m_chosen.SubclassDlgItem(m_ids.chosen, m_pOwner);
}

void ChosenList::Enable(int nId, bool bEnable) {
  if (nId < 0) return;
  if (CWnd* pControl = m_pOwner->GetDlgItem(nId)) pControl->EnableWindow(bEnable);
}

namespace {
std::vector<int> SelectedOf(const CListBox& list) {
  const int n = list.GetSelCount();
  std::vector<int> out(n > 0 ? static_cast<size_t>(n) : 0);
  if (n > 0) out.resize(static_cast<size_t>(list.GetSelItems(n, out.data())));
  return out;
}
}  // namespace

std::vector<int> ChosenList::SelectedSource() const { return SelectedOf(m_source); }

int ChosenList::FirstChosen() const {
  const std::vector<int> sel = SelectedOf(m_chosen);
  return sel.empty() ? -1 : sel.front();
}

void ChosenList::SetMoveButtons(int nFirst) {
  Enable(m_ids.up, nFirst != 0);
  Enable(m_ids.down, nFirst + 1 != m_chosen.GetCount());
}

void ChosenList::Added() {
  m_source.SelItemRange(FALSE, 0, m_source.GetCount() - 1);
  const int count = m_chosen.GetCount();
  if (count > 0) m_chosen.SetSel(count - 1, TRUE);
  Enable(m_ids.up, count > 1);
  Enable(m_ids.down, false);
  Enable(m_ids.add, false);
  Enable(m_ids.remove, true);
  Enable(m_ids.removeAll, true);
  Enable(m_ids.pick, count > 0);
}

void ChosenList::RemoveSelected() {
  const std::vector<int> sel = SelectedOf(m_chosen);
  if (sel.empty()) return;
  // A neighbour of each removed entry stays selected.
  for (int s : sel) {
    const int neighbour = s == 0 ? 1 : s - 1;
    if (neighbour < m_chosen.GetCount()) m_chosen.SetSel(neighbour, TRUE);
  }
  for (auto it = sel.rbegin(); it != sel.rend(); ++it) {
    m_chosen.DeleteString(static_cast<UINT>(*it));
    m_eraseAt(*it);
  }
  if (m_chosen.GetCount() == 0) {
    for (int id : {m_ids.remove, m_ids.removeAll, m_ids.up, m_ids.down, m_ids.pick}) Enable(id, false);
    return;
  }
  const int first = FirstChosen();
  if (first >= 0) SetMoveButtons(first);
}

void ChosenList::RemoveAll() {
  for (int i = m_chosen.GetCount() - 1; i >= 0; --i) m_eraseAt(i);
  m_chosen.ResetContent();
  for (int id : {m_ids.down, m_ids.up, m_ids.remove, m_ids.removeAll, m_ids.pick}) Enable(id, false);
}

void ChosenList::MoveUp() {
  const int s = FirstChosen();
  if (s <= 0) return;
  m_chosen.SelItemRange(FALSE, 0, m_chosen.GetCount() - 1);
  std::string text;
  m_chosen.GetText(s, text);
  m_chosen.DeleteString(static_cast<UINT>(s));
  m_chosen.InsertString(s - 1, text.c_str());
  m_moveBefore(s, s - 1);
  m_chosen.SetSel(s - 1, TRUE);
  Enable(m_ids.up, s != 1);
  Enable(m_ids.down, true);
}

void ChosenList::MoveDown() {
  const int s = FirstChosen();
  if (s < 0 || s + 1 >= m_chosen.GetCount()) return;
  m_chosen.SelItemRange(FALSE, 0, m_chosen.GetCount() - 1);
  std::string text;
  m_chosen.GetText(s, text);
  m_moveBefore(s + 1, s);
  m_chosen.DeleteString(static_cast<UINT>(s));
  m_chosen.InsertString(s + 1, text.c_str());
  m_chosen.SetSel(s + 1, TRUE);
  Enable(m_ids.down, s + 2 != m_chosen.GetCount());
  Enable(m_ids.up, true);
}

void ChosenList::ChosenSelectionChanged() {
  const int first = FirstChosen();
  if (first < 0) {
    for (int id : {m_ids.remove, m_ids.up, m_ids.down, m_ids.pick}) Enable(id, false);
    if (m_ids.selectionSetsRemoveAll) Enable(m_ids.removeAll, false);
    return;
  }
  Enable(m_ids.remove, true);
  Enable(m_ids.pick, true);
  if (m_ids.selectionSetsRemoveAll) Enable(m_ids.removeAll, true);
  SetMoveButtons(first);
}

void ChosenList::SourceSelectionChanged() { Enable(m_ids.add, m_source.GetSelCount() > 0); }

}  // namespace md::layout::legend
