// CEdit: operations on the control window's state through its messages.
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

void CEdit::GetSel(int& start, int& end) const {
  DWORD a = 0, b = 0;
  const_cast<CEdit*>(this)->SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&a),
                                        reinterpret_cast<LPARAM>(&b));
  start = static_cast<int>(a);
  end = static_cast<int>(b);
}
DWORD CEdit::GetSel() const { return static_cast<DWORD>(const_cast<CEdit*>(this)->SendMessage(EM_GETSEL)); }
void CEdit::SetSel(int start, int end, BOOL) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(static_cast<INT_PTR>(start)), static_cast<LPARAM>(end));
}
void CEdit::SetSel(DWORD selection, BOOL noScroll) {
  SetSel(static_cast<SHORT>(LOWORD(selection)), static_cast<SHORT>(HIWORD(selection)), noScroll);
}
void CEdit::ReplaceSel(LPCTSTR text, BOOL) { SendMessage(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text)); }
void CEdit::LimitText(int maxChars) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxChars, 0))); }
