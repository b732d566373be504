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
  BOOL DeleteItem(int index);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  std::string GetItemText(int index, int subItem) const;
  BOOL SetItemText(int index, int subItem, LPCTSTR text);
  BOOL SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  UINT GetItemState(int index, UINT mask) const;
  BOOL SetItemState(int index, UINT state, UINT mask);
  int GetNextItem(int start, UINT flags) const;
  UINT GetSelectedCount() const;
  int GetSelectionMark() const;
  BOOL GetItemRect(int index, LPRECT rect, UINT code) const;
  int HitTest(POINT point, UINT* flags = nullptr) const;
  int HitTest(LVHITTESTINFO* info) const;
  BOOL EnsureVisible(int index, BOOL partialOk);
};
