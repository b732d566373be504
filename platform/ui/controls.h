// Control classes: thin objects over control windows. Every operation works
// on the window's state through the same code the control's messages use, so
// a control changed through its object or through SendMessage behaves alike.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/wnd.h"

class CStatic : public CWnd {};

class CButton : public CWnd {
 public:
  int GetCheck() const;
  void SetCheck(int check);
  UINT GetButtonStyle() const;
};

class CEdit : public CWnd {
 public:
  void GetSel(int& start, int& end) const;
  DWORD GetSel() const;  // MAKELONG(start, end)
  void SetSel(int start, int end, BOOL noScroll = FALSE);
  void SetSel(DWORD selection, BOOL noScroll = FALSE);
  void ReplaceSel(LPCTSTR text, BOOL canUndo = FALSE);
  void LimitText(int maxChars = 0);
  UINT GetLimitText() const;
  BOOL SetReadOnly(BOOL readOnly = TRUE);
};

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
  int GetLBTextLen(int index) const;
  int FindString(int startAfter, LPCTSTR text) const;
  int FindStringExact(int startAfter, LPCTSTR text) const;
  int SelectString(int startAfter, LPCTSTR text);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  BOOL LimitText(int maxChars);
};

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
  int GetTextLen(int index) const;
  int GetSel(int index) const;
  int SetSel(int index, BOOL select = TRUE);
  int GetSelCount() const;
  int GetSelItems(int maxItems, int* items) const;
  int SelItemRange(BOOL select, int first, int last);
  int GetCaretIndex() const;
  int FindString(int startAfter, LPCTSTR text) const;
  int FindStringExact(int startAfter, LPCTSTR text) const;
  int SelectString(int startAfter, LPCTSTR text);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
};

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
  int GetPos() const;  // 16-bit position; HIWORD non-zero on error
  int SetPos32(int pos);
  int GetPos32(BOOL* error = nullptr) const;
};

// An image list keeps its own copies of the pixels it is given.
class CImageList {
 public:
  CImageList() = default;
  ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  BOOL DeleteImageList();
  // Adds a copy of the bitmap; answers its index or -1.
  int Add(HBITMAP bitmap, HBITMAP mask);
  int Add(HBITMAP bitmap, COLORREF mask);
  template <class Bitmap>
  int Add(Bitmap* bitmap, Bitmap* mask) {
    return Add(bitmap ? static_cast<HBITMAP>(bitmap->GetSafeHandle()) : nullptr,
               mask ? static_cast<HBITMAP>(mask->GetSafeHandle()) : nullptr);
  }
  template <class Bitmap>
  int Add(Bitmap* bitmap, COLORREF mask) {
    return Add(bitmap ? static_cast<HBITMAP>(bitmap->GetSafeHandle()) : nullptr, mask);
  }
  BOOL Remove(int index);
  int GetImageCount() const { return static_cast<int>(images_.size()); }
  BOOL GetIconSize(int& cx, int& cy) const;
  BOOL IsCreated() const { return created_; }

  // Pixels of image `index` as 0xAARRGGBB, top row first (cx * cy values).
  const std::vector<std::uint32_t>* GetImagePixels(int index) const;

 private:
  bool created_ = false;
  int cx_ = 0;
  int cy_ = 0;
  UINT flags_ = 0;
  std::vector<std::vector<std::uint32_t>> images_;
};

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
