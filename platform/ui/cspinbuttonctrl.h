// A spin button with an optional buddy window.
#pragma once

#include "platform/ui/wnd.h"

class CSpinButtonCtrl : public CWnd {
 public:
  CWnd* SetBuddy(CWnd* buddy);
  CWnd* GetBuddy() const;
  int SetBase(int base);
  UINT GetBase() const;
  void SetRange(short lower, short upper);
  void SetRange32(int lower, int upper);
  DWORD GetRange() const;  // MAKELONG(upper, lower)
  void GetRange(int& lower, int& upper) const;
  void GetRange32(int& lower, int& upper) const;
  int SetPos(int pos);
  int SetPos32(int pos);
  int GetPos32(BOOL* error = nullptr) const;
};
