// CListBox: operations on the control window's state through its messages.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include "platform/ui/controls.h"
#include "platform/ui/detail/send.h"
#include "platform/ui/detail/state.h"

using md::ui::detail::ControlMessage;
using md::ui::detail::Get;
using md::ui::detail::Kind;
using md::ui::detail::WindowState;

int CListBox::AddString(LPCTSTR text) {
  return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}
int CListBox::InsertString(int index, LPCTSTR text) {
  return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(static_cast<INT_PTR>(index)),
                                      reinterpret_cast<LPARAM>(text)));
}
int CListBox::DeleteString(UINT index) { return static_cast<int>(SendMessage(LB_DELETESTRING, index)); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT); }
int CListBox::GetCount() const { return static_cast<int>(MD_SEND(LB_GETCOUNT, 0, 0)); }
int CListBox::GetCurSel() const { return static_cast<int>(MD_SEND(LB_GETCURSEL, 0, 0)); }
int CListBox::SetCurSel(int select) {
  return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(static_cast<INT_PTR>(select))));
}
int CListBox::GetText(int index, std::string& text) const {
  WindowState* s = State();
  if (!s || index < 0 || index >= static_cast<int>(s->items.size())) {
    text.clear();
    return LB_ERR;
  }
  text = s->items[index].text;
  return static_cast<int>(text.size());
}
int CListBox::GetSel(int index) const {
  return static_cast<int>(MD_SEND(LB_GETSEL, static_cast<WPARAM>(static_cast<INT_PTR>(index)), 0));
}
int CListBox::SetSel(int index, BOOL select) {
  return static_cast<int>(SendMessage(LB_SETSEL, select ? 1 : 0, index));
}
int CListBox::GetSelCount() const { return static_cast<int>(MD_SEND(LB_GETSELCOUNT, 0, 0)); }
int CListBox::GetSelItems(int maxItems, int* items) const {
  return static_cast<int>(
      MD_SEND(LB_GETSELITEMS, static_cast<WPARAM>(std::max(maxItems, 0)), reinterpret_cast<LPARAM>(items)));
}
int CListBox::SelItemRange(BOOL select, int first, int last) {
  WindowState* s = State();
  if (!s || !(s->style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL))) return LB_ERR;
  if (first > last) std::swap(first, last);
  for (int i = std::max(first, 0); i <= last && i < static_cast<int>(s->items.size()); ++i)
    s->items[i].selected = select != 0;
  Invalidate();
  return 0;
}
int CListBox::FindString(int startAfter, LPCTSTR text) const {
  return static_cast<int>(MD_SEND(LB_FINDSTRING, static_cast<WPARAM>(static_cast<INT_PTR>(startAfter)),
                                  reinterpret_cast<LPARAM>(text)));
}
int CListBox::FindStringExact(int startAfter, LPCTSTR text) const {
  return static_cast<int>(MD_SEND(LB_FINDSTRINGEXACT, static_cast<WPARAM>(static_cast<INT_PTR>(startAfter)),
                                  reinterpret_cast<LPARAM>(text)));
}
int CListBox::SelectString(int startAfter, LPCTSTR text) {
  return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(static_cast<INT_PTR>(startAfter)),
                                      reinterpret_cast<LPARAM>(text)));
}
int CListBox::SetItemData(int index, DWORD_PTR data) {
  return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(static_cast<INT_PTR>(index)),
                                      static_cast<LPARAM>(data)));
}
DWORD_PTR CListBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(MD_SEND(LB_GETITEMDATA, static_cast<WPARAM>(static_cast<INT_PTR>(index)), 0));
}
