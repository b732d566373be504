// A list box with single or multiple selection.
#pragma once

#include <string>

#include "platform/ui/wnd.h"

class CListBox : public CWnd {
 public:
  int AddString(LPCTSTR text);
  int InsertString(int index, LPCTSTR text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int select);
  int GetText(int index, std::string& text) const;
  int GetSel(int index) const;
  int SetSel(int index, BOOL select = TRUE);
  int GetSelCount() const;
  int GetSelItems(int maxItems, int* items) const;
  int SelItemRange(BOOL select, int first, int last);
  int FindString(int startAfter, LPCTSTR text) const;
  int FindStringExact(int startAfter, LPCTSTR text) const;
  int SelectString(int startAfter, LPCTSTR text);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
};
