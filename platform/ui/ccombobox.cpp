// CComboBox: operations on the control window's state through its messages.
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

int CComboBox::AddString(LPCTSTR text) {
  return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}
int CComboBox::InsertString(int index, LPCTSTR text) {
  return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(static_cast<INT_PTR>(index)),
                                      reinterpret_cast<LPARAM>(text)));
}
int CComboBox::DeleteString(UINT index) { return static_cast<int>(SendMessage(CB_DELETESTRING, index)); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT); }
int CComboBox::GetCount() const { return static_cast<int>(MD_SEND(CB_GETCOUNT, 0, 0)); }
int CComboBox::GetCurSel() const { return static_cast<int>(MD_SEND(CB_GETCURSEL, 0, 0)); }
int CComboBox::SetCurSel(int select) {
  return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(static_cast<INT_PTR>(select))));
}
int CComboBox::GetLBText(int index, std::string& text) const {
  WindowState* s = State();
  if (!s || index < 0 || index >= static_cast<int>(s->items.size())) {
    text.clear();
    return CB_ERR;
  }
  text = s->items[index].text;
  return static_cast<int>(text.size());
}
int CComboBox::FindString(int startAfter, LPCTSTR text) const {
  return static_cast<int>(MD_SEND(CB_FINDSTRING, static_cast<WPARAM>(static_cast<INT_PTR>(startAfter)),
                                  reinterpret_cast<LPARAM>(text)));
}
int CComboBox::FindStringExact(int startAfter, LPCTSTR text) const {
  return static_cast<int>(MD_SEND(CB_FINDSTRINGEXACT, static_cast<WPARAM>(static_cast<INT_PTR>(startAfter)),
                                  reinterpret_cast<LPARAM>(text)));
}
int CComboBox::SelectString(int startAfter, LPCTSTR text) {
  return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(static_cast<INT_PTR>(startAfter)),
                                      reinterpret_cast<LPARAM>(text)));
}
int CComboBox::SetItemData(int index, DWORD_PTR data) {
  return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(static_cast<INT_PTR>(index)),
                                      static_cast<LPARAM>(data)));
}
DWORD_PTR CComboBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(MD_SEND(CB_GETITEMDATA, static_cast<WPARAM>(static_cast<INT_PTR>(index)), 0));
}
BOOL CComboBox::LimitText(int maxChars) {
  return static_cast<BOOL>(SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(std::max(maxChars, 0))));
}
