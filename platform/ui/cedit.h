// An edit control.
#pragma once

#include "platform/ui/wnd.h"

class CEdit : public CWnd {
 public:
  void GetSel(int& start, int& end) const;
  DWORD GetSel() const;  // MAKELONG(start, end)
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void SetSel(DWORD selection, BOOL noScroll = FALSE);
  void ReplaceSel(LPCTSTR text, BOOL canUndo = FALSE);
  void LimitText(int maxChars = 0);
};
