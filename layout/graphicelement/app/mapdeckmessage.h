// Message boxes of the library's models and dialogs.
#pragma once

#include "platform/win/wintypes.h"

namespace md::layout {
// A framework message box shown in whatever module state is current (the
// host application's outside the library's dialogs).
int HostMessageBox(const char* szText, UINT nType);
// A framework message box of the library: its module state is made current
// for the call, so the box carries the library's caption and icon rules.
int LibraryMessageBox(const char* szText, UINT nType, UINT nHelpId = 0);
}  // namespace md::layout
