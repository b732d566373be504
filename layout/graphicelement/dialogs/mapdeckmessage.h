// Message boxes of the library's dialogs, and the models' user interface.
#pragma once

#include "platform/win/winuser.h"

namespace md::layout {

// A framework message box of the library: its module state is made current
// for the call, so the box carries the library's caption and icon rules.
int LibraryMessageBox(const char* szText, UINT nType, UINT nHelpId = 0);

}  // namespace md::layout
