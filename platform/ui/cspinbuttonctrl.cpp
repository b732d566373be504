// CSpinButtonCtrl: operations on the control window's state through its messages.
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

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* buddy) {
  return FromHandle(reinterpret_cast<HWND>(
      SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy ? buddy->m_hWnd : nullptr))));
}
CWnd* CSpinButtonCtrl::GetBuddy() const {
  return FromHandle(reinterpret_cast<HWND>(MD_SEND(UDM_GETBUDDY, 0, 0)));
}
int CSpinButtonCtrl::SetBase(int base) {
  return static_cast<int>(SendMessage(UDM_SETBASE, static_cast<WPARAM>(base)));
}
UINT CSpinButtonCtrl::GetBase() const { return static_cast<UINT>(MD_SEND(UDM_GETBASE, 0, 0)); }
void CSpinButtonCtrl::SetRange(short lower, short upper) {
  SendMessage(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(upper), static_cast<WORD>(lower)));
}
void CSpinButtonCtrl::SetRange32(int lower, int upper) {
  SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(static_cast<INT_PTR>(lower)), static_cast<LPARAM>(upper));
}
DWORD CSpinButtonCtrl::GetRange() const { return static_cast<DWORD>(MD_SEND(UDM_GETRANGE, 0, 0)); }
void CSpinButtonCtrl::GetRange(int& lower, int& upper) const {
  DWORD r = GetRange();
  lower = static_cast<SHORT>(HIWORD(r));
  upper = static_cast<SHORT>(LOWORD(r));
}
void CSpinButtonCtrl::GetRange32(int& lower, int& upper) const {
  MD_SEND(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
}
int CSpinButtonCtrl::SetPos(int pos) {
  return static_cast<int>(
      SendMessage(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(pos)), 0)));
}
int CSpinButtonCtrl::SetPos32(int pos) {
  return static_cast<int>(SendMessage(UDM_SETPOS32, 0, static_cast<LPARAM>(pos)));
}
int CSpinButtonCtrl::GetPos32(BOOL* error) const {
  return static_cast<int>(MD_SEND(UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(error)));
}
