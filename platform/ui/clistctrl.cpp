// CListCtrl: operations on the control window's state through its messages.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include "platform/ui/controls.h"
#include "platform/ui/detail/state.h"

using md::ui::detail::ControlMessage;
using md::ui::detail::Get;
using md::ui::detail::Kind;
using md::ui::detail::WindowState;

CImageList* CListCtrl::SetImageList(CImageList* list, int which) {
  WindowState* s = State();
  if (!s || which != LVSIL_NORMAL) return nullptr;
  CImageList* old = s->images;
  s->images = list;
  Invalidate();
  return old;
}
CImageList* CListCtrl::GetImageList(int which) const {
  WindowState* s = State();
  return s && which == LVSIL_NORMAL ? s->images : nullptr;
}
int CListCtrl::InsertItem(int index, LPCTSTR text) { return InsertItem(index, text, -1); }
int CListCtrl::InsertItem(int index, LPCTSTR text, int image) {
  WindowState* s = State();
  if (!s || index < 0) return -1;
  int at = std::min(index, static_cast<int>(s->items.size()));
  md::ui::detail::Item item;
  item.text = text ? text : "";
  item.image = image;
  s->items.insert(s->items.begin() + at, item);
  Invalidate();
  return at;
}
BOOL CListCtrl::DeleteAllItems() {
  WindowState* s = State();
  if (!s) return FALSE;
  s->items.clear();
  Invalidate();
  return TRUE;
}
int CListCtrl::GetItemCount() const {
  WindowState* s = State();
  return s ? static_cast<int>(s->items.size()) : 0;
}
std::string CListCtrl::GetItemText(int index, int subItem) const {
  WindowState* s = State();
  if (!s || subItem != 0 || index < 0 || index >= static_cast<int>(s->items.size())) return {};
  return s->items[index].text;
}
BOOL CListCtrl::SetItemData(int index, DWORD_PTR data) {
  WindowState* s = State();
  if (!s || index < 0 || index >= static_cast<int>(s->items.size())) return FALSE;
  s->items[index].data = data;
  return TRUE;
}
DWORD_PTR CListCtrl::GetItemData(int index) const {
  WindowState* s = State();
  if (!s || index < 0 || index >= static_cast<int>(s->items.size())) return 0;
  return s->items[index].data;
}
UINT CListCtrl::GetItemState(int index, UINT mask) const {
  WindowState* s = State();
  if (!s || index < 0 || index >= static_cast<int>(s->items.size())) return 0;
  return s->items[index].state & mask;
}
int CListCtrl::GetNextItem(int start, UINT flags) const {
  WindowState* s = State();
  if (!s) return -1;
  for (int i = std::max(start + 1, 0); i < static_cast<int>(s->items.size()); ++i) {
    UINT st = s->items[i].state;
    if (flags == LVNI_ALL || ((flags & LVNI_SELECTED) && (st & LVIS_SELECTED)) ||
        ((flags & LVNI_FOCUSED) && (st & LVIS_FOCUSED)))
      return i;
  }
  return -1;
}
UINT CListCtrl::GetSelectedCount() const {
  WindowState* s = State();
  if (!s) return 0;
  return static_cast<UINT>(std::count_if(s->items.begin(), s->items.end(),
                                         [](const auto& it) { return (it.state & LVIS_SELECTED) != 0; }));
}
BOOL CListCtrl::GetItemRect(int index, LPRECT rect, UINT) const {
  WindowState* s = State();
  if (!s || !rect || index < 0 || index >= static_cast<int>(s->items.size())) return FALSE;
  *rect = md::ui::detail::ListViewItemRect(s, index);
  return TRUE;
}
int CListCtrl::HitTest(POINT point, UINT* flags) const {
  WindowState* s = State();
  if (!s) return -1;
  return md::ui::detail::ListViewHitTest(s, point, flags);
}
int CListCtrl::HitTest(LVHITTESTINFO* info) const {
  if (!info) return -1;
  info->iItem = HitTest(info->pt, &info->flags);
  return info->iItem;
}
