// A push button, check box or radio button.
#pragma once

#include "platform/ui/wnd.h"

class CButton : public CWnd {
 public:
  int GetCheck() const;
  void SetCheck(int check);
  UINT GetButtonStyle() const;
};
