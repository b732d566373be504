// CButton: operations on the control window's state through its messages.
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

void CButton::SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
