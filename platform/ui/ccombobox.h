// A combo box: a list with an edit field or a drop-down list.
#pragma once

#include <string>

#include "platform/ui/wnd.h"

class CComboBox : public CWnd {
 public:
  int AddString(LPCTSTR text);
  int InsertString(int index, LPCTSTR text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int select);
  int GetLBText(int index, std::string& text) const;
  int FindString(int startAfter, LPCTSTR text) const;
  int FindStringExact(int startAfter, LPCTSTR text) const;
  int SelectString(int startAfter, LPCTSTR text);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  BOOL LimitText(int maxChars);
};
