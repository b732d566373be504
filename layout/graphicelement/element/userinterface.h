// What the models ask of the user interface without depending on it. The
// dialogs library installs the implementation when it loads: message boxes
// shown in the host application's module state.
#pragma once

#include "platform/win/winuser.h"

namespace md::layout {

class IUserInterface {
 public:
  // A message box in whatever module state is current (the host's outside
  // the library's dialogs); answers the button pressed (IDOK, IDCANCEL, ...).
  virtual int HostMessageBox(const char* szText, UINT nType) = 0;

 protected:
  virtual ~IUserInterface() = default;
};

// Installs the user interface (NULL removes it); answers the one installed before.
IUserInterface* SetUserInterface(IUserInterface* pInterface);

// The installed interface's message box; 0 (no box shown) while none is
// installed.
int HostMessageBox(const char* szText, UINT nType);

}  // namespace md::layout
