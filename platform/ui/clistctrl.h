// A list view: items with images, text, state and data.
#pragma once

#include <string>

#include "platform/ui/cimagelist.h"
#include "platform/ui/wnd.h"

class CListCtrl : public CWnd {
 public:
  CImageList* SetImageList(CImageList* list, int which);
  CImageList* GetImageList(int which) const;
  int InsertItem(int index, LPCTSTR text);
  int InsertItem(int index, LPCTSTR text, int image);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  std::string GetItemText(int index, int subItem) const;
  BOOL SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  UINT GetItemState(int index, UINT mask) const;
  int GetNextItem(int start, UINT flags) const;
  UINT GetSelectedCount() const;
  BOOL GetItemRect(int index, LPRECT rect, UINT code) const;
  int HitTest(POINT point, UINT* flags = nullptr) const;
  int HitTest(LVHITTESTINFO* info) const;
};
