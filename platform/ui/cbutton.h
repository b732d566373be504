// A push button, check box or radio button.
#pragma once

#include "platform/ui/wnd.h"

class CButton : public CWnd {
 public:
  void SetCheck(int check);
};
